// The clipboard watch as the format browser sees it: started with the
// dialog, stopped with it, and its system menu commands.
#pragma once

#include <windows.h>

#include <cstdint>

// From WM_INITDIALOG: the listener window, the log (empty), Follow (off),
// the system menu's items and the dialog's shortcuts for them.
void StartClipboardWatch(HWND dialog);

// From WM_DESTROY: closes the log window and stops listening.
void StopClipboardWatch();

// WM_SYSCOMMAND: runs the command when it is one of the watch's.
void RunWatchCommand(HWND dialog, std::uint32_t command);
