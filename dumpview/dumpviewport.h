// The platform calls that the dump view's logic makes, in the order it makes
// them. The Win32 shell implements this port on a real window; the unit tests
// implement it with a recorder.
#pragma once

#include <cstdint>

#include "dumpview/dumpviewstate.h"

enum class ScrollBar : std::uint8_t { Vertical = 1, Horizontal = 2 };

// Scroll request codes, as SB_LINEUP .. SB_ENDSCROLL.
enum ScrollCode : std::uint32_t {
  ScrollLineUp = 0,
  ScrollLineDown = 1,
  ScrollPageUp = 2,
  ScrollPageDown = 3,
  ScrollThumbPosition = 4,
  ScrollThumbTrack = 5,
  ScrollTop = 6,
  ScrollBottom = 7,
  ScrollEnd = 8,
};

// RedrawWindow flags, as RDW_INVALIDATE, RDW_ERASE, RDW_UPDATENOW, RDW_FRAME.
enum RedrawFlag : std::uint32_t {
  RedrawInvalidate = 0x0001,
  RedrawErase = 0x0004,
  RedrawUpdateNow = 0x0100,
  RedrawFrame = 0x0400,
};

// The wheel setting that asks for one page per notch, as WHEEL_PAGESCROLL.
constexpr std::uint32_t kWheelPageScroll = 0xFFFFFFFFu;
// The system's own default wheel setting, rows per notch.
constexpr std::uint32_t kDefaultWheelLines = 3;

class DumpViewPort {
 public:
  virtual ~DumpViewPort() = default;

  // System caret.
  virtual void SetCaretPos(std::int32_t x, std::int32_t y) = 0;
  virtual void ShowCaret() = 0;
  virtual void HideCaret() = 0;
  virtual void CreateCaret(std::int32_t width, std::int32_t height) = 0;
  virtual void DestroyCaret() = 0;

  // SetScrollInfo(bar, record, redraw TRUE).
  virtual void PublishScrollInfo(ScrollBar bar, const ScrollRecord& record) = 0;

  // RedrawWindow(no rectangle, no region, flags).
  virtual void Redraw(std::uint32_t flags) = 0;

  // Sends WM_VSCROLL or WM_HSCROLL to the control itself and returns once its
  // handler has run. For ScrollThumbTrack, position is the full 32-bit target.
  virtual void SendScroll(ScrollBar bar, std::uint32_t code, std::uint32_t position) = 0;

  // Input.
  // GetKeyState(VK_SHIFT): whether Shift is down for the message at hand.
  virtual bool ShiftDown() = 0;
  // SetFocus on the control; its WM_SETFOCUS has run when this returns.
  virtual void TakeFocus() = 0;
  virtual void CaptureMouse() = 0;
  virtual void ReleaseMouse() = 0;
  // SetTimer(control, id, period, no callback); setting an id anew replaces
  // its period. KillTimer(control, id).
  virtual void StartTimer(std::uint32_t id, std::uint32_t milliseconds) = 0;
  virtual void StopTimer(std::uint32_t id) = 0;
  // GetClientRect: the client area's width and height.
  virtual ClientSize ClientArea() = 0;
  // The system's wheel setting, rows per notch (kWheelPageScroll: a page).
  virtual std::uint32_t WheelScrollLines() = 0;
};
