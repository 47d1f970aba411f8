// Drives a running Kelvane into the state shown in the README's screenshots:
// sample data on the clipboard, Analyze pressed, the "BinaryData" format
// opened in the dump window with part of it selected. Everything goes through
// posted or pointer-free messages, so it works across processes.
//
//   showcase.exe <path of kelvane.exe>             mixed text and bytes
//   showcase.exe <path of kelvane.exe> 932|65001   Japanese text in Shift_JIS
//       or UTF-8, shown in that encoding (View > Encoding), the dump window
//       moved to the top left corner of the screen
//   showcase.exe <path of kelvane.exe> find        the dump in UTF-8 with the
//       Find dialog below it, "caf\xE9" found and selected
//   showcase.exe <path of kelvane.exe> whole       what another program put
//       on the clipboard (its first format) read with View > Whole Data, in
//       UTF-8, the dump window at the top left corner
//   showcase.exe <path of kelvane.exe> details     the first format already on
//       the clipboard (put there by another program) with View > Details
//   showcase.exe <path of kelvane.exe> wait        the dump window waiting for
//       the clipboard's first format from an owner that hangs
//   showcase.exe <path of kelvane.exe> restore <file>   Open a Capture of the
//       clipboard file, its confirmation left open
//
// It leaves Kelvane running; scripts/screenshot.sh takes the picture and
// closes it.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/resource.h"
#include "bench/win32/benchsupport.h"
#include "dumpview/dumpview.h"
#include "formats/details_win32.h"

namespace {

using benchsupport::OpenClipboardRetry;
using benchsupport::PutBlock;

const char kMixedText[] =
    "Kelvane dumps the clipboard: {\"format\": 49161, \"name\": \"BinaryData\"}\r\n"
    "UTF-8: \xE3\x81\x82\xE3\x81\x84\xE3\x81\x86 caf\xC3\xA9\r\n";

// The Japanese sample; the part up to kSelectionEnd is selected, from
// kSelectionStart on.
const wchar_t kJapaneseText[] =
    L"Kelvane \u30AF\u30EA\u30C3\u30D7\u30DC\u30FC\u30C9\u30FB\u30C0\u30F3\u30D7\r\n"  // クリップボード・ダンプ
    L"\u9078\u3093\u3060\u5F62\u5F0F\u306E\u30C7\u30FC\u30BF\u3092\u5341\u516D\u9032"  // 選んだ形式のデータを十六進
    L"\u6570\u3068\u6587\u5B57\u3067\u793A\u3057\u307E\u3059\u3002\r\n"  // 数と文字で示します。
    L"Shift_JIS, EUC-JP, UTF-16LE, UTF-8: \u65E5\u672C\u8A9E\u3001\u6F22\u5B57\u3002\r\n";  // 日本語、漢字。
const int kSelectionStart = 8;  // クリップボード
const int kSelectionEnd = 15;

// The first units of kJapaneseText in a code page.
std::string Encode(UINT codePage, int units) {
  std::string bytes(static_cast<std::size_t>(units) * 4, '\0');
  const int n = ::WideCharToMultiByte(codePage, 0, kJapaneseText, units, bytes.data(),
                                      static_cast<int>(bytes.size()), nullptr, nullptr);
  bytes.resize(static_cast<std::size_t>(n > 0 ? n : 0));
  return bytes;
}

// A "BinaryData" block (length word, then text and some binary bytes) and a
// plain text.
bool PutSampleData(const std::string& text) {
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

// Opens a capture from the system menu and leaves its confirmation open.
bool ShowRestoreQuestion(DWORD pid, HWND dialog, const char* file) {
  ::PostMessageA(dialog, WM_SYSCOMMAND, 0x0140, 0);  // Open a Capture...
  HWND open = WaitForWindow(pid, "#32770", "Open a Capture");
  if (open == nullptr) return false;
  ::Sleep(500);
  ::SendMessageA(::GetDlgItem(open, 0x47C), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(file));
  ::PostMessageA(open, WM_COMMAND, IDOK, 0);
  return true;
}

// The View > Encoding command of a code page.
WPARAM EncodingCommand(UINT codePage) { return codePage == 932 ? ID_ENCODING_SHIFT_JIS : ID_ENCODING_UTF8; }

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: showcase <kelvane.exe> [932|65001|find]\n");
    return 2;
  }
  const bool details = argc > 2 && std::strcmp(argv[2], "details") == 0;
  const UINT codePage = argc > 2 ? static_cast<UINT>(std::atoi(argv[2])) : 0;
  const int japaneseUnits = static_cast<int>(sizeof(kJapaneseText) / sizeof(kJapaneseText[0])) - 1;
  const bool whole = argc > 2 && std::strcmp(argv[2], "whole") == 0;
  const bool restore = argc > 3 && std::strcmp(argv[2], "restore") == 0;
  const bool wait = argc > 2 && std::strcmp(argv[2], "wait") == 0;  // the clipboard's owner hangs
  if (!whole && !details && !restore && !wait &&
      !PutSampleData(codePage != 0 ? Encode(codePage, japaneseUnits) : std::string(kMixedText))) {
    std::fprintf(stderr, "showcase: could not put the sample data on the clipboard\n");
    return 1;
  }
  STARTUPINFOA startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process = {};
  std::string commandLine = std::string("\"") + argv[1] + "\"";
  if (!::CreateProcessA(argv[1], commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
    std::fprintf(stderr, "showcase: could not start %s\n", argv[1]);
    return 1;
  }
  ::WaitForInputIdle(process.hProcess, 10000);
  HWND dialog = WaitForWindow(process.dwProcessId, "#32770");
  if (dialog == nullptr) return 1;

  ::SendMessageA(dialog, WM_COMMAND, IDC_ANALYZE, 0);
  if (restore) return ShowRestoreQuestion(process.dwProcessId, dialog, argv[3]) ? 0 : 1;
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
  if (details) {
    ::SendMessageA(frame, WM_COMMAND, ID_VIEW_DETAILS, 0);
    ::SetWindowPos(frame, HWND_TOP, 0, 0, 1000, 640, 0);
    // The caret on StartFragment's value; the pane follows the key, and shows
    // the format's section below the caret's.
    ::SendMessageA(view, DVM_SETCARET, 0x41, 0);
    ::SendMessageA(view, WM_KEYDOWN, VK_RIGHT, 0);
    ::SendMessageA(::FindWindowExA(frame, nullptr, DETAILSPANE_CLASS_NAME, nullptr), EM_LINESCROLL, 0, 12);
  } else if (whole) {
    ::SendMessageA(frame, WM_COMMAND, ID_VIEW_WHOLE_DATA, 0);
    ::SendMessageA(frame, WM_COMMAND, ID_ENCODING_UTF8, 0);
    ::SetWindowPos(frame, HWND_TOP, 0, 0, 660, 420, 0);
  } else if (wait) {
    ::SetWindowPos(frame, HWND_TOP, 0, 0, 660, 330, 0);
  } else if (codePage == 0) {
    ::SendMessageA(view, DVM_SETSEL, 0x31, 0x21);  // {"format": 49161
  } else {
    ::SendMessageA(frame, WM_COMMAND, EncodingCommand(codePage), 0);
    // The snapshot keeps the block's length word before the text.
    const std::size_t start = 4 + Encode(codePage, kSelectionStart).size();
    const std::size_t end = 4 + Encode(codePage, kSelectionEnd).size();
    ::SendMessageA(view, DVM_SETSEL, end, static_cast<LPARAM>(start));
    ::SetWindowPos(frame, HWND_TOP, 0, 0, 660, 330, 0);
  }
  ::SetForegroundWindow(frame);
  const bool find = argc > 2 && std::strcmp(argv[2], "find") == 0;
  if (find && !ShowFind(process.dwProcessId, frame)) return 1;
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
  return 0;
}
