// The resolutions windows are shown at, on every Windows the program runs on.
#pragma once

#include <windows.h>

#include <cstdint>

// The dots per inch of the monitor a window is on, under per-monitor
// awareness; the screen's resolution on systems older than Windows 10 1607,
// where every window shares it.
std::uint32_t WindowDpi(HWND window);

// The resolution the system font, the dialog base units and the system's
// metrics are measured at, whatever monitor a window is on.
std::uint32_t SystemDpi();

// A copy of the system's status bar font at dpi, which the caller owns; none
// on systems that cannot measure it at a resolution other than their own.
HFONT CreateStatusFontForDpi(std::uint32_t dpi);
