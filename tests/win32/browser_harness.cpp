#include "browser_harness.h"

#include <cstdio>
#include <cstring>
#include <mutex>

#include "app/kelvane.h"
#include "app/resource.h"
#include "browser/formatbrowser.h"
#include "dumpframe/dumpframe.h"
#include "testsupport.h"

namespace browsertest {

// ---------------------------------------------------------------- dialog run

namespace {

BOOL CALLBACK FindShownDialogProc(HWND window, LPARAM lParam) {
  char name[64] = {};
  ::GetClassNameA(window, name, sizeof(name));
  if (std::strcmp(name, "#32770") == 0 && ::IsWindowVisible(window)) {
    *reinterpret_cast<HWND*>(lParam) = window;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

BrowserDialog::BrowserDialog() {
  thread_ = ::CreateThread(nullptr, 0, ThreadMain, this, 0, &threadId_);
  if (thread_ == nullptr) return;
  // DialogBoxParamA shows the dialog once WM_INITDIALOG has returned.
  testsupport::WaitUntil([this] {
    HWND found = nullptr;
    ::EnumThreadWindows(threadId_, FindShownDialogProc, reinterpret_cast<LPARAM>(&found));
    dialog_ = found;
    return dialog_ != nullptr || WaitForThread(0);
  });
}

BrowserDialog::~BrowserDialog() {
  if (thread_ == nullptr) return;
  INT_PTR ignored = 0;
  if (!finished_) Quit(&ignored);
  ::CloseHandle(thread_);
}

DWORD WINAPI BrowserDialog::ThreadMain(void* self) {
  auto* run = static_cast<BrowserDialog*>(self);
  run->result_ = ::DialogBoxParamA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_FORMAT_BROWSER), nullptr,
                                   FormatBrowserProc, 0);
  return 0;
}

bool BrowserDialog::WaitForThread(DWORD timeoutMs) {
  if (finished_) return true;
  finished_ = ::WaitForSingleObject(thread_, timeoutMs) == WAIT_OBJECT_0;
  return finished_;
}

void BrowserDialog::Command(int id) {
  ::SendMessageA(dialog_, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(::GetDlgItem(dialog_, id)));
}

bool BrowserDialog::Quit(INT_PTR* result, DWORD timeoutMs) {
  if (!finished_ && ::IsWindow(dialog_)) {
    ::SendMessageA(dialog_, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  }
  if (!WaitForThread(timeoutMs)) return false;
  *result = result_;
  return true;
}

// ---------------------------------------------------------------- list views

int ItemCount(HWND list) { return static_cast<int>(::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)); }

std::string ItemText(HWND list, int item, int column) {
  char text[512] = {};
  LVITEMA request = {};
  request.iSubItem = column;
  request.pszText = text;
  request.cchTextMax = sizeof(text) - 1;
  ::SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&request));
  return text;
}

LPARAM ItemData(HWND list, int item) {
  LVITEMA request = {};
  request.mask = LVIF_PARAM;
  request.iItem = item;
  request.lParam = static_cast<LPARAM>(-12345);  // a value the list must overwrite
  ::SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&request));
  return request.lParam;
}

int SelectedItem(HWND list) {
  return static_cast<int>(
      ::SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), MAKELPARAM(LVNI_SELECTED, 0)));
}

void SelectItem(HWND list, int item) {
  LVITEMA state = {};
  state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  state.state = LVIS_SELECTED | LVIS_FOCUSED;
  ::SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&state));
}

void ClearSelection(HWND list) {
  LVITEMA state = {};
  state.stateMask = LVIS_SELECTED;
  state.state = 0;
  ::SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&state));
}

int FindItem(HWND list, const std::string& text) {
  for (int i = 0, n = ItemCount(list); i < n; ++i) {
    if (ItemText(list, i, 0) == text) return i;
  }
  return -1;
}

int ItemOfFormat(HWND list, UINT format) {
  for (int i = 0, n = ItemCount(list); i < n; ++i) {
    if (ItemData(list, i) == static_cast<LPARAM>(format)) return i;
  }
  return -1;
}

std::string Hex(UINT format) {
  char text[16];
  std::snprintf(text, sizeof(text), "0x%04X", format);
  return text;
}

ColumnInfo Column(HWND list, int column) {
  char header[128] = {};
  LVCOLUMNA request = {};
  request.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT;
  request.pszText = header;
  request.cchTextMax = sizeof(header) - 1;
  ::SendMessageA(list, LVM_GETCOLUMNA, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&request));
  return {header, request.fmt & LVCFMT_JUSTIFYMASK, request.cx};
}

// --------------------------------------------------------- frame stand-in

namespace {

std::mutex g_recordMutex;
std::vector<FrameEvent> g_recorded;
bool g_failCreation = false;
HWND g_recorderOwner = nullptr;  // the owner of the last created stand-in

void Record(FrameEvent event) {
  std::lock_guard<std::mutex> lock(g_recordMutex);
  g_recorded.push_back(std::move(event));
}

LRESULT CALLBACK RecordingFrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: {
      const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
      const auto* params = static_cast<const DumpCreateParams*>(create->lpCreateParams);
      FrameEvent event = {FrameEvent::Created,
                          window,
                          0,
                          "",
                          nullptr,
                          create->lpszName ? create->lpszName : "",
                          static_cast<DWORD>(create->style),
                          create->hwndParent};
      if (params != nullptr) {
        event.format = params->format;
        event.text = params->statusText ? params->statusText : "<none>";
        event.owner = params->owner;
      }
      bool fail;
      {
        std::lock_guard<std::mutex> lock(g_recordMutex);
        g_recorderOwner = event.owner;
        fail = g_failCreation;
      }
      Record(event);
      return fail ? -1 : 0;
    }
    case DFM_SHOWFORMAT:
      Record({FrameEvent::ShowFormat, window, static_cast<std::uint32_t>(wParam),
              reinterpret_cast<const char*>(lParam), nullptr, "", 0, nullptr});
      return 0;
    case WM_CLOSE: {
      // Like the real frame: ask the owner, never destroy itself.
      HWND owner;
      {
        std::lock_guard<std::mutex> lock(g_recordMutex);
        owner = g_recorderOwner;
      }
      ::PostMessageA(owner, WM_COMMAND, MAKEWPARAM(IDC_DUMP_TOGGLE, 0), 0);
      return 0;
    }
    case WM_DESTROY:
      Record({FrameEvent::Destroyed, window, 0, "", nullptr, "", 0, nullptr});
      break;
    default:
      break;
  }
  return ::DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

FrameRecorder::FrameRecorder() {
  HINSTANCE instance = ::GetModuleHandleA(nullptr);
  if (!::UnregisterClassA(DUMPFRAME_CLASS_NAME, instance)) return;
  WNDCLASSEXA wc = {};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = RecordingFrameProc;
  wc.hInstance = instance;
  wc.hCursor = ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
  wc.lpszClassName = DUMPFRAME_CLASS_NAME;
  installed_ = ::RegisterClassExA(&wc) != 0;
  ClearEvents();
  FailCreation(false);
}

FrameRecorder::~FrameRecorder() {
  // Every stand-in is gone by now: the dialog destroys its frame when it ends.
  HINSTANCE instance = ::GetModuleHandleA(nullptr);
  ::UnregisterClassA(DUMPFRAME_CLASS_NAME, instance);
  RegisterDumpFrameClass(instance);
}

std::vector<FrameEvent> FrameRecorder::Events() const {
  std::lock_guard<std::mutex> lock(g_recordMutex);
  return g_recorded;
}

void FrameRecorder::ClearEvents() {
  std::lock_guard<std::mutex> lock(g_recordMutex);
  g_recorded.clear();
}

void FrameRecorder::FailCreation(bool fail) {
  std::lock_guard<std::mutex> lock(g_recordMutex);
  g_failCreation = fail;
}

}  // namespace browsertest
