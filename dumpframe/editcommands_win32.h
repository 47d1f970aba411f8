// The dump window's Edit commands, as the frame's window procedure calls
// them. Each takes the frame's context, talks to the dump view through its
// messages only and reads the bytes from the context's snapshot.
#pragma once

#include <windows.h>

#include "dumpframe/framecontext.h"

// Copy: the selected bytes as hexadecimal text (CF_TEXT). Copy as Text: the
// selected bytes decoded in the view's code page (CF_UNICODETEXT). Nothing
// happens when nothing is selected; failures are reported to the user in
// boxes owned by the frame.
void CopySelection(const FrameContext& context, bool asText);

// Whether the view has bytes selected.
bool HasSelection(HWND dumpView);

// Select All: every byte of the snapshot.
void SelectAll(const FrameContext& context);

// Find: opens the modeless Find dialog owned by the frame, or brings it
// forward. The dialog runs its searches as the frame's Find Next and Find
// Previous commands, so that each gets the frame's context of its moment.
void ShowFindDialog(const FrameContext& context);
// Find Next (down) and Find Previous (up) with the last search; nothing
// when there has been none.
void RepeatSearch(const FrameContext& context, bool backward);
bool HaveLastSearch();
// Closes the Find dialog and forgets the last search (the frame goes).
void EndFind();

// Go To: the modal dialog, then the caret moves to the offset.
void RunGoToDialog(const FrameContext& context);
