// Portable rules of the dump window's View menu beyond the encodings: which
// key runs Bytes, Picture and the zoom, which commands act on bytes and so
// are greyed while the Picture view is shown, and what the zoom commands ask
// of the Picture view.
#pragma once

#include <cstdint>

// The View command (ID_VIEW_BYTES, ID_VIEW_PICTURE, ID_VIEW_ZOOM_...) of a key
// pressed with the given modifiers, or 0: Ctrl+1, Ctrl+2, Ctrl+plus and
// Ctrl+minus (the main keys and the keypad's), Ctrl+0.
std::uint32_t ViewCommandOfKey(std::uint32_t virtualKey, bool ctrl, bool shift, bool alt);

// Whether a command works on the dump's bytes (the encodings, Copy, Copy as
// Text, Select All, Find, Find Next and Previous, Go To): greyed and ignored
// while the picture is shown.
bool CommandActsOnBytes(std::uint32_t command);

// Whether a command is a zoom command, greyed while the bytes are shown.
bool IsZoomCommand(std::uint32_t command);

// The PVZOOM_ value a zoom command sends the Picture view (1 in, 2 out,
// 3 fit), or 0.
std::uint32_t ZoomRequestOfCommand(std::uint32_t command);
