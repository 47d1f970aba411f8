// Clipboard format numbers that have a meaning of their own, in one place.
#pragma once

#include <cstdint>

// Registered formats (names given by programs at run time) take the numbers
// 0xC000 to 0xFFFF; their numbers differ from one session to the next.
inline constexpr std::uint32_t kFirstRegisteredFormat = 0xC000;
inline constexpr std::uint32_t kLastRegisteredFormat = 0xFFFF;

constexpr bool IsRegisteredFormat(std::uint32_t format) {
  return format >= kFirstRegisteredFormat && format <= kLastRegisteredFormat;
}
