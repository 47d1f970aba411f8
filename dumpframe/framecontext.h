// What the dump window hands to its commands and views when it asks them to
// act: a read-only view of its record (framestate_win32.h), its module
// variables and its dump view as they are now. The frame builds one for each
// command or event (ContextOf, the one place) and nobody keeps it, not even
// across a dialog's modal loop: the next snapshot replaces the bytes it
// points to.
#pragma once

#include <windows.h>

#include <cstdint>

#include "dumpframe/framestate_win32.h"

struct FrameContext {
  HWND frame;                    // owns the dialogs and message boxes
  HWND dumpView;                 // the hex dump child
  HWND pictureView;              // the Picture view child, or none
  HWND pane;                     // the Details pane child, or none
  const std::uint8_t* snapshot;  // the frame's bytes; none exactly when snapshotLength is 0
  std::uint32_t snapshotLength;
  std::uint16_t codePage;      // the encoding of the dump view's text column
  const SnapshotFacts* facts;  // what the read of the snapshot saw (kind, block size, cut, owner, sequence)
  std::uint32_t format;        // the format on view; 0 for none
  const char* formatText;      // its list text, as the status bar shows it before any length
  FrameChoices choices;
  bool hasSelection;             // the dump view has bytes selected
  const LastSearch* lastSearch;  // none before the first search
};

// The frame's context of this moment (dumpframe_win32.cpp).
FrameContext ContextOf(HWND frame, const FrameState& state);
