// A capture's decisions without the platform: which formats are read, which
// are left out and why, where the blocks go, and the texts the user reads.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "capture/capturerun.h"

namespace {

const std::string kLongName(79, 'n');

// Owner display, private and GDI-object numbers, a registered format with no
// name and one with a name too long, between formats that are read.
std::vector<CaptureFormat> MixedClipboard() {
  return {
      {13, std::nullopt},     {0x80, std::nullopt},   {0xC0A1, "HTML Format"},
      {0x0205, std::nullopt}, {0x0305, std::nullopt}, {0xC0A2, std::nullopt},
      {0xC0A3, kLongName},    {1, std::nullopt},      {0xC0A4, "Slow Format"},
  };
}

}  // namespace

TEST(CaptureRun, ReadsWhatCanGoInTheFileAndSaysWhyTheRestCannot) {
  CaptureRun run(MixedClipboard());
  EXPECT_EQ(run.plan().slots(), 4u);
  std::vector<std::uint32_t> read;
  for (auto index = run.Next(); index; index = run.Next()) {
    read.push_back(run.FormatAt(*index));
    if (run.FormatAt(*index) == 0xC0A4) {
      EXPECT_EQ(run.ReadingText(*index), "Reading 9 of 9: Slow Format(0xC0A4)");
      run.LeftOut(*index, NotRenderedInReason(30));
    } else {
      EXPECT_TRUE(run.Captured(*index, 10).placed);
    }
  }
  EXPECT_EQ(read, (std::vector<std::uint32_t>{13, 0xC0A1, 1, 0xC0A4}));
  EXPECT_EQ(run.CapturedCount(), 3u);
  // Three blocks of ten bytes after a table of four slots, the last one empty.
  EXPECT_EQ(run.plan().End(), 4u + 4u * 172u + 30u);
  EXPECT_EQ(
      run.FinalMessage("C:\\x\\bug.clp"),
      "Captured 3 of 9 formats (722 bytes) to C:\\x\\bug.clp. Not captured:\n"
      "CF_OWNERDISPLAY (0x0080): only the program that put it can draw it\n"
      "CF_PRIVATE (0x0205): a private format means something only to the program that put it\n"
      "CF_GDIOBJ (0x0305): it is a handle to a GDI object of no stated kind, not data\n"
      "Unknown (0xC0A2): the system gave no name for it, and a registered format is known by its name\n" +
          kLongName +
          "(0xC0A3): its name is 79 characters long, and the file holds at most 78\n"
          "Slow Format(0xC0A4): the owner did not render it in 30 s");
}

TEST(CaptureRun, ALongListOfLeftOutFormatsEndsInACount) {
  std::vector<CaptureFormat> privates;
  for (std::uint32_t f = 0x200; f < 0x200 + kMostListedLeftOut + 2; ++f)
    privates.push_back({f, std::nullopt});
  CaptureRun run(privates);
  EXPECT_FALSE(run.Next());
  const std::string message = run.FinalMessage("p.clp");
  EXPECT_EQ(message.substr(message.rfind('\n') + 1), "\xE2\x80\xA6 and 2 more formats");
}

TEST(CaptureRun, SizesForPeople) {
  const struct {
    std::uint64_t bytes;
    const char* text;
  } cases[] = {{1, "1 byte"},       {1023, "1023 bytes"},       {1024, "1.0 KB"},
               {3565158, "3.4 MB"}, {256ull << 20, "256.0 MB"}, {5ull << 30, "5.0 GB"}};
  for (const auto& c : cases) EXPECT_EQ(SizeText(c.bytes), c.text) << c.bytes;
}
