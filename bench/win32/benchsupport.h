// Timing and clipboard helpers shared by the timing harnesses run under
// Windows. Header-only: each harness is a program of its own.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <vector>

#include "app/kelvane.h"
#include "dumpframe/dumpframe.h"
#include "dumpview/dumpview.h"
#include "formats/details_win32.h"

namespace benchsupport {

// Registers the program's two window classes and initialises the common
// controls, as start-up does; the module's instance.
inline HINSTANCE RegisterKelvaneWindows() {
  HINSTANCE instance = ::GetModuleHandleA(nullptr);
  RegisterDumpFrameClass(instance);
  RegisterDumpViewClass(instance);
  RegisterPictureViewClass(instance);
  RegisterDetailsPaneClass(instance);
  ::InitCommonControls();
  return instance;
}

// Milliseconds from the performance counter.
inline double Now() {
  static const LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    ::QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER counter;
  ::QueryPerformanceCounter(&counter);
  return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

inline double Median(std::vector<double> samples) {
  std::sort(samples.begin(), samples.end());
  const std::size_t n = samples.size();
  return n % 2 != 0 ? samples[n / 2] : (samples[n / 2 - 1] + samples[n / 2]) / 2.0;
}

// Dispatches the messages that are waiting, without blocking.
inline void PumpPending() {
  MSG msg;
  while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
  }
}

// OpenClipboard, retried for up to two seconds: Wine's clipboard manager may
// hold the clipboard for a moment.
inline bool OpenClipboardRetry(HWND owner = nullptr) {
  for (int attempt = 0; attempt < 200; ++attempt) {
    if (::OpenClipboard(owner)) return true;
    ::Sleep(10);
  }
  return false;
}

// Places a copy of bytes on the open clipboard as format.
inline bool PutBlock(UINT format, const void* bytes, std::size_t count) {
  HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, count);
  if (block == nullptr) return false;
  void* target = ::GlobalLock(block);
  if (target == nullptr) {
    ::GlobalFree(block);
    return false;
  }
  std::memcpy(target, bytes, count);
  ::GlobalUnlock(block);
  if (::SetClipboardData(format, block) == nullptr) {
    ::GlobalFree(block);
    return false;
  }
  return true;
}

// Empties the clipboard and places one block on it: the clipboard then
// holds format alone (and what the system makes of it).
inline bool PutAlone(UINT format, const void* bytes, std::size_t count) {
  if (!OpenClipboardRetry()) return false;
  ::EmptyClipboard();
  const bool ok = PutBlock(format, bytes, count);
  ::CloseClipboard();
  return ok;
}

// One timed full repaint of a window, erase and paint: milliseconds.
inline double TimeRepaint(HWND window) {
  const double start = Now();
  ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  ::GdiFlush();
  const double elapsed = Now() - start;
  PumpPending();
  return elapsed;
}

// A "Binary dump" window over one block put alone on the clipboard, with its
// dump view and Details pane; all none, said on the output, when anything
// failed.
struct DumpWindow {
  HWND frame;
  HWND view;
  HWND pane;
};
inline DumpWindow OpenDumpWindow(HINSTANCE instance, UINT format, const char* listText, const void* bytes,
                                 std::size_t count, int width, int height) {
  DumpCreateParams params = {nullptr, format, listText};
  HWND frame = PutAlone(format, bytes, count)
                   ? ::CreateWindowExA(0, DUMPFRAME_CLASS_NAME, "Binary dump",
                                       WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, width,
                                       height, nullptr, nullptr, instance, &params)
                   : nullptr;
  HWND view = ::FindWindowExA(frame, nullptr, DUMPVIEW_CLASS_NAME, nullptr);
  HWND pane = ::FindWindowExA(frame, nullptr, DETAILSPANE_CLASS_NAME, nullptr);
  if (view == nullptr || pane == nullptr) {
    std::printf("no dump window with its Details pane\n");
    return DumpWindow{nullptr, nullptr, nullptr};
  }
  return DumpWindow{frame, view, pane};
}

}  // namespace benchsupport
