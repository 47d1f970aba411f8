// The dump window's Edit rules: shortcuts, what Find and Go To accept, Copy's
// hex text, the decoding of Copy as Text, and where a search starts.
#include <gtest/gtest.h>
#include <iconv.h>

#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "app/resource.h"
#include "dumpframe/editcommands.h"
#include "encoding/eucjp.h"
#include "encoding/textdecode.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// Decodes bytes with glibc's iconv into one UTF-16 unit, or U+FFFD when the
// converter refuses them or gives anything but exactly one unit.
char16_t IconvUnit(iconv_t cd, const std::uint8_t* bytes, std::size_t count) {
  char in[4];
  std::memcpy(in, bytes, count);
  char16_t units[4] = {};
  char* inPtr = in;
  char* outPtr = reinterpret_cast<char*>(units);
  std::size_t inLeft = count;
  std::size_t outLeft = sizeof(units);
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1) || inLeft != 0 ||
      outLeft != sizeof(units) - 2) {
    return kReplacementChar;
  }
  return units[0];
}

// The code page 932 table from glibc, an independent converter.
const Cp932Table& GlibcCp932() {
  static const std::unique_ptr<Cp932Table> table = [] {
    auto t = std::make_unique<Cp932Table>();
    iconv_t cd = iconv_open("UTF-16LE", "CP932");
    FillCp932Table(
        *t, [cd](const std::uint8_t* bytes, std::size_t count) { return IconvUnit(cd, bytes, count); });
    iconv_close(cd);
    return t;
  }();
  return *table;
}

std::u16string Decode(const Bytes& bytes, std::uint16_t codePage, std::uint32_t firstIndex = 0) {
  // Exactly sized buffers, so that the sanitizers catch any read or write
  // past them.
  auto in = std::make_unique<std::uint8_t[]>(bytes.size());
  if (!bytes.empty()) std::memcpy(in.get(), bytes.data(), bytes.size());
  auto out = std::make_unique<char16_t[]>(bytes.size());
  const std::size_t n = DecodeText(in.get(), static_cast<std::uint32_t>(bytes.size()), firstIndex, codePage,
                                   GlibcCp932(), out.get());
  return std::u16string(out.get(), n);
}

}  // namespace

TEST(EditShortcuts, EachKeyRunsItsCommand) {
  struct Case {
    std::uint32_t key;
    bool ctrl, shift, alt;
    std::uint32_t command;
  };
  const Case cases[] = {
      {'C', true, false, false, ID_EDIT_COPY},
      {'C', true, true, false, ID_EDIT_COPY_TEXT},
      {'A', true, false, false, ID_EDIT_SELECT_ALL},
      {'F', true, false, false, ID_EDIT_FIND},
      {0x72, false, false, false, ID_EDIT_FIND_NEXT},
      {0x72, false, true, false, ID_EDIT_FIND_PREVIOUS},
      {'G', true, false, false, ID_EDIT_GOTO},
      {'E', true, false, false, ID_VIEW_WHOLE_DATA},
      {'E', true, true, false, 0},
      {'D', true, false, false, ID_VIEW_DETAILS},
      {'D', true, true, false, 0},
      // Not shortcuts: plain letters, Alt held, other combinations.
      {'C', false, false, false, 0},
      {'C', true, false, true, 0},
      {0x72, false, false, true, 0},
      {0x72, true, false, false, 0},
      {'A', true, true, false, 0},
      {'X', true, false, false, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(EditCommandOfKey(c.key, c.ctrl, c.shift, c.alt), c.command)
        << c.key << c.ctrl << c.shift << c.alt;
  }
}

TEST(FindHexBytes, AcceptsPairsWithOrWithoutSpaces) {
  struct Case {
    const char* text;
    HexError error;
    Bytes bytes;
  };
  const Case cases[] = {
      {"4B 65 6C", HexError::None, {0x4B, 0x65, 0x6C}},
      {"4b656c", HexError::None, {0x4B, 0x65, 0x6C}},
      {" 4B65\t6c \r\n", HexError::None, {0x4B, 0x65, 0x6C}},
      {"00 ff", HexError::None, {0x00, 0xFF}},
      {"", HexError::Empty, {}},
      {"   ", HexError::Empty, {}},
      {"4B 6", HexError::OddDigits, {}},
      {"4B6 5", HexError::OddDigits, {}},
      {"4G", HexError::NotHexDigit, {}},
      {"0x4B", HexError::NotHexDigit, {}},
      {"4B,65", HexError::NotHexDigit, {}},
  };
  for (const Case& c : cases) {
    const HexBytes parsed = ParseHexBytes(c.text);
    EXPECT_EQ(parsed.error, c.error) << c.text;
    EXPECT_EQ(parsed.bytes, c.bytes) << c.text;
    EXPECT_EQ(HexErrorText(parsed.error) == nullptr, c.error == HexError::None) << c.text;
  }
}

TEST(GoToOffset, HexOrHashDecimalAndThePastEnd) {
  struct Case {
    const char* text;
    bool ok;
    std::uint64_t value;
  };
  const Case cases[] = {
      {"1F", true, 0x1F},
      {"0x1f", true, 0x1F},
      {"0X00A0", true, 0xA0},
      {" 10 ", true, 0x10},
      {"#10", true, 10},
      {"# 255", true, 255},
      {"FFFFFFFF", true, 0xFFFFFFFF},
      {"100000000", true, kOffsetBeyondAnyData},
      {"#99999999999999999999999", true, kOffsetBeyondAnyData},
      {"", false, 0},
      {"0x", false, 0},
      {"#", false, 0},
      {"#1A", false, 0},
      {"12 34", false, 0},
      {"-1", false, 0},
      {"G", false, 0},
  };
  for (const Case& c : cases) {
    const ParsedOffset parsed = ParseOffset(c.text);
    EXPECT_EQ(parsed.ok, c.ok) << c.text;
    if (c.ok) EXPECT_EQ(parsed.value, c.value) << c.text;
  }
  EXPECT_EQ(GoToTargetOf(5, 10).caret, 5u);
  EXPECT_FALSE(GoToTargetOf(10, 10).pastEnd);  // the caret may stand after the last byte
  EXPECT_EQ(GoToTargetOf(11, 10).caret, 10u);
  EXPECT_TRUE(GoToTargetOf(11, 10).pastEnd);
  EXPECT_EQ(GoToTargetOf(kOffsetBeyondAnyData, 0xFFFFFFFF).caret, 0xFFFFFFFFu);
}

TEST(CopyHexText, TwoDigitsABytesOneSpaceBetween) {
  const Bytes bytes = {0x4B, 0x65, 0x6C, 0x76, 0x61, 0x6E, 0x65, 0x00, 0xFF};
  std::string text(HexTextSize(9), '?');
  WriteHexText(bytes.data(), 9, text.data());
  EXPECT_EQ(text, std::string("4B 65 6C 76 61 6E 65 00 FF") + '\0');
  std::string one(HexTextSize(1), '?');
  WriteHexText(bytes.data(), 1, one.data());
  EXPECT_EQ(one, std::string("4B") + '\0');
  EXPECT_EQ(HexTextSize(0), 1u);
  EXPECT_EQ(HexTextSize(0xFFFFFFFF), sizeof(std::size_t) == 8 ? 3ull * 0xFFFFFFFF : 0u);
}

TEST(CopyAsText, DecodesAsTheTextColumn) {
  struct Case {
    std::uint16_t codePage;
    std::uint32_t firstIndex;
    Bytes bytes;
    std::u16string text;
  };
  const Case cases[] = {
      // One character per byte, control values included.
      {1252, 0, {0x41, 0xE9, 0x80, 0x7F}, u"A\u00E9\u0080\u007F"},
      {437, 0, {0x9B}, u"\u009B"},
      // Shift_JIS: pairs, half-width katakana, a lone or cut lead byte.
      {932, 0, {0x82, 0xA0, 0xB1, 0x41}, u"\u3042\uFF71A"},
      {932, 0, {0x41, 0x82}, u"A\uFFFD"},
      {932, 0, {0x82, 0x20, 0x41}, u"\uFFFD A"},
      {932, 0, {0x80, 0xA0}, u"\uFFFD\uFFFD"},
      // EUC-JP: pairs through the JIS arithmetic, katakana, JIS X 0212.
      {51932, 0, {0xA4, 0xA2, 0xB0, 0xA1, 0x41}, u"\u3042\u4E9CA"},
      {51932, 0, {0x8E, 0xB1, 0x8F, 0xB0, 0xA1, 0x5A}, u"\uFF71\uFFFDZ"},
      {51932, 0, {0xA4}, u"\uFFFD"},
      {51932, 0, {0xA0, 0xFF, 0x8E, 0x41}, u"\uFFFD\uFFFD\uFFFDA"},
      // UTF-16 little-endian, units aligned on even data indexes.
      {1200, 0, {0x41, 0x00, 0x42, 0x30}, u"A\u3042"},
      {1200, 1, {0x00, 0x41, 0x00}, u"\uFFFDA"},
      {1200, 0, {0x41, 0x00, 0x42}, u"A\uFFFD"},
      {1200, 0, {0x3D, 0xD8, 0x00, 0xDE}, u"\U0001F600"},
      {1200, 0, {0x3D, 0xD8, 0x41, 0x00}, u"\uFFFDA"},
      {1200, 0, {0x00, 0xDE}, u"\uFFFD"},
      // UTF-8: valid forms, then ill-formed ones, one U+FFFD each.
      {65001, 0, {0xC3, 0xA9, 0xE3, 0x81, 0x82, 0xF0, 0x9F, 0x98, 0x80}, u"\u00E9\u3042\U0001F600"},
      {65001, 0, {0xC3}, u"\uFFFD"},
      {65001, 0, {0xC3, 0x41}, u"\uFFFDA"},
      {65001, 0, {0xE3, 0x81}, u"\uFFFD"},
      {65001, 0, {0xA9, 0xFF, 0xC0, 0xAF}, u"\uFFFD\uFFFD\uFFFD\uFFFD"},
      {65001, 0, {0xE0, 0x80, 0x80}, u"\uFFFD\uFFFD\uFFFD"},
      {65001, 0, {0xED, 0xA0, 0x80}, u"\uFFFD\uFFFD\uFFFD"},
      {65001, 0, {0xF4, 0x90, 0x80, 0x80}, u"\uFFFD\uFFFD\uFFFD\uFFFD"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Decode(c.bytes, c.codePage, c.firstIndex), c.text)
        << c.codePage << " case of " << c.bytes.size();
  }
}

TEST(CopyAsText, NeverReadsOrWritesPastTheSelection) {
  // Random bytes biased toward lead and continuation bytes, cut at every
  // length: the exactly sized buffers let the sanitizers catch an over-read.
  std::mt19937 random(1234);
  const std::uint8_t interesting[] = {0x00, 0x41, 0x80, 0x81, 0x8E, 0x8F, 0xA1, 0xC3, 0xD8,
                                      0xDC, 0xE0, 0xE3, 0xED, 0xF0, 0xF4, 0xFC, 0xFE, 0xFF};
  for (int round = 0; round < 300; ++round) {
    Bytes bytes(random() % 24);
    for (auto& b : bytes) b = random() % 2 ? interesting[random() % sizeof(interesting)] : random() % 256;
    for (std::uint16_t codePage : {1252, 932, 51932, 1200, 65001}) {
      const std::u16string text = Decode(bytes, codePage, static_cast<std::uint32_t>(random() % 4));
      EXPECT_LE(text.size(), bytes.size());
    }
  }
}

TEST(CopyAsText, ValidUtf8RoundTrips) {
  std::mt19937 random(99);
  for (int round = 0; round < 200; ++round) {
    std::u16string expected;
    Bytes bytes;
    for (int k = 0; k < 8; ++k) {
      char32_t c = random() % 0x110000;
      if (c >= 0xD800 && c <= 0xDFFF) c = 0x41;
      if (c < 0x80) {
        bytes.push_back(static_cast<std::uint8_t>(c));
      } else if (c < 0x800) {
        bytes.insert(bytes.end(), {static_cast<std::uint8_t>(0xC0 | (c >> 6)),
                                   static_cast<std::uint8_t>(0x80 | (c & 0x3F))});
      } else if (c < 0x10000) {
        bytes.insert(bytes.end(), {static_cast<std::uint8_t>(0xE0 | (c >> 12)),
                                   static_cast<std::uint8_t>(0x80 | ((c >> 6) & 0x3F)),
                                   static_cast<std::uint8_t>(0x80 | (c & 0x3F))});
      } else {
        bytes.insert(bytes.end(), {static_cast<std::uint8_t>(0xF0 | (c >> 18)),
                                   static_cast<std::uint8_t>(0x80 | ((c >> 12) & 0x3F)),
                                   static_cast<std::uint8_t>(0x80 | ((c >> 6) & 0x3F)),
                                   static_cast<std::uint8_t>(0x80 | (c & 0x3F))});
      }
      if (c >= 0x10000) {
        expected += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
        expected += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
      } else {
        expected += static_cast<char16_t>(c);
      }
    }
    EXPECT_EQ(Decode(bytes, 65001), expected);
  }
}

TEST(CopyAsText, EucJpArithmeticAgreesWithGlibc) {
  // Every JIS X 0208 pair: EUC-JP decoded by glibc equals its Shift_JIS form
  // decoded by glibc, wherever both know the character.
  iconv_t euc = iconv_open("UTF-16LE", "EUC-JP");
  iconv_t sjis = iconv_open("UTF-16LE", "SHIFT_JIS");
  int compared = 0;
  for (unsigned lead = 0xA1; lead <= 0xFE; ++lead) {
    for (unsigned trail = 0xA1; trail <= 0xFE; ++trail) {
      const std::uint8_t e[2] = {static_cast<std::uint8_t>(lead), static_cast<std::uint8_t>(trail)};
      const ShiftJisPair p = ShiftJisPairOfEucJp(e[0], e[1]);
      const std::uint8_t s[2] = {p.lead, p.trail};
      ASSERT_TRUE(IsCp932LeadByte(p.lead) && IsCp932TrailByte(p.trail)) << lead << " " << trail;
      const char16_t fromEuc = IconvUnit(euc, e, 2);
      if (fromEuc == kReplacementChar) continue;
      EXPECT_EQ(IconvUnit(sjis, s, 2), fromEuc) << std::hex << lead << " " << trail;
      ++compared;
    }
  }
  iconv_close(euc);
  iconv_close(sjis);
  EXPECT_GT(compared, 6000);
}

TEST(SearchStart, FromTheCaretOrPastTheSelection) {
  struct Case {
    bool backward;
    std::uint32_t caret;
    bool selected;
    std::uint32_t first, last, length;
    struct {
      bool empty;
      std::uint32_t start, end;
    } range;
  };
  const Case cases[] = {
      {false, 0, false, 0, 0, 100, {false, 0, 100}},
      {false, 40, true, 30, 39, 100, {false, 40, 100}},  // after a match
      {false, 30, true, 30, 39, 100, {false, 40, 100}},  // caret at its start
      {false, 100, false, 0, 0, 100, {true, 0, 0}},      // at the end
      {false, 0, true, 90, 99, 100, {true, 0, 0}},
      {false, 0, false, 0, 0, 0, {true, 0, 0}},       // no data
      {true, 40, true, 30, 39, 100, {false, 0, 29}},  // matches beginning before it
      {true, 100, false, 0, 0, 100, {false, 0, 99}},
      {true, 0, false, 0, 0, 100, {true, 0, 0}},  // at the start
      {true, 10, true, 0, 9, 100, {true, 0, 0}},
  };
  for (const Case& c : cases) {
    const SearchRange r = SearchRangeOf(c.backward, c.caret, c.selected, c.first, c.last, c.length);
    EXPECT_EQ(r.empty, c.range.empty) << c.backward << " " << c.caret;
    if (!c.range.empty) {
      EXPECT_EQ(r.start, c.range.start) << c.backward << " " << c.caret;
      EXPECT_EQ(RequestEnd(r, c.backward), c.range.end) << c.backward << " " << c.caret;
    }
  }
}
