/* The dump view control: a hex dump child window with its own class and
   message interface, usable by any parent window.

   Create a window of the class DUMPVIEW_CLASS_NAME as a child; the creation
   parameter (lpParam) is the cell font height in pixels, or 0 for 12 points
   at the screen's resolution. Give it bytes with DVM_SETDATA; the control
   only borrows them, so they must stay valid and unchanged until the next
   DVM_SETDATA or the window's destruction.

   The message numbers, colour indexes, search flags and notification codes
   below need no system header; the request and notification records do. */
#ifndef KELVANE_DUMPVIEW_H
#define KELVANE_DUMPVIEW_H

#define DUMPVIEW_CLASS_NAME "Binary Dump Window by Marrowfen"

/* Messages. Byte indexes and counts are unsigned 32-bit; an index routine
   answers 0xFFFFFFFF for none. */
#define DVM_SETDATA     0xA000 /* wParam: bytes, lParam: count; 0 */
#define DVM_GETCODEPAGE 0xA001 /* the code page of the text column */
#define DVM_SETCODEPAGE 0xA002 /* wParam: code page (low 16 bits kept); 0 */
#define DVM_GETSEL      0xA003 /* wParam, lParam: UINT* first, UINT* last selected byte; 1 if any */
#define DVM_SETSEL      0xA004 /* wParam: caret (end) or 0xFFFFFFFF, lParam: anchor (start); 0 */
#define DVM_FINDBYTES   0xA005 /* wParam: DVFIND_ flags, lParam: DumpFindBytes*; match or 0xFFFFFFFF */
#define DVM_FINDTEXT    0xA006 /* wParam: DVFIND_ flags, lParam: DumpFindText*; match or 0xFFFFFFFF */
#define DVM_GETCARET    0xA007 /* the caret position */
#define DVM_SETCARET    0xA008 /* wParam: caret position, past the data its end; 0 */
#define DVM_GETCOLOR    0xA014 /* wParam: DVC_ index; the colour */
#define DVM_SETCOLOR    0xA015 /* wParam: DVC_ index, lParam: COLORREF; 0 */
#define DVM_SETDPI      0xA016 /* wParam: dots per inch; the cell font height */
#define DVM_FINDTEXTW   0xA017 /* wParam: DVFIND_ flags, lParam: DumpFindTextW*; match or 0xFFFFFFFF */

/* DVM_SETCARET moves the caret to a position from 0 (before the first byte)
   to the data length (after the last); a larger one, a length from earlier
   data for instance, puts it at the end of the view's own data. The caret's
   row is scrolled into view and the selection keeps its anchor. */

/* DVM_SETDPI tells the control the resolution of the monitor it is shown on,
   from the parent's WM_DPICHANGED for instance. The cell font, chosen at
   creation for the screen's resolution, is made again in proportion to the
   new one, and the cells, rows, pages and caret follow it; the caret's byte,
   the selection and the top row stay. The result is the font height in
   pixels now used, the cells being half as wide; a resolution of 0 changes
   nothing. */

/* Colour indexes of DVM_GETCOLOR and DVM_SETCOLOR. */
#define DVC_TEXT       0
#define DVC_BACK       1
#define DVC_HEADERTEXT 2
#define DVC_HEADERBACK 3
#define DVC_SELTEXT    4
#define DVC_SELBACK    5

/* Search: DVM_FINDBYTES finds a byte string, DVM_FINDTEXT an ANSI text and
   DVM_FINDTEXTW a UTF-16 text, either encoded the way the text column is
   decoded (DVM_SETCODEPAGE):
     932    Shift_JIS
     51932  EUC-JP (characters of JIS X 0208 and ASCII; half-width katakana
            and the user-defined and IBM extension characters of Shift_JIS
            have no form there)
     1200   UTF-16 little-endian, matched at odd byte indexes too
     65001  UTF-8
     other  the system's ANSI code page, i.e. the text's own bytes
   DVM_FINDTEXT reads its text in the system's ANSI code page, so it finds
   only what that code page can write; DVM_FINDTEXTW takes any text, and
   finds whatever of it the column's encoding can express.

   The range: going forward, the match lies wholly in [start, end) (end is
   an exclusive bound on its bytes); going backward, the match begins in
   [start, end] (end bounds its first byte, inclusive, and the match may run
   past end to the end of the data). end may exceed the data length.

   The result is the index of the match's first byte, or -1 (0xFFFFFFFF in
   the low 32 bits) for none; GetLastError then tells why:
     DV_ERROR_BAD_REQUEST  refused: null record, null pattern or text, a size
                           field other than sizeof of the record, end < start
     0                     searched and not found (an empty pattern is never
                           found), or the text has no form in the code page
     other                 DVM_FINDTEXT: the text is not valid in the ANSI
                           code page (the code MultiByteToWideChar left);
                           either text search: ERROR_NOT_ENOUGH_MEMORY
   With DVFIND_SELECT a match is selected, anchor at its first byte and
   caret after its last, and scrolled into view; a search that finds nothing
   (end < start included) clears the selection. Refused records and texts
   without a form leave the selection alone. */
#define DVFIND_BACKWARD 0x1 /* from the end of the range toward its start */
#define DVFIND_SELECT   0x2 /* select the match and scroll to it */

/* Last-error code of a malformed request (null pointer, wrong record size,
   end before start). */
#define DV_ERROR_BAD_REQUEST 0x20000000

/* Notification codes, sent to the parent as WM_NOTIFY (wParam: the
   control's id; lParam: a DumpMouseNotify for the mouse buttons, a
   DumpKeyNotify for the keys and characters) after the control has handled
   the message itself, so DVM_GETCARET and DVM_GETSEL already tell its
   effect. The record lives only while the parent handles the message; the
   parent's answer is ignored. */
#define DVN_LBUTTONDOWN   (-100001)
#define DVN_LBUTTONUP     (-100002)
#define DVN_LBUTTONDBLCLK (-100003)
#define DVN_RBUTTONDOWN   (-100004)
#define DVN_RBUTTONUP     (-100005)
#define DVN_RBUTTONDBLCLK (-100006)
#define DVN_MBUTTONDOWN   (-100007)
#define DVN_MBUTTONUP     (-100008)
#define DVN_MBUTTONDBLCLK (-100009)
#define DVN_XBUTTONDOWN   (-100010)
#define DVN_XBUTTONUP     (-100011)
#define DVN_XBUTTONDBLCLK (-100012)
#define DVN_KEYDOWN       (-100013)
#define DVN_KEYUP         (-100014)
#define DVN_CHAR          (-100015)
#define DVN_SYSKEYDOWN    (-100016)
#define DVN_SYSKEYUP      (-100017)
#define DVN_SYSCHAR       (-100018)

#if defined(_WIN32)
#include <windows.h>

/* Request record of DVM_FINDBYTES; size = sizeof(DumpFindBytes) (20 bytes
   on 32-bit Windows). */
typedef struct DumpFindBytes {
  UINT size;
  const BYTE* pattern;
  UINT length;
  UINT start;
  UINT end;
} DumpFindBytes;

/* Request record of DVM_FINDTEXT; size = sizeof(DumpFindText) (16 bytes on
   32-bit Windows); text is zero-terminated. */
typedef struct DumpFindText {
  UINT size;
  const char* text;
  UINT start;
  UINT end;
} DumpFindText;

/* Request record of DVM_FINDTEXTW; size = sizeof(DumpFindTextW) (16 bytes
   on 32-bit Windows); text is zero-terminated UTF-16. */
typedef struct DumpFindTextW {
  UINT size;
  const WCHAR* text;
  UINT start;
  UINT end;
} DumpFindTextW;

/* Notification record of the key and character messages. */
typedef struct DumpKeyNotify {
  NMHDR hdr;
  WPARAM wParam;
  LPARAM lParam;
} DumpKeyNotify;

/* Notification record of the mouse-button messages. */
typedef struct DumpMouseNotify {
  NMHDR hdr;
  WPARAM wParam;
  LPARAM lParam;
  int hitIndex; /* caret position under the pointer, 0 to the data length
                   (a point below the data gives its length), or -1 for a
                   point on no cell, also left of or above the window */
} DumpMouseNotify;

#if !defined(_WIN64)
/* The 32-bit layouts documented for parents. */
static_assert(sizeof(DumpFindBytes) == 20, "DumpFindBytes is 20 bytes on 32-bit Windows");
static_assert(sizeof(DumpFindText) == 16, "DumpFindText is 16 bytes on 32-bit Windows");
static_assert(sizeof(DumpFindTextW) == 16, "DumpFindTextW is 16 bytes on 32-bit Windows");
static_assert(sizeof(DumpKeyNotify) == 20, "DumpKeyNotify is 20 bytes on 32-bit Windows");
static_assert(sizeof(DumpMouseNotify) == 24, "DumpMouseNotify is 24 bytes on 32-bit Windows");
#endif

/* The control's window procedure, registered under DUMPVIEW_CLASS_NAME. */
LRESULT CALLBACK DumpViewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
#endif /* _WIN32 */

#endif /* KELVANE_DUMPVIEW_H */
