// The plain parts of the "Binary dump" window's record: the user's choices,
// the last search, the width the pane took, and the read that the frame
// waits for.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "dumpframe/framelayout.h"

// What the user chose in the View menu and with the splitter. The choices
// last while the program runs: every frame opened later starts with them.
struct FrameChoices {
  bool wholeData = false;  // View > Whole Data: every byte of the format
  bool picture = false;    // View > Picture in place of View > Bytes
  bool details = false;    // View > Details: the pane at the right
  int paneShare = kDefaultPaneShare;
};

// What Find searched for last, which Find Next and Find Previous repeat.
struct LastSearch {
  bool hex = false;
  std::vector<std::uint8_t> bytes;  // the bytes typed in hexadecimal
  std::u16string text;              // the text typed
};

// The width that showing the pane added to the frame, and how far the frame
// moved left for it where the screen had no room at its right: hiding the
// pane gives both back.
struct PaneWidening {
  int added = 0;
  int movedLeft = 0;
};

// A read of the clipboard that the frame has asked for and not yet seen the
// end of. Every read is done within the message that asks for it, so today
// none waits here between messages; a read on a thread of its own keeps its
// request here until its outcome arrives.
struct PendingRead {
  bool waiting = false;
  std::uint32_t format = 0;
  std::string statusText;   // the browser's text for the format
  bool wholeData = false;   // by Whole Data or by the size rules
  bool keepsPlace = false;  // the caret and scroll position go back where they fit (Whole Data)
};
