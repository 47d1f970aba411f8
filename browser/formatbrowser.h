// The format browser: Kelvane's main dialog (resource IDD_FORMAT_BROWSER).
#pragma once

#include <windows.h>

// Dialog procedure of the format browser. Returns FALSE for every message so
// that the default dialog handling always runs as well.
INT_PTR CALLBACK FormatBrowserProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
