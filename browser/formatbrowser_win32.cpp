#include "browser/formatbrowser.h"
INT_PTR CALLBACK FormatBrowserProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL) ::EndDialog(dialog, 0);
  return FALSE;
}
