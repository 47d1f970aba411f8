#include "capture/commandline_win32.h"

#include <optional>
#include <string>

#include "capture/capture_win32.h"
#include "capture/commandline.h"
#include "capture/restore_win32.h"

namespace {

constexpr char kOwnerClass[] = "Kelvane Clipboard Owner";

bool IsUsable(HANDLE handle) {
  return handle != nullptr && handle != INVALID_HANDLE_VALUE && ::GetFileType(handle) != FILE_TYPE_UNKNOWN;
}

// Where a stream goes. Started from a shell, a program of the window
// subsystem is given the shell's redirection as its standard handles
// (under Wine its terminal too); otherwise it writes to the console of the
// program that started it, when that has one.
HANDLE StreamHandle(DWORD which) {
  HANDLE handle = ::GetStdHandle(which);
  if (IsUsable(handle)) return handle;
  static HANDLE console = [] {
    if (!::AttachConsole(ATTACH_PARENT_PROCESS) && ::GetLastError() != ERROR_ACCESS_DENIED)
      return HANDLE{nullptr};
    return ::CreateFileA("CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, 0, nullptr);
  }();
  return IsUsable(console) ? console : nullptr;
}

void Write(DWORD which, const std::string& text) {
  HANDLE stream = StreamHandle(which);
  if (stream == nullptr) return;
  for (std::size_t done = 0; done < text.size();) {
    DWORD wrote = 0;
    if (!::WriteFile(stream, text.data() + done, static_cast<DWORD>(text.size() - done), &wrote, nullptr) ||
        wrote == 0) {
      return;
    }
    done += wrote;
  }
}

void Say(const std::string& text) { Write(STD_OUTPUT_HANDLE, text); }
void Complain(const std::string& line) { Write(STD_ERROR_HANDLE, line + "\r\n"); }

bool IsSystemLeadByte(unsigned char byte) { return ::IsDBCSLeadByte(byte) != FALSE; }

// The clipboard's formats, named as the format browser's Copy names them;
// no format's data is asked for, so no owner is made to render one.
int ListFormats() {
  if (!OpenClipboardRetrying(nullptr, 1000)) {
    Complain("The clipboard could not be opened: another program holds it.");
    return kExitFailed;
  }
  std::string lines;
  for (UINT format = ::EnumClipboardFormats(0); format != 0; format = ::EnumClipboardFormats(format)) {
    // Any atom's name fits in 255 characters; Wine answers 0 for a buffer
    // too small for the name.
    char name[256] = {};
    const int length = ::GetClipboardFormatNameA(format, name, sizeof(name));
    const std::optional<std::string_view> registered =
        length > 0 ? std::optional<std::string_view>(std::string_view(name, static_cast<std::size_t>(length)))
                   : std::nullopt;
    lines += ListLine(format, ListedFormatName(format, registered, IsSystemLeadByte));
  }
  ::CloseClipboard();
  Say(lines);
  return kExitDone;
}

// A window of Kelvane's own to own the clipboard: the clipboard takes data
// only from an owner, and a clipboard log can tell Kelvane's changes by it.
HWND CreateOwnerWindow(HINSTANCE instance) {
  WNDCLASSEXA windowClass = {};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = ::DefWindowProcA;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = kOwnerClass;
  ::RegisterClassExA(&windowClass);
  return ::CreateWindowExA(0, kOwnerClass, "Kelvane", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance,
                           nullptr);
}

int RestoreFile(HINSTANCE instance, const std::string& path) {
  const OpenedCapture opened = ReadCaptureFile(path);
  if (!opened.problem.empty()) {
    Complain(opened.problem);
    return kExitFailed;
  }
  HWND owner = CreateOwnerWindow(instance);
  if (owner == nullptr) {
    Complain("No window could be made to own the clipboard. Nothing was changed.");
    return kExitFailed;
  }
  const std::string failure = PutCaptureOnClipboard(owner, path, opened.directory);
  ::DestroyWindow(owner);
  if (!failure.empty()) {
    Complain(failure);
    return kExitFailed;
  }
  return kExitDone;
}

// The capture the menu makes, without a window: a slow owner is given the
// platform's own wait, and each format left out is a line on the error output.
int CaptureToFile(const std::string& path) {
  CaptureControls controls;
  controls.renderLimitMs = kCommandLineRenderLimitMs;
  const CaptureOutcome outcome = CaptureClipboardToFile(path, controls);
  if (!outcome.written) {
    Complain(outcome.failure);
    return kExitFailed;
  }
  for (const std::string& line : outcome.notCaptured) Complain(line);
  return kExitDone;
}

int Run(HINSTANCE instance, const Command& command) {
  switch (command.kind) {
    case CommandKind::Window:
      return kNoCommand;
    case CommandKind::List:
      return ListFormats();
    case CommandKind::Capture:
      return CaptureToFile(command.file);
    case CommandKind::Restore:
      return RestoreFile(instance, command.file);
    case CommandKind::Help:
      Write(STD_ERROR_HANDLE, UsageText());
      return kExitDone;
    case CommandKind::Misused:
      Write(STD_ERROR_HANDLE, command.problem + "\r\n" + UsageText());
      return kExitMisused;
  }
  return kExitMisused;
}

}  // namespace

int RunCommandLine(HINSTANCE instance, const char* commandLine) {
  try {
    return Run(instance, ParseCommandLine(commandLine != nullptr ? commandLine : ""));
  } catch (...) {
    Write(STD_ERROR_HANDLE, "There is not enough memory. Nothing was changed.\r\n");
    return kExitFailed;
  }
}
