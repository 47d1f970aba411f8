#include "dumpframe/framedetails_win32.h"

#include <windowsx.h>

#include "app/resource.h"
#include "dumpframe/framelayout.h"
#include "formats/details_win32.h"
#include "snapshot/wholedata.h"

namespace {

HWND g_pane;
bool g_dragging;
// The user's choices last while the program runs, over every frame.
bool g_detailsShown;
int g_paneShare = kDefaultPaneShare;

// Pixel sizes at 96 dots per inch, scaled to the screen's.
DetailsGeometry GeometryOf(HWND frame) {
  HDC dc = ::GetDC(frame);
  const int dpi = ::GetDeviceCaps(dc, LOGPIXELSX);
  ::ReleaseDC(frame, dc);
  return DetailsGeometry{::MulDiv(5, dpi, 96), ::MulDiv(200, dpi, 96), ::MulDiv(120, dpi, 96)};
}

// The frame places its children on WM_SIZE, with the pane's share.
void Relayout(HWND frame) {
  RECT client = {};
  ::GetClientRect(frame, &client);
  ::SendMessageA(frame, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
}

}  // namespace

void CreateFrameDetails(HWND frame) {
  g_pane = CreateDetailsPane(frame);
  g_dragging = false;
  MENUITEMINFOA item = {};
  item.cbSize = sizeof(item);
  item.fMask = MIIM_STATE;
  item.fState = g_detailsShown ? MFS_CHECKED : 0;
  ::SetMenuItemInfoA(::GetMenu(frame), ID_VIEW_DETAILS, FALSE, &item);
  if (g_detailsShown && g_pane != nullptr) ::ShowWindow(g_pane, SW_SHOWNA);
}

void DestroyFrameDetails() { g_pane = nullptr; }

bool FrameDetailsShown() { return g_detailsShown && g_pane != nullptr; }

void FitDetailsPane(HWND frame, int clientWidth, int clientHeight, int statusBarHeight,
                    ViewPlacement* dumpView, ViewPlacement* pictureView) {
  if (!FrameDetailsShown()) return;
  const DetailsPlacement p =
      DetailsPlacementOf(clientWidth, clientHeight, statusBarHeight, g_paneShare, GeometryOf(frame));
  *dumpView = p.view;
  *pictureView = p.view;
  ::MoveWindow(g_pane, p.pane.x, p.pane.y, p.pane.width, p.pane.height, TRUE);
  // The splitter is the frame's own background between the view and the pane.
  RECT gap = {p.splitter.x, p.splitter.y, p.splitter.x + p.splitter.width, p.splitter.y + p.splitter.height};
  ::InvalidateRect(frame, &gap, TRUE);
}

void ToggleFrameDetails(HWND frame) {
  g_detailsShown = !g_detailsShown;
  MENUITEMINFOA item = {};
  item.cbSize = sizeof(item);
  item.fMask = MIIM_STATE;
  item.fState = g_detailsShown ? MFS_CHECKED : 0;
  ::SetMenuItemInfoA(::GetMenu(frame), ID_VIEW_DETAILS, FALSE, &item);
  if (g_pane != nullptr) ::ShowWindow(g_pane, g_detailsShown ? SW_SHOWNA : SW_HIDE);
}

void FrameDetailsSnapshot(const FrameContext& context, bool bytesShown) {
  if (g_pane == nullptr || !g_detailsShown) return;
  // The owner and the sequence number as the read saw them.
  SnapshotDescription snapshot;
  DescribeFormat(context.format, context.facts.registeredName, &snapshot);
  DescribeOwner(context.facts.owner, &snapshot);
  snapshot.sequenceNumber = context.facts.sequenceNumber;
  snapshot.length = context.snapshotLength;
  snapshot.kind = context.facts.kind;
  snapshot.blockSize = context.facts.blockSize;
  snapshot.blockSizeKnown = context.facts.kind != SnapshotKind::HandleValue;
  ShowDetails(g_pane, snapshot, context.snapshot, context.dumpView, bytesShown);
}

void FrameDetailsCaretMoved(HWND dumpView) {
  if (g_pane != nullptr && g_detailsShown) FollowCaret(g_pane, dumpView);
}

bool HandleSplitterMessage(HWND frame, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!g_detailsShown || g_pane == nullptr) return false;
  switch (message) {
    case WM_SETCURSOR:
      // Only the gap between the view and the pane shows the frame itself.
      if (reinterpret_cast<HWND>(wParam) != frame || LOWORD(lParam) != HTCLIENT) return false;
      ::SetCursor(::LoadCursorA(nullptr, IDC_SIZEWE));
      return true;
    case WM_LBUTTONDOWN:
      g_dragging = true;
      ::SetCapture(frame);
      return true;
    case WM_MOUSEMOVE:
      if (!g_dragging) return false;
      {
        RECT client = {};
        ::GetClientRect(frame, &client);
        g_paneShare = PaneShareAt(GET_X_LPARAM(lParam), client.right, GeometryOf(frame));
        Relayout(frame);
      }
      return true;
    case WM_LBUTTONUP:
      if (!g_dragging) return false;
      g_dragging = false;
      ::ReleaseCapture();
      return true;
    case WM_CAPTURECHANGED:
      g_dragging = false;
      return false;
    default:
      return false;
  }
}
