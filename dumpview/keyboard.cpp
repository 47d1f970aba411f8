#include "dumpview/keyboard.h"

#include <algorithm>

#include "dumpview/caret.h"

namespace {

bool IsNavigationKey(std::uint32_t key) { return key >= KeyPageUp && key <= KeyDown; }

// The position in the given row at the given column, held within the data:
// rows above the first or below the last are taken as the first or the last,
// and a column past the end of the last row moves one row up, as far as
// there is a row above; otherwise the end of the data.
std::uint32_t PositionInRow(const DumpViewState& state, std::int64_t row, std::uint32_t column) {
  const std::int64_t held = std::clamp<std::int64_t>(row, 0, LastRow(state));
  const std::uint64_t position = RowStart(static_cast<std::uint64_t>(held)) + column;
  if (position <= state.dataLength) return static_cast<std::uint32_t>(position);
  return held > 0 ? static_cast<std::uint32_t>(position - kBytesPerRow) : state.dataLength;
}

// Page Up moves the caret up by the rows the view moves back, or to the first
// row when the view already shows it.
std::uint32_t PageUpTarget(const DumpViewState& state) {
  const std::int64_t row = RowOfByte(state.caret);
  const std::int64_t top = TopRow(state);
  const std::int64_t page = PageRows(state);
  std::int64_t target = 0;
  if (top > page) {
    target = row - page;
  } else if (top > 0) {
    target = row - top;
  }
  return PositionInRow(state, target, PlaceInRow(state.caret));
}

// Page Down moves the caret down by the rows the view moves on, or to the
// last row when the view already shows it.
std::uint32_t PageDownTarget(const DumpViewState& state) {
  const std::int64_t row = RowOfByte(state.caret);
  const std::int64_t top = TopRow(state);
  const std::int64_t page = PageRows(state);
  const std::int64_t lastRow = LastRow(state);
  std::int64_t target = 0;
  if (top + 2 * page <= lastRow + 1) {
    target = row + page;  // a whole page fits before the last view position
  } else if (top + page > lastRow) {
    target = lastRow;  // the last row is already shown
  } else {
    target = row + (lastRow + 1 - page - top);  // as far as the bottom position
  }
  return PositionInRow(state, target, PlaceInRow(state.caret));
}

}  // namespace

void ApplyShiftRule(DumpViewState& state, bool shiftDown) {
  if (!shiftDown) {
    ClearFlags(state, Selecting);
  } else if (!HasFlags(state, Selecting)) {
    state.anchor = state.caret;
    SetFlags(state, Selecting);
  }
}

std::uint32_t NavigationTarget(const DumpViewState& state, std::uint32_t key) {
  const std::uint32_t caret = state.caret;
  switch (key) {
    case KeyHome:
      return 0;
    case KeyEnd:
      return state.dataLength;
    case KeyLeft:
      return caret > 0 ? caret - 1 : caret;
    case KeyRight:
      return caret < state.dataLength ? caret + 1 : caret;
    case KeyUp:
      return caret >= kBytesPerRow ? caret - kBytesPerRow : caret;
    case KeyDown:
      return static_cast<std::uint64_t>(caret) + kBytesPerRow <= state.dataLength ? caret + kBytesPerRow
                                                                                  : caret;
    case KeyPageUp:
      return PageUpTarget(state);
    case KeyPageDown:
      return PageDownTarget(state);
    default:
      return caret;
  }
}

void ToggleCaretShape(DumpViewPort& port, DumpViewState& state) {
  state.flags = static_cast<std::uint8_t>(state.flags ^ BlockCaret);
  RecreateCaret(port, state);
}

void HandleKeyDown(DumpViewPort& port, DumpViewState& state, std::uint32_t key) {
  if (key == KeyInsert) {
    ToggleCaretShape(port, state);
    return;
  }
  if (!IsNavigationKey(key)) return;
  ApplyShiftRule(state, port.ShiftDown());
  // The caret is stored before any scroll message re-enters the control.
  state.caret = NavigationTarget(state, key);
  if (key == KeyPageUp) {
    port.SendScroll(ScrollBar::Vertical, ScrollPageUp, 0);
  } else if (key == KeyPageDown) {
    port.SendScroll(ScrollBar::Vertical, ScrollPageDown, 0);
  } else {
    EnsureCaretVisible(port, state);
  }
}
