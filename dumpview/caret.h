// The system caret of the dump view: where it stands for the caret's byte
// index, when it is shown, its shape, and scrolling the view to it.
#pragma once

#include <cstdint>

#include "dumpview/dumpviewport.h"
#include "dumpview/dumpviewstate.h"

// The caret's pixel position in client coordinates before any clipping: one
// pixel left of its cell (the hex pair's first digit, or its text cell), at
// the top of its row's text. Negative or beyond the client area when the
// cell is scrolled off.
struct CaretPixel {
  std::int64_t x;
  std::int64_t y;
};
CaretPixel CaretPixelOf(const DumpViewState& state);

// Moves the system caret to the caret's cell and shows it, or hides it when
// the caret's row lies above the first shown row. Does nothing without the
// focus, as there is no system caret then.
void PlaceCaret(DumpViewPort& port, DumpViewState& state);

// Scrolls (through the control's own scroll handlers) so that the caret's row
// and cell are on screen, then places the caret.
void EnsureCaretVisible(DumpViewPort& port, DumpViewState& state);

// Width of the system caret: 0 (the system's line width) for the line caret,
// one cell for the block caret.
std::int32_t CaretShapeWidth(const DumpViewState& state);

// WM_SETFOCUS: creates the system caret in the current shape and places it.
void GainFocus(DumpViewPort& port, DumpViewState& state);

// Makes the system caret again after its shape or the font height changed,
// and places it; only while the control has the focus and so owns one.
void RecreateCaret(DumpViewPort& port, DumpViewState& state);

// WM_KILLFOCUS: destroys the system caret; shape, position and selection stay.
void LoseFocus(DumpViewPort& port, DumpViewState& state);
