// Where a text's zero terminator lies: an 8-bit zero byte, or a 16-bit zero
// unit counted in whole units from where the search starts.
#pragma once

#include <cstdint>

#include "app/noindex.h"

// The index of the terminator's first byte at or after offset, or kNoIndex
// when the data ends first.
std::uint32_t FindZeroByte(const std::uint8_t* data, std::uint32_t length, std::uint32_t offset);
std::uint32_t FindZeroUnit(const std::uint8_t* data, std::uint32_t length, std::uint32_t offset);
