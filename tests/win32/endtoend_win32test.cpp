// The whole road of a user: Analyze in the real dialog, select a format, open
// the real "Binary dump" window with B, save its snapshot through the real
// save dialog, close it with B again.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/privateformats.h"
#include "browser/formatbrowser_win32.h"
#include "browser_harness.h"
#include "dumpframe_harness.h"
#include "testsupport.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using browsertest::BrowserDialog;
using browsertest::ItemCount;
using browsertest::ItemData;
using browsertest::ItemText;
using browsertest::SelectItem;

int ItemOfFormat(HWND list, UINT format) {
  for (int i = 0, n = ItemCount(list); i < n; ++i) {
    if (ItemData(list, i) == static_cast<LPARAM>(format)) return i;
  }
  return -1;
}

class EndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    sampleFormat_ = ::RegisterClipboardFormatA("Kelvane End To End Sample");
    Bytes binaryData = {10, 0, 0, 0};
    for (std::uint8_t i = 0; i < 10; ++i) binaryData.push_back(static_cast<std::uint8_t>(0xA0 + i));
    ASSERT_TRUE(testsupport::PutClipboardItems({
        {CF_TEXT, {'a', 'b', 'c', 0}},
        {sampleFormat_, {1, 2, 3, 4, 5}},
        {g_binaryDataFormat, binaryData},
    }));
  }

  void TearDown() override {
    for (const std::string& path : paths_) framehar::RemoveFile(path);
    testsupport::ClearClipboard();
  }

  // Selects format in the available list, presses B and saves what the
  // frame shows; closes the frame with B again. Returns the file's bytes.
  Bytes OpenAndSave(BrowserDialog& run, UINT format, std::string* statusText) {
    const int item = ItemOfFormat(run.availableList(), format);
    EXPECT_GE(item, 0);
    if (item < 0) return {};
    SelectItem(run.availableList(), item);
    run.Toggle();
    const HWND frame = g_dumpFrame;
    EXPECT_TRUE(::IsWindow(frame));
    EXPECT_TRUE(run.ToggleChecked());
    if (!::IsWindow(frame)) return {};
    *statusText = framehar::StatusText(framehar::StatusBarOf(frame));

    paths_.push_back(testsupport::TempPath("endtoend"));
    const framehar::SaveRun save = framehar::RunSave(frame, framehar::SaveScript{paths_.back()});
    EXPECT_TRUE(save.dialogSeen);
    EXPECT_TRUE(save.messages.empty()) << save.messages[0].text;

    run.Toggle();
    EXPECT_FALSE(::IsWindow(frame));
    EXPECT_FALSE(run.ToggleChecked());
    return testsupport::ReadFileBytes(paths_.back());
  }

  UINT sampleFormat_ = 0;
  std::vector<std::string> paths_;
};

}  // namespace

TEST_F(EndToEnd, BSavesEachFormatByItsSizeRule) {
  BrowserDialog run;
  ASSERT_NE(run.dialog(), nullptr);
  run.Analyze();

  std::string status;
  EXPECT_EQ(OpenAndSave(run, CF_TEXT, &status), (Bytes{'a', 'b', 'c', 0}));
  EXPECT_EQ(status, "CF_TEXT (1)");

  Bytes window(256, 0);
  std::memcpy(window.data(), "\x01\x02\x03\x04\x05", 5);
  EXPECT_EQ(OpenAndSave(run, sampleFormat_, &status), window);
  // The frame is handed at most 30 characters of the list's text.
  const std::string listed =
      ItemText(run.availableList(), ItemOfFormat(run.availableList(), sampleFormat_), 1);
  ASSERT_GT(listed.size(), 30u);
  EXPECT_EQ(status, listed.substr(0, 30));

  const Bytes binary = OpenAndSave(run, g_binaryDataFormat, &status);
  ASSERT_EQ(binary.size(), 14u);
  EXPECT_EQ(binary[0], 10);
  EXPECT_EQ(binary[13], 0xA9);
  EXPECT_EQ(status.rfind("BinaryData(0x", 0), 0u);
}
