#include "dumpframe/framekeys_win32.h"

#include <cstring>

#include "app/kelvane.h"
#include "dumpframe/editcommands.h"
#include "dumpframe/editcommands_win32.h"
#include "dumpframe/viewcommands.h"

namespace {

bool KeyIsDown(int key) { return (::GetKeyState(key) & 0x8000) != 0; }

bool IsFrame(HWND window) {
  char name[sizeof(DUMPFRAME_CLASS_NAME) + 1] = "";
  return window != nullptr && ::GetClassNameA(window, name, sizeof(name)) != 0 &&
         std::strcmp(name, DUMPFRAME_CLASS_NAME) == 0;
}

// A shortcut typed into one of the frame's children goes to the frame
// instead: the message keeps its key and is dispatched there. So does Esc
// while a read waits: it cancels the wait.
bool SendShortcutToFrame(HWND frame, const FrameState& state, MSG& msg) {
  if (msg.message != WM_KEYDOWN || msg.hwnd == frame) return false;
  const bool cancelsWait = msg.wParam == VK_ESCAPE && state.pendingRead.ticket != kNoRead;
  if (!cancelsWait && FrameShortcutOf(msg.wParam, msg.hwnd == state.pane) == 0) return false;
  msg.hwnd = frame;
  return true;
}

// Makes a message that a dialog handled harmless for the loop that fetched
// it: WM_NULL is dispatched and does nothing.
void Swallow(MSG& msg) {
  msg.message = WM_NULL;
  msg.wParam = 0;
  msg.lParam = 0;
}

void RouteKey(MSG& msg) {
  const HWND root = ::GetAncestor(msg.hwnd, GA_ROOT);
  if (IsFrame(root)) {
    if (const FrameState* state = FrameStateOf(root)) SendShortcutToFrame(root, *state, msg);
    return;
  }
  const HWND owner = root != nullptr ? ::GetWindow(root, GW_OWNER) : nullptr;
  if (!IsFrame(owner)) return;
  const FrameState* state = FrameStateOf(owner);
  if (state != nullptr && state->findDialog == root && HandleFindDialogKey(*state, msg)) Swallow(msg);
}

LRESULT CALLBACK FrameKeyboardHook(int code, WPARAM removal, LPARAM lParam) {
  auto* msg = reinterpret_cast<MSG*>(lParam);
  if (code == HC_ACTION && removal == PM_REMOVE && msg->hwnd != nullptr && msg->message >= WM_KEYFIRST &&
      msg->message <= WM_KEYLAST) {
    // Nothing may leave a hook for the system either.
    try {
      RouteKey(*msg);
    } catch (...) {
      Swallow(*msg);
    }
  }
  // The system ignores the handle here: the hook is found by the thread.
  return ::CallNextHookEx(nullptr, code, removal, lParam);
}

}  // namespace

void StartFrameKeys(FrameState& state) {
  state.keyboardHook = ::SetWindowsHookExA(WH_GETMESSAGE, FrameKeyboardHook, nullptr, ::GetCurrentThreadId());
}

void StopFrameKeys(FrameState& state) {
  if (state.keyboardHook != nullptr) ::UnhookWindowsHookEx(state.keyboardHook);
  state.keyboardHook = nullptr;
}

std::uint32_t FrameShortcutOf(WPARAM key, bool inPane) {
  const auto virtualKey = static_cast<std::uint32_t>(key);
  const bool ctrl = KeyIsDown(VK_CONTROL);
  const bool shift = KeyIsDown(VK_SHIFT);
  const bool alt = KeyIsDown(VK_MENU);
  std::uint32_t command = EditCommandOfKey(virtualKey, ctrl, shift, alt);
  if (command == 0) command = ViewCommandOfKey(virtualKey, ctrl, shift, alt);
  if (inPane && PaneKeepsShortcut(command)) return 0;
  return command;
}
