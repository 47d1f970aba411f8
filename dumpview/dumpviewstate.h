// The per-window state of a dump view and the geometry derived from its font
// height. Portable: no system header. The scroll records have the layout of
// the system's SCROLLINFO so that the shell can hand them over whole.
#pragma once

#include <cstdint>

#include "app/noindex.h"
#include "dumpview/gridlayout.h"

using ColorRef = std::uint32_t;  // 0x00BBGGRR, as the system's COLORREF

// Same members, order and widths as SCROLLINFO (28 bytes).
struct ScrollRecord {
  std::uint32_t cbSize;
  std::uint32_t fMask;
  std::int32_t nMin;
  std::int32_t nMax;
  std::uint32_t nPage;
  std::int32_t nPos;
  std::int32_t nTrackPos;
};
static_assert(sizeof(ScrollRecord) == 28, "ScrollRecord mirrors SCROLLINFO");

constexpr std::uint32_t kScrollRecordMask = 7;  // SIF_RANGE | SIF_PAGE | SIF_POS

// Bits of DumpViewState::flags.
enum DumpViewFlag : std::uint8_t {
  HasFocus = 0x01,      // the control has the keyboard focus and owns a system caret
  CaretVisible = 0x02,  // the system caret is shown
  BlockCaret = 0x04,    // the caret is a cell-wide block rather than a line
  CaretInText = 0x08,   // the caret stands in the text column
  Selecting = 0x10,     // a selection exists between anchor and caret
  Dragging = 0x20,      // a left-button drag holds the mouse capture
};

// Bits of DumpViewState::scrollFlags.
enum DumpViewScrollFlag : std::uint8_t {
  VAutoSpeedMask = 0x03,   // vertical autoscroll speed: 0 off, 1..3
  HAutoScroll = 0x04,      // a horizontal autoscroll timer runs
  WheelFromSystem = 0x80,  // the wheel step comes from the system setting
};

// The autoscroll timers of a drag, one per direction.
enum AutoScrollTimer : std::uint32_t {
  DVT_SCROLLUP = 500,
  DVT_SCROLLDOWN = 501,
  DVT_SCROLLLEFT = 502,
  DVT_SCROLLRIGHT = 503,
};
constexpr std::uint8_t AutoScrollTimerBit(std::uint32_t id) {
  return static_cast<std::uint8_t>(1u << (id - DVT_SCROLLUP));
}

// Default text-column code page: one character per byte.
constexpr std::uint16_t kDefaultCodePage = 1252;

struct DumpViewState {
  const std::uint8_t* data;  // borrowed bytes, never freed by the control
  std::uint32_t dataLength;
  std::uint32_t fontHeight;  // M, the cell font height in pixels
  ScrollRecord vScroll;      // nMax lastRow, nPage pageRows, nPos topRow
  ScrollRecord hScroll;      // nMax 78, nPage pageColumns, nPos leftColumn
  void* font;                // the cell font (an HFONT in the shell), owned
  std::uint32_t caret;       // caret position, 0..dataLength
  std::uint32_t anchor;      // the other end of the selection
  std::uint8_t flags;        // DumpViewFlag bits
  std::uint16_t codePage;    // code page of the text column
  std::uint8_t scrollFlags;  // DumpViewScrollFlag bits
  ColorRef backColor;
  ColorRef textColor;
  ColorRef headerBackColor;
  ColorRef headerTextColor;
  ColorRef selBackColor;
  ColorRef selTextColor;
  // Not part of the documented record: a scroll position wider than the
  // 16-bit field of WM_VSCROLL/WM_HSCROLL, handed from a self-sent
  // SB_THUMBTRACK to the scroll handler so that rows past 65,535 are reachable.
  std::uint32_t wideTrackPosition;
  std::uint8_t wideTrackBar;  // 0 none, 1 vertical, 2 horizontal
  // Not part of the documented record either: publishing a scroll bar can
  // show or hide it, and the system then resizes the client area with a
  // nested WM_SIZE while the handler that published is still running. The
  // count of WM_SIZE messages handled and the last client height they gave
  // let that handler notice and not overwrite the fresher page sizes with
  // ones computed from its own, stale size.
  std::uint32_t sizeCount;
  std::uint32_t clientHeight;
  // Not part of the documented record: which autoscroll timers run, one bit
  // per timer (AutoScrollTimerBit). VAutoSpeed and HAutoScroll say how fast
  // and whether, not on which side; a pointer that jumps from one side of the
  // window to the other must stop the first side's timer.
  std::uint8_t runningTimers;
  // Not part of the documented record: the font height chosen at creation
  // and the resolution it was chosen for. DVM_SETDPI scales from these, so
  // that moving between monitors and back never drifts by rounding.
  std::uint32_t baseFontHeight;
  std::uint32_t baseDpi;
};

inline void SetFlags(DumpViewState& s, std::uint8_t bits) {
  s.flags = static_cast<std::uint8_t>(s.flags | bits);
}
inline void ClearFlags(DumpViewState& s, std::uint8_t bits) {
  s.flags = static_cast<std::uint8_t>(s.flags & ~bits);
}
inline bool HasFlags(const DumpViewState& s, std::uint8_t bits) { return (s.flags & bits) == bits; }

// Size of a client area in pixels.
struct ClientSize {
  std::uint32_t width;
  std::uint32_t height;
};

// Named views of the scroll-record members.
inline std::uint32_t LastRow(const DumpViewState& s) { return static_cast<std::uint32_t>(s.vScroll.nMax); }
inline std::uint32_t PageRows(const DumpViewState& s) { return s.vScroll.nPage; }
inline std::uint32_t TopRow(const DumpViewState& s) { return static_cast<std::uint32_t>(s.vScroll.nPos); }
inline std::uint32_t PageColumns(const DumpViewState& s) { return s.hScroll.nPage; }
inline std::uint32_t LeftColumn(const DumpViewState& s) { return static_cast<std::uint32_t>(s.hScroll.nPos); }
// The rows a view counts as its page when it places its rows: a view too low
// for one whole row still shows the top of its first row, so it counts one.
inline std::uint32_t PlacingPageRows(const DumpViewState& s) {
  return s.vScroll.nPage > 0 ? s.vScroll.nPage : 1u;
}
inline void SetLastRow(DumpViewState& s, std::uint32_t v) { s.vScroll.nMax = static_cast<std::int32_t>(v); }
inline void SetPageRows(DumpViewState& s, std::uint32_t v) { s.vScroll.nPage = v; }
inline void SetTopRow(DumpViewState& s, std::uint32_t v) { s.vScroll.nPos = static_cast<std::int32_t>(v); }
inline void SetPageColumns(DumpViewState& s, std::uint32_t v) { s.hScroll.nPage = v; }
inline void SetLeftColumn(DumpViewState& s, std::uint32_t v) {
  s.hScroll.nPos = static_cast<std::int32_t>(v);
}

// Layout quantities derived from the font height M by truncating division.
struct DumpGeometry {
  std::uint32_t fontHeight;  // M
  std::uint32_t cellWidth;   // M / 2: one grid column
  std::uint32_t rowGap;      // M / 8: blank strip above each row's text
  std::uint32_t rowPitch;    // M + rowGap
  std::uint32_t headerBand;  // 3M / 2: band above the data rows
  std::uint32_t textInset;   // 2 * rowGap
};

inline DumpGeometry GeometryOf(std::uint32_t fontHeight) {
  DumpGeometry g;
  g.fontHeight = fontHeight;
  g.cellWidth = fontHeight / 2;
  g.rowGap = fontHeight / 8;
  g.rowPitch = fontHeight + g.rowGap;
  g.headerBand = (3 * fontHeight) / 2;
  g.textInset = 2 * g.rowGap;
  return g;
}

inline DumpGeometry GeometryOf(const DumpViewState& s) { return GeometryOf(s.fontHeight); }
