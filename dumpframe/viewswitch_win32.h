// The dump window's choice between the bytes (the dump view) and the picture
// (the Picture view): the Picture view child, which of the two is shown, the
// View menu's radio pair, zoom items and greying, and the snapshot's way to
// the Picture view. The choice lasts while the program runs: every frame
// opened later starts with it.
#pragma once

#include <windows.h>

#include <cstdint>

#include "dumpframe/framecontext.h"
#include "dumpframe/framelayout.h"

// Creates the frame's Picture view at place, shown when the picture is the
// current choice (then the dump view is hidden by ApplyViewChoice).
void CreatePictureView(HWND frame, const ViewPlacement& place);
void MovePictureView(const ViewPlacement& place);
// Tells the Picture view the resolution of the frame's monitor.
void SetPictureViewDpi(std::uint32_t dpi);
void ForgetPictureView();

// Shows the chosen view, hides the other, and checks its radio item.
void ApplyViewChoice(HWND frame, HWND dumpView);

// Hands the frame's snapshot to the Picture view, when it is shown (it gets
// the current one when it is chosen later). The bytes stay the frame's.
void GiveSnapshotToPicture(const FrameContext& context);

bool PictureShown();

// Runs Bytes, Picture and the zoom commands; false for any other command.
// The snapshot is handed over again when the picture becomes the choice.
bool RunViewCommand(const FrameContext& context, std::uint32_t command);

// Whether a command is to be ignored now: one that acts on the bytes while
// the picture is shown, or a zoom while the bytes are.
bool CommandIdleInThisView(std::uint32_t command);

// Greys what cannot act in the view shown: the Encoding submenu and the Edit
// items that act on bytes under the picture, the zoom items under the bytes.
void GreyMenuForView(HMENU menu);

// A wheel turned over the frame reaches the Picture view while it is shown.
bool ForwardWheelToPicture(WPARAM wParam, LPARAM lParam);
