// Sizes at the screen's resolution, and the dump view's font at a monitor's.
#include <gtest/gtest.h>

#include <climits>

#include "app/dpiscale.h"
#include "dumpview/viewstate.h"

TEST(DpiScale, InProportionRoundedAsMulDivRounds) {
  struct Case {
    int pixels;
    std::uint32_t fromDpi, toDpi;
    int expected;
  };
  const Case cases[] = {
      {650, 96, 96, 650},  {650, 96, 144, 975},     {300, 96, 192, 600},  {24, 144, 96, 16},
      {-1, 96, 144, -2},   {-1, 96, 120, -1},       {3, 96, 112, 4},      {5, 96, 120, 6},
      {7, 0, 144, 7},      {7, 96, 0, 7},           {INT_MAX, 96, 192, INT_MAX},
      {INT_MIN, 96, 192, INT_MIN},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ScaleBetweenDpi(c.pixels, c.fromDpi, c.toDpi), c.expected)
        << c.pixels << " from " << c.fromDpi << " to " << c.toDpi;
  }
  EXPECT_EQ(ScaleForDpi(650, 144), 975);
}

// From the height chosen at creation, so that going back never drifts.
TEST(DpiScale, DumpViewFontFollowsTheMonitor) {
  DumpViewState state = {};
  state.baseFontHeight = 16;
  state.baseDpi = 96;
  EXPECT_EQ(FontHeightForDpi(state, 144), 24u);
  EXPECT_EQ(FontHeightForDpi(state, 192), 32u);
  EXPECT_EQ(FontHeightForDpi(state, 110), 18u);
  EXPECT_EQ(FontHeightForDpi(state, 0), 16u);
  EXPECT_EQ(FontHeightForDpi(state, 4), kMinFontHeight);
  EXPECT_EQ(FontHeightForDpi(state, 0xFFFFFFFFu), kMaxFontHeight);
  state.baseDpi = 0;  // the screen could not tell
  EXPECT_EQ(FontHeightForDpi(state, 144), 16u);
}
