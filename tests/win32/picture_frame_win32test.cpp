// View > Bytes and View > Picture in the real dump window: typed shortcuts,
// the menu's radio pair and greying, the choice outliving the frame, and
// what the Picture view says of real clipboard data read by the size rules.
#include <windows.h>
#include <gtest/gtest.h>

#include <string>

#include "app/resource.h"
#include "dumpframe/dumpframe.h"
#include "dumpframe_harness.h"
#include "picture/pictureview.h"
#include "testsupport.h"

namespace {

using framehar::Press;

std::wstring WideText(HWND window) {
  wchar_t text[512] = L"";
  ::GetWindowTextW(window, text, 512);
  return text;
}

bool Grayed(HMENU menu, UINT item, UINT by = MF_BYCOMMAND) {
  return (::GetMenuState(menu, item, by) & MF_GRAYED) != 0;
}
bool Checked(HMENU menu, UINT command) {
  return (::GetMenuState(menu, command, MF_BYCOMMAND) & MF_CHECKED) != 0;
}

class PictureFrame : public framehar::FrameTest {
 protected:
  void TearDown() override {
    // The choice outlives the frame: leave the next test the default.
    if (frame_ != nullptr) ::SendMessageA(frame_, WM_COMMAND, ID_VIEW_BYTES, 0);
    framehar::FrameTest::TearDown();
  }
  void Open(UINT format, const char* listText) {
    frame_ = framehar::CreateFrame(owner_->window(), format, listText);
    ASSERT_NE(frame_, nullptr);
    testsupport::PumpMessages(10);
  }
  HWND Picture() const { return ::FindWindowExA(frame_, nullptr, PICTUREVIEW_CLASS_NAME, nullptr); }
  void Type(WORD key) {
    ASSERT_TRUE(framehar::FocusForTyping(frame_));
    Press({key, true});
    testsupport::PumpMessages(60);
  }
  void OpenMenus() {
    HMENU menu = ::GetMenu(frame_);
    for (int position = 0; position < 3; ++position) {
      ::SendMessageA(frame_, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(::GetSubMenu(menu, position)),
                     position);
    }
  }
};

// Ctrl+2 shows the picture in place of the dump, greys what acts on bytes,
// and Ctrl+1 brings the dump back with its menu as before.
TEST_F(PictureFrame, CtrlTwoShowsThePictureAndGreysTheByteCommands) {
  ASSERT_TRUE(testsupport::PutClipboardBytes(CF_TEXT, "Kelvane", 8));
  Open(CF_TEXT, "CF_TEXT (1)");
  HMENU menu = ::GetMenu(frame_);
  EXPECT_TRUE(Checked(menu, ID_VIEW_BYTES));
  EXPECT_FALSE(::IsWindowVisible(Picture()));
  OpenMenus();
  EXPECT_TRUE(Grayed(menu, ID_VIEW_ZOOM_IN));
  EXPECT_FALSE(Grayed(menu, ID_EDIT_FIND));

  Type('2');
  EXPECT_TRUE(Checked(menu, ID_VIEW_PICTURE));
  EXPECT_FALSE(Checked(menu, ID_VIEW_BYTES));
  EXPECT_TRUE(::IsWindowVisible(Picture()));
  EXPECT_FALSE(::IsWindowVisible(framehar::DumpViewOf(frame_)));
  EXPECT_EQ(framehar::ChildRect(frame_, Picture()).bottom,
            framehar::ChildRect(frame_, framehar::DumpViewOf(frame_)).bottom);
  EXPECT_EQ(WideText(Picture()), L"CF_TEXT (1) holds no picture.");
  OpenMenus();
  HMENU view = ::GetSubMenu(menu, 2);
  EXPECT_TRUE(Grayed(view, 6, MF_BYPOSITION)) << "Encoding";
  for (UINT command : {ID_EDIT_COPY, ID_EDIT_COPY_TEXT, ID_EDIT_SELECT_ALL, ID_EDIT_FIND, ID_EDIT_FIND_NEXT,
                       ID_EDIT_FIND_PREVIOUS, ID_EDIT_GOTO, ID_ENCODING_UTF8}) {
    EXPECT_TRUE(Grayed(menu, command)) << command;
  }
  EXPECT_FALSE(Grayed(menu, ID_VIEW_ZOOM_IN));
  EXPECT_FALSE(Grayed(menu, ID_SAVE));
  // A greyed command's shortcut does nothing either: no Find box opens.
  Type('F');
  EXPECT_EQ(framehar::FindOwnedDialog(frame_, "Find"), nullptr);

  Type('1');
  EXPECT_TRUE(Checked(menu, ID_VIEW_BYTES));
  EXPECT_TRUE(::IsWindowVisible(framehar::DumpViewOf(frame_)));
  EXPECT_FALSE(::IsWindowVisible(Picture()));
  OpenMenus();
  EXPECT_FALSE(Grayed(view, 6, MF_BYPOSITION));
  EXPECT_FALSE(Grayed(menu, ID_EDIT_FIND));
}

// The choice lasts while the program runs: a frame opened later starts with
// the picture, and a new format shown in it goes to the picture too.
TEST_F(PictureFrame, TheChoiceOutlivesTheFrame) {
  ASSERT_TRUE(testsupport::PutClipboardBytes(CF_TEXT, "Kelvane", 8));
  Open(CF_TEXT, "CF_TEXT (1)");
  ::SendMessageA(frame_, WM_COMMAND, ID_VIEW_PICTURE, 0);
  ::DestroyWindow(frame_);
  Open(CF_TEXT, "CF_TEXT (1)");
  EXPECT_TRUE(Checked(::GetMenu(frame_), ID_VIEW_PICTURE));
  EXPECT_TRUE(::IsWindowVisible(Picture()));
  EXPECT_FALSE(::IsWindowVisible(framehar::DumpViewOf(frame_)));
  EXPECT_EQ(WideText(Picture()), L"CF_TEXT (1) holds no picture.");
  ::SendMessageA(frame_, DFM_SHOWFORMAT, CF_LOCALE, reinterpret_cast<LPARAM>("CF_LOCALE (16)"));
  EXPECT_EQ(WideText(Picture()), L"CF_LOCALE (16) holds no picture.");
}

// A PNG from an X11 program, read by the size rules: its first 256 bytes
// only, which the Picture view says instead of drawing half a picture.
TEST_F(PictureFrame, APngReadByTheSizeRulesAsksForWholeData) {
  const std::string path = "/tmp/kelvane-frame-" + std::to_string(::GetCurrentProcessId()) + ".png";
  ASSERT_TRUE(testsupport::RunHostCommand(
      "convert -size 40x30 xc:none -fill red -draw 'circle 20,15 20,5' PNG32:" + path +
      " && xclip -selection clipboard -t image/png -i " + path));
  const UINT png = ::RegisterClipboardFormatA("PNG");
  ASSERT_TRUE(testsupport::WaitUntil([&] { return !testsupport::ClipboardBytes(png).empty(); }, 30000));
  char listText[32];
  wsprintfA(listText, "PNG(0x%04X)", png);
  Open(png, listText);
  Type('2');
  EXPECT_EQ(WideText(Picture()),
            L"Only the first 256 bytes were read. View \u25B8 Whole Data (Ctrl+E) reads the whole picture.");
}

}  // namespace
