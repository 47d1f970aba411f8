// The navigation keys, the selection rule of Shift, Page Up and Page Down,
// and Insert.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "dumpview/keyboard.h"
#include "dumpview/scrolling.h"
#include "recordingport.h"

TEST(DumpViewKeys, CaretAndSelectionByTheKeyTable) {
  constexpr std::uint32_t kKeyA = 0x41;
  struct Case {
    std::uint32_t length, caret, key;
    bool shift, selecting;  // Shift down; a selection before the key
    std::uint32_t anchor;   // before the key
    std::uint32_t caretAfter;
    bool selectingAfter;
    std::uint32_t anchorAfter;
  };
  const Case cases[] = {
      {100, 37, KeyHome, false, false, 0, 0, false, 0},
      {100, 37, KeyEnd, false, false, 0, 100, false, 0},
      {100, 37, KeyLeft, false, false, 0, 36, false, 0},
      {100, 0, KeyLeft, false, false, 0, 0, false, 0},
      {100, 15, KeyRight, false, false, 0, 16, false, 0},  // across the row's end
      {100, 100, KeyRight, false, false, 0, 100, false, 0},
      {100, 37, KeyUp, false, false, 0, 21, false, 0},
      {100, 5, KeyUp, true, false, 0, 5, true, 5},  // row 0 with Shift: an empty selection
      {32, 16, KeyDown, false, false, 0, 32, false, 0},
      {32, 17, KeyDown, false, false, 0, 17, false, 0},
      {0, 0, KeyEnd, true, false, 0, 0, true, 0},
      {100, 40, KeyEnd, true, false, 9, 100, true, 40},     // the selection starts at the caret
      {100, 100, KeyHome, true, true, 40, 0, true, 40},     // an existing one keeps its anchor
      {100, 40, KeyRight, false, true, 10, 41, false, 10},  // ended; the anchor goes stale
      {100, 40, KeyInsert, false, true, 10, 40, true, 10},  // not a navigation key
      {100, 40, kKeyA, true, false, 10, 40, false, 10},
  };
  for (const Case& c : cases) {
    RecordedView view(c.length, 79, 20);
    view.state.caret = c.caret;
    view.state.anchor = c.anchor;
    if (c.selecting) view.state.flags |= Selecting;
    view.port.shift = c.shift;
    HandleKeyDown(view.port, view.state, c.key);
    const std::string where = "length " + std::to_string(c.length) + " caret " + std::to_string(c.caret) +
                              " key " + std::to_string(c.key) + (c.shift ? " with Shift" : "");
    EXPECT_EQ(view.state.caret, c.caretAfter) << where;
    EXPECT_EQ((view.state.flags & Selecting) != 0, c.selectingAfter) << where;
    EXPECT_EQ(view.state.anchor, c.anchorAfter) << where;
  }
}

TEST(DumpViewKeys, PageUpAndPageDownMoveCaretWithTheView) {
  struct Case {
    std::uint32_t length, rows, top, caret, key;
    std::uint32_t caretAfter, topAfter;
  };
  // 1,616 bytes: lastRow 101, the last row holds bytes 1,600..1,615 and the
  // end at 1,616, column 0. 1,609 bytes: lastRow 100, end at column 9.
  const Case cases[] = {
      {1616, 30, 40, 16 * 45 + 3, KeyPageDown, 16 * 75 + 3, 70},
      {1616, 30, 45, 16 * 50 + 3, KeyPageDown, 16 * 77 + 3, 72},  // as far as the bottom position
      {1616, 30, 72, 16 * 80 + 3, KeyPageDown, 16 * 100 + 3,
       72},  // last row shown: column 3 lies past the end
      {1609, 30, 72, 16 * 80 + 5, KeyPageDown, 16 * 100 + 5, 71},   // last row, same column
      {1609, 30, 41, 16 * 70 + 12, KeyPageDown, 16 * 99 + 12, 71},  // T + 2P = L + 1: one row above the last
      {1616, 30, 40, 16 * 45 + 3, KeyPageUp, 16 * 15 + 3, 10},
      {1616, 30, 10, 16 * 20 + 7, KeyPageUp, 16 * 10 + 7, 0},
      {1616, 30, 0, 16 * 20 + 7, KeyPageUp, 7, 0},  // view at the top: the first row
      {0, 30, 0, 0, KeyPageDown, 0, 0},
      // The caret outside the shown rows stays in the data, in its column.
      {1616, 30, 50, 16 * 5 + 9, KeyPageUp, 9, 20},
      {1609, 30, 0, 16 * 95 + 12, KeyPageDown, 16 * 99 + 12, 30},
      {1609, 30, 0, 5000, KeyPageDown, 16 * 100 + 8, 30},  // unchecked caret: last row, column 8
      {5, 30, 0, 5000, KeyPageDown, 5, 0},                 // no row with column 8: the end
  };
  for (const Case& c : cases) {
    RecordedView view(c.length, 79, c.rows);
    SetTopRow(view.state, c.top);
    view.state.caret = c.caret;
    HandleKeyDown(view.port, view.state, c.key);
    const std::string where = "length " + std::to_string(c.length) + " top " + std::to_string(c.top) +
                              " caret " + std::to_string(c.caret) +
                              (c.key == KeyPageUp ? " Page Up" : " Page Down");
    EXPECT_EQ(view.state.caret, c.caretAfter) << where;
    EXPECT_EQ(TopRow(view.state), c.topAfter) << where;
  }
}

TEST(DumpViewKeys, CaretIsStoredBeforeTheViewScrolls) {
  RecordedView view(16 * 100, 20, 20);
  view.Focus();
  view.state.caret = 16 * 19 + 15;
  HandleKeyDown(view.port, view.state, KeyDown);  // caret following: one row down, to the pair at 58-59
  EXPECT_EQ(view.port.lines,
            (Lines{"Send WM_VSCROLL 5 1", "SetScrollInfo V 0 100 20 1", "SetCaretPos 463 370",
                   "Redraw INVALIDATE", "Send WM_HSCROLL 5 40", "SetScrollInfo H 0 78 20 40",
                   "SetCaretPos 143 370", "Redraw INVALIDATE ERASE UPDATENOW"}));
  view.port.Clear();
  HandleKeyDown(view.port, view.state, KeyPageDown);  // only the page scroll, no caret following
  EXPECT_EQ(view.port.lines, (Lines{"Send WM_VSCROLL 3 0", "SetScrollInfo V 0 100 20 21",
                                    "SetCaretPos 143 370", "Redraw INVALIDATE"}));
}

TEST(DumpViewKeys, KeysReachRowsPastTheSixteenBitRange) {
  const std::uint32_t length = 256u << 20;  // 16,777,216 rows
  RecordedView view(length, 79, 20);
  HandleKeyDown(view.port, view.state, KeyEnd);
  EXPECT_EQ(TopRow(view.state), BottomPosition(view.state));
  HandleKeyDown(view.port, view.state, KeyPageUp);
  EXPECT_EQ(view.state.caret, length - 16 * 20);
  EXPECT_EQ(TopRow(view.state), BottomPosition(view.state) - 20);
  view.state.caret = 16 * 70000;
  HandleKeyDown(view.port, view.state, KeyUp);
  EXPECT_EQ(TopRow(view.state), 69999u);
}

TEST(DumpViewKeys, InsertRecreatesTheCaretInTheOtherShape) {
  RecordedView view(100, 79, 20);
  view.Focus();
  view.state.flags |= CaretInText | Selecting;
  HandleKeyDown(view.port, view.state, KeyInsert);
  EXPECT_EQ(view.port.lines, (Lines{"DestroyCaret", "CreateCaret 8 16", "SetCaretPos 495 28", "ShowCaret"}));
  EXPECT_EQ(view.state.flags & (BlockCaret | CaretInText | Selecting), BlockCaret | CaretInText | Selecting);
  view.port.Clear();
  HandleKeyDown(view.port, view.state, KeyInsert);
  EXPECT_EQ(view.port.lines, (Lines{"DestroyCaret", "CreateCaret 0 16", "SetCaretPos 495 28", "ShowCaret"}));

  // Without the focus the caret belongs to another window: only the shape to
  // create at the next focus changes.
  LoseFocus(view.port, view.state);
  view.port.Clear();
  HandleKeyDown(view.port, view.state, KeyInsert);
  EXPECT_TRUE(view.port.lines.empty());
  GainFocus(view.port, view.state);
  EXPECT_EQ(view.port.lines.front(), "CreateCaret 8 16");
}
