// PNG's own structure, read once for the Details pane, the Picture view and
// the signature sniff: the 8-byte signature, then chunks of a big-endian
// length, four type letters, the data and a CRC; IHDR first.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

inline constexpr std::uint32_t kPngSignatureSize = 8;
inline constexpr std::uint32_t kPngIhdrSize = 13;

bool HasPngSignature(const std::uint8_t* data, std::uint32_t length);

// A chunk's four type bytes as one big-endian number: PngType("IHDR").
constexpr std::uint32_t PngType(const char (&letters)[5]) {
  return static_cast<std::uint32_t>(static_cast<std::uint8_t>(letters[0])) << 24 |
         static_cast<std::uint32_t>(static_cast<std::uint8_t>(letters[1])) << 16 |
         static_cast<std::uint32_t>(static_cast<std::uint8_t>(letters[2])) << 8 |
         static_cast<std::uint8_t>(letters[3]);
}
// The type's letters, '?' for a byte that is none.
std::string PngTypeText(std::uint32_t type);

// The chunk at a byte of the data. headerInData is false when its length or
// type runs past the data; the data and CRC may still do so.
struct PngChunk {
  std::uint32_t at = 0;
  std::uint32_t size = 0;  // of its data, as its length says
  std::uint32_t type = 0;
  bool headerInData = false;
  std::uint64_t DataAt() const { return at + 8ull; }
  std::uint64_t CrcAt() const { return DataAt() + size; }
  std::uint64_t End() const { return CrcAt() + 4; }
};
PngChunk PngChunkAt(const std::uint8_t* data, std::uint32_t length, std::uint64_t at);

// The IHDR fields, read from a chunk's first 13 bytes of data.
struct PngImageHeader {
  std::uint32_t width;
  std::uint32_t height;
  std::uint8_t bitDepth;
  std::uint8_t colourType;
  std::uint8_t compression;
  std::uint8_t filter;
  std::uint8_t interlace;
};
// The fields of the chunk when its data holds at least 13 bytes inside the
// data; none otherwise.
std::optional<PngImageHeader> ReadPngImageHeader(const std::uint8_t* data, std::uint32_t length,
                                                 const PngChunk& ihdr);

// Samples a pixel of the colour type: 1 to 4, or 0 for a type PNG knows not.
std::uint32_t PngChannels(std::uint8_t colourType);
