#include "app/clipboardcopy_win32.h"

const char* PlaceBlockOnClipboard(HWND owner, UINT format, HGLOBAL block) {
  if (!::OpenClipboard(owner)) return "Clipboard Open Error!";
  const char* failure = nullptr;
  if (!::EmptyClipboard()) {
    failure = "Clipboard Clear Error!";
  } else if (::SetClipboardData(format, block) == nullptr) {
    failure = "Clipboard Set Error!";
  }
  ::CloseClipboard();
  return failure;
}

void ShowCopyWarning(HWND owner, const char* text) {
  ::MessageBoxA(owner, text, nullptr, MB_ICONWARNING | MB_OK);
}
