#include "snapshot/wholedata.h"

#include <algorithm>

#include "app/packeddib.h"
#include "snapshot/sizerules.h"

WholeDataSource WholeDataRule(std::uint32_t format) {
  switch (format) {
    case kFormatBitmap:
    case kFormatDspBitmap:
      return WholeDataSource::BitmapAsDib;
    case kFormatPalette:
      return WholeDataSource::PaletteEntries;
    case kFormatEnhMetafile:
    case kFormatDspEnhMetafile:
      return WholeDataSource::EnhancedMetafile;
    case kFormatMetafilePict:
    case kFormatDspMetafilePict:
      return WholeDataSource::MetafilePicture;
    case 0:
    case kFormatOwnerDisplay:  // the owner draws it; the clipboard holds no data
      return WholeDataSource::Unreachable;
    default:
      break;
  }
  // GDI objects of a kind the format does not say: nothing tells which
  // conversion would apply.
  if (format >= kFormatGdiObjectFirst && format <= kFormatGdiObjectLast) return WholeDataSource::Unreachable;
  return WholeDataSource::GlobalBlock;
}

WholeDataExtent WholeDataExtentOf(std::uint64_t sourceSize) {
  return WholeDataExtent{static_cast<std::uint32_t>(std::min<std::uint64_t>(sourceSize, kLongestSnapshot)),
                         sourceSize > kLongestSnapshot};
}

PackedDibLayout PackedDibLayoutOf(std::uint32_t width, std::uint32_t height, std::uint32_t bitsPerPixel) {
  switch (bitsPerPixel) {
    case 1:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32:
      break;
    default:
      return PackedDibLayout{0, 0, 0, 0};
  }
  // A row is under 2^35 bytes, so it is exact in 64 bits; rows times height
  // can pass 2^64 and then saturates, which no snapshot can hold anyway.
  const std::uint32_t colourTableBytes = bitsPerPixel <= 8 ? 4u << bitsPerPixel : 0;
  const std::uint64_t rowBytes = DibRowBytes(width, bitsPerPixel);
  constexpr std::uint64_t kMost = ~std::uint64_t{0};
  const std::uint64_t headBytes = kDibInfoHeaderSize + colourTableBytes;
  if (height != 0 && rowBytes > (kMost - headBytes) / height) {
    return PackedDibLayout{colourTableBytes, rowBytes, kMost, kMost};
  }
  const std::uint64_t imageBytes = rowBytes * height;
  return PackedDibLayout{colourTableBytes, rowBytes, imageBytes, headBytes + imageBytes};
}
