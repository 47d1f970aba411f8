// Dates of the two clocks that clipboard data uses, as UTC text
// "2024-05-01 12:34:56 UTC"; nothing when the value lies outside the years
// 1601..9999 (FILETIME) or is no date.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

// 100-nanosecond intervals since 1601-01-01 00:00 UTC; the fraction is shown
// to the full 7 digits when it is not zero.
std::optional<std::string> FileTimeText(std::uint64_t fileTime);
// Seconds since 1970-01-01 00:00 UTC, unsigned 32-bit.
std::string UnixTimeText(std::uint32_t seconds);
