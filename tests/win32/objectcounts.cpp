#include "objectcounts.h"

#include <windows.h>
#include <psapi.h>

#include <algorithm>

namespace testsupport {

namespace {

BOOL CALLBACK CountChildren(HWND, LPARAM count) {
  ++*reinterpret_cast<std::uint32_t*>(count);
  return TRUE;
}

BOOL CALLBACK CountOwnTopLevel(HWND window, LPARAM count) {
  DWORD pid = 0;
  ::GetWindowThreadProcessId(window, &pid);
  if (pid == ::GetCurrentProcessId()) {
    ++*reinterpret_cast<std::uint32_t*>(count);
    ::EnumChildWindows(window, CountChildren, count);
  }
  return TRUE;
}

}  // namespace

// Under Wine every handle number is asked for its object type (a handle
// without its upper bits names whatever object has that slot).
std::uint32_t GdiObjects() {
  const DWORD counted = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
  if (counted != 0) return counted;
  std::uint32_t live = 0;
  for (ULONG_PTR slot = 0x10; slot <= 0xFFFF; ++slot) {
    if (::GetObjectType(reinterpret_cast<HGDIOBJ>(slot)) != 0) ++live;
  }
  return live;
}

// Under Wine the process's windows (top-level, children and message-only)
// and menus.
std::uint32_t UserObjects() {
  const DWORD counted = ::GetGuiResources(::GetCurrentProcess(), GR_USEROBJECTS);
  if (counted != 0) return counted;
  std::uint32_t live = 0;
  ::EnumWindows(CountOwnTopLevel, reinterpret_cast<LPARAM>(&live));
  for (HWND w = ::FindWindowExA(HWND_MESSAGE, nullptr, nullptr, nullptr); w != nullptr;
       w = ::FindWindowExA(HWND_MESSAGE, w, nullptr, nullptr)) {
    CountOwnTopLevel(w, reinterpret_cast<LPARAM>(&live));
  }
  for (ULONG_PTR slot = 0x20; slot <= 0xFFFF; slot += 2) {
    if (::IsMenu(reinterpret_cast<HMENU>(slot))) ++live;
  }
  return live;
}

std::string GdiObjectKinds() {
  if (::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS) != 0) return {};
  static const char* const kNames[] = {"?",
                                       "pens",
                                       "brushes",
                                       "DCs",
                                       "metafile DCs",
                                       "palettes",
                                       "fonts",
                                       "bitmaps",
                                       "regions",
                                       "metafiles",
                                       "memory DCs",
                                       "extended pens",
                                       "enhanced metafile DCs",
                                       "enhanced metafiles",
                                       "colour spaces"};
  std::uint32_t counts[sizeof(kNames) / sizeof(kNames[0])] = {};
  for (ULONG_PTR slot = 0x10; slot <= 0xFFFF; ++slot) {
    const DWORD type = ::GetObjectType(reinterpret_cast<HGDIOBJ>(slot));
    if (type != 0) ++counts[type < sizeof(kNames) / sizeof(kNames[0]) ? type : 0];
  }
  std::string kinds;
  for (std::size_t type = 0; type < sizeof(kNames) / sizeof(kNames[0]); ++type) {
    if (counts[type] == 0) continue;
    if (!kinds.empty()) kinds += ", ";
    kinds += std::string(kNames[type]) + " " + std::to_string(counts[type]);
  }
  return kinds;
}

double SmallestGrowth(const std::vector<double>& counts) {
  double smallest = 0;
  for (std::size_t n = 1; n < counts.size(); ++n)
    smallest = n == 1 ? counts[n] - counts[n - 1] : std::min(smallest, counts[n] - counts[n - 1]);
  return smallest;
}

double PrivateMiB() {
  PROCESS_MEMORY_COUNTERS_EX counters = {};
  counters.cb = sizeof(counters);
  ::GetProcessMemoryInfo(::GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                         sizeof(counters));
  const SIZE_T bytes = counters.PrivateUsage != 0 ? counters.PrivateUsage : counters.PagefileUsage;
  return static_cast<double>(bytes) / (1024.0 * 1024.0);
}

}  // namespace testsupport
