#include "formats/details_win32.h"

#include <memory>
#include <string>

#include "app/widetext_win32.h"
#include "browser/formatnames.h"
#include "dumpview/dumpview.h"
#include "formats/formatport_win32.h"

namespace {

// A standard format's own name without the number that the list adds; a
// registered one's as the read saw it.
std::string FormatNameOf(std::uint32_t format, const std::string& registeredName) {
  if (const char* standard = StandardFormatName(format)) {
    const std::string text(standard);
    return text.substr(0, text.find(" ("));
  }
  return registeredName;
}

// What the pane keeps between caret moves: where the caret section lies in
// the control's text, and what it showed last.
struct PaneState {
  WNDPROC editProc = nullptr;
  HFONT font = nullptr;
  const std::uint8_t* data = nullptr;
  std::uint32_t length = 0;
  bool withCaret = false;
  CaretFacts shown{};
  DWORD caretStart = 0;  // in UTF-16 units
  DWORD caretUnits = 0;
};

PaneState* StateOf(HWND pane) {
  return reinterpret_cast<PaneState*>(::GetWindowLongPtrW(pane, GWLP_USERDATA));
}

bool CtrlDown() { return (::GetKeyState(VK_CONTROL) & 0x8000) != 0; }

// An edit control has no Select All key of its own; Ctrl+D belongs to the
// frame, which hides the pane with it.
LRESULT CALLBACK PaneProc(HWND pane, UINT message, WPARAM wParam, LPARAM lParam) {
  PaneState* state = StateOf(pane);
  switch (message) {
    case WM_KEYDOWN:
      if (CtrlDown() && wParam == 'A') {
        ::SendMessageW(pane, EM_SETSEL, 0, -1);
        return 0;
      }
      if (CtrlDown() && wParam == 'D') {
        ::SendMessageW(::GetParent(pane), WM_KEYDOWN, wParam, lParam);
        return 0;
      }
      break;
    case WM_CHAR:
      // The control characters of Ctrl+A and Ctrl+D would only beep.
      if (wParam == 0x01 || wParam == 0x04) return 0;
      break;
    case WM_NCDESTROY: {
      const WNDPROC editProc = state->editProc;
      ::DeleteObject(state->font);
      delete state;
      ::SetWindowLongPtrW(pane, GWLP_USERDATA, 0);
      return ::CallWindowProcW(editProc, pane, message, wParam, lParam);
    }
    default:
      break;
  }
  return ::CallWindowProcW(state->editProc, pane, message, wParam, lParam);
}

HFONT CreatePaneFont(HWND pane) {
  HDC dc = ::GetDC(pane);
  const int dpi = ::GetDeviceCaps(dc, LOGPIXELSY);
  ::ReleaseDC(pane, dc);
  // The dump's own face: fixed pitch, and Japanese glyphs where the system
  // has them.
  return ::CreateFontW(-::MulDiv(10, dpi, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FIXED_PITCH | FF_MODERN,
                       L"MS Gothic");
}

CaretFacts CaretFactsOf(HWND dumpView) {
  CaretFacts facts{};
  facts.caret = static_cast<std::uint32_t>(::SendMessageW(dumpView, DVM_GETCARET, 0, 0));
  UINT first = 0;
  UINT last = 0;
  facts.hasSelection = ::SendMessageW(dumpView, DVM_GETSEL, reinterpret_cast<WPARAM>(&first),
                                      reinterpret_cast<LPARAM>(&last)) != 0;
  facts.selectionFirst = facts.hasSelection ? first : 0;
  facts.selectionLast = facts.hasSelection ? last : 0;
  return facts;
}

bool SameCaret(const CaretFacts& a, const CaretFacts& b) {
  return a.caret == b.caret && a.hasSelection == b.hasSelection && a.selectionFirst == b.selectionFirst &&
         a.selectionLast == b.selectionLast;
}

}  // namespace

HWND CreateDetailsPane(HWND parent) {
  const auto instance = reinterpret_cast<HINSTANCE>(::GetWindowLongPtrA(parent, GWLP_HINSTANCE));
  HWND pane =
      ::CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"",
                        WS_CHILD | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | ES_NOHIDESEL, 0,
                        0, 0, 0, parent, nullptr, instance, nullptr);
  if (pane == nullptr) return nullptr;
  auto* state = new PaneState;
  state->font = CreatePaneFont(pane);
  ::SendMessageW(pane, WM_SETFONT, reinterpret_cast<WPARAM>(state->font), FALSE);
  // The text of a long list is far beyond the default 30,000 characters.
  ::SendMessageW(pane, EM_SETLIMITTEXT, 0, 0);
  ::SetWindowLongPtrW(pane, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state));
  state->editProc = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtrW(pane, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(PaneProc)));
  return pane;
}

void DescribeOwner(const ClipboardWindow& owner, SnapshotDescription* snapshot) {
  snapshot->ownerWindow = owner.window;
  snapshot->ownerClass = owner.windowClass;
  snapshot->ownerProcessId = owner.processId;
  snapshot->ownerExecutable = owner.executable;
}

void DescribeFormat(std::uint32_t format, const std::string& registeredName, SnapshotDescription* snapshot) {
  snapshot->format = format;
  snapshot->name = FormatNameOf(format, registeredName);
}

void ShowDetails(HWND pane, const SnapshotDescription& snapshot, const std::uint8_t* data, HWND dumpView,
                 bool withCaret) {
  PaneState* state = StateOf(pane);
  SystemFormatPort port;
  state->data = data;
  state->length = snapshot.length;
  state->withCaret = withCaret;
  state->shown = CaretFactsOf(dumpView);
  Lines lines = SnapshotSection(snapshot, data);
  AddText(lines, "");
  const std::wstring before = WideOfUtf8(JoinLines(lines));
  std::wstring caret;
  if (withCaret) caret = WideOfUtf8(JoinLines(CaretSection(data, snapshot.length, state->shown)) + "\r\n");
  Lines format = FormatSection(snapshot, data, port);
  const std::wstring after = WideOfUtf8(JoinLines(format));
  state->caretStart = static_cast<DWORD>(before.size());
  state->caretUnits = static_cast<DWORD>(caret.size());
  ::SetWindowTextW(pane, (before + caret + after).c_str());
}

void FollowCaret(HWND pane, HWND dumpView) {
  PaneState* state = StateOf(pane);
  if (state == nullptr || !state->withCaret) return;
  const CaretFacts now = CaretFactsOf(dumpView);
  if (SameCaret(now, state->shown)) return;
  state->shown = now;
  const std::wstring caret = WideOfUtf8(JoinLines(CaretSection(state->data, state->length, now)) + "\r\n");
  // The section keeps its number of lines, so the lines below it stay where
  // the reader scrolled them; the reader's own selection moves with its text.
  DWORD selStart = 0;
  DWORD selEnd = 0;
  ::SendMessageW(pane, EM_GETSEL, reinterpret_cast<WPARAM>(&selStart), reinterpret_cast<LPARAM>(&selEnd));
  const LRESULT firstLine = ::SendMessageW(pane, EM_GETFIRSTVISIBLELINE, 0, 0);
  const DWORD start = state->caretStart;
  const DWORD oldEnd = start + state->caretUnits;
  const auto shift = [&](DWORD at) -> DWORD {
    if (at < oldEnd) return at < start ? at : start;
    return at - oldEnd + start + static_cast<DWORD>(caret.size());
  };
  ::SendMessageW(pane, WM_SETREDRAW, FALSE, 0);
  ::SendMessageW(pane, EM_SETSEL, start, oldEnd);
  ::SendMessageW(pane, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(caret.c_str()));
  state->caretUnits = static_cast<DWORD>(caret.size());
  ::SendMessageW(pane, EM_SETSEL, shift(selStart), shift(selEnd));
  const LRESULT scrolled = ::SendMessageW(pane, EM_GETFIRSTVISIBLELINE, 0, 0);
  ::SendMessageW(pane, EM_LINESCROLL, 0, firstLine - scrolled);
  ::SendMessageW(pane, WM_SETREDRAW, TRUE, 0);
  ::InvalidateRect(pane, nullptr, TRUE);
}
