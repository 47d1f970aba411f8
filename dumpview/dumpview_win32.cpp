// Window procedure of the dump view control. Each handler fetches the
// window's record, lets the core in this folder do the work and performs the
// platform calls through a Win32DumpViewPort.
#include "dumpview/dumpview.h"

#include <cstdint>

#include "app/dpi_win32.h"
#include "dumpview/caret.h"
#include "dumpview/dumpviewstate.h"
#include "dumpview/input_win32.h"
#include "dumpview/messages.h"
#include "dumpview/paint_win32.h"
#include "dumpview/scrolling.h"
#include "dumpview/search_win32.h"
#include "dumpview/viewport_win32.h"
#include "dumpview/viewstate.h"

namespace {

// The font height for a creation parameter of 0: 12 points at the screen's
// resolution.
int TwelvePointHeight(int screenDpi) { return ::MulDiv(12, screenDpi, 72); }

HFONT CreateCellFont(std::uint32_t fontHeight) {
  return ::CreateFontA(-static_cast<int>(fontHeight), 0, 0, 0, FW_THIN, FALSE, FALSE, FALSE, ANSI_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, PROOF_QUALITY, FIXED_PITCH | FF_MODERN,
                       "MS Gothic");
}

DefaultColors SystemColors() {
  DefaultColors colors;
  colors.back = ::GetSysColor(COLOR_WINDOW);
  colors.text = ::GetSysColor(COLOR_WINDOWTEXT);
  colors.headerBack = ::GetSysColor(COLOR_BTNFACE);
  colors.headerText = ::GetSysColor(COLOR_BTNTEXT);
  colors.selBack = ::GetSysColor(COLOR_HIGHLIGHT);
  colors.selText = ::GetSysColor(COLOR_HIGHLIGHTTEXT);
  return colors;
}

// Whether the wheel step is to be read from the system setting.
bool IsNtPlatform() {
  OSVERSIONINFOA version = {};
  version.dwOSVersionInfoSize = sizeof(version);
#if defined(_MSC_VER)
#pragma warning(suppress : 4996)  // deprecated, but only the platform id is wanted
#endif
  const BOOL known = ::GetVersionExA(&version);
  return known && version.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

LRESULT OnCreate(HWND window, WPARAM wParam, LPARAM lParam) {
  DumpViewState* state = AllocateDumpViewState();
  if (state == nullptr) {
    // -1 makes the creating call fail and destroy the window itself; its
    // WM_NCDESTROY then finds no record.
    return -1;
  }
  ::SetWindowLongPtrA(window, 0, reinterpret_cast<LONG_PTR>(state));

  const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
  const auto param = reinterpret_cast<std::uintptr_t>(create->lpCreateParams);
  // The screen's resolution, which the font height chosen at creation is for.
  const int screenDpi = static_cast<int>(SystemDpi());
  const std::uint32_t fontHeight =
      FontHeightFromCreateParam(param, param != 0 ? 0 : TwelvePointHeight(screenDpi));
  state->font = CreateCellFont(fontHeight);
  InitDumpViewState(*state, fontHeight, SystemColors(), IsNtPlatform());
  state->baseDpi = screenDpi > 0 ? static_cast<std::uint32_t>(screenDpi) : 0;

  ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  return ::DefWindowProcA(window, WM_CREATE, wParam, lParam);
}

void OnNcDestroy(HWND window, DumpViewState* state) {
  if (state == nullptr) return;
  if (state->font != nullptr) ::DeleteObject(static_cast<HFONT>(state->font));
  ::SetWindowLongPtrA(window, 0, 0);
  FreeDumpViewState(state);
}

// While the system drags the thumb of a standard scroll bar it holds the
// window's capture (the control's own mouse drag aside); its 32-bit tracking
// position is then the true one behind the 16-bit word of SB_THUMBTRACK.
bool ReadSystemTrackPosition(HWND window, const DumpViewState& state, ScrollBar bar,
                             std::uint32_t& position) {
  if (::GetCapture() != window || (state.flags & Dragging) != 0) return false;
  SCROLLINFO info = {};
  info.cbSize = sizeof(info);
  info.fMask = SIF_TRACKPOS;
  if (!::GetScrollInfo(window, bar == ScrollBar::Vertical ? SB_VERT : SB_HORZ, &info)) return false;
  position = static_cast<std::uint32_t>(info.nTrackPos);
  return true;
}

void OnScroll(HWND window, DumpViewState& state, ScrollBar bar, WPARAM wParam) {
  const std::uint32_t code = LOWORD(wParam);
  std::uint32_t systemTrack = 0;
  const bool tracking = code == SB_THUMBTRACK && ReadSystemTrackPosition(window, state, bar, systemTrack);
  Win32DumpViewPort port(window, state);
  OnScrollMessage(port, state, bar, code, HIWORD(wParam), tracking ? &systemTrack : nullptr);
}

void OnSetData(HWND window, DumpViewState& state, WPARAM wParam, LPARAM lParam) {
  Win32DumpViewPort port(window, state);
  const ClientSize client = port.ClientArea();
  HandleSetData(port, state, reinterpret_cast<const std::uint8_t*>(wParam),
                static_cast<std::uint32_t>(lParam), client.width, client.height);
}

// A new font first: when it cannot be made, the old font and the metrics
// that go with it stay.
std::uint32_t OnSetDpi(HWND window, DumpViewState& state, std::uint32_t dpi) {
  const std::uint32_t fontHeight = FontHeightForDpi(state, dpi);
  if (dpi == 0 || fontHeight == state.fontHeight) return state.fontHeight;
  HFONT font = CreateCellFont(fontHeight);
  if (font == nullptr) return state.fontHeight;
  if (state.font != nullptr) ::DeleteObject(static_cast<HFONT>(state.font));
  state.font = font;
  Win32DumpViewPort port(window, state);
  ApplyFontHeight(port, state, fontHeight, port.ClientArea());
  return fontHeight;
}

// The DVM_ messages' answers; handled turns false for any other message.
LRESULT OnPrivateMessage(HWND window, DumpViewState& state, UINT message, WPARAM wParam, LPARAM lParam,
                         bool& handled) {
  Win32DumpViewPort port(window, state);
  const auto w = static_cast<std::uint32_t>(wParam);
  const auto l = static_cast<std::uint32_t>(lParam);
  switch (message) {
    case DVM_SETDATA:
      OnSetData(window, state, wParam, lParam);
      return 0;
    case DVM_GETCODEPAGE:
      return static_cast<LRESULT>(GetCodePage(state));
    case DVM_SETCODEPAGE:
      return static_cast<LRESULT>(SetCodePage(port, state, w));
    case DVM_GETSEL:
      return static_cast<LRESULT>(GetSelection(state, reinterpret_cast<std::uint32_t*>(wParam),
                                               reinterpret_cast<std::uint32_t*>(lParam)));
    case DVM_SETSEL:
      return static_cast<LRESULT>(SetSelection(port, state, w, l));
    case DVM_FINDBYTES:
      return OnFindBytes(window, state, wParam, lParam);
    case DVM_FINDTEXT:
      return OnFindText(window, state, wParam, lParam);
    case DVM_FINDTEXTW:
      return OnFindTextW(window, state, wParam, lParam);
    case DVM_GETCARET:
      return static_cast<LRESULT>(GetCaretPosition(state));
    case DVM_SETCARET:
      return static_cast<LRESULT>(SetCaretPosition(port, state, w));
    case DVM_GETCOLOR:
      return static_cast<LRESULT>(GetColor(port, state, w));
    case DVM_SETCOLOR:
      return static_cast<LRESULT>(SetColor(port, state, w, static_cast<ColorRef>(l)));
    case DVM_SETDPI:
      return static_cast<LRESULT>(OnSetDpi(window, state, w));
    default:
      handled = false;
      return 0;
  }
}

}  // namespace

LRESULT CALLBACK DumpViewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CREATE) return OnCreate(window, wParam, lParam);
  DumpViewState* state = DumpViewStateOf(window);
  if (message == WM_NCDESTROY) {
    OnNcDestroy(window, state);
    return ::DefWindowProcA(window, message, wParam, lParam);
  }
  // Before WM_CREATE has stored the record, and when creation failed.
  if (state == nullptr) return ::DefWindowProcA(window, message, wParam, lParam);

  switch (message) {
    case WM_SIZE: {
      Win32DumpViewPort port(window, *state);
      HandleSize(port, *state, LOWORD(lParam), HIWORD(lParam));
      return ::DefWindowProcA(window, message, wParam, lParam);
    }
    case WM_VSCROLL:
      OnScroll(window, *state, ScrollBar::Vertical, wParam);
      return ::DefWindowProcA(window, message, wParam, lParam);
    case WM_HSCROLL:
      OnScroll(window, *state, ScrollBar::Horizontal, wParam);
      return ::DefWindowProcA(window, message, wParam, lParam);
    case WM_PAINT:
      PaintDumpViewWindow(window, *state);
      return 0;
    case WM_ERASEBKGND:
      if (EraseDumpViewWindow(window, *state, reinterpret_cast<HDC>(wParam))) return 1;
      return ::DefWindowProcA(window, message, wParam, lParam);
    case WM_SETFOCUS: {
      Win32DumpViewPort port(window, *state);
      GainFocus(port, *state);
      return ::DefWindowProcA(window, message, wParam, lParam);
    }
    case WM_KILLFOCUS: {
      Win32DumpViewPort port(window, *state);
      LoseFocus(port, *state);
      return ::DefWindowProcA(window, message, wParam, lParam);
    }
    default:
      break;
  }

  LRESULT result = 0;
  if (OnInputMessage(window, *state, message, wParam, lParam, result)) return result;
  bool handled = true;
  result = OnPrivateMessage(window, *state, message, wParam, lParam, handled);
  if (handled) return result;
  return ::DefWindowProcA(window, message, wParam, lParam);
}
