#include "picture/picturelayout.h"

#include <algorithm>

#include "app/dpiscale.h"

namespace {

std::int64_t AtLeastOne(std::int64_t value) { return value < 1 ? 1 : value; }

std::int64_t Area(const DrawnSize& size) { return size.width * size.height; }

std::uint32_t ClampScroll(std::uint32_t position, std::uint32_t maximum) {
  return position < maximum ? position : maximum;
}

std::uint32_t ScrollMax(std::int64_t drawn, int areaSize) {
  const std::int64_t beyond = drawn - std::max(areaSize, 0);
  return beyond > 0 ? static_cast<std::uint32_t>(std::min<std::int64_t>(beyond, 0x7FFFFFFF)) : 0;
}

// One axis: centred when the picture fits, scrolled when it does not.
std::int64_t PlaceOnAxis(int areaStart, int areaSize, std::int64_t drawn, std::uint32_t scroll) {
  if (drawn <= areaSize) return areaStart + (areaSize - drawn) / 2;
  return areaStart - static_cast<std::int64_t>(scroll);
}

std::uint32_t ReadPixel(const std::uint8_t* p, PixelSource::Layout layout) {
  if (layout == PixelSource::Layout::Masked16) return static_cast<std::uint32_t>(p[0] | p[1] << 8);
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

// A masked channel widened or narrowed to 8 bits.
std::uint32_t Channel(std::uint32_t pixel, std::uint32_t mask) {
  const MaskRun run = MaskRunOf(mask);
  if (run.width == 0) return 0;
  const std::uint32_t value = (pixel & mask) >> run.shift;
  if (run.width >= 8) return value >> (run.width - 8);
  const std::uint32_t maximum = (1u << run.width) - 1;
  return (value * 255 + maximum / 2) / maximum;
}

std::uint32_t Blend(std::uint32_t premultiplied, std::uint32_t alpha, std::uint32_t behind) {
  const std::uint32_t value = premultiplied + (behind * (255 - alpha) + 127) / 255;
  return value > 255 ? 255 : value;
}

// The window colour of one picture pixel over the checkerboard colour behind.
std::uint32_t PixelOverChecker(const PixelSource& source, const std::uint8_t* p, std::uint32_t checker) {
  std::uint32_t red = 0;
  std::uint32_t green = 0;
  std::uint32_t blue = 0;
  std::uint32_t alpha = 255;
  if (source.layout == PixelSource::Layout::PremultipliedBgra32) {
    blue = p[0], green = p[1], red = p[2], alpha = p[3];
  } else {
    const std::uint32_t pixel = ReadPixel(p, source.layout);
    red = Channel(pixel, source.redMask);
    green = Channel(pixel, source.greenMask);
    blue = Channel(pixel, source.blueMask);
    if (source.alphaMask != 0) alpha = Channel(pixel, source.alphaMask);
    // A DIB's alpha is straight: weigh its colours here.
    red = (red * alpha + 127) / 255, green = (green * alpha + 127) / 255, blue = (blue * alpha + 127) / 255;
  }
  return Blend(red, alpha, checker >> 16 & 0xFF) << 16 | Blend(green, alpha, checker >> 8 & 0xFF) << 8 |
         Blend(blue, alpha, checker & 0xFF);
}

std::uint32_t BytesPerPixel(PixelSource::Layout layout) {
  return layout == PixelSource::Layout::Masked16 ? 2 : 4;
}

}  // namespace

PictureMetrics PictureMetricsForDpi(std::uint32_t dpi) {
  const auto scaled = [dpi](int pixels) { return std::max(ScaleForDpi(pixels, dpi), 1); };
  return {scaled(kCaptionPadding), scaled(kCheckerSquare), scaled(kWheelStep), scaled(kKeyStep)};
}

int CaptionBandHeight(int textHeight, int padding) { return textHeight + 2 * padding; }

std::uint32_t CheckerColour(std::int64_t x, std::int64_t y, int square) {
  return ((x / square + y / square) & 1) != 0 ? kCheckerDark : kCheckerLight;
}

DrawnSize FittedSize(std::uint32_t width, std::uint32_t height, int areaWidth, int areaHeight) {
  const std::int64_t w = std::max(areaWidth, 1);
  const std::int64_t h = std::max(areaHeight, 1);
  if (width <= w && height <= h) return {AtLeastOne(width), AtLeastOne(height)};
  // Whichever side meets its edge first sets the scale.
  if (static_cast<std::int64_t>(width) * h >= static_cast<std::int64_t>(height) * w) {
    return {w, AtLeastOne(static_cast<std::int64_t>(height) * w / width)};
  }
  return {AtLeastOne(static_cast<std::int64_t>(width) * h / height), h};
}

DrawnSize ZoomedSize(std::uint32_t width, std::uint32_t height, int exponent) {
  if (exponent >= 0) {
    return {static_cast<std::int64_t>(width) << exponent, static_cast<std::int64_t>(height) << exponent};
  }
  return {AtLeastOne(static_cast<std::int64_t>(width) >> -exponent),
          AtLeastOne(static_cast<std::int64_t>(height) >> -exponent)};
}

DrawnSize DrawnSizeOf(const PictureZoom& zoom, std::uint32_t width, std::uint32_t height, int areaWidth,
                      int areaHeight) {
  return zoom.fit ? FittedSize(width, height, areaWidth, areaHeight)
                  : ZoomedSize(width, height, zoom.exponent);
}

PictureZoom ZoomedIn(const PictureZoom& zoom, std::uint32_t width, std::uint32_t height, int areaWidth,
                     int areaHeight) {
  int exponent = kMinZoomExponent;
  if (!zoom.fit) {
    exponent = zoom.exponent + 1;
  } else {
    const std::int64_t fitted = Area(FittedSize(width, height, areaWidth, areaHeight));
    while (exponent < kMaxZoomExponent && Area(ZoomedSize(width, height, exponent)) <= fitted) ++exponent;
  }
  exponent = std::min(exponent, kMaxZoomExponent);
  while (exponent > kMinZoomExponent &&
         std::max(ZoomedSize(width, height, exponent).width, ZoomedSize(width, height, exponent).height) >
             kMaxDrawnSide) {
    --exponent;
  }
  if (zoom.fit || exponent >= zoom.exponent) return {false, exponent};
  return zoom;
}

PictureZoom ZoomedOut(const PictureZoom& zoom, std::uint32_t width, std::uint32_t height, int areaWidth,
                      int areaHeight) {
  if (!zoom.fit) return {false, std::max(zoom.exponent - 1, kMinZoomExponent)};
  const std::int64_t fitted = Area(FittedSize(width, height, areaWidth, areaHeight));
  for (int exponent = kMaxZoomExponent; exponent > kMinZoomExponent; --exponent) {
    if (Area(ZoomedSize(width, height, exponent)) < fitted) return {false, exponent};
  }
  return {false, kMinZoomExponent};
}

PictureLayout LayOutPicture(int clientWidth, int clientHeight, int captionBand, std::uint32_t width,
                            std::uint32_t height, const PictureZoom& zoom, std::uint32_t scrollX,
                            std::uint32_t scrollY) {
  PictureLayout layout = {};
  layout.captionBand = captionBand;
  layout.areaTop = captionBand;
  layout.areaWidth = std::max(clientWidth, 0);
  layout.areaHeight = std::max(clientHeight - captionBand, 0);
  layout.drawn = DrawnSizeOf(zoom, width, height, layout.areaWidth, layout.areaHeight);
  layout.scrollMaxX = ScrollMax(layout.drawn.width, layout.areaWidth);
  layout.scrollMaxY = ScrollMax(layout.drawn.height, layout.areaHeight);
  layout.scrollX = ClampScroll(scrollX, layout.scrollMaxX);
  layout.scrollY = ClampScroll(scrollY, layout.scrollMaxY);
  layout.left = PlaceOnAxis(0, layout.areaWidth, layout.drawn.width, layout.scrollX);
  layout.top = PlaceOnAxis(layout.areaTop, layout.areaHeight, layout.drawn.height, layout.scrollY);
  return layout;
}

std::uint32_t ScrollKeepingCentre(std::uint32_t position, std::int64_t oldDrawn, std::int64_t newDrawn,
                                  int areaSize) {
  const std::int64_t area = std::max(areaSize, 0);
  // Twice the centre's place in the old picture, to stay in whole numbers.
  const std::int64_t centreTwice =
      oldDrawn <= area ? oldDrawn : 2 * static_cast<std::int64_t>(position) + area;
  const std::int64_t scaled = oldDrawn > 0 ? centreTwice * newDrawn / oldDrawn : 0;
  const std::int64_t start = (scaled - area) / 2;
  return static_cast<std::uint32_t>(std::clamp<std::int64_t>(start, 0, ScrollMax(newDrawn, areaSize)));
}

SourceSpan VisibleSpan(std::int64_t start, std::int64_t drawn, std::uint32_t size, int visibleStart,
                       int visibleEnd) {
  const std::int64_t low = std::max<std::int64_t>(start, visibleStart);
  const std::int64_t high = std::min<std::int64_t>(start + drawn, visibleEnd);
  if (high <= low || drawn <= 0 || size == 0) return {0, 0, 0, 0};
  // Window pixel d shows picture pixel (d - start) * size / drawn, rounded down.
  const std::int64_t first = (low - start) * size / drawn;
  const std::int64_t endExclusive = ((high - start) * size + drawn - 1) / drawn;
  const auto edge = [&](std::int64_t pixel) { return start + (pixel * drawn + size - 1) / size; };
  return {static_cast<std::uint32_t>(first), static_cast<std::uint32_t>(endExclusive - first), edge(first),
          edge(endExclusive) - edge(first)};
}

PixelSource PixelSourceOfDib(const DibDescription& dib, const std::uint8_t* snapshot) {
  PixelSource source = {};
  source.layout = dib.bitCount == 16 ? PixelSource::Layout::Masked16 : PixelSource::Layout::Masked32;
  source.bits = snapshot + dib.bitsOffset;
  source.width = dib.width;
  source.height = dib.height;
  source.stride = dib.stride;
  source.topDown = dib.topDown;
  source.redMask = dib.redMask;
  source.greenMask = dib.greenMask;
  source.blueMask = dib.blueMask;
  source.alphaMask = dib.alphaMask;
  return source;
}

void ComposeBand(const PixelSource& source, const PictureLayout& layout, int bandLeft, int bandTop,
                 int bandWidth, int bandRows, std::uint32_t background, std::uint32_t* out) {
  const std::uint32_t pixelBytes = BytesPerPixel(source.layout);
  for (int row = 0; row < bandRows; ++row) {
    std::uint32_t* line = out + static_cast<std::size_t>(row) * static_cast<std::uint32_t>(bandWidth);
    const std::int64_t y = static_cast<std::int64_t>(bandTop) + row - layout.top;
    const bool rowOnPicture = y >= 0 && y < layout.drawn.height && bandTop + row >= layout.areaTop;
    // The picture's own row under this window row: the nearest one.
    const auto sourceY =
        rowOnPicture ? static_cast<std::uint32_t>(y * source.height / layout.drawn.height) : 0;
    const std::uint32_t memoryRow = source.topDown ? sourceY : source.height - 1 - sourceY;
    const std::uint8_t* sourceRow = source.bits + static_cast<std::size_t>(memoryRow) * source.stride;
    for (int column = 0; column < bandWidth; ++column) {
      const std::int64_t x = static_cast<std::int64_t>(bandLeft) + column - layout.left;
      if (!rowOnPicture || x < 0 || x >= layout.drawn.width) {
        line[column] = background;
        continue;
      }
      const auto sourceX = static_cast<std::uint32_t>(x * source.width / layout.drawn.width);
      line[column] = PixelOverChecker(source, sourceRow + static_cast<std::size_t>(sourceX) * pixelBytes,
                                      CheckerColour(x, y, layout.checkerSquare));
    }
  }
}
