#include "dumpview/caret.h"

#include <algorithm>

namespace {

// SetCaretPos takes int coordinates; a caret many rows off screen (4 million
// rows of 18 pixels is beyond 32 bits) is pinned far outside the client area,
// where the system clips it just the same, with room left for the caret's own
// size.
constexpr std::int64_t kFarOff = 0x3FFFFFFF;

std::int32_t Pin(std::int64_t value) {
  return static_cast<std::int32_t>(std::clamp(value, -kFarOff, kFarOff));
}

std::uint32_t CaretRow(const DumpViewState& state) { return RowOfByte(state.caret); }
std::uint32_t CaretColumnInRow(const DumpViewState& state) { return PlaceInRow(state.caret); }

// The column that becomes the first shown one, or kNoIndex when the caret's
// cell is already whole on screen.
std::uint32_t HorizontalTarget(const DumpViewState& state) {
  const std::uint32_t i = CaretColumnInRow(state);
  const std::uint32_t lc = LeftColumn(state);
  const std::uint32_t pc = PageColumns(state);
  // 64-bit: leftColumn may have been set unchecked through the thumb.
  const std::uint64_t shownEnd = static_cast<std::uint64_t>(lc) + pc;
  if ((state.flags & CaretInText) == 0) {
    // the column left of the pair comes first
    if (ColumnBeforeHex(i) < lc) return ColumnBeforeHex(i);
    // the pair's first digit is whole on screen
    if (HexSecondDigitColumn(i) <= shownEnd) return kNoIndex;
    return HexSecondDigitColumn(i) + 1 - pc;  // the pair's second digit comes last
  }
  const std::uint32_t cell = TextColumn(i);
  if (cell - 1 < lc) return cell - 1;         // the column left of the cell comes first
  if (cell + 2 <= shownEnd) return kNoIndex;  // the column after the cell is whole on screen
  return cell + 1 - pc;                       // the cell comes last
}

}  // namespace

CaretPixel CaretPixelOf(const DumpViewState& state) {
  const DumpGeometry g = GeometryOf(state);
  const std::uint32_t i = CaretColumnInRow(state);
  const std::int64_t column = (state.flags & CaretInText) != 0 ? TextColumn(i) : HexColumn(i);
  const std::int64_t rowsBelowTop = static_cast<std::int64_t>(CaretRow(state)) - TopRow(state);
  CaretPixel pixel;
  pixel.x = (column - LeftColumn(state)) * static_cast<std::int64_t>(g.cellWidth) - 1;
  pixel.y = rowsBelowTop * static_cast<std::int64_t>(g.rowPitch) + g.headerBand + g.textInset;
  return pixel;
}

void PlaceCaret(DumpViewPort& port, DumpViewState& state) {
  if ((state.flags & HasFocus) == 0) return;
  const CaretPixel pixel = CaretPixelOf(state);
  // Above the header band means exactly: the caret's row lies above topRow.
  if (pixel.y < static_cast<std::int64_t>(GeometryOf(state).headerBand)) {
    if ((state.flags & CaretVisible) != 0) {
      port.HideCaret();
      ClearFlags(state, CaretVisible);
    }
    port.SetCaretPos(Pin(pixel.x), Pin(pixel.y));
    return;
  }
  port.SetCaretPos(Pin(pixel.x), Pin(pixel.y));
  // The system counts hides: show only when the caret is hidden.
  if ((state.flags & CaretVisible) == 0) {
    port.ShowCaret();
    SetFlags(state, CaretVisible);
  }
}

void EnsureCaretVisible(DumpViewPort& port, DumpViewState& state) {
  const std::uint32_t row = CaretRow(state);
  const std::uint32_t top = TopRow(state);
  // In a view too low for one whole row the caret's row is brought to the
  // top rather than one row past it.
  const std::uint32_t page = PlacingPageRows(state);
  // Compared by rows in 64 bits: the byte form p + 1 > 16 * (T + P) wraps for
  // a caret at 0xFFFFFFFF or a topRow far down.
  if (row < top) {
    port.SendScroll(ScrollBar::Vertical, ScrollThumbTrack, row);
  } else if (row >= static_cast<std::uint64_t>(top) + page) {
    port.SendScroll(ScrollBar::Vertical, ScrollThumbTrack, row - page + 1);
  }

  const std::uint32_t column = HorizontalTarget(state);
  if (column == kNoIndex) {
    PlaceCaret(port, state);
    port.Redraw(RedrawInvalidate);
  } else {
    port.SendScroll(ScrollBar::Horizontal, ScrollThumbTrack, column);
  }
}

std::int32_t CaretShapeWidth(const DumpViewState& state) {
  return (state.flags & BlockCaret) != 0 ? static_cast<std::int32_t>(state.fontHeight / 2) : 0;
}

void GainFocus(DumpViewPort& port, DumpViewState& state) {
  // A new system caret starts hidden, whatever the flag said before.
  ClearFlags(state, CaretVisible);
  port.CreateCaret(CaretShapeWidth(state), static_cast<std::int32_t>(state.fontHeight));
  SetFlags(state, HasFocus);
  PlaceCaret(port, state);
}

void RecreateCaret(DumpViewPort& port, DumpViewState& state) {
  // Without the focus the system caret is another window's: the next
  // WM_SETFOCUS creates it in the new shape and size.
  if (!HasFlags(state, HasFocus)) return;
  port.DestroyCaret();
  ClearFlags(state, CaretVisible);
  port.CreateCaret(CaretShapeWidth(state), static_cast<std::int32_t>(state.fontHeight));
  PlaceCaret(port, state);
}

void LoseFocus(DumpViewPort& port, DumpViewState& state) {
  ClearFlags(state, HasFocus | CaretVisible);
  port.DestroyCaret();
}
