// Helpers shared by the Win32 tests: the clipboard, message pumping and
// waiting for windows.
#pragma once

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace testsupport {

// OpenClipboard, retried for up to a second: Wine's clipboard manager may
// hold the clipboard for a moment.
bool OpenClipboardRetry(HWND owner = nullptr);

// Empties the clipboard (opened with no owner).
void ClearClipboard();

// Replaces the clipboard's content by one global block of format holding
// bytes. Returns false on any failure.
bool PutClipboardBytes(UINT format, const void* bytes, std::size_t count);

// Replaces the clipboard's content by several formats at once.
struct ClipboardItem {
  UINT format;
  std::vector<std::uint8_t> bytes;
};
bool PutClipboardItems(const std::vector<ClipboardItem>& items);

// The formats the clipboard enumerates, in its order.
std::vector<UINT> ClipboardFormats();

// The whole block of one clipboard format (GlobalSize bytes); empty when
// the format is absent or the clipboard can't be opened.
std::vector<std::uint8_t> ClipboardBytes(UINT format);

// Has the X11 program xclip own the clipboard with the file at hostPath (a
// path of the host, not of Windows) as the target mimeType, and waits until
// Wine lists format for it. False when xclip could not be started or the
// format did not appear.
bool PutWithXclip(const char* mimeType, const std::string& hostPath, UINT format);

// One pointer event of real input: the pointer moves to a screen point, with
// the button flags given (MOUSEEVENTF_LEFTDOWN ...), for SendInput.
INPUT MouseInput(POINT screen, DWORD flags);

// Sends pointer events at a point of a window's client area, then dispatches
// what has arrived for about ms milliseconds.
void SendMouseAt(HWND window, POINT client, DWORD flags, DWORD ms = 30);

// Dispatches the calling thread's messages for about ms milliseconds.
void PumpMessages(DWORD ms);

// Pumps messages until predicate is true or timeoutMs has passed; the
// predicate's last value.
bool WaitUntil(const std::function<bool()>& predicate, DWORD timeoutMs = 5000);

// Every top-level window of this process with the given class, visible or
// not.
std::vector<HWND> OwnWindowsOfClass(const char* className);

// A top-level window of this process with the given class (and title, when
// given), or none.
HWND FindOwnWindow(const char* className, const char* title = nullptr);

// Reads the window text.
std::string WindowText(HWND window);

// The path of a program built beside this test program.
std::string ProgramBesideTests(const char* fileName);

// Creates an empty file path in the temporary directory, unique to the
// process, with the given stem; the file itself is not created.
std::string TempPath(const char* stem);

// Reads a whole file; an empty vector when it can't be read.
std::vector<std::uint8_t> ReadFileBytes(const std::string& path);

// A count from the environment (for the long runs of scripts/soak.sh), or
// fallback when the variable is unset or empty.
unsigned EnvCount(const char* name, unsigned fallback);

// splitmix64: a small generator whose sequence is the same everywhere.
// The window's pixels after one complete repaint, copied out of its DC.
class WindowPixels {
 public:
  explicit WindowPixels(HWND window);

  // The colour at (x, y) as a COLORREF; CLR_INVALID outside the window.
  COLORREF At(int x, int y) const;

  // Pixels of the rectangle [left, right) x [top, bottom) that hold color.
  int Count(int left, int top, int right, int bottom, COLORREF color) const;
  int Area(int left, int top, int right, int bottom) const { return (right - left) * (bottom - top); }

  int width() const { return width_; }
  int height() const { return height_; }

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<std::uint32_t> pixels_;
};

// Runs a program of the host system (an X11 client such as xclip, under
// Wine) with its arguments, through /bin/sh; false when it can't start.
bool RunHostCommand(const std::string& shellCommand);

class Random {
 public:
  explicit Random(std::uint64_t seed) : state_(seed) {}
  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  std::uint32_t Below(std::uint32_t n) { return static_cast<std::uint32_t>(Next() % n); }
  bool OneIn(std::uint32_t n) { return Below(n) == 0; }

 private:
  std::uint64_t state_;
};

// count bytes, each the low byte of Random(seed)'s next number: the same in a
// test and in the clipboard owner it starts.
inline std::vector<std::uint8_t> SeededBytes(std::size_t count, std::uint64_t seed) {
  Random random(seed);
  std::vector<std::uint8_t> bytes(count);
  for (std::uint8_t& byte : bytes) byte = static_cast<std::uint8_t>(random.Next());
  return bytes;
}

#ifdef KELVANE_EXE_NAME  // in the test programs
// A running kelvane.exe; ended (by force, if it didn't quit) when destroyed.
class Program {
 public:
  explicit Program(const std::string& arguments = "") {
    std::string commandLine = "\"" + ProgramBesideTests(KELVANE_EXE_NAME) + "\"" + arguments;
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    started_ = ::CreateProcessA(ProgramBesideTests(KELVANE_EXE_NAME).c_str(), &commandLine[0], nullptr,
                                nullptr, FALSE, 0, nullptr, nullptr, &startup, &process_) != FALSE;
  }
  ~Program() {
    if (!started_) return;
    if (::WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
      ::TerminateProcess(process_.hProcess, 99);
      ::WaitForSingleObject(process_.hProcess, 5000);
    }
    ::CloseHandle(process_.hThread);
    ::CloseHandle(process_.hProcess);
  }
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  bool started() const { return started_; }
  DWORD id() const { return process_.dwProcessId; }

  // The program's "Kelvane" dialog once it is shown, or none.
  HWND WaitForDialog(DWORD timeoutMs = 15000) const {
    HWND found = nullptr;
    WaitUntil(
        [&] {
          Search search = {id(), nullptr};
          ::EnumWindows(FindDialogProc, reinterpret_cast<LPARAM>(&search));
          found = search.found;
          return found != nullptr;
        },
        timeoutMs);
    return found;
  }

  // The exit code once the process has ended within timeoutMs, else -1.
  long WaitForExit(DWORD timeoutMs = 10000) const {
    if (::WaitForSingleObject(process_.hProcess, timeoutMs) != WAIT_OBJECT_0) return -1;
    DWORD code = 0;
    ::GetExitCodeProcess(process_.hProcess, &code);
    return static_cast<long>(code);
  }

 private:
  struct Search {
    DWORD pid;
    HWND found;
  };
  static BOOL CALLBACK FindDialogProc(HWND window, LPARAM lParam) {
    auto* search = reinterpret_cast<Search*>(lParam);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(window, &pid);
    char name[64] = {};
    ::GetClassNameA(window, name, sizeof(name));
    if (pid == search->pid && std::strcmp(name, "#32770") == 0 && ::IsWindowVisible(window) &&
        WindowText(window) == "Kelvane") {
      search->found = window;
      return FALSE;
    }
    return TRUE;
  }

  bool started_ = false;
  PROCESS_INFORMATION process_ = {};
};
#endif

}  // namespace testsupport
