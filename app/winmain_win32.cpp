// Kelvane's entry. The private clipboard formats are registered by static
// initialisation before it runs. A command line with a command runs it
// without a window; without one the format browser opens as always. The
// show command is ignored.
#include <windows.h>

#include "app/kelvane.h"
#include "capture/commandline_win32.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previousInstance, LPSTR commandLine, int /*showCommand*/) {
  const int exitCode = RunCommandLine(instance, commandLine);
  if (exitCode != kNoCommand) return exitCode;
  return RunKelvane(instance, previousInstance);
}
