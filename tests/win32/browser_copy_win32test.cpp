// Copying a format's name and the lists' shortcuts, driven through the real
// dialog, its list views, the popup menu, message boxes and the clipboard.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "browser/formatbrowser_win32.h"
#include "browser/namecopy.h"
#include "browser_harness.h"
#include "dumpframe_harness.h"
#include "testsupport.h"

using browsertest::BrowserDialog;
using browsertest::FindItem;
using browsertest::Hex;
using browsertest::ItemCount;
using browsertest::ItemOfFormat;
using browsertest::ItemText;
using browsertest::SelectItem;

namespace {

constexpr char kParenName[] = "Kelvane (copy) test";
constexpr LPARAM kKeyboardPoint = -1;  // WM_CONTEXTMENU asked for from the keyboard

// The CF_TEXT on the clipboard, or "<none>".
std::string ClipboardText() {
  std::string text = "<none>";
  if (!testsupport::OpenClipboardRetry()) return text;
  if (HANDLE data = ::GetClipboardData(CF_TEXT)) {
    if (const char* bytes = static_cast<const char*>(::GlobalLock(data))) {
      text = bytes;
      ::GlobalUnlock(data);
    }
  }
  ::CloseClipboard();
  return text;
}

// What the clipboard enumerates when a program placed CF_TEXT alone (the
// system adds the formats it can convert to).
std::vector<UINT> FormatsOfLoneText() {
  testsupport::PutClipboardBytes(CF_TEXT, "x", 2);
  return testsupport::ClipboardFormats();
}

// Gives a list the keyboard focus within the dialog's thread.
void Focus(const BrowserDialog& run, HWND list) {
  ::SendMessageA(run.dialog(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(list), TRUE);
}

// Ctrl+C as TranslateMessage hands it to the focused list.
void PressCtrlC(HWND list) { ::SendMessageA(list, WM_CHAR, 3, 0x002E0001); }

// Shift+F10 typed into a list: the system's default handling asks the
// dialog for the context menu with the point -1.
void PressShiftF10(const BrowserDialog& run, HWND list) {
  ::AttachThreadInput(::GetCurrentThreadId(), run.threadId(), TRUE);
  BYTE keys[256] = {};
  ::GetKeyboardState(keys);
  keys[VK_SHIFT] = 0x80;
  ::SetKeyboardState(keys);
  ::PostMessageA(list, WM_SYSKEYDOWN, VK_F10, 0x00440001);
  ::PostMessageA(list, WM_SYSKEYUP, VK_F10, 0xC0440001);
  testsupport::WaitUntil([] { return ::FindWindowA("#32768", nullptr) != nullptr; });
  keys[VK_SHIFT] = 0;
  ::SetKeyboardState(keys);
  ::AttachThreadInput(::GetCurrentThreadId(), run.threadId(), FALSE);
}

// The centre of an item's label, in the list's client coordinates.
POINT ItemCentre(HWND list, int item) {
  RECT rect = {};
  rect.left = LVIR_LABEL;
  ::SendMessageA(list, LVM_GETITEMRECT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&rect));
  return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

HWND WaitForPopupMenu() {
  HWND menu = nullptr;
  testsupport::WaitUntil([&] {
    menu = ::FindWindowA("#32768", nullptr);
    return menu != nullptr && ::IsWindowVisible(menu);
  });
  return menu;
}

std::string MenuItemText(HWND menuWindow, int position) {
  HMENU menu = reinterpret_cast<HMENU>(::SendMessageA(menuWindow, MN_GETHMENU, 0, 0));
  char text[64] = {};
  ::GetMenuStringA(menu, static_cast<UINT>(position), text, sizeof(text), MF_BYPOSITION);
  return text;
}

// Chooses the first item of an open popup menu with the keyboard.
void ChooseFirstMenuItem(HWND menuWindow) {
  ::PostMessageA(menuWindow, WM_KEYDOWN, VK_DOWN, 0);
  ::PostMessageA(menuWindow, WM_KEYDOWN, VK_RETURN, 0);
}

class FormatBrowserCopy : public ::testing::Test {
 protected:
  void SetUp() override {
    loneText = FormatsOfLoneText();
    named = ::RegisterClipboardFormatA(kParenName);
    ASSERT_TRUE(testsupport::PutClipboardItems({{CF_TEXT, {'h', 'i', 0}}, {named, {1, 2, 3}}}));
    ASSERT_NE(run.dialog(), nullptr);
    run.Analyze();
    namedItem = ItemOfFormat(run.availableList(), named);
    textItem = ItemOfFormat(run.availableList(), CF_TEXT);
    ASSERT_NE(namedItem, -1);
    ASSERT_NE(textItem, -1);
    ASSERT_EQ(ItemText(run.availableList(), namedItem, 1), std::string(kParenName) + "(" + Hex(named) + ")");
  }
  void TearDown() override {
    if (HWND menu = ::FindWindowA("#32768", nullptr)) ::PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
    testsupport::ClearClipboard();
  }

  // Opens the real DumpFrame for the selected item of list 1003.
  HWND OpenFrame() {
    run.Toggle();
    return g_dumpFrame;
  }

  std::vector<UINT> loneText;
  UINT named = 0;
  BrowserDialog run;
  int namedItem = -1;
  int textItem = -1;
};

TEST_F(FormatBrowserCopy, CtrlCCopiesTheNameFromEitherListAsLoneText) {
  const HWND available = run.availableList();
  const HWND registered = run.registeredList();
  const struct {
    HWND list;
    int item;
    const char* name;
  } copies[] = {
      {available, namedItem, kParenName},
      {available, textItem, "CF_TEXT"},
      {registered, FindItem(registered, Hex(named)), kParenName},
  };
  for (const auto& copy : copies) {
    ASSERT_NE(copy.item, -1) << copy.name;
    SelectItem(copy.list, copy.item);
    Focus(run, copy.list);
    testsupport::ClearClipboard();
    PressCtrlC(copy.list);
    EXPECT_EQ(ClipboardText(), copy.name);
    EXPECT_EQ(testsupport::ClipboardFormats(), loneText) << copy.name;
    EXPECT_EQ(::GetOpenClipboardWindow(), nullptr) << "the copy closed the clipboard";
  }
  // The lists still show the scan: the clipboard's new content shows only
  // after the next Analyze.
  EXPECT_EQ(ItemText(available, namedItem, 1), std::string(kParenName) + "(" + Hex(named) + ")");
}

TEST_F(FormatBrowserCopy, EveryCopyClosesAnOpenFrameEvenWhenItCopiesNothing) {
  SelectItem(run.availableList(), textItem);
  // Nothing selected in the focused list: nothing copied, but the frame goes.
  HWND frame = OpenFrame();
  ASSERT_TRUE(::IsWindow(frame));
  Focus(run, run.registeredList());
  PressCtrlC(run.registeredList());
  EXPECT_FALSE(::IsWindow(frame));
  EXPECT_EQ(g_dumpFrame, nullptr);
  EXPECT_FALSE(run.ToggleChecked());
  EXPECT_TRUE(run.ToggleEnabled());
  EXPECT_EQ(ClipboardText(), "hi");

  frame = OpenFrame();
  ASSERT_TRUE(::IsWindow(frame));
  Focus(run, run.availableList());
  PressCtrlC(run.availableList());
  EXPECT_FALSE(::IsWindow(frame));
  EXPECT_FALSE(run.ToggleChecked());
  EXPECT_TRUE(run.ToggleEnabled());
  EXPECT_EQ(ClipboardText(), "CF_TEXT");
}

TEST_F(FormatBrowserCopy, DoubleClickOpensTheFrameOnlyWhileBIsUnchecked) {
  const HWND available = run.availableList();
  const HWND registered = run.registeredList();
  SelectItem(available, namedItem);

  // A double click anywhere in the registered list opens the frame for the
  // format selected in the available list.
  const POINT at = ItemCentre(registered, 0);
  const LPARAM point = MAKELPARAM(at.x, at.y);
  for (UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}) {
    ::PostMessageA(registered, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, point);
  }
  ASSERT_TRUE(testsupport::WaitUntil([] { return g_dumpFrame != nullptr; }));
  const HWND frame = g_dumpFrame;
  EXPECT_TRUE(run.ToggleChecked());
  EXPECT_EQ(framehar::StatusText(framehar::StatusBarOf(frame)), ItemText(available, namedItem, 1));

  // While B is checked a double click is the list's own: it selects the item
  // clicked, which the open frame then shows.
  const POINT textAt = ItemCentre(available, textItem);
  const LPARAM textPoint = MAKELPARAM(textAt.x, textAt.y);
  for (UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}) {
    ::PostMessageA(available, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, textPoint);
  }
  ASSERT_TRUE(testsupport::WaitUntil([&] { return browsertest::SelectedItem(available) == textItem; }));
  testsupport::PumpMessages(50);
  EXPECT_EQ(g_dumpFrame, frame);
  EXPECT_TRUE(run.ToggleChecked());
  EXPECT_EQ(testsupport::OwnWindowsOfClass("Kelvane").size(), 1u);
  EXPECT_EQ(framehar::StatusText(framehar::StatusBarOf(frame)), "CF_TEXT (1)");
}

TEST_F(FormatBrowserCopy, RightClickMenuCopiesTheClickedFormat) {
  const HWND available = run.availableList();
  const POINT client = ItemCentre(available, namedItem);
  POINT screen = client;
  ::ClientToScreen(available, &screen);
  ::SetCursorPos(screen.x, screen.y);
  const LPARAM point = MAKELPARAM(client.x, client.y);
  ::PostMessageA(available, WM_RBUTTONDOWN, MK_RBUTTON, point);
  ::PostMessageA(available, WM_RBUTTONUP, 0, point);

  const HWND menu = WaitForPopupMenu();
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(MenuItemText(menu, 0), "Copy\tCtrl+C");
  RECT menuRect = {};
  ::GetWindowRect(menu, &menuRect);
  EXPECT_EQ(menuRect.left, screen.x);
  EXPECT_EQ(menuRect.top, screen.y);

  ChooseFirstMenuItem(menu);
  ASSERT_TRUE(testsupport::WaitUntil([] { return ClipboardText() == kParenName; }));
  EXPECT_EQ(testsupport::ClipboardFormats(), loneText);
}

TEST_F(FormatBrowserCopy, KeyboardMenuOpensAtTheSelectedItem) {
  const HWND registered = run.registeredList();
  // With nothing selected there is no menu (the call would not return while
  // one were open).
  DWORD_PTR ignored = 0;
  EXPECT_NE(::SendMessageTimeoutA(registered, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(registered),
                                  kKeyboardPoint, SMTO_NORMAL, 2000, &ignored),
            0);

  // The last registered format lies far below the list's visible rows.
  const int last = ItemCount(registered) - 1;
  ASSERT_GT(last, 20);
  SelectItem(registered, last);
  Focus(run, registered);
  PressShiftF10(run, registered);
  const HWND menu = WaitForPopupMenu();
  ASSERT_NE(menu, nullptr);

  RECT item = {};
  item.left = LVIR_LABEL;
  ::SendMessageA(registered, LVM_GETITEMRECT, static_cast<WPARAM>(last), reinterpret_cast<LPARAM>(&item));
  POINT expected = {item.left, item.bottom};
  ::ClientToScreen(registered, &expected);
  RECT listRect = {};
  ::GetWindowRect(registered, &listRect);
  RECT menuRect = {};
  ::GetWindowRect(menu, &menuRect);
  EXPECT_EQ(menuRect.left, expected.x);
  EXPECT_EQ(menuRect.top, expected.y);
  EXPECT_TRUE(::PtInRect(&listRect, expected)) << "the item was scrolled into view";

  ChooseFirstMenuItem(menu);
  const std::string name = ItemText(registered, last, 1);
  ASSERT_TRUE(testsupport::WaitUntil([&] { return ClipboardText() == name; }));
}

TEST_F(FormatBrowserCopy, AClipboardHeldElsewhereIsReportedAndLeftAsItWas) {
  SelectItem(run.availableList(), namedItem);
  const HWND frame = OpenFrame();
  ASSERT_TRUE(::IsWindow(frame));
  Focus(run, run.availableList());

  // This thread holds the clipboard, the dialog's thread copies.
  ASSERT_TRUE(testsupport::OpenClipboardRetry());
  ::PostMessageA(run.availableList(), WM_CHAR, 3, 0x002E0001);
  HWND box = nullptr;
  testsupport::WaitUntil([&] {
    for (HWND w : testsupport::OwnWindowsOfClass("#32770")) {
      if (::GetWindow(w, GW_OWNER) == run.dialog() && ::IsWindowVisible(w)) box = w;
    }
    return box != nullptr;
  });
  ::CloseClipboard();
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(testsupport::WindowText(::GetDlgItem(box, 0xFFFF)), "Clipboard Open Error!");
  EXPECT_EQ(testsupport::WindowText(box), "Error");  // the system's caption
  HWND icon = nullptr;
  for (HWND child = ::GetWindow(box, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
    if ((::GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) icon = child;
  }
  ASSERT_NE(icon, nullptr);
  EXPECT_EQ(reinterpret_cast<HICON>(::SendMessageA(icon, STM_GETICON, 0, 0)),
            ::LoadIconA(nullptr, IDI_WARNING));
  EXPECT_FALSE(::IsWindow(frame));

  ::PostMessageA(box, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(testsupport::WaitUntil([&] { return !::IsWindow(box); }));
  EXPECT_EQ(ClipboardText(), "hi");
  const std::vector<UINT> formats = testsupport::ClipboardFormats();
  EXPECT_NE(std::find(formats.begin(), formats.end(), named), formats.end());
}

// Run by a test entry of its own with a Japanese locale, which gives Wine the
// ANSI code page 932 (Shift_JIS); elsewhere it is skipped.
class FormatBrowserCopyCodePage932 : public FormatBrowserCopy {
 protected:
  void SetUp() override {
    if (::GetACP() != 932) GTEST_SKIP() << "needs the ANSI code page 932";
    FormatBrowserCopy::SetUp();
  }
};

// "\x83\x5C\x83\x74\x83\x67(\x94\xC5)" is Shift_JIS for katakana "software"
// and a kanji in brackets; the trail bytes 5C and 74 read as '\\' and 't'.
constexpr char kShiftJisName[] = "\x83\x5C\x83\x74\x83\x67(\x94\xC5)";

TEST_F(FormatBrowserCopyCodePage932, ShiftJisNamesCopyWhole) {
  ::SetLastError(1);
  EXPECT_EQ(FindCharDbcsA(kShiftJisName, '\\', 0), kNoIndex) << "a trail byte is no match";
  EXPECT_EQ(::GetLastError(), 0u);
  EXPECT_EQ(FindCharDbcsA(kShiftJisName, 't', 1), kNoIndex) << "a start on a trail byte";
  EXPECT_EQ(FindCharDbcsA(kShiftJisName, '(', 0), 6u);
  EXPECT_EQ(FindCharDbcsA(nullptr, '(', 0), kNoIndex);
  EXPECT_EQ(::GetLastError(), DV_ERROR_BAD_REQUEST);

  const UINT format = ::RegisterClipboardFormatA(kShiftJisName);
  ASSERT_TRUE(testsupport::PutClipboardItems({{CF_TEXT, {'h', 'i', 0}}, {format, {1}}}));
  run.Analyze();
  const HWND available = run.availableList();
  const HWND registered = run.registeredList();
  const int item = ItemOfFormat(available, format);
  ASSERT_NE(item, -1);
  ASSERT_EQ(ItemText(available, item, 1), std::string(kShiftJisName) + "(" + Hex(format) + ")");
  const int registeredItem = FindItem(registered, Hex(format));
  for (const auto& [list, index] : {std::pair{available, item}, std::pair{registered, registeredItem}}) {
    SelectItem(list, index);
    Focus(run, list);
    testsupport::ClearClipboard();
    PressCtrlC(list);
    EXPECT_EQ(ClipboardText(), kShiftJisName);
  }
}

}  // namespace
