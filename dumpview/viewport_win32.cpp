#include "dumpview/viewport_win32.h"

#include "dumpview/scrolling.h"

namespace {

int SystemBar(ScrollBar bar) { return bar == ScrollBar::Vertical ? SB_VERT : SB_HORZ; }
UINT ScrollMessage(ScrollBar bar) { return bar == ScrollBar::Vertical ? WM_VSCROLL : WM_HSCROLL; }

}  // namespace

DumpViewState* DumpViewStateOf(HWND window) {
  return reinterpret_cast<DumpViewState*>(::GetWindowLongPtrA(window, 0));
}

void Win32DumpViewPort::SetCaretPos(std::int32_t x, std::int32_t y) { ::SetCaretPos(x, y); }

void Win32DumpViewPort::ShowCaret() { ::ShowCaret(window_); }

void Win32DumpViewPort::HideCaret() { ::HideCaret(window_); }

void Win32DumpViewPort::CreateCaret(std::int32_t width, std::int32_t height) {
  ::CreateCaret(window_, nullptr, width, height);
}

void Win32DumpViewPort::DestroyCaret() { ::DestroyCaret(); }

void Win32DumpViewPort::PublishScrollInfo(ScrollBar bar, const ScrollRecord& record) {
  SCROLLINFO info{sizeof(SCROLLINFO), record.fMask, record.nMin,     record.nMax,
                  record.nPage,       record.nPos,  record.nTrackPos};
  ::SetScrollInfo(window_, SystemBar(bar), &info, TRUE);
}

void Win32DumpViewPort::Redraw(std::uint32_t flags) { ::RedrawWindow(window_, nullptr, nullptr, flags); }

void Win32DumpViewPort::SendScroll(ScrollBar bar, std::uint32_t code, std::uint32_t position) {
  // The message has room for 16 bits of the position; the handler finds the
  // whole of it in the record (see ArmWideThumbTrack).
  if (code == ScrollThumbTrack) ArmWideThumbTrack(state_, bar, position);
  const WPARAM wParam = MAKEWPARAM(static_cast<WORD>(code), static_cast<WORD>(position & 0xFFFFu));
  ::SendMessageA(window_, ScrollMessage(bar), wParam, 0);
  // A handler that never saw it (a subclass swallowed the message) must not
  // leave it for a later sender; the window may be gone by now.
  if (DumpViewStateOf(window_) == &state_) DisarmWideThumbTrack(state_);
}

bool Win32DumpViewPort::ShiftDown() { return ::GetKeyState(VK_SHIFT) < 0; }

void Win32DumpViewPort::TakeFocus() { ::SetFocus(window_); }

void Win32DumpViewPort::CaptureMouse() { ::SetCapture(window_); }

void Win32DumpViewPort::ReleaseMouse() { ::ReleaseCapture(); }

void Win32DumpViewPort::StartTimer(std::uint32_t id, std::uint32_t milliseconds) {
  ::SetTimer(window_, id, milliseconds, nullptr);
}

void Win32DumpViewPort::StopTimer(std::uint32_t id) { ::KillTimer(window_, id); }

ClientSize Win32DumpViewPort::ClientArea() {
  RECT client = {};
  ::GetClientRect(window_, &client);
  return ClientSize{static_cast<std::uint32_t>(client.right), static_cast<std::uint32_t>(client.bottom)};
}

std::uint32_t Win32DumpViewPort::WheelScrollLines() {
  // A system that can't tell its setting gets the system's own default.
  UINT lines = kDefaultWheelLines;
  if (!::SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines, 0)) return kDefaultWheelLines;
  return lines;
}
