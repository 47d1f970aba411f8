// The record's values after creation and the font height rule.
#include <gtest/gtest.h>

#include <cstdint>

#include "dumpview/viewstate.h"

TEST(DumpViewFontHeight, CreationParameterOrTwelvePoints) {
  EXPECT_EQ(FontHeightFromCreateParam(20, 0), 20u);
  EXPECT_EQ(FontHeightFromCreateParam(0, 16), 16u);  // MulDiv(12, 96, 72)
  EXPECT_EQ(FontHeightFromCreateParam(0, 20), 20u);  // MulDiv(12, 120, 72)
  // Heights below 2 would give cells 0 pixels wide.
  EXPECT_EQ(FontHeightFromCreateParam(1, 16), 2u);
  EXPECT_EQ(FontHeightFromCreateParam(0, 1), 2u);
  EXPECT_EQ(FontHeightFromCreateParam(0, -1), 2u);  // MulDiv failed
  EXPECT_EQ(FontHeightFromCreateParam(2, 16), 2u);
  // Absurd heights would wrap the pixel arithmetic.
  EXPECT_EQ(FontHeightFromCreateParam(0x7FFF, 16), 0x7FFFu);
  EXPECT_EQ(FontHeightFromCreateParam(0x8000, 16), kMaxFontHeight);
  EXPECT_EQ(FontHeightFromCreateParam(static_cast<std::uintptr_t>(-1), 16), kMaxFontHeight);
}

TEST(DumpViewFontHeight, LargestHeightKeepsTheGeometryPositive) {
  const DumpGeometry g = GeometryOf(kMaxFontHeight);
  EXPECT_GT(g.cellWidth, 0u);
  EXPECT_EQ(g.headerBand, 3u * kMaxFontHeight / 2);
  EXPECT_EQ(g.rowPitch, kMaxFontHeight + kMaxFontHeight / 8);
}

TEST(DumpViewInitialState, ValuesAfterCreation) {
  DumpViewState* state = AllocateDumpViewState();
  ASSERT_NE(state, nullptr);
  DefaultColors colors{1, 2, 3, 4, 5, 6};
  InitDumpViewState(*state, 16, colors, true);
  EXPECT_EQ(state->data, nullptr);
  EXPECT_EQ(state->dataLength, 0u);
  EXPECT_EQ(state->fontHeight, 16u);
  EXPECT_EQ(state->vScroll.cbSize, 28u);
  EXPECT_EQ(state->vScroll.fMask, 7u);
  EXPECT_EQ(state->vScroll.nMin, 0);
  EXPECT_EQ(state->vScroll.nMax, 0);
  EXPECT_EQ(state->vScroll.nPage, 0u);
  EXPECT_EQ(state->vScroll.nPos, 0);
  EXPECT_EQ(state->hScroll.cbSize, 28u);
  EXPECT_EQ(state->hScroll.fMask, 7u);
  EXPECT_EQ(state->hScroll.nMax, 78);
  EXPECT_EQ(state->hScroll.nPage, 0u);
  EXPECT_EQ(state->hScroll.nPos, 0);
  EXPECT_EQ(state->caret, 0u);
  EXPECT_EQ(state->anchor, 0u);
  EXPECT_EQ(state->flags, 0);
  EXPECT_EQ(state->codePage, 1252);
  EXPECT_EQ(state->scrollFlags, WheelFromSystem);
  EXPECT_EQ(state->backColor, 1u);
  EXPECT_EQ(state->textColor, 2u);
  EXPECT_EQ(state->headerBackColor, 3u);
  EXPECT_EQ(state->headerTextColor, 4u);
  EXPECT_EQ(state->selBackColor, 5u);
  EXPECT_EQ(state->selTextColor, 6u);
  EXPECT_EQ(state->wideTrackBar, 0);
  InitDumpViewState(*state, 16, colors, false);
  EXPECT_EQ(state->scrollFlags, 0);
  FreeDumpViewState(state);
}

TEST(DumpViewInitialState, AllocationFailureAnswersNull) {
  SetDumpViewStateAllocator([](std::size_t) -> void* { return nullptr; });
  EXPECT_EQ(AllocateDumpViewState(), nullptr);
  SetDumpViewStateAllocator(nullptr);
  DumpViewState* state = AllocateDumpViewState();
  ASSERT_NE(state, nullptr);
  FreeDumpViewState(state);
}
