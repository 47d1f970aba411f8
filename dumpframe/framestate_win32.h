// The "Binary dump" window's record: everything the frame keeps beyond its
// module variables (the owner, the status bar, the dump view and the
// snapshot), made at WM_CREATE, reached from the window and freed at
// WM_NCDESTROY. Commands and views are handed a read-only FrameContext built
// from it (framecontext.h).
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "dumpframe/framestate.h"
#include "dumpframe/viewposition_win32.h"
#include "snapshot/snapshot.h"

struct FrameState {
  FrameChoices choices;

  // The read of the snapshot on view.
  std::uint32_t format = 0;  // 0 for none
  std::string formatText;    // its status text as the browser gave it
  SnapshotFacts facts;       // what the read saw
  FrameTitleState title;
  PendingRead pendingRead;
  ViewPosition placeBeforeRead{};  // where the view stood when a Whole Data read was asked for

  // The children beside the dump view and the status bar.
  HWND pictureView = nullptr;
  HWND pane = nullptr;
  HFONT statusFont = nullptr;  // the status bar's on a monitor of another resolution, or none
  std::uint32_t dpi = 0;       // of the frame's monitor

  // The splitter between the view and the pane.
  bool draggingSplitter = false;
  PaneWidening widening;

  // Find, and the keys of the frame's children and its Find dialog.
  HWND findDialog = nullptr;
  bool haveLastSearch = false;
  LastSearch lastSearch;
  HHOOK keyboardHook = nullptr;
};

// The record of a frame window, or none (not a frame, or not yet made).
FrameState* FrameStateOf(HWND frame);

// Moves every child to its place for the frame's client size and the
// record's choices, shows the ones chosen and hides the others
// (dumpframe_win32.cpp).
void PlaceChildren(HWND frame, const FrameState& state);
