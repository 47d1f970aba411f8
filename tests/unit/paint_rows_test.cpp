// What a paint of the dump view shows: header, addresses, hex cells, text
// cells and the colours of each, read back from a model of the screen.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "dumpview/paint.h"
#include "gridcanvas.h"
#include "paintfixture.h"

using namespace paintfixture;

namespace {

constexpr ClientSize kClient{680, 124};  // 85 cells; 100 px below the header band: 5 rows

const std::string kHeader = "00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F  0123456789ABCDEF";
// 79 grid columns then the six cells of margin the client has beyond them.
const std::string kMargin(85 - 79, '_');
const std::string kBlankRow = std::string(79, ' ') + kMargin;
const std::string kBlankRowPairs = std::string(12, 'H') + std::string(67, 'D') + kMargin;

void Paint(GridCanvas& canvas, const DumpViewState& state, ClientSize client = kClient) {
  PaintDumpView(canvas, state, client);
  EXPECT_EQ(canvas.LiveBrushes(), 0);
  EXPECT_EQ(canvas.mixMode(), MixMode::Copy);
}

TEST(PaintRows, HeaderLineStandsOverTheCellsInTheHeaderPair) {
  auto bytes = Letters(32);
  DumpViewState state = MakeState(bytes.data(), 32, kClient);
  GridCanvas canvas = CanvasFor(kClient);
  Paint(canvas, state);
  EXPECT_EQ(canvas.Text(kHeaderY), std::string(13, '_') + kHeader + std::string(85 - 78, '_'));
  EXPECT_EQ(canvas.Pairs(kHeaderY, Legend()),
            std::string(13, '_') + std::string(65, 'H') + std::string(7, '_'));
  // The label of byte 0x0A stands over the hex cell of byte 10, the "A" of the
  // text labels over its text cell.
  EXPECT_EQ(canvas.Text(kHeaderY, HexColumn(10), 2), "0A");
  EXPECT_EQ(canvas.Text(kHeaderY, TextColumn(10), 1), "A");
}

TEST(PaintRows, EmptyDataShowsBlankRowsWithoutReadingTheData) {
  DumpViewState state = MakeState(nullptr, 0, kClient);
  ASSERT_EQ(PageRows(state), 1u);
  GridCanvas canvas = CanvasFor(kClient);
  Paint(canvas, state);
  EXPECT_EQ(canvas.Text(kHeaderY, 13, 65), kHeader);
  for (int k = 0; k <= 1; ++k) {
    EXPECT_EQ(canvas.Text(RowY(k)), kBlankRow) << "row " << k;
    EXPECT_EQ(canvas.Pairs(RowY(k), Legend()), kBlankRowPairs) << "row " << k;
  }
  // pageRows + 1 rows, no more.
  EXPECT_EQ(canvas.Text(RowY(2)), std::string(85, '_'));
}

TEST(PaintRows, SixteenBytesFillRowZeroAndLeaveRowOneBlank) {
  auto bytes = Letters(16);
  DumpViewState state = MakeState(bytes.data(), 16, kClient);
  ASSERT_EQ(PageRows(state), 2u);
  GridCanvas canvas = CanvasFor(kClient);
  Paint(canvas, state);
  EXPECT_EQ(canvas.Text(RowY(0)),
            " 0x00000000  41 42 43 44 45 46 47 48 49 4A 4B 4C 4D 4E 4F 50  ABCDEFGHIJKLMNOP " + kMargin);
  EXPECT_EQ(canvas.Pairs(RowY(0), Legend()), kBlankRowPairs);
  EXPECT_EQ(canvas.Text(RowY(1)), kBlankRow);
  EXPECT_EQ(canvas.Pairs(RowY(1), Legend()), kBlankRowPairs);
  EXPECT_EQ(canvas.Text(RowY(2)), kBlankRow);
  EXPECT_EQ(canvas.Text(RowY(3)), std::string(85, '_'));
}

TEST(PaintRows, SeventeenthByteStartsRowOneAndItsBlanksCoverTheSeparator) {
  auto bytes = Letters(17);
  DumpViewState state = MakeState(bytes.data(), 17, kClient);
  GridCanvas canvas = CanvasFor(kClient);
  Paint(canvas, state);
  EXPECT_EQ(canvas.Text(RowY(1)),
            " 0x00000010  51" + std::string(45, ' ') + "  Q" + std::string(15, ' ') + " " + kMargin);
  EXPECT_EQ(canvas.Pairs(RowY(1), Legend()), kBlankRowPairs);
  // The separator after byte 16 is drawn, then overdrawn by the blanks of the
  // first position past the data.
  const std::vector<std::string>& log = canvas.log();
  const std::string separator = "A 120," + std::to_string(RowY(1)) + " \" \"";
  const std::string blanks = "A 120," + std::to_string(RowY(1)) + " \"   \"";
  auto first = std::find(log.begin(), log.end(), separator);
  ASSERT_NE(first, log.end());
  EXPECT_EQ(*(first + 1), blanks);
}

TEST(PaintRows, NonAsciiBytesShowAsTheCodeUnitOfTheSameValue) {
  std::vector<std::uint8_t> bytes = {0x41, 0xE9, 0x80, 0x00, 0x7F, 0xFF};
  DumpViewState state = MakeState(bytes.data(), 6, kClient);
  GridCanvas canvas = CanvasFor(kClient);
  Paint(canvas, state);
  EXPECT_EQ(canvas.Text(RowY(0), 13, 17), "41 E9 80 00 7F FF");
  const char16_t expected[] = {u'A', u'\u00E9', u'\u0080', u'\u0000', u'\u007F', u'\u00FF'};
  for (std::uint32_t j = 0; j < 6; ++j) {
    GridCanvas::Cell cell = canvas.CellAt(RowY(0), static_cast<std::int32_t>(TextColumn(j)));
    EXPECT_TRUE(cell.drawn);
    EXPECT_EQ(cell.unit, expected[j]) << "byte " << j;
  }
}

TEST(PaintRows, ScrolledPastTheAddressColumnTheHeaderStartsAtTheLeftEdge) {
  auto bytes = Letters(40);
  DumpViewState state = MakeState(bytes.data(), 40, kClient);
  SetLeftColumn(state, 13);
  GridCanvas canvas = CanvasFor(kClient);
  Paint(canvas, state);
  EXPECT_EQ(canvas.Text(kHeaderY, 0, 65), kHeader);
  EXPECT_EQ(canvas.Text(RowY(0), 0, 66),
            "41 42 43 44 45 46 47 48 49 4A 4B 4C 4D 4E 4F 50  ABCDEFGHIJKLMNOP ");
  EXPECT_EQ(canvas.Pairs(RowY(0), Legend()).substr(0, 66), std::string(66, 'D'));
  EXPECT_EQ(canvas.Text(RowY(2), 0, 66),
            "47 48 49 4A 4B 4C 4D 4E" + std::string(24, ' ') + "  GHIJKLMN" + std::string(9, ' '));
}

TEST(PaintRows, AddressOfRow0x12HasTheDigits00000120) {
  auto bytes = Letters(0x200);
  DumpViewState state = MakeState(bytes.data(), 0x200, kClient);
  SetTopRow(state, 0x12);
  GridCanvas canvas = CanvasFor(kClient);
  Paint(canvas, state);
  EXPECT_EQ(canvas.Text(RowY(0), 0, 12), " 0x00000120 ");
  EXPECT_EQ(canvas.Text(RowY(1), 0, 12), " 0x00000130 ");
  EXPECT_EQ(canvas.Text(RowY(0), 13, 2), "43");  // byte 0x120 = 288 -> 'A' + 288 % 26
}

TEST(PaintRows, RowAddressFormatting) {
  char16_t out[kRowAddressLength];
  auto text = [&](std::uint32_t row) {
    FormatRowAddress(row, out);
    return std::u16string(out, kRowAddressLength);
  };
  EXPECT_EQ(text(0), u" 0x00000000 ");
  EXPECT_EQ(text(0xABCDEF), u" 0x0ABCDEF0 ");
  EXPECT_EQ(text(0x0FFFFFFF), u" 0xFFFFFFF0 ");
  char16_t hex[2];
  FormatHexByte(0x0A, hex);
  EXPECT_EQ(std::u16string(hex, 2), u"0A");
  FormatHexByte(0xF0, hex);
  EXPECT_EQ(std::u16string(hex, 2), u"F0");
}

TEST(PaintRows, TheRowsAreDrawnInTheirOrderOfOutputs) {
  std::vector<std::uint8_t> bytes = {0x41, 0x42, 0x43};
  DumpViewState state = MakeState(bytes.data(), 3, kClient);
  state.flags = Selecting;
  state.anchor = 1;
  state.caret = 2;  // byte 1 selected
  GridCanvas canvas = CanvasFor(kClient);
  Paint(canvas, state);
  const std::vector<std::string>& log = canvas.log();
  const std::string y = "," + std::to_string(RowY(0)) + " ";
  const std::vector<std::string> expected = {
      "text #000020", "back #C0C0C0", "W 0" + y + "\" 0x00000000 \"", "text #000010", "back #FFFFF0",
      "A 480" + y + "\"  \"", "A 96" + y + "\" \"", "A 624" + y + "\" \"",
      // byte 0, not selected
      "text #000010", "back #FFFFF0", "W 104" + y + "\"41\"", "W 496" + y + "\"A\"", "A 120" + y + "\" \"",
      // byte 1, the last selected byte: the separator gets the data background
      "text #FFFF30", "back #804000", "W 128" + y + "\"42\"", "W 504" + y + "\"B\"", "back #FFFFF0",
      "A 144" + y + "\" \"",
      // byte 2
      "text #000010", "back #FFFFF0", "W 152" + y + "\"43\"", "W 512" + y + "\"C\"", "A 168" + y + "\" \"",
      // positions 3 to 15, past the data
      "A 168" + y + "\"   \"", "A 520" + y + "\" \""};
  // The header line comes first: two colours and the text.
  ASSERT_GE(log.size(), 3 + expected.size());
  EXPECT_EQ(log[0], "text #000020");
  EXPECT_EQ(log[1], "back #C0C0C0");
  EXPECT_EQ(log[2], "A 104,4 \"" + kHeader + "\"");
  const std::vector<std::string> row(log.begin() + 3, log.begin() + 3 + static_cast<long>(expected.size()));
  EXPECT_EQ(row, expected);
  // The rest of row 0 (twelve more positions past the data, two outputs
  // each), then row 1 (pageRows 1 + 1 = 2 rows): its head and sixteen blank
  // positions.
  EXPECT_EQ(log.size(), 3 + expected.size() + 12 * 2 + (8 + 16 * 2));
}

std::string HexPairs(const GridCanvas& canvas, int k) {
  return canvas.Pairs(RowY(k), Legend()).substr(13, 47);
}

TEST(PaintSelection, BytesThreeToFiveWithTheirInnerSeparators) {
  auto bytes = Letters(32);
  DumpViewState state = MakeState(bytes.data(), 32, kClient);
  state.flags = Selecting;
  state.anchor = 3;
  state.caret = 6;
  GridCanvas canvas = CanvasFor(kClient);
  Paint(canvas, state);
  //                       0  1  2  3  4  5  6 ...
  EXPECT_EQ(HexPairs(canvas, 0), "DDDDDDDDDSSSSSSSSdDD" + std::string(27, 'D'));
  EXPECT_EQ(canvas.Pairs(RowY(0), Legend()).substr(62, 16), "DDDSSSDDDDDDDDDD");
  EXPECT_EQ(canvas.PixelAt(8 * (15 + 3 * 5), RowY(0)), kBack);
  EXPECT_EQ(HexPairs(canvas, 1), std::string(47, 'D'));

  // The same bytes with the caret at the start.
  state.anchor = 6;
  state.caret = 3;
  GridCanvas reversed = CanvasFor(kClient);
  Paint(reversed, state);
  EXPECT_EQ(HexPairs(reversed, 0), HexPairs(canvas, 0));
}

TEST(PaintSelection, SelectionAcrossARowEnd) {
  auto bytes = Letters(48);
  DumpViewState state = MakeState(bytes.data(), 48, kClient);
  state.flags = Selecting;
  state.anchor = 14;
  state.caret = 18;  // bytes 14..17
  GridCanvas canvas = CanvasFor(kClient);
  Paint(canvas, state);
  EXPECT_EQ(HexPairs(canvas, 0), std::string(42, 'D') + "SSSSS");
  EXPECT_EQ(HexPairs(canvas, 1), "SSSSSd" + std::string(41, 'D'));
}

TEST(PaintSelection, EmptySpanOrNoSelectingFlagShowsNothingSelected) {
  auto bytes = Letters(32);
  DumpViewState state = MakeState(bytes.data(), 32, kClient);
  for (int variant = 0; variant < 3; ++variant) {
    if (variant == 0) {  // Selecting with anchor = caret
      state.flags = Selecting;
      state.anchor = state.caret = 5;
    } else if (variant == 1) {  // the same at 1, where selStart 1 / selEnd 0 lie
      state.flags = Selecting;
      state.anchor = state.caret = 1;
    } else {  // a span without the flag
      state.flags = 0;
      state.anchor = 2;
      state.caret = 9;
    }
    GridCanvas canvas = CanvasFor(kClient);
    Paint(canvas, state);
    for (int k = 0; k < 3; ++k) {
      EXPECT_EQ(canvas.Pairs(RowY(k), Legend()), kBlankRowPairs) << "variant " << variant << " row " << k;
    }
  }
}

TEST(PaintRows, RowsBelowTheDataAndTheExtraPartlyVisibleRow) {
  auto bytes = Letters(16 * 40);
  ClientSize client{680, 24 + 18 * 3};  // exactly three rows fit
  DumpViewState state = MakeState(bytes.data(), 16 * 40, client);
  ASSERT_EQ(PageRows(state), 3u);
  EXPECT_EQ(PaintedRowCount(state, client), 4u);
  GridCanvas canvas = CanvasFor(client);
  PaintDumpView(canvas, state, client);
  // The fourth row starts at y = 82, below the client, and is drawn all the same.
  const std::string address = "W 0," + std::to_string(RowY(3)) + " \" 0x00000030 \"";
  EXPECT_NE(std::find(canvas.log().begin(), canvas.log().end(), address), canvas.log().end());
  const std::string past = "W 0," + std::to_string(RowY(4)) + " \" 0x00000040 \"";
  EXPECT_EQ(std::find(canvas.log().begin(), canvas.log().end(), past), canvas.log().end());
}

TEST(PaintRows, TopRowBeyondTheDataDrawsBlankRows) {
  auto bytes = Letters(64);  // rows 0..4, lastRow 4
  DumpViewState state = MakeState(bytes.data(), 64, kClient);
  for (std::uint32_t top : {3u, 500u, 0x0FFFFFFFu, 0x10000000u, 0x10000001u, 0xFFFFFFFFu}) {
    SetTopRow(state, top);
    GridCanvas canvas = CanvasFor(kClient);
    Paint(canvas, state);
    const int firstBlank = top == 3 ? 1 : 0;  // row 3 holds bytes 48..63
    if (top == 3) {
      EXPECT_EQ(canvas.Text(RowY(0), 0, 15), " 0x00000030  57");
    }
    // A row number times 16 that wraps in 32 bits must not land on the bytes
    // at the start of the data.
    for (int k = firstBlank; k <= 1; ++k) {
      EXPECT_EQ(canvas.Text(RowY(k)), kBlankRow) << "top " << top << " row " << k;
    }
  }
}

}  // namespace
