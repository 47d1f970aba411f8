// What the dump window hands to its commands and views when it asks them to
// act: its own window, its dump view and its snapshot as they are now. The
// frame builds one for each command or event (BuildFrameContext in
// dumpframe_win32.cpp) and nobody keeps it: the next snapshot replaces the
// bytes it points to.
#pragma once

#include <windows.h>

#include <cstdint>

#include "snapshot/snapshot.h"

struct FrameContext {
  HWND frame;                    // owns the dialogs and message boxes
  HWND dumpView;                 // the hex dump child
  const std::uint8_t* snapshot;  // the frame's bytes; none exactly when snapshotLength is 0
  std::uint32_t snapshotLength;
  std::uint16_t codePage;  // the encoding of the dump view's text column
  SnapshotFacts facts;     // what the read of the snapshot saw (kind, block size, cut, owner, sequence)
  std::uint32_t format;    // the format on view; 0 for none
  const char* formatText;  // its list text, as the status bar shows it before any length
  bool wholeData;          // whether View > Whole Data made the snapshot
};
