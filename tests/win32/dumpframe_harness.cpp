#include "dumpframe_harness.h"

#include <commctrl.h>

#include <atomic>
#include <cstring>
#include <set>
#include <thread>

#include "app/kelvane.h"
#include "app/resource.h"
#include "dumpframe/dumpframe.h"
#include "dumpframe/framelayout.h"
#include "dumpview/dumpview.h"
#include "formats/details_win32.h"
#include "testsupport.h"

namespace framehar {

namespace {

constexpr char kOwnerClass[] = "KelvaneFrameTestOwner";
constexpr int kFileNameBox = 0x47C;      // the save dialog's file-name combo
constexpr int kMessageBoxText = 0xFFFF;  // the text of a message box

LRESULT CALLBACK OwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND) RecordingOwner::Commands().push_back({wParam, lParam});
  return ::DefWindowProcA(window, message, wParam, lParam);
}

void RegisterOwnerClass() {
  static bool registered = false;
  if (registered) return;
  WNDCLASSEXA wc = {};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = OwnerProc;
  wc.hInstance = ::GetModuleHandleA(nullptr);
  wc.lpszClassName = kOwnerClass;
  registered = ::RegisterClassExA(&wc) != 0;
}

// The save dialog and message boxes: dialogs of this process that have an
// owner (an unowned one, the format browser, is none of the save's business).
std::vector<HWND> OwnVisibleDialogs() {
  std::vector<HWND> dialogs;
  for (HWND window : testsupport::OwnWindowsOfClass("#32770")) {
    if (::IsWindowVisible(window) && ::GetWindow(window, GW_OWNER) != nullptr) dialogs.push_back(window);
  }
  return dialogs;
}

SeenBox Describe(HWND box) {
  return SeenBox{::GetWindow(box, GW_OWNER), testsupport::WindowText(box),
                 testsupport::WindowText(::GetDlgItem(box, kMessageBoxText))};
}

// Answers whatever dialog the save brings up until the main thread's
// SendMessage returns; when something is not answered in time, cancels
// everything so that the test cannot hang in a modal loop.
void DriveSave(const SaveScript& script, SaveRun* run, const std::atomic<bool>* done) {
  std::set<HWND> handled;
  HWND saveDialog = nullptr;
  const DWORD start = ::GetTickCount();
  while (!done->load()) {
    if (::GetTickCount() - start > 20000) {
      run->timedOut = true;
      for (HWND w : OwnVisibleDialogs()) ::PostMessageA(w, WM_COMMAND, IDCANCEL, 0);
    }
    for (HWND w : OwnVisibleDialogs()) {
      if (handled.count(w) != 0) continue;
      handled.insert(w);
      if (saveDialog == nullptr && ::GetDlgItem(w, kFileNameBox) != nullptr) {
        saveDialog = w;
        run->dialogSeen = true;
        run->dialogTitle = testsupport::WindowText(w);
        if (script.cancel) {
          ::PostMessageA(w, WM_COMMAND, IDCANCEL, 0);
        } else {
          ::SetWindowTextA(::GetDlgItem(w, kFileNameBox), script.path.c_str());
          ::PostMessageA(w, WM_COMMAND, IDOK, 0);
        }
      } else if (saveDialog != nullptr && ::GetWindow(w, GW_OWNER) == saveDialog) {
        run->prompts.push_back(Describe(w));
        ::PostMessageA(w, WM_COMMAND, script.promptAnswer, 0);
      } else {
        run->messages.push_back(Describe(w));
        ::PostMessageA(w, WM_COMMAND, IDOK, 0);
      }
    }
    ::Sleep(20);
  }
}

}  // namespace

RecordingOwner::RecordingOwner() {
  RegisterOwnerClass();
  Commands().clear();
  window_ = ::CreateWindowExA(0, kOwnerClass, "owner", WS_OVERLAPPED, 0, 0, 100, 100, nullptr, nullptr,
                              ::GetModuleHandleA(nullptr), nullptr);
}

RecordingOwner::~RecordingOwner() {
  ::DestroyWindow(window_);
  Commands().clear();
}

std::vector<RecordingOwner::Command>& RecordingOwner::Commands() {
  static std::vector<Command> commands;
  return commands;
}

void FrameTest::SetUp() { owner_ = std::make_unique<RecordingOwner>(); }

void FrameTest::TearDown() {
  if (frame_ != nullptr) ::DestroyWindow(frame_);
  frame_ = nullptr;
  owner_.reset();
  testsupport::ClearClipboard();
  testsupport::PumpMessages(10);
}

HWND CreateFrame(HWND owner, std::uint32_t format, const char* statusText, bool waitForRead) {
  DumpCreateParams params = {owner, format, statusText};
  HWND frame = ::CreateWindowExA(0, DUMPFRAME_CLASS_NAME, "Binary dump",
                                 WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN, 40, 300, 650, 300,
                                 nullptr, nullptr, ::GetModuleHandleA(nullptr), &params);
  if (frame != nullptr && waitForRead) {
    testsupport::WaitUntil([frame] { return StatusText(StatusBarOf(frame)).rfind("Waiting for ", 0) != 0; });
  }
  return frame;
}

HWND StatusBarOf(HWND frame) { return ::FindWindowExA(frame, nullptr, STATUSCLASSNAMEA, nullptr); }

HWND DumpViewOf(HWND frame) { return ::FindWindowExA(frame, nullptr, DUMPVIEW_CLASS_NAME, nullptr); }

HWND PaneOf(HWND frame) { return ::FindWindowExA(frame, nullptr, DETAILSPANE_CLASS_NAME, nullptr); }

std::string StatusText(HWND statusBar) {
  const LRESULT length = ::SendMessageA(statusBar, SB_GETTEXTLENGTHA, 0, 0);
  std::string text(static_cast<std::size_t>(LOWORD(length)) + 1, '\0');
  ::SendMessageA(statusBar, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(text.data()));
  text.resize(std::strlen(text.c_str()));
  return text;
}

RECT ChildRect(HWND parent, HWND child) {
  RECT r = {};
  ::GetWindowRect(child, &r);
  ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

RECT ClientRect(HWND window) {
  RECT r = {};
  ::GetClientRect(window, &r);
  return r;
}

std::vector<int> CheckedEncodingPositions(HWND frame) {
  std::vector<int> checked;
  HMENU encodings = ::GetSubMenu(::GetSubMenu(::GetMenu(frame), kViewMenuPosition), kEncodingMenuPosition);
  const int count = ::GetMenuItemCount(encodings);
  for (int i = 0; i < count; ++i) {
    MENUITEMINFOA info = {};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_STATE;
    if (::GetMenuItemInfoA(encodings, static_cast<UINT>(i), TRUE, &info) && (info.fState & MFS_CHECKED)) {
      checked.push_back(i);
    }
  }
  return checked;
}

SaveRun RunSave(HWND frame, const SaveScript& script) {
  SaveRun run;
  std::atomic<bool> done{false};
  std::thread driver(DriveSave, script, &run, &done);
  ::SendMessageA(frame, WM_COMMAND, MAKEWPARAM(ID_SAVE, 0), 0);
  done = true;
  driver.join();
  return run;
}

void Press(const Chord& chord) {
  std::vector<INPUT> input;
  auto key = [&input](WORD vk, bool up) {
    INPUT i = {};
    i.type = INPUT_KEYBOARD;
    i.ki.wVk = vk;
    i.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    input.push_back(i);
  };
  if (chord.ctrl) key(VK_CONTROL, false);
  if (chord.shift) key(VK_SHIFT, false);
  if (chord.alt) key(VK_MENU, false);
  key(chord.key, false);
  key(chord.key, true);
  if (chord.alt) key(VK_MENU, true);
  if (chord.shift) key(VK_SHIFT, true);
  if (chord.ctrl) key(VK_CONTROL, true);
  ::SendInput(static_cast<UINT>(input.size()), input.data(), sizeof(INPUT));
}

void TypeText(const std::string& text) {
  for (char c : text) {
    const SHORT scan = ::VkKeyScanA(c);
    Press(Chord{static_cast<WORD>(LOBYTE(scan)), false, (HIBYTE(scan) & 1) != 0, false});
  }
}

bool FocusForTyping(HWND window, HWND focus) {
  ::SetForegroundWindow(window);
  ::SetFocus(focus != nullptr ? focus : window);
  testsupport::PumpMessages(30);
  return ::GetForegroundWindow() == window;
}

HWND FindOwnedDialog(HWND owner, const char* title) {
  for (HWND window : testsupport::OwnWindowsOfClass("#32770")) {
    if (::IsWindowVisible(window) && ::GetWindow(window, GW_OWNER) == owner &&
        (title == nullptr || testsupport::WindowText(window) == title)) {
      return window;
    }
  }
  return nullptr;
}

bool FileExists(const std::string& path) {
  return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void RemoveFile(const std::string& path) { ::DeleteFileA(path.c_str()); }

}  // namespace framehar
