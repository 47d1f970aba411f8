// Drives a running Kelvane into the state shown in the README's screenshot:
// sample data on the clipboard, Analyze pressed, the "BinaryData" format
// opened in the dump window with part of it selected. Everything goes through
// posted or pointer-free messages, so it works across processes.
//
//   showcase.exe <path of kelvane.exe> [find]
//
// With "find", the dump shows UTF-8 and the Find dialog has found "café" in
// it, selected in the dump.
// It leaves Kelvane running; scripts/screenshot.sh takes the picture and
// closes it.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/resource.h"
#include "bench/win32/benchsupport.h"
#include "dumpview/dumpview.h"

namespace {

using benchsupport::OpenClipboardRetry;
using benchsupport::PutBlock;

// A "BinaryData" block (length word, then text and some binary bytes) and a
// plain text.
bool PutSampleData() {
  std::string text =
      "Kelvane dumps the clipboard: {\"format\": 49161, \"name\": \"BinaryData\"}\r\n"
      "UTF-8: \xE3\x81\x82\xE3\x81\x84\xE3\x81\x86 caf\xC3\xA9\r\n";
  std::vector<unsigned char> payload(text.begin(), text.end());
  for (int i = 0; i < 48; ++i) payload.push_back(static_cast<unsigned char>(i * 37 + 5));
  std::vector<unsigned char> block(4 + payload.size());
  const unsigned n = static_cast<unsigned>(payload.size());
  std::memcpy(block.data(), &n, 4);
  std::memcpy(block.data() + 4, payload.data(), payload.size());

  if (!OpenClipboardRetry()) return false;
  ::EmptyClipboard();
  const char plain[] = "Hello from the clipboard";
  bool ok = PutBlock(::RegisterClipboardFormatA("BinaryData"), block.data(), block.size()) &&
            PutBlock(CF_TEXT, plain, sizeof(plain));
  ::CloseClipboard();
  return ok;
}

struct Search {
  DWORD pid;
  const char* className;
  const char* title;  // any when none
  HWND found;
};

BOOL CALLBACK FindWindowOfProcess(HWND window, LPARAM lParam) {
  auto* search = reinterpret_cast<Search*>(lParam);
  DWORD pid = 0;
  ::GetWindowThreadProcessId(window, &pid);
  char name[64] = {};
  ::GetClassNameA(window, name, sizeof(name));
  char title[64] = {};
  ::GetWindowTextA(window, title, sizeof(title));
  if (pid == search->pid && std::strcmp(name, search->className) == 0 &&
      (search->title == nullptr || std::strcmp(title, search->title) == 0)) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

HWND WaitForWindow(DWORD pid, const char* className, const char* title = nullptr) {
  for (int attempt = 0; attempt < 200; ++attempt) {
    Search search = {pid, className, title, nullptr};
    ::EnumWindows(FindWindowOfProcess, reinterpret_cast<LPARAM>(&search));
    if (search.found != nullptr) return search.found;
    ::Sleep(50);
  }
  return nullptr;
}

// Switches the dump to UTF-8 and finds "café" with the Find dialog.
bool ShowFind(DWORD pid, HWND frame) {
  ::SendMessageA(frame, WM_COMMAND, ID_ENCODING_UTF8, 0);
  ::PostMessageA(frame, WM_COMMAND, ID_EDIT_FIND, 0);
  HWND find = WaitForWindow(pid, "#32770", "Find");
  if (find == nullptr) return false;
  ::SetDlgItemTextA(find, IDC_FIND_TEXT, "caf\xE9");
  ::SendMessageA(find, WM_COMMAND, IDOK, 0);
  // Below the dump, so that the picture shows the match as well.
  RECT frameRect = {};
  ::GetWindowRect(frame, &frameRect);
  ::SetWindowPos(find, nullptr, frameRect.left + 8, frameRect.bottom + 4, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: showcase <kelvane.exe> [find]\n");
    return 2;
  }
  if (!PutSampleData()) {
    std::fprintf(stderr, "showcase: could not put the sample data on the clipboard\n");
    return 1;
  }
  STARTUPINFOA startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process = {};
  std::string commandLine = std::string("\"") + argv[1] + "\"";
  if (!::CreateProcessA(argv[1], commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
    std::fprintf(stderr, "showcase: could not start %s\n", argv[1]);
    return 1;
  }
  ::WaitForInputIdle(process.hProcess, 10000);
  HWND dialog = WaitForWindow(process.dwProcessId, "#32770");
  if (dialog == nullptr) return 1;

  ::SendMessageA(dialog, WM_COMMAND, IDC_ANALYZE, 0);
  // Select the first available format ("BinaryData") from the keyboard.
  HWND available = ::GetDlgItem(dialog, IDC_AVAILABLE_LIST);
  ::SendMessageA(available, WM_KEYDOWN, VK_DOWN, 0);
  ::SendMessageA(available, WM_KEYUP, VK_DOWN, 0);
  ::SendMessageA(dialog, WM_COMMAND, IDC_DUMP_TOGGLE, 0);
  ::CheckDlgButton(dialog, IDC_DUMP_TOGGLE, BST_CHECKED);

  HWND frame = WaitForWindow(process.dwProcessId, "Kelvane");
  if (frame == nullptr) return 1;
  HWND view = ::FindWindowExA(frame, nullptr, DUMPVIEW_CLASS_NAME, nullptr);
  if (view == nullptr) return 1;
  ::SendMessageA(view, DVM_SETSEL, 0x31, 0x21);  // {"format": 49161
  ::SetForegroundWindow(frame);
  const bool find = argc > 2 && std::strcmp(argv[2], "find") == 0;
  if (find && !ShowFind(process.dwProcessId, frame)) return 1;
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
  return 0;
}
