// The plain parts of the "Binary dump" window's record: the user's choices,
// the last search, the width the pane took, the read that the frame waits
// for and what its title says of its reads.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "dumpframe/framelayout.h"
#include "snapshot/readschedule.h"

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
// end of: a read that outlasts the reader's prompt wait keeps its request
// here until its outcome arrives, Esc gives it up, or a newer one replaces
// it.
struct PendingRead {
  ReadTicket ticket = kNoRead;  // kNoRead: no read waits
  std::uint32_t format = 0;
  bool wholeData = false;       // by Whole Data or by the size rules
  bool keepsPlace = false;      // the caret and scroll position go back where they fit (Whole Data)
  bool first = false;           // the frame's first read: its failure marks the title for good
  bool statusReplaced = false;  // the browser gave the status bar a text of its own while it waited
  std::string laterStatusText;  // that text, shown when the read ends in place of the format's
};

// The read asked for now, in place of waiting (none when its ticket is
// kNoRead). A read that replaces the frame's first read before it ended is
// the first read: the frame has shown nothing before it.
PendingRead Superseding(const PendingRead& waiting, PendingRead next);

// What the frame's title says of its reads.
struct FrameTitleState {
  bool firstReadFailed = false;
  bool showsReadError = false;  // "Clipboard Read Error !!" rather than "Binary dump"
};

// The title once a read is over (read: a snapshot was made; a read given up
// or not made is not). A failure shows the error; a later good read puts the
// frame's own title back, unless the first read failed: that marks the
// frame for its whole life.
FrameTitleState TitleAfterRead(FrameTitleState title, bool firstRead, bool read);
