// The format browser's system-menu items for clipboard files: "Capture the
// Clipboard...", which asks for a file and captures every format to it with a
// progress window, and "Open a Capture...", which checks a file, asks, and
// puts it back on the clipboard on a worker thread, the dialog staying the
// clipboard's owner, then runs Analyze. Both are greyed while either runs.
#pragma once

#include <windows.h>

#include "app/syscommands.h"

inline constexpr char kOpenCaptureTitle[] = "Open a Capture";

// WM_INITDIALOG: appends the items to the dialog's system menu, after a
// separator unless the menu ends in another Kelvane item already.
void AddCaptureMenuItems(HWND dialog);

// WM_SYSCOMMAND: carries out an item's command; false for any other command,
// which the default handling then takes.
bool OnCaptureCommand(HWND dialog, WPARAM command);
