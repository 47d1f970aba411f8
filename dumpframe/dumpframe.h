// The "Binary dump" window and the protocol with which its owner drives it.
#pragma once

#include <windows.h>

#include <cstdint>

// Creation parameter (lpParam of CreateWindowExA) of a DumpFrame. Read during
// creation only: the record and its text need to live until the creation call
// returns.
struct DumpCreateParams {
  HWND owner;              // receives the close request
  std::uint32_t format;    // the clipboard format to show
  const char* statusText;  // text for the status bar
};

// The frame's messages. Every family of private messages is numbered in one
// header of its own, in hexadecimal, each control's family in its own block
// of 0x100 from 0xA000 (the dump view 0xA000, the Picture view 0xA100, the
// Details pane 0xA200); the frame's and the browser's lists' own messages
// keep their numbers from WM_APP.
//
// DFM_SHOWFORMAT (WM_APP + 0x65), sent to the frame: wParam a clipboard format
// number or 0 for none, lParam a zero-terminated status text valid during the
// call. Result 0.
#define DFM_SHOWFORMAT 0x8065

// DFM_LEAVEUNREAD (WM_APP + 0x66), sent to the frame when the clipboard
// carries a format with which a program asks monitors to leave its data
// alone: the frame does not read wParam (a clipboard format number, not 0)
// and holds no snapshot, as after a failed read of it, and its Details pane
// names the marker. lParam a const DumpLeftUnread* valid during the call.
// Result 0.
#define DFM_LEAVEUNREAD 0x8066

struct DumpLeftUnread {
  const char* statusText;  // the browser's text for the format, as DFM_SHOWFORMAT's
  const char* marker;      // the marker format's name
};

// The frame's close request, posted to its owner: WM_COMMAND with
// IDC_DUMP_TOGGLE in the low word, 0 in the high word and lParam 0.

// Window procedure of the DumpFrame class ("Kelvane").
LRESULT CALLBACK DumpFrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
