#include "capture/captureprogress_win32.h"

#include <memory>
#include <new>

#include "app/widetext_win32.h"
#include "capture/capture_win32.h"
#include "capture/capturerun.h"

namespace {

constexpr UINT kProgressChanged = WM_APP + 0x72;  // posted by the worker: new texts to show
constexpr UINT kCaptureEnded = WM_APP + 0x73;     // posted by the worker as its last word
constexpr int kWidth = 480;
constexpr int kHeight = 150;

// One capture: shared by its window and its worker.
struct CaptureJob {
  HWND dialog = nullptr;
  HWND window = nullptr;
  std::string path;
  void (*ended)(HWND) = nullptr;
  HANDLE worker = nullptr;
  CaptureControls controls;
  SRWLOCK lock = SRWLOCK_INIT;  // guards the texts below
  std::string reading;
  std::string waiting;
  std::uint64_t bytesSoFar = 0;
  CaptureOutcome outcome;  // the worker's until it posts kCaptureEnded
  ~CaptureJob() {
    if (controls.wake != nullptr) ::CloseHandle(controls.wake);
  }
};

void Progress(void* context, const std::string& reading, const std::string& waiting, std::uint64_t bytes) {
  auto* job = static_cast<CaptureJob*>(context);
  ::AcquireSRWLockExclusive(&job->lock);
  try {
    job->reading = reading;
    job->waiting = waiting;
    job->bytesSoFar = bytes;
  } catch (...) {
    // Out of memory for a text: the window shows the one before.
  }
  ::ReleaseSRWLockExclusive(&job->lock);
  ::PostMessageA(job->window, kProgressChanged, 0, 0);
}

DWORD WINAPI CaptureWorker(void* parameter) {
  auto* job = static_cast<CaptureJob*>(parameter);
  try {
    job->outcome = CaptureClipboardToFile(job->path, job->controls);
  } catch (...) {
    job->outcome = CaptureOutcome{};
    job->outcome.failure = "There is not enough memory to capture the clipboard. Nothing was changed.";
  }
  ::PostMessageA(job->window, kCaptureEnded, 0, 0);
  return 0;
}

void SetLine(HWND window, int id, const std::string& utf8) {
  ::SetWindowTextW(::GetDlgItem(window, id), WideOfUtf8(utf8).c_str());
}

void ShowProgress(CaptureJob& job) {
  std::string reading, waiting;
  std::uint64_t bytes = 0;
  ::AcquireSRWLockShared(&job.lock);
  try {
    reading = job.reading;
    waiting = job.waiting;
    bytes = job.bytesSoFar;
  } catch (...) {
  }
  ::ReleaseSRWLockShared(&job.lock);
  SetLine(job.window, kProgressReadingLine, reading);
  SetLine(job.window, kProgressWaitingLine, waiting);
  SetLine(job.window, kProgressBytesLine, SizeText(bytes) + " written so far");
}

void AskToCancel(CaptureJob& job) {
  job.controls.cancel = true;
  ::SetEvent(job.controls.wake);
  ::EnableWindow(::GetDlgItem(job.window, IDCANCEL), FALSE);
}

void AskToSkip(CaptureJob& job) {
  const std::uint32_t waited = job.controls.waitingFor.load();
  if (waited == 0) return;
  job.controls.skip = waited;
  ::SetEvent(job.controls.wake);
}

void ShowOutcome(HWND dialog, const CaptureOutcome& outcome) {
  if (outcome.cancelled) return;
  const std::wstring title = WideOfUtf8(kCaptureTitle);
  if (outcome.written) {
    ::MessageBoxW(dialog, WideOfUtf8(outcome.message).c_str(), title.c_str(), MB_ICONINFORMATION | MB_OK);
  } else {
    ::MessageBoxW(dialog, WideOfUtf8(outcome.failure).c_str(), title.c_str(), MB_ICONWARNING | MB_OK);
  }
}

void JoinWorker(CaptureJob& job) {
  if (job.worker == nullptr) return;
  ::WaitForSingleObject(job.worker, INFINITE);  // it has posted its last word, or is about to end
  ::CloseHandle(job.worker);
  job.worker = nullptr;
}

void FinishCapture(CaptureJob& job) {
  JoinWorker(job);
  const HWND dialog = job.dialog;
  const CaptureOutcome outcome = std::move(job.outcome);
  if (job.ended != nullptr) job.ended(dialog);
  ::DestroyWindow(job.window);  // the job goes with it
  ShowOutcome(dialog, outcome);
}

void CreateLines(HWND window) {
  const HINSTANCE instance = ::GetModuleHandleA(nullptr);
  const auto font = reinterpret_cast<WPARAM>(::GetStockObject(DEFAULT_GUI_FONT));
  const struct {
    const char* windowClass;
    int id;
    DWORD style;
    int x, y, width, height;
    const char* text;
  } children[] = {
      {"STATIC", kProgressReadingLine, SS_LEFTNOWORDWRAP, 12, 12, kWidth - 30, 18,
       "Reading the clipboard..."},
      {"STATIC", kProgressWaitingLine, SS_LEFT, 12, 32, kWidth - 30, 34, ""},
      {"STATIC", kProgressBytesLine, SS_LEFT, 12, 70, kWidth - 130, 18, ""},
      {"BUTTON", IDCANCEL, BS_PUSHBUTTON, kWidth - 108, 66, 84, 24, "Cancel"},
  };
  for (const auto& c : children) {
    HWND child = ::CreateWindowExA(0, c.windowClass, c.text, WS_CHILD | WS_VISIBLE | c.style, c.x, c.y,
                                   c.width, c.height, window,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)), instance, nullptr);
    ::SendMessageA(child, WM_SETFONT, font, FALSE);
  }
}

LRESULT CALLBACK CaptureProgressProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* job = reinterpret_cast<CaptureJob*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
  switch (message) {
    case WM_CREATE: {
      job = static_cast<CaptureJob*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
      job->window = window;
      ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(job));
      CreateLines(window);
      return 0;
    }
    case kProgressChanged:
      if (job != nullptr) ShowProgress(*job);
      return 0;
    case kCaptureEnded:
      if (job != nullptr) FinishCapture(*job);
      return 0;
    case WM_KEYDOWN:
      if (wParam == VK_ESCAPE && job != nullptr) AskToSkip(*job);
      return 0;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDCANCEL && job != nullptr) AskToCancel(*job);
      return 0;
    case WM_CLOSE:
      if (job != nullptr) AskToCancel(*job);
      return 0;
    case WM_DESTROY:
      // A window that goes while the capture runs (its dialog went) ends
      // the capture first, so that the worker never outlives the job.
      if (job != nullptr && job->worker != nullptr) {
        AskToCancel(*job);
        JoinWorker(*job);
      }
      return 0;
    case WM_NCDESTROY:
      ::SetWindowLongPtrA(window, GWLP_USERDATA, 0);
      delete job;
      return 0;
    default:
      return ::DefWindowProcA(window, message, wParam, lParam);
  }
}

bool RegisterProgressClass() {
  static const bool registered = [] {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = CaptureProgressProc;
    windowClass.hInstance = ::GetModuleHandleA(nullptr);
    windowClass.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kCaptureProgressClass;
    return ::RegisterClassA(&windowClass) != 0;
  }();
  return registered;
}

void Refuse(HWND dialog, const char* text) {
  ::MessageBoxA(dialog, text, kCaptureTitle, MB_ICONWARNING | MB_OK);
}

}  // namespace

bool StartCaptureWithProgress(HWND dialog, const std::string& path, void (*ended)(HWND dialog)) {
  auto job = std::make_unique<CaptureJob>();
  job->dialog = dialog;
  job->path = path;
  job->ended = ended;
  job->controls.wake = ::CreateEventA(nullptr, FALSE, FALSE, nullptr);
  job->controls.progress = Progress;
  job->controls.context = job.get();
  RECT owner = {};
  ::GetWindowRect(dialog, &owner);
  const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
  RECT frame = {0, 0, kWidth, kHeight - 40};
  ::AdjustWindowRectEx(&frame, style, FALSE, 0);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  HWND window = nullptr;
  if (job->controls.wake != nullptr && RegisterProgressClass()) {
    window =
        ::CreateWindowExA(0, kCaptureProgressClass, kCaptureTitle, style,
                          (owner.left + owner.right - width) / 2, (owner.top + owner.bottom - height) / 2,
                          width, height, dialog, nullptr, ::GetModuleHandleA(nullptr), job.get());
  }
  if (window == nullptr) {
    Refuse(dialog, "The progress window could not be made. Nothing was changed.");
    return false;
  }
  CaptureJob* running = job.release();  // the window's from now on
  running->worker = ::CreateThread(nullptr, 0, CaptureWorker, running, 0, nullptr);
  if (running->worker == nullptr) {
    ::DestroyWindow(window);
    Refuse(dialog, "The capture could not be started: no thread could be made. Nothing was changed.");
    return false;
  }
  ::ShowWindow(window, SW_SHOW);
  ::SetFocus(window);
  return true;
}
