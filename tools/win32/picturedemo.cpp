// Shows one clipboard format in the real Picture view, for the README's
// screenshot of the view:
//
//   picturedemo.exe <format name>
//
// The format's whole block (put there by an X11 program such as xclip) is
// given to the view as the dump window gives a snapshot read whole. It runs
// until its window is closed.
#include <windows.h>

#include <cstdio>
#include <vector>

#include "app/kelvane.h"
#include "picture/pictureview.h"

namespace {

HWND g_view = nullptr;

LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_SIZE && g_view != nullptr)
    ::MoveWindow(g_view, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
  if (message == WM_DESTROY) ::PostQuitMessage(0);
  return ::DefWindowProcA(window, message, wParam, lParam);
}

std::vector<std::uint8_t> ClipboardBlock(UINT format) {
  std::vector<std::uint8_t> bytes;
  for (int attempt = 0; attempt < 100 && !::OpenClipboard(nullptr); ++attempt) ::Sleep(10);
  if (HANDLE block = ::GetClipboardData(format)) {
    if (const auto* data = static_cast<const std::uint8_t*>(::GlobalLock(block))) {
      bytes.assign(data, data + ::GlobalSize(block));
      ::GlobalUnlock(block);
    }
  }
  ::CloseClipboard();
  return bytes;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  HINSTANCE instance = ::GetModuleHandleA(nullptr);
  RegisterPictureViewClass(instance);
  const UINT format = ::RegisterClipboardFormatA(argv[1]);
  const std::vector<std::uint8_t> bytes = ClipboardBlock(format);
  char listText[160];
  std::snprintf(listText, sizeof(listText), "%s(0x%04X)", argv[1], format);

  WNDCLASSEXA wc = {};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = HostProc;
  wc.hInstance = instance;
  wc.hCursor = ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
  wc.lpszClassName = "KelvanePictureDemo";
  ::RegisterClassExA(&wc);
  HWND host = ::CreateWindowExA(0, wc.lpszClassName, "Picture view", WS_OVERLAPPEDWINDOW, 0, 0, 420, 300,
                                nullptr, nullptr, instance, nullptr);
  g_view = ::CreateWindowExA(WS_EX_CLIENTEDGE, PICTUREVIEW_CLASS_NAME, nullptr,
                             WS_CHILD | WS_VISIBLE | WS_HSCROLL | WS_VSCROLL, 0, 0, 100, 100, host, nullptr,
                             instance, nullptr);
  ::ShowWindow(host, SW_SHOWNORMAL);
  const PictureRecord record = {bytes.data(), static_cast<std::uint32_t>(bytes.size()),
                                format,       listText,
                                argv[1],      SnapshotKind::WholeData};
  ::SendMessageA(g_view, PVM_SETPICTURE, 0, reinterpret_cast<LPARAM>(&record));
  MSG msg;
  while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
  }
  return 0;
}
