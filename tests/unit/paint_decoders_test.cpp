// The multi-byte decoders of the text column, painted through the real paint
// loop onto the screen-model canvas. Data lives in buffers of exactly its
// length, so that a read past the data stops the sanitized build; code page
// 932 and the encodings of the sample text come from glibc's iconv.
#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "dumpview/decoders.h"
#include "dumpview/paint.h"
#include "encoding/eucjp.h"
#include "gridcanvas.h"
#include "paintfixture.h"

using namespace paintfixture;

namespace {

constexpr ClientSize kClient{680, 260};  // rows 0..13

struct View {
  std::uint16_t codePage;
  std::uint32_t anchor = 0, caret = 0;
  bool selecting = false;
  std::uint32_t topRow = 0;
};

GridCanvas Paint(const std::string& bytes, const View& view, ClientSize client = kClient) {
  const std::uint32_t length = static_cast<std::uint32_t>(bytes.size());
  std::unique_ptr<std::uint8_t[]> exact(new std::uint8_t[length]);
  std::copy(bytes.begin(), bytes.end(), exact.get());
  DumpViewState state = MakeState(exact.get(), length, client);
  state.codePage = view.codePage;
  state.anchor = view.anchor;
  state.caret = view.caret;
  state.flags = view.selecting ? Selecting : 0;
  SetTopRow(state, view.topRow);
  GridCanvas canvas = CanvasFor(client);
  PaintDumpView(canvas, state, client);
  EXPECT_EQ(canvas.LiveBrushes(), 0);
  EXPECT_EQ(canvas.mixMode(), MixMode::Copy);
  return canvas;
}

// The cells of visible row k from text column 62 on: '_' where nothing is
// drawn, '~' for the right half of a full-width character, else the code unit.
std::u16string Cells(const GridCanvas& canvas, std::int32_t k, std::int32_t count = 17) {
  std::u16string cells;
  for (std::int32_t c = 62; c < 62 + count; ++c) {
    const GridCanvas::Cell cell = canvas.CellAt(RowY(k), c);
    cells.push_back(!cell.drawn ? u'_' : (cell.unit == GridCanvas::kWideTail ? u'~' : cell.unit));
  }
  return cells;
}

std::string Pairs(const GridCanvas& canvas, std::int32_t k, std::int32_t count) {
  // 'f': a cell flipped from the selection pair over to the data background.
  std::vector<GridCanvas::Pair> legend = Legend();
  legend.push_back({'f', kSelText ^ kSelBack ^ kBack, kBack});
  return canvas.Pairs(RowY(k), legend).substr(62, static_cast<std::size_t>(count));
}

// Characters in the encoding named, by iconv.
std::string Encode(const std::u32string& text, const char* encoding) {
  return GridCanvas::Iconv(encoding, "UTF-32LE",
                           std::string(reinterpret_cast<const char*>(text.data()), text.size() * 4));
}

// One Japanese sentence in four encodings: each character shows at the cell
// of its first byte, and every other byte's cell is the right half of a
// full-width character or blank, also where a character runs on into the
// next row.
TEST(TextDecoders, SentenceShowsEachCharacterAtItsFirstByte) {
  const std::u32string sentence = U"x日本語のテキストを、ABCと一緒に表示します。漢字かな交じり文";
  const std::pair<std::uint16_t, const char*> encodings[] = {
      {932, "CP932"}, {932, "SHIFT_JIS"}, {51932, "EUC-JP"}, {1200, "UTF-16LE"}, {65001, "UTF-8"}};
  for (const auto& [codePage, encoding] : encodings) {
    SCOPED_TRACE(encoding);
    const std::string bytes = Encode(sentence + sentence, encoding);
    ASSERT_LE(bytes.size(), 13u * 16);
    const GridCanvas canvas = Paint(bytes, View{codePage});
    std::vector<bool> lead(bytes.size() + 1, false);
    std::uint32_t offset = 0, straddling = 0;
    for (char32_t c : sentence + sentence) {
      const std::uint32_t size = static_cast<std::uint32_t>(Encode(std::u32string(1, c), encoding).size());
      const std::int32_t k = static_cast<std::int32_t>(offset / 16);
      ASSERT_EQ(Cells(canvas, k)[offset % 16], static_cast<char16_t>(c)) << "byte " << offset;
      straddling += offset % 16 + size > 16;
      lead[offset] = true;
      offset += size;
    }
    ASSERT_EQ(offset, bytes.size());
    for (std::uint32_t b = 0; b < bytes.size(); ++b) {
      const char16_t cell = Cells(canvas, static_cast<std::int32_t>(b / 16))[b % 16];
      if (!lead[b]) EXPECT_TRUE(cell == u'~' || cell == u' ') << "byte " << b;
    }
    if (codePage != 1200) EXPECT_GT(straddling, 0u) << "no character crosses a row";
  }
}

struct DecodeCase {
  std::uint16_t codePage;
  std::string bytes;
  std::u16string row0;  // cells from text column 62; the first past the data is blank
  std::u16string row1 = u"";
  std::uint32_t topRow = 0;
};

TEST(TextDecoders, CellsOfEachEncoding) {
  const std::string a15(15, 'A');
  const std::u16string u15(15, u'A');
  const DecodeCase cases[] = {
      {1252, "A\xE9\x80", u"A\u00E9\u0080 "},
      {932,
       "\x82\xA0"
       "A\xB1\x80\xA0\xFF",
       u"あ~Aｱ\u0080\u00A0\u00FF "},
      {932,
       a15 + "\x82\xA0"
             "B",
       u15 + u"あ~", u" B "},
      {932, "A\x82", u"A\u0082 "},               // a lead as the last byte
      {932, "\x81\x20\x81", u"\u30FB~\u0081 "},  // an undefined pair
      {932,
       a15 + "\x88\x9F"
             "B"
             "\x81\x40",
       u"\u6ABB~\u3000~ ", u"", 1},  // scrolled onto a trail byte
      {51932, "\xA4\xA2\x8E\xB1\xC8\xA1\xA1", u"あ~\u008E曳~\u3000~ "},
      {51932, "\xB0\xA1\xA4", u"亜~\u00A4 "},
      {1200,
       std::string("A\0\x42\x30\x3D\xD8\x00\xDE", 8),
       {u'A', u' ', u'あ', u'~', 0xD83D, u' ', 0xDE00, u' ', u' '}},  // a surrogate pair unjoined
      {1200, std::string("A\0B", 3), u"A B "},                        // odd length
      {65001, "\xC3\xA9\xE3\x81\x82\xF0\x9F\x98\x80Z", u"é あ~ 😀  Z "},
      {65001,
       "\xC3"
       "A\xA9\xE3"
       "A\xC3",
       u"\u00C3A©\u00E3A\u00C3 "},  // cut and stray bytes
      {65001, "\xF4\x90\x80\x80\xF8\x88\x80\x80\x80", u"\u0011\u0000  \u0020\u0000    "},
      {65001,
       a15 + "\xE3\x81\x82"
             "B",
       u15 + u"あ~ ", u"  B "},
  };
  for (const DecodeCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.codePage << " case of " << c.bytes.size() << " bytes");
    const GridCanvas canvas = Paint(c.bytes, View{c.codePage, 0, 0, false, c.topRow});
    EXPECT_EQ(Cells(canvas, 0, static_cast<std::int32_t>(c.row0.size())), c.row0);
    if (!c.row1.empty()) EXPECT_EQ(Cells(canvas, 1, static_cast<std::int32_t>(c.row1.size())), c.row1);
  }
}

// A two-cell character that straddles a selection edge shows each cell in its
// own byte's background; UTF-8 keeps its lead's colours.
TEST(TextDecoders, SelectionEdgesThroughTwoCellCharacters) {
  struct Case {
    std::uint16_t codePage;
    std::string bytes;
    std::uint32_t anchor, caret;
    std::string row0, row1 = "";
  };
  const std::string a15(15, 'A');
  const Case cases[] = {
      {932,
       "AAAA\x82\xA0"
       "AA",
       5, 7, "DDDDfSSD"},  // begins at the trail byte
      {932,
       "AAAA\x82\xA0"
       "AA",
       2, 5, "DDSSSfDD"},  // ends at the lead byte
      {932,
       "\x82\xA0"
       "AA",
       3, 3, "ffDD"},  // empty: both cells flip
      {51932, "A\xA4\xA2", 2, 3, "DfS"},
      {932,
       a15 + "\x82\xA0"
             "A",
       16, 18, std::string(15, 'D') + "fS", "SSd"},  // lead in column 15
      {1200, "\x42\x30\x42\x30", 1, 3, "fSSfD"},
      {65001,
       "A\xE3\x81\x82"
       "A",
       2, 5, "DDDDSd"},  // all in the lead's pair
      {65001,
       "A\xE3\x81\x82"
       "A",
       0, 2, "SSSSDD"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.codePage << " selection " << c.anchor << ".." << c.caret);
    const GridCanvas canvas = Paint(c.bytes, View{c.codePage, c.anchor, c.caret, true});
    EXPECT_EQ(Pairs(canvas, 0, static_cast<std::int32_t>(c.row0.size())), c.row0);
    if (!c.row1.empty()) EXPECT_EQ(Pairs(canvas, 1, static_cast<std::int32_t>(c.row1.size())), c.row1);
  }
}

// The row and cell arithmetic against iconv's own EUC-JP: every code of the
// JIS X 0208 rows (1 to 84) that both define is the same character.
TEST(TextDecoders, EucJpArithmeticMatchesIconv) {
  GridCanvas canvas = CanvasFor(kClient);
  int compared = 0;
  for (int lead = 0xA1; lead <= 0xF4; ++lead) {
    for (int trail = 0xA1; trail <= 0xFE; ++trail) {
      const std::string euc =
          GridCanvas::Iconv("UTF-16LE", "EUC-JP-MS", {static_cast<char>(lead), static_cast<char>(trail)});
      if (euc.size() != 2) continue;
      const ShiftJisPair pair =
          ShiftJisPairOfEucJp(static_cast<std::uint8_t>(lead), static_cast<std::uint8_t>(trail));
      const std::uint8_t sjis[2] = {pair.lead, pair.trail};
      ASSERT_EQ(canvas.ConvertCp932(sjis, 2),
                static_cast<unsigned char>(euc[0]) | static_cast<unsigned char>(euc[1]) << 8)
          << std::hex << lead << " " << trail;
      ++compared;
    }
  }
  EXPECT_GE(compared, 6879);  // the characters of JIS X 0208 at least
}

// Random bytes in every code page with random selections and scroll
// positions: nothing is read past the data, and a selection only ever changes
// colours, never which characters show.
TEST(TextDecoders, SelectionNeverChangesTheCharacters) {
  std::mt19937 random(20240611);
  const ClientSize client{680, 130};  // rows 0..5
  for (int round = 0; round < 120; ++round) {
    std::string bytes(1 + random() % 80, '\0');
    for (char& b : bytes) b = static_cast<char>(random() % 4 == 0 ? 0x80 + random() % 0x40 : random());
    const std::uint16_t codePage = std::vector<std::uint16_t>{1252, 932, 51932, 1200, 65001}[random() % 5];
    const std::uint32_t length = static_cast<std::uint32_t>(bytes.size());
    View plain{codePage};
    plain.topRow = random() % (length / 16 + 1);
    View selected = plain;
    selected.selecting = true;
    selected.anchor = random() % (length + 1);
    selected.caret = random() % (length + 1);
    const GridCanvas a = Paint(bytes, plain, client), b = Paint(bytes, selected, client);
    for (std::int32_t k = 0; k < 6; ++k) {
      ASSERT_EQ(Cells(a, k, 23), Cells(b, k, 23)) << "code page " << codePage << " round " << round;
    }
  }
}

}  // namespace
