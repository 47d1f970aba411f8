// A program that returns from main while its clipboard read is stuck in a
// hung owner: the reader's tests time how soon its process ends after it
// signals "<name>-ready", which it does only while the read still waits.
//
//   clipboard_reader_exit.exe <name> <format name>
#include <windows.h>

#include <string>

#include "snapshot/clipboardreader_win32.h"

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  HANDLE ready = ::CreateEventA(nullptr, TRUE, FALSE, (std::string(argv[1]) + "-ready").c_str());
  HWND requester = ::CreateWindowExA(0, "STATIC", "requester", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                     ::GetModuleHandleA(nullptr), nullptr);
  if (!StartClipboardRead(requester, ::RegisterClipboardFormatA(argv[2]), true).ended) ::SetEvent(ready);
  return 0;
}
