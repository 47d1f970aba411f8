// Find in the dump window: a modeless dialog owned by the frame, and Find
// Next / Find Previous repeating its last search. A search goes through the
// dump view's search messages, starts at the caret (past the selection going
// down, before it going up), selects the match and scrolls to it, and does
// not wrap: at the end it says "Not found" and beeps. A text is searched as
// the UTF-16 text typed, which the view encodes the way its text column
// decodes, so any text the column's encoding can express is found.
//
// The program's only message loop is the format browser's modal loop, which
// runs IsDialogMessage for the browser alone. The frame's keyboard hook
// (framekeys_win32.cpp) gives the Find dialog the keyboard handling of a
// dialog (Tab, Enter, Esc, mnemonics) through HandleFindDialogKey.
#include <string>

#include "app/dpi_win32.h"
#include "app/dpiscale.h"
#include "app/noindex.h"
#include "app/resource.h"
#include "dumpframe/editcommands.h"
#include "dumpframe/editcommands_win32.h"
#include "dumpview/dumpview.h"

static_assert(sizeof(wchar_t) == sizeof(char16_t), "the dialog's text goes to the view unchanged");

namespace {

constexpr const char* kNotFoundText = "Not found";
constexpr const char* kEmptyTextText = "Type the text to find.";
// Where the dialog opens: in from the frame's top right corner by these many
// pixels at 96 dots per inch, clear of the frame's caption and menu bar.
constexpr int kFindRightMargin = 24;
constexpr int kFindTopMargin = 48;

UINT FindBytes(HWND view, WPARAM flags, const LastSearch& search, SearchRange range) {
  DumpFindBytes request = {static_cast<UINT>(sizeof(DumpFindBytes)), search.bytes.data(),
                           static_cast<UINT>(search.bytes.size()), range.start,
                           RequestEnd(range, (flags & DVFIND_BACKWARD) != 0)};
  return static_cast<UINT>(::SendMessageA(view, DVM_FINDBYTES, flags, reinterpret_cast<LPARAM>(&request)));
}

UINT FindText(HWND view, WPARAM flags, const LastSearch& search, SearchRange range) {
  DumpFindTextW request = {static_cast<UINT>(sizeof(DumpFindTextW)),
                           reinterpret_cast<const WCHAR*>(search.text.c_str()), range.start,
                           RequestEnd(range, (flags & DVFIND_BACKWARD) != 0)};
  return static_cast<UINT>(::SendMessageA(view, DVM_FINDTEXTW, flags, reinterpret_cast<LPARAM>(&request)));
}

// Whether the search found something, in the snapshot of the context.
bool RunSearch(const FrameContext& context, const LastSearch& search, bool backward) {
  const HWND view = context.dumpView;
  UINT first = 0;
  UINT last = 0;
  const bool selected = ::SendMessageA(view, DVM_GETSEL, reinterpret_cast<WPARAM>(&first),
                                       reinterpret_cast<LPARAM>(&last)) != 0;
  const auto caret = static_cast<std::uint32_t>(::SendMessageA(view, DVM_GETCARET, 0, 0));
  const SearchRange range = SearchRangeOf(backward, caret, selected, first, last, context.snapshotLength);
  if (range.empty) return false;

  const WPARAM flags = DVFIND_SELECT | (backward ? DVFIND_BACKWARD : 0);
  const UINT found =
      search.hex ? FindBytes(view, flags, search, range) : FindText(view, flags, search, range);
  if (found != kNoIndex) return true;
  // The view drops its selection when a selecting search finds nothing;
  // give the user back the bytes that were selected.
  if (selected) ::SendMessageA(view, DVM_SETSEL, last + 1, first);
  return false;
}

void SetFindStatus(HWND findDialog, const char* text) {
  if (findDialog != nullptr) ::SetDlgItemTextA(findDialog, IDC_FIND_STATUS, text);
}

std::u16string DialogItemText(HWND dialog, int id) {
  HWND item = ::GetDlgItem(dialog, id);
  std::u16string text(static_cast<std::size_t>(::GetWindowTextLengthW(item)) + 1, u'\0');
  text.resize(static_cast<std::size_t>(
      ::GetWindowTextW(item, reinterpret_cast<wchar_t*>(text.data()), static_cast<int>(text.size()))));
  return text;
}

// The frame runs the search with its context of this moment, as it runs
// Find Next and Find Previous from its menu.
void AskFrameToSearch(HWND dialog, bool backward) {
  const UINT command = backward ? ID_EDIT_FIND_PREVIOUS : ID_EDIT_FIND_NEXT;
  ::SendMessageA(::GetWindow(dialog, GW_OWNER), WM_COMMAND, MAKEWPARAM(command, 0), 0);
}

FrameState* OwnerStateOf(HWND dialog) { return FrameStateOf(::GetWindow(dialog, GW_OWNER)); }

// Find Next in the dialog: what was typed becomes the last search, which
// then runs in the dialog's direction. A mistake is shown in the dialog and
// searches nothing.
void OnFindNext(HWND dialog) {
  FrameState* state = OwnerStateOf(dialog);
  if (state == nullptr) return;
  LastSearch search;
  search.hex = ::IsDlgButtonChecked(dialog, IDC_FIND_HEX) == BST_CHECKED;
  search.text = DialogItemText(dialog, IDC_FIND_TEXT);
  if (search.hex) {
    std::string ascii;
    for (char16_t c : search.text) ascii += c < 0x80 ? static_cast<char>(c) : '?';
    HexBytes parsed = ParseHexBytes(ascii);
    if (parsed.error != HexError::None) {
      SetFindStatus(dialog, HexErrorText(parsed.error));
      return;
    }
    search.bytes = std::move(parsed.bytes);
  } else if (search.text.empty()) {
    SetFindStatus(dialog, kEmptyTextText);
    return;
  }
  state->lastSearch = std::move(search);
  state->haveLastSearch = true;
  AskFrameToSearch(dialog, ::IsDlgButtonChecked(dialog, IDC_FIND_UP) == BST_CHECKED);
}

void OnFindInitDialog(HWND dialog) {
  ::SendDlgItemMessageA(dialog, IDC_FIND_TEXT, EM_LIMITTEXT, 1024, 0);
  ::CheckRadioButton(dialog, IDC_FIND_UP, IDC_FIND_DOWN, IDC_FIND_DOWN);
  const FrameState* state = OwnerStateOf(dialog);
  if (state != nullptr && state->haveLastSearch) {
    ::SetDlgItemTextW(dialog, IDC_FIND_TEXT,
                      reinterpret_cast<const wchar_t*>(state->lastSearch.text.c_str()));
    ::CheckDlgButton(dialog, IDC_FIND_HEX, state->lastSearch.hex ? BST_CHECKED : BST_UNCHECKED);
  }
}

void FocusFindText(HWND dialog) {
  HWND edit = ::GetDlgItem(dialog, IDC_FIND_TEXT);
  ::SetFocus(edit);
  ::SendMessageA(edit, EM_SETSEL, 0, -1);
}

INT_PTR FindDialogMessage(HWND dialog, UINT message, WPARAM wParam) {
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
          if (HIWORD(wParam) == EN_CHANGE) SetFindStatus(dialog, "");
          return TRUE;
        default:
          return FALSE;
      }
    case WM_DESTROY:
      if (FrameState* state = OwnerStateOf(dialog)) state->findDialog = nullptr;
      return TRUE;
    default:
      return FALSE;
  }
}

INT_PTR CALLBACK FindDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  try {
    return FindDialogMessage(dialog, message, wParam);
  } catch (...) {
    // The text typed did not fit in memory: nothing is searched.
    ::MessageBeep(MB_ICONWARNING);
    return TRUE;
  }
}

}  // namespace

void ShowFindDialog(HWND frame, FrameState& state) {
  if (state.findDialog == nullptr) {
    const auto instance = reinterpret_cast<HINSTANCE>(::GetWindowLongPtrA(frame, GWLP_HINSTANCE));
    HWND dialog = ::CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_FIND), frame, FindDialogProc, 0);
    if (dialog == nullptr) return;
    state.findDialog = dialog;
    // Top right of the frame, where it hides the least of the dump.
    RECT frameRect = {};
    RECT dialogRect = {};
    ::GetWindowRect(frame, &frameRect);
    ::GetWindowRect(dialog, &dialogRect);
    const std::uint32_t dpi = WindowDpi(frame);
    ::SetWindowPos(
        dialog, nullptr,
        frameRect.right - (dialogRect.right - dialogRect.left) - ScaleForDpi(kFindRightMargin, dpi),
        frameRect.top + ScaleForDpi(kFindTopMargin, dpi), 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  ::ShowWindow(state.findDialog, SW_SHOW);
  ::SetActiveWindow(state.findDialog);
  FocusFindText(state.findDialog);
}

void RepeatSearch(const FrameContext& context, HWND findDialog, bool backward) {
  if (context.lastSearch == nullptr) return;
  if (RunSearch(context, *context.lastSearch, backward)) {
    SetFindStatus(findDialog, "");
    return;
  }
  SetFindStatus(findDialog, kNotFoundText);
  ::MessageBeep(MB_OK);
}

bool HandleFindDialogKey(const FrameState& state, const MSG& msg) {
  const HWND dialog = state.findDialog;
  if (dialog == nullptr || msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST) return false;
  // A character beyond ASCII is left to the loop that fetched it: only that
  // loop knows whether it is an ANSI or a Unicode character.
  if ((msg.message == WM_CHAR || msg.message == WM_DEADCHAR) && msg.wParam >= 0x80) return false;
  if (msg.hwnd != dialog && !::IsChild(dialog, msg.hwnd)) return false;
  if (msg.message == WM_KEYDOWN && msg.wParam == VK_F3) {
    AskFrameToSearch(dialog, (::GetKeyState(VK_SHIFT) & 0x8000) != 0);
    return true;
  }
  MSG copy = msg;
  return ::IsDialogMessageA(dialog, &copy) != FALSE;
}

void EndFind(FrameState& state) {
  if (state.findDialog != nullptr) ::DestroyWindow(state.findDialog);
  state.findDialog = nullptr;
  state.lastSearch = LastSearch();
  state.haveLastSearch = false;
}
