#include "dumpframe/framelayout.h"

#include <algorithm>

#include "app/dpiscale.h"
#include "app/resource.h"
#include "encoding/textdecode.h"

// The encoding commands follow the decoders' order.
std::uint16_t CodePageOfEncodingCommand(std::uint32_t command) {
  if (command < ID_ENCODING_CP1252 || command > ID_ENCODING_UTF8) return 0;
  return CodePageOf(static_cast<TextDecoder>(command - ID_ENCODING_CP1252));
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

DetailsGeometry DetailsGeometryAt(std::uint32_t dpi) {
  return DetailsGeometry{ScaleForDpi(5, dpi), ScaleForDpi(200, dpi), ScaleForDpi(120, dpi)};
}

int ClientWidthKeepingView(int viewWidth, int paneShare, const DetailsGeometry& geometry, int widest) {
  // The view's width never shrinks as the client grows: the first width
  // that keeps it is found by halving.
  const auto keeps = [&](int width) {
    return DetailsPlacementOf(width, 1, 0, paneShare, geometry).view.width >= viewWidth;
  };
  if (widest <= viewWidth || !keeps(widest)) return std::max(widest, viewWidth);
  int low = viewWidth;  // too narrow, or just wide enough
  int high = widest;    // wide enough
  while (low < high) {
    const int middle = low + (high - low) / 2;
    if (keeps(middle)) {
      high = middle;
    } else {
      low = middle + 1;
    }
  }
  return high;
}

FrameLayout FrameLayoutOf(const FrameLayoutInput& in) {
  const ViewPlacement whole = ViewPlacementOf(in.clientWidth, in.clientHeight, in.statusBarHeight);
  FrameLayout layout{whole, whole, {0, 0, 0, 0}, {0, 0, 0, 0}, !in.picture, in.picture, in.details};
  if (in.details) {
    const DetailsPlacement p = DetailsPlacementOf(in.clientWidth, in.clientHeight, in.statusBarHeight,
                                                  in.paneShare, DetailsGeometryAt(in.dpi));
    layout.dumpView = layout.pictureView = p.view;
    layout.splitter = p.splitter;
    layout.pane = p.pane;
  }
  return layout;
}

const char* SaveWriteErrorText(bool writeSucceeded, std::uint32_t written, std::uint32_t length) {
  if (writeSucceeded && written == length) return nullptr;
  return kFileWriteErrorText;
}
