// Checked reads of little- and big-endian numbers: each takes the data, its
// length and an offset, and answers "not enough bytes" as a value.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "formats/lines.h"

// Whether count bytes starting at offset lie inside length bytes.
constexpr bool Fits(std::uint32_t length, std::uint64_t offset, std::uint64_t count) {
  return offset <= length && count <= length - offset;
}

std::optional<std::uint16_t> ReadU16(const std::uint8_t* data, std::uint32_t length, std::uint64_t offset);
std::optional<std::uint32_t> ReadU32(const std::uint8_t* data, std::uint32_t length, std::uint64_t offset);
std::optional<std::uint64_t> ReadU64(const std::uint8_t* data, std::uint32_t length, std::uint64_t offset);
std::optional<std::uint32_t> ReadU32BigEndian(const std::uint8_t* data, std::uint32_t length,
                                              std::uint64_t offset);

// Unchecked: the caller has checked that the bytes are there.
std::uint64_t LittleEndianAt(const std::uint8_t* bytes, std::uint32_t width);
std::uint64_t BigEndianAt(const std::uint8_t* bytes, std::uint32_t width);

// The 32-bit value that opens the data, or none after a problem line that
// says what takes 4 bytes ("an LCID takes 4 bytes, the data has 3").
std::optional<std::uint32_t> ReadLeadingU32(Lines& lines, const std::uint8_t* data, std::uint32_t length,
                                            std::string_view what);
