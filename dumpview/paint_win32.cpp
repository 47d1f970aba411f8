// Placeholder until the GDI painting lands: validates the window.
#include "dumpview/paint_win32.h"
void PaintDumpViewWindow(HWND window, const DumpViewState&) {
  PAINTSTRUCT ps;
  ::BeginPaint(window, &ps);
  ::EndPaint(window, &ps);
}
bool EraseDumpViewWindow(HWND, const DumpViewState&, HDC) { return false; }
