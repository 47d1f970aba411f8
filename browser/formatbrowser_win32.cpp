// The format browser dialog: Kelvane's main window. It lists the registered
// clipboard formats and the formats on the clipboard, tracks the selection in
// the second list and opens or closes the one DumpFrame for it. Copying a
// name and the lists' shortcuts live in namecopy_win32.cpp.
#include <windows.h>
#include <commctrl.h>

#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/clipboardformats.h"
#include "app/dpi_win32.h"
#include "app/dpiscale.h"
#include "app/kelvane.h"
#include "app/resource.h"
#include "browser/formatbrowser.h"
#include "browser/formatbrowser_win32.h"
#include "browser/formatnames.h"
#include "capture/capturemenu_win32.h"
#include "clipwatch/clipwatch_win32.h"
#include "dumpframe/dumpframe.h"
#include "snapshot/clipboardwindow_win32.h"

HWND g_registeredList = nullptr;
HWND g_availableList = nullptr;
HWND g_dumpFrame = nullptr;
int g_selectedIndex = -1;
bool g_refillingLists = false;

namespace {

// LVS_EX_HEADERDRAGDROP | LVS_EX_FULLROWSELECT | LVS_EX_TWOCLICKACTIVATE |
// LVS_EX_FLATSB, used as mask and as value.
constexpr DWORD kListExtendedStyles = 0x1B0;

// Any atom name fits in 255 characters. A buffer that can't hold the whole
// name makes Wine answer 0 where Windows answers the cut length, so the name
// is fetched whole and cut afterwards.
constexpr int kAtomNameBuffer = 256;

// Column 1 texts are at most a 127-character name and "(0xFFFF)"; the buffer
// is larger so no text is ever cut by the read itself.
constexpr int kItemTextBuffer = 256;

// The resolution the lists' columns were last sized for.
std::uint32_t g_dialogDpi = kDefaultDpi;

constexpr char kDialogTitle[] = "Kelvane";
constexpr char kFrameTitle[] = "Binary dump";
// At 96 dots per inch; the frame opens in proportion at the dialog's.
constexpr int kFrameWidth = 650;
constexpr int kFrameHeight = 300;
constexpr int kFrameLeftOffset = -1;  // from the dialog's left edge
constexpr char kSelectionClearedText[] = "Clipboard Data has Changed.";

// ---------------------------------------------------------------- list views

void InsertColumn(HWND list, int column, const char* header, int format, int width) {
  LVCOLUMNA col = {};
  col.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
  col.fmt = format;
  col.cx = width;
  col.pszText = const_cast<char*>(header);
  col.iSubItem = column;
  ::SendMessageA(list, LVM_INSERTCOLUMNA, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&col));
}

// Two columns: a centred one of firstWidth pixels and a left-aligned one
// filling the rest of the list's client width.
void SetUpList(HWND list, const char* firstHeader, const char* secondHeader, int firstWidth) {
  RECT client = {};
  ::GetClientRect(list, &client);
  InsertColumn(list, 0, firstHeader, LVCFMT_CENTER, firstWidth);
  InsertColumn(list, 1, secondHeader, LVCFMT_LEFT, (client.right - client.left) - firstWidth);
  ::SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, kListExtendedStyles, kListExtendedStyles);
}

// Inserts an item with the text of column 0 (and, with LVIF_PARAM, its data)
// at index; the index it got, or -1.
int InsertItem(HWND list, int index, const std::string& text, UINT extraMask, LPARAM data) {
  LVITEMA item = {};
  item.mask = LVIF_TEXT | extraMask;
  item.iItem = index;
  item.iSubItem = 0;
  item.pszText = const_cast<char*>(text.c_str());
  item.lParam = data;
  return static_cast<int>(::SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
}

void SetColumn1Text(HWND list, int index, const std::string& text) {
  LVITEMA item = {};
  item.mask = LVIF_TEXT;
  item.iItem = index;
  item.iSubItem = 1;
  item.pszText = const_cast<char*>(text.c_str());
  ::SendMessageA(list, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

// Column 1 of the registered list's item whose column 0 reads "0x%04X" of
// format (whole text, letter case ignored); none when there is no such item.
std::optional<std::string> LookUpRegisteredName(std::uint32_t format) {
  const std::string key = FormatNumberText(format);
  LVFINDINFOA find = {};
  find.flags = LVFI_STRING;
  find.psz = key.c_str();
  const int found = static_cast<int>(::SendMessageA(g_registeredList, LVM_FINDITEMA, static_cast<WPARAM>(-1),
                                                    reinterpret_cast<LPARAM>(&find)));
  if (found == -1) return std::nullopt;
  return ListItemColumn1Text(g_registeredList, found);
}

void SetDumpToggle(HWND dialog, bool checked) {
  ::CheckDlgButton(dialog, IDC_DUMP_TOGGLE, checked ? BST_CHECKED : BST_UNCHECKED);
}

void EnableDumpToggle(HWND dialog, bool enabled) {
  ::EnableWindow(::GetDlgItem(dialog, IDC_DUMP_TOGGLE), enabled ? TRUE : FALSE);
}

// ------------------------------------------------------------ initialisation

void OnInitDialog(HWND dialog) {
  // A dialog run again in the same process starts afresh as well.
  g_dumpFrame = nullptr;
  g_selectedIndex = -1;

  HINSTANCE instance = reinterpret_cast<HINSTANCE>(::GetWindowLongPtrA(dialog, GWLP_HINSTANCE));
  HICON icon = ::LoadIconA(instance, MAKEINTRESOURCEA(IDI_APP));
  ::SendMessageA(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));

  // The lists repaint themselves; the dialog shouldn't paint over them.
  ::SetWindowLongA(dialog, GWL_STYLE, ::GetWindowLongA(dialog, GWL_STYLE) | WS_CLIPCHILDREN);

  // The base unit is the system font's, measured at the system's resolution;
  // a dialog on a monitor of another one is laid out at that monitor's.
  const int baseUnit = ScaleBetweenDpi(LOWORD(::GetDialogBaseUnits()), SystemDpi(), WindowDpi(dialog));
  g_registeredList = ::GetDlgItem(dialog, IDC_REGISTERED_LIST);
  g_availableList = ::GetDlgItem(dialog, IDC_AVAILABLE_LIST);
  SubclassLists();

  SetUpList(g_registeredList, "Number", "Clipboard Format Name", 8 * baseUnit);
  SetUpList(g_availableList, "Priority", "Clipboard Format", 7 * baseUnit);
  g_dialogDpi = WindowDpi(dialog);
}

// The system lays a dialog out again on a monitor of another resolution,
// but leaves the lists' columns as they were: they follow in proportion.
void ScaleColumns(HWND list, std::uint32_t fromDpi, std::uint32_t toDpi) {
  HWND header = reinterpret_cast<HWND>(::SendMessageA(list, LVM_GETHEADER, 0, 0));
  const int columns = static_cast<int>(::SendMessageA(header, HDM_GETITEMCOUNT, 0, 0));
  for (int column = 0; column < columns; ++column) {
    const int width =
        static_cast<int>(::SendMessageA(list, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column), 0));
    ::SendMessageA(list, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column),
                   MAKELPARAM(ScaleBetweenDpi(width, fromDpi, toDpi), 0));
  }
}

void OnDpiChanged(std::uint32_t dpi) {
  ScaleColumns(g_registeredList, g_dialogDpi, dpi);
  ScaleColumns(g_availableList, g_dialogDpi, dpi);
  g_dialogDpi = dpi;
}

// ------------------------------------------------------------------- Analyze

// Every number of the registered range that has a name, in ascending order:
// each item goes to the top while the number falls.
void FillRegisteredList() {
  for (UINT format = kLastRegisteredFormat; format >= kFirstRegisteredFormat; --format) {
    char name[kAtomNameBuffer] = {};
    const int length = ::GetClipboardFormatNameA(format, name, kAtomNameBuffer);
    if (length == 0) continue;
    name[kAtomNameBuffer - 1] = '\0';
    const int index = InsertItem(g_registeredList, 0, FormatNumberText(format), 0, 0);
    if (index != -1) SetColumn1Text(g_registeredList, index, RegisteredNameText(name));
  }
}

// The dialog's title names who holds the clipboard open while it stays
// held, and is the program's name again once an Analyze could open it.
void ShowClipboardHolder(HWND dialog, bool opened, const ClipboardWindow& holder) {
  static bool titleNamesHolder = false;
  if (opened && !titleNamesHolder) return;
  try {
    ::SetWindowTextA(dialog, opened ? kDialogTitle : HeldClipboardTitle(holder).c_str());
    titleNamesHolder = !opened;
  } catch (const std::bad_alloc&) {
    // The title stays as it was.
  }
}

// The clipboard's formats in its own order, numbered 1, 2, 3 ... Must run
// after FillRegisteredList, whose names it looks up.
void AppendAvailableFormat(std::uint32_t format) {
  const int count = static_cast<int>(::SendMessageA(g_availableList, LVM_GETITEMCOUNT, 0, 0));
  const int index = InsertItem(g_availableList, count, PriorityText(static_cast<std::uint32_t>(count) + 1),
                               LVIF_PARAM, static_cast<LPARAM>(format));
  if (index == -1) return;
  const std::optional<std::string> name = LookUpRegisteredName(format);
  const std::optional<std::string_view> nameView =
      name.has_value() ? std::optional<std::string_view>(*name) : std::nullopt;
  SetColumn1Text(g_availableList, index, AvailableFormatText(format, nameView));
}

void FillAvailableList(HWND dialog) {
  // When another window holds the clipboard, the enumeration yields nothing
  // and the close is refused: the list stays empty.
  ClipboardWindow holder;
  ShowClipboardHolder(dialog, OpenClipboardPatiently(dialog, &holder), holder);
  for (UINT format = ::EnumClipboardFormats(0); format != 0; format = ::EnumClipboardFormats(format)) {
    AppendAvailableFormat(format);
  }
  ::CloseClipboard();
}

void ClearListSelection(HWND list) {
  LVITEMA state = {};
  state.stateMask = LVIS_SELECTED;
  state.state = 0;
  ::SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&state));
}

// A visible list view redraws its scroll bar for every inserted item (under
// Wine about 3 ms an item, several times the whole registered scan); while
// the lists are refilled they are drawn once, at the end.
void SuspendRedraw(HWND list) { ::SendMessageA(list, WM_SETREDRAW, FALSE, 0); }

void ResumeRedraw(HWND list) {
  ::SendMessageA(list, WM_SETREDRAW, TRUE, 0);
  ::InvalidateRect(list, nullptr, TRUE);
}

void OnAnalyze(HWND dialog) {
  ::SetCursor(::LoadCursorA(nullptr, IDC_WAIT));
  CloseDumpFrame(dialog);
  // Its notifications run the selection tracking, which disables B now that
  // no frame is open.
  ClearListSelection(g_availableList);
  SuspendRedraw(g_registeredList);
  SuspendRedraw(g_availableList);
  ::SendMessageA(g_registeredList, LVM_DELETEALLITEMS, 0, 0);
  ::SendMessageA(g_availableList, LVM_DELETEALLITEMS, 0, 0);
  FillRegisteredList();
  FillAvailableList(dialog);
  ResumeRedraw(g_registeredList);
  ResumeRedraw(g_availableList);
  ::SetCursor(::LoadCursorA(nullptr, IDC_ARROW));
}

// ------------------------------------------------------- selection tracking

void ShowFormatInFrame(std::uint32_t format, const std::string& statusText) {
  ::SendMessageA(g_dumpFrame, DFM_SHOWFORMAT, static_cast<WPARAM>(format),
                 reinterpret_cast<LPARAM>(statusText.c_str()));
}

void OnAvailableItemChanged(HWND dialog, const NMLISTVIEW& change) {
  const bool nowSelected = (change.uNewState & LVIS_SELECTED) != 0;
  const bool wasSelected = (change.uOldState & LVIS_SELECTED) != 0;
  if (g_selectedIndex == -1 && nowSelected) {
    g_selectedIndex = change.iItem;
    EnableDumpToggle(dialog, true);
    if (g_dumpFrame != nullptr) {
      // The frame reads the clipboard again for the new format inside the call.
      ShowFormatInFrame(ListItemFormat(g_availableList, change.iItem),
                        FrameStatusText(ListItemColumn1Text(g_availableList, change.iItem)));
    }
  } else if (g_selectedIndex != -1 && wasSelected && !nowSelected) {
    g_selectedIndex = -1;
    if (g_dumpFrame != nullptr) {
      // B stays enabled so that the user can still close the frame.
      ShowFormatInFrame(0, kSelectionClearedText);
    } else {
      EnableDumpToggle(dialog, false);
    }
  }
}

void OnNotify(HWND dialog, const NMHDR& header) {
  if (g_refillingLists) return;
  if (header.idFrom != IDC_AVAILABLE_LIST || header.code != LVN_ITEMCHANGED) return;
  const NMLISTVIEW& change = reinterpret_cast<const NMLISTVIEW&>(header);
  if ((change.uChanged & LVIF_STATE) == 0) return;
  OnAvailableItemChanged(dialog, change);
}

// ------------------------------------------------------------------ toggle

void OpenDumpFrame(HWND dialog) {
  const int selected = SelectedListItem(g_availableList);
  if (selected == -1) return;  // B keeps the check mark the click gave it

  const std::string statusText = FrameStatusText(ListItemColumn1Text(g_availableList, selected));
  DumpCreateParams params = {};
  params.owner = dialog;
  params.format = ListItemFormat(g_availableList, selected);
  params.statusText = statusText.c_str();

  // Just below the dialog, as an unowned top-level window.
  RECT dialogRect = {};
  ::GetWindowRect(dialog, &dialogRect);
  const std::uint32_t dpi = WindowDpi(dialog);
  HINSTANCE instance = reinterpret_cast<HINSTANCE>(::GetWindowLongPtrA(dialog, GWLP_HINSTANCE));
  g_dumpFrame = ::CreateWindowExA(
      0, DUMPFRAME_CLASS_NAME, kFrameTitle, WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN,
      dialogRect.left + ScaleForDpi(kFrameLeftOffset, dpi), dialogRect.bottom, ScaleForDpi(kFrameWidth, dpi),
      ScaleForDpi(kFrameHeight, dpi), nullptr, nullptr, instance, &params);
  // Checked even when the creation failed: the next toggle then finds no
  // frame and tries again.
  SetDumpToggle(dialog, true);
}

void OnToggle(HWND dialog) {
  if (g_dumpFrame != nullptr) {
    CloseDumpFrame(dialog);
    if (SelectedListItem(g_availableList) == -1) EnableDumpToggle(dialog, false);
    return;
  }
  OpenDumpFrame(dialog);
}

}  // namespace

// ------------------------------------------------------------ shared helpers

void RefillAvailableList(const std::vector<std::uint32_t>& formats) {
  SuspendRedraw(g_availableList);
  ::SendMessageA(g_availableList, LVM_DELETEALLITEMS, 0, 0);
  for (const std::uint32_t format : formats) AppendAvailableFormat(format);
  ResumeRedraw(g_availableList);
}

void RescanRegisteredList() {
  SuspendRedraw(g_registeredList);
  ::SendMessageA(g_registeredList, LVM_DELETEALLITEMS, 0, 0);
  FillRegisteredList();
  ResumeRedraw(g_registeredList);
}

bool IsListedAsRegistered(std::uint32_t format) { return LookUpRegisteredName(format).has_value(); }

int SelectedListItem(HWND list) {
  return static_cast<int>(
      ::SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), MAKELPARAM(LVNI_SELECTED, 0)));
}

std::string ListItemColumn1Text(HWND list, int item) {
  char text[kItemTextBuffer] = {};
  LVITEMA request = {};
  request.iSubItem = 1;
  request.pszText = text;
  request.cchTextMax = kItemTextBuffer;
  ::SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&request));
  // Wine leaves a text that doesn't fit unterminated.
  text[kItemTextBuffer - 1] = '\0';
  return text;
}

std::uint32_t ListItemFormat(HWND list, int item) {
  LVITEMA request = {};
  request.mask = LVIF_PARAM;
  request.iItem = item;
  request.iSubItem = 0;
  if (!::SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&request))) return 0;
  return static_cast<std::uint32_t>(request.lParam);
}

void CloseDumpFrame(HWND dialog) {
  if (g_dumpFrame == nullptr) return;
  // The frame frees its snapshot before DestroyWindow returns.
  ::DestroyWindow(g_dumpFrame);
  g_dumpFrame = nullptr;
  SetDumpToggle(dialog, false);
}

INT_PTR CALLBACK FormatBrowserProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      OnInitDialog(dialog);
      // Kelvane's system-menu items in their order: the watch's, then the
      // clipboard files'.
      StartClipboardWatch(dialog);
      AddCaptureMenuItems(dialog);
      break;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDCANCEL:  // the Quit button, Esc and the close box
          ::EndDialog(dialog, 0);
          break;
        case IDC_ANALYZE:
          OnAnalyze(dialog);
          break;
        case IDC_DUMP_TOGGLE:  // B, a double click in a list, the frame's close request
          OnToggle(dialog);
          break;
        case ID_COPY:  // Ctrl+C in a list, the lists' context menu
          CopySelectedFormatName(dialog);
          break;
        default:
          break;
      }
      break;
    case WM_NOTIFY:
      OnNotify(dialog, *reinterpret_cast<const NMHDR*>(lParam));
      break;
    case WM_CONTEXTMENU:
      ShowListContextMenu(dialog, reinterpret_cast<HWND>(wParam), lParam);
      break;
    case WM_DPICHANGED:
      // The default dialog handling that follows lays out the dialog itself.
      OnDpiChanged(LOWORD(wParam));
      break;
    case WM_SYSCOMMAND:
      // Kelvane's own items; every other command keeps its default handling.
      RunWatchCommand(dialog, static_cast<std::uint32_t>(wParam));
      if (OnCaptureCommand(dialog, wParam)) return TRUE;
      break;
    case WM_DESTROY:
      StopClipboardWatch();
      CloseDumpFrame(dialog);
      break;
    default:
      break;
  }
  // The default dialog handling always runs too; after WM_INITDIALOG this
  // also means no control is given the focus.
  return FALSE;
}
