// The clipboard watch's commands in the format browser's system menu, and
// their shortcuts in the dialog. Each command is one row of kWatchCommands;
// more commands of the same kind take one row each.
#pragma once

#include <cstdint>
#include <span>

#include "app/syscommands.h"

struct WatchCommand {
  std::uint32_t command;
  const char* menuText;
  bool checkItem;  // a check mark shows whether it is on
};

std::span<const WatchCommand> WatchCommands();
