// The clipboard watch's items in the format browser's system menu, and the
// dialog's shortcuts for them. A modal dialog's message loop hands every
// message to the thread's message filter first, so one hook sees a key
// whichever control of the dialog has the focus.
#include <windows.h>

#include "clipwatch/clipwatch_win32.h"
#include "clipwatch/watch_win32.h"
#include "clipwatch/watchcommands.h"

namespace {

HWND g_dialog = nullptr;
HHOOK g_shortcutHook = nullptr;

bool KeyIsDown(int key) { return (::GetKeyState(key) & 0x8000) != 0; }

bool IsDialogKey(const MSG& message) {
  return message.message == WM_KEYDOWN && g_dialog != nullptr &&
         (message.hwnd == g_dialog || ::IsChild(g_dialog, message.hwnd));
}

LRESULT CALLBACK ShortcutFilterProc(int code, WPARAM wParam, LPARAM lParam) {
  if (code == MSGF_DIALOGBOX && lParam != 0) {
    const MSG& message = *reinterpret_cast<const MSG*>(lParam);
    if (IsDialogKey(message)) {
      const std::uint32_t command =
          SysCommandOfKey(static_cast<std::uint32_t>(message.wParam), KeyIsDown(VK_CONTROL),
                          KeyIsDown(VK_SHIFT), KeyIsDown(VK_MENU));
      if (command != 0) {
        // The same way in as the menu's: one path for every command.
        ::SendMessageA(g_dialog, WM_SYSCOMMAND, command, 0);
        return TRUE;
      }
    }
  }
  return ::CallNextHookEx(g_shortcutHook, code, wParam, lParam);
}

// A separator, then one item per command; Follow's starts unchecked.
void AddSystemMenuItems(HWND dialog) {
  HMENU menu = ::GetSystemMenu(dialog, FALSE);
  if (menu == nullptr) return;
  ::AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
  for (const WatchCommand& entry : WatchCommands()) {
    ::AppendMenuA(menu, MF_STRING | MF_UNCHECKED, entry.command, entry.menuText);
  }
}

}  // namespace

void StartClipboardWatch(HWND dialog) {
  g_dialog = dialog;
  ResetFollow(dialog);
  AddSystemMenuItems(dialog);
  if (g_shortcutHook == nullptr) {
    g_shortcutHook = ::SetWindowsHookExA(WH_MSGFILTER, ShortcutFilterProc, nullptr, ::GetCurrentThreadId());
  }
  StartClipboardListener();
}

void StopClipboardWatch() {
  CloseClipboardLogWindow();
  StopClipboardListener();
  if (g_shortcutHook != nullptr) ::UnhookWindowsHookEx(g_shortcutHook);
  g_shortcutHook = nullptr;
  ResetFollow(nullptr);
  g_dialog = nullptr;
}

void RunWatchCommand(HWND dialog, std::uint32_t command) {
  if (!IsKelvaneSysCommand(command)) return;
  try {
    switch (command & 0xFFF0u) {
      case kFollowCommand:
        SetFollow(!FollowOn());
        break;
      case kClipboardLogCommand:
        OpenClipboardLogWindow(dialog);
        break;
      default:
        break;
    }
  } catch (...) {
    // Only allocations can fail on the way; the command then did nothing.
    ::MessageBoxA(dialog, "Not enough memory for the clipboard watch.", nullptr, MB_ICONWARNING | MB_OK);
  }
}
