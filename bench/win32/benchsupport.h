// Timing and clipboard helpers shared by the timing harnesses run under
// Windows. Header-only: each harness is a program of its own.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <psapi.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/kelvane.h"
#include "app/privateformats.h"
#include "dumpframe/dumpframe.h"
#include "dumpview/dumpview.h"
#include "formats/details_win32.h"
#include "snapshot/snapshot.h"

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

// Empties the clipboard and places one "BinaryData" block of blockBytes
// whose length word covers the rest of it, filled in place.
inline bool PutBinaryData(std::uint32_t blockBytes) {
  HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, blockBytes);
  if (block == nullptr) return false;
  auto* bytes = static_cast<std::uint8_t*>(::GlobalLock(block));
  const std::uint32_t payload = blockBytes - 4;
  std::memcpy(bytes, &payload, 4);
  for (std::uint32_t i = 4; i < blockBytes; ++i) bytes[i] = static_cast<std::uint8_t>(i * 31);
  ::GlobalUnlock(block);
  if (!OpenClipboardRetry()) {
    ::GlobalFree(block);
    return false;
  }
  ::EmptyClipboard();
  const bool ok = ::SetClipboardData(g_binaryDataFormat, block) != nullptr;
  ::CloseClipboard();
  if (!ok) ::GlobalFree(block);
  return ok;
}

inline PROCESS_MEMORY_COUNTERS MemoryCounters() {
  PROCESS_MEMORY_COUNTERS counters = {};
  counters.cb = sizeof(counters);
  ::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof(counters));
  return counters;
}

// One read (read(&length) answers the snapshot, or none on failure), and how
// far the peaks rose above what the process had before it, against the
// platform's block plus the snapshot plus 16 MiB. Run it in a fresh process
// (RunThisProgramAgain), whose peaks no earlier work has raised.
template <typename Read>
int MeasurePeakOfRead(const char* what, Read read) {
  constexpr double kMiB = 1024.0 * 1024.0;
  const PROCESS_MEMORY_COUNTERS before = MemoryCounters();
  std::uint32_t length = 0;
  std::uint8_t* snapshot = read(&length);
  const PROCESS_MEMORY_COUNTERS after = MemoryCounters();
  if (snapshot == nullptr) return 1;
  FreeSnapshot(snapshot);
  const double working = static_cast<double>(after.PeakWorkingSetSize - before.WorkingSetSize) / kMiB;
  const double pagefile = static_cast<double>(after.PeakPagefileUsage - before.PagefileUsage) / kMiB;
  const double limit = 2.0 * length / kMiB + 16.0;
  std::printf(
      "%s: peak during one read, above the process before it: working set %.1f MiB, "
      "pagefile %.1f MiB; block + snapshot + 16 MiB = %.1f MiB: %s\n",
      what, working, pagefile, limit, std::max(working, pagefile) <= limit ? "within" : "OVER");
  std::fflush(stdout);
  return 0;
}

// Runs this program again with the arguments (a fresh process for a peak
// measurement) and waits for it.
inline void RunThisProgramAgain(const std::string& arguments) {
  char path[MAX_PATH] = {};
  ::GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string command = std::string("\"") + path + "\" " + arguments;
  STARTUPINFOA startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process = {};
  if (!::CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                        &process)) {
    std::printf("could not start %s %s\n", path, arguments.c_str());
    return;
  }
  ::WaitForSingleObject(process.hProcess, INFINITE);
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
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
