#include "dumpview_host.h"

#include "dumpview/viewport_win32.h"
#include "testsupport.h"

namespace dumpviewtest {

namespace {

const char kParentClass[] = "KelvaneDumpViewTestParent";

LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return ::DefWindowProcA(window, message, wParam, lParam);
}

void RegisterParentClass() {
  static bool registered = false;
  if (registered) return;
  WNDCLASSEXA wc = {};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = ParentProc;
  wc.hInstance = ::GetModuleHandleA(nullptr);
  wc.hCursor = ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
  wc.lpszClassName = kParentClass;
  registered = ::RegisterClassExA(&wc) != 0;
}

// One visible parent for the whole test run: without a window manager Wine
// waits two seconds for every top-level window that is hidden or destroyed,
// while children come and go at once.
HWND SharedParent() {
  static HWND parent = nullptr;
  if (parent != nullptr && ::IsWindow(parent)) return parent;
  RegisterParentClass();
  parent = ::CreateWindowExA(0, kParentClass, "dump view test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20,
                             1000, 800, nullptr, nullptr, ::GetModuleHandleA(nullptr), nullptr);
  return parent;
}

}  // namespace

ViewHost::ViewHost(int clientWidth, int clientHeight, std::uintptr_t fontParam, DWORD extraStyle) {
  parent_ = SharedParent();
  view_ = ::CreateWindowExA(0, DUMPVIEW_CLASS_NAME, "", WS_CHILD | WS_VISIBLE | extraStyle, 0, 0, clientWidth,
                            clientHeight, parent_, nullptr, ::GetModuleHandleA(nullptr),
                            reinterpret_cast<LPVOID>(fontParam));
  testsupport::PumpMessages(5);
}

ViewHost::~ViewHost() {
  if (view_ != nullptr && ::IsWindow(view_)) ::DestroyWindow(view_);
  testsupport::PumpMessages(5);
}

DumpViewState& ViewHost::state() const { return *DumpViewStateOf(view_); }

void ViewHost::ResizeView(int width, int height) const {
  ::SetWindowPos(view_, nullptr, 0, 0, width, height, SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
}

SCROLLINFO ViewHost::ScrollInfo(int bar) const {
  SCROLLINFO info = {};
  info.cbSize = sizeof(info);
  info.fMask = SIF_ALL;
  ::GetScrollInfo(view_, bar, &info);
  return info;
}

RECT ViewHost::Client() const {
  RECT client = {};
  ::GetClientRect(view_, &client);
  return client;
}

}  // namespace dumpviewtest
