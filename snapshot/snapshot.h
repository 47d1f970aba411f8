// The clipboard snapshot reader: copies one clipboard format into a private
// buffer by the size rules of snapshot/sizerules.h.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "snapshot/clipboardwindow.h"
#include "snapshot/wholedata.h"

// Opens the clipboard with owner, copies format's data into a new buffer and
// closes the clipboard again. On success *buffer and *length hold the snapshot
// (release it with FreeSnapshot; a snapshot of an empty block is no buffer and
// length 0); on failure they are set to none and 0.
bool ReadClipboardFormat(HWND owner, std::uint32_t format, std::uint8_t** buffer, std::uint32_t* length);

// What a read saw besides the bytes, kept with the snapshot: the Details
// pane and the Picture view tell it as it was at the read.
struct SnapshotFacts {
  SnapshotKind kind = SnapshotKind::ByRule;
  std::uint64_t blockSize = 0;  // the block's size as the platform reported it (GlobalSize; for GDI
                                // objects the converted size); 0 for none
  bool cut = false;             // Whole Data kept only the first 4 GiB - 1 bytes
  ClipboardWindow owner;        // GetClipboardOwner() while the clipboard was open, and its program
  DWORD sequenceNumber = 0;     // GetClipboardSequenceNumber() at the read
  std::string registeredName;   // the format's name (UTF-8) at the read, for 0xC000 and above; else empty
};

// ReadClipboardFormat, or with wholeData every byte of the format's data by
// WholeDataRule. facts may be none; it is filled on failure too, as far as
// the read got.
bool ReadClipboardSnapshot(HWND owner, std::uint32_t format, bool wholeData, std::uint8_t** buffer,
                           std::uint32_t* length, SnapshotFacts* facts);

// Releases a buffer made by ReadClipboardFormat; none is allowed.
void FreeSnapshot(std::uint8_t* buffer);
