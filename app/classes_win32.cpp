// The window classes of Kelvane.
#include <windows.h>

#include "app/kelvane.h"
#include "app/resource.h"
#include "dumpframe/dumpframe.h"
#include "dumpview/dumpview.h"
#include "formats/details_win32.h"
#include "picture/pictureview.h"

namespace {

// What the program's classes share: no class styles (no CS_DBLCLKS, no
// CS_HREDRAW / CS_VREDRAW), no class bytes, the arrow cursor. The cursor is
// loaded first, before any icon.
template <typename WindowClass, typename Text>
WindowClass PlainClass(HINSTANCE instance, WNDPROC procedure, int windowBytes, Text name) {
  WindowClass wc = {};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = procedure;
  wc.cbWndExtra = windowBytes;
  wc.hInstance = instance;
  wc.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
  wc.lpszClassName = name;
  return wc;
}

HBRUSH WindowColorBrush() { return reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1)); }

}  // namespace

ATOM RegisterDumpFrameClass(HINSTANCE instance) {
  auto wc = PlainClass<WNDCLASSEXA>(instance, DumpFrameProc, 0, DUMPFRAME_CLASS_NAME);
  // The system's icon sizes: 32 and 16 pixels at 96 dots per inch, larger
  // at higher resolutions.
  wc.hIcon = static_cast<HICON>(::LoadImageA(instance, MAKEINTRESOURCEA(IDI_APP), IMAGE_ICON,
                                             ::GetSystemMetrics(SM_CXICON), ::GetSystemMetrics(SM_CYICON),
                                             LR_DEFAULTCOLOR));
  wc.hIconSm = static_cast<HICON>(::LoadImageA(instance, MAKEINTRESOURCEA(IDI_APP), IMAGE_ICON,
                                               ::GetSystemMetrics(SM_CXSMICON),
                                               ::GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
  wc.hbrBackground = WindowColorBrush();
  wc.lpszMenuName = MAKEINTRESOURCEA(IDR_DUMP_MENU);
  return ::RegisterClassExA(&wc);
}

ATOM RegisterDumpViewClass(HINSTANCE instance) {
  // One pointer-sized slot holding the window's DumpViewState.
  auto wc = PlainClass<WNDCLASSEXA>(instance, DumpViewProc, sizeof(void*), DUMPVIEW_CLASS_NAME);
  wc.hbrBackground = WindowColorBrush();
  return ::RegisterClassExA(&wc);
}

// A Unicode class: its caption and sentences hold characters beyond the ANSI
// code page (the menu's arrow), and its window text keeps them.
ATOM RegisterPictureViewClass(HINSTANCE instance) {
  // One pointer-sized slot holding the window's state; no background brush,
  // as the paint covers every pixel.
  auto wc = PlainClass<WNDCLASSEXW>(instance, PictureViewProc, sizeof(void*), L"" PICTUREVIEW_CLASS_NAME);
  return ::RegisterClassExW(&wc);
}

// The edit control's class under a name of the pane's own: its styles, bytes
// and cursor, with the pane's procedure in front of the edit's.
ATOM RegisterDetailsPaneClass(HINSTANCE instance) {
  const WNDCLASSEXW& edit = EditControlClass();
  if (edit.lpfnWndProc == nullptr) return 0;
  auto wc = PlainClass<WNDCLASSEXW>(instance, DetailsPaneProc, edit.cbWndExtra, L"" DETAILSPANE_CLASS_NAME);
  wc.style = edit.style;
  wc.hCursor = edit.hCursor;
  return ::RegisterClassExW(&wc);
}
