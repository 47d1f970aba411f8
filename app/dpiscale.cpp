#include "app/dpiscale.h"

#include <cstdint>
#include <limits>

int ScaleBetweenDpi(int pixels, std::uint32_t fromDpi, std::uint32_t toDpi) {
  if (fromDpi == 0 || toDpi == 0 || fromDpi == toDpi) return pixels;
  const std::int64_t product = static_cast<std::int64_t>(pixels) * toDpi;
  const std::int64_t half = fromDpi / 2;
  const std::int64_t rounded = product >= 0 ? (product + half) / static_cast<std::int64_t>(fromDpi)
                                            : -((-product + half) / static_cast<std::int64_t>(fromDpi));
  if (rounded > std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
  if (rounded < std::numeric_limits<int>::min()) return std::numeric_limits<int>::min();
  return static_cast<int>(rounded);
}
