#include "app/clipboardcopy_win32.h"

HGLOBAL AllocateLockedBlock(std::size_t size, void** memory) {
  HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
  if (block == nullptr) return nullptr;
  *memory = ::GlobalLock(block);
  if (*memory == nullptr) {
    ::GlobalFree(block);
    return nullptr;
  }
  return block;
}

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
