// View > Whole Data in the real dump window: a PNG that an X11 program put
// on the clipboard, read whole by Ctrl+E and saved byte for byte, then read
// by the size rules again; the choice carried to the next frame; a failed
// read.
#include <windows.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/resource.h"
#include "dumpframe/framelayout.h"
#include "dumpframe_harness.h"
#include "dumpview/dumpview.h"
#include "testsupport.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

bool WholeDataChecked(HWND frame) {
  return (::GetMenuState(::GetMenu(frame), ID_VIEW_WHOLE_DATA, MF_BYCOMMAND) & MF_CHECKED) != 0;
}

class WholeDataFrame : public framehar::FrameTest {
 protected:
  void TearDown() override {
    // The choice outlives the frame: leave it off for every later test.
    if (frame_ != nullptr && WholeDataChecked(frame_)) Toggle();
    FrameTest::TearDown();
    for (const std::string& path : paths_) framehar::RemoveFile(path);
  }

  HWND Open(std::uint32_t format, const char* text) {
    if (testsupport::OpenClipboardRetry()) ::CloseClipboard();
    frame_ = framehar::CreateFrame(owner_->window(), format, text);
    testsupport::PumpMessages(10);
    return frame_;
  }

  void Toggle() { ::SendMessageA(frame_, WM_COMMAND, MAKEWPARAM(ID_VIEW_WHOLE_DATA, 0), 0); }

  Bytes Save() {
    paths_.push_back(testsupport::TempPath("whole"));
    const framehar::SaveRun run = framehar::RunSave(frame_, framehar::SaveScript{paths_.back()});
    EXPECT_TRUE(run.dialogSeen);
    EXPECT_TRUE(run.messages.empty());
    return testsupport::ReadFileBytes(paths_.back());
  }

  std::string Status() { return framehar::StatusText(framehar::StatusBarOf(frame_)); }

  std::vector<std::string> paths_;
};

}  // namespace

TEST_F(WholeDataFrame, PngFromAnX11ProgramReadWholeByCtrlEAndBack) {
  const std::string png = std::string(KELVANE_WIN32_SAMPLES_DIR) + "/gradient.png";
  const UINT format = ::RegisterClipboardFormatA("PNG");
  ASSERT_TRUE(testsupport::PutWithXclip("image/png", png, format));
  char path[MAX_PATH] = {};
  std::snprintf(path, sizeof(path), "Z:%s", png.c_str());
  const Bytes file = testsupport::ReadFileBytes(path);
  ASSERT_GT(file.size(), 256u);
  char text[64] = {};
  std::snprintf(text, sizeof(text), "PNG(0x%04X)", format);
  ASSERT_NE(Open(format, text), nullptr);
  const Bytes window = Save();
  ASSERT_EQ(window.size(), 256u);
  EXPECT_FALSE(WholeDataChecked(frame_));

  // Ctrl+E with the focus on the frame: all of the block, its length shown.
  HWND view = framehar::DumpViewOf(frame_);
  ::SendMessageA(view, DVM_SETCARET, 200, 0);
  ASSERT_TRUE(framehar::FocusForTyping(frame_));
  framehar::Press({'E', true});
  ASSERT_TRUE(testsupport::WaitUntil([this] { return WholeDataChecked(frame_); }));
  EXPECT_EQ(Status(), std::string(text) + ", " + std::to_string(file.size()) + " bytes");
  EXPECT_EQ(Save(), file);
  EXPECT_EQ(::SendMessageA(view, DVM_GETCARET, 0, 0), 200);

  // Ctrl+E with the focus in the dump: the size rules' snapshot and text again.
  ASSERT_TRUE(framehar::FocusForTyping(frame_, view));
  framehar::Press({'E', true});
  ASSERT_TRUE(testsupport::WaitUntil([this] { return !WholeDataChecked(frame_); }));
  EXPECT_EQ(Status(), text);
  EXPECT_EQ(Save(), window);
  EXPECT_EQ(::SendMessageA(view, DVM_GETCARET, 0, 0), 200);
  EXPECT_EQ(testsupport::WindowText(frame_), kDumpFrameTitle);
}

TEST_F(WholeDataFrame, TheChoiceCarriesToTheNextFrame) {
  const Bytes block = {'a', 0, 'b', 0};
  ASSERT_TRUE(testsupport::PutClipboardBytes(CF_TEXT, block.data(), block.size()));
  ASSERT_NE(Open(CF_TEXT, "CF_TEXT(1)"), nullptr);
  Toggle();
  ::DestroyWindow(frame_);
  ASSERT_NE(Open(CF_TEXT, "CF_TEXT(1)"), nullptr);
  EXPECT_TRUE(WholeDataChecked(frame_));
  EXPECT_EQ(Status(), "CF_TEXT(1), 4 bytes");
  EXPECT_EQ(Save(), block);
}

TEST_F(WholeDataFrame, AFailedReadEmptiesTheViewAsShowFormatDoes) {
  ASSERT_TRUE(testsupport::PutClipboardBytes(CF_TEXT, "abc", 4));
  ASSERT_NE(Open(CF_TEXT, "CF_TEXT(1)"), nullptr);
  testsupport::ClearClipboard();
  Toggle();
  EXPECT_EQ(testsupport::WindowText(frame_), kClipboardReadErrorTitle);
  EXPECT_EQ(Status(), "CF_TEXT(1)");
  EXPECT_TRUE(Save().empty());
}
