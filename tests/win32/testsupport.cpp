#include "testsupport.h"

#include <cstdlib>
#include <cstring>

namespace testsupport {

bool OpenClipboardRetry(HWND owner) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    if (::OpenClipboard(owner)) return true;
    ::Sleep(10);
  }
  return false;
}

void ClearClipboard() {
  if (OpenClipboardRetry()) {
    ::EmptyClipboard();
    ::CloseClipboard();
  }
}

static HGLOBAL BlockOf(const void* bytes, std::size_t count) {
  HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, count);
  if (block == nullptr) return nullptr;
  if (count != 0) {
    void* p = ::GlobalLock(block);
    if (p == nullptr) {
      ::GlobalFree(block);
      return nullptr;
    }
    std::memcpy(p, bytes, count);
    ::GlobalUnlock(block);
  }
  return block;
}

bool PutClipboardItems(const std::vector<ClipboardItem>& items) {
  if (!OpenClipboardRetry()) return false;
  bool ok = ::EmptyClipboard() != FALSE;
  for (const ClipboardItem& item : items) {
    if (!ok) break;
    HGLOBAL block = BlockOf(item.bytes.data(), item.bytes.size());
    if (block == nullptr || ::SetClipboardData(item.format, block) == nullptr) {
      if (block != nullptr) ::GlobalFree(block);
      ok = false;
    }
  }
  ::CloseClipboard();
  return ok;
}

bool PutClipboardBytes(UINT format, const void* bytes, std::size_t count) {
  const auto* p = static_cast<const std::uint8_t*>(bytes);
  return PutClipboardItems({{format, std::vector<std::uint8_t>(p, p + count)}});
}

std::vector<UINT> ClipboardFormats() {
  std::vector<UINT> formats;
  if (!OpenClipboardRetry()) return formats;
  for (UINT f = ::EnumClipboardFormats(0); f != 0; f = ::EnumClipboardFormats(f)) {
    formats.push_back(f);
  }
  ::CloseClipboard();
  return formats;
}

std::vector<std::uint8_t> ClipboardBytes(UINT format) {
  std::vector<std::uint8_t> bytes;
  if (!OpenClipboardRetry()) return bytes;
  HANDLE block = ::GetClipboardData(format);
  const void* memory = block != nullptr ? ::GlobalLock(block) : nullptr;
  if (memory != nullptr) {
    const auto* first = static_cast<const std::uint8_t*>(memory);
    bytes.assign(first, first + ::GlobalSize(block));
    ::GlobalUnlock(block);
  }
  ::CloseClipboard();
  return bytes;
}

bool PutWithXclip(const char* mimeType, const std::string& hostPath, UINT format) {
  ClearClipboard();
  // start.exe runs a host program given by its host path; xclip serves the
  // selection from a process of its own after the one started here ends.
  std::string command = std::string("start.exe /wait /unix /usr/bin/xclip -selection clipboard -t ") +
                        mimeType + " -i " + hostPath;
  STARTUPINFOA startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process = {};
  if (!::CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                        &startup, &process)) {
    return false;
  }
  ::WaitForSingleObject(process.hProcess, 10000);
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
  return WaitUntil([format] { return ::IsClipboardFormatAvailable(format) != FALSE; });
}

INPUT MouseInput(POINT screen, DWORD flags) {
  const int width = ::GetSystemMetrics(SM_CXSCREEN);
  const int height = ::GetSystemMetrics(SM_CYSCREEN);
  INPUT input = {};
  input.type = INPUT_MOUSE;
  input.mi.dx = ::MulDiv(screen.x, 65535, width - 1);
  input.mi.dy = ::MulDiv(screen.y, 65535, height - 1);
  input.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  return input;
}

void SendMouseAt(HWND window, POINT client, DWORD flags, DWORD ms) {
  POINT screen = client;
  ::ClientToScreen(window, &screen);
  INPUT input = MouseInput(screen, flags);
  ::SendInput(1, &input, sizeof(INPUT));
  PumpMessages(ms);
}

void PumpMessages(DWORD ms) {
  const DWORD start = ::GetTickCount();
  do {
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageA(&msg);
    }
    ::Sleep(1);
  } while (::GetTickCount() - start < ms);
}

bool WaitUntil(const std::function<bool()>& predicate, DWORD timeoutMs) {
  const DWORD start = ::GetTickCount();
  for (;;) {
    if (predicate()) return true;
    if (::GetTickCount() - start >= timeoutMs) return predicate();
    PumpMessages(5);
  }
}

namespace {
struct ClassSearch {
  const char* className;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectOwnWindowsProc(HWND window, LPARAM lParam) {
  auto* search = reinterpret_cast<ClassSearch*>(lParam);
  DWORD pid = 0;
  ::GetWindowThreadProcessId(window, &pid);
  if (pid != ::GetCurrentProcessId()) return TRUE;
  char name[256] = {};
  ::GetClassNameA(window, name, sizeof(name));
  if (std::strcmp(name, search->className) == 0) search->found.push_back(window);
  return TRUE;
}
}  // namespace

std::vector<HWND> OwnWindowsOfClass(const char* className) {
  ClassSearch search = {className, {}};
  ::EnumWindows(CollectOwnWindowsProc, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND FindOwnWindow(const char* className, const char* title) {
  for (HWND window : OwnWindowsOfClass(className)) {
    if (title == nullptr || WindowText(window) == title) return window;
  }
  return nullptr;
}

std::string WindowText(HWND window) {
  char text[1024] = {};
  ::GetWindowTextA(window, text, sizeof(text));
  return text;
}

std::string ProgramBesideTests(const char* fileName) {
  char path[MAX_PATH] = {};
  ::GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string dir(path);
  dir.resize(dir.find_last_of("\\/") + 1);
  return dir + fileName;
}

std::string TempPath(const char* stem) {
  char dir[MAX_PATH] = {};
  ::GetTempPathA(MAX_PATH, dir);
  static unsigned counter = 0;
  return std::string(dir) + "kelvane-" + stem + "-" + std::to_string(::GetCurrentProcessId()) + "-" +
         std::to_string(++counter) + ".bin";
}

std::vector<std::uint8_t> ReadFileBytes(const std::string& path) {
  std::vector<std::uint8_t> bytes;
  HANDLE file = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return bytes;
  LARGE_INTEGER size = {};
  ::GetFileSizeEx(file, &size);
  bytes.resize(static_cast<std::size_t>(size.QuadPart));
  DWORD read = 0;
  if (!bytes.empty()) {
    ::ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    bytes.resize(read);
  }
  ::CloseHandle(file);
  return bytes;
}

unsigned EnvCount(const char* name, unsigned fallback) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0' ? static_cast<unsigned>(std::strtoul(value, nullptr, 10))
                                            : fallback;
}

WindowPixels::WindowPixels(HWND window) {
  ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  RECT client{};
  ::GetClientRect(window, &client);
  width_ = client.right;
  height_ = client.bottom;
  HDC dc = ::GetDC(window);
  HDC memory = ::CreateCompatibleDC(dc);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width_;
  info.bmiHeader.biHeight = -height_;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = ::CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ previous = ::SelectObject(memory, bitmap);
  ::BitBlt(memory, 0, 0, width_, height_, dc, 0, 0, SRCCOPY);
  ::GdiFlush();
  const auto* source = static_cast<const std::uint32_t*>(bits);
  pixels_.assign(source, source + static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_));
  ::SelectObject(memory, previous);
  ::DeleteObject(bitmap);
  ::DeleteDC(memory);
  ::ReleaseDC(window, dc);
}

COLORREF WindowPixels::At(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return CLR_INVALID;
  const std::uint32_t bgr =
      pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x)];
  return RGB((bgr >> 16) & 0xFF, (bgr >> 8) & 0xFF, bgr & 0xFF);
}

int WindowPixels::Count(int left, int top, int right, int bottom, COLORREF color) const {
  int n = 0;
  for (int y = top; y < bottom; ++y)
    for (int x = left; x < right; ++x) n += At(x, y) == color;
  return n;
}

bool RunHostCommand(const std::string& shellCommand) {
  // Wine starts a host program named by its path like a Windows one.
  std::string line = "/bin/sh -c \"" + shellCommand + "\"";
  STARTUPINFOA startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process = {};
  if (!::CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
    return false;
  }
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
  return true;
}

}  // namespace testsupport
