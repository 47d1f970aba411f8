// Pixel sizes at the screen's resolution. The program's own pixel sizes are
// written for 96 dots per inch (100%); at another resolution they grow or
// shrink in proportion, rounded to the nearest pixel with halves away from
// zero as MulDiv rounds, so that 96 gives every size back unchanged.
#pragma once

#include <cstdint>

// The resolution the program's pixel sizes are written for.
constexpr std::uint32_t kDefaultDpi = 96;

// pixels x toDpi / fromDpi, rounded. An unknown resolution (0) on either side
// leaves the size as it is, and a result beyond int is clamped to it.
int ScaleBetweenDpi(int pixels, std::uint32_t fromDpi, std::uint32_t toDpi);

// A size written for 96 dots per inch, at dpi.
inline int ScaleForDpi(int pixels, std::uint32_t dpi) { return ScaleBetweenDpi(pixels, kDefaultDpi, dpi); }
