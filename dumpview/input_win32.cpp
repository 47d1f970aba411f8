#include "dumpview/input_win32.h"

#include <windowsx.h>

#include <cstdint>

#include "dumpview/dumpview.h"
#include "dumpview/keyboard.h"
#include "dumpview/mouse.h"
#include "dumpview/viewport_win32.h"

namespace {

// The notification code of a key or character message, or 0.
int KeyNotification(UINT message) {
  switch (message) {
    case WM_KEYDOWN:
      return DVN_KEYDOWN;
    case WM_KEYUP:
      return DVN_KEYUP;
    case WM_CHAR:
      return DVN_CHAR;
    case WM_SYSKEYDOWN:
      return DVN_SYSKEYDOWN;
    case WM_SYSKEYUP:
      return DVN_SYSKEYUP;
    case WM_SYSCHAR:
      return DVN_SYSCHAR;
    default:
      return 0;
  }
}

// The notification code of a mouse-button message, or 0.
int ButtonNotification(UINT message) {
  switch (message) {
    case WM_LBUTTONDOWN:
      return DVN_LBUTTONDOWN;
    case WM_LBUTTONUP:
      return DVN_LBUTTONUP;
    case WM_LBUTTONDBLCLK:
      return DVN_LBUTTONDBLCLK;
    case WM_RBUTTONDOWN:
      return DVN_RBUTTONDOWN;
    case WM_RBUTTONUP:
      return DVN_RBUTTONUP;
    case WM_RBUTTONDBLCLK:
      return DVN_RBUTTONDBLCLK;
    case WM_MBUTTONDOWN:
      return DVN_MBUTTONDOWN;
    case WM_MBUTTONUP:
      return DVN_MBUTTONUP;
    case WM_MBUTTONDBLCLK:
      return DVN_MBUTTONDBLCLK;
    case WM_XBUTTONDOWN:
      return DVN_XBUTTONDOWN;
    case WM_XBUTTONUP:
      return DVN_XBUTTONUP;
    case WM_XBUTTONDBLCLK:
      return DVN_XBUTTONDBLCLK;
    default:
      return 0;
  }
}

// The right, middle and extra buttons report first and take the focus
// afterwards; the left button takes it before it reports.
bool TakesFocusAfterReport(UINT message) {
  return message == WM_RBUTTONDOWN || message == WM_MBUTTONDOWN || message == WM_XBUTTONDOWN;
}

NMHDR Header(HWND window, int code) {
  NMHDR header = {};
  header.hwndFrom = window;
  header.idFrom = static_cast<UINT_PTR>(::GetWindowLongPtrA(window, GWLP_ID));
  header.code = static_cast<UINT>(code);
  return header;
}

// The record lives on this stack for the one call: the parent may read it
// while it handles the message and must not keep it.
void NotifyKey(HWND window, int code, WPARAM wParam, LPARAM lParam) {
  DumpKeyNotify record = {};
  record.hdr = Header(window, code);
  record.wParam = wParam;
  record.lParam = lParam;
  ::SendMessageA(::GetParent(window), WM_NOTIFY, record.hdr.idFrom, reinterpret_cast<LPARAM>(&record));
}

void NotifyButton(HWND window, int code, WPARAM wParam, LPARAM lParam, std::uint32_t hit) {
  DumpMouseNotify record = {};
  record.hdr = Header(window, code);
  record.wParam = wParam;
  record.lParam = lParam;
  record.hitIndex = static_cast<int>(hit);
  ::SendMessageA(::GetParent(window), WM_NOTIFY, record.hdr.idFrom, reinterpret_cast<LPARAM>(&record));
}

void OnKey(HWND window, DumpViewState& state, UINT message, int code, WPARAM wParam, LPARAM lParam) {
  if (message == WM_KEYDOWN) {
    Win32DumpViewPort port(window, state);
    HandleKeyDown(port, state, static_cast<std::uint32_t>(wParam));
  }
  NotifyKey(window, code, wParam, lParam);
}

// The point is read signed: a release outside the window during a drag has
// negative coordinates, which as unsigned words would hit far past the data.
void OnButton(HWND window, DumpViewState& state, UINT message, int code, WPARAM wParam, LPARAM lParam) {
  const std::int32_t x = GET_X_LPARAM(lParam);
  const std::int32_t y = GET_Y_LPARAM(lParam);
  Win32DumpViewPort port(window, state);
  std::uint32_t hit = kNoIndex;
  if (message == WM_LBUTTONDOWN) {
    hit = HandleLeftButtonDown(port, state, x, y, (wParam & MK_SHIFT) != 0);
  } else {
    if (message == WM_LBUTTONUP) HandleLeftButtonUp(port, state);
    hit = HitTest(state, x, y, nullptr);
  }
  NotifyButton(window, code, wParam, lParam, hit);
  // The parent may have destroyed the control meanwhile: the record is not
  // touched again, and SetFocus on a dead window fails harmlessly.
  if (TakesFocusAfterReport(message)) ::SetFocus(window);
}

// The pointer, timer, wheel and capture messages; false for any other.
// skipDefault is set when the message is answered 0 without default
// processing.
bool OnPointerMessage(HWND window, DumpViewState& state, UINT message, WPARAM wParam, LPARAM lParam,
                      bool& skipDefault) {
  Win32DumpViewPort port(window, state);
  switch (message) {
    case WM_MOUSEMOVE:
      HandleMouseMove(port, state, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      return true;
    case WM_TIMER:
      skipDefault = !HandleTimer(port, state, static_cast<std::uint32_t>(wParam));
      return true;
    case WM_MOUSEWHEEL:
      HandleWheel(port, state, static_cast<std::int16_t>(GET_WHEEL_DELTA_WPARAM(wParam)),
                  (GET_KEYSTATE_WPARAM(wParam) & MK_SHIFT) != 0);
      return true;
    case WM_CAPTURECHANGED:
      // Taking the capture anew for itself is no loss.
      if (reinterpret_cast<HWND>(lParam) != window) HandleCaptureLost(port, state);
      return true;
    default:
      return false;
  }
}

}  // namespace

bool OnInputMessage(HWND window, DumpViewState& state, UINT message, WPARAM wParam, LPARAM lParam,
                    LRESULT& result) {
  bool skipDefault = false;
  if (const int code = KeyNotification(message)) {
    OnKey(window, state, message, code, wParam, lParam);
  } else if (const int button = ButtonNotification(message)) {
    OnButton(window, state, message, button, wParam, lParam);
  } else if (!OnPointerMessage(window, state, message, wParam, lParam, skipDefault)) {
    return false;
  }
  result = skipDefault ? 0 : ::DefWindowProcA(window, message, wParam, lParam);
  return true;
}
