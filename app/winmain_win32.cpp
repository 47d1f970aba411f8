// Kelvane's entry. The private clipboard formats are registered by static
// initialisation before it runs; the command line and show command are ignored.
#include <windows.h>

#include "app/kelvane.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previousInstance, LPSTR /*commandLine*/,
                   int /*showCommand*/) {
  return RunKelvane(instance, previousInstance);
}
