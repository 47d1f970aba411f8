// A real dump view child in a real top-level parent, for the Win32 tests of
// the control, and access to the view's record.
#pragma once

#include <windows.h>

#include <cstdint>

#include "dumpview/dumpview.h"
#include "dumpview/dumpviewstate.h"

namespace dumpviewtest {

// A dump view child, clientWidth x clientHeight pixels before any scroll bar
// is shown, in a visible top-level parent that all hosts share. fontParam is
// the view's creation parameter. Destroying the host destroys the view.
class ViewHost {
 public:
  ViewHost(int clientWidth, int clientHeight, std::uintptr_t fontParam = 16, DWORD extraStyle = 0);
  ~ViewHost();
  ViewHost(const ViewHost&) = delete;
  ViewHost& operator=(const ViewHost&) = delete;

  HWND parent() const { return parent_; }
  HWND view() const { return view_; }

  // The view's record (through its window extra slot).
  DumpViewState& state() const;

  LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
    return ::SendMessageA(view_, message, wParam, lParam);
  }
  void SetData(const void* bytes, std::uint32_t count) const {
    Send(DVM_SETDATA, reinterpret_cast<WPARAM>(bytes), static_cast<LPARAM>(count));
  }
  // Resizes the view's window so that its client area, scroll bars aside, is
  // the given size; the scroll bars then shown take their room from it.
  void ResizeView(int width, int height) const;

  SCROLLINFO ScrollInfo(int bar) const;
  RECT Client() const;

 private:
  HWND parent_ = nullptr;
  HWND view_ = nullptr;
};

}  // namespace dumpviewtest
