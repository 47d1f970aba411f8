// Test harness for the format browser dialog: the real dialog 101 with
// FormatBrowserProc, run modally by DialogBoxParamA on a thread of its own so
// that a test can drive it with SendMessage like a user and another program
// would, and a stand-in for the DumpFrame class that records what the dialog
// hands its frame.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <string>
#include <vector>

namespace browsertest {

// One run of the dialog. The constructor returns once the dialog is shown
// (dialog() is none if it never appeared); the destructor quits a dialog
// that is still running and waits for its thread.
class BrowserDialog {
 public:
  BrowserDialog();
  ~BrowserDialog();
  BrowserDialog(const BrowserDialog&) = delete;
  BrowserDialog& operator=(const BrowserDialog&) = delete;

  HWND dialog() const { return dialog_; }
  HWND registeredList() const { return ::GetDlgItem(dialog_, 1001); }
  HWND availableList() const { return ::GetDlgItem(dialog_, 1003); }
  HWND toggle() const { return ::GetDlgItem(dialog_, 1006); }
  DWORD threadId() const { return threadId_; }

  // Sends WM_COMMAND with id in the low word and 0 in the high word, as a
  // button's BN_CLICKED would arrive (lParam is the control when it exists).
  void Command(int id);
  void Analyze() { Command(1000); }
  void Toggle() { Command(1006); }

  bool ToggleEnabled() const { return ::IsWindowEnabled(toggle()) != FALSE; }
  bool ToggleChecked() const { return ::SendMessageA(toggle(), BM_GETCHECK, 0, 0) == BST_CHECKED; }

  // Sends IDCANCEL and waits for DialogBoxParamA to return; true when it did
  // within timeoutMs, with its result in *result.
  bool Quit(INT_PTR* result, DWORD timeoutMs = 5000);

 private:
  static DWORD WINAPI ThreadMain(void* self);
  bool WaitForThread(DWORD timeoutMs);

  HANDLE thread_ = nullptr;
  DWORD threadId_ = 0;
  HWND dialog_ = nullptr;
  INT_PTR result_ = -2;
  bool finished_ = false;
};

// ---------------------------------------------------------------- list views

int ItemCount(HWND list);
std::string ItemText(HWND list, int item, int column);
LPARAM ItemData(HWND list, int item);
int SelectedItem(HWND list);
// Selects (and focuses) one item, or clears every selection with item -1,
// through LVM_SETITEMSTATE as a click or the keyboard would.
void SelectItem(HWND list, int item);
void ClearSelection(HWND list);
// Index of the item whose column 0 reads text, or -1.
int FindItem(HWND list, const std::string& text);
// Index of the item whose data (in the available list, the format) is format, or -1.
int ItemOfFormat(HWND list, UINT format);
// A format number as the registered list shows it: "0x%04X".
std::string Hex(UINT format);

struct ColumnInfo {
  std::string header;
  int format;  // LVCFMT_ alignment
  int width;
};
ColumnInfo Column(HWND list, int column);

// --------------------------------------------------------- frame stand-in

// What the stand-in frame saw, in order.
struct FrameEvent {
  enum Kind { Created, ShowFormat, Destroyed } kind;
  HWND window;
  std::uint32_t format;  // Created: params.format; ShowFormat: wParam
  std::string text;      // Created: params.statusText; ShowFormat: lParam
  HWND owner;            // Created: params.owner
  std::string title;     // Created: the window name
  DWORD style;           // Created: the style
  HWND parent;           // Created: hwndParent
};

// While it lives, the DumpFrame class "Kelvane" of this process is replaced
// by a recording stand-in; the destructor registers the real class again.
// The stand-in answers WM_CLOSE with the frame's close request.
class FrameRecorder {
 public:
  FrameRecorder();
  ~FrameRecorder();
  FrameRecorder(const FrameRecorder&) = delete;
  FrameRecorder& operator=(const FrameRecorder&) = delete;

  bool installed() const { return installed_; }
  std::vector<FrameEvent> Events() const;
  void ClearEvents();
  // Makes the next creations fail (WM_CREATE answers -1).
  void FailCreation(bool fail);

 private:
  bool installed_ = false;
};

}  // namespace browsertest
