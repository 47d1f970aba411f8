// The frame's side of the Details pane: View > Details, the splitter, and
// telling the pane about new snapshots and caret moves. Shown or not, the
// choice lasts while the program runs.
#pragma once

#include <windows.h>

#include <cstdint>

// Creates the pane (hidden unless the user chose it earlier in this run).
void CreateFrameDetails(HWND frame);
void DestroyFrameDetails();

// Places the dump view, and the splitter and the pane when they are shown,
// in a client area of the given size.
void LayoutFrameViews(HWND frame, HWND dumpView, int clientWidth, int clientHeight, int statusBarHeight);

// View > Details: shows or hides the pane and moves the check mark. True
// when the pane is now shown: its text is then to be built, as a hidden
// pane is not kept up to date.
bool ToggleFrameDetails(HWND frame, HWND dumpView, int statusBarHeight);
bool FrameDetailsShown();

// A new snapshot (none is length 0) of format: the pane's text is rebuilt.
void FrameDetailsSnapshot(std::uint32_t format, const std::uint8_t* data, std::uint32_t length,
                          HWND dumpView);

// The dump view reported a key or a click: "At the caret" follows.
void FrameDetailsCaretMoved(HWND dumpView);

// The splitter's mouse messages on the frame's own client area (the gap
// between the view and the pane). True when the message was the splitter's.
bool HandleSplitterMessage(HWND frame, HWND dumpView, int statusBarHeight, UINT message, WPARAM wParam,
                           LPARAM lParam);
