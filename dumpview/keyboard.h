// The dump view's keyboard: the navigation keys that move the caret and
// extend or drop the selection, and Insert, which switches the caret between
// its line and block shapes.
#pragma once

#include <cstdint>

#include "app/virtualkeys.h"
#include "dumpview/dumpviewport.h"
#include "dumpview/dumpviewstate.h"

// The selection rule of a navigation key (and of a click): with Shift a
// selection starts at the caret before the move, or an existing one keeps its
// anchor; without Shift the selection ends and the anchor goes stale.
void ApplyShiftRule(DumpViewState& state, bool shiftDown);

// Where a navigation key puts the caret, before any scrolling. Page Up and
// Page Down move it by the rows the view moves and keep it within
// 0..dataLength, in its column where such a row exists.
std::uint32_t NavigationTarget(const DumpViewState& state, std::uint32_t key);

// Insert: the system caret is made anew in the other shape and placed.
void ToggleCaretShape(DumpViewPort& port, DumpViewState& state);

// WM_KEYDOWN: the key's own work (any other key does nothing).
void HandleKeyDown(DumpViewPort& port, DumpViewState& state, std::uint32_t key);
