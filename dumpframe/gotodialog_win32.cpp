// Go To in the dump window: a modal dialog asks for an offset (hexadecimal,
// or decimal after "#"), then the caret moves there and its row comes into
// view, in the snapshot that is there when the dialog closes. An offset past
// the data moves to the end and says so in a box.
#include <cstdio>
#include <string>

#include "app/resource.h"
#include "dumpframe/editcommands.h"
#include "dumpframe/editcommands_win32.h"
#include "dumpview/dumpview.h"

namespace {

constexpr const char* kBadOffsetText = "Type a hex offset (1F0, 0x1F0) or # and a decimal one (#496).";

struct GoToRequest {
  std::uint32_t caret;   // shown when the dialog opens
  std::uint64_t offset;  // what the user asked for
};

std::string DialogItemText(HWND dialog, int id) {
  char text[64] = {};
  ::GetDlgItemTextA(dialog, id, text, sizeof(text));
  return text;
}

INT_PTR CALLBACK GoToDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: {
      ::SetWindowLongPtrA(dialog, DWLP_USER, lParam);
      const auto* request = reinterpret_cast<const GoToRequest*>(lParam);
      char text[16];
      std::snprintf(text, sizeof(text), "0x%X", request->caret);
      HWND edit = ::GetDlgItem(dialog, IDC_GOTO_OFFSET);
      ::SendMessageA(edit, EM_LIMITTEXT, 40, 0);
      ::SetWindowTextA(edit, text);
      ::SetFocus(edit);
      ::SendMessageA(edit, EM_SETSEL, 0, -1);
      return FALSE;  // the focus is set
    }
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK) {
        const ParsedOffset parsed = ParseOffset(DialogItemText(dialog, IDC_GOTO_OFFSET));
        if (!parsed.ok) {
          ::SetDlgItemTextA(dialog, IDC_GOTO_STATUS, kBadOffsetText);
          ::MessageBeep(MB_OK);
          return TRUE;
        }
        reinterpret_cast<GoToRequest*>(::GetWindowLongPtrA(dialog, DWLP_USER))->offset = parsed.value;
        ::EndDialog(dialog, IDOK);
        return TRUE;
      }
      if (LOWORD(wParam) == IDCANCEL) {
        ::EndDialog(dialog, IDCANCEL);
        return TRUE;
      }
      return FALSE;
    default:
      return FALSE;
  }
}

}  // namespace

bool AskGoToOffset(HWND frame, std::uint32_t caret, std::uint64_t* offset) {
  GoToRequest request = {caret, 0};
  const auto instance = reinterpret_cast<HINSTANCE>(::GetWindowLongPtrA(frame, GWLP_HINSTANCE));
  if (::DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_GOTO), frame, GoToDialogProc,
                        reinterpret_cast<LPARAM>(&request)) != IDOK) {
    return false;
  }
  *offset = request.offset;
  return true;
}

void GoToOffset(const FrameContext& context, std::uint64_t offset) {
  const HWND view = context.dumpView;
  const GoToTarget target = GoToTargetOf(offset, context.snapshotLength);
  // The caret moves without selecting: a selection is first collapsed onto
  // the target, since moving the caret alone would stretch it.
  if (context.hasSelection) ::SendMessageA(view, DVM_SETSEL, target.caret, target.caret);
  ::SendMessageA(view, DVM_SETCARET, target.caret, 0);
  ::SetFocus(view);
  if (target.pastEnd) {
    char text[96];
    std::snprintf(text, sizeof(text),
                  "The offset lies past the end of the data: the caret is at the end, 0x%X.", target.caret);
    ::MessageBoxA(context.frame, text, nullptr, MB_ICONINFORMATION | MB_OK);
  }
}
