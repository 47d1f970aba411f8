// Find in the dump window: a modeless dialog owned by the frame, and Find
// Next / Find Previous repeating its last search. A search goes through the
// dump view's search messages, starts at the caret (past the selection going
// down, before it going up), selects the match and scrolls to it, and does
// not wrap: at the end it says "Not found" and beeps.
//
// The program's only message loop is the format browser's modal loop, which
// runs IsDialogMessage for the browser alone. While the Find dialog exists a
// message hook of this thread gives it the keyboard handling of a dialog
// (Tab, Enter, Esc, mnemonics) and swallows the keys it handled.
#include <string>
#include <vector>

#include "app/dpi_win32.h"
#include "app/dpiscale.h"
#include "app/noindex.h"
#include "app/resource.h"
#include "dumpframe/editcommands.h"
#include "dumpframe/editcommands_win32.h"
#include "dumpview/dumpview.h"

namespace {

constexpr const char* kNotFoundText = "Not found";
constexpr const char* kEmptyTextText = "Type the text to find.";
constexpr const char* kUnsearchableText =
    "This text can't be searched: the system code page lacks some of its characters.";
// Where the dialog opens: in from the frame's top right corner by these many
// pixels at 96 dots per inch, clear of the frame's caption and menu bar.
constexpr int kFindRightMargin = 24;
constexpr int kFindTopMargin = 48;

struct Search {
  bool hex = false;
  std::vector<std::uint8_t> bytes;  // the bytes typed in hexadecimal
  std::wstring text;                // the text typed
};

HWND g_findDialog;
HHOOK g_findHook;
Search g_lastSearch;
bool g_haveLastSearch;

enum class Outcome { Found, NotFound, Unsearchable };

// The text in the system's ANSI code page, in which the view's text search
// reads it; false when a character has no form there.
bool ToAnsi(const std::wstring& text, std::string* out) {
  BOOL usedDefault = FALSE;
  const int size = ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.c_str(),
                                         static_cast<int>(text.size()), nullptr, 0, nullptr, &usedDefault);
  if (size <= 0 || usedDefault) return false;
  out->assign(static_cast<std::size_t>(size), '\0');
  ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.c_str(), static_cast<int>(text.size()),
                        out->data(), size, nullptr, &usedDefault);
  return !usedDefault;
}

UINT FindBytes(HWND view, WPARAM flags, const std::uint8_t* pattern, std::size_t length, SearchRange range) {
  DumpFindBytes request = {static_cast<UINT>(sizeof(DumpFindBytes)), pattern, static_cast<UINT>(length),
                           range.start, RequestEnd(range, (flags & DVFIND_BACKWARD) != 0)};
  return static_cast<UINT>(::SendMessageA(view, DVM_FINDBYTES, flags, reinterpret_cast<LPARAM>(&request)));
}

UINT FindText(HWND view, WPARAM flags, const std::string& ansi, SearchRange range) {
  DumpFindText request = {static_cast<UINT>(sizeof(DumpFindText)), ansi.c_str(), range.start,
                          RequestEnd(range, (flags & DVFIND_BACKWARD) != 0)};
  return static_cast<UINT>(::SendMessageA(view, DVM_FINDTEXT, flags, reinterpret_cast<LPARAM>(&request)));
}

// Hex bytes go through the view's byte search; text through its text
// search, which encodes it the way the text column decodes.
UINT FindSearchInView(HWND view, const Search& search, WPARAM flags, SearchRange range, bool* unsearchable) {
  if (search.hex) return FindBytes(view, flags, search.bytes.data(), search.bytes.size(), range);
  std::string ansi;
  if (!ToAnsi(search.text, &ansi)) {
    *unsearchable = true;
    return kNoIndex;
  }
  return FindText(view, flags, ansi, range);
}

Outcome RunSearch(const FrameContext& context, const Search& search, bool backward) {
  const HWND view = context.dumpView;
  UINT first = 0;
  UINT last = 0;
  const bool selected = ::SendMessageA(view, DVM_GETSEL, reinterpret_cast<WPARAM>(&first),
                                       reinterpret_cast<LPARAM>(&last)) != 0;
  const auto caret = static_cast<std::uint32_t>(::SendMessageA(view, DVM_GETCARET, 0, 0));
  const SearchRange range = SearchRangeOf(backward, caret, selected, first, last, context.snapshotLength);
  if (range.empty) return Outcome::NotFound;

  bool unsearchable = false;
  const WPARAM flags = DVFIND_SELECT | (backward ? DVFIND_BACKWARD : 0);
  if (FindSearchInView(view, search, flags, range, &unsearchable) != kNoIndex) return Outcome::Found;
  // The view drops its selection when a selecting search finds nothing;
  // give the user back the bytes that were selected.
  if (selected) ::SendMessageA(view, DVM_SETSEL, last + 1, first);
  return unsearchable ? Outcome::Unsearchable : Outcome::NotFound;
}

void SetFindStatus(const char* text) {
  if (g_findDialog != nullptr) ::SetDlgItemTextA(g_findDialog, IDC_FIND_STATUS, text);
}

void SearchAndReport(const FrameContext& context, const Search& search, bool backward) {
  const Outcome outcome = RunSearch(context, search, backward);
  if (outcome == Outcome::Found) {
    SetFindStatus("");
    return;
  }
  SetFindStatus(outcome == Outcome::Unsearchable ? kUnsearchableText : kNotFoundText);
  ::MessageBeep(MB_OK);
}

std::wstring DialogItemText(HWND dialog, int id) {
  HWND item = ::GetDlgItem(dialog, id);
  std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(item)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(::GetWindowTextW(item, text.data(), static_cast<int>(text.size()))));
  return text;
}

// The frame runs the search with its context of this moment, as it runs
// Find Next and Find Previous from its menu.
void AskFrameToSearch(bool backward) {
  const UINT command = backward ? ID_EDIT_FIND_PREVIOUS : ID_EDIT_FIND_NEXT;
  ::SendMessageA(::GetWindow(g_findDialog, GW_OWNER), WM_COMMAND, MAKEWPARAM(command, 0), 0);
}

// Find Next in the dialog: what was typed becomes the last search, which
// then runs in the dialog's direction. A mistake is shown in the dialog and
// searches nothing.
void OnFindNext(HWND dialog) {
  Search search;
  search.hex = ::IsDlgButtonChecked(dialog, IDC_FIND_HEX) == BST_CHECKED;
  search.text = DialogItemText(dialog, IDC_FIND_TEXT);
  if (search.hex) {
    std::string ascii;
    for (wchar_t c : search.text) ascii += c < 0x80 ? static_cast<char>(c) : '?';
    HexBytes parsed = ParseHexBytes(ascii);
    if (parsed.error != HexError::None) {
      SetFindStatus(HexErrorText(parsed.error));
      return;
    }
    search.bytes = std::move(parsed.bytes);
  } else if (search.text.empty()) {
    SetFindStatus(kEmptyTextText);
    return;
  }
  g_lastSearch = std::move(search);
  g_haveLastSearch = true;
  AskFrameToSearch(::IsDlgButtonChecked(dialog, IDC_FIND_UP) == BST_CHECKED);
}

// Keyboard messages for the Find dialog. A character beyond ASCII is left to
// the loop that fetched it: only that loop knows whether it is an ANSI or a
// Unicode character.
bool IsFindDialogKey(const MSG& msg) {
  if (msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST) return false;
  if ((msg.message == WM_CHAR || msg.message == WM_DEADCHAR) && msg.wParam >= 0x80) return false;
  return msg.hwnd == g_findDialog || ::IsChild(g_findDialog, msg.hwnd);
}

// Keys for the Find dialog get a dialog's handling; F3 repeats the search
// from there as from the dump. A handled message becomes WM_NULL, which the
// loop that fetched it dispatches harmlessly.
LRESULT CALLBACK FindKeyboardHook(int code, WPARAM removal, LPARAM lParam) {
  auto* msg = reinterpret_cast<MSG*>(lParam);
  if (code == HC_ACTION && removal == PM_REMOVE && g_findDialog != nullptr && IsFindDialogKey(*msg)) {
    bool handled = false;
    if (msg->message == WM_KEYDOWN && msg->wParam == VK_F3) {
      AskFrameToSearch((::GetKeyState(VK_SHIFT) & 0x8000) != 0);
      handled = true;
    } else {
      handled = ::IsDialogMessageA(g_findDialog, msg) != FALSE;
    }
    if (handled) {
      msg->message = WM_NULL;
      msg->wParam = 0;
      msg->lParam = 0;
    }
  }
  return ::CallNextHookEx(g_findHook, code, removal, lParam);
}

void OnFindInitDialog(HWND dialog) {
  ::SendDlgItemMessageA(dialog, IDC_FIND_TEXT, EM_LIMITTEXT, 1024, 0);
  ::CheckRadioButton(dialog, IDC_FIND_UP, IDC_FIND_DOWN, IDC_FIND_DOWN);
  if (g_haveLastSearch) {
    ::SetDlgItemTextW(dialog, IDC_FIND_TEXT, g_lastSearch.text.c_str());
    ::CheckDlgButton(dialog, IDC_FIND_HEX, g_lastSearch.hex ? BST_CHECKED : BST_UNCHECKED);
  }
}

void FocusFindText(HWND dialog) {
  HWND edit = ::GetDlgItem(dialog, IDC_FIND_TEXT);
  ::SetFocus(edit);
  ::SendMessageA(edit, EM_SETSEL, 0, -1);
}

INT_PTR CALLBACK FindDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      OnFindInitDialog(dialog);
      FocusFindText(dialog);
      return FALSE;  // the focus is set
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDOK:
          OnFindNext(dialog);
          return TRUE;
        case IDCANCEL:
          ::DestroyWindow(dialog);
          return TRUE;
        case IDC_FIND_TEXT:
          if (HIWORD(wParam) == EN_CHANGE) SetFindStatus("");
          return TRUE;
        default:
          return FALSE;
      }
    case WM_DESTROY:
      if (g_findHook != nullptr) ::UnhookWindowsHookEx(g_findHook);
      g_findHook = nullptr;
      g_findDialog = nullptr;
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace

void ShowFindDialog(const FrameContext& context) {
  const HWND frame = context.frame;
  if (g_findDialog == nullptr) {
    const auto instance = reinterpret_cast<HINSTANCE>(::GetWindowLongPtrA(frame, GWLP_HINSTANCE));
    g_findDialog = ::CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_FIND), frame, FindDialogProc, 0);
    if (g_findDialog == nullptr) return;
    g_findHook = ::SetWindowsHookExA(WH_GETMESSAGE, FindKeyboardHook, nullptr, ::GetCurrentThreadId());
    // Top right of the frame, where it hides the least of the dump.
    RECT frameRect = {};
    RECT dialogRect = {};
    ::GetWindowRect(frame, &frameRect);
    ::GetWindowRect(g_findDialog, &dialogRect);
    const std::uint32_t dpi = WindowDpi(frame);
    ::SetWindowPos(
        g_findDialog, nullptr,
        frameRect.right - (dialogRect.right - dialogRect.left) - ScaleForDpi(kFindRightMargin, dpi),
        frameRect.top + ScaleForDpi(kFindTopMargin, dpi), 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  ::ShowWindow(g_findDialog, SW_SHOW);
  ::SetActiveWindow(g_findDialog);
  FocusFindText(g_findDialog);
}

void RepeatSearch(const FrameContext& context, bool backward) {
  if (g_haveLastSearch) SearchAndReport(context, g_lastSearch, backward);
}

bool HaveLastSearch() { return g_haveLastSearch; }

void EndFind() {
  if (g_findDialog != nullptr) ::DestroyWindow(g_findDialog);
  g_lastSearch = Search();
  g_haveLastSearch = false;
}
