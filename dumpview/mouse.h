// The dump view's mouse: the hit test that turns a client point into a caret
// position, the click that places the caret and starts a drag, the drag with
// its timed autoscroll in four directions, the release, and the wheel.
//
// Coordinates are client pixels taken as signed values: during a drag the
// pointer may be left of or above the window.
#pragma once

#include <cstdint>

#include "dumpview/dumpviewport.h"
#include "dumpview/dumpviewstate.h"

// Periods of the autoscroll timers: the vertical ones by speed (1 slow,
// 2 medium, 3 fast), the horizontal ones always the same.
constexpr std::uint32_t kVerticalPeriods[4] = {0, 100, 50, 25};
constexpr std::uint32_t kHorizontalPeriod = 100;

// The caret position for a client point: a position from 0 to dataLength (a
// point below the data gives dataLength), or kNoIndex when the point lies on
// no cell (left of the hex cells, right of the text cells, or above row 0).
// With the line caret a point is taken to the nearest gap between bytes, with
// the block caret to the cell under it. When it answers a position and inText
// is given, *inText says whether the point lies in the text column.
std::uint32_t HitTest(const DumpViewState& state, std::int32_t x, std::int32_t y, std::uint32_t* inText);

// The caret position for the pointer during a drag, in the caret's own column
// area: past the right end of a row it is the start of the next row, before
// its left end the start of the row; always within 0..dataLength.
std::uint32_t DragHitTest(const DumpViewState& state, std::int32_t x, std::int32_t y);

// The vertical autoscroll speed for a pointer `distance` pixels outside the
// data area: slow, medium or fast in bands of three header bands.
std::uint32_t AutoScrollSpeed(std::int64_t distance, std::uint32_t headerBand);

// WM_LBUTTONDOWN: takes the focus; a click in the data area places the caret
// (extending the selection when shift, the message's MK_SHIFT, is given) and
// starts a drag with the mouse captured. Answers the click's HitTest.
std::uint32_t HandleLeftButtonDown(DumpViewPort& port, DumpViewState& state, std::int32_t x, std::int32_t y,
                                   bool shift);

// WM_MOUSEMOVE during a drag (ignored otherwise): starts, changes or stops the
// autoscroll timers while the pointer is outside the data area, and moves the
// caret, extending the selection, while it is inside.
void HandleMouseMove(DumpViewPort& port, DumpViewState& state, std::int32_t x, std::int32_t y);

// WM_LBUTTONUP: ends the drag (timers stopped) and releases the mouse.
void HandleLeftButtonUp(DumpViewPort& port, DumpViewState& state);

// WM_CAPTURECHANGED: another window took the mouse; the drag ends as at the
// release. Nothing happens when no drag is on.
void HandleCaptureLost(DumpViewPort& port, DumpViewState& state);

// WM_TIMER: one autoscroll step of timer id (other ids are left alone).
// Answers false when default processing is to be skipped: the right timer
// stopped at the end of the data.
bool HandleTimer(DumpViewPort& port, DumpViewState& state, std::uint32_t id);

// WM_MOUSEWHEEL: one step toward the start (delta 0 or more) or the end,
// horizontally with MK_SHIFT. Moves the view only, never the caret.
void HandleWheel(DumpViewPort& port, DumpViewState& state, std::int16_t delta, bool horizontal);
