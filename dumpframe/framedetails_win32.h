// The frame's side of the Details pane: View > Details, the width it takes
// from the screen and gives back, the splitter, and the snapshot, caret and
// resolution pushed into the pane (formats/details_win32.h).
#pragma once

#include <windows.h>

#include "dumpframe/framecontext.h"

// Creates the pane, hidden (the frame shows it when it is the choice).
HWND CreateDetailsPane(HWND frame);

// The snapshot and the facts of its read, or none.
void GiveSnapshotToPane(const FrameContext& context);
// The dump's caret and selection while the bytes are shown, none under the
// picture: "At the caret" follows.
void TellPaneTheCaret(const FrameContext& context);

// View > Details: the choice and its check mark. Shown, the pane widens the
// frame by its width where the monitor's work area has room, so that the
// dump keeps every column; hidden, it gives that width back. The frame then
// places its children.
void ToggleDetails(HWND frame, FrameState& state);
void CheckDetailsChoice(HMENU menu, bool details);

// The splitter's mouse messages on the frame's own client area (the gap
// between the view and the pane). True when the message was the splitter's.
bool HandleSplitterMessage(HWND frame, FrameState& state, UINT message, WPARAM wParam, LPARAM lParam);
