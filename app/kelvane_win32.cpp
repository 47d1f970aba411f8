// The program's start-up sequence, shared by the entry and the tests.
#include <windows.h>
#include <commctrl.h>

#include "app/kelvane.h"
#include "app/resource.h"
#include "browser/formatbrowser.h"

int RunKelvane(HINSTANCE instance, HINSTANCE previousInstance) {
  // A previous instance is never given on this platform; it would already
  // have registered the DumpFrame class.
  if (previousInstance == nullptr) {
    if (RegisterDumpFrameClass(instance) == 0) {
      return 0;  // nothing registered, nothing shown
    }
  }
  RegisterDumpViewClass(instance);  // its result is not needed: the dialog still runs
  RegisterPictureViewClass(instance);
  RegisterDetailsPaneClass(instance);
  ::InitCommonControls();
  ::DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_FORMAT_BROWSER), nullptr, FormatBrowserProc, 0);
  return 0;
}
