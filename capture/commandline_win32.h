// The command line's commands run without a window: /list and /restore,
// their output on the console or the file or pipe the program's standard
// handles lead to.
#pragma once

#include <windows.h>

// What RunCommandLine answers for a command line without words.
inline constexpr int kNoCommand = -1;

// Runs the command the command line (the words after the program's name)
// asks for and answers its exit code; kNoCommand, having done nothing, when
// there is none.
int RunCommandLine(HINSTANCE instance, const char* commandLine);
