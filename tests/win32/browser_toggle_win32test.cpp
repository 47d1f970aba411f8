// The B toggle and the protocol between the format browser and its
// DumpFrame: creation, the frame's close request, selection changes with a
// frame open, Analyze and Quit with a frame open.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "browser/formatbrowser_win32.h"
#include "browser_harness.h"
#include "dumpframe_harness.h"
#include "testsupport.h"

using browsertest::BrowserDialog;
using browsertest::ClearSelection;
using browsertest::FrameEvent;
using browsertest::FrameRecorder;
using browsertest::Hex;
using browsertest::ItemCount;
using browsertest::ItemData;
using browsertest::ItemOfFormat;
using browsertest::ItemText;
using browsertest::SelectItem;

namespace {

constexpr char kClearedText[] = "Clipboard Data has Changed.";

class FormatBrowserToggle : public ::testing::Test {
 protected:
  void SetUp() override {
    testsupport::ClearClipboard();
    ASSERT_TRUE(testsupport::PutClipboardBytes(CF_TEXT, "Hello, dump", 12));
  }
  void TearDown() override { testsupport::ClearClipboard(); }
};

// The stand-in frame records what the dialog hands it.
class FormatBrowserFrameProtocol : public FormatBrowserToggle {
 protected:
  void SetUp() override {
    FormatBrowserToggle::SetUp();
    ASSERT_TRUE(recorder.installed());
  }
  FrameRecorder recorder;
};

TEST_F(FormatBrowserToggle, OpensADumpFrameJustBelowTheDialogAndClosesIt) {
  BrowserDialog run;
  ASSERT_NE(run.dialog(), nullptr);
  run.Analyze();
  const int item = ItemOfFormat(run.availableList(), CF_TEXT);
  ASSERT_NE(item, -1);
  SelectItem(run.availableList(), item);

  run.Toggle();
  const HWND frame = g_dumpFrame;
  ASSERT_NE(frame, nullptr);
  ASSERT_TRUE(::IsWindow(frame));
  EXPECT_TRUE(run.ToggleChecked());

  char className[64] = {};
  ::GetClassNameA(frame, className, sizeof(className));
  EXPECT_STREQ(className, "Kelvane");
  EXPECT_EQ(testsupport::WindowText(frame), "Binary dump");
  // An unowned top-level window.
  EXPECT_EQ(::GetParent(frame), nullptr);
  EXPECT_EQ(::GetWindow(frame, GW_OWNER), nullptr);
  const DWORD style = static_cast<DWORD>(::GetWindowLongA(frame, GWL_STYLE));
  EXPECT_EQ(style & (WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN),
            static_cast<DWORD>(WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN));
  EXPECT_EQ(::GetWindowLongA(frame, GWL_EXSTYLE) & ~WS_EX_WINDOWEDGE, 0);

  RECT dialogRect = {};
  RECT frameRect = {};
  ::GetWindowRect(run.dialog(), &dialogRect);
  ::GetWindowRect(frame, &frameRect);
  EXPECT_EQ(frameRect.left, dialogRect.left - 1);
  EXPECT_EQ(frameRect.top, dialogRect.bottom);
  EXPECT_EQ(frameRect.right - frameRect.left, 650);
  EXPECT_EQ(frameRect.bottom - frameRect.top, 300);

  // B again closes it; the item is still selected, so B stays enabled.
  run.Toggle();
  EXPECT_FALSE(::IsWindow(frame));
  EXPECT_EQ(g_dumpFrame, nullptr);
  EXPECT_FALSE(run.ToggleChecked());
  EXPECT_TRUE(run.ToggleEnabled());
}

TEST_F(FormatBrowserToggle, TheRealFrameFollowsTheSelectionAndClosesThroughTheDialog) {
  const UINT sample = ::RegisterClipboardFormatA("Sample");
  ASSERT_TRUE(testsupport::PutClipboardItems({{CF_TEXT, {'h', 'i', 0}}, {sample, {1, 2, 3}}}));
  BrowserDialog run;
  ASSERT_NE(run.dialog(), nullptr);
  const HWND list = run.availableList();
  // Wine's clipboard manager may still hold the clipboard open while it hands
  // the last test's data to X; Analyze then lists nothing, as it should.
  ASSERT_TRUE(testsupport::WaitUntil([&] {
    run.Analyze();
    return ItemOfFormat(list, CF_TEXT) != -1;
  }));
  const int textItem = ItemOfFormat(list, CF_TEXT);
  const int sampleItem = ItemOfFormat(list, sample);
  ASSERT_NE(textItem, -1);
  ASSERT_NE(sampleItem, -1);
  SelectItem(list, textItem);
  run.Toggle();
  const HWND frame = g_dumpFrame;
  ASSERT_TRUE(::IsWindow(frame));
  const HWND status = framehar::StatusBarOf(frame);
  ASSERT_NE(status, nullptr);
  EXPECT_EQ(framehar::StatusText(status), "CF_TEXT (1)");

  SelectItem(list, sampleItem);
  EXPECT_EQ(framehar::StatusText(status), "Sample(" + Hex(sample) + ")");
  ClearSelection(list);
  EXPECT_EQ(framehar::StatusText(status), kClearedText);
  EXPECT_TRUE(run.ToggleEnabled());

  // The frame's close box asks the dialog, which destroys it.
  // The dialog forgets the frame only after DestroyWindow has returned on
  // its thread: wait for both.
  ::PostMessageA(frame, WM_SYSCOMMAND, SC_CLOSE, 0);
  ASSERT_TRUE(testsupport::WaitUntil([&] { return !::IsWindow(frame) && g_dumpFrame == nullptr; }));
  EXPECT_FALSE(run.ToggleChecked());
  EXPECT_FALSE(run.ToggleEnabled());
}

TEST_F(FormatBrowserToggle, WithoutASelectionTheToggleOpensNothing) {
  BrowserDialog run;
  ASSERT_NE(run.dialog(), nullptr);
  run.Analyze();
  run.Toggle();
  EXPECT_EQ(g_dumpFrame, nullptr);
  EXPECT_TRUE(testsupport::OwnWindowsOfClass("Kelvane").empty());
  EXPECT_FALSE(run.ToggleChecked());
}

TEST_F(FormatBrowserToggle, QuitDestroysAnOpenFrame) {
  BrowserDialog run;
  ASSERT_NE(run.dialog(), nullptr);
  run.Analyze();
  SelectItem(run.availableList(), 0);
  run.Toggle();
  const HWND frame = g_dumpFrame;
  ASSERT_TRUE(::IsWindow(frame));

  INT_PTR result = -1;
  ASSERT_TRUE(run.Quit(&result));
  EXPECT_EQ(result, 0);
  EXPECT_FALSE(::IsWindow(frame));
  EXPECT_EQ(g_dumpFrame, nullptr);
}

TEST_F(FormatBrowserFrameProtocol, TheFrameGetsTheOwnerTheFormatAndItsText) {
  const UINT sample = ::RegisterClipboardFormatA("Sample");
  ASSERT_TRUE(testsupport::PutClipboardItems({{CF_TEXT, {'a', 0}}, {sample, {1, 2, 3}}}));
  BrowserDialog run;
  ASSERT_NE(run.dialog(), nullptr);
  run.Analyze();
  const int item = ItemOfFormat(run.availableList(), sample);
  ASSERT_NE(item, -1);
  SelectItem(run.availableList(), item);
  recorder.ClearEvents();

  run.Toggle();
  const std::vector<FrameEvent> events = recorder.Events();
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].kind, FrameEvent::Created);
  EXPECT_EQ(events[0].owner, run.dialog());
  EXPECT_EQ(events[0].format, sample);
  EXPECT_EQ(events[0].text, "Sample(" + Hex(sample) + ")");
  EXPECT_EQ(events[0].title, "Binary dump");
  EXPECT_EQ(events[0].parent, nullptr);
  EXPECT_EQ(g_dumpFrame, events[0].window);
  EXPECT_TRUE(run.ToggleChecked());
}

TEST_F(FormatBrowserFrameProtocol, TheFrameIsHandedAtMost30Characters) {
  const std::string name = "KelvaneThirtyCharacterCutCheckName";  // 34 characters
  const UINT format = ::RegisterClipboardFormatA(name.c_str());
  ASSERT_TRUE(testsupport::PutClipboardItems({{format, {9}}, {CF_TEXT, {'b', 0}}}));
  BrowserDialog run;
  ASSERT_NE(run.dialog(), nullptr);
  run.Analyze();
  const int item = ItemOfFormat(run.availableList(), format);
  const int textItem = ItemOfFormat(run.availableList(), CF_TEXT);
  ASSERT_NE(item, -1);
  ASSERT_NE(textItem, -1);
  // The list itself shows the whole text.
  EXPECT_EQ(ItemText(run.availableList(), item, 1), name + "(" + Hex(format) + ")");

  SelectItem(run.availableList(), item);
  run.Toggle();
  // And through the selection tracking with the frame open.
  SelectItem(run.availableList(), textItem);
  SelectItem(run.availableList(), item);

  std::vector<std::string> texts;
  for (const FrameEvent& e : recorder.Events()) {
    if (e.format == format) texts.push_back(e.text);
  }
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0], name.substr(0, 30));
  EXPECT_EQ(texts[1], name.substr(0, 30));
}

TEST_F(FormatBrowserFrameProtocol, TheFramesCloseRequestClosesIt) {
  BrowserDialog run;
  ASSERT_NE(run.dialog(), nullptr);
  run.Analyze();
  SelectItem(run.availableList(), 0);
  run.Toggle();
  const HWND frame = g_dumpFrame;
  ASSERT_TRUE(::IsWindow(frame));

  // Posted as the frame does it: 1006, high word 0, lParam 0.
  ::PostMessageA(run.dialog(), WM_COMMAND, MAKEWPARAM(1006, 0), 0);
  ASSERT_TRUE(testsupport::WaitUntil([&] { return !::IsWindow(frame); }));
  EXPECT_FALSE(run.ToggleChecked());
  EXPECT_TRUE(run.ToggleEnabled());
  EXPECT_EQ(g_dumpFrame, nullptr);

  // The same through the stand-in's own close box.
  run.Toggle();
  const HWND second = g_dumpFrame;
  ASSERT_TRUE(::IsWindow(second));
  ::PostMessageA(second, WM_CLOSE, 0, 0);
  ASSERT_TRUE(testsupport::WaitUntil([&] { return !::IsWindow(second); }));
  EXPECT_FALSE(run.ToggleChecked());
}

TEST_F(FormatBrowserFrameProtocol, SelectionChangesReachAnOpenFrame) {
  BrowserDialog run;
  ASSERT_NE(run.dialog(), nullptr);
  run.Analyze();
  const HWND list = run.availableList();
  ASSERT_GE(ItemCount(list), 2);
  SelectItem(list, 0);
  run.Toggle();
  recorder.ClearEvents();

  // Moving the selection: first the cleared item, then the new format.
  SelectItem(list, 1);
  std::vector<FrameEvent> events = recorder.Events();
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0].kind, FrameEvent::ShowFormat);
  EXPECT_EQ(events[0].format, 0u);
  EXPECT_EQ(events[0].text, kClearedText);
  EXPECT_EQ(events[1].kind, FrameEvent::ShowFormat);
  EXPECT_EQ(events[1].format, static_cast<std::uint32_t>(ItemData(list, 1)));
  EXPECT_EQ(events[1].text, ItemText(list, 1, 1));

  // Clearing it: only the status text, and B stays enabled to close the frame.
  recorder.ClearEvents();
  ClearSelection(list);
  events = recorder.Events();
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].format, 0u);
  EXPECT_EQ(events[0].text, kClearedText);
  EXPECT_TRUE(run.ToggleEnabled());
  EXPECT_TRUE(run.ToggleChecked());

  // Closing the frame with nothing selected disables B.
  run.Toggle();
  EXPECT_EQ(g_dumpFrame, nullptr);
  EXPECT_FALSE(run.ToggleChecked());
  EXPECT_FALSE(run.ToggleEnabled());
}

TEST_F(FormatBrowserFrameProtocol, AnalyzeClosesAnOpenFrame) {
  BrowserDialog run;
  ASSERT_NE(run.dialog(), nullptr);
  run.Analyze();
  SelectItem(run.availableList(), 0);
  run.Toggle();
  const HWND frame = g_dumpFrame;
  ASSERT_TRUE(::IsWindow(frame));
  recorder.ClearEvents();

  run.Analyze();
  EXPECT_FALSE(::IsWindow(frame));
  EXPECT_EQ(g_dumpFrame, nullptr);
  EXPECT_FALSE(run.ToggleChecked());
  EXPECT_FALSE(run.ToggleEnabled());
  EXPECT_EQ(browsertest::SelectedItem(run.availableList()), -1);
  // Destroyed first, so the cleared selection told no frame anything.
  const std::vector<FrameEvent> events = recorder.Events();
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].kind, FrameEvent::Destroyed);
}

TEST_F(FormatBrowserFrameProtocol, AFailedCreationLeavesBCheckedAndIsTriedAgain) {
  BrowserDialog run;
  ASSERT_NE(run.dialog(), nullptr);
  run.Analyze();
  SelectItem(run.availableList(), 0);
  recorder.FailCreation(true);
  recorder.ClearEvents();

  run.Toggle();
  EXPECT_EQ(g_dumpFrame, nullptr);
  EXPECT_TRUE(run.ToggleChecked());
  run.Toggle();
  EXPECT_EQ(g_dumpFrame, nullptr);

  recorder.FailCreation(false);
  run.Toggle();
  EXPECT_NE(g_dumpFrame, nullptr);
  int creations = 0;
  for (const FrameEvent& e : recorder.Events()) creations += e.kind == FrameEvent::Created;
  EXPECT_EQ(creations, 3);
}

}  // namespace
