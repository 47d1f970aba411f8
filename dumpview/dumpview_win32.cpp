#include "dumpview/dumpview.h"
LRESULT CALLBACK DumpViewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return ::DefWindowProcA(window, message, wParam, lParam);
}
