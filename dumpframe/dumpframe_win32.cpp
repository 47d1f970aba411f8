// The "Binary dump" window: it owns the snapshot of one clipboard format,
// shows it in a dump view above a status bar, saves it, switches the view's
// encoding, runs the Edit menu (copy, select, find, go to) with its keyboard
// shortcuts, and asks its owner to close it (it never destroys itself).
#include "dumpframe/dumpframe.h"

#include <commctrl.h>
#include <commdlg.h>

#include <cstddef>
#include <string>

#include "app/dpi_win32.h"
#include "app/resource.h"
#include "dumpframe/editcommands.h"
#include "dumpframe/editcommands_win32.h"
#include "dumpframe/framecontext.h"
#include "dumpframe/framedetails_win32.h"
#include "dumpframe/framelayout.h"
#include "dumpframe/statustext.h"
#include "dumpframe/viewcommands.h"
#include "dumpframe/viewposition_win32.h"
#include "dumpframe/viewswitch_win32.h"
#include "dumpview/dumpview.h"
#include "snapshot/snapshot.h"

// Frame state: FormatBrowser keeps at most one DumpFrame.
static HWND g_owner;
static HWND g_statusBar;
static int g_statusBarHeight;
static HWND g_dumpView;
static std::uint8_t* g_snapshot;  // none exactly when g_snapshotLength is 0
static std::uint32_t g_snapshotLength;
static MENUITEMINFOA g_menuItemInfo;  // used for every check-mark change
static bool g_firstReadFailed;        // the read error title stays for good
static bool g_titleShowsReadError;
static std::uint32_t g_format;         // the format of the snapshot on view; 0 for none
static std::string g_formatText;       // its status text as the browser gave it
static SnapshotFacts g_snapshotFacts;  // what the read of the snapshot on view saw

// View > Whole Data lasts while the program runs: every frame opened later
// starts with it. Nothing is stored.
static bool g_wholeData;
static HFONT g_statusFont;  // the status bar's font on a monitor of another resolution, or none

namespace {

constexpr int kSimplePart = 255;  // SB_SIMPLEID: the text of simple mode
constexpr DWORD kFileNameChars = 260;

// OPENFILENAME_SIZE_VERSION_400A is the record up to lpTemplateName: the
// layout that every version of the dialog accepts. Its value is not a
// constant expression, so check the layout it measures.
#if !defined(_WIN64)
constexpr std::size_t kVersion400Size =
    offsetof(OPENFILENAMEA, lpTemplateName) + sizeof(OPENFILENAMEA::lpTemplateName);
static_assert(kVersion400Size == 76, "the save dialog gets the 76-byte record on 32-bit Windows");
#endif

HINSTANCE InstanceOf(HWND window) {
  return reinterpret_cast<HINSTANCE>(::GetWindowLongPtrA(window, GWLP_HINSTANCE));
}

void SetStatusText(const char* text) {
  ::SendMessageA(g_statusBar, SB_SETTEXTA, kSimplePart,
                 reinterpret_cast<LPARAM>(text != nullptr ? text : ""));
}

// The one place that builds what commands and views are handed.
FrameContext BuildFrameContext(HWND frame) {
  const auto codePage = static_cast<std::uint16_t>(::SendMessageA(g_dumpView, DVM_GETCODEPAGE, 0, 0));
  return FrameContext{frame,           g_dumpView, g_snapshot,           g_snapshotLength, codePage,
                      g_snapshotFacts, g_format,   g_formatText.c_str(), g_wholeData};
}

// Tells the views about the frame's snapshot, new or none; a view shown
// beside the dump view is told here too.
void ShowSnapshotInViews(const FrameContext& context) {
  ::SendMessageA(context.dumpView, DVM_SETDATA, reinterpret_cast<WPARAM>(context.snapshot),
                 static_cast<LPARAM>(context.snapshotLength));
  GiveSnapshotToPicture(context);
  FrameDetailsSnapshot(context, !PictureShown());
}

// The children's rectangles, the views narrowed for the Details pane when it
// is shown (the pane is placed on the way).
FrameLayout LayoutOf(HWND frame, int clientWidth, int clientHeight) {
  FrameLayout layout = FrameLayoutOf(clientWidth, clientHeight, g_statusBarHeight);
  FitDetailsPane(frame, clientWidth, clientHeight, g_statusBarHeight, &layout.dumpView, &layout.pictureView);
  return layout;
}

FrameLayout ClientLayout(HWND frame) {
  RECT client = {};
  ::GetClientRect(frame, &client);
  return LayoutOf(frame, client.right, client.bottom);
}

// The one place that moves the children to their rectangles.
void PlaceChildren(const FrameLayout& layout) {
  const ViewPlacement& view = layout.dumpView;
  ::MoveWindow(g_dumpView, view.x, view.y, view.width, view.height, TRUE);
  MovePictureView(layout.pictureView);
}

void ShowReadErrorTitle(HWND frame) {
  ::SetWindowTextA(frame, kClipboardReadErrorTitle);
  g_titleShowsReadError = true;
}

// The browser's text, with the snapshot's length while Whole Data is on and
// a snapshot was read.
void ShowFormatStatus() {
  const bool withLength =
      g_wholeData && g_snapshotFacts.kind == SnapshotKind::WholeData && g_snapshot != nullptr;
  SetStatusText(
      StatusTextOf(g_formatText, withLength, g_snapshotLength, g_snapshotFacts.blockSize, g_snapshotFacts.cut)
          .c_str());
}

// Reads format into g_snapshot by the rules in force; a failure leaves none
// and 0 and shows in the title, the frame having no other place to report
// it. A later good read puts the title back, unless the frame's first read
// failed.
bool ReadSnapshot(HWND frame, std::uint32_t format) {
  g_format = format;
  if (!ReadClipboardSnapshot(frame, format, g_wholeData, &g_snapshot, &g_snapshotLength, &g_snapshotFacts)) {
    g_snapshot = nullptr;
    g_snapshotLength = 0;
    ShowReadErrorTitle(frame);
    return false;
  }
  if (g_titleShowsReadError && !g_firstReadFailed) {
    ::SetWindowTextA(frame, kDumpFrameTitle);
    g_titleShowsReadError = false;
  }
  return true;
}

void MeasureStatusBar() {
  RECT rect = {};
  ::GetWindowRect(g_statusBar, &rect);
  g_statusBarHeight = rect.bottom - rect.top;
}

void CreateStatusBar(HWND frame) {
  g_statusBar =
      ::CreateWindowExA(0, STATUSCLASSNAMEA, nullptr, WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP | CCS_BOTTOM, 0,
                        0, 0, 0, frame, nullptr, InstanceOf(frame), nullptr);
  ::SendMessageA(g_statusBar, SB_SIMPLE, TRUE, 0);
  ShowFormatStatus();
  MeasureStatusBar();
}

// The status bar chose its font for the system's resolution. On a monitor of
// another one it is given the system's status font at that resolution, and
// back on such a monitor its own font again; it measures its height anew
// from the font.
void FitStatusBarToDpi(std::uint32_t dpi) {
  const bool systemResolution = dpi == SystemDpi();
  if (systemResolution && g_statusFont == nullptr) return;
  HFONT font = systemResolution ? nullptr : CreateStatusFontForDpi(dpi);
  if (!systemResolution && font == nullptr) return;
  ::SendMessageA(g_statusBar, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  if (g_statusFont != nullptr) ::DeleteObject(g_statusFont);
  g_statusFont = font;
  MeasureStatusBar();
}

void CreateDumpView(HWND frame) {
  const FrameLayout layout = ClientLayout(frame);
  const ViewPlacement& place = layout.dumpView;
  g_dumpView = ::CreateWindowExA(WS_EX_CLIENTEDGE, DUMPVIEW_CLASS_NAME, nullptr, WS_CHILD, place.x, place.y,
                                 place.width, place.height, frame, nullptr, InstanceOf(frame), nullptr);
  CreatePictureView(frame, layout.pictureView);
}

void ApplyCheckByCommand(HMENU menu, UINT command, UINT state) {
  g_menuItemInfo.fState = state;
  ::SetMenuItemInfoA(menu, command, FALSE, &g_menuItemInfo);
}

void OnCreate(HWND frame, const CREATESTRUCTA* create) {
  g_snapshot = nullptr;
  g_snapshotLength = 0;
  g_titleShowsReadError = false;
  g_format = 0;
  g_snapshotFacts = SnapshotFacts{};
  // A frame made without a parameter record reads nothing and shows an empty
  // status text rather than dereferencing none.
  const auto* params = static_cast<const DumpCreateParams*>(create->lpCreateParams);
  g_owner = params != nullptr ? params->owner : nullptr;
  g_formatText = params != nullptr && params->statusText != nullptr ? params->statusText : "";
  const bool read = params != nullptr && ReadSnapshot(frame, params->format);
  if (params == nullptr) ShowReadErrorTitle(frame);
  g_firstReadFailed = !read;
  CreateStatusBar(frame);
  // A frame opened on a monitor of another resolution than the system's.
  const std::uint32_t dpi = WindowDpi(frame);
  FitStatusBarToDpi(dpi);
  CreateDumpView(frame);
  ::SendMessageA(g_dumpView, DVM_SETDPI, dpi, 0);
  SetPictureViewDpi(dpi);
  ApplyViewChoice(frame, g_dumpView);
  CreateFrameDetails(frame);
  if (FrameDetailsShown()) PlaceChildren(ClientLayout(frame));
  ShowSnapshotInViews(BuildFrameContext(frame));

  g_menuItemInfo = {};
  g_menuItemInfo.cbSize = sizeof(g_menuItemInfo);
  g_menuItemInfo.fMask = MIIM_STATE;
  ApplyCheckByCommand(::GetMenu(frame), ID_ENCODING_CP1252, MFS_CHECKED);
  ApplyCheckByCommand(::GetMenu(frame), ID_VIEW_WHOLE_DATA, g_wholeData ? MFS_CHECKED : 0);
}

void OnSize(HWND frame, WPARAM wParam, LPARAM lParam) {
  // Minimised, the client area is 0 x 0: leave the children as they are, or
  // the view, squeezed to nothing, would scroll back to its first row.
  if (wParam == SIZE_MINIMIZED) return;
  // The status bar places itself at the bottom edge.
  ::SendMessageA(g_statusBar, WM_SIZE, wParam, lParam);
  PlaceChildren(LayoutOf(frame, LOWORD(lParam), HIWORD(lParam)));
}

void OnDestroy() {
  EndFind();
  if (g_snapshot != nullptr) {
    // The view still exists until after this message: take the bytes away
    // from it before they are freed.
    if (::IsWindow(g_dumpView)) ::SendMessageA(g_dumpView, DVM_SETDATA, 0, 0);
    GiveSnapshotToPicture(FrameContext{});
    FreeSnapshot(g_snapshot);
  }
  g_snapshot = nullptr;
  g_snapshotLength = 0;
  g_format = 0;
  g_formatText.clear();
  g_snapshotFacts = SnapshotFacts{};
  g_dumpView = nullptr;
  g_statusBar = nullptr;
  ForgetPictureView();
  DestroyFrameDetails();
  // The status bar goes with the frame and draws no more.
  if (g_statusFont != nullptr) ::DeleteObject(g_statusFont);
  g_statusFont = nullptr;
}

// Moved to a monitor of another resolution: the view's cells, the picture's
// caption and checkerboard and the status bar's text follow it, and the frame takes the rectangle that the
// system suggests for it there. The children are laid out again even when the size stays, as the status bar's
// height may have changed.
void OnDpiChanged(HWND frame, std::uint32_t dpi, const RECT& suggested) {
  ::SendMessageA(g_dumpView, DVM_SETDPI, dpi, 0);
  SetPictureViewDpi(dpi);
  FitStatusBarToDpi(dpi);
  ::SetWindowPos(frame, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  if (::IsIconic(frame)) return;
  ::SendMessageA(g_statusBar, WM_SIZE, SIZE_RESTORED, 0);
  PlaceChildren(ClientLayout(frame));
}

void ShowSaveError(HWND frame, const char* text) {
  ::MessageBoxA(frame, text, nullptr, MB_ICONWARNING | MB_OK);
}

// Writes the whole snapshot with one write. No snapshot writes nothing, which
// leaves the empty file that CREATE_ALWAYS made.
void WriteSnapshot(HWND frame, HANDLE file) {
  BOOL ok = TRUE;
  DWORD written = 0;
  if (g_snapshotLength != 0) {
    ok = ::WriteFile(file, g_snapshot, g_snapshotLength, &written, nullptr);
  }
  const char* error = SaveWriteErrorText(ok != FALSE, written, g_snapshotLength);
  if (error != nullptr) ShowSaveError(frame, error);
}

void OnSave(HWND frame) {
  char fileName[kFileNameChars] = "";
  OPENFILENAMEA ofn = {};
  ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
  ofn.hwndOwner = frame;
  ofn.lpstrFilter = "All Files (*.*)\0*.*\0\0";
  ofn.lpstrFile = fileName;
  ofn.nMaxFile = kFileNameChars;
  ofn.lpstrTitle = "Save File Name";
  ofn.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_NOREADONLYRETURN | OFN_NONETWORKBUTTON |
              OFN_EXPLORER | OFN_LONGNAMES | OFN_ENABLESIZING;
  if (!::GetSaveFileNameA(&ofn)) return;  // cancelled: nothing to report

  HANDLE file = ::CreateFileA(fileName, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    ShowSaveError(frame, kFileOpenErrorText);
    return;
  }
  WriteSnapshot(frame, file);
  ::CloseHandle(file);
}

void OnEncoding(HWND frame, UINT command) {
  ::SendMessageA(g_dumpView, DVM_SETCODEPAGE, CodePageOfEncodingCommand(command), 0);
  HMENU menu = ::GetMenu(frame);
  HMENU encodings = ::GetSubMenu(::GetSubMenu(menu, kViewMenuPosition), kEncodingMenuPosition);
  g_menuItemInfo.fState = 0;
  const int count = ::GetMenuItemCount(encodings);
  for (int position = 0; position < count; ++position) {
    ::SetMenuItemInfoA(encodings, static_cast<UINT>(position), TRUE, &g_menuItemInfo);
  }
  ApplyCheckByCommand(menu, command, MFS_CHECKED);
}

void OnWholeData(HWND frame);

// The owner destroys the frame in answer; the frame stays until then.
void PostCloseRequest() { ::PostMessageA(g_owner, WM_COMMAND, MAKEWPARAM(IDC_DUMP_TOGGLE, 0), 0); }

// The Edit menu's commands, each given the frame's context of this moment.
void OnEditCommand(const FrameContext& context, UINT command) {
  if (command == ID_EDIT_COPY || command == ID_EDIT_COPY_TEXT) {
    CopySelection(context, command == ID_EDIT_COPY_TEXT);
  } else if (command == ID_EDIT_SELECT_ALL) {
    SelectAll(context);
  } else if (command == ID_EDIT_FIND) {
    ShowFindDialog(context);
  } else if (command == ID_EDIT_FIND_NEXT || command == ID_EDIT_FIND_PREVIOUS) {
    RepeatSearch(context, command == ID_EDIT_FIND_PREVIOUS);
  } else if (command == ID_EDIT_GOTO) {
    RunGoToDialog(context);
  }
}

void OnCommand(HWND frame, UINT command) {
  // Shortcuts reach here even for commands the menu greys.
  if (CommandIdleInThisView(command)) return;
  if (RunViewCommand(BuildFrameContext(frame), command)) return;
  switch (command) {
    case ID_SAVE:
      OnSave(frame);
      break;
    case ID_ENCODING_CP1252:
    case ID_ENCODING_SHIFT_JIS:
    case ID_ENCODING_EUC_JP:
    case ID_ENCODING_UTF16LE:
    case ID_ENCODING_UTF8:
      OnEncoding(frame, command);
      break;
    case ID_CLOSE:
      PostCloseRequest();
      break;
    case ID_VIEW_WHOLE_DATA:
      OnWholeData(frame);
      break;
    case ID_VIEW_DETAILS:
      ToggleFrameDetails(frame);
      PlaceChildren(ClientLayout(frame));
      FrameDetailsSnapshot(BuildFrameContext(frame), !PictureShown());
      break;
    default:
      OnEditCommand(BuildFrameContext(frame), command);
      break;
  }
  // Find, Go To and Select All move the caret without a key in the view.
  FrameDetailsCaretMoved(g_dumpView);
}

// Greys the Edit items that cannot act now.
void OnInitMenuPopup(HWND frame) {
  HMENU menu = ::GetMenu(frame);
  auto enable = [menu](UINT command, bool enabled) {
    ::EnableMenuItem(menu, command, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
  };
  const bool selected = HasSelection(g_dumpView);
  enable(ID_EDIT_COPY, selected);
  enable(ID_EDIT_COPY_TEXT, selected);
  enable(ID_EDIT_SELECT_ALL, g_snapshotLength != 0);
  enable(ID_EDIT_FIND_NEXT, HaveLastSearch());
  enable(ID_EDIT_FIND_PREVIOUS, HaveLastSearch());
  GreyMenuForView(menu);
}

bool KeyIsDown(int key) { return (::GetKeyState(key) & 0x8000) != 0; }

// The Edit and View shortcuts, whether the key reached the frame itself or the dump
// view, which reports its keys to the frame. Copy and Select All check for
// themselves whether they can act.
bool RunShortcut(HWND frame, WPARAM key) {
  const auto virtualKey = static_cast<std::uint32_t>(key);
  const bool ctrl = KeyIsDown(VK_CONTROL);
  const bool shift = KeyIsDown(VK_SHIFT);
  const bool alt = KeyIsDown(VK_MENU);
  std::uint32_t command = EditCommandOfKey(virtualKey, ctrl, shift, alt);
  if (command == 0) command = ViewCommandOfKey(virtualKey, ctrl, shift, alt);
  if (command == 0) return false;
  OnCommand(frame, command);
  return true;
}

// From anyone (another program, an automation tool): only the owner destroys
// the frame, so this too is a close request.
LRESULT OnClose() {
  PostCloseRequest();
  return 0;
}

// Answers whether the key was an Edit shortcut, which the frame then ran.
bool OnKeyDown(HWND frame, WPARAM key) { return RunShortcut(frame, key); }

// The close box and Alt+F4 arrive here first: the owner closes the frame.
bool OnSysCommand(WPARAM command) {
  if (command != SC_CLOSE) return false;
  PostCloseRequest();
  return true;
}

void OnNotify(HWND frame, const NMHDR* header) {
  if (header == nullptr || header->hwndFrom != g_dumpView) return;
  const int code = static_cast<int>(header->code);
  if (code == DVN_KEYDOWN) {
    RunShortcut(frame, reinterpret_cast<const DumpKeyNotify*>(header)->wParam);
  }
  // Keys and clicks are what move the caret and the selection.
  if (code <= DVN_LBUTTONDOWN && code >= DVN_KEYDOWN) FrameDetailsCaretMoved(g_dumpView);
}

// The status text changes first, also when only the text is new (format 0:
// the snapshot on view, its format and its text stay as they are). The view
// gets the new bytes before the old ones are freed.
void OnShowFormat(HWND frame, std::uint32_t format, const char* statusText) {
  std::uint8_t* previous = g_snapshot;
  SetStatusText(statusText);
  if (format == 0) return;
  g_formatText = statusText != nullptr ? statusText : "";
  ReadSnapshot(frame, format);
  ShowSnapshotInViews(BuildFrameContext(frame));
  FreeSnapshot(previous);
  ShowFormatStatus();
}

// Reads the format on view again by the other rules, as DFM_SHOWFORMAT does
// for the same format, keeping the caret and the scroll position where they
// still fit. A frame without a format (made without parameters) reads
// nothing.
void OnWholeData(HWND frame) {
  g_wholeData = !g_wholeData;
  ApplyCheckByCommand(::GetMenu(frame), ID_VIEW_WHOLE_DATA, g_wholeData ? MFS_CHECKED : 0);
  if (g_format == 0) return;
  const ViewPosition position = ViewPositionOf(g_dumpView);
  const std::string text = g_formatText;
  OnShowFormat(frame, g_format, text.c_str());
  RestoreViewPosition(g_dumpView, position, g_snapshotLength);
}

}  // namespace

LRESULT CALLBACK DumpFrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      OnCreate(window, reinterpret_cast<const CREATESTRUCTA*>(lParam));
      break;
    case WM_SIZE:
      OnSize(window, wParam, lParam);
      break;
    case WM_SETCURSOR:
    case WM_LBUTTONDOWN:
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
      if (HandleSplitterMessage(window, message, wParam, lParam)) return 0;
      break;
    case WM_DESTROY:
      OnDestroy();
      break;
    case WM_COMMAND:
      OnCommand(window, LOWORD(wParam));
      break;
    case WM_CLOSE:
      return OnClose();
    case WM_INITMENUPOPUP:
      OnInitMenuPopup(window);
      break;
    case WM_KEYDOWN:
      if (OnKeyDown(window, wParam)) return 0;
      break;
    case WM_MOUSEWHEEL:
      if (ForwardWheelToPicture(wParam, lParam)) return 0;
      break;
    case WM_NOTIFY:
      OnNotify(window, reinterpret_cast<const NMHDR*>(lParam));
      break;
    case WM_SYSCOMMAND:
      if (OnSysCommand(wParam)) return 0;
      break;
    case WM_DPICHANGED:
      OnDpiChanged(window, LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
      return 0;
    case DFM_SHOWFORMAT:
      OnShowFormat(window, static_cast<std::uint32_t>(wParam), reinterpret_cast<const char*>(lParam));
      return 0;
    default:
      break;
  }
  return ::DefWindowProcA(window, message, wParam, lParam);
}
