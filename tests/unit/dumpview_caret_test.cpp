// PlaceCaret, EnsureCaretVisible and the focus handlers.
#include <gtest/gtest.h>

#include <cstdint>

#include "dumpview/caret.h"
#include "dumpview/messages.h"
#include "dumpview/scrolling.h"
#include "recordingport.h"

using View = RecordedView;

TEST(DumpViewPlaceCaret, HexAndTextCellPositions) {
  View view(16 * 100, 79, 20);
  view.state.flags |= HasFocus;
  view.state.caret = 0;
  EXPECT_EQ(CaretPixelOf(view.state).x, 13 * 8 - 1);
  EXPECT_EQ(CaretPixelOf(view.state).y, 28);
  view.state.caret = 16 * 3 + 5;  // row 3, column 5
  EXPECT_EQ(CaretPixelOf(view.state).x, (13 + 15) * 8 - 1);
  EXPECT_EQ(CaretPixelOf(view.state).y, 3 * 18 + 28);
  view.state.flags |= CaretInText;
  EXPECT_EQ(CaretPixelOf(view.state).x, (62 + 5) * 8 - 1);
  SetLeftColumn(view.state, 70);  // the cell lies left of the view
  EXPECT_EQ(CaretPixelOf(view.state).x, (67 - 70) * 8 - 1);
  SetTopRow(view.state, 2);
  EXPECT_EQ(CaretPixelOf(view.state).y, 18 + 28);
}

TEST(DumpViewPlaceCaret, ShowsOnceAndHidesAboveTheFirstRow) {
  View view(16 * 100, 79, 20);
  view.Focus();
  EXPECT_NE(view.state.flags & CaretVisible, 0);
  view.state.caret = 16 * 10;
  PlaceCaret(view.port, view.state);
  EXPECT_EQ(view.port.lines, (Lines{"SetCaretPos 103 208"})) << "already shown: no second ShowCaret";

  view.port.Clear();
  SetTopRow(view.state, 11);
  PlaceCaret(view.port, view.state);
  PlaceCaret(view.port, view.state);
  EXPECT_EQ(view.port.lines, (Lines{"HideCaret", "SetCaretPos 103 10", "SetCaretPos 103 10"}));
  EXPECT_EQ(view.state.flags & CaretVisible, 0);

  view.port.Clear();
  SetTopRow(view.state, 10);
  PlaceCaret(view.port, view.state);
  EXPECT_EQ(view.port.lines, (Lines{"SetCaretPos 103 28", "ShowCaret"}));
}

TEST(DumpViewPlaceCaret, BelowTheViewOrOffToTheSideStaysShown) {
  View view(16 * 100, 20, 5);
  view.Focus();
  view.state.caret = 16 * 50 + 15;  // far below, far right
  PlaceCaret(view.port, view.state);
  EXPECT_EQ(view.port.lines, (Lines{"SetCaretPos 463 928"}));
  EXPECT_NE(view.state.flags & CaretVisible, 0);
}

TEST(DumpViewPlaceCaret, WithoutFocusDoesNothing) {
  View view(16 * 100, 79, 20);
  view.state.caret = 40;
  PlaceCaret(view.port, view.state);
  EXPECT_TRUE(view.port.lines.empty());
  EXPECT_EQ(view.state.flags & CaretVisible, 0);
}

TEST(DumpViewPlaceCaret, FarRowsArePinnedInsideTheIntRange) {
  View view(64u << 20, 79, 20);
  view.Focus();
  view.state.caret = 64u << 20;  // row 4,194,304: 75 million pixels down
  PlaceCaret(view.port, view.state);
  EXPECT_EQ(view.port.lines, (Lines{"SetCaretPos 103 75497500"}));
  view.port.Clear();
  view.state.caret = 0xFFFFFFFFu;  // row 268,435,455: beyond 32 bits of pixels
  PlaceCaret(view.port, view.state);
  EXPECT_EQ(view.port.lines, (Lines{"SetCaretPos 463 1073741823"}));
  view.port.Clear();
  view.state.caret = 0;
  SetTopRow(view.state, 0xFFFFFFFFu);
  PlaceCaret(view.port, view.state);
  EXPECT_EQ(view.port.lines, (Lines{"HideCaret", "SetCaretPos 103 -1073741823"}));
}

TEST(DumpViewEnsureCaretVisible, HexCellRightOfTheViewBecomesTheLastColumns) {
  View view(16 * 100, 20, 20);  // PC 20, LC 0
  view.Focus();
  view.state.caret = 15;
  EnsureCaretVisible(view.port, view.state);
  EXPECT_EQ(LeftColumn(view.state), 40u);  // 15 + 45 - 20: columns 40-59, the pair at 58-59 last
  EXPECT_EQ(view.port.lines, (Lines{"Send WM_HSCROLL 5 40", "SetScrollInfo H 0 78 20 40",
                                    "SetCaretPos 143 28", "Redraw INVALIDATE ERASE UPDATENOW"}));
}

TEST(DumpViewEnsureCaretVisible, TextCellLeftOfTheViewBecomesTheFirstColumn) {
  View view(16 * 100, 5, 20);
  view.state.flags |= CaretInText;
  SetLeftColumn(view.state, 70);
  view.state.caret = 16;  // column 0
  EnsureCaretVisible(view.port, view.state);
  EXPECT_EQ(LeftColumn(view.state), 61u);
  EXPECT_EQ(view.port.Only("Send"), (Lines{"Send WM_HSCROLL 5 61"}));
}

TEST(DumpViewEnsureCaretVisible, HorizontalTargets) {
  struct Case {
    bool inText;
    std::uint32_t column;  // caret mod 16
    std::uint32_t left;
    std::uint32_t page;
    std::uint32_t expected;  // kNoIndex: no horizontal scroll
  };
  const Case cases[] = {
      {false, 0, 13, 20, 12},                              // 12 < 13: the column left of the pair first
      {false, 0, 12, 20, kNoIndex},                        // 12 + 0 >= LC, 14 <= 32
      {false, 6, 12, 20, kNoIndex},                        // 32 <= 32: the first digit (31) is whole
      {false, 7, 12, 20, 16},                              // 35 > 32: 15 + 21 - 20
      {false, 15, 0, 79, kNoIndex}, {true, 15, 0, 78, 0},  // 79 > 78: scrolls to where it already is
      {true, 0, 62, 10, 61},        {true, 3, 60, 10, kNoIndex},  // 67 <= 70: the cell is whole on screen
      {true, 9, 60, 10, 62},                                      // 73 > 70: 63 + 9 - 10
      {true, 15, 0, 79, kNoIndex},
  };
  for (const Case& c : cases) {
    View view(16 * 100, c.page, 20);
    if (c.inText) view.state.flags |= CaretInText;
    SetLeftColumn(view.state, c.left);
    view.state.caret = 16 + c.column;
    EnsureCaretVisible(view.port, view.state);
    const Lines sends = view.port.Only("Send WM_HSCROLL");
    if (c.expected == kNoIndex) {
      EXPECT_TRUE(sends.empty()) << c.inText << " " << c.column << " " << c.left << " " << c.page;
    } else {
      EXPECT_EQ(sends, (Lines{"Send WM_HSCROLL 5 " + std::to_string(c.expected)}))
          << c.inText << " " << c.column << " " << c.left << " " << c.page;
    }
  }
}

TEST(DumpViewEnsureCaretVisible, AlreadyVisiblePlacesAndInvalidatesOnly) {
  View view(16 * 100, 79, 20);
  view.Focus();
  view.state.caret = 16 * 5 + 2;
  EnsureCaretVisible(view.port, view.state);
  EXPECT_EQ(view.port.lines, (Lines{"SetCaretPos 151 118", "Redraw INVALIDATE"}));
}

TEST(DumpViewEnsureCaretVisible, RowsAboveAndBelowTheView) {
  View view(16 * 100, 79, 20);
  view.Focus();
  SetTopRow(view.state, 30);
  view.state.caret = 16 * 10 + 1;  // above: row 10 becomes the first
  EnsureCaretVisible(view.port, view.state);
  EXPECT_EQ(TopRow(view.state), 10u);
  EXPECT_EQ(view.port.lines,
            (Lines{"Send WM_VSCROLL 5 10", "SetScrollInfo V 0 100 20 10", "SetCaretPos 127 28",
                   "Redraw INVALIDATE", "SetCaretPos 127 28", "Redraw INVALIDATE"}))
      << "the vertical handler places and repaints, then the caret is placed again as no horizontal scroll "
         "followed";

  view.port.Clear();
  view.state.caret = 16 * 29;  // row 29 = T + P - 1: still shown
  EnsureCaretVisible(view.port, view.state);
  EXPECT_TRUE(view.port.Only("Send").empty());
  view.state.caret = 16 * 30;  // row 30: becomes the last shown row
  EnsureCaretVisible(view.port, view.state);
  EXPECT_EQ(view.port.Only("Send"), (Lines{"Send WM_VSCROLL 5 11"}));
  EXPECT_EQ(TopRow(view.state), 11u);
}

TEST(DumpViewEnsureCaretVisible, VerticalThenHorizontal) {
  View view(16 * 100, 20, 20);
  view.state.caret = 16 * 60 + 15;
  EnsureCaretVisible(view.port, view.state);
  EXPECT_EQ(view.port.Only("Send"), (Lines{"Send WM_VSCROLL 5 41", "Send WM_HSCROLL 5 40"}));
}

// 64 MiB: 4,194,304 rows, far beyond the 16-bit word of a scroll message.
TEST(DumpViewEnsureCaretVisible, ReachesTheLastRowsOfSixtyFourMebibytes) {
  const std::uint32_t length = 64u << 20;
  View view(length, 79, 20);
  const std::uint32_t lastRow = LastRow(view.state);
  ASSERT_EQ(lastRow, 4194304u);

  SetCaretPosition(view.port, view.state, length - 1);  // the last byte, in row lastRow - 1
  EXPECT_EQ(TopRow(view.state), lastRow - 1 - 20 + 1);

  SetCaretPosition(view.port, view.state, length);  // after the last byte, in row lastRow
  EXPECT_EQ(TopRow(view.state), lastRow - 20 + 1);
  EXPECT_EQ(TopRow(view.state), BottomPosition(view.state));

  SetCaretPosition(view.port, view.state, 16 * 70000);  // back up, still past 65,535
  EXPECT_EQ(TopRow(view.state), 70000u);
  SetCaretPosition(view.port, view.state, 0);
  EXPECT_EQ(TopRow(view.state), 0u);
}

TEST(DumpViewEnsureCaretVisible, CaretAtTheLargestIndexDoesNotWrap) {
  View view(0xFFFFFFFFu, 79, 20);
  view.state.caret = 0xFFFFFFFFu;  // p + 1 would wrap to 0
  EnsureCaretVisible(view.port, view.state);
  EXPECT_EQ(TopRow(view.state), 0x0FFFFFFFu - 20 + 1);
  // With topRow far down, T + P would wrap as well.
  SetTopRow(view.state, 0xFFFFFFF0u);
  view.state.caret = 16;
  EnsureCaretVisible(view.port, view.state);
  EXPECT_EQ(TopRow(view.state), 1u);
}

TEST(DumpViewEnsureCaretVisible, HugeLeftColumnComesBack) {
  View view(16 * 100, 20, 20);
  SetLeftColumn(view.state, 0xFFFFFFF0u);
  view.state.caret = 3;
  EnsureCaretVisible(view.port, view.state);
  EXPECT_EQ(LeftColumn(view.state), 21u);
}

TEST(DumpViewFocus, LineOrBlockCaretOfTheFontsHeight) {
  View view(16 * 100, 79, 20);
  GainFocus(view.port, view.state);
  EXPECT_EQ(view.port.lines, (Lines{"CreateCaret 0 16", "SetCaretPos 103 28", "ShowCaret"}));
  EXPECT_EQ(view.state.flags & (HasFocus | CaretVisible), HasFocus | CaretVisible);

  view.port.Clear();
  view.state.flags |= BlockCaret | CaretInText | Selecting;
  LoseFocus(view.port, view.state);
  EXPECT_EQ(view.port.lines, (Lines{"DestroyCaret"}));
  EXPECT_EQ(view.state.flags, BlockCaret | CaretInText | Selecting) << "shape, column and selection stay";

  view.port.Clear();
  GainFocus(view.port, view.state);
  EXPECT_EQ(view.port.lines, (Lines{"CreateCaret 8 16", "SetCaretPos 495 28", "ShowCaret"}));
}

TEST(DumpViewFocus, CaretAboveTheViewIsCreatedHidden) {
  View view(16 * 100, 79, 20);
  SetTopRow(view.state, 5);
  GainFocus(view.port, view.state);
  EXPECT_EQ(view.port.lines, (Lines{"CreateCaret 0 16", "SetCaretPos 103 -62"}));
  EXPECT_EQ(view.state.flags & CaretVisible, 0);
}

// A view lower than one whole row still shows the top of its first row.
TEST(DumpViewEnsureCaretVisible, ViewWithoutAWholeRowShowsTheCaretsRow) {
  View view(16 * 100, 79, 0);
  ASSERT_EQ(PageRows(view.state), 0u);
  view.Focus();
  view.state.caret = 16 * 5 + 3;
  EnsureCaretVisible(view.port, view.state);
  EXPECT_EQ(TopRow(view.state), 5u);
  EXPECT_NE(view.state.flags & CaretVisible, 0);
  view.port.Clear();
  EnsureCaretVisible(view.port, view.state);
  EXPECT_TRUE(view.port.Only("Send").empty()) << "already the first shown row";
}
