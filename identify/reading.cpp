#include "identify/reading.h"

#include <cstring>

std::uint64_t LittleEndianAt(const std::uint8_t* bytes, std::uint32_t width) {
  std::uint64_t value = 0;
  for (std::uint32_t i = width; i-- > 0;) value = value << 8 | bytes[i];
  return value;
}

std::uint64_t BigEndianAt(const std::uint8_t* bytes, std::uint32_t width) {
  std::uint64_t value = 0;
  for (std::uint32_t i = 0; i < width; ++i) value = value << 8 | bytes[i];
  return value;
}

std::optional<std::uint16_t> ReadU16(const std::uint8_t* data, std::uint32_t length, std::uint64_t offset) {
  if (!Fits(length, offset, 2)) return std::nullopt;
  return static_cast<std::uint16_t>(LittleEndianAt(data + offset, 2));
}

std::optional<std::uint32_t> ReadU32(const std::uint8_t* data, std::uint32_t length, std::uint64_t offset) {
  if (!Fits(length, offset, 4)) return std::nullopt;
  return static_cast<std::uint32_t>(LittleEndianAt(data + offset, 4));
}

std::optional<std::uint64_t> ReadU64(const std::uint8_t* data, std::uint32_t length, std::uint64_t offset) {
  if (!Fits(length, offset, 8)) return std::nullopt;
  return LittleEndianAt(data + offset, 8);
}

std::optional<std::uint32_t> ReadU32BigEndian(const std::uint8_t* data, std::uint32_t length,
                                              std::uint64_t offset) {
  if (!Fits(length, offset, 4)) return std::nullopt;
  return static_cast<std::uint32_t>(BigEndianAt(data + offset, 4));
}

bool BytesAt(const std::uint8_t* data, std::uint32_t length, std::uint64_t offset, const char* bytes,
             std::uint32_t count) {
  return Fits(length, offset, count) && (count == 0 || std::memcmp(data + offset, bytes, count) == 0);
}
