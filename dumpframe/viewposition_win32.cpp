#include "dumpframe/viewposition_win32.h"

#include <algorithm>
#include <cstdlib>

#include "dumpview/dumpview.h"

namespace {

struct ScrollRange {
  int position;
  int last;  // the furthest position the view scrolls to
  int page;
};

ScrollRange ScrollRangeOf(HWND view, int bar) {
  SCROLLINFO info = {};
  info.cbSize = sizeof(info);
  info.fMask = SIF_ALL;
  if (!::GetScrollInfo(view, bar, &info)) return ScrollRange{0, 0, 1};
  const int page = std::max(1, static_cast<int>(info.nPage));
  return ScrollRange{info.nPos, std::max(info.nMin, info.nMax - page + 1), page};
}

// The thumb carries 16 bits; further away, pages and lines step the rest of
// the way, at most a bounded number of them (the caret, already back in
// view, brought the view near where it was in the usual case).
constexpr int kThumbLimit = 0xFFFF;
constexpr int kMostSteps = 4096;

void ScrollTo(HWND view, UINT message, int bar, int target) {
  const ScrollRange range = ScrollRangeOf(view, bar);
  target = std::clamp(target, 0, range.last);
  if (target <= kThumbLimit) {
    ::SendMessageA(view, message, MAKEWPARAM(SB_THUMBTRACK, target), 0);
    ::SendMessageA(view, message, MAKEWPARAM(SB_ENDSCROLL, 0), 0);
    return;
  }
  const int distance = target - range.position;
  const int pages = std::abs(distance) / range.page;
  const int lines = std::abs(distance) % range.page;
  if (pages + lines > kMostSteps) return;
  const WORD pageCode = distance > 0 ? SB_PAGEDOWN : SB_PAGEUP;
  const WORD lineCode = distance > 0 ? SB_LINEDOWN : SB_LINEUP;
  for (int i = 0; i < pages; ++i) ::SendMessageA(view, message, MAKEWPARAM(pageCode, 0), 0);
  for (int i = 0; i < lines; ++i) ::SendMessageA(view, message, MAKEWPARAM(lineCode, 0), 0);
  ::SendMessageA(view, message, MAKEWPARAM(SB_ENDSCROLL, 0), 0);
}

}  // namespace

ViewPosition ViewPositionOf(HWND view) {
  return ViewPosition{static_cast<std::uint32_t>(::SendMessageA(view, DVM_GETCARET, 0, 0)),
                      ScrollRangeOf(view, SB_VERT).position, ScrollRangeOf(view, SB_HORZ).position};
}

void RestoreViewPosition(HWND view, const ViewPosition& position, std::uint32_t dataLength) {
  if (position.caret <= dataLength) ::SendMessageA(view, DVM_SETCARET, position.caret, 0);
  ScrollTo(view, WM_VSCROLL, SB_VERT, position.topRow);
  ScrollTo(view, WM_HSCROLL, SB_HORZ, position.leftColumn);
}
