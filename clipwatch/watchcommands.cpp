#include "clipwatch/watchcommands.h"

namespace {

constexpr WatchCommand kWatchCommands[] = {
    {kFollowCommand, "Follow the Clipboard", true},
    {kClipboardLogCommand, "Clipboard Log...", false},
};

}  // namespace

std::span<const WatchCommand> WatchCommands() { return kWatchCommands; }
