#include "capture/capturemenu_win32.h"

#include <commctrl.h>
#include <commdlg.h>

#include <memory>
#include <new>
#include <string>

#include "app/resource.h"
#include "app/widetext_win32.h"
#include "capture/captureprogress_win32.h"
#include "capture/restore_win32.h"
#include "capture/restoreprompt.h"

namespace {

constexpr char kOpenFilter[] = "Clipboard files (*.clp)\0*.clp\0All Files (*.*)\0*.*\0";
constexpr char kDefaultExtension[] = "clp";
constexpr char kNoMemoryText[] = "There is not enough memory to open the file. Nothing was changed.";
constexpr UINT_PTR kRestoreSubclassId = 0x0140;

// A restore on its worker: what it puts back, and what it answers.
struct RestoreJob {
  HWND dialog;
  std::string path;
  ClpDirectory directory;
  std::string failure;  // UTF-8; empty when the file went back
  bool outOfMemory;     // the restore ended by a failed allocation
};

// One dialog a process, so one restore or capture at a time.
struct RestoreState {
  HANDLE worker = nullptr;
  UINT doneMessage = 0;  // posted to the dialog with the job when the worker ends
  bool capturing = false;
};
RestoreState g_restore;

void ShowWarning(HWND dialog, const std::string& utf8) {
  ::MessageBoxW(dialog, WideOfUtf8(utf8).c_str(), nullptr, MB_ICONWARNING | MB_OK);
}

// Both items are greyed while either runs: a restore would change the
// clipboard under a capture, and a capture read it under a restore.
void EnableOpenItem(HWND dialog, bool enabled) {
  HMENU menu = ::GetSystemMenu(dialog, FALSE);
  for (UINT command : {kCaptureClipboardCommand, kOpenCaptureCommand}) {
    ::EnableMenuItem(menu, command, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
  }
}

bool Busy() { return g_restore.worker != nullptr || g_restore.capturing; }

// ------------------------------------------------------------------ worker

DWORD WINAPI RestoreWorker(void* parameter) {
  auto* job = static_cast<RestoreJob*>(parameter);
  try {
    job->failure = PutCaptureOnClipboard(job->dialog, job->path, job->directory);
  } catch (...) {
    job->outOfMemory = true;
  }
  if (!::PostMessageA(job->dialog, g_restore.doneMessage, 0, reinterpret_cast<LPARAM>(job))) delete job;
  return 0;
}

void StartRestore(HWND dialog, std::unique_ptr<RestoreJob> job) {
  HANDLE worker = ::CreateThread(nullptr, 0, RestoreWorker, job.get(), 0, nullptr);
  if (worker == nullptr) {
    ShowWarning(dialog, "The file could not be put back: no thread could be started. Nothing was changed.");
    return;
  }
  job.release();  // the worker's until its message comes back
  g_restore.worker = worker;
  EnableOpenItem(dialog, false);
}

void FinishRestore(HWND dialog, RestoreJob* done) {
  const std::unique_ptr<RestoreJob> job(done);
  if (g_restore.worker != nullptr) {
    ::WaitForSingleObject(g_restore.worker, INFINITE);  // it has posted its last word
    ::CloseHandle(g_restore.worker);
    g_restore.worker = nullptr;
  }
  EnableOpenItem(dialog, true);
  if (job->outOfMemory) {
    ::MessageBoxA(dialog, kNoMemoryText, nullptr, MB_ICONWARNING | MB_OK);
  } else if (job->failure.empty()) {
    ::SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_ANALYZE, BN_CLICKED), 0);
  } else {
    ShowWarning(dialog, job->failure);
  }
}

// A dialog that goes while a restore runs waits for it, so that the worker
// never outlives the window that owns the clipboard it fills.
void ForgetRestore(HWND dialog) {
  if (g_restore.worker == nullptr) return;
  ::WaitForSingleObject(g_restore.worker, 30000);
  MSG pending;
  while (::PeekMessageA(&pending, dialog, g_restore.doneMessage, g_restore.doneMessage, PM_REMOVE)) {
    delete reinterpret_cast<RestoreJob*>(pending.lParam);
  }
  ::CloseHandle(g_restore.worker);
  g_restore.worker = nullptr;
}

LRESULT CALLBACK RestoreSubclassProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                     DWORD_PTR) {
  if (message == g_restore.doneMessage && g_restore.doneMessage != 0) {
    try {
      FinishRestore(dialog, reinterpret_cast<RestoreJob*>(lParam));
    } catch (...) {
      ::MessageBoxA(dialog, kNoMemoryText, nullptr, MB_ICONWARNING | MB_OK);
    }
    return 0;
  }
  if (message == WM_NCDESTROY) {
    ForgetRestore(dialog);
    ::RemoveWindowSubclass(dialog, RestoreSubclassProc, id);
  }
  return ::DefSubclassProc(dialog, message, wParam, lParam);
}

// ------------------------------------------------------------------- open

// The file the user chose in the open or the save dialog, both with the
// clipboard files' filters; empty when cancelled.
std::string AskForFile(HWND dialog, bool save) {
  char path[MAX_PATH] = {};
  OPENFILENAMEA choose = {};
  choose.lStructSize = sizeof(choose);
  choose.hwndOwner = dialog;
  choose.lpstrFilter = kOpenFilter;
  choose.nFilterIndex = 1;
  choose.lpstrFile = path;
  choose.nMaxFile = MAX_PATH;
  choose.lpstrTitle = save ? kCaptureTitle : kOpenCaptureTitle;
  choose.lpstrDefExt = kDefaultExtension;
  choose.Flags = (save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST) | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY |
                 OFN_NOCHANGEDIR;
  if (!(save ? ::GetSaveFileNameA(&choose) : ::GetOpenFileNameA(&choose))) return {};
  return path;
}

bool ConfirmRestore(HWND dialog, const ClpDirectory& directory) {
  const std::wstring question = WideOfUtf8(RestoreQuestion(directory));
  const std::wstring title = WideOfUtf8(kOpenCaptureTitle);
  return ::MessageBoxW(dialog, question.c_str(), title.c_str(), MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) ==
         IDYES;
}

void OpenCapture(HWND dialog) {
  if (Busy()) {
    ::MessageBeep(MB_OK);
    return;
  }
  const std::string path = AskForFile(dialog, false);
  if (path.empty()) return;
  OpenedCapture opened = ReadCaptureFile(path);
  if (!opened.problem.empty()) {
    ShowWarning(dialog, opened.problem);
    return;
  }
  if (!ConfirmRestore(dialog, opened.directory)) return;
  StartRestore(
      dialog, std::make_unique<RestoreJob>(RestoreJob{dialog, path, std::move(opened.directory), {}, false}));
}

// ----------------------------------------------------------------- capture

void CaptureEnded(HWND dialog) {
  g_restore.capturing = false;
  EnableOpenItem(dialog, true);
}

void CaptureClipboard(HWND dialog) {
  if (Busy()) {
    ::MessageBeep(MB_OK);
    return;
  }
  const std::string path = AskForFile(dialog, true);
  if (path.empty() || Busy()) return;
  if (!StartCaptureWithProgress(dialog, path, CaptureEnded)) return;
  g_restore.capturing = true;
  EnableOpenItem(dialog, false);
}

}  // namespace

void AddCaptureMenuItems(HWND dialog) {
  HMENU menu = ::GetSystemMenu(dialog, FALSE);
  if (menu == nullptr) return;
  const int count = ::GetMenuItemCount(menu);
  const UINT last = count > 0 ? ::GetMenuItemID(menu, count - 1) : 0;
  if (!IsKelvaneSysCommand(last)) ::AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
  ::AppendMenuA(menu, MF_STRING, kCaptureClipboardCommand, "Capture the Clipboard...");
  ::AppendMenuA(menu, MF_STRING, kOpenCaptureCommand, "Open a Capture...");
  if (g_restore.doneMessage == 0) g_restore.doneMessage = ::RegisterWindowMessageA("Kelvane restore done");
  ::SetWindowSubclass(dialog, RestoreSubclassProc, kRestoreSubclassId, 0);
}

bool OnCaptureCommand(HWND dialog, WPARAM command) {
  // The system keeps the low four bits for itself.
  switch (static_cast<UINT>(command & 0xFFF0)) {
    case kOpenCaptureCommand:
      try {
        OpenCapture(dialog);
      } catch (...) {
        ::MessageBoxA(dialog, kNoMemoryText, nullptr, MB_ICONWARNING | MB_OK);
      }
      return true;
    case kCaptureClipboardCommand:
      try {
        CaptureClipboard(dialog);
      } catch (...) {
        ::MessageBoxA(dialog, kNoMemoryText, nullptr, MB_ICONWARNING | MB_OK);
      }
      return true;
    default:
      return false;
  }
}
