// The dump window's Edit menu through the real window, typed keys, the real
// Find and Go To dialogs and the real clipboard.
#include <windows.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/privateformats.h"
#include "app/resource.h"
#include "browser/formatbrowser_win32.h"
#include "browser_harness.h"
#include "dumpframe/dumpframe.h"
#include "dumpframe_harness.h"
#include "dumpview/dumpview.h"
#include "dumpview/viewport_win32.h"
#include "testsupport.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using framehar::Chord;
using framehar::Press;

constexpr std::uint32_t kPrefix = 4;  // BinaryData's length word, part of the snapshot

struct Selection {
  bool any;
  UINT first;
  UINT last;
  bool operator==(const Selection&) const = default;
};

std::string DialogItemText(HWND dialog, int id) { return testsupport::WindowText(::GetDlgItem(dialog, id)); }

// Polls from a second thread for a dialog owned by owner.
HWND AwaitDialog(HWND owner, const char* title) {
  for (int i = 0; i < 250; ++i) {
    if (HWND dialog = framehar::FindOwnedDialog(owner, title)) return dialog;
    ::Sleep(20);
  }
  return nullptr;
}

class DumpFrameEdit : public framehar::FrameTest {
 protected:
  // A frame showing a BinaryData snapshot: the length word, then payload.
  void Open(const std::string& payload) {
    Bytes block(kPrefix + payload.size());
    const auto n = static_cast<std::uint32_t>(payload.size());
    std::memcpy(block.data(), &n, kPrefix);
    std::memcpy(block.data() + kPrefix, payload.data(), payload.size());
    ASSERT_TRUE(testsupport::PutClipboardBytes(g_binaryDataFormat, block.data(), block.size()));
    if (testsupport::OpenClipboardRetry()) ::CloseClipboard();
    frame_ = framehar::CreateFrame(owner_->window(), g_binaryDataFormat, "BinaryData");
    ASSERT_NE(frame_, nullptr);
    testsupport::PumpMessages(10);
  }

  HWND view() const { return framehar::DumpViewOf(frame_); }
  UINT Caret() const { return static_cast<UINT>(::SendMessageA(view(), DVM_GETCARET, 0, 0)); }
  Selection Sel() const {
    Selection s = {};
    s.any = ::SendMessageA(view(), DVM_GETSEL, reinterpret_cast<WPARAM>(&s.first),
                           reinterpret_cast<LPARAM>(&s.last));
    return s;
  }
  void Select(UINT first, UINT count) { ::SendMessageA(view(), DVM_SETSEL, first + count, first); }

  // Types a chord with the keyboard focus on the frame, or on focus.
  void Type(const Chord& chord, HWND focus = nullptr) {
    ASSERT_TRUE(framehar::FocusForTyping(frame_, focus));
    Press(chord);
    testsupport::PumpMessages(60);
  }

  // Types chord, whose command runs a modal dialog on this thread, while
  // script answers it from a second thread.
  void TypeIntoModal(const Chord& chord, const std::function<void()>& script) {
    std::atomic<bool> done{false};
    ASSERT_TRUE(framehar::FocusForTyping(frame_));
    std::thread driver([&] {
      script();
      done = true;
    });
    Press(chord);
    testsupport::WaitUntil([&] { return done.load(); }, 15000);
    driver.join();
    testsupport::PumpMessages(30);
  }

  HWND FindDialog() const { return framehar::FindOwnedDialog(frame_, "Find"); }
};

bool Grayed(HMENU menu, UINT command) {
  return (::GetMenuState(menu, command, MF_BYCOMMAND) & MF_GRAYED) != 0;
}

}  // namespace

TEST_F(DumpFrameEdit, MenuGreysWhatCannotAct) {
  Open("Kelvane");
  HMENU menu = ::GetMenu(frame_);
  HMENU edit = ::GetSubMenu(menu, 1);
  ::SendMessageA(frame_, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(edit), 1);
  EXPECT_TRUE(Grayed(menu, ID_EDIT_COPY));
  EXPECT_TRUE(Grayed(menu, ID_EDIT_COPY_TEXT));
  EXPECT_FALSE(Grayed(menu, ID_EDIT_SELECT_ALL));
  EXPECT_FALSE(Grayed(menu, ID_EDIT_FIND));
  EXPECT_TRUE(Grayed(menu, ID_EDIT_FIND_NEXT));
  EXPECT_TRUE(Grayed(menu, ID_EDIT_FIND_PREVIOUS));
  EXPECT_FALSE(Grayed(menu, ID_EDIT_GOTO));

  Select(kPrefix, 3);
  ::SendMessageA(frame_, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(edit), 1);
  EXPECT_FALSE(Grayed(menu, ID_EDIT_COPY));
  EXPECT_FALSE(Grayed(menu, ID_EDIT_COPY_TEXT));
}

TEST_F(DumpFrameEdit, SelectAllAndCopyAsHexFromTheKeyboard) {
  Open("Kelvane");
  ASSERT_TRUE(testsupport::PutClipboardBytes(CF_TEXT, "before", 7));
  Type({'C', true});  // nothing selected: the clipboard stays as it was
  EXPECT_EQ(testsupport::ClipboardBytes(CF_TEXT), (Bytes{'b', 'e', 'f', 'o', 'r', 'e', 0}));

  Select(kPrefix, 7);
  Type({'C', true});
  const std::string hex = "4B 65 6C 76 61 6E 65";
  EXPECT_EQ(testsupport::ClipboardBytes(CF_TEXT), Bytes(hex.c_str(), hex.c_str() + hex.size() + 1));

  Type({'A', true});
  EXPECT_EQ(Sel(), (Selection{true, 0, kPrefix + 6}));
  Type({'C', true});
  const std::string all = "07 00 00 00 4B 65 6C 76 61 6E 65";
  EXPECT_EQ(testsupport::ClipboardBytes(CF_TEXT), Bytes(all.c_str(), all.c_str() + all.size() + 1));
  // The dump still shows its own snapshot, not what was copied.
  EXPECT_EQ(Sel(), (Selection{true, 0, kPrefix + 6}));
  EXPECT_EQ(testsupport::WindowText(frame_), "Binary dump");
}

TEST_F(DumpFrameEdit, CopyAsTextDecodesInTheColumnsEncoding) {
  struct Case {
    UINT encoding;
    std::string payload;
    std::wstring text;
  };
  const Case cases[] = {
      {ID_ENCODING_CP1252, "A\xE9\x80", L"A\u00E9\u0080"},
      {ID_ENCODING_SHIFT_JIS, "\x82\xA0\xB1\x82", L"\u3042\uFF71\uFFFD"},
      {ID_ENCODING_EUC_JP,
       "\xA4\xA2"
       "A",
       L"\u3042A"},
      {ID_ENCODING_UTF16LE, std::string("A\0\x42\x30", 4), L"A\u3042"},
      {ID_ENCODING_UTF8, "\xC3\xA9\xC3", L"\u00E9\uFFFD"},
  };
  for (const Case& c : cases) {
    Open(c.payload);
    ::SendMessageA(frame_, WM_COMMAND, c.encoding, 0);
    Select(kPrefix, static_cast<UINT>(c.payload.size()));
    Type({'C', true, true});
    const Bytes block = testsupport::ClipboardBytes(CF_UNICODETEXT);
    ASSERT_EQ(block.size(), (c.text.size() + 1) * 2) << c.encoding;
    EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(block.data())), c.text) << c.encoding;
    ::DestroyWindow(frame_);
    frame_ = nullptr;
  }
}

TEST_F(DumpFrameEdit, CopyTellsWhenTheClipboardIsHeld) {
  Open("Kelvane");
  Select(kPrefix, 3);
  HWND holder = ::CreateWindowExA(0, "STATIC", "holder", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  ::GetModuleHandleA(nullptr), nullptr);
  ASSERT_TRUE(testsupport::OpenClipboardRetry(holder));
  std::string boxText;
  TypeIntoModal({'C', true}, [&] {
    HWND box = AwaitDialog(frame_, nullptr);
    boxText = DialogItemText(box, 0xFFFF);
    ::PostMessageA(box, WM_COMMAND, IDOK, 0);
  });
  ::CloseClipboard();
  ::DestroyWindow(holder);
  EXPECT_EQ(boxText, "Clipboard Open Error!");
}

TEST_F(DumpFrameEdit, FindDownSelectsEachMatchThenSaysNotFound) {
  Open("Kelvane Kelvane end");
  Type({'F', true});
  HWND find = FindDialog();
  ASSERT_NE(find, nullptr);
  EXPECT_EQ(::GetFocus(), ::GetDlgItem(find, IDC_FIND_TEXT));

  framehar::TypeText("Kel");
  Press({VK_RETURN});  // Enter is Find Next
  testsupport::PumpMessages(60);
  EXPECT_EQ(Sel(), (Selection{true, kPrefix, kPrefix + 2}));
  Press({VK_RETURN});
  testsupport::PumpMessages(60);
  EXPECT_EQ(Sel(), (Selection{true, kPrefix + 8, kPrefix + 10}));
  EXPECT_EQ(DialogItemText(find, IDC_FIND_STATUS), "");
  Press({VK_RETURN});  // no wrap: the last match stays selected
  testsupport::PumpMessages(60);
  EXPECT_EQ(DialogItemText(find, IDC_FIND_STATUS), "Not found");
  EXPECT_EQ(Sel(), (Selection{true, kPrefix + 8, kPrefix + 10}));

  Press({VK_TAB});
  testsupport::PumpMessages(30);
  EXPECT_EQ(::GetFocus(), ::GetDlgItem(find, IDC_FIND_HEX));
  Press({VK_ESCAPE});
  testsupport::PumpMessages(60);
  EXPECT_FALSE(::IsWindow(find));

  // F3 and Shift+F3 repeat the search from the dump.
  Type({VK_F3, false, true});
  EXPECT_EQ(Sel(), (Selection{true, kPrefix, kPrefix + 2}));
  Type({VK_F3});
  EXPECT_EQ(Sel(), (Selection{true, kPrefix + 8, kPrefix + 10}));
}

TEST_F(DumpFrameEdit, FindHexBytesUpwardAndRefusesBadHex) {
  Open("Kelvane Kelvane end");
  ::SendMessageA(view(), DVM_SETCARET, kPrefix + 19, 0);
  Type({'F', true});
  HWND find = FindDialog();
  ASSERT_NE(find, nullptr);
  Press({'H', false, false, true});  // Alt+H: Hex bytes
  Press({'U', false, false, true});  // Alt+U: Up
  Press({'W', false, false, true});  // Alt+W: back to "Find what"
  testsupport::PumpMessages(60);
  EXPECT_EQ(::GetFocus(), ::GetDlgItem(find, IDC_FIND_TEXT));
  EXPECT_EQ(::IsDlgButtonChecked(find, IDC_FIND_HEX), BST_CHECKED);
  EXPECT_EQ(::IsDlgButtonChecked(find, IDC_FIND_UP), BST_CHECKED);

  framehar::TypeText("6c76");
  Press({VK_RETURN});
  testsupport::PumpMessages(60);
  EXPECT_EQ(Sel(), (Selection{true, kPrefix + 10, kPrefix + 11}));

  ::SetDlgItemTextA(find, IDC_FIND_TEXT, "");
  framehar::TypeText("6c 7");
  Press({VK_RETURN});
  testsupport::PumpMessages(60);
  EXPECT_EQ(DialogItemText(find, IDC_FIND_STATUS), "Each byte needs two hex digits, e.g. 0A.");
  EXPECT_EQ(Sel(), (Selection{true, kPrefix + 10, kPrefix + 11}));
}

TEST_F(DumpFrameEdit, FindTextInUtf16AndUtf8Columns) {
  Open(std::string("x\0K\0e\0l\0 caf\xC3\xA9", 14));
  ::SendMessageA(frame_, WM_COMMAND, ID_ENCODING_UTF16LE, 0);
  ::SendMessageA(frame_, WM_COMMAND, ID_EDIT_FIND, 0);
  HWND find = FindDialog();
  ASSERT_NE(find, nullptr);
  ::SetDlgItemTextA(find, IDC_FIND_TEXT, "Kel");
  ::SendMessageA(find, WM_COMMAND, IDOK, 0);
  EXPECT_EQ(Sel(), (Selection{true, kPrefix + 2, kPrefix + 7}));

  ::SendMessageA(frame_, WM_COMMAND, ID_ENCODING_UTF8, 0);
  ::SetDlgItemTextW(find, IDC_FIND_TEXT, L"caf\u00E9");
  ::SendMessageA(find, WM_COMMAND, IDOK, 0);
  EXPECT_EQ(Sel(), (Selection{true, kPrefix + 9, kPrefix + 13}));
}

// Text that the system's ANSI code page (1252 here) cannot write is found
// wherever the column's encoding can express it.
TEST_F(DumpFrameEdit, FindTextBeyondTheAnsiCodePage) {
  const struct {
    UINT encoding;
    std::string payload;
    UINT first;
    UINT last;
  } cases[] = {
      {ID_ENCODING_UTF8, "x \xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E y", 2, 10},
      {ID_ENCODING_SHIFT_JIS, "x \x93\xFA\x96\x7B\x8C\xEA y", 2, 7},
  };
  for (const auto& c : cases) {
    Open(c.payload);
    ::SendMessageA(frame_, WM_COMMAND, c.encoding, 0);
    ::SendMessageA(frame_, WM_COMMAND, ID_EDIT_FIND, 0);
    HWND find = FindDialog();
    ASSERT_NE(find, nullptr);
    ::SetDlgItemTextW(find, IDC_FIND_TEXT, L"\u65E5\u672C\u8A9E");
    ::SendMessageA(find, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(Sel(), (Selection{true, kPrefix + c.first, kPrefix + c.last})) << c.encoding;
    EXPECT_EQ(DialogItemText(find, IDC_FIND_STATUS), "") << c.encoding;
    ::DestroyWindow(frame_);
    frame_ = nullptr;
  }
}

TEST_F(DumpFrameEdit, GoToMovesTheCaretAndStopsAtTheEnd) {
  Open(std::string(100, 'x'));
  Select(kPrefix, 3);
  TypeIntoModal({'G', true}, [&] {
    ASSERT_NE(AwaitDialog(frame_, "Go To"), nullptr);
    framehar::TypeText("#20");
    Press({VK_RETURN});
  });
  EXPECT_EQ(Caret(), 20u);
  EXPECT_FALSE(Sel().any);

  std::string status;
  TypeIntoModal({'G', true}, [&] {
    HWND dialog = AwaitDialog(frame_, "Go To");
    ASSERT_NE(dialog, nullptr);
    framehar::TypeText("0x4z");
    Press({VK_RETURN});  // refused: the dialog stays and says why
    for (int i = 0; i < 500 && status.empty(); ++i, ::Sleep(20))
      status = DialogItemText(dialog, IDC_GOTO_STATUS);
    Press({VK_ESCAPE});
  });
  EXPECT_FALSE(status.empty());
  EXPECT_EQ(Caret(), 20u);

  std::string box;
  TypeIntoModal({'G', true}, [&] {
    HWND dialog = AwaitDialog(frame_, "Go To");
    ASSERT_NE(dialog, nullptr);
    framehar::TypeText("FFFF");
    Press({VK_RETURN});
    while (::IsWindow(dialog)) ::Sleep(10);
    HWND message = AwaitDialog(frame_, nullptr);
    box = DialogItemText(message, 0xFFFF);
    ::PostMessageA(message, WM_COMMAND, IDOK, 0);
  });
  EXPECT_EQ(Caret(), kPrefix + 100);
  EXPECT_NE(box.find("past the end"), std::string::npos) << box;
}

// The browser shows another format while Go To's dialog is open: the offset
// is taken in the snapshot there when the dialog closes, whose end holds the
// caret, and its only row stays in view.
TEST_F(DumpFrameEdit, GoToActsOnTheSnapshotThereWhenItCloses) {
  Open(std::string(10000, 'x'));
  std::string box;
  TypeIntoModal({'G', true}, [&] {
    HWND dialog = AwaitDialog(frame_, "Go To");
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(testsupport::PutClipboardBytes(CF_TEXT, "abc", 4));
    ::SendMessageA(frame_, DFM_SHOWFORMAT, CF_TEXT, reinterpret_cast<LPARAM>("CF_TEXT (1)"));
    framehar::TypeText("#2500");
    Press({VK_RETURN});
    while (::IsWindow(dialog)) ::Sleep(10);
    HWND message = AwaitDialog(frame_, nullptr);
    box = DialogItemText(message, 0xFFFF);
    ::PostMessageA(message, WM_COMMAND, IDOK, 0);
  });
  EXPECT_EQ(Caret(), 4u);
  EXPECT_NE(box.find("past the end"), std::string::npos) << box;
  EXPECT_EQ(DumpViewStateOf(view())->vScroll.nPos, 0);
}

// With the focus in the Details pane the frame's shortcuts work as on the
// frame; Select All there selects the pane's own text, not the bytes.
TEST_F(DumpFrameEdit, ShortcutsWorkWithTheFocusInThePane) {
  Open("Kelvane");
  ::SendMessageA(frame_, WM_COMMAND, ID_VIEW_DETAILS, 0);
  HWND pane = framehar::PaneOf(frame_);
  ASSERT_NE(pane, nullptr);
  HMENU menu = ::GetMenu(frame_);
  Type({'E', true}, pane);
  EXPECT_EQ(::GetMenuState(menu, ID_VIEW_WHOLE_DATA, MF_BYCOMMAND) & MF_CHECKED, MF_CHECKED);
  Type({'E', true}, pane);
  EXPECT_EQ(::GetMenuState(menu, ID_VIEW_WHOLE_DATA, MF_BYCOMMAND) & MF_CHECKED, 0u);
  Type({'A', true}, pane);
  EXPECT_FALSE(Sel().any);
  Type({'D', true}, pane);  // and the pane goes, which the next frame remembers
  EXPECT_FALSE(::IsWindowVisible(pane));
}

TEST_F(DumpFrameEdit, ShortcutsWorkWithTheFocusInTheDump) {
  Open("Kelvane");
  Type({'A', true}, view());
  EXPECT_EQ(Sel(), (Selection{true, 0, kPrefix + 6}));
  Type({'C', true, true}, view());
  EXPECT_EQ(testsupport::ClipboardBytes(CF_UNICODETEXT).size(), (kPrefix + 7 + 1) * 2);
}

// The real frame under the real format browser, whose modal loop is the
// program's only message loop.
class DumpFrameUnderTheBrowser : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(testsupport::PutClipboardBytes(CF_TEXT, "Hello, dump", 12));
    ASSERT_NE(run_.dialog(), nullptr);
    run_.Analyze();
    for (int i = 0; i < browsertest::ItemCount(run_.availableList()); ++i) {
      if (browsertest::ItemData(run_.availableList(), i) == CF_TEXT)
        browsertest::SelectItem(run_.availableList(), i);
    }
    run_.Toggle();
    frame_ = g_dumpFrame;
    ASSERT_TRUE(::IsWindow(frame_));
  }
  void TearDown() override { testsupport::ClearClipboard(); }

  browsertest::BrowserDialog run_;
  HWND frame_ = nullptr;
};

TEST_F(DumpFrameUnderTheBrowser, WindowCloseFromOutsideClosesThroughTheOwner) {
  ::SendMessageA(frame_, WM_CLOSE, 0, 0);
  // Destroyed by the dialog, which then forgets it.
  EXPECT_TRUE(testsupport::WaitUntil([this] { return !::IsWindow(frame_) && g_dumpFrame == nullptr; }, 2000));
  EXPECT_FALSE(run_.ToggleChecked());
}

// The Find dialog takes its keys in the browser's modal loop.
TEST_F(DumpFrameUnderTheBrowser, FindDialogTakesTypedKeysInTheModalLoop) {
  const HWND frame = frame_;
  const HWND view = framehar::DumpViewOf(frame);

  ::SetForegroundWindow(frame);
  ::Sleep(100);
  Press({'F', true});
  HWND find = AwaitDialog(frame, "Find");
  ASSERT_NE(find, nullptr);
  framehar::TypeText("dump");
  Press({VK_TAB});  // past the text box: Enter still means Find Next
  Press({VK_RETURN});
  // The dialog's thread may send to this one's windows: keep pumping.
  Selection sel = {};
  testsupport::WaitUntil(
      [&] {
        sel.any = ::SendMessageA(view, DVM_GETSEL, reinterpret_cast<WPARAM>(&sel.first),
                                 reinterpret_cast<LPARAM>(&sel.last));
        return sel.any;
      },
      2000);
  EXPECT_EQ(sel, (Selection{true, 7, 10}));
  Press({VK_ESCAPE});
  EXPECT_TRUE(testsupport::WaitUntil([find] { return !::IsWindow(find); }, 2000));
}
