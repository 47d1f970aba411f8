// The two window classes of Kelvane.
#include <windows.h>

#include "app/kelvane.h"
#include "app/resource.h"
#include "dumpframe/dumpframe.h"
#include "dumpview/dumpview.h"
#include "picture/pictureview.h"

ATOM RegisterDumpFrameClass(HINSTANCE instance) {
  WNDCLASSEXA wc = {};
  wc.cbSize = sizeof(wc);
  wc.style = 0;  // no CS_DBLCLKS, no CS_HREDRAW / CS_VREDRAW
  wc.lpfnWndProc = DumpFrameProc;
  wc.cbClsExtra = 0;
  wc.cbWndExtra = 0;
  wc.hInstance = instance;
  // The cursor first, then the large and the small icon.
  wc.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
  // The system's icon sizes: 32 and 16 pixels at 96 dots per inch, larger
  // at higher resolutions.
  wc.hIcon = static_cast<HICON>(::LoadImageA(instance, MAKEINTRESOURCEA(IDI_APP), IMAGE_ICON,
                                             ::GetSystemMetrics(SM_CXICON), ::GetSystemMetrics(SM_CYICON),
                                             LR_DEFAULTCOLOR));
  wc.hIconSm = static_cast<HICON>(::LoadImageA(instance, MAKEINTRESOURCEA(IDI_APP), IMAGE_ICON,
                                               ::GetSystemMetrics(SM_CXSMICON),
                                               ::GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
  wc.lpszMenuName = MAKEINTRESOURCEA(IDR_DUMP_MENU);
  wc.lpszClassName = DUMPFRAME_CLASS_NAME;
  return ::RegisterClassExA(&wc);
}

ATOM RegisterDumpViewClass(HINSTANCE instance) {
  WNDCLASSEXA wc = {};
  wc.cbSize = sizeof(wc);
  wc.style = 0;
  wc.lpfnWndProc = DumpViewProc;
  wc.cbClsExtra = 0;
  // One pointer-sized slot holding the window's DumpViewState.
  wc.cbWndExtra = sizeof(void*);
  wc.hInstance = instance;
  wc.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
  wc.hIcon = nullptr;
  wc.hIconSm = nullptr;
  wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
  wc.lpszMenuName = nullptr;
  wc.lpszClassName = DUMPVIEW_CLASS_NAME;
  return ::RegisterClassExA(&wc);
}

// A Unicode class: its caption and sentences hold characters beyond the ANSI
// code page (the menu's arrow), and its window text keeps them.
ATOM RegisterPictureViewClass(HINSTANCE instance) {
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof(wc);
  wc.style = 0;
  wc.lpfnWndProc = PictureViewProc;
  wc.cbClsExtra = 0;
  // One pointer-sized slot holding the window's state.
  wc.cbWndExtra = sizeof(void*);
  wc.hInstance = instance;
  wc.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
  wc.hbrBackground = nullptr;  // the paint covers every pixel
  wc.lpszClassName = L"" PICTUREVIEW_CLASS_NAME;
  return ::RegisterClassExW(&wc);
}
