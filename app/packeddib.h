// A packed DIB as the clipboard holds it (CF_DIB, CF_DIBV5) and a BMP file
// wraps it: the header sizes, the compression values and their BI_ names,
// and the row stride, in one place for the snapshot, the Picture view, the
// Details pane and the signature sniff.
#pragma once

#include <cstdint>

// Header sizes by kind.
inline constexpr std::uint32_t kDibCoreHeaderSize = 12;
inline constexpr std::uint32_t kDibInfoHeaderSize = 40;
inline constexpr std::uint32_t kDibV2HeaderSize = 52;  // 40 + red, green and blue masks
inline constexpr std::uint32_t kDibV3HeaderSize = 56;  // and the alpha mask
inline constexpr std::uint32_t kDibV4HeaderSize = 108;
inline constexpr std::uint32_t kDibV5HeaderSize = 124;
inline constexpr std::uint32_t kBmpFileHeaderSize = 14;

constexpr bool IsDibHeaderSize(std::uint32_t size) {
  return size == kDibCoreHeaderSize || size == kDibInfoHeaderSize || size == kDibV2HeaderSize ||
         size == kDibV3HeaderSize || size == kDibV4HeaderSize || size == kDibV5HeaderSize;
}

// Compression values of the header's biCompression field.
inline constexpr std::uint32_t kDibRgb = 0;
inline constexpr std::uint32_t kDibRle8 = 1;
inline constexpr std::uint32_t kDibRle4 = 2;
inline constexpr std::uint32_t kDibBitfields = 3;
inline constexpr std::uint32_t kDibJpeg = 4;
inline constexpr std::uint32_t kDibPng = 5;

// "BI_RGB" … "BI_PNG", or none for a value no name covers.
constexpr const char* DibCompressionName(std::uint32_t compression) {
  constexpr const char* kNames[] = {"BI_RGB", "BI_RLE8", "BI_RLE4", "BI_BITFIELDS", "BI_JPEG", "BI_PNG"};
  return compression < sizeof(kNames) / sizeof(kNames[0]) ? kNames[compression] : nullptr;
}

// Bytes a row of pixels takes: rows are padded to 32 bits. Exact in 64 bits
// for any 32-bit width at up to 32 bits a pixel.
constexpr std::uint64_t DibRowBytes(std::uint32_t width, std::uint32_t bitsPerPixel) {
  return (static_cast<std::uint64_t>(width) * bitsPerPixel + 31) / 32 * 4;
}
