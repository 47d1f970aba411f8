#include "picture/dibheader.h"

#include <limits>

#include "identify/reading.h"

namespace {

// The callers have checked that the bytes are there.
std::uint16_t Read16(const std::uint8_t* data, std::uint32_t offset) {
  return static_cast<std::uint16_t>(LittleEndianAt(data + offset, 2));
}

std::uint32_t Read32(const std::uint8_t* data, std::uint32_t offset) {
  return static_cast<std::uint32_t>(LittleEndianAt(data + offset, 4));
}

std::int32_t ReadSigned32(const std::uint8_t* data, std::uint32_t offset) {
  return static_cast<std::int32_t>(Read32(data, offset));
}

// Reads the fields the header's size covers; the caller has checked that
// size bytes lie at offset.
DibHeaderFields ReadFields(const std::uint8_t* data, std::uint32_t offset, std::uint32_t size) {
  const std::uint8_t* h = data + offset;
  DibHeaderFields f = {};
  f.size = size;
  f.width = ReadSigned32(h, 4);
  f.height = ReadSigned32(h, 8);
  f.planes = Read16(h, 12);
  f.bitCount = Read16(h, 14);
  f.compression = Read32(h, 16);
  f.sizeImage = Read32(h, 20);
  f.xPelsPerMeter = ReadSigned32(h, 24);
  f.yPelsPerMeter = ReadSigned32(h, 28);
  f.clrUsed = Read32(h, 32);
  f.clrImportant = Read32(h, 36);
  if (size >= kDibV2HeaderSize) {
    f.redMask = Read32(h, 40);
    f.greenMask = Read32(h, 44);
    f.blueMask = Read32(h, 48);
  }
  if (size >= kDibV3HeaderSize) f.alphaMask = Read32(h, 52);
  if (size >= kDibV4HeaderSize) {
    f.csType = Read32(h, 56);
    for (std::uint32_t i = 0; i < 9; ++i) f.endpoints[i] = ReadSigned32(h, 60 + 4 * i);
    f.gammaRed = Read32(h, 96);
    f.gammaGreen = Read32(h, 100);
    f.gammaBlue = Read32(h, 104);
  }
  if (size >= kDibV5HeaderSize) {
    f.intent = Read32(h, 108);
    f.profileData = Read32(h, 112);
    f.profileSize = Read32(h, 116);
    f.reserved = Read32(h, 120);
  }
  return f;
}

DibDescription Refuse(DibDescription d, std::string why) {
  d.ok = false;
  d.refusal = std::move(why);
  return d;
}

bool IsKnownDepth(std::uint32_t bits) {
  return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

// The checks of the fields that do not depend on where the header lies.
std::string FieldProblem(const DibHeaderFields& f) {
  if (f.width <= 0) return "The DIB's width of " + std::to_string(f.width) + " pixels is not positive.";
  if (f.height == 0) return "The DIB's height is 0 rows.";
  if (f.height == std::numeric_limits<std::int32_t>::min()) return "The DIB's height is out of range.";
  if (f.planes != 1) return "The DIB says it has " + std::to_string(f.planes) + " planes; it must have 1.";
  if (!IsKnownDepth(f.bitCount)) {
    return "The DIB's depth of " + std::to_string(f.bitCount) + " bits is not one of 1, 4, 8, 16, 24 or 32.";
  }
  if (f.compression != kDibRgb && f.compression != kDibBitfields) {
    if (const char* name = DibCompressionName(f.compression)) {
      return std::string("The DIB is compressed as ") + name + ", which the Picture view does not draw.";
    }
    return "The DIB's compression " + std::to_string(f.compression) + " is unknown.";
  }
  if (f.compression == kDibBitfields && f.bitCount != 16 && f.bitCount != 32) {
    return "The DIB has colour masks at " + std::to_string(f.bitCount) + " bits; they need 16 or 32.";
  }
  return {};
}

// Masks must be single runs that do not overlap, or the pixels cannot be
// taken apart into channels.
bool MasksUsable(std::uint32_t r, std::uint32_t g, std::uint32_t b, std::uint32_t a) {
  for (std::uint32_t mask : {r, g, b}) {
    if (MaskRunOf(mask).width == 0) return false;
  }
  if (a != 0 && MaskRunOf(a).width == 0) return false;
  return (r & g) == 0 && (r & b) == 0 && (g & b) == 0 && ((r | g | b) & a) == 0;
}

// Reads the header at offset and the masks and colour table after it; the
// bits' place is left to the caller. d.ok is set when all of it fits.
DibDescription ReadHeaderAndTable(DibDescription d, const std::uint8_t* data, std::uint32_t length,
                                  std::uint32_t offset) {
  const std::uint64_t left = length - static_cast<std::uint64_t>(offset);
  if (left < 4) return Refuse(d, "The data is too short to hold a DIB header.");
  const std::uint32_t size = Read32(data, offset);
  if (size == kDibCoreHeaderSize) return Refuse(d, "The DIB has a 12-byte core header, which is not read.");
  if (!IsDibHeaderSize(size)) {
    return Refuse(
        d, "The DIB header's size of " + std::to_string(size) + " bytes is not 40, 52, 56, 108 or 124.");
  }
  if (left < size) {
    return Refuse(d, "The data ends " + std::to_string(left) + " bytes into the DIB's " +
                         std::to_string(size) + "-byte header.");
  }
  d.header = ReadFields(data, offset, size);
  const DibHeaderFields& f = d.header;
  std::string problem = FieldProblem(f);
  if (!problem.empty()) return Refuse(d, problem);

  d.width = static_cast<std::uint32_t>(f.width);
  d.topDown = f.height < 0;
  d.height = d.topDown ? static_cast<std::uint32_t>(-static_cast<std::int64_t>(f.height))
                       : static_cast<std::uint32_t>(f.height);
  d.bitCount = f.bitCount;
  d.compression = f.compression;

  std::uint64_t next = static_cast<std::uint64_t>(offset) + size;
  if (f.compression == kDibBitfields) {
    if (size == kDibInfoHeaderSize) {
      if (next + 12 > length) return Refuse(d, "The data ends inside the DIB's colour masks.");
      d.masksAfterHeader = true;
      d.redMask = Read32(data, static_cast<std::uint32_t>(next));
      d.greenMask = Read32(data, static_cast<std::uint32_t>(next + 4));
      d.blueMask = Read32(data, static_cast<std::uint32_t>(next + 8));
      next += 12;
    } else {
      d.redMask = f.redMask;
      d.greenMask = f.greenMask;
      d.blueMask = f.blueMask;
    }
  } else if (f.bitCount == 16) {
    d.redMask = 0x7C00;
    d.greenMask = 0x03E0;
    d.blueMask = 0x001F;
  } else if (f.bitCount == 32) {
    d.redMask = 0x00FF0000;
    d.greenMask = 0x0000FF00;
    d.blueMask = 0x000000FF;
  }
  if (f.bitCount >= 16 && f.bitCount != 24 && size >= kDibV3HeaderSize) {
    // Only the bits the pixel holds can be alpha.
    const std::uint32_t pixelBits = f.bitCount == 16 ? 0xFFFFu : 0xFFFFFFFFu;
    d.alphaMask = f.alphaMask & pixelBits;
  }
  if (f.bitCount >= 16 && f.bitCount != 24 && !MasksUsable(d.redMask, d.greenMask, d.blueMask, d.alphaMask)) {
    return Refuse(d, "The DIB's colour masks are not separate runs of bits.");
  }

  std::uint64_t entries = f.clrUsed;
  if (entries == 0 && f.bitCount <= 8) entries = 1ull << f.bitCount;
  if (entries > kDibMaxColorTableEntries) entries = kDibMaxColorTableEntries;
  if (next + 4 * entries > length) return Refuse(d, "The data ends inside the DIB's colour table.");
  d.colorTableOffset = static_cast<std::uint32_t>(next);
  d.colorTableEntries = static_cast<std::uint32_t>(entries);
  if (f.bitCount <= 8) {
    const std::uint64_t indexable = 1ull << f.bitCount;
    d.colorsUsed = static_cast<std::uint32_t>(entries < indexable ? entries : indexable);
  }

  const std::uint64_t strideBytes = DibRowBytes(d.width, f.bitCount);
  // Width below 2^31 at 32 bits keeps the stride below 2^33, and height below
  // 2^31 keeps the product below 2^64: neither can wrap.
  const std::uint64_t bitsBytes = strideBytes * d.height;
  if (bitsBytes > length) {
    return Refuse(d, "The DIB's " + std::to_string(d.width) + " x " + std::to_string(d.height) +
                         " pixels at " + std::to_string(d.bitCount) +
                         " bits need more bytes than the data holds.");
  }
  d.stride = static_cast<std::uint32_t>(strideBytes);
  d.bitsSize = static_cast<std::uint32_t>(bitsBytes);
  d.bitsOffset = static_cast<std::uint32_t>(next + 4 * entries);
  d.ok = true;
  return d;
}

// Checks that the bits, at d.bitsOffset, fit in length.
DibDescription CheckBitsFit(DibDescription d, std::uint32_t length) {
  if (static_cast<std::uint64_t>(d.bitsOffset) + d.bitsSize > length) {
    return Refuse(d, "The DIB's " + std::to_string(d.width) + " x " + std::to_string(d.height) +
                         " pixels at " + std::to_string(d.bitCount) + " bits need " +
                         std::to_string(d.bitsSize) + " bytes; the data holds " +
                         std::to_string(length > d.bitsOffset ? length - d.bitsOffset : 0) +
                         " after its header.");
  }
  return d;
}

}  // namespace

MaskRun MaskRunOf(std::uint32_t mask) {
  if (mask == 0) return {0, 0};
  std::uint32_t shift = 0;
  while ((mask >> shift & 1u) == 0) ++shift;
  std::uint32_t width = 0;
  while (shift + width < 32 && (mask >> (shift + width) & 1u) != 0) ++width;
  // A bit set above the run means a gap.
  if (shift + width < 32 && (mask >> (shift + width)) != 0) return {0, 0};
  return {shift, width};
}

DibDescription ReadPackedDib(const std::uint8_t* data, std::uint32_t length) {
  DibDescription d = ReadHeaderAndTable(DibDescription{}, data, length, 0);
  if (!d.ok) return d;
  // Some writers of CF_DIBV5 put the three masks after a V4 or V5 header as
  // well; a block exactly those 12 bytes longer has its bits after them.
  if (d.compression == kDibBitfields && d.header.size >= kDibV4HeaderSize &&
      static_cast<std::uint64_t>(d.bitsOffset) + 12 + d.bitsSize == length) {
    d.bitsOffset += 12;
  }
  return CheckBitsFit(d, length);
}

DibDescription ReadBmpFile(const std::uint8_t* data, std::uint32_t length) {
  DibDescription d;
  d.isBmpFile = true;
  d.headerOffset = kBmpFileHeaderSize;
  if (length < kBmpFileHeaderSize || data[0] != 'B' || data[1] != 'M') {
    return Refuse(d, "The data does not begin with a BMP file header.");
  }
  d.file.fileSize = Read32(data, 2);
  d.file.reserved1 = Read16(data, 6);
  d.file.reserved2 = Read16(data, 8);
  d.file.bitsOffset = Read32(data, 10);
  d = ReadHeaderAndTable(d, data, length, kBmpFileHeaderSize);
  if (!d.ok) return d;
  // The file header says where the bits are; it may leave a gap after the
  // colour table, never overlap it.
  if (d.file.bitsOffset < d.bitsOffset) {
    return Refuse(d, "The BMP file's bits offset " + std::to_string(d.file.bitsOffset) +
                         " lies inside its header or colour table.");
  }
  d.bitsOffset = d.file.bitsOffset;
  return CheckBitsFit(d, length);
}
