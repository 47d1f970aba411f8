// Entry of the Win32 test program: the classes and common controls that the
// program's own start-up provides, then every test.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "app/kelvane.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  HINSTANCE instance = ::GetModuleHandleA(nullptr);
  RegisterDumpFrameClass(instance);
  RegisterDumpViewClass(instance);
  RegisterPictureViewClass(instance);
  RegisterDetailsPaneClass(instance);
  ::InitCommonControls();
  return RUN_ALL_TESTS();
}
