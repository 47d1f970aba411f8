// Hit tests, the click, the drag with its autoscroll timers, the timer steps
// and the wheel. Font height 16: cells 8 pixels wide, rows 18 pixels apart,
// the first row's band from y = 26.
#include <gtest/gtest.h>

#include <cstdint>
#include <iterator>
#include <string>

#include "dumpview/mouse.h"
#include "dumpview/scrolling.h"
#include "recordingport.h"

namespace {

constexpr std::uint32_t kNone = kNoIndex;

Lines TimerLines(const RecordingPort& port) {
  Lines out;
  for (const std::string& line : port.lines) {
    if (line.find("Timer") != std::string::npos) out.push_back(line);
  }
  return out;
}

}  // namespace

TEST(DumpViewHitTest, PointsToPositions) {
  struct Case {
    bool block;
    std::uint32_t left, top;
    std::int32_t x, y;
    std::uint32_t hit, inText;
  };
  const Case cases[] = {
      {false, 0, 0, 186, 30, 4, 0},     // column 23, second digit of pair 3: the gap before byte 4
      {true, 0, 0, 186, 30, 3, 0},      // the block caret takes the pair under the pointer
      {false, 0, 0, 73, 48, 16, 0},     // address column 9 still gives the row's byte 0
      {false, 0, 0, 68, 30, kNone, 0},  // address column 8
      {true, 0, 0, 68, 30, kNone, 0},
      {false, 0, 0, 497, 30, 0, 1},      // left half of the first text cell
      {false, 0, 0, 617, 30, 15, 1},     // left half of the last text cell
      {false, 0, 0, 621, 30, kNone, 0},  // its right half: past the last edge
      {true, 0, 0, 621, 30, 15, 1},
      {false, 0, 0, 630, 30, kNone, 0},            // column 78
      {false, 0, 0, 186, 25, 4, 0},                // less than a row above the first band: row 0
      {false, 0, 0, 186, 5, kNone, 0},             // header band over row 0
      {false, 0, 3, 186, 5, 36, 0},                // header band: the row above the first shown
      {false, 0, 0, 186, 26 + 18 * 200, 1600, 0},  // below the data: the end
      {false, 10, 0, 106, 30, 4, 0},               // column 13 shown at column 23
      {false, 0, 0, -30, 100, kNone, 0},           // left of the window during a drag
      {false, 0, 0, 100, -30, kNone, 0},           // above it
  };
  for (const Case& c : cases) {
    RecordedView view(1600, 79, 20);
    if (c.block) view.state.flags |= BlockCaret;
    SetLeftColumn(view.state, c.left);
    SetTopRow(view.state, c.top);
    std::uint32_t inText = 7;
    const std::uint32_t hit = HitTest(view.state, c.x, c.y, &inText);
    const std::string where =
        std::to_string(c.x) + "," + std::to_string(c.y) + (c.block ? " block" : " line");
    EXPECT_EQ(hit, c.hit) << where;
    EXPECT_EQ(inText, hit == kNone ? 7u : c.inText) << where << ": untouched without a hit";
  }
}

TEST(DumpViewDragHitTest, MapsInTheCaretsColumnArea) {
  struct Case {
    bool inText;
    std::int32_t x, y;
    std::uint32_t position;
  };
  const Case cases[] = {
      {false, 186, 30, 4},
      {false, 460, 30, 15},  // hex pair 15 and text cell 15: the row's last byte, not the next row
      {true, 617, 30, 15},
      {false, 0, 48, 16},    // left of the pairs: the row's start
      {false, 560, 30, 16},  // into the text column: the next row's start
      {true, 497, 30, 0},
      {true, 400, 30, 0},   // over the hex cells: the row's start
      {true, 630, 48, 32},  // right of the cells: the next row's start
      {false, 186, 26 + 18 * 200, 1600},
  };
  for (const Case& c : cases) {
    RecordedView view(1600, 79, 20);
    if (c.inText) view.state.flags |= CaretInText;
    EXPECT_EQ(DragHitTest(view.state, c.x, c.y), c.position) << c.x << "," << c.y;
  }
}

TEST(DumpViewClick, PlacesTheCaretAndStartsADrag) {
  RecordedView view(1600, 79, 20);
  EXPECT_EQ(HandleLeftButtonDown(view.port, view.state, 497, 66, false), 32u);
  EXPECT_EQ(view.port.lines, (Lines{"SetFocus", "CreateCaret 0 16", "SetCaretPos 103 28", "ShowCaret",
                                    "Redraw INVALIDATE", "SetCaretPos 495 64", "SetCapture"}));
  EXPECT_EQ(view.state.caret, 32u);
  EXPECT_EQ(view.state.flags & (CaretInText | Dragging | Selecting), CaretInText | Dragging);
  HandleLeftButtonUp(view.port, view.state);

  // On no cell: the caret goes to the end and keeps its column area.
  EXPECT_EQ(HandleLeftButtonDown(view.port, view.state, 68, 66, false), kNone);
  EXPECT_EQ(view.state.caret, 1600u);
  EXPECT_NE(view.state.flags & CaretInText, 0);
  HandleLeftButtonUp(view.port, view.state);

  // Shift starts a selection at the caret; a second Shift+click keeps its anchor.
  HandleLeftButtonDown(view.port, view.state, 186, 30, true);
  HandleLeftButtonDown(view.port, view.state, 186, 48, true);
  EXPECT_EQ(view.state.anchor, 1600u);
  EXPECT_EQ(view.state.caret, 20u);
  EXPECT_EQ(view.state.flags & (Selecting | CaretInText), Selecting);
  HandleLeftButtonDown(view.port, view.state, 186, 30, false);
  EXPECT_EQ(view.state.flags & Selecting, 0);
}

TEST(DumpViewClick, HeaderBandOnlyTakesTheFocus) {
  RecordedView view(1600, 79, 20);
  view.Focus();
  view.state.caret = 40;
  EXPECT_EQ(HandleLeftButtonDown(view.port, view.state, 186, 25 - 1, false), 4u);  // y 24 < 26
  EXPECT_EQ(view.port.lines, (Lines{"SetFocus"}));
  EXPECT_EQ(view.state.caret, 40u);
  EXPECT_EQ(view.state.flags & Dragging, 0);
}

TEST(DumpViewAutoScroll, SpeedBandsOfThreeHeaderBands) {
  const std::int64_t distances[] = {-10, 0, 71, 72, 143, 144, 100000};
  const std::uint32_t speeds[] = {1, 1, 1, 2, 2, 3, 3};
  for (std::size_t k = 0; k < std::size(distances); ++k) {
    EXPECT_EQ(AutoScrollSpeed(distances[k], 24), speeds[k]) << distances[k];
  }
}

TEST(DumpViewAutoScroll, PointerOutsideStartsSwitchesAndStopsTimers) {
  RecordedView view(1600, 20, 10);                                       // client 160 x 204
  HandleLeftButtonDown(view.port, view.state, 186, 30 + 18 * 5, false);  // caret 84
  struct Move {
    std::int32_t x, y;
    Lines timers;
  };
  const Move moves[] = {
      {50, 10, {"SetTimer 500 100"}},                        // above, slow
      {50, -72, {"KillTimer 500", "SetTimer 500 50"}},       // medium
      {50, -100, {}},                                        // same zone
      {50, -144, {"KillTimer 500", "SetTimer 500 25"}},      // fast
      {50, 204 + 72, {"KillTimer 500", "SetTimer 501 50"}},  // jumped below: the upper timer stops
      {50, 204 + 10, {"KillTimer 501", "SetTimer 501 100"}},
      {130, 100, {"KillTimer 500", "KillTimer 501"}},  // inside
      {-5, 100, {}},                                   // left, but the first pair is shown
      {200, 100, {"SetTimer 503 100"}},                // right: pairs beyond column 20
      {-5, 100, {"KillTimer 503"}},                    // jumped left, nothing more to the left
      {130, 100, {}},
  };
  for (const Move& m : moves) {
    view.port.Clear();
    HandleMouseMove(view.port, view.state, m.x, m.y);
    EXPECT_EQ(TimerLines(view.port), m.timers) << m.x << "," << m.y;
  }
  EXPECT_EQ(view.state.anchor, 84u) << "selected from the caret of the click";
  EXPECT_EQ(view.state.caret, 16 * 4u + 1) << "the pointer's gap at 130,100";
  EXPECT_NE(view.state.flags & Selecting, 0);

  SetLeftColumn(view.state, 20);
  view.port.Clear();
  HandleMouseMove(view.port, view.state, -5, 100);
  EXPECT_EQ(TimerLines(view.port), (Lines{"SetTimer 502 100"}));
  HandleMouseMove(view.port, view.state, -5, 300);
  view.port.Clear();
  HandleLeftButtonUp(view.port, view.state);
  EXPECT_EQ(view.port.lines,
            (Lines{"KillTimer 500", "KillTimer 501", "KillTimer 502", "KillTimer 503", "ReleaseCapture"}));
  EXPECT_EQ(view.state.scrollFlags & (VAutoSpeedMask | HAutoScroll), 0);

  // Losing the capture ends a drag the same way, with nothing to release.
  HandleLeftButtonDown(view.port, view.state, 186, 30, false);
  HandleMouseMove(view.port, view.state, 50, 300);
  view.port.Clear();
  HandleCaptureLost(view.port, view.state);
  EXPECT_EQ(view.port.lines, (Lines{"KillTimer 500", "KillTimer 501"}));
  EXPECT_EQ(view.state.flags & Dragging, 0);
  HandleMouseMove(view.port, view.state, 50, 300);
  EXPECT_EQ(view.port.lines.size(), 2u) << "moves after the drag are ignored";
}

TEST(DumpViewAutoScroll, NoTimerTowardAnEndTheCaretStandsOn) {
  RecordedView view(1600, 20, 10);
  HandleLeftButtonDown(view.port, view.state, 100, 30, false);  // caret 0
  view.port.Clear();
  HandleMouseMove(view.port, view.state, 50, -50);
  HandleMouseMove(view.port, view.state, -50, 100);
  view.state.caret = 1600;
  HandleMouseMove(view.port, view.state, 50, 500);
  HandleMouseMove(view.port, view.state, 500, 100);
  EXPECT_TRUE(TimerLines(view.port).empty());
  EXPECT_EQ(view.state.flags & Selecting, 0) << "the pointer never came inside";
}

TEST(DumpViewAutoScroll, TimerStepsMoveTheCaretWithTheView) {
  struct Case {
    std::uint32_t id;
    bool inText;
    std::uint32_t columns, top, left, caret;
    std::uint32_t caretAfter, topAfter, leftAfter;
    bool stops, defaultAfter;
  };
  // 1,600 bytes in 10 rows: the bottom position is 91.
  const Case cases[] = {
      {500, false, 79, 5, 0, 16 * 6 + 3, 16 * 5 + 3, 4, 0, false, true},
      {500, false, 79, 0, 0, 16 * 6 + 3, 0, 0, 0, true, true},  // at the top: to the start
      {500, false, 79, 5, 0, 7, 0, 4, 0, false, true},          // caret above the view: held at 0
      {501, false, 79, 5, 0, 16 * 14 + 3, 16 * 15 + 3, 6, 0, false, true},
      {501, false, 79, 5, 0, 1595, 1600, 6, 0, false, true},
      {501, false, 79, 91, 0, 16 * 95, 1600, 91, 0, true, true},  // at the bottom: to the end
      {502, true, 20, 0, 70, 16 * 3 + 5, 16 * 3 + 4, 0, 69, false, true},
      {502, true, 20, 0, 70, 0, 0, 0, 69, false, true},  // held at 0
      {502, true, 20, 0, 62, 16 * 3 + 5, 16 * 3 + 5, 0, 62, true, true},
      {502, false, 20, 0, 31, 16 * 3 + 9, 16 * 3 + 6, 0, 30, false, true},  // the pair at column 31
      {503, false, 20, 0, 0, 16 * 3 + 1, 16 * 3 + 3, 0, 1, false, true},    // edge at 20: pair 2, plus one
      {503, false, 20, 0, 39, 16 * 3 + 1, 16 * 3 + 1, 0, 39, true, true},   // the last pair is shown
      {503, true, 10, 0, 62, 16 * 3 + 5, 16 * 3 + 6, 0, 63, false, true},
      {503, false, 5, 0, 0, 16 * 3 + 9, 16 * 3, 0, 1, false, true},  // edge left of the pairs: held at 0
      {503, false, 20, 0, 0, 1600, 1600, 0, 0, true, false},         // at the end: no default processing
  };
  for (const Case& c : cases) {
    RecordedView view(1600, c.columns, 10);
    if (c.inText) view.state.flags |= CaretInText;
    SetTopRow(view.state, c.top);
    SetLeftColumn(view.state, c.left);
    view.state.caret = c.caret;
    const bool defaultAfter = HandleTimer(view.port, view.state, c.id);
    const std::string where = std::to_string(c.id) + " caret " + std::to_string(c.caret);
    EXPECT_EQ(view.state.caret, c.caretAfter) << where;
    EXPECT_EQ(TopRow(view.state), c.topAfter) << where;
    EXPECT_EQ(LeftColumn(view.state), c.leftAfter) << where;
    EXPECT_EQ(TimerLines(view.port) == Lines{"KillTimer " + std::to_string(c.id)}, c.stops) << where;
    EXPECT_EQ(defaultAfter, c.defaultAfter) << where;
  }
}

TEST(DumpViewWheel, OneStepPerMessageOnEitherAxis) {
  struct Case {
    bool fromSystem;
    std::uint32_t lines;
    std::int16_t delta;
    bool horizontal;
    std::uint32_t position, after;
  };
  // 1,600 bytes, 20 columns by 10 rows: the last positions are 91 and 59.
  const Case cases[] = {
      {false, 7, 120, false, 10, 7},  // not from the system: 3 rows
      {false, 7, -120, false, 10, 13},
      {true, 5, -30, false, 10, 15},  // any delta is one step
      {true, 5, 240, false, 3, 0},
      {true, 5, -120, false, 89, 91},
      {true, 3, -120, true, 0, 3},
      {true, 3, 120, true, 2, 0},
      {true, kWheelPageScroll, -120, false, 10, 20},
      {true, kWheelPageScroll, -120, true, 0, 20},
      {true, 0, -120, false, 10, 10},
  };
  for (const Case& c : cases) {
    RecordedView view(1600, 20, 10);
    if (!c.fromSystem) view.state.scrollFlags &= static_cast<std::uint8_t>(~WheelFromSystem);
    view.port.wheelLines = c.lines;
    if (c.horizontal) {
      SetLeftColumn(view.state, c.position);
    } else {
      SetTopRow(view.state, c.position);
    }
    view.state.caret = 100;
    HandleWheel(view.port, view.state, c.delta, c.horizontal);
    const std::string where = std::to_string(c.lines) + " delta " + std::to_string(c.delta);
    EXPECT_EQ(c.horizontal ? LeftColumn(view.state) : TopRow(view.state), c.after) << where;
    EXPECT_EQ(view.state.caret, 100u) << where;
    EXPECT_EQ(view.port.lines.empty(), c.lines == 0 && c.fromSystem) << where;
  }
  RecordedView view(1600, 20, 10);
  HandleWheel(view.port, view.state, -120, false);
  EXPECT_EQ(view.port.lines, (Lines{"SetScrollInfo V 0 100 10 3", "Redraw INVALIDATE ERASE"}));
}
