#include "dumpview/scrolling.h"

#include <algorithm>

#include "dumpview/caret.h"

namespace {

constexpr std::uint32_t kVerticalRepaint = RedrawInvalidate;
constexpr std::uint32_t kHorizontalRepaint = RedrawInvalidate | RedrawErase | RedrawUpdateNow;
constexpr std::uint32_t kFullRepaint = RedrawInvalidate | RedrawErase | RedrawUpdateNow | RedrawFrame;

void PublishVertical(DumpViewPort& port, const DumpViewState& state) {
  port.PublishScrollInfo(ScrollBar::Vertical, state.vScroll);
}

void PublishHorizontal(DumpViewPort& port, const DumpViewState& state) {
  port.PublishScrollInfo(ScrollBar::Horizontal, state.hScroll);
}

}  // namespace

std::uint32_t PageRowsFor(const DumpViewState& state, std::uint32_t clientHeight) {
  const DumpGeometry g = GeometryOf(state);
  const std::uint32_t lastRow = LastRow(state);
  // Unsigned on purpose: a client lower than the header band wraps to a huge
  // row count, which the clamp below turns into "every row fits".
  const std::uint32_t below = clientHeight - g.headerBand;
  if (g.rowPitch == 0) return lastRow + 1;
  const std::uint32_t rows = below / g.rowPitch;
  return rows > lastRow ? lastRow + 1 : rows;
}

std::uint32_t PageColumnsFor(const DumpViewState& state, std::uint32_t clientWidth) {
  const DumpGeometry g = GeometryOf(state);
  if (g.cellWidth == 0) return kGridColumns;
  const std::uint32_t columns = clientWidth / g.cellWidth;
  return columns > kLastGridColumn ? kGridColumns : columns;
}

std::uint32_t BottomPosition(const DumpViewState& state) {
  const std::uint32_t rows = LastRow(state) + 1;
  // In a view too low for one whole row the bottom position shows the last
  // row, not the empty one past it.
  const std::uint32_t page = PlacingPageRows(state);
  return page < rows ? rows - page : 0;
}

std::uint32_t RightmostPosition(const DumpViewState& state) {
  const std::uint32_t page = PageColumns(state);
  return page < kGridColumns ? kGridColumns - page : 0;
}

std::uint32_t ScrollTarget(std::uint32_t code, std::uint32_t position, std::uint32_t page,
                           std::uint32_t lastPosition, std::uint32_t trackPosition) {
  switch (code) {
    case ScrollLineUp:
      return position > 0 ? position - 1 : position;
    case ScrollLineDown:
      return position < lastPosition ? position + 1 : position;
    case ScrollPageUp:
      return position - std::min(position, page);
    case ScrollPageDown: {
      // 64-bit: a position set unchecked by the thumb may lie far past the
      // last position, and position + page must not wrap below it.
      const std::uint64_t next = static_cast<std::uint64_t>(position) + page;
      return static_cast<std::uint32_t>(std::min<std::uint64_t>(next, lastPosition));
    }
    case ScrollThumbTrack:
      return trackPosition;
    case ScrollTop:
      return 0;
    case ScrollBottom:
      return lastPosition;
    case ScrollThumbPosition:
    case ScrollEnd:
    default:
      return position;
  }
}

void HandleScroll(DumpViewPort& port, DumpViewState& state, ScrollBar bar, std::uint32_t code,
                  std::uint32_t trackPosition) {
  if (bar == ScrollBar::Vertical) {
    SetTopRow(state,
              ScrollTarget(code, TopRow(state), PageRows(state), BottomPosition(state), trackPosition));
    PublishVertical(port, state);
    PlaceCaret(port, state);
    port.Redraw(kVerticalRepaint);
  } else {
    SetLeftColumn(state, ScrollTarget(code, LeftColumn(state), PageColumns(state), RightmostPosition(state),
                                      trackPosition));
    PublishHorizontal(port, state);
    PlaceCaret(port, state);
    port.Redraw(kHorizontalRepaint);
  }
}

void HandleSize(DumpViewPort& port, DumpViewState& state, std::uint32_t clientWidth,
                std::uint32_t clientHeight) {
  const std::uint32_t serial = ++state.sizeCount;
  state.clientHeight = clientHeight;

  SetPageRows(state, PageRowsFor(state, clientHeight));
  SetTopRow(state, std::min(TopRow(state), BottomPosition(state)));
  PublishVertical(port, state);
  // The vertical bar appeared or vanished and the WM_SIZE that followed has
  // done all of this for the new width; this width is stale.
  if (state.sizeCount != serial) return;

  SetPageColumns(state, PageColumnsFor(state, clientWidth));
  SetLeftColumn(state, std::min(LeftColumn(state), RightmostPosition(state)));
  PublishHorizontal(port, state);

  PlaceCaret(port, state);
  port.Redraw(kFullRepaint);
}

void HandleSetData(DumpViewPort& port, DumpViewState& state, const std::uint8_t* data, std::uint32_t length,
                   std::uint32_t clientWidth, std::uint32_t clientHeight) {
  state.flags = static_cast<std::uint8_t>(state.flags & ~Selecting);
  state.data = data;
  // Painting and search read every byte below dataLength: without bytes
  // there is nothing to read, whatever count came with them.
  state.dataLength = data != nullptr ? length : 0;
  state.caret = 0;

  const std::uint32_t serial = state.sizeCount;
  SetPageColumns(state, PageColumnsFor(state, clientWidth));
  SetLeftColumn(state, 0);
  PublishHorizontal(port, state);
  // The horizontal bar appeared or vanished: the height read before is stale.
  if (state.sizeCount != serial) clientHeight = state.clientHeight;

  SetLastRow(state, RowOfByte(state.dataLength));
  SetPageRows(state, PageRowsFor(state, clientHeight));
  SetTopRow(state, 0);
  PublishVertical(port, state);

  port.Redraw(kFullRepaint);
  PlaceCaret(port, state);
}

void ArmWideThumbTrack(DumpViewState& state, ScrollBar bar, std::uint32_t position) {
  state.wideTrackPosition = position;
  state.wideTrackBar = static_cast<std::uint8_t>(bar);
}

void DisarmWideThumbTrack(DumpViewState& state) {
  state.wideTrackPosition = 0;
  state.wideTrackBar = 0;
}

std::uint32_t ThumbTrackPosition(DumpViewState& state, ScrollBar bar, std::uint16_t highWord,
                                 const std::uint32_t* systemTrackPos) {
  if (state.wideTrackBar == static_cast<std::uint8_t>(bar)) {
    const std::uint32_t wide = state.wideTrackPosition;
    DisarmWideThumbTrack(state);
    if ((wide & 0xFFFFu) == highWord) return wide;
  }
  if (systemTrackPos != nullptr && (*systemTrackPos & 0xFFFFu) == highWord) return *systemTrackPos;
  return highWord;
}

void OnScrollMessage(DumpViewPort& port, DumpViewState& state, ScrollBar bar, std::uint32_t code,
                     std::uint16_t highWord, const std::uint32_t* systemTrackPos) {
  const std::uint32_t track =
      code == ScrollThumbTrack ? ThumbTrackPosition(state, bar, highWord, systemTrackPos) : highWord;
  HandleScroll(port, state, bar, code, track);
}
