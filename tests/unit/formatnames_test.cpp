#include "browser/formatnames.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

TEST(StandardFormatName, AllTwentyTwoEntries) {
  const struct {
    std::uint32_t format;
    const char* text;
  } expected[] = {
      {1, "CF_TEXT (1)"},
      {2, "CF_BITMAP (2)"},
      {3, "CF_METAFILEPICT (3)"},
      {4, "CF_SYLK (4)"},
      {5, "CF_DIF (5)"},
      {6, "CF_TIFF (6)"},
      {7, "CF_OEMTEXT (7)"},
      {8, "CF_DIB (8)"},
      {9, "CF_PALETTE (9)"},
      {10, "CF_PENDATA (10)"},
      {11, "CF_RIFF (11)"},
      {12, "CF_WAVE (12)"},
      {13, "CF_UNICODETEXT (13)"},
      {14, "CF_ENHMETAFILE (14)"},
      {15, "CF_HDROP (15)"},
      {16, "CF_LOCALE (16)"},
      {17, "CF_DIBV5 (17)"},
      {0x80, "CF_OWNERDISPLAY (0x0080)"},
      {0x81, "CF_DSPTEXT (0x0081)"},
      {0x82, "CF_DSPBITMAP (0x0082)"},
      {0x83, "CF_DSPMETAFILEPICT (0x0083)"},
      {0x8E, "CF_DSPENHMETAFILE (0x008E)"},
  };
  for (const auto& e : expected) {
    const char* text = StandardFormatName(e.format);
    ASSERT_NE(text, nullptr) << e.format;
    EXPECT_STREQ(text, e.text);
  }
}

TEST(StandardFormatName, NumbersOutsideTheTableHaveNone) {
  // Neighbours of the table's edges, the gaps between display formats and
  // the registered range.
  for (std::uint32_t n : {0u, 18u, 0x7Fu, 0x84u, 0x8Du, 0x8Fu, 0x200u, 0x300u, 0xC000u, 0xFFFFu, 0x10001u}) {
    EXPECT_EQ(StandardFormatName(n), nullptr) << n;
  }
  int count = 0;
  for (std::uint32_t n = 0; n <= 0xFFFF; ++n) count += StandardFormatName(n) != nullptr;
  EXPECT_EQ(count, 22);
}

TEST(FormatNumberText, FourUpperCaseHexDigits) {
  EXPECT_EQ(FormatNumberText(0), "0x0000");
  EXPECT_EQ(FormatNumberText(0x80), "0x0080");
  EXPECT_EQ(FormatNumberText(0xC1A0), "0xC1A0");
  EXPECT_EQ(FormatNumberText(0xabcd), "0xABCD");
  EXPECT_EQ(FormatNumberText(0xFFFF), "0xFFFF");
  // Wider numbers are never cut: "%04X" is a minimum width.
  EXPECT_EQ(FormatNumberText(0x12345), "0x12345");
}

TEST(PriorityText, Decimal) {
  EXPECT_EQ(PriorityText(1), "1");
  EXPECT_EQ(PriorityText(10), "10");
  EXPECT_EQ(PriorityText(12345), "12345");
}

TEST(AvailableFormatText, StandardFormatsIgnoreTheLookUp) {
  EXPECT_EQ(AvailableFormatText(1, std::nullopt), "CF_TEXT (1)");
  EXPECT_EQ(AvailableFormatText(1, std::string_view("Other")), "CF_TEXT (1)");
  EXPECT_EQ(AvailableFormatText(0x80, std::nullopt), "CF_OWNERDISPLAY (0x0080)");
  EXPECT_EQ(AvailableFormatText(0x8E, std::nullopt), "CF_DSPENHMETAFILE (0x008E)");
}

TEST(AvailableFormatText, NamedFormatIsNameThenNumberWithoutSpace) {
  EXPECT_EQ(AvailableFormatText(0xC1A0, std::string_view("Sample")), "Sample(0xC1A0)");
  EXPECT_EQ(AvailableFormatText(0xC00A, std::string_view("BinaryData")), "BinaryData(0xC00A)");
  // A name in a number below the registered range is used just the same.
  EXPECT_EQ(AvailableFormatText(0x0205, std::string_view("Mine")), "Mine(0x0205)");
}

TEST(AvailableFormatText, LookedUpNameIsCutAt127) {
  const std::string longName(200, 'n');
  const std::string text = AvailableFormatText(0xC123, std::string_view(longName));
  EXPECT_EQ(text, std::string(127, 'n') + "(0xC123)");
  const std::string exact(127, 'e');
  EXPECT_EQ(AvailableFormatText(0xC123, std::string_view(exact)), exact + "(0xC123)");
  const std::string shorter(126, 's');
  EXPECT_EQ(AvailableFormatText(0xC123, std::string_view(shorter)), shorter + "(0xC123)");
}

TEST(AvailableFormatText, UnfoundFormatsNameTheirRange) {
  EXPECT_EQ(AvailableFormatText(0x0200, std::nullopt), "CF_PRIVATE (0x0200)");
  EXPECT_EQ(AvailableFormatText(0x0205, std::nullopt), "CF_PRIVATE (0x0205)");
  EXPECT_EQ(AvailableFormatText(0x02FF, std::nullopt), "CF_PRIVATE (0x02FF)");
  EXPECT_EQ(AvailableFormatText(0x0300, std::nullopt), "CF_GDIOBJ (0x0300)");
  EXPECT_EQ(AvailableFormatText(0x0305, std::nullopt), "CF_GDIOBJ (0x0305)");
  EXPECT_EQ(AvailableFormatText(0x03FF, std::nullopt), "CF_GDIOBJ (0x03FF)");
  EXPECT_EQ(AvailableFormatText(0x01FF, std::nullopt), "Unknown (0x01FF)");
  EXPECT_EQ(AvailableFormatText(0x0400, std::nullopt), "Unknown (0x0400)");
  EXPECT_EQ(AvailableFormatText(0x0012, std::nullopt), "Unknown (0x0012)");
  EXPECT_EQ(AvailableFormatText(0xC0DE, std::nullopt), "Unknown (0xC0DE)");
  // An empty name is no name.
  EXPECT_EQ(AvailableFormatText(0xC0DE, std::string_view("")), "Unknown (0xC0DE)");
  EXPECT_EQ(UnknownFormatText(0x0250), "CF_PRIVATE (0x0250)");
}

TEST(AvailableFormatText, EveryNonStandardTextEndsInTheNumberSuffix) {
  for (std::uint32_t n = 0; n <= 0xFFFF; n += 0x7F) {
    if (StandardFormatName(n) != nullptr) continue;
    const std::string suffix = "(" + FormatNumberText(n) + ")";
    for (const std::string& text :
         {AvailableFormatText(n, std::nullopt), AvailableFormatText(n, std::string_view("X"))}) {
      ASSERT_GE(text.size(), suffix.size());
      EXPECT_EQ(text.substr(text.size() - suffix.size()), suffix) << text;
    }
  }
}

TEST(Cuts, RegisteredNameAt126) {
  EXPECT_EQ(RegisteredNameText("Sample"), "Sample");
  EXPECT_EQ(RegisteredNameText(std::string(126, 'a')), std::string(126, 'a'));
  EXPECT_EQ(RegisteredNameText(std::string(127, 'a')), std::string(126, 'a'));
  EXPECT_EQ(RegisteredNameText(std::string(255, 'a')), std::string(126, 'a'));
  EXPECT_EQ(RegisteredNameText(""), "");
}

TEST(Cuts, FrameTextAt30) {
  EXPECT_EQ(FrameStatusText("CF_TEXT (1)"), "CF_TEXT (1)");
  const std::string thirty = "abcdefghijklmnopqrstuvwxyz0123";
  ASSERT_EQ(thirty.size(), 30u);
  EXPECT_EQ(FrameStatusText(thirty), thirty);
  EXPECT_EQ(FrameStatusText(thirty + "4"), thirty);
  // The registered name's suffix is lost first when a name is long.
  EXPECT_EQ(FrameStatusText("ABCDEFGHIJKLMNOPQRSTUVWXYZ_long(0xC123)"), "ABCDEFGHIJKLMNOPQRSTUVWXYZ_lon");
  EXPECT_EQ(FrameStatusText("CF_DSPMETAFILEPICT (0x0083)").size(), 27u);
}

TEST(Cuts, CutTextKeepsShortTextWhole) {
  EXPECT_EQ(CutText("abc", 0), "");
  EXPECT_EQ(CutText("abc", 2), "ab");
  EXPECT_EQ(CutText("abc", 3), "abc");
  EXPECT_EQ(CutText("abc", 100), "abc");
}

}  // namespace
