// The clipboard snapshot reader: copies one clipboard format into a private
// buffer by the size rules of snapshot/sizerules.h.
#pragma once

#include <windows.h>

#include <cstdint>

// Opens the clipboard with owner, copies format's data into a new buffer and
// closes the clipboard again. On success *buffer and *length hold the snapshot
// (release it with FreeSnapshot; a snapshot of an empty block is no buffer and
// length 0); on failure they are set to none and 0.
bool ReadClipboardFormat(HWND owner, std::uint32_t format, std::uint8_t** buffer, std::uint32_t* length);

// Releases a buffer made by ReadClipboardFormat; none is allowed.
void FreeSnapshot(std::uint8_t* buffer);
