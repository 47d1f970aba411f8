// A program that returns from main while its clipboard read is stuck in a
// hung owner: the reader's tests time how soon its process ends after it
// sets the event "<name>-returning". Exit code 0 when the read was still
// waiting as it returned.
//
//   clipboard_reader_exit.exe <name> <format name>
#include <windows.h>

#include <string>

#include "snapshot/clipboardreader_win32.h"

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  HANDLE returning = ::CreateEventA(nullptr, TRUE, FALSE, (std::string(argv[1]) + "-returning").c_str());
  HWND requester = ::CreateWindowExA(0, "STATIC", "requester", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                     ::GetModuleHandleA(nullptr), nullptr);
  const ClipboardReadStart start = StartClipboardRead(requester, ::RegisterClipboardFormatA(argv[2]), true);
  ::SetEvent(returning);
  return start.ended ? 1 : 0;
}
