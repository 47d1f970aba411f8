// Kelvane's command line: the words after the program's name, split by the
// platform's rules, and what they ask for. With no words the program opens
// its window as always; any command opens none.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "browser/namecopy.h"

// The words of a command line as the platform's C runtime splits them:
// white space between words, double quotes around spaces, 2n backslashes
// before a quote giving n and the quote, 2n+1 giving n and a literal quote,
// "" inside quotes a literal quote.
std::vector<std::string> SplitCommandLine(std::string_view commandLine);

enum class CommandKind : std::uint8_t {
  Window,   // no words: the format browser
  List,     // the clipboard's formats, one line each
  Capture,  // every format to a clipboard file
  Restore,  // a clipboard file put back without asking
  Help,     // the usage text, asked for
  Misused,  // the usage text after a problem
};

struct Command {
  CommandKind kind;
  std::string file;     // the FILE of a command that takes one
  std::string problem;  // for Misused: one line saying what was wrong
};

// Commands are words beginning with "/", their letters in either case.
Command ParseCommandLine(std::string_view commandLine);

// The usage text, lines ended by CRLF.
std::string UsageText();

// Exit codes of a command.
inline constexpr int kExitDone = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitMisused = 2;

// The name /list gives a format, as Copy puts it on the clipboard from the
// available list: "CF_TEXT", "HTML Format"; registeredName is the
// platform's name for the number, when it has one.
std::string ListedFormatName(std::uint32_t format, const std::optional<std::string_view>& registeredName,
                             LeadByteTest isLeadByte);

// One line of /list: the number in decimal, a tab, the name, CRLF.
std::string ListLine(std::uint32_t format, std::string_view name);
