#include "dumpview/input_win32.h"

#include <windowsx.h>

#include <cstddef>
#include <cstdint>

#include "dumpview/dumpview.h"
#include "dumpview/keyboard.h"
#include "dumpview/mouse.h"
#include "dumpview/viewport_win32.h"

namespace {

// A message the view reports to its parent and the code it reports it with.
struct Reported {
  UINT message;
  int code;
};

constexpr Reported kKeyNotifications[] = {{WM_KEYDOWN, DVN_KEYDOWN},   {WM_KEYUP, DVN_KEYUP},
                                          {WM_CHAR, DVN_CHAR},         {WM_SYSKEYDOWN, DVN_SYSKEYDOWN},
                                          {WM_SYSKEYUP, DVN_SYSKEYUP}, {WM_SYSCHAR, DVN_SYSCHAR}};
constexpr Reported kButtonNotifications[] = {
    {WM_LBUTTONDOWN, DVN_LBUTTONDOWN}, {WM_LBUTTONUP, DVN_LBUTTONUP}, {WM_LBUTTONDBLCLK, DVN_LBUTTONDBLCLK},
    {WM_RBUTTONDOWN, DVN_RBUTTONDOWN}, {WM_RBUTTONUP, DVN_RBUTTONUP}, {WM_RBUTTONDBLCLK, DVN_RBUTTONDBLCLK},
    {WM_MBUTTONDOWN, DVN_MBUTTONDOWN}, {WM_MBUTTONUP, DVN_MBUTTONUP}, {WM_MBUTTONDBLCLK, DVN_MBUTTONDBLCLK},
    {WM_XBUTTONDOWN, DVN_XBUTTONDOWN}, {WM_XBUTTONUP, DVN_XBUTTONUP}, {WM_XBUTTONDBLCLK, DVN_XBUTTONDBLCLK}};

// The notification code of the message in the table, or 0.
template <std::size_t N>
int NotificationOf(const Reported (&table)[N], UINT message) {
  for (const Reported& entry : table) {
    if (entry.message == message) return entry.code;
  }
  return 0;
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
  if (const int code = NotificationOf(kKeyNotifications, message)) {
    OnKey(window, state, message, code, wParam, lParam);
  } else if (const int button = NotificationOf(kButtonNotifications, message)) {
    OnButton(window, state, message, button, wParam, lParam);
  } else if (!OnPointerMessage(window, state, message, wParam, lParam, skipDefault)) {
    return false;
  }
  result = skipDefault ? 0 : ::DefWindowProcA(window, message, wParam, lParam);
  return true;
}
