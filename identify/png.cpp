#include "identify/png.h"

#include "identify/reading.h"

bool HasPngSignature(const std::uint8_t* data, std::uint32_t length) {
  return BytesAt(data, length, 0, "\x89PNG\r\n\x1A\n", kPngSignatureSize);
}

std::string PngTypeText(std::uint32_t type) {
  std::string text;
  for (int shift = 24; shift >= 0; shift -= 8) {
    const auto c = static_cast<char>(type >> shift & 0xFF);
    text += (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ? c : '?';
  }
  return text;
}

PngChunk PngChunkAt(const std::uint8_t* data, std::uint32_t length, std::uint64_t at) {
  PngChunk chunk;
  chunk.at = static_cast<std::uint32_t>(at);
  const std::optional<std::uint32_t> size = ReadU32BigEndian(data, length, at);
  const std::optional<std::uint32_t> type = ReadU32BigEndian(data, length, at + 4);
  if (!size || !type) return chunk;
  chunk.size = *size;
  chunk.type = *type;
  chunk.headerInData = true;
  return chunk;
}

std::optional<PngImageHeader> ReadPngImageHeader(const std::uint8_t* data, std::uint32_t length,
                                                 const PngChunk& ihdr) {
  if (!ihdr.headerInData || ihdr.size < kPngIhdrSize || !Fits(length, ihdr.DataAt(), kPngIhdrSize)) {
    return std::nullopt;
  }
  const std::uint8_t* d = data + ihdr.DataAt();
  return PngImageHeader{static_cast<std::uint32_t>(BigEndianAt(d, 4)),
                        static_cast<std::uint32_t>(BigEndianAt(d + 4, 4)),
                        d[8],
                        d[9],
                        d[10],
                        d[11],
                        d[12]};
}

std::uint32_t PngChannels(std::uint8_t colourType) {
  switch (colourType) {
    case 0:
    case 3:
      return 1;
    case 2:
      return 3;
    case 4:
      return 2;
    case 6:
      return 4;
    default:
      return 0;
  }
}
