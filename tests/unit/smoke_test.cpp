#include <gtest/gtest.h>
#include "dumpview/dumpviewstate.h"
TEST(Geometry, SixteenPixelFont) {
  DumpGeometry g = GeometryOf(16);
  EXPECT_EQ(g.cellWidth, 8u);
  EXPECT_EQ(g.rowGap, 2u);
  EXPECT_EQ(g.rowPitch, 18u);
  EXPECT_EQ(g.headerBand, 24u);
  EXPECT_EQ(g.textInset, 4u);
}
