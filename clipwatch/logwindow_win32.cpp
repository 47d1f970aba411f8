// The "Clipboard Log" window: a top-level window with a virtual report list
// of the log's rows (texts made as they are drawn, so 10,000 rows cost the
// list nothing), a status bar with the row count and the dropped rows, and a
// menu to save, clear and copy. It is Unicode, as program and format names
// need not be ASCII. Closing it keeps the log.
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>

#include <array>
#include <string>
#include <vector>

#include "app/clipboardcopy_win32.h"
#include "app/dpi_win32.h"
#include "app/dpiscale.h"
#include "app/resource.h"
#include "app/widetext_win32.h"
#include "clipwatch/logtext.h"
#include "clipwatch/watch_win32.h"

namespace {

constexpr wchar_t kLogClass[] = L"Kelvane Clipboard Log";
constexpr wchar_t kLogTitle[] = L"Clipboard Log";
// The log window's own command beside the shared ones of resource.h.
constexpr UINT kClearCommand = 40101;
constexpr int kSimplePart = 255;  // SB_SIMPLEID

// At 96 dots per inch; the window opens in proportion at the dialog's.
constexpr int kLogWidth = 900;
constexpr int kLogHeight = 360;
constexpr std::array<int, kLogColumnCount> kColumnWidths = {150, 70, 190, 160, 45, 420, 220};

// LVS_EX_FULLROWSELECT | LVS_EX_HEADERDRAGDROP, as mask and as value.
constexpr DWORD kListExtendedStyles = LVS_EX_FULLROWSELECT | LVS_EX_HEADERDRAGDROP;

// New rows are shown at most this often: a program changing the clipboard a
// hundred times a second would otherwise have the list drawn for each change
// (under Wine about 30 ms each) and starve the dialog.
constexpr UINT_PTR kShowRowsTimer = 1;
constexpr UINT kShowRowsMs = 100;

HWND g_logWindow = nullptr;
bool g_showRowsPending = false;
bool g_rowsRewritten = false;      // a row shown was given its formats since
std::uint64_t g_shownDropped = 0;  // the log's dropped count when last shown
std::uint32_t g_shownRows = 0;
HWND g_logList = nullptr;
HWND g_logStatus = nullptr;
std::uint32_t g_logDpi = kDefaultDpi;

HINSTANCE InstanceOf(HWND window) {
  return reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(window, GWLP_HINSTANCE));
}

bool KeyIsDown(int key) { return (::GetKeyState(key) & 0x8000) != 0; }

void ShowWarning(HWND window, const wchar_t* text) {
  ::MessageBoxW(window, text, nullptr, MB_ICONWARNING | MB_OK);
}

// ------------------------------------------------------------------ children

HMENU CreateLogMenu() {
  HMENU file = ::CreatePopupMenu();
  ::AppendMenuW(file, MF_STRING, ID_SAVE, L"Save... (&S)\tCtrl+S");
  ::AppendMenuW(file, MF_STRING, kClearCommand, L"Clear (&L)");
  ::AppendMenuW(file, MF_SEPARATOR, 0, nullptr);
  ::AppendMenuW(file, MF_STRING, ID_CLOSE, L"Close (&C)");
  HMENU edit = ::CreatePopupMenu();
  ::AppendMenuW(edit, MF_STRING, ID_EDIT_COPY, L"Copy (&C)\tCtrl+C");
  ::AppendMenuW(edit, MF_STRING, ID_EDIT_SELECT_ALL, L"Select All (&A)\tCtrl+A");
  HMENU bar = ::CreateMenu();
  ::AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"File (&F)");
  ::AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(edit), L"Edit (&E)");
  return bar;
}

void CreateColumns(std::uint32_t dpi) {
  for (std::uint32_t column = 0; column < kLogColumnCount; ++column) {
    const std::wstring header = WideOfUtf8(kLogColumnHeaders[column]);
    LVCOLUMNW col = {};
    col.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    col.fmt = column == kSequenceColumn || column == kCountColumn ? LVCFMT_RIGHT : LVCFMT_LEFT;
    col.cx = ScaleForDpi(kColumnWidths[column], dpi);
    col.pszText = const_cast<wchar_t*>(header.c_str());
    col.iSubItem = static_cast<int>(column);
    ::SendMessageW(g_logList, LVM_INSERTCOLUMNW, column, reinterpret_cast<LPARAM>(&col));
  }
}

void OnCreate(HWND window) {
  g_logWindow = window;
  g_shownRows = 0;
  g_shownDropped = 0;
  g_logDpi = WindowDpi(window);
  g_logStatus = ::CreateWindowExW(0, STATUSCLASSNAMEW, nullptr, WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0,
                                  0, 0, window, nullptr, InstanceOf(window), nullptr);
  ::SendMessageW(g_logStatus, SB_SIMPLE, TRUE, 0);
  g_logList =
      ::CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, nullptr,
                        WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA | LVS_SHOWSELALWAYS,
                        0, 0, 0, 0, window, nullptr, InstanceOf(window), nullptr);
  ::SendMessageW(g_logList, LVM_SETEXTENDEDLISTVIEWSTYLE, kListExtendedStyles, kListExtendedStyles);
  CreateColumns(g_logDpi);
}

void OnSize(HWND window) {
  ::SendMessageW(g_logStatus, WM_SIZE, 0, 0);
  RECT client = {};
  ::GetClientRect(window, &client);
  RECT status = {};
  ::GetWindowRect(g_logStatus, &status);
  const int statusHeight = status.bottom - status.top;
  ::MoveWindow(g_logList, 0, 0, client.right, client.bottom > statusHeight ? client.bottom - statusHeight : 0,
               TRUE);
}

// The system moves the window to the monitor's resolution; the columns
// follow in proportion.
void OnDpiChanged(HWND window, std::uint32_t dpi, const RECT& suggested) {
  for (std::uint32_t column = 0; column < kLogColumnCount; ++column) {
    const int width = static_cast<int>(::SendMessageW(g_logList, LVM_GETCOLUMNWIDTH, column, 0));
    ::SendMessageW(g_logList, LVM_SETCOLUMNWIDTH, column,
                   MAKELPARAM(ScaleBetweenDpi(width, g_logDpi, dpi), 0));
  }
  g_logDpi = dpi;
  ::SetWindowPos(window, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

// ---------------------------------------------------------------- the rows

// The list asks for each cell it draws; the text is copied into its buffer.
void OnGetDisplayInfo(NMLVDISPINFOW* info) {
  if ((info->item.mask & LVIF_TEXT) == 0 || info->item.pszText == nullptr || info->item.cchTextMax <= 0)
    return;
  info->item.pszText[0] = L'\0';
  const ClipboardLog& log = TheClipboardLog();
  const auto index = static_cast<std::uint32_t>(info->item.iItem);
  const auto column = static_cast<std::uint32_t>(info->item.iSubItem);
  if (info->item.iItem < 0 || index >= log.Size() || column >= kLogColumnCount) return;
  const std::wstring text = WideOfUtf8(LogCellText(log, log.Row(index), static_cast<LogColumn>(column)));
  ::lstrcpynW(info->item.pszText, text.c_str(), info->item.cchTextMax);
}

// The user is at the bottom when the last row is in view (or there is none).
bool ListShowsLastRow() {
  const int count = static_cast<int>(::SendMessageW(g_logList, LVM_GETITEMCOUNT, 0, 0));
  if (count == 0) return true;
  const int top = static_cast<int>(::SendMessageW(g_logList, LVM_GETTOPINDEX, 0, 0));
  const int perPage = static_cast<int>(::SendMessageW(g_logList, LVM_GETCOUNTPERPAGE, 0, 0));
  return top + perPage >= count;
}

std::vector<std::uint32_t> SelectedRows() {
  std::vector<std::uint32_t> rows;
  int item = -1;
  while ((item = static_cast<int>(
              ::SendMessageW(g_logList, LVM_GETNEXTITEM, static_cast<WPARAM>(item), LVNI_SELECTED))) != -1) {
    rows.push_back(static_cast<std::uint32_t>(item));
  }
  return rows;
}

std::vector<std::uint32_t> AllRows() {
  std::vector<std::uint32_t> rows(TheClipboardLog().Size());
  for (std::uint32_t i = 0; i < rows.size(); ++i) rows[i] = i;
  return rows;
}

void ShowRowsNow() {
  if (g_logWindow == nullptr) return;
  const ClipboardLog& log = TheClipboardLog();
  const bool followBottom = ListShowsLastRow();
  // Rows only added leave the rows shown as they are; dropped, cleared or
  // rewritten rows have the whole list drawn again.
  const bool onlyAdded = !g_rowsRewritten && log.Dropped() == g_shownDropped && log.Size() >= g_shownRows;
  ::SendMessageW(g_logList, LVM_SETITEMCOUNT, log.Size(),
                 LVSICF_NOSCROLL | (onlyAdded ? LVSICF_NOINVALIDATEALL : 0));
  if (!onlyAdded) ::InvalidateRect(g_logList, nullptr, FALSE);
  if (followBottom && log.Size() > 0) ::SendMessageW(g_logList, LVM_ENSUREVISIBLE, log.Size() - 1, FALSE);
  g_rowsRewritten = false;
  g_shownDropped = log.Dropped();
  g_shownRows = log.Size();
  const std::wstring status = WideOfUtf8(LogStatusText(log));
  ::SendMessageW(g_logStatus, SB_SETTEXTW, kSimplePart, reinterpret_cast<LPARAM>(status.c_str()));
}

// ---------------------------------------------------------------- commands

// The selected rows as tab-separated Unicode text: a change of Kelvane's
// own, which the log shows as such.
void CopySelectedRows(HWND window) {
  const std::vector<std::uint32_t> rows = SelectedRows();
  if (rows.empty()) return;
  const std::wstring text = WideOfUtf8(LogTsv(TheClipboardLog(), rows, false));
  const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
  void* memory = nullptr;
  HGLOBAL block = AllocateLockedBlock(bytes, &memory);
  if (block == nullptr) {
    ShowCopyWarning(window, kCopyAllocateErrorText);
    return;
  }
  ::CopyMemory(memory, text.c_str(), bytes);
  ::GlobalUnlock(block);
  if (const char* failure = PlaceBlockOnClipboard(window, CF_UNICODETEXT, block)) {
    ::GlobalFree(block);
    ShowCopyWarning(window, failure);
  }
}

void SelectAllRows() {
  LVITEMW state = {};
  state.stateMask = LVIS_SELECTED;
  state.state = LVIS_SELECTED;
  ::SendMessageW(g_logList, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&state));
}

bool WriteWholeFile(const std::wstring& path, const std::string& bytes) {
  HANDLE file =
      ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok = bytes.empty() || (::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()),
                                                &written, nullptr) != FALSE &&
                                    written == bytes.size());
  ::CloseHandle(file);
  return ok;
}

// The whole log, header row first, as UTF-8 without a byte-order mark, which
// tab-separated readers take as it is.
void SaveLog(HWND window) {
  wchar_t path[MAX_PATH] = L"clipboard-log.tsv";
  OPENFILENAMEW dialog = {};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = window;
  dialog.lpstrFilter =
      L"Tab-separated text (*.tsv)\0*.tsv\0Text files (*.txt)\0*.txt\0All files (*.*)\0*.*\0";
  dialog.lpstrFile = path;
  dialog.nMaxFile = MAX_PATH;
  dialog.lpstrDefExt = L"tsv";
  dialog.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
  if (!::GetSaveFileNameW(&dialog)) return;
  const std::string text = LogTsv(TheClipboardLog(), AllRows(), true);
  if (!WriteWholeFile(path, text)) ShowWarning(window, L"The log could not be written to the file.");
}

void ClearLog() {
  TheClipboardLog().Clear();
  ShowRowsNow();
}

void OnCommand(HWND window, UINT command) {
  switch (command) {
    case ID_SAVE:
      SaveLog(window);
      break;
    case kClearCommand:
      ClearLog();
      break;
    case ID_CLOSE:
      ::DestroyWindow(window);
      break;
    case ID_EDIT_COPY:
      CopySelectedRows(window);
      break;
    case ID_EDIT_SELECT_ALL:
      SelectAllRows();
      break;
    default:
      break;
  }
}

// The menu's shortcuts, from the list (which reports its keys) or the window.
bool RunShortcut(HWND window, WPARAM key) {
  if (!KeyIsDown(VK_CONTROL) || KeyIsDown(VK_SHIFT) || KeyIsDown(VK_MENU)) return false;
  switch (key) {
    case 'C':
      OnCommand(window, ID_EDIT_COPY);
      return true;
    case 'A':
      OnCommand(window, ID_EDIT_SELECT_ALL);
      return true;
    case 'S':
      OnCommand(window, ID_SAVE);
      return true;
    default:
      return false;
  }
}

LRESULT OnNotify(HWND window, const NMHDR* header) {
  if (header == nullptr || header->hwndFrom != g_logList) return 0;
  switch (header->code) {
    case LVN_GETDISPINFOW:
      OnGetDisplayInfo(reinterpret_cast<NMLVDISPINFOW*>(const_cast<NMHDR*>(header)));
      break;
    case LVN_KEYDOWN:
      RunShortcut(window, reinterpret_cast<const NMLVKEYDOWN*>(header)->wVKey);
      break;
    default:
      break;
  }
  return 0;
}

LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      OnCreate(window);
      ShowRowsNow();
      return 0;
    case WM_TIMER:
      if (wParam != kShowRowsTimer) break;
      ::KillTimer(window, kShowRowsTimer);
      g_showRowsPending = false;
      ShowRowsNow();
      return 0;
    case WM_SIZE:
      OnSize(window);
      return 0;
    case WM_SETFOCUS:
      ::SetFocus(g_logList);
      return 0;
    case WM_NOTIFY:
      return OnNotify(window, reinterpret_cast<const NMHDR*>(lParam));
    case WM_COMMAND:
      OnCommand(window, LOWORD(wParam));
      return 0;
    case WM_KEYDOWN:
      if (RunShortcut(window, wParam)) return 0;
      break;
    case WM_DPICHANGED:
      OnDpiChanged(window, LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
      return 0;
    case WM_DESTROY:
      g_showRowsPending = false;
      g_logWindow = nullptr;
      g_logList = nullptr;
      g_logStatus = nullptr;
      return 0;
    default:
      break;
  }
  return ::DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK LogWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  try {
    return HandleMessage(window, message, wParam, lParam);
  } catch (...) {
    ShowWarning(window, L"Not enough memory for the clipboard log.");
    return 0;
  }
}

bool RegisterLogClass(HINSTANCE instance) {
  WNDCLASSEXW wc = WatchClass(instance, LogWindowProc, kLogClass);
  wc.hCursor = ::LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.hIcon = ::LoadIconW(instance, MAKEINTRESOURCEW(IDI_APP));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
  return RegisterWatchClass(wc);
}

}  // namespace

// Beside the dialog, to its right, as an unowned top-level window.
void OpenClipboardLogWindow(HWND dialog) {
  if (g_logWindow != nullptr) {
    ::ShowWindow(g_logWindow, SW_SHOWNORMAL);
    ::SetForegroundWindow(g_logWindow);
    return;
  }
  HINSTANCE instance = InstanceOf(dialog);
  if (!RegisterLogClass(instance)) return;
  RECT dialogRect = {};
  ::GetWindowRect(dialog, &dialogRect);
  const std::uint32_t dpi = WindowDpi(dialog);
  ::CreateWindowExW(0, kLogClass, kLogTitle, WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN,
                    dialogRect.right, dialogRect.top, ScaleForDpi(kLogWidth, dpi),
                    ScaleForDpi(kLogHeight, dpi), nullptr, CreateLogMenu(), instance, nullptr);
}

void ShowLogChanges(bool rowsRewritten) {
  g_rowsRewritten = g_rowsRewritten || rowsRewritten;
  if (g_logWindow == nullptr || g_showRowsPending) return;
  g_showRowsPending = ::SetTimer(g_logWindow, kShowRowsTimer, kShowRowsMs, nullptr) != 0;
  if (!g_showRowsPending) ShowRowsNow();
}

void CloseClipboardLogWindow() {
  if (g_logWindow != nullptr) ::DestroyWindow(g_logWindow);
}
