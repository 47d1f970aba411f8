// The list views' subclass, their context menu and the copy command of the
// format browser: the name of a listed format goes to the clipboard as
// CF_TEXT.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "app/clipboardcopy_win32.h"
#include "app/resource.h"
#include "browser/formatbrowser_win32.h"
#include "browser/namecopy.h"

WNDPROC g_listBaseProc = nullptr;

namespace {

constexpr WPARAM kCtrlC = 3;  // the character Ctrl+C types

bool IsSystemLeadByte(unsigned char byte) { return ::IsDBCSLeadByte(byte) != FALSE; }

// ------------------------------------------------------------------- subclass

// WM_COMMAND to the list's dialog, as if from the list control itself.
void SendCommandToParent(HWND list, int command) {
  const int id = static_cast<int>(::GetWindowLongPtrA(list, GWLP_ID));
  ::SendMessageA(::GetParent(list), WM_COMMAND, MAKEWPARAM(command, id), reinterpret_cast<LPARAM>(list));
}

// ----------------------------------------------------------------------- copy

// The list that has the keyboard focus, or none when the focus is elsewhere.
HWND FocusedList() {
  HWND focus = ::GetFocus();
  if (focus != nullptr && (focus == g_registeredList || focus == g_availableList)) return focus;
  return nullptr;
}

// A movable, zero-initialised block holding text and its terminating zero;
// none (after telling the user) when it can't be had.
HGLOBAL TextBlock(HWND dialog, const std::string& text) {
  void* bytes = nullptr;
  HGLOBAL block = AllocateLockedBlock(text.size() + 1, &bytes);
  if (block == nullptr) {
    ShowCopyWarning(dialog, kCopyAllocateErrorText);
    return nullptr;
  }
  std::memcpy(bytes, text.c_str(), text.size() + 1);
  ::GlobalUnlock(block);
  return block;
}

// --------------------------------------------------------------- context menu

// Signed, as screen points left of or above the primary monitor are negative.
POINT PointOf(LPARAM point) { return {static_cast<short>(LOWORD(point)), static_cast<short>(HIWORD(point))}; }

// Asked for from the keyboard, the menu opens at the selected item: its
// label's left edge and bottom, scrolled into view and kept inside the list.
POINT PointBesideItem(HWND list, int item) {
  ::SendMessageA(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(item), FALSE);
  RECT itemRect = {};
  itemRect.left = LVIR_LABEL;
  ::SendMessageA(list, LVM_GETITEMRECT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&itemRect));
  RECT client = {};
  ::GetClientRect(list, &client);
  POINT at = {std::clamp(itemRect.left, client.left, client.right - 1),
              std::clamp(itemRect.bottom, client.top, client.bottom - 1)};
  ::ClientToScreen(list, &at);
  return at;
}

}  // namespace

LRESULT CALLBACK ListSubclassProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case LSM_SETBASEPROC:
      g_listBaseProc = reinterpret_cast<WNDPROC>(wParam);
      return 0;
    case WM_CHAR:
      if (wParam == kCtrlC) SendCommandToParent(list, ID_COPY);
      break;
    case WM_LBUTTONDBLCLK:
      if (::IsDlgButtonChecked(::GetParent(list), IDC_DUMP_TOGGLE) != BST_CHECKED) {
        SendCommandToParent(list, IDC_DUMP_TOGGLE);
      }
      break;
    default:
      break;
  }
  return ::CallWindowProcA(g_listBaseProc, list, message, wParam, lParam);
}

void SubclassLists() {
  // Both lists are of one class, so list 1001's procedure serves both.
  ListSubclassProc(nullptr, LSM_SETBASEPROC,
                   static_cast<WPARAM>(::GetWindowLongPtrA(g_registeredList, GWLP_WNDPROC)), 0);
  const auto subclass = reinterpret_cast<LONG_PTR>(&ListSubclassProc);
  ::SetWindowLongPtrA(g_registeredList, GWLP_WNDPROC, subclass);
  ::SetWindowLongPtrA(g_availableList, GWLP_WNDPROC, subclass);
}

void CopySelectedFormatName(HWND dialog) {
  CloseDumpFrame(dialog);
  HWND list = FocusedList();
  if (list == nullptr) return;
  const int item = SelectedListItem(list);
  if (item == -1) return;
  const std::string name =
      CopiedFormatName(ListItemColumn1Text(list, item), list == g_availableList, IsSystemLeadByte);
  HGLOBAL block = TextBlock(dialog, name);
  if (block == nullptr) return;
  if (const char* failure = PlaceBlockOnClipboard(dialog, CF_TEXT, block)) {
    ::GlobalFree(block);
    ShowCopyWarning(dialog, failure);
  }
}

void ShowListContextMenu(HWND dialog, HWND clicked, LPARAM point) {
  if (clicked == nullptr || (clicked != g_registeredList && clicked != g_availableList)) return;
  const int item = SelectedListItem(clicked);
  if (item == -1) return;
  POINT at = PointOf(point);
  if (at.x == -1 && at.y == -1) at = PointBesideItem(clicked, item);

  HINSTANCE instance = reinterpret_cast<HINSTANCE>(::GetWindowLongPtrA(dialog, GWLP_HINSTANCE));
  HMENU menu = ::LoadMenuA(instance, MAKEINTRESOURCEA(IDR_LIST_MENU));
  if (menu == nullptr) return;
  // A chosen Copy comes back to the dialog as WM_COMMAND ID_COPY.
  ::TrackPopupMenu(::GetSubMenu(menu, 0), 0, at.x, at.y, 0, dialog, nullptr);
  ::DestroyMenu(menu);
}

std::uint32_t FindCharDbcsA(const char* text, int character, std::uint32_t start) {
  const CharSearchResult result = FindCharDbcs(text, character, start, IsSystemLeadByte);
  ::SetLastError(result.lastError);
  return result.position;
}
