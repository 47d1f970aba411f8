// What a read of the clipboard saw besides the bytes, kept with the snapshot:
// the Details pane and the Picture view tell it as it was at the read.
// Portable, so that a read's outcome can travel as a plain value.
#pragma once

#include <cstdint>
#include <string>

#include "snapshot/clipboardwindow.h"
#include "snapshot/wholedata.h"

struct SnapshotFacts {
  SnapshotKind kind = SnapshotKind::ByRule;
  std::uint64_t blockSize = 0;       // the block's size as the platform reported it (GlobalSize; for GDI
                                     // objects the converted size); 0 for none
  bool cut = false;                  // Whole Data kept only the first 4 GiB - 1 bytes
  ClipboardWindow owner;             // GetClipboardOwner() while the clipboard was open, and its program
  std::uint32_t sequenceNumber = 0;  // GetClipboardSequenceNumber() at the read
  std::string registeredName;  // the format's name (UTF-8) at the read, for 0xC000 and above; else empty
  bool clipboardBusy = false;  // another window kept the clipboard open through every retry
  ClipboardWindow holder;      // that window (GetOpenClipboardWindow) and its program; window 0 when
                               // the platform named none
  std::string leftUnreadFor;   // the marker format (a program's "leave me alone") for which no read
                               // was made; empty when one was
};
