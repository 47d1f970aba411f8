// A clipboard owner in a process of its own, for the tests of what Kelvane
// does when other programs misbehave on the clipboard. It signals the event
// "<name>-ready" once it is in place and leaves when "<name>-quit" is set (or
// after a minute):
//
//   clipboard_owner.exe <name> hold
//       opens the clipboard and keeps it open
//   clipboard_owner.exe <name> delay <format> nothing|die
//       promises <format> with delayed rendering; asked to render it, it
//       renders nothing, or ends its process in the middle of the request
//   clipboard_owner.exe <name> put <format>=<file> ...
//       puts each file's bytes as one block of that format and stays the
//       clipboard's owner; leaving ends the process with its window
//   clipboard_owner.exe <name> late <ms> <format>=<source> ...
//       promises each format with delayed rendering; asked for one, it waits
//       <ms> answering nothing (a long wait is a hang), then renders the
//       source: a file's bytes, or "seeded:<count>:<seed>" for count bytes of
//       testsupport::SeededBytes. Setting "<name>-release", or leaving, ends
//       every wait at once. Each format it renders is appended as a line to
//       "<name>-renders.txt" in the temporary folder.
//   clipboard_owner.exe <name> count <format>...
//       promises each format with delayed rendering and, asked for one,
//       renders real data: the format's number as text (UTF-16 for
//       CF_UNICODETEXT); every request adds one to the shared count
//       "<name>-renders", a LONG in a named file mapping
//
// A format is a number or a name to register.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "tests/win32/testsupport.h"

namespace {

constexpr DWORD kLifetimeMs = 60000;
bool g_dieOnRender = false;

// The late owner's promises and what ends its waits.
struct LatePromise {
  UINT format;
  std::string source;
};
std::vector<LatePromise> g_latePromises;
DWORD g_lateMs = 0;
HANDLE g_waitEnders[2] = {};  // release, quit
std::string g_rendersPath;

UINT FormatOf(const char* text) {
  char* end = nullptr;
  const unsigned long number = std::strtoul(text, &end, 10);
  if (end != text && *end == '\0') return static_cast<UINT>(number);
  return ::RegisterClipboardFormatA(text);
}

std::vector<char> ReadFileBytes(const char* path);
bool PutBlock(UINT format, const std::vector<char>& bytes);

std::vector<char> SourceBytes(const std::string& source) {
  unsigned long long count = 0;
  unsigned long long seed = 0;
  if (std::sscanf(source.c_str(), "seeded:%llu:%llu", &count, &seed) != 2)
    return ReadFileBytes(source.c_str());
  const std::vector<std::uint8_t> bytes = testsupport::SeededBytes(static_cast<std::size_t>(count), seed);
  return std::vector<char>(bytes.begin(), bytes.end());
}

void RenderLate(UINT format) {
  for (const LatePromise& promise : g_latePromises) {
    if (promise.format != format) continue;
    ::WaitForMultipleObjects(2, g_waitEnders, FALSE, g_lateMs);
    PutBlock(format, SourceBytes(promise.source));
    if (FILE* log = std::fopen(g_rendersPath.c_str(), "a")) {
      std::fprintf(log, "%u\n", format);
      std::fclose(log);
    }
  }
}

LRESULT CALLBACK OwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_RENDERFORMAT:
      // Asked for the promised data: render nothing, or die while asked.
      if (g_dieOnRender) ::ExitProcess(3);
      RenderLate(static_cast<UINT>(wParam));
      return 0;
    case WM_RENDERALLFORMATS:
      return 0;
    default:
      return ::DefWindowProcA(window, message, wParam, lParam);
  }
}

HWND CreateOwnerWindow() {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = OwnerProc;
  wc.hInstance = ::GetModuleHandleA(nullptr);
  wc.lpszClassName = "KelvaneTestClipboardOwner";
  ::RegisterClassA(&wc);
  return ::CreateWindowExA(0, wc.lpszClassName, "owner", 0, 0, 0, 0, 0, nullptr, nullptr, wc.hInstance,
                           nullptr);
}

bool OpenClipboardRetry(HWND owner) {
  for (int attempt = 0; attempt < 200; ++attempt) {
    if (::OpenClipboard(owner)) return true;
    ::Sleep(10);
  }
  return false;
}

std::vector<char> ReadFileBytes(const char* path) {
  std::vector<char> bytes;
  FILE* file = std::fopen(path, "rb");
  if (file == nullptr) return bytes;
  char chunk[65536];
  std::size_t got = 0;
  while ((got = std::fread(chunk, 1, sizeof(chunk), file)) > 0) bytes.insert(bytes.end(), chunk, chunk + got);
  std::fclose(file);
  return bytes;
}

bool PutBlock(UINT format, const std::vector<char>& bytes) {
  HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, bytes.size());
  if (block == nullptr) return false;
  if (!bytes.empty()) {
    std::memcpy(::GlobalLock(block), bytes.data(), bytes.size());
    ::GlobalUnlock(block);
  }
  if (::SetClipboardData(format, block) != nullptr) return true;
  ::GlobalFree(block);
  return false;
}

// Takes the clipboard for this window and fills it as the command says.
bool TakeClipboard(HWND owner, int argc, char** argv) {
  const std::string command = argv[2];
  if (command == "hold") return OpenClipboardRetry(owner);  // stays open
  if (!OpenClipboardRetry(owner)) return false;
  bool ok = ::EmptyClipboard() != FALSE;
  if (command == "delay" && argc >= 5) {
    g_dieOnRender = std::strcmp(argv[4], "die") == 0;
    // SetClipboardData answers none for a promise: whether it took shows in
    // the formats that the clipboard now lists.
    ::SetClipboardData(FormatOf(argv[3]), nullptr);
    ok = ok && ::IsClipboardFormatAvailable(FormatOf(argv[3])) != FALSE;
  } else if (command == "put") {
    for (int i = 3; ok && i < argc; ++i) {
      const char* equals = std::strchr(argv[i], '=');
      if (equals == nullptr) return false;
      ok = PutBlock(FormatOf(std::string(argv[i], static_cast<std::size_t>(equals - argv[i])).c_str()),
                    ReadFileBytes(equals + 1));
    }
  } else if (command == "late" && argc >= 5) {
    g_lateMs = static_cast<DWORD>(std::strtoul(argv[3], nullptr, 10));
    for (int i = 4; ok && i < argc; ++i) {
      const char* equals = std::strchr(argv[i], '=');
      if (equals == nullptr) return false;
      const UINT format = FormatOf(std::string(argv[i], static_cast<std::size_t>(equals - argv[i])).c_str());
      g_latePromises.push_back({format, equals + 1});
      ::SetClipboardData(format, nullptr);
      ok = ::IsClipboardFormatAvailable(format) != FALSE;
    }
  } else {
    ok = false;
  }
  ::CloseClipboard();
  return ok;
}

// Serves the window's messages until the quit event is set.
void ServeUntilQuit(HANDLE quit) {
  const DWORD start = ::GetTickCount();
  while (::GetTickCount() - start < kLifetimeMs) {
    const DWORD woke = ::MsgWaitForMultipleObjects(1, &quit, FALSE, 100, QS_ALLINPUT);
    if (woke == WAIT_OBJECT_0) return;
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageA(&msg);
  }
}

// ------------------------------------------------------------ count

LONG* g_renderCount = nullptr;

HGLOBAL RenderedBlock(UINT format) {
  const std::string text = "rendered " + std::to_string(format);
  const std::wstring wide(text.begin(), text.end());
  const bool unicode = format == CF_UNICODETEXT;
  const std::size_t size = unicode ? (wide.size() + 1) * sizeof(wchar_t) : text.size() + 1;
  HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, size);
  if (block == nullptr) return nullptr;
  std::memcpy(::GlobalLock(block), unicode ? static_cast<const void*>(wide.c_str()) : text.c_str(), size);
  ::GlobalUnlock(block);
  return block;
}

LRESULT CALLBACK CountingOwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_RENDERFORMAT: {
      ::InterlockedIncrement(g_renderCount);
      HGLOBAL block = RenderedBlock(static_cast<UINT>(wParam));
      if (block != nullptr && ::SetClipboardData(static_cast<UINT>(wParam), block) == nullptr)
        ::GlobalFree(block);
      return 0;
    }
    case WM_RENDERALLFORMATS:
      return 0;
    default:
      return ::DefWindowProcA(window, message, wParam, lParam);
  }
}

// The count lives in a mapping of the page file, which the test opens by name.
bool MapRenderCount(const std::string& name) {
  HANDLE mapping = ::CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(LONG),
                                        (name + "-renders").c_str());
  if (mapping == nullptr) return false;
  g_renderCount = static_cast<LONG*>(::MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, sizeof(LONG)));
  return g_renderCount != nullptr;
}

HWND TakeClipboardCounting(const std::string& name, int argc, char** argv) {
  if (!MapRenderCount(name)) return nullptr;
  WNDCLASSA wc = {};
  wc.lpfnWndProc = CountingOwnerProc;
  wc.hInstance = ::GetModuleHandleA(nullptr);
  wc.lpszClassName = "KelvaneTestCountingOwner";
  ::RegisterClassA(&wc);
  HWND owner = ::CreateWindowExA(0, wc.lpszClassName, "counting owner", 0, 0, 0, 0, 0, nullptr, nullptr,
                                 wc.hInstance, nullptr);
  if (owner == nullptr || !OpenClipboardRetry(owner)) return nullptr;
  bool ok = ::EmptyClipboard() != FALSE;
  for (int i = 3; ok && i < argc; ++i) {
    ::SetClipboardData(FormatOf(argv[i]), nullptr);
    ok = ::IsClipboardFormatAvailable(FormatOf(argv[i])) != FALSE;
  }
  ::CloseClipboard();
  return ok ? owner : nullptr;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr,
                 "usage: clipboard_owner <name> hold | delay <format> nothing|die | put <format>=<file>... | "
                 "late <ms> <format>=<file>|seeded:<count>:<seed>...\n");
    return 2;
  }
  const std::string name = argv[1];
  HANDLE ready = ::CreateEventA(nullptr, TRUE, FALSE, (name + "-ready").c_str());
  HANDLE quit = ::CreateEventA(nullptr, TRUE, FALSE, (name + "-quit").c_str());
  g_waitEnders[0] = ::CreateEventA(nullptr, TRUE, FALSE, (name + "-release").c_str());
  g_waitEnders[1] = quit;
  char temp[MAX_PATH] = "";
  ::GetTempPathA(MAX_PATH, temp);
  g_rendersPath = std::string(temp) + name + "-renders.txt";
  if (std::strcmp(argv[2], "count") == 0) {
    if (ready == nullptr || quit == nullptr || TakeClipboardCounting(name, argc, argv) == nullptr) return 1;
    ::SetEvent(ready);
    ServeUntilQuit(quit);
    return 0;
  }
  HWND owner = CreateOwnerWindow();
  if (ready == nullptr || quit == nullptr || owner == nullptr || !TakeClipboard(owner, argc, argv)) {
    std::fprintf(stderr, "clipboard_owner: could not take the clipboard\n");
    return 1;
  }
  ::SetEvent(ready);
  ServeUntilQuit(quit);
  if (std::strcmp(argv[2], "hold") == 0) ::CloseClipboard();
  return 0;
}
