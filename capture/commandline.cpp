#include "capture/commandline.h"

#include "browser/formatnames.h"
#include "formats/lines.h"

std::vector<std::string> SplitCommandLine(std::string_view commandLine) {
  std::vector<std::string> words;
  std::string word;
  bool inWord = false;
  bool quoted = false;
  for (std::size_t at = 0; at < commandLine.size();) {
    const char c = commandLine[at];
    if (!quoted && (c == ' ' || c == '\t')) {
      if (inWord) words.push_back(word);
      word.clear();
      inWord = false;
      ++at;
      continue;
    }
    inWord = true;
    if (c == '\\') {
      std::size_t slashes = 0;
      while (at < commandLine.size() && commandLine[at] == '\\') ++slashes, ++at;
      const bool beforeQuote = at < commandLine.size() && commandLine[at] == '"';
      word.append(beforeQuote ? slashes / 2 : slashes, '\\');
      if (beforeQuote && slashes % 2 == 1) {
        word.push_back('"');
        ++at;
      }
      continue;
    }
    if (c == '"') {
      if (quoted && at + 1 < commandLine.size() && commandLine[at + 1] == '"') {
        word.push_back('"');
        at += 2;
        continue;
      }
      quoted = !quoted;
      ++at;
      continue;
    }
    word.push_back(c);
    ++at;
  }
  if (inWord) words.push_back(word);
  return words;
}

namespace {

// One row a command: its word, whether it takes a FILE, and its usage line.
struct CommandWord {
  const char* word;
  CommandKind kind;
  bool takesFile;
  const char* usage;
};

constexpr CommandWord kCommands[] = {
    {"/list", CommandKind::List, false,
     "  kelvane.exe /list           lists the clipboard's formats: number, tab, name"},
    {"/capture", CommandKind::Capture, true,
     "  kelvane.exe /capture FILE   captures the clipboard to a clipboard file (.clp)"},
    {"/restore", CommandKind::Restore, true,
     "  kelvane.exe /restore FILE   puts a clipboard file (.clp) on the clipboard"},
    {"/?", CommandKind::Help, false, "  kelvane.exe /?              this text"},
};

bool SameWord(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

Command Misused(std::string problem) { return Command{CommandKind::Misused, {}, std::move(problem)}; }

}  // namespace

Command ParseCommandLine(std::string_view commandLine) {
  const std::vector<std::string> words = SplitCommandLine(commandLine);
  if (words.empty()) return Command{CommandKind::Window, {}, {}};
  for (const CommandWord& command : kCommands) {
    if (!SameWord(words[0], command.word)) continue;
    const std::size_t expected = command.takesFile ? 2 : 1;
    if (words.size() < expected) return Misused(std::string(command.word) + " needs the name of a file.");
    if (words.size() > expected)
      return Misused("Unexpected \"" + words[expected] + "\" after " + command.word + ".");
    return Command{command.kind, command.takesFile ? words[1] : std::string(), {}};
  }
  return Misused("Unknown command \"" + words[0] + "\".");
}

std::string UsageText() {
  std::string text = "Usage:\r\n  kelvane.exe                 opens the Kelvane window\r\n";
  for (const CommandWord& command : kCommands) text.append(command.usage).append("\r\n");
  text.append("Exit codes: 0 done, 1 failed (a line says why), 2 not understood.\r\n");
  return text;
}

std::string ListedFormatName(std::uint32_t format, const std::optional<std::string_view>& registeredName,
                             LeadByteTest isLeadByte) {
  return CopiedFormatName(AvailableFormatText(format, registeredName), true, isLeadByte);
}

std::string ListLine(std::uint32_t format, std::string_view name) {
  return Decimal(format) + "\t" + std::string(name) + "\r\n";
}
