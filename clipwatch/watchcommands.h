// The clipboard watch's commands in the format browser's system menu, and
// their shortcuts in the dialog. Each command is one row of kWatchCommands;
// more commands of the same kind take one row each.
#pragma once

#include <cstdint>
#include <span>

// WM_SYSCOMMAND numbers: multiples of 16 below 0xF000, as the system keeps
// the low four bits for itself. Kelvane's own items use 0x0100 to 0x01F0.
inline constexpr std::uint32_t kFollowCommand = 0x0110;
inline constexpr std::uint32_t kClipboardLogCommand = 0x0120;
inline constexpr std::uint32_t kFirstKelvaneSysCommand = 0x0100;
inline constexpr std::uint32_t kLastKelvaneSysCommand = 0x01F0;

struct WatchCommand {
  std::uint32_t command;
  const char* menuText;
  bool checkItem;     // a check mark shows whether it is on
  std::uint32_t key;  // the shortcut's virtual key, with Ctrl
  bool shift;         // and with Shift as well
};

std::span<const WatchCommand> WatchCommands();

// The command of a key pressed with the given modifiers; 0 for none.
std::uint32_t WatchCommandOfKey(std::uint32_t virtualKey, bool ctrl, bool shift, bool alt);

// Whether a WM_SYSCOMMAND number (its low four bits ignored) is one of
// Kelvane's own items.
bool IsKelvaneSysCommand(std::uint32_t command);
