// Checked reads of little- and big-endian numbers, the one reader of every
// interpreter and signature: each takes the data, its length and an offset,
// and answers "not enough bytes" as a value.
#pragma once

#include <cstdint>
#include <optional>

// Whether count bytes starting at offset lie inside length bytes.
constexpr bool Fits(std::uint32_t length, std::uint64_t offset, std::uint64_t count) {
  return offset <= length && count <= length - offset;
}

std::optional<std::uint16_t> ReadU16(const std::uint8_t* data, std::uint32_t length, std::uint64_t offset);
std::optional<std::uint32_t> ReadU32(const std::uint8_t* data, std::uint32_t length, std::uint64_t offset);
std::optional<std::uint64_t> ReadU64(const std::uint8_t* data, std::uint32_t length, std::uint64_t offset);
std::optional<std::uint32_t> ReadU32BigEndian(const std::uint8_t* data, std::uint32_t length,
                                              std::uint64_t offset);
// Whether the bytes at offset are these, all of them inside the data.
bool BytesAt(const std::uint8_t* data, std::uint32_t length, std::uint64_t offset, const char* bytes,
             std::uint32_t count);

// Unchecked: the caller has checked that the bytes are there.
std::uint64_t LittleEndianAt(const std::uint8_t* bytes, std::uint32_t width);
std::uint64_t BigEndianAt(const std::uint8_t* bytes, std::uint32_t width);
