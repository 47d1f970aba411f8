// The Details pane: a control of its own class that shows what formats/ makes
// of a snapshot, as a read-only text box (an edit control's reading,
// selection, Ctrl+A and Ctrl+C, under the pane's own messages). Its parent
// pushes the snapshot and the facts of its read, the dump's caret and
// selection, and its monitor's resolution in; the pane asks nobody for them.
//
// Like the dump view it only borrows the bytes: they must stay valid and
// unchanged until the next DPM_SETSNAPSHOT or the window's destruction. The
// window text is the pane's text.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "formats/details.h"
#include "snapshot/snapshot.h"

#define DETAILSPANE_CLASS_NAME "Kelvane Details Pane"

/* Messages, in the pane's block (the numbering: dumpframe/dumpframe.h). */
/* wParam 0, lParam: const DetailsSnapshot*, or none for no snapshot; 0. */
#define DPM_SETSNAPSHOT 0xA200
/* wParam 0, lParam: const CaretFacts* while the bytes are shown, or none (no
   "At the caret" section); 0. A burst of them costs one rebuild: the section
   follows once the burst is over, or when the text is read. */
#define DPM_SETCARET 0xA201
/* wParam: dots per inch of the parent's monitor; 0. The font follows it. */
#define DPM_SETDPI 0xA202

struct DetailsSnapshot {
  const std::uint8_t* bytes;  // none exactly when length is 0
  std::uint32_t length;
  std::uint32_t format;        // the clipboard format it was read from
  const SnapshotFacts* facts;  // what the read saw: kind, block size, owner, sequence, name
};

// The format's number and name, and the owner window's class, process and
// executable as the read saw them: what the Snapshot section tells besides
// the read itself.
void DescribeFormat(std::uint32_t format, const std::string& registeredName, SnapshotDescription* snapshot);
void DescribeOwner(const ClipboardWindow& owner, SnapshotDescription* snapshot);

// The pane's window procedure, registered under DETAILSPANE_CLASS_NAME in
// front of the edit control's.
LRESULT CALLBACK DetailsPaneProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The system's edit control as the pane's class is made from it, looked up
// once, so that its procedure and the window bytes it needs always agree;
// no procedure when the system has none.
const WNDCLASSEXW& EditControlClass();
