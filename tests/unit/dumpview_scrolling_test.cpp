// Page sizes, scroll positions and the calls of WM_SIZE, WM_VSCROLL,
// WM_HSCROLL and DVM_SETDATA.
#include <gtest/gtest.h>

#include <cstdint>

#include "dumpview/caret.h"
#include "dumpview/mouse.h"
#include "dumpview/scrolling.h"
#include "recordingport.h"

namespace {

const std::uint8_t kBytes[16] = {};

// Client height that gives exactly `rows` whole rows at M = 16.
std::uint32_t HeightForRows(std::uint32_t rows) { return 24 + 18 * rows; }

// A view showing `length` bytes in a client area width x height (M = 16).
struct View {
  DumpViewState state = MakeViewState(16);
  RecordingPort port{&state};

  View(std::uint32_t length, std::uint32_t width, std::uint32_t height) {
    HandleSetData(port, state, kBytes, length, width, height);
    port.Clear();
  }
  void Focus() {
    GainFocus(port, state);
    port.Clear();
  }
  void Scroll(ScrollBar bar, std::uint32_t code, std::uint16_t word = 0) {
    OnScrollMessage(port, state, bar, code, word, nullptr);
  }
  std::uint32_t Top() const { return TopRow(state); }
  std::uint32_t Left() const { return LeftColumn(state); }
};

}  // namespace

TEST(DumpViewPages, GeometryOfSixteenPixelFont) {
  DumpViewState state = MakeViewState(16);
  const DumpGeometry g = GeometryOf(state);
  EXPECT_EQ(g.cellWidth, 8u);
  EXPECT_EQ(g.rowGap, 2u);
  EXPECT_EQ(g.rowPitch, 18u);
  EXPECT_EQ(g.headerBand, 24u);
  EXPECT_EQ(g.textInset, 4u);
  // The first shown row's text stands at headerBand + textInset.
  EXPECT_EQ(g.headerBand + g.textInset, 28u);
}

TEST(DumpViewPages, RowsAndColumnsOfTheClientArea) {
  View view(16 * 100, 640, 400);
  EXPECT_EQ(PageRows(view.state), 20u);     // 376 / 18
  EXPECT_EQ(PageColumns(view.state), 79u);  // 640 / 8 = 80, clamped
  EXPECT_EQ(PageColumnsFor(view.state, 632), 79u);
  EXPECT_EQ(PageColumnsFor(view.state, 631), 78u);
  EXPECT_EQ(PageColumnsFor(view.state, 160), 20u);
  EXPECT_EQ(PageRowsFor(view.state, 41), 0u);  // 17 pixels: no whole row
  EXPECT_EQ(PageRowsFor(view.state, 42), 1u);
  EXPECT_EQ(BottomPosition(view.state), 81u);
}

TEST(DumpViewPages, LastRowCountsTheRowAfterTheData) {
  View fifteen(15, 640, 400);
  EXPECT_EQ(LastRow(fifteen.state), 0u);
  EXPECT_EQ(PageRows(fifteen.state), 1u);  // clamped to lastRow + 1
  View sixteen(16, 640, 400);
  EXPECT_EQ(LastRow(sixteen.state), 1u);
  EXPECT_EQ(PageRows(sixteen.state), 2u);
  View seventeen(17, 640, 400);
  EXPECT_EQ(LastRow(seventeen.state), 1u);
  View empty(0, 640, 400);
  EXPECT_EQ(LastRow(empty.state), 0u);
  EXPECT_EQ(PageRows(empty.state), 1u);
}

TEST(DumpViewPages, ClientLowerThanTheHeaderShowsEveryRow) {
  View view(16 * 100, 640, 400);
  view.Scroll(ScrollBar::Vertical, ScrollBottom);
  ASSERT_EQ(view.Top(), 81u);
  HandleSize(view.port, view.state, 640, 10);  // 10 - 24 wraps
  EXPECT_EQ(PageRows(view.state), 101u);
  EXPECT_EQ(BottomPosition(view.state), 0u);
  EXPECT_EQ(view.Top(), 0u);
  HandleSize(view.port, view.state, 0, 0);
  EXPECT_EQ(PageRows(view.state), 101u);
  EXPECT_EQ(PageColumns(view.state), 0u);
  EXPECT_EQ(RightmostPosition(view.state), 79u);
}

TEST(DumpViewPages, WideClientClampsColumnsAndPullsLeftColumnBack) {
  View view(16 * 100, 160, 400);
  view.Scroll(ScrollBar::Horizontal, ScrollBottom);
  ASSERT_EQ(view.Left(), 59u);
  HandleSize(view.port, view.state, 800, 400);  // 100 columns
  EXPECT_EQ(PageColumns(view.state), 79u);
  EXPECT_EQ(RightmostPosition(view.state), 0u);
  EXPECT_EQ(view.Left(), 0u);
}

TEST(DumpViewSize, PublishesBothBarsPlacesTheCaretAndRepaintsInOrder) {
  View view(16 * 100, 640, HeightForRows(30));
  view.Focus();
  view.Scroll(ScrollBar::Vertical, ScrollThumbTrack, 60);
  view.Scroll(ScrollBar::Horizontal, ScrollThumbTrack, 30);
  view.port.Clear();
  // 50 rows fit now: bottomPosition 51 pulls topRow 60 back; 40 columns
  // make rightmostPosition 39, which leaves leftColumn 30 alone.
  HandleSize(view.port, view.state, 320, HeightForRows(50));
  EXPECT_EQ(view.port.lines, (Lines{"SetScrollInfo V 0 100 50 51", "SetScrollInfo H 0 78 40 30",
                                    "SetCaretPos -137 -890", "Redraw INVALIDATE ERASE UPDATENOW FRAME"}))
      << "caret 0 in row 0 lies above topRow 51 and was hidden already by the scroll";
  EXPECT_EQ(LastRow(view.state), 100u);
}

TEST(DumpViewSize, CaretRowShownAgainAfterThePullBack) {
  View view(16 * 100, 640, HeightForRows(30));
  view.Focus();
  view.Scroll(ScrollBar::Vertical, ScrollThumbTrack, 60);
  view.port.Clear();
  HandleSize(view.port, view.state, 640, 10);  // every row fits: topRow 0
  EXPECT_EQ(view.port.lines,
            (Lines{"SetScrollInfo V 0 100 101 0", "SetScrollInfo H 0 78 79 0", "SetCaretPos 103 28",
                   "ShowCaret", "Redraw INVALIDATE ERASE UPDATENOW FRAME"}));
}

TEST(DumpViewSetData, ResetsCaretSelectionAndPositions) {
  View view(16 * 100, 320, HeightForRows(30));
  view.Focus();
  view.state.anchor = 10;
  view.state.caret = 20;
  view.state.flags |= Selecting;
  view.Scroll(ScrollBar::Vertical, ScrollThumbTrack, 50);
  view.Scroll(ScrollBar::Horizontal, ScrollThumbTrack, 30);
  view.port.Clear();

  const std::uint8_t other[40] = {};
  HandleSetData(view.port, view.state, other, 40, 320, HeightForRows(30));
  EXPECT_EQ(view.state.data, other);
  EXPECT_EQ(view.state.dataLength, 40u);
  EXPECT_EQ(view.state.caret, 0u);
  EXPECT_EQ(view.state.anchor, 10u) << "the anchor keeps its stale value";
  EXPECT_EQ(view.state.flags & Selecting, 0);
  EXPECT_EQ(view.port.lines,
            (Lines{"SetScrollInfo H 0 78 40 0", "SetScrollInfo V 0 2 3 0",
                   "Redraw INVALIDATE ERASE UPDATENOW FRAME", "SetCaretPos 103 28", "ShowCaret"}))
      << "horizontal bar first, then lastRow and the vertical bar, repaint, then the caret, shown "
         "again at row 0";
}

TEST(DumpViewSetData, NullBytesShowNothingWhateverTheCount) {
  View view(16, 640, 400);
  HandleSetData(view.port, view.state, nullptr, 1000, 640, 400);
  EXPECT_EQ(view.state.dataLength, 0u);
  EXPECT_EQ(LastRow(view.state), 0u);
}

TEST(DumpViewSetData, LargestLengthKeepsTheArithmeticInRange) {
  View view(0xFFFFFFFFu, 640, 400);
  EXPECT_EQ(LastRow(view.state), 0x0FFFFFFFu);
  EXPECT_EQ(PageRows(view.state), 20u);
  EXPECT_EQ(BottomPosition(view.state), 0x0FFFFFFFu + 1 - 20);
  view.Scroll(ScrollBar::Vertical, ScrollBottom);
  EXPECT_EQ(view.Top(), 0x0FFFFFFFu + 1 - 20);
  view.Scroll(ScrollBar::Vertical, ScrollPageDown);
  EXPECT_EQ(view.Top(), 0x0FFFFFFFu + 1 - 20);
}

// The scroll table of the vertical bar with lastRow 100 and pageRows 30
// (bottomPosition 71).
TEST(DumpViewVScroll, RequestTable) {
  struct Case {
    std::uint32_t top;
    std::uint32_t code;
    std::uint16_t word;
    std::uint32_t expected;
  };
  const Case cases[] = {
      {0, ScrollLineUp, 0, 0},
      {5, ScrollLineUp, 0, 4},
      {70, ScrollLineDown, 0, 71},
      {71, ScrollLineDown, 0, 71},
      {10, ScrollPageUp, 0, 0},
      {40, ScrollPageUp, 0, 10},
      {40, ScrollPageDown, 0, 70},
      {41, ScrollPageDown, 0, 71},
      {45, ScrollPageDown, 0, 71},
      {33, ScrollThumbPosition, 9, 33},
      {33, ScrollThumbTrack, 9, 9},
      {33, ScrollTop, 0, 0},
      {3, ScrollBottom, 0, 71},
      {33, ScrollEnd, 0, 33},
      {33, 9, 0, 33},
      {33, 0xFFFF, 0, 33},
      {0, ScrollThumbTrack, 500, 500},
  };
  for (const Case& c : cases) {
    View view(16 * 100 + 5, 640, HeightForRows(30));
    ASSERT_EQ(BottomPosition(view.state), 71u);
    SetTopRow(view.state, c.top);
    view.Scroll(ScrollBar::Vertical, c.code, c.word);
    EXPECT_EQ(view.Top(), c.expected) << "top " << c.top << " code " << c.code;
  }
}

TEST(DumpViewVScroll, EveryRowShownLeavesTheViewAtTheTop) {
  for (std::uint32_t code : {ScrollLineDown, ScrollPageDown, ScrollBottom}) {
    View view(16 * 10, 640, 400);
    ASSERT_EQ(PageRows(view.state), 11u);
    view.Scroll(ScrollBar::Vertical, code);
    EXPECT_EQ(view.Top(), 0u) << code;
  }
}

// A view too low for one whole row shows the top of one row: every way down
// stops with the last row there, not the empty row past it.
TEST(DumpViewVScroll, ViewLowerThanOneRowStopsAtTheLastRow) {
  using Way = void (*)(View&);
  const Way ways[] = {
      [](View& v) { v.Scroll(ScrollBar::Vertical, ScrollBottom); },
      [](View& v) {
        for (int n = 0; n < 5; ++n) v.Scroll(ScrollBar::Vertical, ScrollLineDown);
      },
      [](View& v) {
        for (int n = 0; n < 5; ++n) HandleWheel(v.port, v.state, -120, false);
      },
      [](View& v) {
        for (int n = 0; n < 5; ++n) HandleTimer(v.port, v.state, DVT_SCROLLDOWN);
      },
  };
  for (const Way way : ways) {
    View view(40, 640, 41);  // 17 pixels below the header band
    ASSERT_EQ(PageRows(view.state), 0u);
    way(view);
    EXPECT_EQ(view.Top(), 2u);
  }
}

TEST(DumpViewVScroll, UnchangedPositionStillPublishesPlacesAndRepaints) {
  for (std::uint32_t code : {ScrollThumbPosition, ScrollEnd}) {
    View view(16 * 100, 640, HeightForRows(30));
    view.Focus();
    SetTopRow(view.state, 0);
    view.Scroll(ScrollBar::Vertical, code, 40);
    EXPECT_EQ(view.port.lines,
              (Lines{"SetScrollInfo V 0 100 30 0", "SetCaretPos 103 28", "Redraw INVALIDATE"}))
        << code;
  }
}

TEST(DumpViewVScroll, ThumbTrackBeyondTheLastRowIsTakenAsItIs) {
  View view(16 * 100, 640, HeightForRows(30));
  view.Focus();
  view.Scroll(ScrollBar::Vertical, ScrollThumbTrack, 500);
  EXPECT_EQ(view.Top(), 500u);
  EXPECT_EQ(view.port.lines, (Lines{"SetScrollInfo V 0 100 30 500", "HideCaret", "SetCaretPos 103 -8972",
                                    "Redraw INVALIDATE"}))
      << "the caret's row lies above: hidden, then placed there";
  // From there the other requests still behave.
  view.Scroll(ScrollBar::Vertical, ScrollLineDown);
  EXPECT_EQ(view.Top(), 500u);
  view.Scroll(ScrollBar::Vertical, ScrollPageDown);
  EXPECT_EQ(view.Top(), 71u);
  SetTopRow(view.state, 500);
  view.Scroll(ScrollBar::Vertical, ScrollPageUp);
  EXPECT_EQ(view.Top(), 470u);
  view.Scroll(ScrollBar::Vertical, ScrollLineUp);
  EXPECT_EQ(view.Top(), 469u);
}

TEST(DumpViewVScroll, PageDownFromAWidePositionDoesNotWrap) {
  View view(16 * 100, 640, HeightForRows(30));
  SetTopRow(view.state, 0xFFFFFFF0u);
  view.Scroll(ScrollBar::Vertical, ScrollPageDown);
  EXPECT_EQ(view.Top(), 71u);
  SetTopRow(view.state, 0xFFFFFFFFu);
  view.Scroll(ScrollBar::Vertical, ScrollLineDown);
  EXPECT_EQ(view.Top(), 0xFFFFFFFFu);
}

// The horizontal bar with pageColumns 20 (rightmostPosition 59).
TEST(DumpViewHScroll, RequestTable) {
  struct Case {
    std::uint32_t left;
    std::uint32_t code;
    std::uint16_t word;
    std::uint32_t expected;
  };
  const Case cases[] = {
      {0, ScrollLineUp, 0, 0},         {5, ScrollLineUp, 0, 4},
      {58, ScrollLineDown, 0, 59},     {59, ScrollLineDown, 0, 59},
      {10, ScrollPageUp, 0, 0},        {30, ScrollPageUp, 0, 10},
      {30, ScrollPageDown, 0, 50},     {40, ScrollPageDown, 0, 59},
      {7, ScrollThumbPosition, 3, 7},  {7, ScrollThumbTrack, 3, 3},
      {7, ScrollThumbTrack, 500, 500}, {7, ScrollTop, 0, 0},
      {7, ScrollBottom, 0, 59},        {7, ScrollEnd, 0, 7},
  };
  for (const Case& c : cases) {
    View view(16 * 100, 160, 400);
    ASSERT_EQ(RightmostPosition(view.state), 59u);
    SetLeftColumn(view.state, c.left);
    view.Scroll(ScrollBar::Horizontal, c.code, c.word);
    EXPECT_EQ(view.Left(), c.expected) << "left " << c.left << " code " << c.code;
  }
}

TEST(DumpViewHScroll, PublishesPlacesAndRepaintsWithErase) {
  View view(16 * 100, 160, 400);
  view.Focus();
  view.Scroll(ScrollBar::Horizontal, ScrollLineDown);
  EXPECT_EQ(view.port.lines,
            (Lines{"SetScrollInfo H 0 78 20 1", "SetCaretPos 95 28", "Redraw INVALIDATE ERASE UPDATENOW"}));
  view.port.Clear();
  view.Scroll(ScrollBar::Horizontal, ScrollEnd);
  EXPECT_EQ(view.port.lines,
            (Lines{"SetScrollInfo H 0 78 20 1", "SetCaretPos 95 28", "Redraw INVALIDATE ERASE UPDATENOW"}));
}

TEST(DumpViewScroll, WithoutFocusNoCaretCalls) {
  View view(16 * 100, 640, HeightForRows(30));
  view.Scroll(ScrollBar::Vertical, ScrollLineDown);
  EXPECT_EQ(view.port.lines, (Lines{"SetScrollInfo V 0 100 30 1", "Redraw INVALIDATE"}));
}

// The 16-bit word of SB_THUMBTRACK and the wider positions beside it.
TEST(DumpViewThumbTrack, AParentsPositionIsExactlyItsWord) {
  View view(64u << 20, 640, 400);
  view.Scroll(ScrollBar::Vertical, ScrollThumbTrack, 0xFFFF);
  EXPECT_EQ(view.Top(), 0xFFFFu);
}

TEST(DumpViewThumbTrack, ArmedWidePositionIsTakenOnceForItsBarAndWord) {
  View view(64u << 20, 640, 400);
  ArmWideThumbTrack(view.state, ScrollBar::Vertical, 0x3FFFEDu);
  view.Scroll(ScrollBar::Vertical, ScrollThumbTrack, 0xFFEDu);
  EXPECT_EQ(view.Top(), 0x3FFFEDu);
  // Consumed: the same word again is a plain 16-bit request.
  view.Scroll(ScrollBar::Vertical, ScrollThumbTrack, 0xFFEDu);
  EXPECT_EQ(view.Top(), 0xFFEDu);

  // A message whose word does not match is not the one it was armed for.
  ArmWideThumbTrack(view.state, ScrollBar::Vertical, 0x3FFFEDu);
  view.Scroll(ScrollBar::Vertical, ScrollThumbTrack, 0x1234u);
  EXPECT_EQ(view.Top(), 0x1234u);
  view.Scroll(ScrollBar::Vertical, ScrollThumbTrack, 0xFFEDu);
  EXPECT_EQ(view.Top(), 0xFFEDu) << "a mismatched message disarms it";

  // Armed for the other bar: the vertical request ignores it.
  ArmWideThumbTrack(view.state, ScrollBar::Horizontal, 0x10005u);
  view.Scroll(ScrollBar::Vertical, ScrollThumbTrack, 5);
  EXPECT_EQ(view.Top(), 5u);
}

TEST(DumpViewThumbTrack, SystemTrackingPositionBehindTheWord) {
  View view(64u << 20, 640, 400);
  const std::uint32_t tracked = 4194284;  // 0x3FFFEC
  OnScrollMessage(view.port, view.state, ScrollBar::Vertical, ScrollThumbTrack,
                  static_cast<std::uint16_t>(tracked & 0xFFFF), &tracked);
  EXPECT_EQ(view.Top(), tracked);
  // A tracking position that the word does not match belongs to something
  // else: the word wins.
  OnScrollMessage(view.port, view.state, ScrollBar::Vertical, ScrollThumbTrack, 77, &tracked);
  EXPECT_EQ(view.Top(), 77u);
  // Only SB_THUMBTRACK reads positions at all.
  OnScrollMessage(view.port, view.state, ScrollBar::Vertical, ScrollThumbPosition,
                  static_cast<std::uint16_t>(tracked & 0xFFFF), &tracked);
  EXPECT_EQ(view.Top(), 77u);
}

TEST(DumpViewThumbTrack, SelfSentScrollReachesRowsBeyond65535) {
  View view(64u << 20, 640, 400);
  view.port.SendScroll(ScrollBar::Vertical, ScrollThumbTrack, 4194285);
  EXPECT_EQ(view.Top(), 4194285u);
  EXPECT_EQ(view.state.wideTrackBar, 0) << "nothing left armed";
  EXPECT_EQ(view.port.lines.front(), "Send WM_VSCROLL 5 65517") << "the message carries the low 16 bits";
}

// The system shows a standard scroll bar when its page is smaller than its
// range and hides it otherwise, and resizes the client area at once with a
// nested WM_SIZE. A small model of that, 16 pixels a bar.
namespace {

struct BarModel {
  View& view;
  std::uint32_t outerWidth;
  std::uint32_t outerHeight;
  bool vertical = false;
  bool horizontal = false;

  void Attach() {
    view.port.onPublish = [this](ScrollBar bar) {
      const ScrollRecord& r = bar == ScrollBar::Vertical ? view.state.vScroll : view.state.hScroll;
      const bool shown = r.nPage < static_cast<std::uint32_t>(r.nMax - r.nMin + 1);
      bool& current = bar == ScrollBar::Vertical ? vertical : horizontal;
      if (shown == current) return;
      current = shown;
      view.port.lines.push_back("(WM_SIZE)");
      HandleSize(view.port, view.state, Width(), Height());
    };
  }
  std::uint32_t Width() const { return outerWidth - (vertical ? 16 : 0); }
  std::uint32_t Height() const { return outerHeight - (horizontal ? 16 : 0); }
};

}  // namespace

TEST(DumpViewSize, NestedResizeFromAnAppearingBarWins) {
  // 533 pixels: 66 columns, so the horizontal bar shows throughout; at first
  // every one of the 101 rows fits.
  View view(0, 533, HeightForRows(200));
  BarModel bars{view, 533, HeightForRows(200) + 16};
  bars.Attach();
  HandleSetData(view.port, view.state, kBytes, 16 * 100, bars.Width(), bars.Height());
  ASSERT_TRUE(bars.horizontal);
  ASSERT_FALSE(bars.vertical);
  // Lower: the vertical bar appears and takes 16 pixels of the width.
  bars.outerHeight = HeightForRows(97) + 16;
  view.port.Clear();
  HandleSize(view.port, view.state, bars.Width(), bars.Height());
  EXPECT_TRUE(bars.vertical);
  EXPECT_EQ(PageColumns(view.state), (533u - 16) / 8);
  EXPECT_EQ(PageRows(view.state), 97u);
  EXPECT_EQ(view.port.lines, (Lines{"SetScrollInfo V 0 100 97 0", "(WM_SIZE)", "SetScrollInfo V 0 100 97 0",
                                    "SetScrollInfo H 0 78 64 0", "Redraw INVALIDATE ERASE UPDATENOW FRAME"}))
      << "the outer WM_SIZE stops where the nested one took over";
}

TEST(DumpViewSetData, HeightLeftByAnAppearingHorizontalBar) {
  const std::uint32_t height = HeightForRows(10) + 8;
  View view(16 * 100, 284, height);
  // The vertical bar is shown; the horizontal one appears when the new data
  // publishes its page of 35 columns.
  BarModel bars{view, 300, height};
  bars.vertical = true;
  bars.Attach();
  HandleSetData(view.port, view.state, kBytes, 16 * 100, bars.Width(), bars.Height());
  EXPECT_TRUE(bars.horizontal);
  // 10 rows and 8 pixels less the 16 of the horizontal bar: 9 rows.
  EXPECT_EQ(PageRows(view.state), 9u);
  EXPECT_EQ(view.port.Only("SetScrollInfo V").back(), "SetScrollInfo V 0 100 9 0");
}
