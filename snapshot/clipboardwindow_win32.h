// Names the program behind a window that the clipboard names.
#pragma once

#include <windows.h>

#include "snapshot/clipboardwindow.h"

// The window's class, process and executable as the system tells them now;
// none gives an empty record. Sends the window nothing, so a hung program
// cannot make it wait.
ClipboardWindow DescribeClipboardWindow(HWND window);

// OpenClipboard(window), tried again for up to 100 ms while another window
// holds the clipboard open: most holds are brief. When it stays held,
// *holder names the window that holds it (an empty record when the
// platform names none).
bool OpenClipboardPatiently(HWND window, ClipboardWindow* holder);
