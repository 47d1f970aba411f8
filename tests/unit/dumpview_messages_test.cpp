// DVM_GETSEL, DVM_SETSEL, DVM_SETCARET, the code page and the colours.
#include <gtest/gtest.h>

#include <cstdint>

#include "dumpview/caret.h"
#include "dumpview/messages.h"
#include "dumpview/scrolling.h"
#include "recordingport.h"

namespace {

const std::uint8_t kBytes[16] = {};

struct View {
  DumpViewState state = MakeViewState(16);
  RecordingPort port{&state};

  explicit View(std::uint32_t length, std::uint32_t width = 640, std::uint32_t height = 400) {
    HandleSetData(port, state, kBytes, length, width, height);
    port.Clear();
  }
};

struct Selection {
  std::uint32_t result;
  std::uint32_t first;
  std::uint32_t last;
  bool operator==(const Selection&) const = default;
};

Selection Sel(const DumpViewState& state) {
  Selection s{0, 0xDEADu, 0xBEEFu};
  s.result = GetSelection(state, &s.first, &s.last);
  return s;
}

std::ostream& operator<<(std::ostream& out, const Selection& s) {
  return out << "{" << s.result << ", " << s.first << ", " << s.last << "}";
}

}  // namespace

TEST(DumpViewGetSel, ReportsTheSelectedBytesEitherWay) {
  View view(100);
  view.state.flags |= Selecting;
  view.state.anchor = 10;
  view.state.caret = 20;
  EXPECT_EQ(Sel(view.state), (Selection{1, 10, 19}));
  view.state.anchor = 20;
  view.state.caret = 10;
  EXPECT_EQ(Sel(view.state), (Selection{1, 10, 19}));
}

TEST(DumpViewGetSel, NothingSelectedWritesZeros) {
  View view(100);
  view.state.flags |= Selecting;
  view.state.anchor = 30;
  view.state.caret = 30;
  EXPECT_EQ(Sel(view.state), (Selection{0, 0, 0}));
  view.state.flags &= static_cast<std::uint8_t>(~Selecting);
  view.state.anchor = 10;
  EXPECT_EQ(Sel(view.state), (Selection{0, 0, 0})) << "a stale anchor selects nothing";
}

TEST(DumpViewGetSel, NullDestinationsAreSkipped) {
  View view(100);
  view.state.flags |= Selecting;
  view.state.anchor = 3;
  view.state.caret = 7;
  std::uint32_t last = 0;
  EXPECT_EQ(GetSelection(view.state, nullptr, &last), 1u);
  EXPECT_EQ(last, 6u);
  std::uint32_t first = 0;
  EXPECT_EQ(GetSelection(view.state, &first, nullptr), 1u);
  EXPECT_EQ(first, 3u);
}

TEST(DumpViewSetSel, AcceptedRequestSelectsForwardAndFollowsTheCaret) {
  View view(100);
  EXPECT_EQ(SetSelection(view.port, view.state, 20, 10), 0u);
  EXPECT_EQ(view.state.caret, 20u);
  EXPECT_EQ(view.state.anchor, 10u);
  EXPECT_NE(view.state.flags & Selecting, 0);
  EXPECT_EQ(Sel(view.state), (Selection{1, 10, 19}));
  // Rows 0-1 are shown, column 4 of the hex column too: no scroll, a repaint.
  EXPECT_EQ(view.port.lines, (Lines{"Redraw INVALIDATE"}));
}

TEST(DumpViewSetSel, RefusedRequestsChangeNothing) {
  struct Case {
    std::uint32_t w;
    std::uint32_t l;
  };
  for (Case c : {Case{10, 20}, Case{101, 0}, Case{50, 101}, Case{0xFFFFFFFEu, 0}}) {
    View view(100);
    view.state.caret = 7;
    view.state.anchor = 3;
    EXPECT_EQ(SetSelection(view.port, view.state, c.w, c.l), 0u);
    EXPECT_EQ(view.state.caret, 7u) << c.w << "," << c.l;
    EXPECT_EQ(view.state.anchor, 3u);
    EXPECT_EQ(view.state.flags & Selecting, 0);
    EXPECT_TRUE(view.port.lines.empty());
  }
}

TEST(DumpViewSetSel, AllOnesPutsTheCaretOnTheLastByte) {
  View view(100);
  SetSelection(view.port, view.state, 0xFFFFFFFFu, 0);
  EXPECT_EQ(view.state.caret, 99u);
  EXPECT_EQ(Sel(view.state), (Selection{1, 0, 98}));
}

TEST(DumpViewSetSel, EqualEndsSetSelectingWithNothingSelected) {
  View view(100);
  SetSelection(view.port, view.state, 5, 5);
  EXPECT_NE(view.state.flags & Selecting, 0);
  EXPECT_EQ(view.state.caret, 5u);
  EXPECT_EQ(Sel(view.state), (Selection{0, 0, 0}));
}

TEST(DumpViewSetSel, AllOnesWithoutDataIsRefused) {
  View view(0);
  SetSelection(view.port, view.state, 0xFFFFFFFFu, 0);
  EXPECT_EQ(view.state.caret, 0u);
  EXPECT_EQ(view.state.flags & Selecting, 0);
  EXPECT_TRUE(view.port.lines.empty());
  // (0, 0) on empty data is a valid empty selection at the only position.
  SetSelection(view.port, view.state, 0, 0);
  EXPECT_NE(view.state.flags & Selecting, 0);
}

TEST(DumpViewSetSel, ScrollsToACaretOutsideTheView) {
  View view(16 * 100, 160, 24 + 18 * 30);  // 30 rows, 20 columns
  GainFocus(view.port, view.state);
  view.port.Clear();
  SetSelection(view.port, view.state, 16 * 50 + 15, 16 * 50);
  EXPECT_EQ(TopRow(view.state), 21u);      // row 50 becomes the last shown row
  EXPECT_EQ(LeftColumn(view.state), 40u);  // 15 + 45 - 20
  EXPECT_EQ(view.port.Only("Send"), (Lines{"Send WM_VSCROLL 5 21", "Send WM_HSCROLL 5 40"}));
}

TEST(DumpViewSetCaret, ClampsToTheDataAndKeepsTheSelection) {
  View view(100);
  view.state.flags |= Selecting;
  view.state.anchor = 4;
  // A length from earlier, longer data: the caret stops at the end of this
  // data, and its row stays the one in view.
  for (const std::uint32_t past : {5000u, 101u, 0xFFFFFFFFu}) {
    EXPECT_EQ(SetCaretPosition(view.port, view.state, past), 0u);
    EXPECT_EQ(GetCaretPosition(view.state), 100u) << past;
    EXPECT_EQ(TopRow(view.state), 0u) << past;
  }
  EXPECT_EQ(view.state.anchor, 4u);
  EXPECT_NE(view.state.flags & Selecting, 0);
  SetCaretPosition(view.port, view.state, 37);
  EXPECT_EQ(GetCaretPosition(view.state), 37u);
}

TEST(DumpViewCodePage, KeepsTheLowWordAndRepaintsAtOnce) {
  View view(100);
  EXPECT_EQ(GetCodePage(view.state), 1252u);
  EXPECT_EQ(SetCodePage(view.port, view.state, 0x1FDE9u), 0u);
  EXPECT_EQ(GetCodePage(view.state), 65001u);
  EXPECT_EQ(view.port.lines, (Lines{"Redraw INVALIDATE UPDATENOW"}));
  SetCodePage(view.port, view.state, 12345);  // no validation
  EXPECT_EQ(GetCodePage(view.state), 12345u);
}

TEST(DumpViewColors, IndexesNameTextBeforeBackground) {
  View view(100);
  const ColorRef colors[6] = {0x010101, 0x020202, 0x030303, 0x040404, 0x050505, 0x060606};
  for (std::uint32_t i = 0; i < 6; ++i) EXPECT_EQ(SetColor(view.port, view.state, i, colors[i]), 0u);
  EXPECT_EQ(view.state.textColor, 0x010101u);
  EXPECT_EQ(view.state.backColor, 0x020202u);
  EXPECT_EQ(view.state.headerTextColor, 0x030303u);
  EXPECT_EQ(view.state.headerBackColor, 0x040404u);
  EXPECT_EQ(view.state.selTextColor, 0x050505u);
  EXPECT_EQ(view.state.selBackColor, 0x060606u);
  EXPECT_EQ(view.port.lines, Lines(6, "Redraw INVALIDATE ERASE"));
  view.port.Clear();
  for (std::uint32_t i = 0; i < 6; ++i) EXPECT_EQ(GetColor(view.port, view.state, i), colors[i]);
  EXPECT_TRUE(view.port.lines.empty()) << "a valid index answers without repainting";
}

TEST(DumpViewColors, UnknownIndexAnswersZeroAndRepaints) {
  View view(100);
  const DumpViewState before = view.state;
  EXPECT_EQ(GetColor(view.port, view.state, 6), 0u);
  EXPECT_EQ(view.port.lines, (Lines{"Redraw INVALIDATE ERASE"}));
  view.port.Clear();
  EXPECT_EQ(SetColor(view.port, view.state, 6, 0x123456), 0u);
  EXPECT_EQ(SetColor(view.port, view.state, 0xFFFFFFFFu, 0x123456), 0u);
  EXPECT_EQ(view.port.lines, Lines(2, "Redraw INVALIDATE ERASE"));
  EXPECT_EQ(view.state.textColor, before.textColor);
  EXPECT_EQ(view.state.backColor, before.backColor);
  EXPECT_EQ(view.state.headerTextColor, before.headerTextColor);
  EXPECT_EQ(view.state.headerBackColor, before.headerBackColor);
  EXPECT_EQ(view.state.selTextColor, before.selTextColor);
  EXPECT_EQ(view.state.selBackColor, before.selBackColor);
}

TEST(DumpViewColors, SurviveNewData) {
  View view(100);
  SetColor(view.port, view.state, 1, 0x00ABCDEF);
  SetCodePage(view.port, view.state, 932);
  HandleSetData(view.port, view.state, kBytes, 16, 640, 400);
  EXPECT_EQ(GetColor(view.port, view.state, 1), 0x00ABCDEFu);
  EXPECT_EQ(GetCodePage(view.state), 932u);
}
