// The dump window's Edit commands, as the frame's window procedure calls
// them. Each talks to the dump view through its messages only; the bytes
// come from the frame's own snapshot.
#pragma once

#include <windows.h>

#include <cstdint>

// The frame's snapshot, which the view shows.
struct SnapshotBytes {
  const std::uint8_t* bytes;
  std::uint32_t length;
};

// The frame's snapshot and its dump view, as they are now.
SnapshotBytes FrameSnapshot();
HWND FrameDumpView();

// Copy: the selected bytes as hexadecimal text (CF_TEXT). Copy as Text: the
// selected bytes decoded in the view's code page (CF_UNICODETEXT). Nothing
// happens when nothing is selected; failures are reported to the user in
// boxes owned by the frame.
void CopySelection(HWND frame, bool asText);

// Whether the view has bytes selected.
bool HasSelection();

// Select All: every byte of the snapshot.
void SelectAll();

// Find: opens the modeless Find dialog owned by the frame, or brings it
// forward.
void ShowFindDialog(HWND frame);
// Find Next (down) and Find Previous (up) with the last search; nothing
// when there has been none.
void RepeatSearch(bool backward);
bool HaveLastSearch();
// Closes the Find dialog and forgets the last search (the frame goes).
void EndFind();

// Go To: the modal dialog, then the caret moves to the offset.
void RunGoToDialog(HWND frame);
