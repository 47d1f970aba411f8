#include "formats/png.h"

#include <array>
#include <string>

#include "formats/reading.h"
#include "picture/picturekind.h"

namespace {

constexpr std::uint32_t kSignatureSize = 8;
constexpr std::uint32_t kIhdrSize = 13;

// CRC-32 of ISO 3309 as PNG defines it (polynomial 0xEDB88320, reflected).
std::array<std::uint32_t, 256> MakeCrcTable() {
  std::array<std::uint32_t, 256> table{};
  for (std::uint32_t n = 0; n < 256; ++n) {
    std::uint32_t c = n;
    for (int k = 0; k < 8; ++k) c = (c & 1) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    table[n] = c;
  }
  return table;
}

std::uint32_t Crc32(const std::uint8_t* bytes, std::uint32_t count) {
  static const std::array<std::uint32_t, 256> table = MakeCrcTable();
  std::uint32_t c = 0xFFFFFFFFu;
  for (std::uint32_t i = 0; i < count; ++i) c = table[(c ^ bytes[i]) & 0xFF] ^ (c >> 8);
  return c ^ 0xFFFFFFFFu;
}

std::string ChunkType(const std::uint8_t* bytes) {
  std::string type;
  for (int i = 0; i < 4; ++i) {
    const std::uint8_t c = bytes[i];
    type += (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ? static_cast<char>(c) : '?';
  }
  return type;
}

const char* ColourTypeName(std::uint8_t type) {
  switch (type) {
    case 0:
      return "greyscale";
    case 2:
      return "truecolour";
    case 3:
      return "indexed";
    case 4:
      return "greyscale with alpha";
    case 6:
      return "truecolour with alpha";
    default:
      return "unknown";
  }
}

void DescribeHeader(Lines& lines, const std::uint8_t* ihdr, std::uint32_t size) {
  if (size != kIhdrSize) {
    AddProblem(lines, "IHDR holds " + Bytes(size) + ", not 13");
    if (size < kIhdrSize) return;
  }
  AddField(lines, "Width", Decimal(BigEndianAt(ihdr, 4)));
  AddField(lines, "Height", Decimal(BigEndianAt(ihdr + 4, 4)));
  AddField(lines, "Bit depth", Decimal(ihdr[8]));
  AddField(lines, "Colour type", Decimal(ihdr[9]) + " (" + ColourTypeName(ihdr[9]) + ")");
  AddField(lines, "Compression", Decimal(ihdr[10]) + (ihdr[10] == 0 ? " (deflate)" : " (unknown)"));
  AddField(lines, "Filter", Decimal(ihdr[11]) + (ihdr[11] == 0 ? " (adaptive)" : " (unknown)"));
  AddField(lines, "Interlace",
           Decimal(ihdr[12]) + (ihdr[12] == 0   ? " (none)"
                                : ihdr[12] == 1 ? " (Adam7)"
                                                : " (unknown)"));
}

}  // namespace

Lines InterpretPng(const std::uint8_t* data, std::uint32_t length) {
  Lines lines;
  if (SniffPictureKind(data, length) != PictureKind::Png) {
    AddProblem(lines, "no PNG signature in the first 8 bytes");
    return lines;
  }
  Lines chunks;
  std::uint64_t count = 0;
  bool sawEnd = false;
  bool sawHeader = false;
  std::uint64_t badPastList = 0;  // CRC faults of chunks past the listed ones
  std::uint32_t at = kSignatureSize;
  while (at < length && !sawEnd) {
    const std::optional<std::uint32_t> size = ReadU32BigEndian(data, length, at);
    if (!size || !Fits(length, at, 8)) {
      AddProblem(chunks, "a chunk at byte " + Decimal(at) + " is cut off in its length or type");
      break;
    }
    const std::string type = ChunkType(data + at + 4);
    ++count;
    if (!Fits(length, at + 8, static_cast<std::uint64_t>(*size) + 4)) {
      AddProblem(chunks, type + " at byte " + Decimal(at) + " claims " + Bytes(*size) +
                             ", which with its CRC runs past the data (" + Bytes(length) + ")");
      break;
    }
    const std::uint32_t stored = *ReadU32BigEndian(data, length, at + 8 + *size);
    const std::uint32_t computed = Crc32(data + at + 4, *size + 4);
    if (count == 1 && type == "IHDR") {
      DescribeHeader(lines, data + at + 8, *size);
      sawHeader = true;
    }
    if (count <= kMaxListedItems) {
      AddField(chunks, "Chunk " + type,
               "at byte " + Decimal(at) + ", " + Bytes(*size) + (stored == computed ? ", CRC ok" : ""));
    }
    if (stored != computed && count > kMaxListedItems) ++badPastList;
    if (stored != computed && count <= kMaxListedItems) {
      AddProblem(chunks, type + " at byte " + Decimal(at) + ": CRC " + Hex(stored, 8) + " stored, " +
                             Hex(computed, 8) + " computed");
    }
    sawEnd = type == "IEND";
    at += 12 + *size;
  }
  if (!sawHeader) AddProblem(lines, "the first chunk is not IHDR");
  AddField(lines, "Chunks", Decimal(count));
  AppendLines(lines, chunks);
  if (count > kMaxListedItems) AddText(lines, MoreItemsText(count - kMaxListedItems, "chunks"));
  if (badPastList != 0) AddProblem(lines, Decimal(badPastList) + " more chunks with a wrong CRC");
  if (!sawEnd) AddProblem(lines, "no IEND chunk before the end of the data (" + Bytes(length) + ")");
  if (sawEnd && at < length) AddField(lines, "Bytes after IEND", Decimal(length - at));
  return lines;
}
