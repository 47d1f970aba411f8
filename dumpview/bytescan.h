// Finding a byte pattern in a buffer at memory speed, in either direction,
// with a linear worst case. Portable: no system header.
//
// A scan visits candidate start positions from `first` to `last` inclusive
// and reads the bytes data[first] .. data[last + length - 1]; the caller
// guarantees first <= last and length >= 1. It answers the lowest (forward)
// or the highest (backward) candidate at which all length bytes agree, or
// kNoIndex.
//
// How: a block filter looks at 64 candidates at once and keeps those whose
// first and last bytes agree with the pattern's; only these are compared in
// full. When the full comparisons cost more than reading the data (a pattern
// that begins and ends with zeros in a run of zeros), a second pass probes
// the two bytes of the pattern that are rarest in the data just read
// instead. Should that pass drown in near matches as well (data that keeps
// nearly matching whatever is probed), the rest of the range goes to a
// search that is linear whatever the data: Shift-And, branch-free, on the
// pattern's first 64 bytes, comparing the rest where those agree, and Two-Way
// once comparing the rest costs more than reading the data.
#pragma once

#include <cstdint>

#include "app/noindex.h"

std::uint32_t ScanForward(const std::uint8_t* data, std::uint32_t first, std::uint32_t last,
                          const std::uint8_t* pattern, std::uint32_t length);
std::uint32_t ScanBackward(const std::uint8_t* data, std::uint32_t first, std::uint32_t last,
                           const std::uint8_t* pattern, std::uint32_t length);

// The scans with one method forced, for tests that hold each of them
// against a plain byte-by-byte search.
enum class ScanMethod : std::uint8_t {
  VectorFilter,  // the filtered passes with SSE2 compares (where the target has them), then the linear search
  WordsFilter,   // the same with 64-bit word arithmetic, on any target
  ShiftAnd,      // the linear search alone: Shift-And, then Two-Way
  TwoWay,        // Two-Way alone
};
bool HasScanMethod(ScanMethod method);
std::uint32_t ScanWith(ScanMethod method, bool backward, const std::uint8_t* data, std::uint32_t first,
                       std::uint32_t last, const std::uint8_t* pattern, std::uint32_t length);
