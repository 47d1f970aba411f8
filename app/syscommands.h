// Kelvane's own items in the format browser's system menu: their
// WM_SYSCOMMAND numbers and the dialog's shortcuts for them. The numbers are
// multiples of 16 below 0xF000, as the system keeps the low four bits for
// itself; Kelvane's items use 0x0100 to 0x01F0 and follow one separator.
#pragma once

#include <cstdint>

inline constexpr std::uint32_t kFollowCommand = 0x0110;
inline constexpr std::uint32_t kClipboardLogCommand = 0x0120;
inline constexpr std::uint32_t kCaptureClipboardCommand = 0x0130;
inline constexpr std::uint32_t kOpenCaptureCommand = 0x0140;
inline constexpr std::uint32_t kFirstKelvaneSysCommand = 0x0100;
inline constexpr std::uint32_t kLastKelvaneSysCommand = 0x01F0;

// Whether a WM_SYSCOMMAND number (its low four bits ignored) is one of
// Kelvane's own items.
constexpr bool IsKelvaneSysCommand(std::uint32_t command) {
  const std::uint32_t item = command & 0xFFF0u;
  return item >= kFirstKelvaneSysCommand && item <= kLastKelvaneSysCommand;
}

// The command of a key pressed in the dialog with the given modifiers, or 0:
// Ctrl with the first letter of the item's name (F for Follow, L for Log),
// and the letters every program saves and opens with (S for the capture, O
// for opening one). The dialog's own letters, A and Q, go with Alt.
constexpr std::uint32_t SysCommandOfKey(std::uint32_t virtualKey, bool ctrl, bool shift, bool alt) {
  if (!ctrl || shift || alt) return 0;
  switch (virtualKey) {
    case 'F':
      return kFollowCommand;
    case 'L':
      return kClipboardLogCommand;
    case 'S':
      return kCaptureClipboardCommand;
    case 'O':
      return kOpenCaptureCommand;
    default:
      return 0;
  }
}
