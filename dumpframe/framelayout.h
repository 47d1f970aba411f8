// Portable rules of the "Binary dump" window: which code page each encoding
// command selects, where the dump view goes in the client area, and which
// error a save reports.
#pragma once

#include <cstdint>

// The code page that an encoding command (40003..40007) selects in the dump
// view, or 0 for any other command.
std::uint16_t CodePageOfEncodingCommand(std::uint32_t command);

// The dump view's rectangle: the client area's top-left corner, the full
// width, and the height above the status bar (never negative).
struct ViewPlacement {
  int x;
  int y;
  int width;
  int height;
};
ViewPlacement ViewPlacementOf(int clientWidth, int clientHeight, int statusBarHeight);

// With the Details pane shown: the view (dump or picture) at the left, the
// splitter, the pane at the right, all above the status bar. The pane takes
// paneShare ten-thousandths of the client width (kDefaultPaneShare, about
// two-fifths, until the user moves the splitter), at least minPaneWidth
// pixels while the view keeps minViewWidth, and never more than leaves the
// view minViewWidth.
struct DetailsPlacement {
  ViewPlacement view;
  ViewPlacement splitter;
  ViewPlacement pane;
};
constexpr int kDefaultPaneShare = 4000;
constexpr int kFullShare = 10000;
struct DetailsGeometry {
  int splitterWidth;
  int minPaneWidth;
  int minViewWidth;
};
DetailsPlacement DetailsPlacementOf(int clientWidth, int clientHeight, int statusBarHeight, int paneShare,
                                    const DetailsGeometry& geometry);

// The splitter 5 pixels wide, the pane at least 200 and the view 120 at 96
// dots per inch, in proportion at dpi.
DetailsGeometry DetailsGeometryAt(std::uint32_t dpi);

// The share that puts the splitter's middle under the pointer's x.
int PaneShareAt(int pointerX, int clientWidth, const DetailsGeometry& geometry);

// The least client width at which the view beside the pane still has
// viewWidth pixels, at most widest: showing the pane widens the frame by the
// difference, so that the dump keeps every column it showed.
int ClientWidthKeepingView(int viewWidth, int paneShare, const DetailsGeometry& geometry, int widest);

// Everything that decides where the frame's children go.
struct FrameLayoutInput {
  int clientWidth;
  int clientHeight;
  int statusBarHeight;  // the status bar places itself at the bottom edge
  bool picture;         // the Picture view in the dump view's place
  bool details;         // the Details pane at the right
  int paneShare;
  std::uint32_t dpi;
};

// Every child's rectangle, and which are shown: the dump view or the Picture
// view in the same place, and with the pane its splitter (the frame's own
// background) and the pane. Hidden children keep the rectangles they would
// have.
struct FrameLayout {
  ViewPlacement dumpView;
  ViewPlacement pictureView;
  ViewPlacement splitter;
  ViewPlacement pane;
  bool dumpShown;
  bool pictureShown;
  bool paneShown;
};
FrameLayout FrameLayoutOf(const FrameLayoutInput& input);

// What a save reports once the file was created: nothing when every byte of
// the snapshot was written, "File Write Error !!" otherwise (a write that
// failed counts as short even when the count it answered looks whole).
const char* SaveWriteErrorText(bool writeSucceeded, std::uint32_t written, std::uint32_t length);

constexpr const char* kFileOpenErrorText = "File Open Error !!";
constexpr const char* kFileWriteErrorText = "File Write Error !!";
constexpr const char* kClipboardReadErrorTitle = "Clipboard Read Error !!";
constexpr const char* kDumpFrameTitle = "Binary dump";

// Positions in the frame's menu bar and in its View menu.
constexpr int kEditMenuPosition = 1;
constexpr int kViewMenuPosition = 2;
// Bytes, Picture, Zoom In, Zoom Out, Fit and a separator come first.
constexpr int kEncodingMenuPosition = 6;
