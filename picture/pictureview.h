/* The Picture view: a child window that shows a snapshot as a picture, with
   a caption line above it, or one sentence that says why there is none.

   Create a window of the class PICTUREVIEW_CLASS_NAME as a child and give it
   snapshots with PVM_SETPICTURE. Like the dump view it only borrows the
   bytes: they must stay valid and unchanged until the next PVM_SETPICTURE or
   the window's destruction. Compressed pictures are decoded on a worker
   thread of their own, which works from its own copy of the bytes.

   The window text is the caption line or the sentence, as Unicode text. */
#ifndef KELVANE_PICTUREVIEW_H
#define KELVANE_PICTUREVIEW_H

#include <windows.h>

#include <cstdint>

#include "snapshot/wholedata.h"

#define PICTUREVIEW_CLASS_NAME "Kelvane Picture View"

/* wParam 0, lParam: const PictureRecord*; 0. */
#define PVM_SETPICTURE 0xA100
/* wParam: PVZOOM_ value; 0. */
#define PVM_ZOOM 0xA101
/* wParam 0, lParam: RECT* that receives the drawn picture's rectangle in
   client pixels (it may reach past the client area); 1 while a picture is
   drawn, 0 while a sentence (or a decode in progress) is shown. */
#define PVM_GETPICTURERECT 0xA102
/* wParam: dots per inch; the caption line's height in pixels. */
#define PVM_SETDPI 0xA103
/* The view's own, posted to it by its decoding worker when a result waits
   in the mailbox they share: wParam and lParam 0. The message may be lost
   with the window; the result is not: it stays the mailbox's until the view
   takes it or closes the mailbox. */
#define PVM_DECODED 0xA104

/* PVM_SETDPI tells the view the resolution of the monitor it is shown on,
   from the parent's WM_DPICHANGED for instance; the view starts with its
   window's. The caption's font, its line, the checkerboard's squares and the
   scroll steps are made in proportion to it, and the picture is laid out and
   drawn again at the same zoom. A resolution of 0 changes nothing. */

#define PVZOOM_IN  1
#define PVZOOM_OUT 2
#define PVZOOM_FIT 3

struct PictureRecord {
  const std::uint8_t* bytes;  // the snapshot, or none
  std::uint32_t length;
  std::uint32_t format;        // the clipboard format it was read from
  const char* listText;        // the format's list text, "PNG(0xC017)", for the sentences
  const char* registeredName;  // a registered format's name (UTF-8), "PNG"; empty or none for others
  SnapshotKind kind;           // how the snapshot was read
};

LRESULT CALLBACK PictureViewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

#endif
