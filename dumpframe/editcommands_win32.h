// The dump window's Edit commands, as the frame's window procedure calls
// them. Each takes the frame's context of its moment, talks to the dump view
// through its messages only and reads the bytes from the context's snapshot;
// Find keeps its dialog and its last search in the frame's record.
#pragma once

#include <windows.h>

#include <cstdint>

#include "dumpframe/framecontext.h"

// Copy: the selected bytes as hexadecimal text (CF_TEXT). Copy as Text: the
// selected bytes decoded in the view's code page (CF_UNICODETEXT). Nothing
// happens when nothing is selected; failures are reported to the user in
// boxes owned by the frame.
void CopySelection(const FrameContext& context, bool asText);

// Select All: every byte of the snapshot.
void SelectAll(const FrameContext& context);

// Find: opens the modeless Find dialog owned by the frame, or brings it
// forward. The dialog runs its searches as the frame's Find Next and Find
// Previous commands, so that each gets the frame's context of its moment.
void ShowFindDialog(HWND frame, FrameState& state);
// Find Next (down) and Find Previous (up) with the last search; nothing
// when there has been none. The outcome shows in the Find dialog, if open.
void RepeatSearch(const FrameContext& context, HWND findDialog, bool backward);
// The Find dialog's keyboard: a dialog's Tab, Enter, Esc and mnemonics, and
// F3 from there as from the dump. True when msg was the dialog's and is
// handled.
bool HandleFindDialogKey(const FrameState& state, const MSG& msg);
// Closes the Find dialog and forgets the last search (the frame goes).
void EndFind(FrameState& state);

// Go To: the modal dialog, showing caret; false when it was cancelled. The
// frame acts on the answer with the context of the moment the dialog closed.
bool AskGoToOffset(HWND frame, std::uint32_t caret, std::uint64_t* offset);
// Moves the caret to the offset, or to the end of the data (and says so)
// when the offset lies past it, and brings its row into view.
void GoToOffset(const FrameContext& context, std::uint64_t offset);
