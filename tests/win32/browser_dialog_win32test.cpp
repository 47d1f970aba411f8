// The format browser dialog driven through its real window: initial state,
// Analyze against the real clipboard, selection tracking and Quit.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "app/privateformats.h"
#include "browser/formatbrowser_win32.h"
#include "browser_harness.h"
#include "testsupport.h"

using browsertest::BrowserDialog;
using browsertest::ClearSelection;
using browsertest::Column;
using browsertest::Hex;
using browsertest::ItemCount;
using browsertest::ItemData;
using browsertest::ItemText;
using browsertest::SelectedItem;
using browsertest::SelectItem;

namespace {

// Every named number of the registered range, by the system's own answer.
std::map<UINT, std::string> RegisteredNames() {
  std::map<UINT, std::string> names;
  for (UINT n = 0xC000; n <= 0xFFFF; ++n) {
    char name[256] = {};
    if (::GetClipboardFormatNameA(n, name, sizeof(name)) != 0) names[n] = name;
  }
  return names;
}

std::vector<std::uint8_t> Bytes(const char* text) {
  return std::vector<std::uint8_t>(text, text + std::strlen(text) + 1);
}

// Whether the row's rectangle on screen holds anything but the list's
// background, that is, whether the row's text has been drawn.
bool RowHasInk(HWND list, int item) {
  RECT row = {};
  row.left = LVIR_BOUNDS;
  if (!::SendMessageA(list, LVM_GETITEMRECT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&row))) {
    return false;
  }
  HDC dc = ::GetDC(list);
  const COLORREF background = ::GetPixel(dc, row.right - 1, row.bottom - 1);
  bool ink = false;
  for (int y = row.top; y < row.bottom && !ink; ++y) {
    for (int x = row.left; x < row.right && !ink; ++x) {
      ink = ::GetPixel(dc, x, y) != background;
    }
  }
  ::ReleaseDC(list, dc);
  return ink;
}

class FormatBrowserDialog : public ::testing::Test {
 protected:
  void SetUp() override { testsupport::ClearClipboard(); }
  void TearDown() override { testsupport::ClearClipboard(); }
};

TEST_F(FormatBrowserDialog, StartsWithEmptyListsTheirColumnsAndBDisabled) {
  BrowserDialog run;
  ASSERT_NE(run.dialog(), nullptr);

  EXPECT_EQ(ItemCount(run.registeredList()), 0);
  EXPECT_EQ(ItemCount(run.availableList()), 0);
  EXPECT_FALSE(run.ToggleEnabled());
  EXPECT_FALSE(run.ToggleChecked());
  EXPECT_EQ(g_selectedIndex, -1);
  EXPECT_EQ(g_dumpFrame, nullptr);

  // The dialog gets WS_CLIPCHILDREN and the program's small icon.
  EXPECT_NE(::GetWindowLongA(run.dialog(), GWL_STYLE) & WS_CLIPCHILDREN, 0);
  EXPECT_NE(::SendMessageA(run.dialog(), WM_GETICON, ICON_SMALL, 0), 0);

  // The template's font: Arial, 9 points.
  HFONT font = reinterpret_cast<HFONT>(::SendMessageA(run.dialog(), WM_GETFONT, 0, 0));
  LOGFONTA logFont = {};
  ASSERT_NE(::GetObjectA(font, sizeof(logFont), &logFont), 0);
  EXPECT_STREQ(logFont.lfFaceName, "Arial");
  HDC screen = ::GetDC(nullptr);
  const int pixelsPerInch = ::GetDeviceCaps(screen, LOGPIXELSY);
  ::ReleaseDC(nullptr, screen);
  EXPECT_EQ(logFont.lfHeight, -::MulDiv(9, pixelsPerInch, 72));

  const int u = LOWORD(::GetDialogBaseUnits());
  struct Expected {
    HWND list;
    const char* first;
    const char* second;
    int firstWidth;
  } lists[] = {
      {run.registeredList(), "Number", "Clipboard Format Name", 8 * u},
      {run.availableList(), "Priority", "Clipboard Format", 7 * u},
  };
  for (const Expected& e : lists) {
    RECT client = {};
    ::GetClientRect(e.list, &client);
    const browsertest::ColumnInfo c0 = Column(e.list, 0);
    const browsertest::ColumnInfo c1 = Column(e.list, 1);
    EXPECT_EQ(c0.header, e.first);
    EXPECT_EQ(c1.header, e.second);
    EXPECT_EQ(c0.width, e.firstWidth);
    EXPECT_EQ(c1.width, client.right - e.firstWidth);
    EXPECT_EQ(c1.format, LVCFMT_LEFT);
    const DWORD extended = static_cast<DWORD>(::SendMessageA(e.list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
    EXPECT_EQ(extended & 0x1B0u, 0x1B0u) << e.first;
  }
}

TEST_F(FormatBrowserDialog, AnalyzeWithEmptyClipboardFillsOnlyTheRegisteredList) {
  BrowserDialog run;
  ASSERT_NE(run.dialog(), nullptr);
  run.Analyze();
  const std::map<UINT, std::string> names = RegisteredNames();

  EXPECT_EQ(ItemCount(run.availableList()), 0);
  const HWND list = run.registeredList();
  ASSERT_EQ(ItemCount(list), static_cast<int>(names.size()));
  int index = 0;
  for (const auto& [number, name] : names) {  // ascending, like the list
    EXPECT_EQ(ItemText(list, index, 0), Hex(number)) << index;
    EXPECT_EQ(ItemText(list, index, 1), name.substr(0, 126)) << index;
    ++index;
  }
  // The program's own private formats are among them.
  EXPECT_NE(browsertest::FindItem(list, Hex(g_binaryDataFormat)), -1);
  EXPECT_NE(browsertest::FindItem(list, Hex(g_fileNameWFormat)), -1);
}

TEST_F(FormatBrowserDialog, RegisteredNamesOfAnyLengthAreShownCutTo126) {
  const std::string longName = "KelvaneTestLongName" + std::string(181, 'x');  // 200 characters
  const std::string exactName = "KelvaneTestExact" + std::string(110, 'y');    // 126 characters
  const UINT longFormat = ::RegisterClipboardFormatA(longName.c_str());
  const UINT exactFormat = ::RegisterClipboardFormatA(exactName.c_str());
  ASSERT_NE(longFormat, 0u);
  ASSERT_NE(exactFormat, 0u);

  BrowserDialog run;
  ASSERT_NE(run.dialog(), nullptr);
  run.Analyze();
  const int longItem = browsertest::FindItem(run.registeredList(), Hex(longFormat));
  const int exactItem = browsertest::FindItem(run.registeredList(), Hex(exactFormat));
  ASSERT_NE(longItem, -1);
  ASSERT_NE(exactItem, -1);
  EXPECT_EQ(ItemText(run.registeredList(), longItem, 1), longName.substr(0, 126));
  EXPECT_EQ(ItemText(run.registeredList(), exactItem, 1), exactName);

  // On the clipboard, the long name is looked up in the list, cut as it is there.
  ASSERT_TRUE(testsupport::PutClipboardBytes(longFormat, "x", 1));
  run.Analyze();
  ASSERT_EQ(ItemCount(run.availableList()), 1);
  EXPECT_EQ(ItemText(run.availableList(), 0, 1), longName.substr(0, 126) + "(" + Hex(longFormat) + ")");
}

TEST_F(FormatBrowserDialog, AnalyzeListsTheClipboardFormatsInTheirOrderWithPriorities) {
  const UINT sample = ::RegisterClipboardFormatA("Sample");
  ASSERT_NE(sample, 0u);
  ASSERT_NE(g_binaryDataFormat, 0u);
  const std::vector<std::uint8_t> binaryData = {3, 0, 0, 0, 0xAA, 0xBB, 0xCC};
  ASSERT_TRUE(testsupport::PutClipboardItems(
      {{CF_TEXT, Bytes("Hello")}, {sample, Bytes("sample data")}, {g_binaryDataFormat, binaryData}}));
  const std::vector<UINT> formats = testsupport::ClipboardFormats();
  ASSERT_GE(formats.size(), 3u);

  BrowserDialog run;
  ASSERT_NE(run.dialog(), nullptr);
  run.Analyze();

  const HWND list = run.availableList();
  ASSERT_EQ(ItemCount(list), static_cast<int>(formats.size()));
  std::map<UINT, std::string> texts;
  for (int i = 0; i < static_cast<int>(formats.size()); ++i) {
    EXPECT_EQ(ItemText(list, i, 0), std::to_string(i + 1));
    EXPECT_EQ(ItemData(list, i), static_cast<LPARAM>(formats[i]));
    texts[formats[i]] = ItemText(list, i, 1);
  }
  EXPECT_EQ(texts[CF_TEXT], "CF_TEXT (1)");
  EXPECT_EQ(texts[sample], "Sample(" + Hex(sample) + ")");
  EXPECT_EQ(texts[g_binaryDataFormat], "BinaryData(" + Hex(g_binaryDataFormat) + ")");
  // Formats the system adds for text read as standard names.
  if (texts.count(CF_UNICODETEXT)) EXPECT_EQ(texts[CF_UNICODETEXT], "CF_UNICODETEXT (13)");
  if (texts.count(CF_LOCALE)) EXPECT_EQ(texts[CF_LOCALE], "CF_LOCALE (16)");

  // Both lists draw their first row once filled.
  EXPECT_TRUE(testsupport::WaitUntil([&] { return RowHasInk(list, 0); }, 2000));
  EXPECT_TRUE(testsupport::WaitUntil([&] { return RowHasInk(run.registeredList(), 0); }, 2000));

  // A second Analyze replaces the items instead of adding to them.
  const int registered = ItemCount(run.registeredList());
  run.Analyze();
  EXPECT_EQ(ItemCount(list), static_cast<int>(formats.size()));
  EXPECT_EQ(ItemCount(run.registeredList()), registered);
}

TEST_F(FormatBrowserDialog, AClipboardHeldOpenElsewhereLeavesTheAvailableListEmpty) {
  ASSERT_TRUE(testsupport::PutClipboardBytes(CF_TEXT, "held", 5));
  BrowserDialog run;
  ASSERT_NE(run.dialog(), nullptr);

  ASSERT_TRUE(testsupport::OpenClipboardRetry(nullptr));
  run.Analyze();
  // Still open here: the dialog's close did not close another thread's clipboard.
  EXPECT_NE(::EnumClipboardFormats(0), 0u);
  EXPECT_TRUE(::CloseClipboard());

  EXPECT_EQ(ItemCount(run.availableList()), 0);
  EXPECT_GT(ItemCount(run.registeredList()), 0);
  // No message box: the dialog is the only dialog window of the process.
  EXPECT_EQ(testsupport::OwnWindowsOfClass("#32770").size(), 1u);

  // Once free, the clipboard is read as usual.
  run.Analyze();
  EXPECT_GT(ItemCount(run.availableList()), 0);
}

TEST_F(FormatBrowserDialog, SelectionInTheAvailableListEnablesAndDisablesB) {
  ASSERT_TRUE(testsupport::PutClipboardBytes(CF_TEXT, "select", 7));
  BrowserDialog run;
  ASSERT_NE(run.dialog(), nullptr);
  run.Analyze();
  const HWND list = run.availableList();
  ASSERT_GE(ItemCount(list), 2);
  EXPECT_FALSE(run.ToggleEnabled());

  SelectItem(list, 1);
  EXPECT_TRUE(run.ToggleEnabled());
  EXPECT_EQ(g_selectedIndex, 1);

  // Moving the selection clears the old item, then selects the new one.
  SelectItem(list, 0);
  EXPECT_TRUE(run.ToggleEnabled());
  EXPECT_EQ(g_selectedIndex, 0);

  ClearSelection(list);
  EXPECT_FALSE(run.ToggleEnabled());
  EXPECT_EQ(g_selectedIndex, -1);
  EXPECT_FALSE(run.ToggleChecked());

  // The registered list's selection doesn't concern B.
  SelectItem(run.registeredList(), 0);
  EXPECT_FALSE(run.ToggleEnabled());
}

TEST_F(FormatBrowserDialog, AnalyzeClearsTheSelectionAndDisablesB) {
  ASSERT_TRUE(testsupport::PutClipboardBytes(CF_TEXT, "again", 6));
  BrowserDialog run;
  ASSERT_NE(run.dialog(), nullptr);
  run.Analyze();
  SelectItem(run.availableList(), 0);
  ASSERT_TRUE(run.ToggleEnabled());

  run.Analyze();
  EXPECT_EQ(SelectedItem(run.availableList()), -1);
  EXPECT_FALSE(run.ToggleEnabled());
  EXPECT_FALSE(run.ToggleChecked());
  EXPECT_EQ(g_selectedIndex, -1);
  EXPECT_GT(ItemCount(run.availableList()), 0);
}

TEST_F(FormatBrowserDialog, QuitEndsTheDialogWithZero) {
  BrowserDialog run;
  ASSERT_NE(run.dialog(), nullptr);
  const HWND dialog = run.dialog();
  INT_PTR result = -1;
  ASSERT_TRUE(run.Quit(&result));
  EXPECT_EQ(result, 0);
  EXPECT_FALSE(::IsWindow(dialog));
}

TEST_F(FormatBrowserDialog, EscAndTheCloseBoxQuitToo) {
  {
    BrowserDialog run;
    ASSERT_NE(run.dialog(), nullptr);
    // What the dialog manager makes of the Esc key.
    ::SendMessageA(run.dialog(), WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 0);
    ASSERT_TRUE(testsupport::WaitUntil([&] { return !::IsWindow(run.dialog()); }));
  }
  {
    BrowserDialog run;
    ASSERT_NE(run.dialog(), nullptr);
    ::SendMessageA(run.dialog(), WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(testsupport::WaitUntil([&] { return !::IsWindow(run.dialog()); }));
  }
}

}  // namespace
