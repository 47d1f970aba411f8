#include "formats/png.h"

#include <array>
#include <string>

#include "identify/png.h"
#include "identify/reading.h"

namespace {

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

void DescribeHeader(Lines& lines, const std::uint8_t* data, std::uint32_t length, const PngChunk& ihdr) {
  if (ihdr.size != kPngIhdrSize) AddProblem(lines, "IHDR holds " + Bytes(ihdr.size) + ", not 13");
  const std::optional<PngImageHeader> h = ReadPngImageHeader(data, length, ihdr);
  if (!h) return;
  AddField(lines, "Width", Decimal(h->width));
  AddField(lines, "Height", Decimal(h->height));
  AddField(lines, "Bit depth", Decimal(h->bitDepth));
  AddField(lines, "Colour type", Decimal(h->colourType) + " (" + ColourTypeName(h->colourType) + ")");
  AddField(lines, "Compression",
           Decimal(h->compression) + (h->compression == 0 ? " (deflate)" : " (unknown)"));
  AddField(lines, "Filter", Decimal(h->filter) + (h->filter == 0 ? " (adaptive)" : " (unknown)"));
  AddField(lines, "Interlace",
           Decimal(h->interlace) + (h->interlace == 0   ? " (none)"
                                    : h->interlace == 1 ? " (Adam7)"
                                                        : " (unknown)"));
}

}  // namespace

Lines InterpretPng(const std::uint8_t* data, std::uint32_t length) {
  Lines lines;
  if (!HasPngSignature(data, length)) {
    AddProblem(lines, "no PNG signature in the first 8 bytes");
    return lines;
  }
  Lines chunks;
  std::uint64_t count = 0;
  bool sawEnd = false;
  bool sawHeader = false;
  std::uint64_t badPastList = 0;  // CRC faults of chunks past the listed ones
  std::uint64_t at = kPngSignatureSize;
  while (at < length && !sawEnd) {
    const PngChunk chunk = PngChunkAt(data, length, at);
    if (!chunk.headerInData) {
      AddProblem(chunks, "a chunk at byte " + Decimal(at) + " is cut off in its length or type");
      break;
    }
    const std::string type = PngTypeText(chunk.type);
    ++count;
    if (!Fits(length, chunk.DataAt(), static_cast<std::uint64_t>(chunk.size) + 4)) {
      AddProblem(chunks, type + " at byte " + Decimal(at) + " claims " + Bytes(chunk.size) +
                             ", which with its CRC runs past the data (" + Bytes(length) + ")");
      break;
    }
    const std::uint32_t stored = *ReadU32BigEndian(data, length, chunk.CrcAt());
    const std::uint32_t computed = Crc32(data + at + 4, chunk.size + 4);
    if (count == 1 && chunk.type == PngType("IHDR")) {
      DescribeHeader(lines, data, length, chunk);
      sawHeader = true;
    }
    if (count <= kMaxListedItems) {
      AddField(chunks, "Chunk " + type,
               "at byte " + Decimal(at) + ", " + Bytes(chunk.size) + (stored == computed ? ", CRC ok" : ""));
    }
    if (stored != computed && count > kMaxListedItems) ++badPastList;
    if (stored != computed && count <= kMaxListedItems) {
      AddProblem(chunks, type + " at byte " + Decimal(at) + ": CRC " + Hex(stored, 8) + " stored, " +
                             Hex(computed, 8) + " computed");
    }
    sawEnd = chunk.type == PngType("IEND");
    at = chunk.End();
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
