// Painting of the dump view on a real window: the GDI side of the paint and
// erase plans in dumpview/paint.h.
#pragma once

#include <windows.h>

#include "dumpview/dumpviewstate.h"

// WM_PAINT: draws the header, the address column, the hex cells and the text
// column between BeginPaint and EndPaint.
void PaintDumpViewWindow(HWND window, const DumpViewState& state);

// WM_ERASEBKGND on dc: fills the margins, gaps and the area around the cells.
// Returns false when a brush can't be created; the caller then hands the
// message to DefWindowProcA, which erases with the class background.
bool EraseDumpViewWindow(HWND window, const DumpViewState& state, HDC dc);
