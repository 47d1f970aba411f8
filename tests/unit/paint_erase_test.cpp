// The erase of the dump view: the exact fills, their conditions, the brush
// failure path, and the screen that erase and paint leave together.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dumpview/paint.h"
#include "gridcanvas.h"
#include "paintfixture.h"

using namespace paintfixture;

namespace {

constexpr ClientSize kClient{680, 124};

std::vector<std::string> Fills(const GridCanvas& canvas) {
  std::vector<std::string> fills;
  for (const std::string& entry : canvas.log()) {
    if (entry.rfind("fill ", 0) == 0) fills.push_back(entry.substr(5));
  }
  return fills;
}

TEST(PaintErase, FillsTheMarginsGapsAndTheAreaBelowInOrder) {
  auto bytes = Letters(40);  // three data rows
  DumpViewState state = MakeState(bytes.data(), 40, kClient);
  GridCanvas canvas = CanvasFor(kClient);
  EXPECT_TRUE(EraseDumpView(canvas, state, kClient));
  const std::vector<std::string> expected = {
      "0,0,680,4 #C0C0C0",      "0,20,680,24 #C0C0C0",  "624,4,680,20 #C0C0C0",
      "0,4,104,20 #C0C0C0",     "0,24,96,26 #C0C0C0",   "96,24,680,26 #FFFFF0",
      "632,24,680,124 #FFFFF0", "0,80,96,124 #C0C0C0",  "96,80,680,124 #FFFFF0",  // below = 24 + 2 + 3 * 18
      "0,26,96,28 #C0C0C0",     "96,26,680,28 #FFFFF0", "0,44,96,46 #C0C0C0",
      "96,44,680,46 #FFFFF0",   "0,62,96,64 #C0C0C0",   "96,62,680,64 #FFFFF0"};
  EXPECT_EQ(Fills(canvas), expected);
  // Both brushes are made first and released last.
  const std::vector<std::string>& log = canvas.log();
  EXPECT_EQ(log.front(), "brush #C0C0C0");
  EXPECT_EQ(log[1], "brush #FFFFF0");
  EXPECT_EQ(log[log.size() - 2], "release #C0C0C0");
  EXPECT_EQ(log.back(), "release #FFFFF0");
  EXPECT_EQ(canvas.LiveBrushes(), 0);
}

TEST(PaintErase, EmptyDataCountsOneRow) {
  DumpViewState state = MakeState(nullptr, 0, kClient);
  GridCanvas canvas = CanvasFor(kClient);
  EXPECT_TRUE(EraseDumpView(canvas, state, kClient));
  const std::vector<std::string> fills = Fills(canvas);
  ASSERT_EQ(fills.size(), 11u);
  EXPECT_EQ(fills[7], "0,44,96,124 #C0C0C0");  // below = 24 + 2 + 18
  EXPECT_EQ(fills[9], "0,26,96,28 #C0C0C0");   // the one gap strip
}

TEST(PaintErase, SixteenBytesAreOneDataRowAndSeventeenTwo) {
  auto bytes = Letters(17);
  for (std::uint32_t length : {16u, 17u}) {
    DumpViewState state = MakeState(bytes.data(), length, kClient);
    GridCanvas canvas = CanvasFor(kClient);
    EXPECT_TRUE(EraseDumpView(canvas, state, kClient));
    const std::vector<std::string> fills = Fills(canvas);
    const std::size_t strips = length == 16 ? 1 : 2;
    ASSERT_EQ(fills.size(), 9u + 2 * strips) << length;
    EXPECT_EQ(fills[7], length == 16 ? "0,44,96,124 #C0C0C0" : "0,62,96,124 #C0C0C0");
  }
}

TEST(PaintErase, TopRowPastTheDataLeavesNoRowShown) {
  auto bytes = Letters(40);
  DumpViewState state = MakeState(bytes.data(), 40, kClient);
  SetTopRow(state, 9);
  GridCanvas canvas = CanvasFor(kClient);
  EXPECT_TRUE(EraseDumpView(canvas, state, kClient));
  const std::vector<std::string> fills = Fills(canvas);
  ASSERT_EQ(fills.size(), 9u);  // no gap strips
  EXPECT_EQ(fills[7], "0,26,96,124 #C0C0C0");
}

TEST(PaintErase, AddressSplitFollowsColumnTwelve) {
  auto bytes = Letters(40);
  DumpViewState state = MakeState(bytes.data(), 40, kClient);

  SetLeftColumn(state, 11);  // x(12) = 8
  GridCanvas left = CanvasFor(kClient);
  EXPECT_TRUE(EraseDumpView(left, state, kClient));
  EXPECT_EQ(Fills(left)[4], "0,24,8,26 #C0C0C0");
  EXPECT_EQ(Fills(left)[5], "8,24,680,26 #FFFFF0");
  EXPECT_EQ(left.PixelAt(7, 100), kHeaderBack);
  EXPECT_EQ(left.PixelAt(8, 100), kBack);

  SetLeftColumn(state, 12);  // the address column is wholly off to the left
  GridCanvas right = CanvasFor(kClient);
  EXPECT_TRUE(EraseDumpView(right, state, kClient));
  EXPECT_EQ(Fills(right)[4], "0,24,680,26 #FFFFF0");
  EXPECT_EQ(right.PixelAt(0, 25), kBack);
  EXPECT_EQ(right.PixelAt(0, 100), kBack);
  EXPECT_EQ(Fills(right).size(), 4u + 1 + 1 + 1 + 3);
}

TEST(PaintErase, RightAreaOnlyWhenTheClientReachesPastTheGrid) {
  auto bytes = Letters(40);
  auto hasRightFill = [&](const DumpViewState& state, ClientSize client) {
    GridCanvas canvas = CanvasFor(client);
    EXPECT_TRUE(EraseDumpView(canvas, state, client));
    const std::string prefix = std::to_string(632 - 8 * LeftColumn(state)) + ",24,";
    for (const std::string& f : Fills(canvas))
      if (f.rfind(prefix, 0) == 0) return true;
    return false;
  };
  DumpViewState state = MakeState(bytes.data(), 40, kClient);
  EXPECT_FALSE(hasRightFill(state, {632, 124}));  // right = x(79)
  EXPECT_TRUE(hasRightFill(state, {633, 124}));
  EXPECT_FALSE(hasRightFill(state, {680, 24}));  // bottom = headerBand
  EXPECT_TRUE(hasRightFill(state, {680, 25}));
  SetLeftColumn(state, 1);  // x(79) = 624
  EXPECT_TRUE(hasRightFill(state, {632, 124}));
}

TEST(PaintErase, AreaBelowOnlyWhenTheClientReachesPastTheLastRow) {
  auto bytes = Letters(40);  // below = 80
  auto belowFills = [&](ClientSize client) {
    DumpViewState state = MakeState(bytes.data(), 40, client);
    GridCanvas canvas = CanvasFor(client);
    EXPECT_TRUE(EraseDumpView(canvas, state, client));
    int n = 0;
    for (const std::string& f : Fills(canvas)) n += f.rfind("0,80,", 0) == 0 || f.rfind("96,80,", 0) == 0;
    return n;
  };
  EXPECT_EQ(belowFills({680, 80}), 0);
  EXPECT_EQ(belowFills({680, 81}), 2);
}

TEST(PaintErase, BrushFailureFillsNothingAndReleasesWhatWasMade) {
  auto bytes = Letters(40);
  DumpViewState state = MakeState(bytes.data(), 40, kClient);
  for (int failing : {1, 2}) {
    GridCanvas canvas = CanvasFor(kClient);
    canvas.failBrushNumber = failing;
    EXPECT_FALSE(EraseDumpView(canvas, state, kClient)) << "brush " << failing;
    EXPECT_TRUE(Fills(canvas).empty());
    EXPECT_EQ(canvas.LiveBrushes(), 0);
    EXPECT_EQ(canvas.PixelsOtherThan({0, 0, 680, 124}, GridCanvas::kUnpainted), 0);
  }
}

// Erase then paint leave every pixel of the client painted: in the header band
// the header background (also behind the header text), below it the header
// background left of column 12 and the data background from there on,
// whatever the scroll positions (a top row past the data included).
TEST(PaintErase, EraseAndPaintColourTheWholeClient) {
  for (std::uint32_t length : {0u, 1u, 16u, 17u, 40u, 1000u}) {
    std::vector<std::uint8_t> bytes = Letters(length);
    for (std::uint32_t height : {20u, 24u, 25u, 61u, 124u, 200u}) {
      for (std::uint32_t width : {600u, 680u}) {
        for (std::uint32_t left : {0u, 5u, 11u, 12u, 40u, 78u}) {
          const ClientSize client{width, height};
          DumpViewState state = MakeState(bytes.data(), length, client);
          const std::uint32_t last = LastRow(state);
          for (std::uint32_t top : {0u, 1u, last, last + 3}) {
            SetTopRow(state, top);
            SetLeftColumn(state, left);
            GridCanvas canvas = CanvasFor(client);
            ASSERT_TRUE(EraseDumpView(canvas, state, client));
            PaintDumpView(canvas, state, client);
            const std::int32_t split = left >= 12 ? 0 : static_cast<std::int32_t>(8 * (12 - left));
            const std::int32_t w = static_cast<std::int32_t>(width);
            const std::int32_t h = static_cast<std::int32_t>(height);
            const std::int32_t band = h < 24 ? h : 24;
            EXPECT_EQ(canvas.PixelsOtherThan({0, 0, w, band}, kHeaderBack), 0)
                << "length " << length << " height " << height << " width " << width << " left " << left
                << " top " << top;
            EXPECT_EQ(canvas.PixelsOtherThan({0, 24, split, h}, kHeaderBack), 0)
                << "length " << length << " height " << height << " left " << left << " top " << top;
            EXPECT_EQ(canvas.PixelsOtherThan({split, 24, w, h}, kBack), 0)
                << "length " << length << " height " << height << " width " << width << " left " << left
                << " top " << top;
          }
        }
      }
    }
  }
}

}  // namespace
