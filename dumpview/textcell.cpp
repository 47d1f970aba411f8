#include "dumpview/textcell.h"

#include "dumpview/decoders.h"

void DrawTextUnits(TextCellPaint& paint, std::uint32_t j, std::int32_t y, const char16_t* units,
                   std::uint32_t count) {
  paint.canvas.TextWide(ColumnX(paint.state, paint.geometry, TextColumn(j)), y, units, count);
}

void SwitchToSelectionPair(TextCellPaint& paint) {
  paint.canvas.SetTextColor(paint.state.selTextColor);
  paint.canvas.SetBackColor(paint.state.selBackColor);
}

namespace {

// One XOR fill of the flip; false when its brush can't be made.
bool XorFill(DumpCanvas& canvas, const CanvasRect& rect, ColorRef color) {
  CanvasBrush* brush = canvas.CreateBrush(color);
  if (brush == nullptr) return false;
  canvas.Fill(rect, brush);
  canvas.ReleaseBrush(brush);
  return true;
}

}  // namespace

void DrawPlainByte(TextCellPaint& paint, std::uint32_t i, std::uint32_t j, std::int32_t y) {
  const char16_t unit = paint.state.data[i];
  DrawTextUnits(paint, j, y, &unit, 1);
}

void FlipTextCell(TextCellPaint& paint, std::uint32_t j, std::int32_t y) {
  const std::int32_t x = ColumnX(paint.state, paint.geometry, TextColumn(j));
  const CanvasRect cell{x, y, SaturatedPixel(static_cast<std::int64_t>(x) + paint.geometry.cellWidth),
                        SaturatedPixel(static_cast<std::int64_t>(y) + paint.geometry.fontHeight)};
  DumpCanvas& canvas = paint.canvas;
  canvas.SetMixMode(MixMode::Xor);
  if (XorFill(canvas, cell, paint.state.selBackColor)) {
    // Half a flip would leave the cell in neither background: when the second
    // brush can't be made, the first colour is XORed out again.
    if (!XorFill(canvas, cell, paint.state.backColor)) {
      XorFill(canvas, cell, paint.state.selBackColor);
    }
  }
  canvas.SetMixMode(MixMode::Copy);
}

void DrawTextCell(TextCellPaint& paint, std::uint32_t i, std::uint32_t j, std::uint32_t k, std::int32_t y) {
  switch (TextDecoderOf(paint.state.codePage)) {
    case TextDecoder::PlainBytes:
      DrawPlainByte(paint, i, j, y);
      break;
    case TextDecoder::ShiftJis:
      DrawShiftJisCell(paint, i, j, y);
      break;
    case TextDecoder::EucJp:
      DrawEucJpCell(paint, i, j, y);
      break;
    case TextDecoder::Utf16Le:
      DrawUtf16Cell(paint, i, j, y);
      break;
    case TextDecoder::Utf8:
      DrawUtf8Cell(paint, i, j, k, y);
      break;
  }
}
