// The clipboard reader: reads that may call into the clipboard's owner (data
// it renders on demand is rendered inside GetClipboardData) are made on a
// thread of their own, one at a time, by the rules of snapshot/readschedule.h,
// so that a slow or hung owner never holds up a window.
//
// A prompt read changes nothing for its caller: StartClipboardRead waits for
// it, without dispatching messages, and hands back the outcome in the same
// call. A read that outlasts the wait goes on; the caller returns, shows the
// wait (OwnerWaitText of ClipboardReadOwner), may cancel it, and is told by a
// posted CRM_READENDED when it ends:
//
//   ClipboardReadStart start = StartClipboardRead(frame, format, wholeData);
//   if (start.ended) Show(start.outcome); else ShowWaiting(start.ticket);
//   ...
//   case CRM_READENDED:
//     if (wParam == waitingTicket) Show(TakeClipboardRead(waitingTicket));
//
// The reader opens the clipboard with a message-only window of its own, so
// that other programs asking who holds the clipboard see Kelvane's reader.
// Its thread never delays the process's end: a read stuck in another program
// is simply left behind when the process quits.
#pragma once

#include <windows.h>

#include <cstdint>

#include "snapshot/readschedule.h"

// Posted to the requester when its read ends after StartClipboardRead has
// returned: wParam the read's ticket, lParam 0. It comes once a read and
// never for a read that was cancelled or superseded.
#define CRM_READENDED (WM_APP + 0x71)

// How long StartClipboardRead waits for a read before it leaves the read to
// be reported by message.
constexpr DWORD kPromptReadMs = 250;

struct ClipboardReadStart {
  ReadTicket ticket = kNoRead;
  bool ended = false;   // the read ended within the wait: outcome holds it, and no message will come
  ReadOutcome outcome;  // when ended; its bytes are the caller's
};

// Asks for a read of format for requester (by the size rules, or with
// wholeData all of it) and waits up to waitMs for it. The requester's earlier
// read is superseded. Where the reader cannot be started or memory runs out
// the read ends at once, as failed.
ClipboardReadStart StartClipboardRead(HWND requester, std::uint32_t format, bool wholeData,
                                      DWORD waitMs = kPromptReadMs);

// The outcome of a read that CRM_READENDED reported; the bytes become the
// caller's. A read that is not there to take (cancelled, superseded, taken
// already) gives an outcome marked cancelled.
ReadOutcome TakeClipboardRead(ReadTicket ticket);

// The requester gives up its read: a waiting one is never made, one under
// way is left to finish by itself, and its outcome is freed, never delivered.
void CancelClipboardRead(ReadTicket ticket);

// The clipboard's owner as it was when the read was asked (seen without
// opening the clipboard), for the text shown while the read waits.
ClipboardWindow ClipboardReadOwner(ReadTicket ticket);
