// The capture's progress window, owned by the format browser: which format
// is being read ("Reading 7 of 23: HTML Format(0xC0A1)"), whom a slow read
// waits for, the bytes so far, and a Cancel button. Esc skips the format
// being waited for; Cancel or the close box ends the capture with nothing
// written. The capture runs on a worker thread; when it ends the window goes
// and the final message is shown.
#pragma once

#include <windows.h>

#include <string>

inline constexpr char kCaptureTitle[] = "Capture the Clipboard";
inline constexpr char kCaptureProgressClass[] = "Kelvane Capture Progress";
// The progress window's lines, as control ids.
inline constexpr int kProgressReadingLine = 101;
inline constexpr int kProgressWaitingLine = 102;
inline constexpr int kProgressBytesLine = 103;

// Starts capturing the clipboard to path (ANSI) and shows the progress
// window; ended is called with the dialog when the capture has ended, before
// its message. False when it could not start (it then told the user).
bool StartCaptureWithProgress(HWND dialog, const std::string& path, void (*ended)(HWND dialog));
