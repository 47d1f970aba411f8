// One way for the frame's shortcuts (and Esc, which cancels a read that
// waits) from every child: a keyboard hook of the
// frame's thread hands a shortcut key pressed in the dump, the picture or
// the pane to the frame itself, before the child sees it, so that each runs
// as with the focus on the frame; and it gives the Find dialog a dialog's
// keyboard. The program's only message loop is the format browser's modal
// one, which translates no accelerators for other windows.
#pragma once

#include <windows.h>

#include "dumpframe/framestate_win32.h"

void StartFrameKeys(FrameState& state);
void StopFrameKeys(FrameState& state);

// The frame's command of a key pressed now with the modifiers held, or 0;
// with the focus in the pane, the keys that the pane uses on its own text
// are not the frame's.
std::uint32_t FrameShortcutOf(WPARAM key, bool inPane);
