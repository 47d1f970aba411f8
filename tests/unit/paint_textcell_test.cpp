// The text cells of the dump view: the choice of decoder, the plain-byte
// decoder and the cell flip that the multi-byte decoders use at selection
// boundaries.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dumpview/paintlayout.h"
#include "dumpview/textcell.h"
#include "gridcanvas.h"
#include "paintfixture.h"

using namespace paintfixture;

namespace {

constexpr ClientSize kClient{680, 124};

TEST(TextCell, DecoderByCodePage) {
  EXPECT_EQ(TextDecoderOf(932), TextDecoder::ShiftJis);
  EXPECT_EQ(TextDecoderOf(51932), TextDecoder::EucJp);
  EXPECT_EQ(TextDecoderOf(1200), TextDecoder::Utf16Le);
  EXPECT_EQ(TextDecoderOf(65001), TextDecoder::Utf8);
  for (int other : {1252, 0, 437, 1201, 20932, 65000, 0xFFFF}) {
    EXPECT_EQ(TextDecoderOf(static_cast<std::uint16_t>(other)), TextDecoder::PlainBytes) << other;
  }
}

TEST(TextCell, PlainByteIsOneCodeUnitInThePairInForce) {
  std::vector<std::uint8_t> bytes = {0x41, 0xE9, 0x80};
  DumpViewState state = MakeState(bytes.data(), 3, kClient);
  GridCanvas canvas = CanvasFor(kClient);
  TextCellPaint paint{canvas, state, GeometryOf(state), SelectionSpanOf(state), {0, 0}};
  canvas.SetTextColor(kSelText);
  canvas.SetBackColor(kSelBack);
  canvas.ClearLog();
  DrawTextCell(paint, 1, 1, 0, RowY(0));
  ASSERT_EQ(canvas.log().size(), 1u);
  EXPECT_EQ(canvas.log()[0], "W 504,28 \"\\u00E9\"");
  EXPECT_EQ(canvas.Pairs(RowY(0), Legend()).substr(63, 1), "S");
  EXPECT_EQ(paint.decoder.textPending, 0u);
}

// A cell flip on text cell j = 4 of row 1 over an arbitrary pixel pattern.
TEST(TextCell, FlipXorsEveryPixelOfOneCellWithBothBackgrounds) {
  DumpViewState state = MakeState(nullptr, 0, kClient);
  GridCanvas canvas = CanvasFor(kClient);
  // A pattern: stripes of the two backgrounds and some other colours.
  for (std::int32_t y = 0; y < 124; ++y) {
    const ColorRef color =
        y % 3 == 0 ? kSelBack : (y % 3 == 1 ? kBack : 0x00123456u + static_cast<ColorRef>(y));
    CanvasBrush* brush = canvas.CreateBrush(color);
    for (std::int32_t x = 0; x < 680; x += 8) {
      canvas.Fill({x, y, x + 4, y + 1}, brush);
    }
    canvas.ReleaseBrush(brush);
  }
  std::vector<ColorRef> before;
  for (std::int32_t y = 0; y < 124; ++y)
    for (std::int32_t x = 0; x < 680; ++x) before.push_back(canvas.PixelAt(x, y));
  canvas.ClearLog();

  TextCellPaint paint{canvas, state, GeometryOf(state), SelectionSpanOf(state), {0, 0}};
  FlipTextCell(paint, 4, RowY(1));

  const std::int32_t left = 8 * 66, top = RowY(1);
  for (std::int32_t y = 0; y < 124; ++y) {
    for (std::int32_t x = 0; x < 680; ++x) {
      const ColorRef p = before[static_cast<std::size_t>(y * 680 + x)];
      const bool inside = x >= left && x < left + 8 && y >= top && y < top + 16;
      ASSERT_EQ(canvas.PixelAt(x, y), inside ? (p ^ kSelBack ^ kBack) : p) << x << "," << y;
    }
  }
  // In the cell, the selection background became the data background and back.
  EXPECT_EQ(canvas.PixelAt(left, RowY(1) + 2), kBack);     // y = 48: 48 % 3 == 0, was selBack
  EXPECT_EQ(canvas.PixelAt(left, RowY(1) + 3), kSelBack);  // y = 49, was back
  const std::vector<std::string> expected = {
      "mix xor",         "brush #804000", "fill 528,46,536,62 #804000 xor",
      "release #804000", "brush #FFFFF0", "fill 528,46,536,62 #FFFFF0 xor",
      "release #FFFFF0", "mix copy"};
  EXPECT_EQ(canvas.log(), expected);
  EXPECT_EQ(canvas.LiveBrushes(), 0);
}

TEST(TextCell, FlipTurnsAGlyphCellOverToTheOtherPair) {
  std::vector<std::uint8_t> bytes = {0x41};
  DumpViewState state = MakeState(bytes.data(), 1, kClient);
  GridCanvas canvas = CanvasFor(kClient);
  TextCellPaint paint{canvas, state, GeometryOf(state), SelectionSpanOf(state), {0, 0}};
  SwitchToSelectionPair(paint);
  DrawTextCell(paint, 0, 0, 0, RowY(0));
  FlipTextCell(paint, 0, RowY(0));
  // Background selBack -> back; the glyph's colour moved by the same XOR.
  EXPECT_EQ(canvas.PixelAt(8 * 62, RowY(0)), kBack);
  EXPECT_EQ(canvas.CellAt(RowY(0), 62).text, kSelText ^ kSelBack ^ kBack);
  EXPECT_EQ(canvas.PixelAt(8 * 62, RowY(0) + 15), kBack);
  EXPECT_EQ(canvas.PixelAt(8 * 62, RowY(0) + 16), GridCanvas::kUnpainted);  // the font height, not the pitch
  EXPECT_EQ(canvas.mixMode(), MixMode::Copy);
}

TEST(TextCell, FlipWithABrushMissingLeavesTheCellAsItWas) {
  std::vector<std::uint8_t> bytes = {0x41};
  DumpViewState state = MakeState(bytes.data(), 1, kClient);
  for (int failing : {1, 2}) {
    GridCanvas canvas = CanvasFor(kClient);
    TextCellPaint paint{canvas, state, GeometryOf(state), SelectionSpanOf(state), {0, 0}};
    SwitchToSelectionPair(paint);
    DrawTextCell(paint, 0, 0, 0, RowY(0));
    canvas.failBrushNumber = failing;
    FlipTextCell(paint, 0, RowY(0));
    EXPECT_EQ(canvas.PixelsOtherThan({496, RowY(0), 504, RowY(0) + 16}, kSelBack), 0) << failing;
    EXPECT_EQ(canvas.CellAt(RowY(0), 62).text, kSelText);
    EXPECT_EQ(canvas.mixMode(), MixMode::Copy);
    EXPECT_EQ(canvas.LiveBrushes(), 0);
  }
}

TEST(TextCell, SelectionSpanValues) {
  DumpViewState state{};
  state.anchor = 3;
  state.caret = 6;
  SelectionSpan span = SelectionSpanOf(state);
  EXPECT_EQ(span.selStart, 3u);
  EXPECT_EQ(span.selEnd, 5u);
  EXPECT_FALSE(span.selecting);
  EXPECT_FALSE(IsSelected(span, 4));
  state.flags = Selecting;
  state.anchor = 6;
  state.caret = 3;
  span = SelectionSpanOf(state);
  EXPECT_EQ(span.selStart, 3u);
  EXPECT_EQ(span.selEnd, 5u);
  EXPECT_TRUE(IsSelected(span, 3));
  EXPECT_TRUE(IsSelected(span, 5));
  EXPECT_FALSE(IsSelected(span, 6));
  state.anchor = state.caret = 0;
  span = SelectionSpanOf(state);
  EXPECT_EQ(span.selStart, 1u);
  EXPECT_EQ(span.selEnd, 0u);
  EXPECT_FALSE(IsSelected(span, 0));
  EXPECT_FALSE(IsSelected(span, 1));
}

}  // namespace
