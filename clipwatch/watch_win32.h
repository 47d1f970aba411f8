// What the clipboard watch's windows share: the one log, the listener that
// fills it, the log window that shows it, and Follow, which refreshes the
// format browser's lists after each change.
#pragma once

#include <windows.h>

#include "clipwatch/clipboardlog.h"

// The watch's window classes are registered on first use, not at start-up:
// a class of the procedure and name, and its registration unless it is
// registered already.
WNDCLASSEXW WatchClass(HINSTANCE instance, WNDPROC procedure, const wchar_t* name);
bool RegisterWatchClass(const WNDCLASSEXW& wc);

// The log of this run of the dialog.
ClipboardLog& TheClipboardLog();

// The message-only window that listens to clipboard changes, made with the
// dialog; none before and after.
void StartClipboardListener();
void StopClipboardListener();
HWND ClipboardListenerWindow();

// The log window: opened (or brought to the front), told that rows came or
// went (or that rows it shows were rewritten), closed with the dialog.
void OpenClipboardLogWindow(HWND dialog);
void ShowLogChanges(bool rowsRewritten = false);
void CloseClipboardLogWindow();

// Follow the Clipboard. Every listed change is handed to it, on or off; it
// keeps the latest listing and, while on, refreshes the dialog's lists by
// the pacing rule, with a timer of the listener window.
void ResetFollow(HWND dialog);
bool FollowOn();
void SetFollow(bool on);
void FollowClipboardChange(const ClipboardListing& listing);
// The listener window's timer for Follow.
inline constexpr UINT_PTR kFollowTimer = 2;
void OnFollowTimer();
