// File > Save driven through the real save dialog: the file holds exactly
// the snapshot's bytes, and failures are told in a message box owned by the
// frame.
#include <windows.h>
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "app/privateformats.h"
#include "dumpframe/dumpframe.h"
#include "dumpframe_harness.h"
#include "testsupport.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using framehar::SaveRun;
using framehar::SaveScript;

class DumpFrameSave : public framehar::FrameTest {
 protected:
  void TearDown() override {
    FrameTest::TearDown();
    for (const std::string& path : paths_) framehar::RemoveFile(path);
  }

  HWND Open(std::uint32_t format) {
    if (testsupport::OpenClipboardRetry()) ::CloseClipboard();
    frame_ = framehar::CreateFrame(owner_->window(), format, "status");
    testsupport::PumpMessages(10);
    return frame_;
  }

  std::string NewPath(const char* stem) {
    paths_.push_back(testsupport::TempPath(stem));
    return paths_.back();
  }

  // Saves to a new file; the run must have seen the dialog and no message.
  Bytes SaveAndRead() {
    const std::string path = NewPath("save");
    const SaveRun run = framehar::RunSave(frame_, SaveScript{path});
    EXPECT_TRUE(run.dialogSeen);
    EXPECT_EQ(run.dialogTitle, "Save File Name");
    EXPECT_FALSE(run.timedOut);
    EXPECT_TRUE(run.prompts.empty());
    EXPECT_TRUE(run.messages.empty()) << (run.messages.empty() ? "" : run.messages[0].text);
    EXPECT_TRUE(framehar::FileExists(path));
    return testsupport::ReadFileBytes(path);
  }

  std::vector<std::string> paths_;
};

}  // namespace

TEST_F(DumpFrameSave, TextSavesWithItsTerminator) {
  ASSERT_TRUE(testsupport::PutClipboardBytes(CF_TEXT, "abc", 4));
  ASSERT_NE(Open(CF_TEXT), nullptr);
  EXPECT_EQ(SaveAndRead(), (Bytes{'a', 'b', 'c', 0}));
}

TEST_F(DumpFrameSave, RegisteredFormatSavesTheFixedWindow) {
  const UINT format = ::RegisterClipboardFormatA("Kelvane Save Test Format");
  const Bytes block = {9, 8, 7, 6, 5};
  ASSERT_TRUE(testsupport::PutClipboardBytes(format, block.data(), block.size()));
  ASSERT_NE(Open(format), nullptr);
  Bytes expected(256, 0);
  std::memcpy(expected.data(), block.data(), block.size());
  EXPECT_EQ(SaveAndRead(), expected);
}

TEST_F(DumpFrameSave, BinaryDataSavesWordAndPayload) {
  Bytes block(4 + 1000 + 16);
  const std::uint32_t payload = 1000;
  std::memcpy(block.data(), &payload, 4);
  for (std::size_t i = 4; i < block.size(); ++i) block[i] = static_cast<std::uint8_t>(i * 13);
  ASSERT_TRUE(testsupport::PutClipboardBytes(g_binaryDataFormat, block.data(), block.size()));
  ASSERT_NE(Open(g_binaryDataFormat), nullptr);
  EXPECT_EQ(SaveAndRead(), Bytes(block.begin(), block.begin() + 1004));
}

TEST_F(DumpFrameSave, NoSnapshotSavesAnEmptyFile) {
  testsupport::ClearClipboard();
  ASSERT_NE(Open(CF_TEXT), nullptr);
  ASSERT_EQ(testsupport::WindowText(frame_), "Clipboard Read Error !!");
  EXPECT_TRUE(SaveAndRead().empty());
}

TEST_F(DumpFrameSave, ExistingFileIsReplacedAfterThePrompt) {
  ASSERT_TRUE(testsupport::PutClipboardBytes(CF_TEXT, "new", 4));
  ASSERT_NE(Open(CF_TEXT), nullptr);
  const std::string path = NewPath("replace");
  HANDLE file =
      ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  ::WriteFile(file, "old contents, longer", 20, &written, nullptr);
  ::CloseHandle(file);

  const SaveRun run = framehar::RunSave(frame_, SaveScript{path});
  EXPECT_EQ(run.prompts.size(), 1u);
  EXPECT_TRUE(run.messages.empty());
  EXPECT_EQ(testsupport::ReadFileBytes(path), (Bytes{'n', 'e', 'w', 0}));
}

TEST_F(DumpFrameSave, CancelWritesNothing) {
  ASSERT_TRUE(testsupport::PutClipboardBytes(CF_TEXT, "abc", 4));
  ASSERT_NE(Open(CF_TEXT), nullptr);
  const std::string path = NewPath("cancel");
  SaveScript script{path};
  script.cancel = true;
  const SaveRun run = framehar::RunSave(frame_, script);
  EXPECT_TRUE(run.dialogSeen);
  EXPECT_FALSE(run.timedOut);
  EXPECT_TRUE(run.messages.empty());
  EXPECT_FALSE(framehar::FileExists(path));
}

TEST_F(DumpFrameSave, FileThatCannotBeCreatedIsReported) {
  ASSERT_TRUE(testsupport::PutClipboardBytes(CF_TEXT, "abc", 4));
  ASSERT_NE(Open(CF_TEXT), nullptr);
  // The path passes the dialog (it exists, the overwrite prompt is answered
  // Yes) but is held open here without sharing, so it cannot be created.
  const std::string path = NewPath("locked");
  HANDLE held = ::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  ::WriteFile(held, "kept", 4, &written, nullptr);

  const SaveRun run = framehar::RunSave(frame_, SaveScript{path});
  ::CloseHandle(held);
  EXPECT_FALSE(run.timedOut);
  EXPECT_EQ(run.prompts.size(), 1u);
  ASSERT_EQ(run.messages.size(), 1u);
  EXPECT_EQ(run.messages[0].text, "File Open Error !!");
  EXPECT_EQ(run.messages[0].owner, frame_);
  EXPECT_EQ(run.messages[0].caption, "Error");  // the system's caption: none of its own
  EXPECT_EQ(testsupport::ReadFileBytes(path), (Bytes{'k', 'e', 'p', 't'}));
}

TEST_F(DumpFrameSave, SaveAfterShowFormatWritesTheNewSnapshot) {
  const UINT format = ::RegisterClipboardFormatA("Kelvane Save Test Format");
  Bytes custom(400);
  for (std::size_t i = 0; i < custom.size(); ++i) custom[i] = static_cast<std::uint8_t>(255 - i);
  ASSERT_TRUE(testsupport::PutClipboardItems({{CF_TEXT, {'a', 'b', 'c', 0}}, {format, custom}}));
  ASSERT_NE(Open(CF_TEXT), nullptr);
  if (testsupport::OpenClipboardRetry()) ::CloseClipboard();
  ::SendMessageA(frame_, DFM_SHOWFORMAT, format, reinterpret_cast<LPARAM>("Kelvane Save Test Format"));
  EXPECT_EQ(SaveAndRead(), Bytes(custom.begin(), custom.begin() + 256));

  // Only a status text: the snapshot stays the one just saved.
  ::SendMessageA(frame_, DFM_SHOWFORMAT, 0, reinterpret_cast<LPARAM>("Clipboard Data has Changed."));
  EXPECT_EQ(SaveAndRead(), Bytes(custom.begin(), custom.begin() + 256));

  // A failed read leaves no snapshot: an empty file.
  testsupport::ClearClipboard();
  ::SendMessageA(frame_, DFM_SHOWFORMAT, CF_TEXT, reinterpret_cast<LPARAM>("CF_TEXT (1)"));
  EXPECT_TRUE(SaveAndRead().empty());
}
