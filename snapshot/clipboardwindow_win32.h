// Names the program behind a window that the clipboard names.
#pragma once

#include <windows.h>

#include "snapshot/clipboardwindow.h"

// The window's class, process and executable as the system tells them now;
// none gives an empty record. Sends the window nothing, so a hung program
// cannot make it wait.
ClipboardWindow DescribeClipboardWindow(HWND window);
