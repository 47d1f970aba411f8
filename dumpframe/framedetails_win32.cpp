#include "dumpframe/framedetails_win32.h"

#include <windowsx.h>

#include <algorithm>

#include "app/resource.h"
#include "dumpframe/framelayout.h"
#include "dumpview/dumpview.h"
#include "formats/details_win32.h"

namespace {

// The frame's width for the pane, and where it goes when the monitor's
// work area has no room at the frame's right.
void Widen(HWND frame, FrameState& state) {
  if (::IsZoomed(frame) || ::IsIconic(frame)) return;
  RECT window = {};
  RECT client = {};
  ::GetWindowRect(frame, &window);
  ::GetClientRect(frame, &client);
  MONITORINFO monitor = {};
  monitor.cbSize = sizeof(monitor);
  if (!::GetMonitorInfoA(::MonitorFromWindow(frame, MONITOR_DEFAULTTONEAREST), &monitor)) return;
  const RECT& work = monitor.rcWork;
  const int frameEdges = (window.right - window.left) - client.right;
  const int widest = static_cast<int>(work.right - work.left) - frameEdges;
  const int wanted =
      ClientWidthKeepingView(client.right, state.choices.paneShare, DetailsGeometryAt(state.dpi), widest);
  const int added = wanted - client.right;
  if (added <= 0) return;
  const int width = window.right - window.left + added;
  const int left = std::max<int>(work.left, std::min<int>(window.left, work.right - width));
  state.widening = PaneWidening{added, window.left - left};
  ::SetWindowPos(frame, nullptr, left, window.top, width, window.bottom - window.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void Narrow(HWND frame, FrameState& state) {
  const PaneWidening given = state.widening;
  state.widening = PaneWidening{};
  if (given.added <= 0 || ::IsZoomed(frame) || ::IsIconic(frame)) return;
  RECT window = {};
  ::GetWindowRect(frame, &window);
  const int width = std::max<int>(window.right - window.left - given.added, 0);
  ::SetWindowPos(frame, nullptr, window.left + given.movedLeft, window.top, width, window.bottom - window.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

HWND CreateDetailsPane(HWND frame) {
  const auto instance = reinterpret_cast<HINSTANCE>(::GetWindowLongPtrA(frame, GWLP_HINSTANCE));
  return ::CreateWindowExW(WS_EX_CLIENTEDGE, L"" DETAILSPANE_CLASS_NAME, L"",
                           WS_CHILD | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | ES_NOHIDESEL,
                           0, 0, 0, 0, frame, nullptr, instance, nullptr);
}

void GiveSnapshotToPane(const FrameContext& context) {
  if (context.pane == nullptr) return;
  const DetailsSnapshot snapshot = {context.snapshot, context.snapshotLength, context.format, context.facts};
  ::SendMessageW(context.pane, DPM_SETSNAPSHOT, 0, reinterpret_cast<LPARAM>(&snapshot));
}

void TellPaneTheCaret(const FrameContext& context) {
  if (context.pane == nullptr) return;
  if (context.choices.picture) {
    ::SendMessageW(context.pane, DPM_SETCARET, 0, 0);
    return;
  }
  CaretFacts caret{};
  caret.caret = static_cast<std::uint32_t>(::SendMessageW(context.dumpView, DVM_GETCARET, 0, 0));
  UINT first = 0;
  UINT last = 0;
  caret.hasSelection = ::SendMessageW(context.dumpView, DVM_GETSEL, reinterpret_cast<WPARAM>(&first),
                                      reinterpret_cast<LPARAM>(&last)) != 0;
  caret.selectionFirst = caret.hasSelection ? first : 0;
  caret.selectionLast = caret.hasSelection ? last : 0;
  ::SendMessageW(context.pane, DPM_SETCARET, 0, reinterpret_cast<LPARAM>(&caret));
}

void CheckDetailsChoice(HMENU menu, bool details) {
  ::CheckMenuItem(menu, ID_VIEW_DETAILS, MF_BYCOMMAND | (details ? MF_CHECKED : MF_UNCHECKED));
}

void ToggleDetails(HWND frame, FrameState& state) {
  state.choices.details = !state.choices.details;
  CheckDetailsChoice(::GetMenu(frame), state.choices.details);
  if (state.choices.details) {
    Widen(frame, state);
  } else {
    Narrow(frame, state);
  }
}

bool HandleSplitterMessage(HWND frame, FrameState& state, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!state.choices.details || state.pane == nullptr) return false;
  switch (message) {
    case WM_SETCURSOR:
      // Only the gap between the view and the pane shows the frame itself.
      if (reinterpret_cast<HWND>(wParam) != frame || LOWORD(lParam) != HTCLIENT) return false;
      ::SetCursor(::LoadCursorA(nullptr, IDC_SIZEWE));
      return true;
    case WM_LBUTTONDOWN:
      state.draggingSplitter = true;
      ::SetCapture(frame);
      return true;
    case WM_MOUSEMOVE:
      if (!state.draggingSplitter) return false;
      {
        RECT client = {};
        ::GetClientRect(frame, &client);
        state.choices.paneShare =
            PaneShareAt(GET_X_LPARAM(lParam), client.right, DetailsGeometryAt(state.dpi));
        PlaceChildren(frame, state);
      }
      return true;
    case WM_LBUTTONUP:
      if (!state.draggingSplitter) return false;
      state.draggingSplitter = false;
      ::ReleaseCapture();
      return true;
    case WM_CAPTURECHANGED:
      state.draggingSplitter = false;
      return false;
    default:
      return false;
  }
}
