// The dump window's choice between the bytes (the dump view) and the picture
// (the Picture view): the Picture view child, the View menu's radio pair,
// zoom items and greying, and the snapshot's way to the Picture view. The
// frame shows and hides the two views as it places its children.
#pragma once

#include <windows.h>

#include <cstdint>

#include "dumpframe/framecontext.h"

// Creates the frame's Picture view, hidden (the frame shows it when it is
// the choice).
HWND CreatePictureView(HWND frame);

// Checks the choice's radio item.
void CheckViewChoice(HMENU menu, bool picture);

// Hands the frame's snapshot to the Picture view, when it is shown (it gets
// the current one when it is chosen later). The bytes stay the frame's.
void GiveSnapshotToPicture(const FrameContext& context);

// Bytes or Picture: the record's choice, and the snapshot handed to the
// Picture view or taken from it, which keeps no decoded bitmap while it is
// hidden. True when the choice changed; the frame then places its children.
bool ChooseView(FrameState& state, const FrameContext& context, bool picture);

// The zoom commands ask the Picture view to zoom while it is shown.
void ZoomPicture(const FrameContext& context, std::uint32_t command);

// Whether a command is to be ignored now: one that acts on the bytes while
// the picture is shown, or a zoom while the bytes are.
bool CommandIdleInThisView(std::uint32_t command, bool picture);

// Greys what cannot act in the view shown: the Encoding submenu and the Edit
// items that act on bytes under the picture, the zoom items under the bytes.
void GreyMenuForView(HMENU menu, bool picture);

// A wheel turned over the frame reaches the Picture view while it is shown.
bool ForwardWheelToPicture(const FrameContext& context, WPARAM wParam, LPARAM lParam);
