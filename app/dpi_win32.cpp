#include "app/dpi_win32.h"

namespace {

// Both arrived with Windows 10 1607: looked up at run time, so that the
// program still starts on Windows 7 and 8.
using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
using SystemParametersInfoForDpiFunction = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT, UINT);

FARPROC User32Function(const char* name) {
  HMODULE user32 = ::GetModuleHandleA("user32.dll");
  return user32 != nullptr ? ::GetProcAddress(user32, name) : nullptr;
}

template <typename Function>
Function LookUp(const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(User32Function(name)));
}

std::uint32_t LogPixelsOf(HWND window) {
  HDC dc = ::GetDC(window);
  if (dc == nullptr) return 0;
  const int dpi = ::GetDeviceCaps(dc, LOGPIXELSX);
  ::ReleaseDC(window, dc);
  return dpi > 0 ? static_cast<std::uint32_t>(dpi) : 0;
}

}  // namespace

std::uint32_t WindowDpi(HWND window) {
  static const auto getDpiForWindow = LookUp<GetDpiForWindowFunction>("GetDpiForWindow");
  if (getDpiForWindow != nullptr) {
    const UINT dpi = getDpiForWindow(window);
    if (dpi != 0) return dpi;
  }
  return LogPixelsOf(window);
}

std::uint32_t SystemDpi() { return LogPixelsOf(nullptr); }

HFONT CreateStatusFontForDpi(std::uint32_t dpi) {
  static const auto parametersForDpi =
      LookUp<SystemParametersInfoForDpiFunction>("SystemParametersInfoForDpi");
  if (parametersForDpi == nullptr) return nullptr;
  NONCLIENTMETRICSW metrics = {};
  metrics.cbSize = sizeof(metrics);
  if (!parametersForDpi(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0, dpi)) return nullptr;
  return ::CreateFontIndirectW(&metrics.lfStatusFont);
}
