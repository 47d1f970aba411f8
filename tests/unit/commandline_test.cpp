// The command line: words split as the platform's C runtime splits them,
// the commands and their misuse, and the usage text.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "capture/commandline.h"

TEST(CommandLine, WordsAreSplitByThePlatformsRules) {
  struct {
    const char* line;
    std::vector<std::string> words;
  } const cases[] = {
      {"", {}},
      {"   \t ", {}},
      {"/list", {"/list"}},
      {"  /restore   C:\\a\\b.clp ", {"/restore", "C:\\a\\b.clp"}},
      {"/restore \"C:\\My Files\\x.clp\"", {"/restore", "C:\\My Files\\x.clp"}},
      {"a\\\\\"b c\" d", {"a\\b c", "d"}},            // 2n backslashes before a quote: n, and the quote opens
      {"a\\\\\\\"b c", {"a\\\"b", "c"}},              // 2n+1: n and a literal quote
      {"\"say \"\"hi\"\"\" x", {"say \"hi\"", "x"}},  // "" inside quotes
      {"\"\"", {""}},
      {"a\\b\\\\c", {"a\\b\\\\c"}},  // backslashes before no quote are as they are
  };
  for (const auto& c : cases) EXPECT_EQ(SplitCommandLine(c.line), c.words) << c.line;
}

TEST(CommandLine, EachCommandAndEachMisuse) {
  struct {
    const char* line;
    CommandKind kind;
    const char* file;
    const char* problem;
  } const cases[] = {
      {"", CommandKind::Window, "", ""},
      {"/list", CommandKind::List, "", ""},
      {"/LIST", CommandKind::List, "", ""},
      {"/restore \"x y.clp\"", CommandKind::Restore, "x y.clp", ""},
      {"/?", CommandKind::Help, "", ""},
      {"/restore", CommandKind::Misused, "", "/restore needs the name of a file."},
      {"/list now", CommandKind::Misused, "", "Unexpected \"now\" after /list."},
      {"/Capture a.clp", CommandKind::Capture, "a.clp", ""},
      {"/capture", CommandKind::Misused, "", "/capture needs the name of a file."},
      {"--any arguments", CommandKind::Misused, "", "Unknown command \"--any\"."},
  };
  for (const auto& c : cases) {
    const Command command = ParseCommandLine(c.line);
    EXPECT_EQ(command.kind, c.kind) << c.line;
    EXPECT_EQ(command.file, c.file) << c.line;
    EXPECT_EQ(command.problem, c.problem) << c.line;
  }
  const std::string usage = UsageText();
  for (const char* word : {"/list", "/capture FILE", "/restore FILE", "/?", "Exit codes"})
    EXPECT_NE(usage.find(word), std::string::npos);
  EXPECT_EQ(usage.substr(usage.size() - 2), "\r\n");
}
