// The dump window's reads against owners in other processes: prompt, late
// and hung ones (a hang lasts until the test releases the owner), a
// clipboard held open, and Follow on a clipboard that asks to be left alone.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/resource.h"
#include "browser/formatbrowser_win32.h"
#include "browser_harness.h"
#include "clipboard_fault_owner.h"
#include "dumpframe/dumpframe.h"
#include "dumpframe_harness.h"
#include "dumpview/viewport_win32.h"
#include "testsupport.h"

namespace {

using faulttest::ForeignOwner;
using testsupport::WaitUntil;
using testsupport::WindowText;

std::uint32_t DataLength(HWND frame) { return DumpViewStateOf(framehar::DumpViewOf(frame))->dataLength; }
// The first bytes on view, which tell the seeded sources apart.
std::vector<std::uint8_t> Head(HWND frame) {
  const DumpViewState* view = DumpViewStateOf(framehar::DumpViewOf(frame));
  return {view->data, view->data + (view->dataLength < 16 ? 0 : 16)};
}
std::string Status(HWND frame) { return framehar::StatusText(framehar::StatusBarOf(frame)); }
std::string WaitText(const ForeignOwner& owner, const std::string& format) {
  return "Waiting for clipboard_owner.exe (process " + std::to_string(owner.ProcessId()) + ") to render " +
         format + ". Esc cancels.";
}
bool PaneSaysProblem(HWND frame, const std::string& problem) {
  return WindowText(framehar::PaneOf(frame)).find("\r\n! " + problem + "\r\n") != std::string::npos;
}
UINT Format(const char* name) { return ::RegisterClipboardFormatA(name); }

class FrameWait : public framehar::FrameTest {};

}  // namespace

// A prompt owner is read within the creation, as ever; a late one's wait
// shows, with the working pointer, and a newer format asked for meanwhile
// is the one shown, never the older.
TEST_F(FrameWait, APromptReadIsShownAtOnceALateOneAfterItsWaitAndTheNewestWins) {
  for (const DWORD lateMs : {20u, 1000u}) {
    ForeignOwner owner;
    ASSERT_TRUE(owner.PromiseLate(lateMs, {"Kelvane Wait A=seeded:64:1", "Kelvane Wait B=seeded:80:2"}));
    frame_ = framehar::CreateFrame(owner_->window(), Format("Kelvane Wait A"), "A", false);
    const HWND view = framehar::DumpViewOf(frame_);
    if (lateMs == 1000) {
      EXPECT_EQ(Status(frame_), WaitText(owner, "A"));
      RECT rect = framehar::ChildRect(frame_, view);
      ::MapWindowPoints(frame_, nullptr, reinterpret_cast<POINT*>(&rect), 2);
      ::SetCursorPos((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
      EXPECT_TRUE(WaitUntil([] { return ::GetCursor() == ::LoadCursorA(nullptr, IDC_APPSTARTING); }));
      ::SendMessageA(frame_, DFM_SHOWFORMAT, Format("Kelvane Wait B"), reinterpret_cast<LPARAM>("B"));
      EXPECT_TRUE(WaitUntil([&] { return DataLength(frame_) != 0; }, 20000));
      ::SetCursorPos(0, 0);
    }
    EXPECT_EQ(Head(frame_), testsupport::SeededBytes(16, lateMs == 20 ? 1 : 2)) << lateMs;
    EXPECT_EQ(Status(frame_), lateMs == 20 ? "A" : "B");
    EXPECT_EQ(WindowText(frame_), "Binary dump");
    ::DestroyWindow(frame_);
    frame_ = nullptr;
  }
}

// A hung owner: the frame handles what is posted to it, Esc from the dump
// view gives the wait up as a failed read, closing the frame leaves the
// read behind, and once the owner returns the clipboard opens again.
TEST_F(FrameWait, AHungOwnerLeavesTheFrameAnsweringEscGivesUpAndCloseLeavesTheRead) {
  ForeignOwner owner;
  ASSERT_TRUE(owner.PromiseLate(600000, {"Kelvane Wait Hang=seeded:64:1", "Kelvane Wait Next=seeded:64:2"}));
  frame_ = framehar::CreateFrame(owner_->window(), Format("Kelvane Wait Hang"), "Hang", false);
  ASSERT_EQ(Status(frame_), WaitText(owner, "Hang"));
  ::PostMessageA(frame_, WM_COMMAND, ID_VIEW_DETAILS, 0);
  EXPECT_TRUE(WaitUntil([&] { return ::IsWindowVisible(framehar::PaneOf(frame_)) != FALSE; }));
  const auto showNext = [&] {
    ::SendMessageA(frame_, DFM_SHOWFORMAT, Format("Kelvane Wait Next"), reinterpret_cast<LPARAM>("Next"));
  };
  showNext();
  EXPECT_EQ(Status(frame_), WaitText(owner, "Next")) << "behind the read that hangs";
  ::PostMessageA(framehar::DumpViewOf(frame_), WM_KEYDOWN, VK_ESCAPE, 0x00010001);
  EXPECT_TRUE(WaitUntil([&] { return Status(frame_) == "Next"; }));
  EXPECT_EQ(WindowText(frame_), "Clipboard Read Error !!");
  EXPECT_EQ(DataLength(frame_), 0u);

  showNext();
  ASSERT_EQ(Status(frame_), WaitText(owner, "Next"));
  ::DestroyWindow(frame_);
  frame_ = nullptr;
  owner.Release();
  EXPECT_TRUE(WaitUntil([] { return ::OpenClipboard(nullptr) && ::CloseClipboard(); }, 20000));
  EXPECT_EQ(owner.Renders(), std::vector<UINT>{Format("Kelvane Wait Hang")});
}

// Held open by another program, a read fails and the Details pane names
// the holder.
TEST_F(FrameWait, AHeldClipboardIsNamedInThePane) {
  ASSERT_TRUE(testsupport::PutClipboardBytes(CF_TEXT, "held", 5));
  ForeignOwner holder;
  ASSERT_TRUE(holder.Hold());
  frame_ = framehar::CreateFrame(owner_->window(), CF_TEXT, "Text");
  EXPECT_TRUE(PaneSaysProblem(frame_, "Clipboard held open by clipboard_owner.exe (process " +
                                          std::to_string(holder.ProcessId()) +
                                          ", window class KelvaneTestClipboardOwner)"));
}

// Follow on a clipboard that asks monitors to leave it alone: the open
// frame drops its snapshot unread and its pane says why; B reads it.
TEST(FrameFollow, AMarkerFormatLeavesTheFrameUnreadUntilBIsPressed) {
  ASSERT_TRUE(testsupport::PutClipboardBytes(CF_TEXT, "abc", 4));
  browsertest::BrowserDialog run;
  ::SendMessageA(run.dialog(), WM_SYSCOMMAND, 0x0110, 0);  // Follow the Clipboard
  run.Analyze();
  browsertest::SelectItem(run.availableList(), browsertest::ItemOfFormat(run.availableList(), CF_TEXT));
  run.Toggle();
  ASSERT_NE(g_dumpFrame, nullptr);
  ASSERT_EQ(DataLength(g_dumpFrame), 4u);
  ForeignOwner marked;
  ASSERT_TRUE(marked.PromiseAndCount({"1", "Clipboard Viewer Ignore"}));
  EXPECT_TRUE(WaitUntil([] { return DataLength(g_dumpFrame) == 0; }));
  EXPECT_TRUE(PaneSaysProblem(
      g_dumpFrame, "Not read: the clipboard asks monitors to leave it alone (Clipboard Viewer Ignore)"));
  EXPECT_EQ(marked.RenderCount(), 0);
  run.Toggle();
  run.Toggle();
  EXPECT_NE(DataLength(g_dumpFrame), 0u);
  EXPECT_EQ(marked.RenderCount(), 1);
  run.Toggle();
  testsupport::ClearClipboard();
}

// Quitting kelvane.exe while its frame waits for a hung owner ends the
// process at once: nothing waits for the reader.
TEST(FrameQuit, TheProgramEndsWithinASecondWhileItsFrameWaits) {
  ForeignOwner owner;
  ASSERT_TRUE(owner.PromiseLate(600000, {"Kelvane Wait Quit=seeded:64:1"}));
  testsupport::Program program;
  const HWND dialog = program.WaitForDialog();
  ASSERT_NE(dialog, nullptr);
  ::PostMessageA(dialog, WM_COMMAND, 1000, 0);                         // Analyze
  ::PostMessageA(::GetDlgItem(dialog, 1003), WM_KEYDOWN, VK_HOME, 0);  // the first format
  ::PostMessageA(dialog, WM_COMMAND, 1006, 0);                         // B
  ASSERT_TRUE(WaitUntil([&] {
    DWORD process = 0;
    ::GetWindowThreadProcessId(::FindWindowA("Kelvane", "Binary dump"), &process);
    return process == program.id();
  }));
  EXPECT_TRUE(owner.Renders().empty()) << "the hang ended too soon";
  ::PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
  EXPECT_EQ(program.WaitForExit(1000), 0);
}
