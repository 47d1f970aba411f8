// The "Binary dump" window: it owns the snapshot of one clipboard format,
// shows it in a dump view (or the Picture view) above a status bar, with the
// Details pane at the right when chosen, saves it, switches the view's
// encoding, runs the Edit menu (copy, select, find, go to) with its keyboard
// shortcuts, and asks its owner to close it (it never destroys itself). It
// is the switchboard: its record holds what it knows, and it hands the
// snapshot, the caret and the resolution to whichever views are there.
#include "dumpframe/dumpframe.h"

#include <commctrl.h>
#include <commdlg.h>

#include <cstddef>
#include <new>
#include <string>
#include <utility>

#include "app/dpi_win32.h"
#include "app/resource.h"
#include "dumpframe/editcommands_win32.h"
#include "dumpframe/framecontext.h"
#include "dumpframe/framedetails_win32.h"
#include "dumpframe/framekeys_win32.h"
#include "dumpframe/framelayout.h"
#include "dumpframe/statustext.h"
#include "dumpframe/viewposition_win32.h"
#include "dumpframe/viewswitch_win32.h"
#include "dumpview/dumpview.h"
#include "formats/details_win32.h"
#include "picture/pictureview.h"
#include "snapshot/clipboardreader_win32.h"
#include "snapshot/clipboardwindow.h"
#include "snapshot/snapshot.h"

// Frame state: FormatBrowser keeps at most one DumpFrame. Everything else the
// frame keeps is in its FrameState.
static HWND g_owner;
static HWND g_statusBar;
static int g_statusBarHeight;
static HWND g_dumpView;
static std::uint8_t* g_snapshot;  // none exactly when g_snapshotLength is 0
static std::uint32_t g_snapshotLength;
static MENUITEMINFOA g_menuItemInfo;  // used for every check-mark change

// The choices last while the program runs: a frame starts with the last
// one's. Nothing is stored.
static FrameChoices g_lastingChoices;

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

// A modal loop (a dialog, a message box) may have seen the frame destroyed
// and its record freed: after one, the record is fetched again.
FrameState* LiveStateOf(HWND frame) { return ::IsWindow(frame) ? FrameStateOf(frame) : nullptr; }

// Tells the views about the frame's snapshot, new or none.
void ShowSnapshotInViews(HWND frame, const FrameState& state) {
  ::SendMessageA(g_dumpView, DVM_SETDATA, reinterpret_cast<WPARAM>(g_snapshot),
                 static_cast<LPARAM>(g_snapshotLength));
  const FrameContext context = ContextOf(frame, state);
  GiveSnapshotToPicture(context);
  GiveSnapshotToPane(context);
  TellPaneTheCaret(context);
}

// The browser's text, with the snapshot's length while Whole Data is on and
// a snapshot was read.
void ShowFormatStatus(const FrameState& state) {
  const bool withLength =
      state.choices.wholeData && state.facts.kind == SnapshotKind::WholeData && g_snapshot != nullptr;
  try {
    SetStatusText(
        StatusTextOf(state.formatText, withLength, g_snapshotLength, state.facts.blockSize, state.facts.cut)
            .c_str());
  } catch (const std::bad_alloc&) {
    SetStatusText(state.formatText.c_str());  // the length did not fit in memory
  }
}

// The frame's snapshot becomes bytes (none for no snapshot), which the views
// get before the old ones are freed.
void ReplaceSnapshot(HWND frame, FrameState& state, std::uint32_t format, std::uint8_t* bytes,
                     std::uint32_t length, SnapshotFacts&& facts) {
  std::uint8_t* previous = g_snapshot;
  g_snapshot = bytes;
  g_snapshotLength = length;
  state.format = format;
  state.facts = std::move(facts);
  ShowSnapshotInViews(frame, state);
  FreeSnapshot(previous);
}

// A failure shows in the title, the frame having no other place to report
// it (TitleAfterRead).
void ShowTitleAfterRead(HWND frame, FrameState& state, bool firstRead, bool read) {
  const bool showed = state.title.showsReadError;
  state.title = TitleAfterRead(state.title, firstRead, read);
  if (showed || state.title.showsReadError) {
    ::SetWindowTextA(frame, state.title.showsReadError ? kClipboardReadErrorTitle : kDumpFrameTitle);
  }
}

// While a read waits, the pointer over the frame and its children (whose
// default handling asks the frame first) says that it works in the
// background.
bool SetWaitCursor(const FrameState& state, LPARAM lParam) {
  if (state.pendingRead.ticket == kNoRead || LOWORD(lParam) != HTCLIENT) return false;
  ::SetCursor(::LoadCursorA(nullptr, IDC_APPSTARTING));
  return true;
}

// The pointer takes the shape of the moment without waiting to be moved.
void RefreshCursor(HWND frame) {
  POINT point = {};
  if (!::GetCursorPos(&point)) return;
  HWND under = ::WindowFromPoint(point);
  if (under == nullptr || (under != frame && !::IsChild(frame, under))) return;
  const LPARAM screen = MAKELPARAM(static_cast<SHORT>(point.x), static_cast<SHORT>(point.y));
  const auto hit = static_cast<WORD>(::SendMessageA(under, WM_NCHITTEST, 0, screen));
  ::SendMessageA(under, WM_SETCURSOR, reinterpret_cast<WPARAM>(under), MAKELPARAM(hit, WM_MOUSEMOVE));
}

// A read's end as the frame shows it, at once or after the wait: the
// snapshot (none when nothing was read), the title, the status text and,
// for Whole Data, the caret and scroll position.
void ShowReadEnd(HWND frame, FrameState& state, const PendingRead& request, ReadOutcome&& outcome) {
  if (!outcome.read) {
    FreeSnapshot(outcome.bytes);
    outcome.bytes = nullptr;
    outcome.length = 0;
  }
  ReplaceSnapshot(frame, state, request.format, outcome.bytes, outcome.length, std::move(outcome.facts));
  ShowTitleAfterRead(frame, state, request.first, outcome.read);
  if (request.statusReplaced) {
    SetStatusText(request.laterStatusText.c_str());
  } else {
    ShowFormatStatus(state);
  }
  if (request.keepsPlace) RestoreViewPosition(g_dumpView, state.placeBeforeRead, g_snapshotLength);
}

// The frame stops waiting for its read (which reaches it no more) and hands
// the request back.
PendingRead StopWaiting(FrameState& state) {
  PendingRead request = std::move(state.pendingRead);
  state.pendingRead = PendingRead{};
  if (request.ticket != kNoRead) CancelClipboardRead(request.ticket);
  return request;
}

// While the owner renders, the frame holds no snapshot, so that nothing on
// view, saved or copied is older than what the status bar names; it says
// whom it waits for.
void ShowWait(HWND frame, FrameState& state) {
  const PendingRead& request = state.pendingRead;
  ReplaceSnapshot(frame, state, request.format, nullptr, 0, SnapshotFacts{});
  SetStatusText(OwnerWaitText(ClipboardReadOwner(request.ticket), state.formatText).c_str());
  RefreshCursor(frame);
}

// Asks the reader for the read, in place of any that waits. A prompt one is
// shown before this returns; a slow one is waited for (CRM_READENDED).
void AskRead(HWND frame, FrameState& state, PendingRead request) {
  const bool wasWaiting = state.pendingRead.ticket != kNoRead;
  // A read that replaces a waiting Whole Data read keeps the place from
  // before that one: the view has been empty since.
  const bool placeKept = wasWaiting && state.pendingRead.keepsPlace;
  request = Superseding(state.pendingRead, std::move(request));
  StopWaiting(state);
  if (request.keepsPlace && !placeKept) state.placeBeforeRead = ViewPositionOf(g_dumpView);
  ClipboardReadStart start = StartClipboardRead(frame, request.format, request.wholeData);
  if (start.ended) {
    ShowReadEnd(frame, state, request, std::move(start.outcome));
    if (wasWaiting) RefreshCursor(frame);
    return;
  }
  request.ticket = start.ticket;
  state.pendingRead = std::move(request);
  ShowWait(frame, state);
}

// The request ends without a read (Esc, a marker format, no memory for its
// text), in place of any read that waits.
void EndWithoutRead(HWND frame, FrameState& state, PendingRead request, ReadOutcome&& outcome) {
  const bool wasWaiting = state.pendingRead.ticket != kNoRead;
  request = Superseding(state.pendingRead, std::move(request));
  StopWaiting(state);
  ShowReadEnd(frame, state, request, std::move(outcome));
  if (wasWaiting) RefreshCursor(frame);
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
  MeasureStatusBar();
}

// The status bar chose its font for the system's resolution. On a monitor of
// another one it is given the system's status font at that resolution, and
// back on such a monitor its own font again; it measures its height anew
// from the font.
void FitStatusBarToDpi(FrameState& state) {
  const bool systemResolution = state.dpi == SystemDpi();
  if (systemResolution && state.statusFont == nullptr) return;
  HFONT font = systemResolution ? nullptr : CreateStatusFontForDpi(state.dpi);
  if (!systemResolution && font == nullptr) return;
  ::SendMessageA(g_statusBar, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  if (state.statusFont != nullptr) ::DeleteObject(state.statusFont);
  state.statusFont = font;
  MeasureStatusBar();
}

// Every view and the status bar at the frame's resolution.
void TellViewsTheDpi(FrameState& state) {
  ::SendMessageA(g_dumpView, DVM_SETDPI, state.dpi, 0);
  if (state.pictureView != nullptr) ::SendMessageA(state.pictureView, PVM_SETDPI, state.dpi, 0);
  if (state.pane != nullptr) ::SendMessageW(state.pane, DPM_SETDPI, state.dpi, 0);
  FitStatusBarToDpi(state);
}

void ApplyCheckByCommand(HMENU menu, UINT command, UINT state) {
  g_menuItemInfo.fState = state;
  ::SetMenuItemInfoA(menu, command, FALSE, &g_menuItemInfo);
}

LRESULT OnCreate(HWND frame, const CREATESTRUCTA* create) {
  auto* state = new (std::nothrow) FrameState;
  if (state == nullptr) return -1;  // the creating call fails; nothing was made
  ::SetWindowLongPtrA(frame, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state));
  state->choices = g_lastingChoices;
  state->dpi = WindowDpi(frame);
  g_snapshot = nullptr;
  g_snapshotLength = 0;
  g_menuItemInfo = {};
  g_menuItemInfo.cbSize = sizeof(g_menuItemInfo);
  g_menuItemInfo.fMask = MIIM_STATE;
  // A frame made without a parameter record reads nothing and shows an empty
  // status text rather than dereferencing none.
  const auto* params = static_cast<const DumpCreateParams*>(create->lpCreateParams);
  g_owner = params != nullptr ? params->owner : nullptr;
  state->formatText = params != nullptr && params->statusText != nullptr ? params->statusText : "";

  CreateStatusBar(frame);
  g_dumpView = ::CreateWindowExA(WS_EX_CLIENTEDGE, DUMPVIEW_CLASS_NAME, nullptr, WS_CHILD, 0, 0, 0, 0, frame,
                                 nullptr, InstanceOf(frame), nullptr);
  state->pictureView = CreatePictureView(frame);
  state->pane = CreateDetailsPane(frame);
  // A frame opened on a monitor of another resolution than the system's.
  TellViewsTheDpi(*state);
  HMENU menu = ::GetMenu(frame);
  ApplyCheckByCommand(menu, ID_ENCODING_CP1252, MFS_CHECKED);
  ApplyCheckByCommand(menu, ID_VIEW_WHOLE_DATA, state->choices.wholeData ? MFS_CHECKED : 0);
  CheckViewChoice(menu, state->choices.picture);
  CheckDetailsChoice(menu, state->choices.details);
  PlaceChildren(frame, *state);
  StartFrameKeys(*state);

  PendingRead first;
  first.format = params != nullptr ? params->format : 0;
  first.wholeData = state->choices.wholeData;
  first.first = true;
  if (params != nullptr) {
    AskRead(frame, *state, std::move(first));
  } else {
    ShowReadEnd(frame, *state, first, ReadOutcome{});
  }
  return 0;
}

void OnSize(HWND frame, const FrameState& state, WPARAM wParam, LPARAM lParam) {
  // Minimised, the client area is 0 x 0: leave the children as they are, or
  // the view, squeezed to nothing, would scroll back to its first row.
  if (wParam == SIZE_MINIMIZED) return;
  // The status bar places itself at the bottom edge.
  ::SendMessageA(g_statusBar, WM_SIZE, wParam, lParam);
  PlaceChildren(frame, state);
}

void OnDestroy(FrameState& state) {
  g_lastingChoices = state.choices;
  StopWaiting(state);  // a read that waits reaches no frame
  StopFrameKeys(state);
  EndFind(state);
  if (g_snapshot != nullptr) {
    // The views still exist until after this message: take the bytes away
    // from them before they are freed.
    if (::IsWindow(g_dumpView)) ::SendMessageA(g_dumpView, DVM_SETDATA, 0, 0);
    if (state.pictureView != nullptr) ::SendMessageA(state.pictureView, PVM_SETPICTURE, 0, 0);
    if (state.pane != nullptr) ::SendMessageW(state.pane, DPM_SETSNAPSHOT, 0, 0);
    FreeSnapshot(g_snapshot);
  }
  g_snapshot = nullptr;
  g_snapshotLength = 0;
  g_dumpView = nullptr;
  g_statusBar = nullptr;
  // The status bar goes with the frame and draws no more.
  if (state.statusFont != nullptr) ::DeleteObject(state.statusFont);
  state.statusFont = nullptr;
}

void OnNcDestroy(HWND frame, FrameState* state) {
  ::SetWindowLongPtrA(frame, GWLP_USERDATA, 0);
  delete state;
}

// Moved to a monitor of another resolution: the view's cells, the picture's
// caption and checkerboard, the pane's font and the status bar's text follow
// it, and the frame takes the rectangle that the system suggests for it
// there. The children are placed again even when the size stays, as the
// status bar's height and the splitter's width may have changed.
void OnDpiChanged(HWND frame, FrameState& state, std::uint32_t dpi, const RECT& suggested) {
  state.dpi = dpi;
  TellViewsTheDpi(state);
  ::SetWindowPos(frame, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  if (::IsIconic(frame)) return;
  ::SendMessageA(g_statusBar, WM_SIZE, SIZE_RESTORED, 0);
  PlaceChildren(frame, state);
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

// The snapshot written is the one there when the dialog closes.
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

// The owner destroys the frame in answer; the frame stays until then.
void PostCloseRequest() { ::PostMessageA(g_owner, WM_COMMAND, MAKEWPARAM(IDC_DUMP_TOGGLE, 0), 0); }

// The status text changes first, also when only the text is new (format 0:
// the snapshot on view, its format and its text stay as they are; while a
// read waits, its text shows once the read has ended, as after a prompt
// read).
void OnShowFormat(HWND frame, FrameState& state, std::uint32_t format, const char* statusText) {
  const char* text = statusText != nullptr ? statusText : "";
  if (format == 0 && state.pendingRead.ticket != kNoRead) {
    state.pendingRead.laterStatusText = text;
    state.pendingRead.statusReplaced = true;
    return;
  }
  SetStatusText(text);
  if (format == 0) return;
  PendingRead request;
  request.format = format;
  request.wholeData = state.choices.wholeData;
  try {
    state.formatText = text;
  } catch (const std::bad_alloc&) {
    // Without its text the format is not read: a failed read.
    EndWithoutRead(frame, state, std::move(request), ReadOutcome{});
    SetStatusText(text);
    return;
  }
  AskRead(frame, state, std::move(request));
}

// The clipboard asks monitors to leave it alone: the format is not read,
// and the pane says why.
void OnLeaveUnread(HWND frame, FrameState& state, std::uint32_t format, const DumpLeftUnread* unread) {
  if (format == 0 || unread == nullptr) return;
  const char* text = unread->statusText != nullptr ? unread->statusText : "";
  SetStatusText(text);
  state.formatText = text;
  PendingRead request;
  request.format = format;
  ReadOutcome notRead;
  notRead.facts.leftUnreadFor = unread->marker != nullptr ? unread->marker : "";
  EndWithoutRead(frame, state, std::move(request), std::move(notRead));
}

// Esc while a read waits: the frame gives it up, as a failed read.
bool CancelWait(HWND frame, FrameState& state) {
  if (state.pendingRead.ticket == kNoRead) return false;
  EndWithoutRead(frame, state, state.pendingRead, ReadOutcome{});
  return true;
}

// The reader's report of a read that outlasted the prompt wait. Only the
// read the frame waits for is shown; any other's outcome is freed.
void OnReadEnded(HWND frame, FrameState& state, ReadTicket ticket) {
  if (ticket == kNoRead || ticket != state.pendingRead.ticket) {
    CancelClipboardRead(ticket);
    return;
  }
  const PendingRead request = std::move(state.pendingRead);
  state.pendingRead = PendingRead{};
  ShowReadEnd(frame, state, request, TakeClipboardRead(ticket));
  RefreshCursor(frame);
}

// Reads the format on view again by the other rules, as DFM_SHOWFORMAT does
// for the same format, keeping the caret and the scroll position where they
// still fit. A frame without a format (made without parameters) reads
// nothing.
void OnWholeData(HWND frame, FrameState& state) {
  state.choices.wholeData = !state.choices.wholeData;
  ApplyCheckByCommand(::GetMenu(frame), ID_VIEW_WHOLE_DATA, state.choices.wholeData ? MFS_CHECKED : 0);
  if (state.format == 0) return;
  PendingRead request;
  request.format = state.format;
  request.wholeData = state.choices.wholeData;
  request.keepsPlace = true;
  AskRead(frame, state, std::move(request));
}

// Go To's answer moves the caret in the snapshot that is there when the
// dialog closes: the browser may have shown another format meanwhile.
void OnGoTo(HWND frame) {
  const auto caret = static_cast<std::uint32_t>(::SendMessageA(g_dumpView, DVM_GETCARET, 0, 0));
  std::uint64_t offset = 0;
  if (!AskGoToOffset(frame, caret, &offset)) return;
  if (const FrameState* now = LiveStateOf(frame)) GoToOffset(ContextOf(frame, *now), offset);
}

void OnViewCommand(HWND frame, FrameState& state, UINT command) {
  switch (command) {
    case ID_VIEW_BYTES:
    case ID_VIEW_PICTURE:
      if (ChooseView(state, ContextOf(frame, state), command == ID_VIEW_PICTURE)) PlaceChildren(frame, state);
      break;
    case ID_VIEW_DETAILS:
      ToggleDetails(frame, state);
      PlaceChildren(frame, state);
      break;
    case ID_VIEW_WHOLE_DATA:
      OnWholeData(frame, state);
      break;
    default:
      ZoomPicture(ContextOf(frame, state), command);
      break;
  }
}

// The Edit menu's commands, each given the frame's context of this moment.
void OnEditCommand(HWND frame, FrameState& state, UINT command) {
  switch (command) {
    case ID_EDIT_COPY:
    case ID_EDIT_COPY_TEXT:
      CopySelection(ContextOf(frame, state), command == ID_EDIT_COPY_TEXT);
      break;
    case ID_EDIT_SELECT_ALL:
      SelectAll(ContextOf(frame, state));
      break;
    case ID_EDIT_FIND:
      ShowFindDialog(frame, state);
      break;
    case ID_EDIT_FIND_NEXT:
    case ID_EDIT_FIND_PREVIOUS:
      RepeatSearch(ContextOf(frame, state), state.findDialog, command == ID_EDIT_FIND_PREVIOUS);
      break;
    case ID_EDIT_GOTO:
      OnGoTo(frame);
      break;
    default:
      break;
  }
}

void OnCommand(HWND frame, FrameState& state, UINT command) {
  // Shortcuts reach here even for commands the menu greys.
  if (CommandIdleInThisView(command, state.choices.picture)) return;
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
    default:
      if (command >= ID_VIEW_WHOLE_DATA && command <= ID_VIEW_ZOOM_FIT) {
        OnViewCommand(frame, state, command);
      } else {
        OnEditCommand(frame, state, command);
      }
      break;
  }
  // Find, Go To and Select All move the caret without a key in the view.
  if (const FrameState* now = LiveStateOf(frame)) TellPaneTheCaret(ContextOf(frame, *now));
}

// Greys the Edit items that cannot act now.
void OnInitMenuPopup(HWND frame, const FrameState& state) {
  const FrameContext context = ContextOf(frame, state);
  HMENU menu = ::GetMenu(frame);
  auto enable = [menu](UINT command, bool enabled) {
    ::EnableMenuItem(menu, command, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
  };
  enable(ID_EDIT_COPY, context.hasSelection);
  enable(ID_EDIT_COPY_TEXT, context.hasSelection);
  enable(ID_EDIT_SELECT_ALL, context.snapshotLength != 0);
  enable(ID_EDIT_FIND_NEXT, context.lastSearch != nullptr);
  enable(ID_EDIT_FIND_PREVIOUS, context.lastSearch != nullptr);
  GreyMenuForView(menu, state.choices.picture);
}

// Every shortcut of the frame's menus arrives here, from the frame itself
// or handed over from a child (framekeys_win32.cpp). Copy and Select All
// check for themselves whether they can act.
bool OnKeyDown(HWND frame, FrameState& state, WPARAM key) {
  if (key == VK_ESCAPE) return CancelWait(frame, state);
  const std::uint32_t command = FrameShortcutOf(key, false);
  if (command == 0) return false;
  OnCommand(frame, state, command);
  return true;
}

// From anyone (another program, an automation tool): only the owner destroys
// the frame, so this too is a close request.
LRESULT OnClose() {
  PostCloseRequest();
  return 0;
}

// The close box and Alt+F4 arrive here first: the owner closes the frame.
bool OnSysCommand(WPARAM command) {
  if (command != SC_CLOSE) return false;
  PostCloseRequest();
  return true;
}

void OnNotify(HWND frame, const FrameState& state, const NMHDR* header) {
  if (header == nullptr || header->hwndFrom != g_dumpView) return;
  const int code = static_cast<int>(header->code);
  // Keys and clicks are what move the caret and the selection.
  if (code <= DVN_LBUTTONDOWN && code >= DVN_KEYDOWN) TellPaneTheCaret(ContextOf(frame, state));
}

LRESULT FrameMessage(HWND window, FrameState& state, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SIZE:
      OnSize(window, state, wParam, lParam);
      break;
    case WM_SETCURSOR:
      if (SetWaitCursor(state, lParam)) return TRUE;
      if (HandleSplitterMessage(window, state, message, wParam, lParam)) return 0;
      break;
    case WM_LBUTTONDOWN:
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
      if (HandleSplitterMessage(window, state, message, wParam, lParam)) return 0;
      break;
    case WM_DESTROY:
      OnDestroy(state);
      break;
    case WM_COMMAND:
      OnCommand(window, state, LOWORD(wParam));
      break;
    case WM_CLOSE:
      return OnClose();
    case WM_INITMENUPOPUP:
      OnInitMenuPopup(window, state);
      break;
    case WM_KEYDOWN:
      if (OnKeyDown(window, state, wParam)) return 0;
      break;
    case WM_MOUSEWHEEL:
      if (ForwardWheelToPicture(ContextOf(window, state), wParam, lParam)) return 0;
      break;
    case WM_NOTIFY:
      OnNotify(window, state, reinterpret_cast<const NMHDR*>(lParam));
      break;
    case WM_SYSCOMMAND:
      if (OnSysCommand(wParam)) return 0;
      break;
    case WM_DPICHANGED:
      OnDpiChanged(window, state, LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
      return 0;
    case DFM_SHOWFORMAT:
      OnShowFormat(window, state, static_cast<std::uint32_t>(wParam), reinterpret_cast<const char*>(lParam));
      return 0;
    case DFM_LEAVEUNREAD:
      OnLeaveUnread(window, state, static_cast<std::uint32_t>(wParam),
                    reinterpret_cast<const DumpLeftUnread*>(lParam));
      return 0;
    case CRM_READENDED:
      OnReadEnded(window, state, static_cast<ReadTicket>(wParam));
      return 0;
    default:
      break;
  }
  return ::DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

FrameState* FrameStateOf(HWND frame) {
  return frame != nullptr ? reinterpret_cast<FrameState*>(::GetWindowLongPtrA(frame, GWLP_USERDATA))
                          : nullptr;
}

FrameContext ContextOf(HWND frame, const FrameState& state) {
  const auto codePage = static_cast<std::uint16_t>(::SendMessageA(g_dumpView, DVM_GETCODEPAGE, 0, 0));
  UINT first = 0;
  UINT last = 0;
  const bool selected = ::SendMessageA(g_dumpView, DVM_GETSEL, reinterpret_cast<WPARAM>(&first),
                                       reinterpret_cast<LPARAM>(&last)) != 0;
  return FrameContext{frame,
                      g_dumpView,
                      state.pictureView,
                      state.pane,
                      g_snapshot,
                      g_snapshotLength,
                      codePage,
                      &state.facts,
                      state.format,
                      state.formatText.c_str(),
                      state.choices,
                      selected,
                      state.haveLastSearch ? &state.lastSearch : nullptr};
}

void PlaceChildren(HWND frame, const FrameState& state) {
  RECT client = {};
  ::GetClientRect(frame, &client);
  const FrameChoices& choices = state.choices;
  const FrameLayout layout =
      FrameLayoutOf(FrameLayoutInput{client.right, client.bottom, g_statusBarHeight, choices.picture,
                                     choices.details, choices.paneShare, state.dpi});
  // The focus follows into the view shown, so that its keys keep working.
  const HWND focus = ::GetFocus();
  const HWND shownView = layout.pictureShown ? state.pictureView : g_dumpView;
  const bool focusHidden = (focus == g_dumpView && !layout.dumpShown) ||
                           (focus == state.pictureView && !layout.pictureShown) ||
                           (focus == state.pane && !layout.paneShown);
  const struct {
    HWND window;
    const ViewPlacement& place;
    bool shown;
  } children[] = {{g_dumpView, layout.dumpView, layout.dumpShown},
                  {state.pictureView, layout.pictureView, layout.pictureShown},
                  {state.pane, layout.pane, layout.paneShown}};
  HDWP positions = ::BeginDeferWindowPos(3);
  for (const auto& child : children) {
    if (child.window == nullptr) continue;
    const UINT flags = SWP_NOZORDER | SWP_NOACTIVATE | (child.shown ? SWP_SHOWWINDOW : SWP_HIDEWINDOW);
    const ViewPlacement& p = child.place;
    if (positions != nullptr) {
      positions = ::DeferWindowPos(positions, child.window, nullptr, p.x, p.y, p.width, p.height, flags);
    } else {
      ::SetWindowPos(child.window, nullptr, p.x, p.y, p.width, p.height, flags);
    }
  }
  if (positions != nullptr) ::EndDeferWindowPos(positions);
  if (focusHidden && shownView != nullptr) ::SetFocus(shownView);
  // The splitter is the frame's own background between the view and the pane.
  const ViewPlacement& s = layout.splitter;
  const RECT gap = {s.x, s.y, s.x + s.width, s.y + s.height};
  ::InvalidateRect(frame, &gap, TRUE);
}

LRESULT CALLBACK DumpFrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  // Nothing leaves for the system: a creation that runs out of memory fails,
  // and any other message that does gives up its work with a beep (a read
  // turns such a failure into a failed read itself).
  try {
    if (message == WM_CREATE) return OnCreate(window, reinterpret_cast<const CREATESTRUCTA*>(lParam));
    FrameState* state = FrameStateOf(window);
    if (message == WM_NCDESTROY) OnNcDestroy(window, state);
    if (state == nullptr || message == WM_NCDESTROY) return ::DefWindowProcA(window, message, wParam, lParam);
    return FrameMessage(window, *state, message, wParam, lParam);
  } catch (...) {
    if (message == WM_CREATE) return -1;
    ::MessageBeep(MB_ICONWARNING);
    return 0;
  }
}
