#include "dumpview/mouse.h"

#include <algorithm>

#include "dumpview/caret.h"
#include "dumpview/keyboard.h"
#include "dumpview/scrolling.h"

namespace {

// All pointer arithmetic runs in 64 bits, signed, with C++ division, which
// truncates toward zero: a point less than one row above the first row still
// falls in it, and the address's last two digits still give a row's byte 0.
struct Grid {
  std::int64_t cellWidth;
  std::int64_t half;
  std::int64_t rowGap;
  std::int64_t rowPitch;
  std::int64_t headerBand;
  std::int64_t topRow;
  std::int64_t leftColumn;
  bool block;
};

Grid GridOf(const DumpViewState& state) {
  const DumpGeometry g = GeometryOf(state);
  return Grid{g.cellWidth,  g.cellWidth / 2, g.rowGap,          g.rowPitch,
              g.headerBand, TopRow(state),   LeftColumn(state), HasFlags(state, BlockCaret)};
}

std::int64_t RowAt(const Grid& grid, std::int64_t y) {
  return (y - grid.headerBand - grid.rowGap) / grid.rowPitch + grid.topRow;
}

// The hex pair for x: with the line caret the three columns from the second
// digit of the previous pair to the first digit of this one, with the block
// caret the three centred on the pair's two digits.
std::int64_t HexPairAt(const Grid& grid, std::int64_t x) {
  const std::int64_t t = grid.block ? (x - grid.half) / grid.cellWidth + grid.leftColumn - ColumnBeforeHex(0)
                                    : x / grid.cellWidth + grid.leftColumn - (ColumnBeforeHex(0) - 1);
  return t / 3;
}

// The text cell for x: with the line caret the nearest cell edge, with the
// block caret the cell under the pointer.
std::int64_t TextCellAt(const Grid& grid, std::int64_t x) {
  return grid.block ? x / grid.cellWidth + grid.leftColumn - TextColumn(0)
                    : (x + grid.half) / grid.cellWidth + grid.leftColumn - TextColumn(0);
}

std::uint32_t HoldInData(const DumpViewState& state, std::int64_t position) {
  return static_cast<std::uint32_t>(std::clamp<std::int64_t>(position, 0, state.dataLength));
}

std::uint32_t VAutoSpeed(const DumpViewState& state) { return state.scrollFlags & VAutoSpeedMask; }

void SetVAutoSpeed(DumpViewState& state, std::uint32_t speed) {
  state.scrollFlags = static_cast<std::uint8_t>((state.scrollFlags & ~VAutoSpeedMask) | speed);
}

bool IsRunning(const DumpViewState& state, std::uint32_t id) {
  return (state.runningTimers & AutoScrollTimerBit(id)) != 0;
}

bool IsVertical(std::uint32_t id) { return id == DVT_SCROLLUP || id == DVT_SCROLLDOWN; }

std::uint32_t OppositeTimer(std::uint32_t id) {
  switch (id) {
    case DVT_SCROLLUP:
      return DVT_SCROLLDOWN;
    case DVT_SCROLLDOWN:
      return DVT_SCROLLUP;
    case DVT_SCROLLLEFT:
      return DVT_SCROLLRIGHT;
    default:
      return DVT_SCROLLLEFT;
  }
}

// Stops one timer and forgets its speed or flag.
void EndTimer(DumpViewPort& port, DumpViewState& state, std::uint32_t id) {
  port.StopTimer(id);
  state.runningTimers = static_cast<std::uint8_t>(state.runningTimers & ~AutoScrollTimerBit(id));
  if (IsVertical(id)) {
    SetVAutoSpeed(state, 0);
  } else {
    state.scrollFlags = static_cast<std::uint8_t>(state.scrollFlags & ~HAutoScroll);
  }
}

// The pointer is on the side of timer id: a timer still running for the
// other side (the pointer jumped across without coming inside) stops.
void LeaveOppositeSide(DumpViewPort& port, DumpViewState& state, std::uint32_t id) {
  const std::uint32_t opposite = OppositeTimer(id);
  if (IsRunning(state, opposite)) EndTimer(port, state, opposite);
}

// The speed rule: a vertical timer at the zone's speed, restarted only when
// the speed changes.
void RunVerticalTimer(DumpViewPort& port, DumpViewState& state, std::uint32_t id, std::uint32_t speed) {
  const std::uint32_t current = VAutoSpeed(state);
  if (current == speed) return;
  if (current != 0) port.StopTimer(id);
  port.StartTimer(id, kVerticalPeriods[speed]);
  SetVAutoSpeed(state, speed);
  state.runningTimers = static_cast<std::uint8_t>(state.runningTimers | AutoScrollTimerBit(id));
}

void RunHorizontalTimer(DumpViewPort& port, DumpViewState& state, std::uint32_t id) {
  if ((state.scrollFlags & HAutoScroll) != 0) return;
  port.StartTimer(id, kHorizontalPeriod);
  state.scrollFlags = static_cast<std::uint8_t>(state.scrollFlags | HAutoScroll);
  state.runningTimers = static_cast<std::uint8_t>(state.runningTimers | AutoScrollTimerBit(id));
}

void StopVerticalTimers(DumpViewPort& port, DumpViewState& state) {
  if (VAutoSpeed(state) == 0) return;
  EndTimer(port, state, DVT_SCROLLUP);
  EndTimer(port, state, DVT_SCROLLDOWN);
}

void StopHorizontalTimers(DumpViewPort& port, DumpViewState& state) {
  if ((state.scrollFlags & HAutoScroll) == 0) return;
  EndTimer(port, state, DVT_SCROLLLEFT);
  EndTimer(port, state, DVT_SCROLLRIGHT);
}

// The first grid column that is not whole on screen.
std::int64_t FirstHiddenColumn(const DumpViewState& state, std::uint32_t clientWidth) {
  return clientWidth / GeometryOf(state).cellWidth + static_cast<std::int64_t>(LeftColumn(state));
}

// Whether the caret's first text cell, or first hex pair, is scrolled off to
// the left / the last one still lies right of the view.
bool MoreOnTheLeft(const DumpViewState& state) {
  return LeftColumn(state) > (HasFlags(state, CaretInText) ? TextColumn(0) : HexColumn(0));
}
bool MoreOnTheRight(const DumpViewState& state, std::int64_t firstHidden) {
  return firstHidden < (HasFlags(state, CaretInText) ? kLastGridColumn : kLastHexColumn);
}

// The vertical part of a drag move; answers whether the pointer is outside.
bool FollowVertically(DumpViewPort& port, DumpViewState& state, std::int64_t y, std::int64_t clientHeight) {
  const std::uint32_t headerBand = GeometryOf(state).headerBand;
  if (y < headerBand) {
    LeaveOppositeSide(port, state, DVT_SCROLLUP);
    if (state.caret != 0) RunVerticalTimer(port, state, DVT_SCROLLUP, AutoScrollSpeed(-y, headerBand));
    return true;
  }
  if (y <= clientHeight) {
    StopVerticalTimers(port, state);
    return false;
  }
  LeaveOppositeSide(port, state, DVT_SCROLLDOWN);
  if (state.caret < state.dataLength) {
    RunVerticalTimer(port, state, DVT_SCROLLDOWN, AutoScrollSpeed(y - clientHeight, headerBand));
  }
  return true;
}

// The horizontal part of a drag move; answers whether the pointer is outside.
bool FollowHorizontally(DumpViewPort& port, DumpViewState& state, std::int64_t x, std::uint32_t clientWidth) {
  if (x < 0) {
    LeaveOppositeSide(port, state, DVT_SCROLLLEFT);
    if (state.caret == 0) return true;
    if (MoreOnTheLeft(state)) {
      RunHorizontalTimer(port, state, DVT_SCROLLLEFT);
    } else if (IsRunning(state, DVT_SCROLLLEFT)) {
      EndTimer(port, state, DVT_SCROLLLEFT);
    }
    return true;
  }
  if (x > clientWidth) {
    LeaveOppositeSide(port, state, DVT_SCROLLRIGHT);
    if (state.caret >= state.dataLength) return true;
    if (MoreOnTheRight(state, FirstHiddenColumn(state, clientWidth))) {
      RunHorizontalTimer(port, state, DVT_SCROLLRIGHT);
    } else if (IsRunning(state, DVT_SCROLLRIGHT)) {
      EndTimer(port, state, DVT_SCROLLRIGHT);
    }
    return true;
  }
  StopHorizontalTimers(port, state);
  return false;
}

void MoveCaretTo(DumpViewPort& port, DumpViewState& state, std::uint32_t position) {
  state.caret = position;
  port.Redraw(RedrawInvalidate);
  PlaceCaret(port, state);
}

void EndDrag(DumpViewPort& port, DumpViewState& state) {
  ClearFlags(state, Dragging);
  StopVerticalTimers(port, state);
  StopHorizontalTimers(port, state);
}

// The timer steps. The caret moves with the view by one row, one text cell
// or to the hex pair at the view's edge, held within 0..dataLength even when
// the view was moved away from it during the drag.
void ScrollUpTick(DumpViewPort& port, DumpViewState& state) {
  if (TopRow(state) == 0) {
    MoveCaretTo(port, state, 0);
    EndTimer(port, state, DVT_SCROLLUP);
    return;
  }
  state.caret = HoldInData(state, static_cast<std::int64_t>(state.caret) - kBytesPerRow);
  port.SendScroll(ScrollBar::Vertical, ScrollLineUp, 0);
}

void ScrollDownTick(DumpViewPort& port, DumpViewState& state) {
  if (TopRow(state) >= BottomPosition(state)) {
    MoveCaretTo(port, state, state.dataLength);
    EndTimer(port, state, DVT_SCROLLDOWN);
    return;
  }
  state.caret = HoldInData(state, static_cast<std::int64_t>(state.caret) + kBytesPerRow);
  port.SendScroll(ScrollBar::Vertical, ScrollLineDown, 0);
}

void ScrollLeftTick(DumpViewPort& port, DumpViewState& state) {
  if (!MoreOnTheLeft(state)) {
    EndTimer(port, state, DVT_SCROLLLEFT);
    return;
  }
  const std::int64_t caret = state.caret;
  const std::int64_t rowStart = caret - caret % kBytesPerRow;
  const std::int64_t next =
      HasFlags(state, CaretInText)
          ? caret - 1
          : rowStart + (static_cast<std::int64_t>(LeftColumn(state)) - HexColumn(0)) / 3;
  state.caret = HoldInData(state, next);
  port.SendScroll(ScrollBar::Horizontal, ScrollLineUp, 0);  // SB_LINELEFT
}

bool ScrollRightTick(DumpViewPort& port, DumpViewState& state) {
  if (state.caret >= state.dataLength) {
    MoveCaretTo(port, state, state.dataLength);
    EndTimer(port, state, DVT_SCROLLRIGHT);
    return false;
  }
  const std::int64_t firstHidden = FirstHiddenColumn(state, port.ClientArea().width);
  if (!MoreOnTheRight(state, firstHidden)) {
    EndTimer(port, state, DVT_SCROLLRIGHT);
    return true;
  }
  const std::int64_t caret = state.caret;
  const std::int64_t rowStart = caret - caret % kBytesPerRow;
  // In a view narrower than the address column the pair at its edge would lie
  // before the row's first byte.
  const std::int64_t next = HasFlags(state, CaretInText)
                                ? caret + 1
                                : rowStart + std::max<std::int64_t>((firstHidden - HexColumn(0)) / 3 + 1, 0);
  state.caret = HoldInData(state, next);
  port.SendScroll(ScrollBar::Horizontal, ScrollLineDown, 0);  // SB_LINERIGHT
  return true;
}

std::uint32_t WheelStep(DumpViewPort& port, const DumpViewState& state, bool horizontal) {
  if ((state.scrollFlags & WheelFromSystem) == 0) return kDefaultWheelLines;
  const std::uint32_t lines = port.WheelScrollLines();
  if (lines != kWheelPageScroll) return lines;
  return std::max(horizontal ? PageColumns(state) : PageRows(state), 1u);
}

}  // namespace

std::uint32_t HitTest(const DumpViewState& state, std::int32_t x, std::int32_t y, std::uint32_t* inText) {
  const Grid grid = GridOf(state);
  const std::int64_t row = RowAt(grid, y);
  if (row < 0) return kNoIndex;
  const std::int64_t pair = HexPairAt(grid, x);
  if (pair < 0) return kNoIndex;
  if (pair <= kLastByteInRow) {
    if (inText != nullptr) *inText = 0;
    return HoldInData(state, row * kBytesPerRow + pair);
  }
  const std::int64_t cell = TextCellAt(grid, x);
  if (cell < 0 || cell > kLastByteInRow) return kNoIndex;
  if (inText != nullptr) *inText = 1;
  return HoldInData(state, row * kBytesPerRow + cell);
}

std::uint32_t DragHitTest(const DumpViewState& state, std::int32_t x, std::int32_t y) {
  const Grid grid = GridOf(state);
  std::int64_t row = RowAt(grid, y);
  std::int64_t column = HasFlags(state, CaretInText) ? TextCellAt(grid, x) : HexPairAt(grid, x);
  if (column < 0) {
    column = 0;
  } else if (column > kLastByteInRow) {
    column = 0;
    ++row;
  }
  return HoldInData(state, row * kBytesPerRow + column);
}

std::uint32_t AutoScrollSpeed(std::int64_t distance, std::uint32_t headerBand) {
  const std::int64_t band = 3 * static_cast<std::int64_t>(headerBand);
  if (distance < band) return 1;
  return distance < 2 * band ? 2 : 3;
}

std::uint32_t HandleLeftButtonDown(DumpViewPort& port, DumpViewState& state, std::int32_t x, std::int32_t y,
                                   bool shift) {
  port.TakeFocus();
  std::uint32_t inText = 0;
  const std::uint32_t hit = HitTest(state, x, y, &inText);
  const DumpGeometry g = GeometryOf(state);
  if (y < static_cast<std::int64_t>(g.headerBand) + g.rowGap) return hit;  // the header band

  // A click on no cell says nothing of the column area: the caret keeps its.
  if (hit != kNoIndex) {
    if (inText != 0) {
      SetFlags(state, CaretInText);
    } else {
      ClearFlags(state, CaretInText);
    }
  }
  ApplyShiftRule(state, shift);
  MoveCaretTo(port, state, hit <= state.dataLength ? hit : state.dataLength);
  SetFlags(state, Dragging);
  port.CaptureMouse();
  return hit;
}

void HandleMouseMove(DumpViewPort& port, DumpViewState& state, std::int32_t x, std::int32_t y) {
  if (!HasFlags(state, Dragging)) return;
  const ClientSize client = port.ClientArea();
  const bool outsideVertically = FollowVertically(port, state, y, client.height);
  const bool outsideHorizontally = FollowHorizontally(port, state, x, client.width);
  if (outsideVertically || outsideHorizontally) return;

  // Inside the data area the drag selects from where the caret stood when the
  // pointer first came in.
  ApplyShiftRule(state, true);
  const std::uint32_t position = DragHitTest(state, x, y);
  if (position != state.caret) MoveCaretTo(port, state, position);
}

void HandleLeftButtonUp(DumpViewPort& port, DumpViewState& state) {
  EndDrag(port, state);
  port.ReleaseMouse();
}

void HandleCaptureLost(DumpViewPort& port, DumpViewState& state) {
  if (HasFlags(state, Dragging)) EndDrag(port, state);
}

bool HandleTimer(DumpViewPort& port, DumpViewState& state, std::uint32_t id) {
  switch (id) {
    case DVT_SCROLLUP:
      ScrollUpTick(port, state);
      return true;
    case DVT_SCROLLDOWN:
      ScrollDownTick(port, state);
      return true;
    case DVT_SCROLLLEFT:
      ScrollLeftTick(port, state);
      return true;
    case DVT_SCROLLRIGHT:
      return ScrollRightTick(port, state);
    default:
      return true;
  }
}

void HandleWheel(DumpViewPort& port, DumpViewState& state, std::int16_t delta, bool horizontal) {
  const std::uint32_t step = WheelStep(port, state, horizontal);
  if (step == 0) return;
  const ScrollBar bar = horizontal ? ScrollBar::Horizontal : ScrollBar::Vertical;
  const std::uint32_t position = horizontal ? LeftColumn(state) : TopRow(state);
  const std::uint32_t last = horizontal ? RightmostPosition(state) : BottomPosition(state);
  std::uint32_t next = 0;
  if (delta >= 0) {
    next = position > step ? position - step : 0;
  } else {
    next = static_cast<std::uint32_t>(
        std::min<std::uint64_t>(static_cast<std::uint64_t>(position) + step, last));
  }
  if (horizontal) {
    SetLeftColumn(state, next);
    port.PublishScrollInfo(bar, state.hScroll);
  } else {
    SetTopRow(state, next);
    port.PublishScrollInfo(bar, state.vScroll);
  }
  PlaceCaret(port, state);
  port.Redraw(RedrawInvalidate | RedrawErase);
}
