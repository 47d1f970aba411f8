// Sizes at the screen's resolution.
#include <gtest/gtest.h>

#include <climits>

#include "app/dpiscale.h"

TEST(DpiScale, InProportionRoundedAsMulDivRoundsAndClamped) {
  const struct {
    int pixels;
    std::uint32_t fromDpi, toDpi;
    int expected;
  } cases[] = {{650, 96, 96, 650}, {-1, 96, 144, -2},           {-1, 96, 120, -1},
               {3, 96, 112, 4},    {24, 144, 96, 16},           {7, 0, 144, 7},
               {7, 96, 0, 7},      {INT_MIN, 96, 192, INT_MIN}, {INT_MAX, 96, 192, INT_MAX}};
  for (const auto& c : cases)
    EXPECT_EQ(ScaleBetweenDpi(c.pixels, c.fromDpi, c.toDpi), c.expected) << c.pixels;
}
