// The clipboard snapshot reader: copies one clipboard format into a private
// buffer by the size rules of snapshot/sizerules.h.
#pragma once

#include <windows.h>

#include <cstdint>

#include "snapshot/snapshotfacts.h"

// Opens the clipboard with owner, copies format's data into a new buffer and
// closes the clipboard again. On success *buffer and *length hold the snapshot
// (release it with FreeSnapshot; a snapshot of an empty block is no buffer and
// length 0); on failure they are set to none and 0.
bool ReadClipboardFormat(HWND owner, std::uint32_t format, std::uint8_t** buffer, std::uint32_t* length);

// ReadClipboardFormat, or with wholeData every byte of the format's data by
// WholeDataRule. facts may be none; it is filled on failure too, as far as
// the read got. Both open the clipboard patiently (OpenClipboardPatiently),
// and a clipboard that stays held shows in facts. A failed allocation of
// the facts' texts throws std::bad_alloc with the clipboard closed and
// nothing allocated.
bool ReadClipboardSnapshot(HWND owner, std::uint32_t format, bool wholeData, std::uint8_t** buffer,
                           std::uint32_t* length, SnapshotFacts* facts);

// Releases a buffer made by ReadClipboardFormat; none is allowed.
void FreeSnapshot(std::uint8_t* buffer);
