#include "clipwatch/watchcommands.h"

namespace {

// Ctrl+F for Follow and Ctrl+L for the Log: the letters the names begin
// with, free in the dialog (its own letters, A and Q, go with Alt).
constexpr WatchCommand kWatchCommands[] = {
    {kFollowCommand, "Follow the Clipboard", true, 'F', false},
    {kClipboardLogCommand, "Clipboard Log...", false, 'L', false},
};

}  // namespace

std::span<const WatchCommand> WatchCommands() { return kWatchCommands; }

std::uint32_t WatchCommandOfKey(std::uint32_t virtualKey, bool ctrl, bool shift, bool alt) {
  if (!ctrl || alt) return 0;
  for (const WatchCommand& entry : kWatchCommands) {
    if (entry.key == virtualKey && entry.shift == shift) return entry.command;
  }
  return 0;
}

bool IsKelvaneSysCommand(std::uint32_t command) {
  const std::uint32_t item = command & 0xFFF0u;
  return item >= kFirstKelvaneSysCommand && item <= kLastKelvaneSysCommand;
}
