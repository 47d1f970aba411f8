#include "dumpframe/dumpframe.h"
LRESULT CALLBACK DumpFrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return ::DefWindowProcA(window, message, wParam, lParam);
}
