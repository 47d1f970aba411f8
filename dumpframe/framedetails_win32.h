// The frame's side of the Details pane: View > Details, the splitter, and
// telling the pane about new snapshots and caret moves. Shown or not, the
// choice lasts while the program runs.
#pragma once

#include <windows.h>

#include <cstdint>

#include "dumpframe/framecontext.h"
#include "dumpframe/framelayout.h"

// Creates the pane (shown when the user chose it earlier in this run).
void CreateFrameDetails(HWND frame);
void DestroyFrameDetails();
bool FrameDetailsShown();

// With the pane shown, narrows the views' rectangles to leave it its room
// and places it there; hidden, changes nothing.
void FitDetailsPane(HWND frame, int clientWidth, int clientHeight, int statusBarHeight,
                    ViewPlacement* dumpView, ViewPlacement* pictureView);

// View > Details: shows or hides the pane and moves the check mark; the
// frame then places its children again and has the text built.
void ToggleFrameDetails(HWND frame);

// A new snapshot (none is length 0) and the facts of its read: the pane's text is rebuilt,
// with the caret section while the bytes are shown. A hidden pane is not
// kept up to date.
void FrameDetailsSnapshot(const FrameContext& context, bool bytesShown);

// The dump view reported a key or a click: "At the caret" follows.
void FrameDetailsCaretMoved(HWND dumpView);

// The splitter's mouse messages on the frame's own client area (the gap
// between the view and the pane). True when the message was the splitter's.
bool HandleSplitterMessage(HWND frame, UINT message, WPARAM wParam, LPARAM lParam);
