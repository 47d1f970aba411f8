#include "formats/dib.h"

#include "picture/dibheader.h"

namespace {

const char* HeaderName(std::uint32_t size) {
  switch (size) {
    case kDibInfoHeaderSize:
      return "BITMAPINFOHEADER";
    case kDibV2HeaderSize:
      return "BITMAPV2INFOHEADER";
    case kDibV3HeaderSize:
      return "BITMAPV3INFOHEADER";
    case kDibV4HeaderSize:
      return "BITMAPV4HEADER";
    default:
      return "BITMAPV5HEADER";
  }
}

std::string CompressionText(std::uint32_t compression) {
  const char* name = DibCompressionName(compression);
  return name != nullptr ? name : Hex(compression, 1) + " (unknown)";
}

// LCS_CALIBRATED_RGB is 0; the others are four letters, stored backwards.
std::string ColorSpaceText(std::uint32_t csType) {
  if (csType == 0) return "LCS_CALIBRATED_RGB";
  std::string letters;
  for (int shift = 24; shift >= 0; shift -= 8) {
    const auto c = static_cast<char>(csType >> shift & 0xFF);
    if (c < 0x20 || c > 0x7E) return Hex(csType, 8);
    letters += c;
  }
  return "'" + letters + "' (" + Hex(csType, 8) + ")";
}

constexpr NamedFlag kIntents[] = {
    {1, "LCS_GM_BUSINESS"}, {2, "LCS_GM_GRAPHICS"}, {4, "LCS_GM_IMAGES"}, {8, "LCS_GM_ABS_COLORIMETRIC"}};

void AddHeaderFields(Lines& lines, const DibHeaderFields& f) {
  AddField(lines, "biSize", Decimal(f.size) + " (" + HeaderName(f.size) + ")");
  AddField(lines, "biWidth", SignedDecimal(f.width));
  AddField(lines, "biHeight", SignedDecimal(f.height) + (f.height < 0 ? " (top-down)" : " (bottom-up)"));
  AddField(lines, "biPlanes", Decimal(f.planes));
  AddField(lines, "biBitCount", Decimal(f.bitCount));
  AddField(lines, "biCompression", CompressionText(f.compression));
  AddField(lines, "biSizeImage", Decimal(f.sizeImage));
  AddField(lines, "biXPelsPerMeter", SignedDecimal(f.xPelsPerMeter));
  AddField(lines, "biYPelsPerMeter", SignedDecimal(f.yPelsPerMeter));
  AddField(lines, "biClrUsed", Decimal(f.clrUsed));
  AddField(lines, "biClrImportant", Decimal(f.clrImportant));
  if (f.size >= kDibV2HeaderSize) {
    AddField(lines, "bV5RedMask", Hex(f.redMask, 8));
    AddField(lines, "bV5GreenMask", Hex(f.greenMask, 8));
    AddField(lines, "bV5BlueMask", Hex(f.blueMask, 8));
  }
  if (f.size >= kDibV3HeaderSize) AddField(lines, "bV5AlphaMask", Hex(f.alphaMask, 8));
  if (f.size >= kDibV4HeaderSize) {
    AddField(lines, "bV5CSType", ColorSpaceText(f.csType));
    const char* const colours[] = {"red", "green", "blue"};
    for (std::size_t c = 0; c < 3; ++c) {
      AddField(lines, std::string("bV5Endpoints ") + colours[c],
               SignedDecimal(f.endpoints[3 * c]) + ", " + SignedDecimal(f.endpoints[3 * c + 1]) + ", " +
                   SignedDecimal(f.endpoints[3 * c + 2]));
    }
    AddField(lines, "bV5Gamma",
             Hex(f.gammaRed, 1) + ", " + Hex(f.gammaGreen, 1) + ", " + Hex(f.gammaBlue, 1));
  }
  if (f.size >= kDibV5HeaderSize) {
    AddField(lines, "bV5Intent", FlagsText(f.intent, kIntents, "0"));
    AddField(lines, "bV5ProfileData", Decimal(f.profileData));
    AddField(lines, "bV5ProfileSize", Decimal(f.profileSize));
    AddField(lines, "bV5Reserved", Decimal(f.reserved));
  }
}

// Where the reader found the masks, colour table and bits.
void AddLayout(Lines& lines, const DibDescription& d, std::uint32_t length) {
  if (d.bitCount >= 16 && d.bitCount != 24) {
    AddField(lines, "Masks",
             "red " + Hex(d.redMask, 8) + ", green " + Hex(d.greenMask, 8) + ", blue " + Hex(d.blueMask, 8) +
                 ", alpha " + Hex(d.alphaMask, 8) + (d.masksAfterHeader ? " (after the header)" : ""));
  }
  AddField(lines, "Colour table",
           "at byte " + Decimal(d.colorTableOffset) + ", " + Decimal(d.colorTableEntries) + " entries, " +
               Decimal(d.colorsUsed) + " used");
  AddField(lines, "Bits",
           "at byte " + Decimal(d.bitsOffset) + ", " + Decimal(d.height) + " rows of " + Bytes(d.stride) +
               ", " + Bytes(d.bitsSize));
  const std::uint32_t end = d.bitsOffset + d.bitsSize;
  if (end < length) AddField(lines, "Bytes after the bits", Decimal(length - end));
}

}  // namespace

Lines InterpretDib(const std::uint8_t* data, std::uint32_t length) {
  Lines lines;
  const DibDescription d = ReadPackedDib(data, length);
  // A refused header was read as far as its size allowed.
  if (d.header.size != 0) AddHeaderFields(lines, d.header);
  if (!d.ok) {
    AddProblem(lines, d.refusal);
    return lines;
  }
  AddLayout(lines, d, length);
  return lines;
}
