// The bounds-checked reader of device-independent bitmaps: a packed DIB as
// the clipboard holds it (CF_DIB, CF_DIBV5, CF_BITMAP read whole) and a BMP
// file ("BM" file header first). Portable: it reads little-endian fields out
// of the caller's bytes and never a byte past their length.
//
// It answers a plain description of where everything lies, or why it refused
// in a sentence for the user. Every offset and size it answers is counted
// from the first byte it was given and lies inside the length it was given:
//   colorTableOffset + 4 * colorTableEntries <= bitsOffset
//   bitsOffset + bitsSize <= length
// and bitsSize == stride * height exactly. Width, height, depth, colour
// counts and offsets are computed in 64 bits and checked before they are
// narrowed, so no hostile header can make them wrap.
//
// What it reads:
//   headers   BITMAPINFOHEADER (40 bytes), the 52- and 56-byte headers that
//             carry their masks inside, BITMAPV4HEADER (108), BITMAPV5HEADER
//             (124); the 12-byte core header and unknown sizes are refused
//   depths    1, 4, 8, 16, 24, 32 bits a pixel
//   kinds     BI_RGB, and BI_BITFIELDS at 16 and 32 bits (three masks after
//             a 40-byte header, or the header's own masks); RLE, JPEG and
//             PNG inside a DIB are refused
//   colours   the table of biClrUsed entries (the depth's full table when 0),
//             at most 256 in memory, of which at most 2^depth are used
//   rows      bottom-up (positive height) and top-down (negative height)
//   alpha     the alpha mask of a 56-byte, V4 or V5 header at 16 and 32 bits
#pragma once

#include <cstdint>
#include <string>

#include "app/packeddib.h"

constexpr std::uint32_t kDibMaxColorTableEntries = 256;

// Every field of the header as stored, for a reader that shows them all.
// Fields past the header's own size are 0.
struct DibHeaderFields {
  std::uint32_t size;  // biSize
  std::int32_t width;
  std::int32_t height;  // negative for top-down rows
  std::uint16_t planes;
  std::uint16_t bitCount;
  std::uint32_t compression;
  std::uint32_t sizeImage;
  std::int32_t xPelsPerMeter;
  std::int32_t yPelsPerMeter;
  std::uint32_t clrUsed;
  std::uint32_t clrImportant;
  // 52-byte and larger headers
  std::uint32_t redMask;
  std::uint32_t greenMask;
  std::uint32_t blueMask;
  // 56-byte and larger headers
  std::uint32_t alphaMask;
  // V4 and V5
  std::uint32_t csType;
  std::int32_t endpoints[9];  // red, green, blue CIEXYZ, each x, y, z
  std::uint32_t gammaRed;
  std::uint32_t gammaGreen;
  std::uint32_t gammaBlue;
  // V5
  std::uint32_t intent;
  std::uint32_t profileData;  // offset from the header's first byte
  std::uint32_t profileSize;
  std::uint32_t reserved;
};

// A BMP file's 14-byte header, as stored.
struct BmpFileHeaderFields {
  std::uint32_t fileSize;
  std::uint16_t reserved1;
  std::uint16_t reserved2;
  std::uint32_t bitsOffset;  // from the file's first byte
};

struct DibDescription {
  bool ok = false;
  std::string refusal;  // why not, one sentence for the user, when !ok

  bool isBmpFile = false;
  BmpFileHeaderFields file = {};
  std::uint32_t headerOffset = 0;  // 0 for a packed DIB, 14 in a BMP file
  DibHeaderFields header = {};     // as far as it could be read

  // The picture as drawn.
  std::uint32_t width = 0;
  std::uint32_t height = 0;  // rows, whatever their order
  bool topDown = false;      // the first row in memory is the top one
  std::uint32_t bitCount = 0;
  std::uint32_t compression = 0;  // kDibRgb or kDibBitfields

  // Masks in effect: the stored ones for BI_BITFIELDS, the depth's defaults
  // for BI_RGB at 16 and 32 bits (5-5-5 and 8-8-8), 0 below 16 bits.
  std::uint32_t redMask = 0;
  std::uint32_t greenMask = 0;
  std::uint32_t blueMask = 0;
  std::uint32_t alphaMask = 0;    // 0 when the pixels carry no alpha
  bool masksAfterHeader = false;  // three masks follow a 40-byte header

  std::uint32_t colorTableOffset = 0;   // where the table begins
  std::uint32_t colorTableEntries = 0;  // 4-byte entries it occupies
  std::uint32_t colorsUsed = 0;         // entries the pixels can index

  std::uint32_t bitsOffset = 0;
  std::uint32_t stride = 0;  // bytes a row, a multiple of 4
  std::uint32_t bitsSize = 0;

  bool hasAlpha() const { return alphaMask != 0; }
};

// A packed DIB: the header at the first byte, then masks, colours and bits.
DibDescription ReadPackedDib(const std::uint8_t* data, std::uint32_t length);

// A BMP file: "BM", the file header, then a packed DIB whose bits lie at the
// file header's offset.
DibDescription ReadBmpFile(const std::uint8_t* data, std::uint32_t length);

// A mask's lowest set bit and its number of bits, when the set bits are one
// run; width 0 for a mask of 0 or one with gaps.
struct MaskRun {
  std::uint32_t shift;
  std::uint32_t width;
};
MaskRun MaskRunOf(std::uint32_t mask);
