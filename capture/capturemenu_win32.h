// The format browser's system-menu items for clipboard files: "Capture the
// Clipboard..." (greyed until the capture exists) and "Open a Capture...",
// which checks a file, asks, and puts it back on the clipboard on a worker
// thread, the dialog staying the clipboard's owner, then runs Analyze.
#pragma once

#include <windows.h>

inline constexpr UINT kCaptureClipboardCommand = 0x0130;
inline constexpr UINT kOpenCaptureCommand = 0x0140;
// Kelvane's own system-menu commands share this range and one separator.
inline constexpr UINT kFirstKelvaneSysCommand = 0x0100;
inline constexpr UINT kLastKelvaneSysCommand = 0x01F0;

inline constexpr char kOpenCaptureTitle[] = "Open a Capture";

// WM_INITDIALOG: appends the items to the dialog's system menu, after a
// separator unless the menu ends in another Kelvane item already.
void AddCaptureMenuItems(HWND dialog);

// WM_SYSCOMMAND: carries out an item's command; false for any other command,
// which the default handling then takes.
bool OnCaptureCommand(HWND dialog, WPARAM command);
