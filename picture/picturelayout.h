// Where the Picture view draws, as plain arithmetic: the caption line's
// band, the fitted or zoomed picture centred below it, the scroll ranges of
// a picture larger than the window, the checkerboard behind transparent
// pixels, and the composition of one band of window pixels from the
// picture's own pixels (nearest pixel, so zoomed pixels stay sharp).
#pragma once

#include <cstdint>

#include "picture/dibheader.h"

// The zoom: the fit, or a fixed scale of 2^exponent.
struct PictureZoom {
  bool fit = true;
  int exponent = 0;
};
// 1/64 to 32 times: below that every picture is a dot, above it a pixel is
// larger than most windows.
constexpr int kMinZoomExponent = -6;
constexpr int kMaxZoomExponent = 5;
// Zooming in stops before a side would pass this many pixels, which keeps
// every product of a drawn size and a picture size inside 64 bits.
constexpr std::int64_t kMaxDrawnSide = 1LL << 30;

// The view's own pixel sizes at 96 dots per inch.
constexpr int kCaptionPadding = 3;  // pixels above and below the caption's text
constexpr int kCheckerSquare = 8;   // pixels a side
constexpr int kWheelStep = 48;      // pixels a wheel notch scrolls
constexpr int kKeyStep = 16;        // pixels an arrow key scrolls

// Those sizes at the resolution of the monitor the view is on, never below
// one pixel, so that the checkerboard keeps its squares and a step scrolls.
struct PictureMetrics {
  int captionPadding;
  int checkerSquare;
  int wheelStep;
  int keyStep;
};
PictureMetrics PictureMetricsForDpi(std::uint32_t dpi);

int CaptionBandHeight(int textHeight, int padding);

constexpr std::uint32_t kCheckerLight = 0xD8D8D8;
constexpr std::uint32_t kCheckerDark = 0xA8A8A8;
// The checkerboard's colour (0xRRGGBB) at a pixel, counted from the drawn
// picture's top-left corner, for squares of square pixels a side.
std::uint32_t CheckerColour(std::int64_t x, std::int64_t y, int square = kCheckerSquare);

struct DrawnSize {
  std::int64_t width;
  std::int64_t height;
};
// The fit: as large as the area allows keeping the aspect, but never larger
// than the picture itself, which would only blur it; at least 1 x 1.
DrawnSize FittedSize(std::uint32_t width, std::uint32_t height, int areaWidth, int areaHeight);
DrawnSize ZoomedSize(std::uint32_t width, std::uint32_t height, int exponent);
DrawnSize DrawnSizeOf(const PictureZoom& zoom, std::uint32_t width, std::uint32_t height, int areaWidth,
                      int areaHeight);

// Ctrl+plus and Ctrl+minus: from a fixed scale the next power of two; from
// the fit the first power of two beyond the fitted size, so the step is
// never more than 2x.
PictureZoom ZoomedIn(const PictureZoom& zoom, std::uint32_t width, std::uint32_t height, int areaWidth,
                     int areaHeight);
PictureZoom ZoomedOut(const PictureZoom& zoom, std::uint32_t width, std::uint32_t height, int areaWidth,
                      int areaHeight);

// The picture's place in the client area for a zoom and scroll positions.
struct PictureLayout {
  int captionBand;
  int areaTop;  // the area below the caption: captionBand .. clientHeight
  int areaWidth;
  int areaHeight;
  DrawnSize drawn;
  std::int64_t left;  // the drawn picture's top-left in client pixels
  std::int64_t top;
  // Scroll positions run 0..max; 0 when the picture fits that way.
  std::uint32_t scrollMaxX;
  std::uint32_t scrollMaxY;
  std::uint32_t scrollX;  // the positions used, clamped
  std::uint32_t scrollY;
  int checkerSquare = kCheckerSquare;  // behind transparent pixels
};
PictureLayout LayOutPicture(int clientWidth, int clientHeight, int captionBand, std::uint32_t width,
                            std::uint32_t height, const PictureZoom& zoom, std::uint32_t scrollX,
                            std::uint32_t scrollY);

// The scroll position that keeps the area's centre on the same point of the
// picture when its drawn size changes from oldDrawn to newDrawn.
std::uint32_t ScrollKeepingCentre(std::uint32_t position, std::int64_t oldDrawn, std::int64_t newDrawn,
                                  int areaSize);

// The part of a picture's pixels along one axis that shows in the window
// range visibleStart..visibleEnd, and where those whole pixels land: the
// picture starts at start and is drawn drawn pixels long for its size
// pixels. count 0 when nothing shows.
struct SourceSpan {
  std::uint32_t first;
  std::uint32_t count;
  std::int64_t destStart;
  std::int64_t destLength;
};
SourceSpan VisibleSpan(std::int64_t start, std::int64_t drawn, std::uint32_t size, int visibleStart,
                       int visibleEnd);

// A picture's pixels as the composer reads them.
struct PixelSource {
  enum class Layout : std::uint8_t { PremultipliedBgra32, Masked16, Masked32 };
  Layout layout;
  const std::uint8_t* bits;  // stride * height bytes
  std::uint32_t width;
  std::uint32_t height;
  std::uint32_t stride;
  bool topDown;
  std::uint32_t redMask;  // Masked layouts only; alphaMask 0 for opaque
  std::uint32_t greenMask;
  std::uint32_t blueMask;
  std::uint32_t alphaMask;
};
// A 16- or 32-bit DIB read by ReadPackedDib / ReadBmpFile from snapshot.
PixelSource PixelSourceOfDib(const DibDescription& dib, const std::uint8_t* snapshot);

// One band of window pixels: the rectangle bandLeft, bandTop, bandWidth x
// bandRows of the client area, written top-down into out as 0x00RRGGBB
// values, bandWidth a row. Pixels on the picture show it over the
// checkerboard (DIB alpha is straight, decoded pictures are premultiplied);
// the others are background.
void ComposeBand(const PixelSource& source, const PictureLayout& layout, int bandLeft, int bandTop,
                 int bandWidth, int bandRows, std::uint32_t background, std::uint32_t* out);
