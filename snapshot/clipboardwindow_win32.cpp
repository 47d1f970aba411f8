#include "snapshot/clipboardwindow_win32.h"

#include <new>

#include "app/widetext_win32.h"

namespace {

std::string ExecutableOf(DWORD processId) {
  HANDLE process = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
  if (process == nullptr) return {};
  wchar_t path[MAX_PATH] = L"";
  DWORD units = MAX_PATH;
  const bool found = ::QueryFullProcessImageNameW(process, 0, path, &units) != FALSE;
  ::CloseHandle(process);
  return found ? Utf8OfWide(path, static_cast<int>(units)) : std::string();
}

}  // namespace

ClipboardWindow DescribeClipboardWindow(HWND window) {
  ClipboardWindow described;
  if (window == nullptr) return described;
  described.window = reinterpret_cast<std::uintptr_t>(window);
  char className[256] = "";
  const int length = ::GetClassNameA(window, className, sizeof(className));
  described.windowClass.assign(className, length > 0 ? static_cast<std::size_t>(length) : 0);
  DWORD processId = 0;
  ::GetWindowThreadProcessId(window, &processId);
  described.processId = processId;
  if (processId != 0) described.executable = ExecutableOf(processId);
  return described;
}

bool OpenClipboardPatiently(HWND window, ClipboardWindow* holder) {
  constexpr ULONGLONG kPatienceMs = 100;
  constexpr DWORD kRetryMs = 5;
  const ULONGLONG start = ::GetTickCount64();
  for (;;) {
    if (::OpenClipboard(window)) return true;
    if (::GetTickCount64() - start >= kPatienceMs) break;
    ::Sleep(kRetryMs);
  }
  try {
    *holder = DescribeClipboardWindow(::GetOpenClipboardWindow());
  } catch (const std::bad_alloc&) {
    *holder = ClipboardWindow{};  // a holder that cannot be named
  }
  return false;
}
