#include "dumpframe/framelayout.h"

#include <algorithm>

#include "app/resource.h"

std::uint16_t CodePageOfEncodingCommand(std::uint32_t command) {
  switch (command) {
    case ID_ENCODING_CP1252:
      return 1252;  // one character per byte
    case ID_ENCODING_SHIFT_JIS:
      return 932;
    case ID_ENCODING_EUC_JP:
      return 51932;
    case ID_ENCODING_UTF16LE:
      return 1200;
    case ID_ENCODING_UTF8:
      return 65001;
    default:
      return 0;
  }
}

ViewPlacement ViewPlacementOf(int clientWidth, int clientHeight, int statusBarHeight) {
  const int width = clientWidth > 0 ? clientWidth : 0;
  const int height = clientHeight > statusBarHeight ? clientHeight - statusBarHeight : 0;
  return ViewPlacement{0, 0, width, height};
}

DetailsPlacement DetailsPlacementOf(int clientWidth, int clientHeight, int statusBarHeight, int paneShare,
                                    const DetailsGeometry& geometry) {
  const ViewPlacement whole = ViewPlacementOf(clientWidth, clientHeight, statusBarHeight);
  const int room = std::max(whole.width - geometry.splitterWidth, 0);
  int pane = static_cast<int>(static_cast<long long>(whole.width) * paneShare / kFullShare);
  // The minimum width yields first to a small window: the view keeps its own
  // minimum, and what is left goes to the pane.
  pane = std::max(pane, std::min(geometry.minPaneWidth, room - geometry.minViewWidth));
  pane = std::clamp(pane, 0, std::max(room - geometry.minViewWidth, 0));
  const int view = room - pane;
  const int splitter = std::min(geometry.splitterWidth, whole.width);
  return DetailsPlacement{ViewPlacement{0, 0, view, whole.height},
                          ViewPlacement{view, 0, splitter, whole.height},
                          ViewPlacement{view + splitter, 0, pane, whole.height}};
}

int PaneShareAt(int pointerX, int clientWidth, const DetailsGeometry& geometry) {
  if (clientWidth <= 0) return kDefaultPaneShare;
  const int pane = clientWidth - pointerX - geometry.splitterWidth / 2;
  return static_cast<int>(
      std::clamp<long long>(static_cast<long long>(pane) * kFullShare / clientWidth, 0, kFullShare));
}

FrameLayout FrameLayoutOf(int clientWidth, int clientHeight, int statusBarHeight) {
  const ViewPlacement view = ViewPlacementOf(clientWidth, clientHeight, statusBarHeight);
  return FrameLayout{view, view};
}

const char* SaveWriteErrorText(bool writeSucceeded, std::uint32_t written, std::uint32_t length) {
  if (writeSucceeded && written == length) return nullptr;
  return kFileWriteErrorText;
}
