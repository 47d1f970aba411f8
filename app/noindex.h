// The one answer of every routine that answers a byte index or position when
// there is none (also what the dump view's messages answer then).
#pragma once

#include <cstdint>

inline constexpr std::uint32_t kNoIndex = 0xFFFFFFFFu;
