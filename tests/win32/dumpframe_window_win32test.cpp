// The "Binary dump" window through real windows and the real clipboard: what
// it shows after creation, its layout, the encoding menu, the close paths,
// minimising, and the owner's DFM_SHOWFORMAT.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/privateformats.h"
#include "app/resource.h"
#include "dumpframe/dumpframe.h"
#include "dumpframe_harness.h"
#include "dumpview/dumpview.h"
#include "dumpview/viewport_win32.h"
#include "testsupport.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using framehar::RecordingOwner;

UINT TestFormat() { return ::RegisterClipboardFormatA("Kelvane Frame Test Format"); }

class DumpFrameWindow : public framehar::FrameTest {
 protected:
  HWND Open(std::uint32_t format, const char* statusText) {
    // Wine's clipboard manager may still hold the clipboard after a change.
    if (testsupport::OpenClipboardRetry()) ::CloseClipboard();
    frame_ = framehar::CreateFrame(owner_->window(), format, statusText);
    testsupport::PumpMessages(10);
    return frame_;
  }

  HWND view() const { return framehar::DumpViewOf(frame_); }
  HWND statusBar() const { return framehar::StatusBarOf(frame_); }

  Bytes ViewBytes() const {
    const DumpViewState* state = DumpViewStateOf(view());
    if (state == nullptr || state->data == nullptr) return {};
    return Bytes(state->data, state->data + state->dataLength);
  }

  std::uint32_t ViewLength() const {
    const DumpViewState* state = DumpViewStateOf(view());
    return state != nullptr ? state->dataLength : 0xFFFFFFFFu;
  }

  // The view fills the client above the status bar, which sits at the bottom.
  void ExpectLayout() const {
    const RECT client = framehar::ClientRect(frame_);
    const RECT status = framehar::ChildRect(frame_, statusBar());
    const RECT dump = framehar::ChildRect(frame_, view());
    RECT statusWindow = {};
    ::GetWindowRect(statusBar(), &statusWindow);
    const int statusHeight = statusWindow.bottom - statusWindow.top;
    EXPECT_EQ(status.bottom, client.bottom);
    EXPECT_EQ(status.left, 0);
    EXPECT_EQ(status.right, client.right);
    EXPECT_EQ(dump.left, 0);
    EXPECT_EQ(dump.top, 0);
    EXPECT_EQ(dump.right, client.right);
    const int expectedHeight = client.bottom > statusHeight ? client.bottom - statusHeight : 0;
    EXPECT_EQ(dump.bottom - dump.top, expectedHeight);
  }

  // Commands posted to the owner, after letting the posted ones arrive.
  std::vector<RecordingOwner::Command> OwnerCommands() {
    testsupport::PumpMessages(30);
    return RecordingOwner::Commands();
  }

  void ExpectOneCloseRequest() {
    const auto commands = OwnerCommands();
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0].wParam, static_cast<WPARAM>(MAKEWPARAM(IDC_DUMP_TOGGLE, 0)));
    EXPECT_EQ(commands[0].lParam, 0);
    EXPECT_TRUE(::IsWindow(frame_)) << "the frame waits for its owner to destroy it";
    RecordingOwner::Commands().clear();
  }

  // Types a sequence of keys on the keyboard into the frame, which must be
  // the foreground window; with firstWithAlt the first key is pressed with
  // Alt held down.
  void Type(const std::vector<WORD>& keys, bool firstWithAlt) {
    ASSERT_TRUE(framehar::FocusForTyping(frame_));
    for (std::size_t k = 0; k < keys.size(); ++k) {
      framehar::Press({keys[k], false, false, firstWithAlt && k == 0});
    }
  }
};

}  // namespace

TEST_F(DumpFrameWindow, CreationShowsStatusTextAndView) {
  ASSERT_TRUE(testsupport::PutClipboardBytes(CF_TEXT, "abc", 4));
  ASSERT_NE(Open(CF_TEXT, "CF_TEXT (1)"), nullptr);
  EXPECT_EQ(testsupport::WindowText(frame_), "Binary dump");

  ASSERT_NE(statusBar(), nullptr);
  EXPECT_EQ(framehar::StatusText(statusBar()), "CF_TEXT (1)");
  EXPECT_TRUE(::SendMessageA(statusBar(), SB_ISSIMPLE, 0, 0));
  const LONG_PTR statusStyle = ::GetWindowLongPtrA(statusBar(), GWL_STYLE);
  EXPECT_EQ(statusStyle & (WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP | CCS_BOTTOM),
            WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP | CCS_BOTTOM);
  EXPECT_EQ(::GetDlgCtrlID(statusBar()), 0);

  ASSERT_NE(view(), nullptr);
  EXPECT_TRUE(::GetWindowLongPtrA(view(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
  const LONG_PTR viewStyle = ::GetWindowLongPtrA(view(), GWL_STYLE);
  EXPECT_TRUE(viewStyle & WS_CHILD);
  EXPECT_TRUE(::IsWindowVisible(view()));
  EXPECT_EQ(::GetDlgCtrlID(view()), 0);
  EXPECT_EQ(testsupport::WindowText(view()), "");
  ExpectLayout();

  EXPECT_EQ(framehar::CheckedEncodingPositions(frame_), std::vector<int>{0});
}

TEST_F(DumpFrameWindow, ViewIsGivenTheSnapshot) {
  ASSERT_TRUE(testsupport::PutClipboardBytes(CF_TEXT, "abc", 4));
  ASSERT_NE(Open(CF_TEXT, "CF_TEXT (1)"), nullptr);
  EXPECT_EQ(ViewBytes(), (Bytes{'a', 'b', 'c', 0}));
  EXPECT_EQ(::SendMessageA(view(), DVM_GETCODEPAGE, 0, 0), 1252);
}

TEST_F(DumpFrameWindow, ResizingKeepsStatusBarBelowTheView) {
  ASSERT_TRUE(testsupport::PutClipboardBytes(CF_TEXT, "abc", 4));
  ASSERT_NE(Open(CF_TEXT, "CF_TEXT (1)"), nullptr);
  ::SetWindowPos(frame_, nullptr, 0, 0, 800, 500, SWP_NOMOVE | SWP_NOZORDER);
  ExpectLayout();
  EXPECT_GT(framehar::ClientRect(frame_).bottom, 400);
  ::MoveWindow(frame_, 10, 10, 320, 140, TRUE);
  ExpectLayout();
  // Shorter than the status bar: the view shrinks to nothing, not below it.
  RECT frameRect = {};
  ::GetWindowRect(frame_, &frameRect);
  const RECT client = framehar::ClientRect(frame_);
  const int nonClient = (frameRect.bottom - frameRect.top) - client.bottom;
  ::MoveWindow(frame_, 10, 10, 320, nonClient + 8, TRUE);
  ASSERT_LT(framehar::ClientRect(frame_).bottom, 20);
  ExpectLayout();
  EXPECT_EQ(framehar::ChildRect(frame_, view()).bottom, 0);
}

TEST_F(DumpFrameWindow, EncodingCommandsMoveTheCheckMark) {
  ASSERT_TRUE(testsupport::PutClipboardBytes(CF_TEXT, "abc", 4));
  ASSERT_NE(Open(CF_TEXT, "CF_TEXT (1)"), nullptr);
  struct Step {
    UINT command;
    int position;
    LRESULT codePage;
  };
  const Step steps[] = {
      {ID_ENCODING_UTF8, 4, 65001},   {ID_ENCODING_UTF8, 4, 65001},   {ID_ENCODING_SHIFT_JIS, 1, 932},
      {ID_ENCODING_EUC_JP, 2, 51932}, {ID_ENCODING_UTF16LE, 3, 1200}, {ID_ENCODING_CP1252, 0, 1252},
      {ID_ENCODING_UTF16LE, 3, 1200},
  };
  for (const Step& step : steps) {
    ::SendMessageA(frame_, WM_COMMAND, MAKEWPARAM(step.command, 0), 0);
    EXPECT_EQ(framehar::CheckedEncodingPositions(frame_), std::vector<int>{step.position}) << step.command;
    EXPECT_EQ(::SendMessageA(view(), DVM_GETCODEPAGE, 0, 0), step.codePage) << step.command;
  }
}

TEST_F(DumpFrameWindow, EncodingChosenThroughTheMenu) {
  ASSERT_TRUE(testsupport::PutClipboardBytes(CF_TEXT, "abc", 4));
  ASSERT_NE(Open(CF_TEXT, "CF_TEXT (1)"), nullptr);
  // View > Encoding > UTF-8 by its mnemonics, as a user would type them.
  Type({'V', 'E', '8'}, true);
  testsupport::WaitUntil([this] { return ::SendMessageA(view(), DVM_GETCODEPAGE, 0, 0) == 65001; }, 2000);
  EXPECT_EQ(::SendMessageA(view(), DVM_GETCODEPAGE, 0, 0), 65001);
  EXPECT_EQ(framehar::CheckedEncodingPositions(frame_), std::vector<int>{4});
  Type({'V', 'E', 'S'}, true);
  testsupport::WaitUntil([this] { return ::SendMessageA(view(), DVM_GETCODEPAGE, 0, 0) == 932; }, 2000);
  EXPECT_EQ(framehar::CheckedEncodingPositions(frame_), std::vector<int>{1});
}

TEST_F(DumpFrameWindow, EveryClosePathAsksTheOwner) {
  ASSERT_TRUE(testsupport::PutClipboardBytes(CF_TEXT, "abc", 4));
  ASSERT_NE(Open(CF_TEXT, "CF_TEXT (1)"), nullptr);

  // File > Close.
  ::SendMessageA(frame_, WM_COMMAND, MAKEWPARAM(ID_CLOSE, 0), 0);
  ExpectOneCloseRequest();

  // The close box and the system menu's Close.
  EXPECT_EQ(::SendMessageA(frame_, WM_SYSCOMMAND, SC_CLOSE, 0), 0);
  ExpectOneCloseRequest();

  // Alt+F4 typed on the keyboard: the default key handling turns it into
  // SC_CLOSE.
  Type({VK_F4}, true);
  testsupport::WaitUntil([] { return !RecordingOwner::Commands().empty(); }, 2000);
  ExpectOneCloseRequest();

  // File > Close from the keyboard: Alt+F, C.
  Type({'F', 'C'}, true);
  testsupport::WaitUntil([] { return !RecordingOwner::Commands().empty(); }, 2000);
  ExpectOneCloseRequest();

  // WM_CLOSE from another program: a request too, never a destruction
  // behind the owner's back.
  std::thread outsider([frame = frame_] { ::SendMessageA(frame, WM_CLOSE, 0, 0); });
  testsupport::WaitUntil([] { return !RecordingOwner::Commands().empty(); }, 2000);
  outsider.join();
  ExpectOneCloseRequest();

  // Other system commands keep their default meaning.
  ::SendMessageA(frame_, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  EXPECT_TRUE(::IsIconic(frame_));
  EXPECT_TRUE(OwnerCommands().empty());
  ::ShowWindow(frame_, SW_RESTORE);
}

TEST_F(DumpFrameWindow, MinimisingAndRestoringKeepsTheScrollPosition) {
  const Bytes block = [] {
    Bytes b(4 + 4096, 'x');
    b[0] = 0x00;
    b[1] = 0x10;
    b[2] = b[3] = 0;
    return b;
  }();
  ASSERT_TRUE(testsupport::PutClipboardBytes(g_binaryDataFormat, block.data(), block.size()));
  ASSERT_NE(Open(g_binaryDataFormat, "BinaryData"), nullptr);
  ::SendMessageA(view(), WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 100), 0);
  ASSERT_EQ(::GetScrollPos(view(), SB_VERT), 100);
  ::ShowWindow(frame_, SW_MINIMIZE);
  testsupport::PumpMessages(30);
  ::ShowWindow(frame_, SW_RESTORE);
  testsupport::PumpMessages(30);
  EXPECT_EQ(::GetScrollPos(view(), SB_VERT), 100);
  ExpectLayout();
}

TEST_F(DumpFrameWindow, ShowFormatWithoutFormatChangesOnlyTheStatusText) {
  ASSERT_TRUE(testsupport::PutClipboardBytes(CF_TEXT, "abc", 4));
  ASSERT_NE(Open(CF_TEXT, "CF_TEXT (1)"), nullptr);
  const DumpViewState* state = DumpViewStateOf(view());
  ASSERT_NE(state, nullptr);
  const std::uint8_t* before = state->data;

  // The clipboard changes, but format 0 reads nothing.
  ASSERT_TRUE(testsupport::PutClipboardBytes(CF_TEXT, "xyzw", 5));
  EXPECT_EQ(
      ::SendMessageA(frame_, DFM_SHOWFORMAT, 0, reinterpret_cast<LPARAM>("Clipboard Data has Changed.")), 0);
  EXPECT_EQ(framehar::StatusText(statusBar()), "Clipboard Data has Changed.");
  EXPECT_EQ(testsupport::WindowText(frame_), "Binary dump");
  EXPECT_EQ(state->data, before);
  EXPECT_EQ(ViewBytes(), (Bytes{'a', 'b', 'c', 0}));
}

TEST_F(DumpFrameWindow, ShowFormatReadsTheNewFormat) {
  const UINT format = TestFormat();
  Bytes custom(300);
  for (std::size_t i = 0; i < custom.size(); ++i) custom[i] = static_cast<std::uint8_t>(i * 3);
  ASSERT_TRUE(testsupport::PutClipboardItems({{CF_TEXT, {'a', 'b', 'c', 0}}, {format, custom}}));
  ASSERT_NE(Open(CF_TEXT, "CF_TEXT (1)"), nullptr);
  ASSERT_EQ(ViewLength(), 4u);

  if (testsupport::OpenClipboardRetry()) ::CloseClipboard();
  EXPECT_EQ(::SendMessageA(frame_, DFM_SHOWFORMAT, format, reinterpret_cast<LPARAM>("Kelvane Frame Test")),
            0);
  EXPECT_EQ(framehar::StatusText(statusBar()), "Kelvane Frame Test");
  EXPECT_EQ(ViewBytes(), Bytes(custom.begin(), custom.begin() + 256));
  EXPECT_EQ(testsupport::WindowText(frame_), "Binary dump");

  // And back to the text: a fresh read of the clipboard.
  ASSERT_TRUE(testsupport::PutClipboardBytes(CF_TEXT, "hello", 6));
  if (testsupport::OpenClipboardRetry()) ::CloseClipboard();
  ::SendMessageA(frame_, DFM_SHOWFORMAT, CF_TEXT, reinterpret_cast<LPARAM>("CF_TEXT (1)"));
  EXPECT_EQ(ViewBytes(), (Bytes{'h', 'e', 'l', 'l', 'o', 0}));
}

TEST_F(DumpFrameWindow, FailedFirstReadShowsInTheTitleForGood) {
  testsupport::ClearClipboard();
  ASSERT_NE(Open(CF_TEXT, "CF_TEXT (1)"), nullptr);
  EXPECT_EQ(testsupport::WindowText(frame_), "Clipboard Read Error !!");
  EXPECT_EQ(framehar::StatusText(statusBar()), "CF_TEXT (1)");
  EXPECT_EQ(ViewLength(), 0u);
  EXPECT_TRUE(ViewBytes().empty());
  EXPECT_EQ(framehar::CheckedEncodingPositions(frame_), std::vector<int>{0});

  // A later successful read shows the data; the title stays.
  ASSERT_TRUE(testsupport::PutClipboardBytes(CF_TEXT, "late", 5));
  if (testsupport::OpenClipboardRetry()) ::CloseClipboard();
  ::SendMessageA(frame_, DFM_SHOWFORMAT, CF_TEXT, reinterpret_cast<LPARAM>("CF_TEXT (1)"));
  EXPECT_EQ(ViewBytes(), (Bytes{'l', 'a', 't', 'e', 0}));
  EXPECT_EQ(testsupport::WindowText(frame_), "Clipboard Read Error !!");
}

TEST_F(DumpFrameWindow, FailedReadAfterShowFormatEmptiesTheView) {
  ASSERT_TRUE(testsupport::PutClipboardBytes(CF_TEXT, "abc", 4));
  ASSERT_NE(Open(CF_TEXT, "CF_TEXT (1)"), nullptr);
  ASSERT_EQ(ViewLength(), 4u);

  if (testsupport::OpenClipboardRetry()) ::CloseClipboard();
  ::SendMessageA(frame_, DFM_SHOWFORMAT, TestFormat(), reinterpret_cast<LPARAM>("Kelvane Frame Test"));
  EXPECT_EQ(framehar::StatusText(statusBar()), "Kelvane Frame Test");
  EXPECT_EQ(ViewLength(), 0u);
  EXPECT_TRUE(ViewBytes().empty());
  EXPECT_EQ(testsupport::WindowText(frame_), "Clipboard Read Error !!");

  // A later good read puts the title back.
  if (testsupport::OpenClipboardRetry()) ::CloseClipboard();
  ::SendMessageA(frame_, DFM_SHOWFORMAT, CF_TEXT, reinterpret_cast<LPARAM>("CF_TEXT (1)"));
  EXPECT_EQ(ViewLength(), 4u);
  EXPECT_EQ(testsupport::WindowText(frame_), "Binary dump");
}

TEST_F(DumpFrameWindow, ShowFormatWhileTheClipboardIsHeldFails) {
  ASSERT_TRUE(testsupport::PutClipboardBytes(g_binaryDataFormat, "\x02\0\0\0zz", 6));
  ASSERT_NE(Open(g_binaryDataFormat, "BinaryData(0x....)"), nullptr);
  ASSERT_EQ(ViewBytes(), (Bytes{2, 0, 0, 0, 'z', 'z'}));

  // Another window of this thread holds the clipboard open.
  HWND holder = ::CreateWindowExA(0, "STATIC", "holder", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  ::GetModuleHandleA(nullptr), nullptr);
  ASSERT_TRUE(testsupport::OpenClipboardRetry(holder));
  ::SendMessageA(frame_, DFM_SHOWFORMAT, g_binaryDataFormat, reinterpret_cast<LPARAM>("again"));
  ::CloseClipboard();
  ::DestroyWindow(holder);
  EXPECT_EQ(ViewLength(), 0u);
  EXPECT_EQ(testsupport::WindowText(frame_), "Clipboard Read Error !!");
}

// A move to a monitor of 150% and back, told as the system tells a per-monitor
// aware window (Wine never does: it has one resolution for all monitors).
TEST_F(DumpFrameWindow, AnotherMonitorsResolutionScalesTheCellsAndKeepsThePlace) {
  Bytes block(4 + 4096, 'x');
  block[0] = block[2] = block[3] = 0;
  block[1] = 0x10;
  ASSERT_TRUE(testsupport::PutClipboardBytes(g_binaryDataFormat, block.data(), block.size()));
  ASSERT_NE(Open(g_binaryDataFormat, "BinaryData"), nullptr);
  ::SendMessageA(view(), DVM_SETSEL, 1000, 900);
  ::SendMessageA(view(), WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 50), 0);
  const DumpViewState& state = *DumpViewStateOf(view());
  const int height = static_cast<int>(state.fontHeight);
  const UINT systemDpi = static_cast<UINT>(::MulDiv(height, 72, 12));
  const LONG statusHeight =
      framehar::ChildRect(frame_, statusBar()).bottom - framehar::ChildRect(frame_, statusBar()).top;
  RECT start = {};
  ::GetWindowRect(frame_, &start);
  for (const UINT dpi : {systemDpi * 3 / 2, systemDpi}) {
    const RECT suggested = {start.left + 5, start.top,
                            start.left + 5 + ::MulDiv(start.right - start.left, dpi, systemDpi),
                            start.top + ::MulDiv(start.bottom - start.top, dpi, systemDpi)};
    ::SendMessageA(frame_, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    RECT now = {};
    ::GetWindowRect(frame_, &now);
    EXPECT_TRUE(::EqualRect(&now, &suggested)) << dpi;
    EXPECT_EQ(static_cast<int>(state.fontHeight), ::MulDiv(height, dpi, systemDpi));
    UINT first = 0, last = 0;
    ::SendMessageA(view(), DVM_GETSEL, reinterpret_cast<WPARAM>(&first), reinterpret_cast<LPARAM>(&last));
    EXPECT_EQ(first, 900u);
    EXPECT_EQ(last, 999u);
    EXPECT_EQ(::SendMessageA(view(), DVM_GETCARET, 0, 0), 1000);
    EXPECT_EQ(::GetScrollPos(view(), SB_VERT), 50);
    const RECT status = framehar::ChildRect(frame_, statusBar());
    EXPECT_EQ(status.bottom - status.top > statusHeight, dpi != systemDpi);
    ExpectLayout();
  }
}
