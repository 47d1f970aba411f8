// Text search: Shift_JIS to EUC-JP against iconv, and the byte pattern of a
// text in each code page, with iconv standing in for the system's
// conversions. (Searching the text is tested through the real window.)
#include <gtest/gtest.h>
#include <iconv.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "dumpview/dumpview.h"
#include "dumpview/search.h"
#include "encoding/codepage932.h"
#include "encoding/eucjp.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// Converts with glibc's iconv; false when a character has no form in the
// target (EILSEQ) or the conversion can't be opened.
bool Iconv(const char* to, const char* from, const void* input, std::size_t size, Bytes& output) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  output.assign(4 * size + 4, 0);
  char* in = const_cast<char*>(static_cast<const char*>(input));
  char* out = reinterpret_cast<char*>(output.data());
  std::size_t inLeft = size, outLeft = output.size();
  const bool ok = iconv(cd, &in, &inLeft, &out, &outLeft) != static_cast<std::size_t>(-1) && inLeft == 0;
  iconv_close(cd);
  output.resize(output.size() - outLeft);
  return ok;
}

// The system's conversions as iconv does them, with an ANSI code page of 1252.
class IconvEncoder : public TextEncoder {
 public:
  bool Encode(NarrowCodePage target, const char16_t* text, std::size_t count, Bytes& bytes) override {
    return Iconv(target == NarrowCodePage::ShiftJis ? "CP932" : "CP1252", "UTF-16LE", text, 2 * count, bytes);
  }
};

std::string Hex(const Bytes& bytes) {
  std::string out;
  char two[4];
  for (std::uint8_t b : bytes) {
    std::snprintf(two, sizeof(two), "%02X ", b);
    out += two;
  }
  return out;
}

}  // namespace

TEST(ShiftJisToEucJp, AgreesWithIconvOnEveryJisX0208Character) {
  int compared = 0;
  for (int lead = 0x81; lead <= 0xEF; ++lead) {
    if (lead > 0x9F && lead < 0xE0) continue;
    for (int trail = 0x40; trail <= 0xFC; ++trail) {
      const std::uint8_t sjis[3] = {static_cast<std::uint8_t>(lead), static_cast<std::uint8_t>(trail), 0};
      Bytes euc;
      // Only what iconv maps onto a double-byte EUC-JP character of JIS X 0208.
      if (!Iconv("EUC-JP", "SHIFT_JIS", sjis, 2, euc) || euc.size() != 2 || euc[0] < 0xA1 || euc[1] < 0xA1)
        continue;
      std::uint8_t ours[3] = {0xCC, 0xCC, 0xCC};
      ASSERT_EQ(ShiftJisToEucJp(sjis, ours), 2u);
      ASSERT_EQ(Hex(Bytes(ours, ours + 3)), Hex(Bytes{euc[0], euc[1], 0}))
          << std::hex << lead << " " << trail;
      ++compared;
    }
  }
  EXPECT_GE(compared, 6870) << "JIS X 0208 has 6879 characters";

  // Single bytes, half-width katakana among them, pass unchanged, and so does
  // a lead byte with nothing after it.
  const std::uint8_t mixed[] = {0x41, 0xB1, 0x82, 0xA0, 0x82, 0};
  std::uint8_t out[sizeof(mixed)] = {};
  EXPECT_EQ(ShiftJisToEucJp(mixed, out), 5u);
  EXPECT_EQ(Hex(Bytes(out, out + 6)), "41 B1 A4 A2 82 00 ");
}

TEST(SearchText, PatternOfATextInEachCodePage) {
  struct Row {
    std::uint16_t codePage;
    std::u16string text;
    bool expressible;
    Bytes pattern;
  };
  const Row rows[] = {
      {932, u"\u3042\u4E9CA", true, {0x82, 0xA0, 0x88, 0x9F, 0x41}},
      {932, u"\uFF71", true, {0xB1}},
      {932, u"\u00E9", false, {}},
      {51932, u"\u3042\u4E9CA", true, {0xA4, 0xA2, 0xB0, 0xA1, 0x41}},
      {51932, u"\u2460", true, {0xAD, 0xA1}},  // NEC row 13 of code page 932
      {51932, u"\uFF71", false, {}},           // the EUC-JP column has no half-width katakana
      {51932, u"\uE000", false, {}},           // user-defined, lead byte F0: would wrap
      {51932, u"\u9AD9", false, {}},           // IBM extension, lead byte FB
      {51932, u"\u00E9", false, {}},
      {1200, u"A\xD800", true, {0x41, 0x00, 0x00, 0xD8}},
      {65001, u"\u00E9\u3042", true, {0xC3, 0xA9, 0xE3, 0x81, 0x82}},
      {65001, u"\U0001F600", true, {0xF0, 0x9F, 0x98, 0x80}},
      {65001,
       u"\x7F\x80\u07FF\u0800\uFFFF",
       true,
       {0x7F, 0xC2, 0x80, 0xDF, 0xBF, 0xE0, 0xA0, 0x80, 0xEF, 0xBF, 0xBF}},
      {65001, u"\xD800", false, {}},
      {65001, u"A\xD83D", false, {}},
      {65001, u"\xDE00\xD83D", false, {}},
      {1252, u"\u00E9\u20AC", true, {0xE9, 0x80}},
      {1252, u"\u3042", false, {}},
      {437, u"\u00E9", true, {0xE9}},  // any other code page: the ANSI code page
      {932, u"", true, {}},
  };
  IconvEncoder encoder;
  for (const Row& r : rows) {
    Bytes pattern{0xEE};
    EXPECT_EQ(TextPattern(encoder, r.codePage, r.text.c_str(), pattern), r.expressible) << r.codePage;
    if (r.expressible) {
      EXPECT_EQ(Hex(pattern), Hex(r.pattern)) << r.codePage;
    }
  }
}

// The search encodes code page 932 through the table the column is drawn
// through: each character's bytes are the form the system's own conversion
// of text gives (iconv's CP932 agrees with it), the lowest of several but
// for the NEC-selected IBM extensions, which yield to the IBM ones.
TEST(SearchText, ShiftJisFormsAreTheSystemsEncodingOfEveryCharacter) {
  static Cp932Table table;
  FillCp932Table(table, [](const std::uint8_t* bytes, std::size_t count) -> char16_t {
    Bytes unit;
    if (!Iconv("UTF-16LE", "CP932", bytes, count, unit) || unit.size() != 2) return kReplacementChar;
    return static_cast<char16_t>(unit[0] | unit[1] << 8);
  });
  static Cp932Forms forms;
  FillCp932Forms(table, forms);
  int compared = 0;
  for (std::uint32_t u = 1; u < 0x10000; ++u) {
    const auto unit = static_cast<char16_t>(u);
    if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) continue;
    Bytes expected;
    Bytes ours;
    const bool known = Iconv("CP932", "UTF-16LE", &unit, 2, expected);
    const bool encoded = EncodeCp932(forms, &unit, 1, ours);
    // iconv writes some characters that no byte of CP932 decodes to (its
    // look-alikes); the table only knows what decodes.
    if (!encoded) continue;
    ASSERT_TRUE(known) << std::hex << u;
    ASSERT_EQ(Hex(ours), Hex(expected)) << std::hex << u;
    ++compared;
  }
  EXPECT_GE(compared, 7000);
}
