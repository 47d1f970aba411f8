// Kelvane against misbehaving clipboard owners in another process, through
// the real format browser, "Binary dump" window and save dialog: an owner
// that promises data and renders nothing (or dies while asked), blocks
// shorter than their content claims, an owner that leaves while its data is
// open, and a clipboard held open during Analyze, B and Save. Each ends with
// the title or file the user is meant to see, and no message box.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/privateformats.h"
#include "browser/formatbrowser_win32.h"
#include "browser_harness.h"
#include "clipboard_fault_owner.h"
#include "dumpframe_harness.h"
#include "dumpview/viewport_win32.h"
#include "testsupport.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using browsertest::BrowserDialog;
using faulttest::ForeignOwner;

constexpr char kReadError[] = "Clipboard Read Error !!";
constexpr char kBinaryDump[] = "Binary dump";

using browsertest::ItemOfFormat;

class ClipboardFaults : public ::testing::Test {
 protected:
  void TearDown() override {
    for (const std::string& path : paths_) framehar::RemoveFile(path);
    testsupport::ClearClipboard();
  }

  // Selects format in the available list and presses B: the open frame, or
  // none.
  static HWND OpenWithB(BrowserDialog& run, UINT format) {
    const int item = ItemOfFormat(run.availableList(), format);
    EXPECT_GE(item, 0) << "format " << format << " is not listed";
    if (item < 0) return nullptr;
    browsertest::SelectItem(run.availableList(), item);
    run.Toggle();
    EXPECT_TRUE(run.ToggleChecked());
    return ::IsWindow(g_dumpFrame) ? g_dumpFrame : nullptr;
  }

  static void CloseWithB(BrowserDialog& run) {
    run.Toggle();
    EXPECT_EQ(g_dumpFrame, nullptr);
  }

  // Saves through the real dialog; no message box may appear.
  Bytes Save(HWND frame) {
    paths_.push_back(testsupport::TempPath("fault"));
    const framehar::SaveRun run = framehar::RunSave(frame, framehar::SaveScript{paths_.back()});
    EXPECT_TRUE(run.dialogSeen);
    EXPECT_FALSE(run.timedOut);
    EXPECT_TRUE(run.messages.empty()) << run.messages[0].text;
    EXPECT_TRUE(framehar::FileExists(paths_.back()));
    return testsupport::ReadFileBytes(paths_.back());
  }

  static std::uint32_t ShownLength(HWND frame) {
    const DumpViewState* state = DumpViewStateOf(framehar::DumpViewOf(frame));
    return state != nullptr ? state->dataLength : 0xFFFFFFFFu;
  }

  // What a frame without a snapshot shows the user: the read error in its
  // title, an empty view, no message box, and an empty file when saved.
  void ExpectReadError(HWND frame) {
    EXPECT_EQ(testsupport::WindowText(frame), kReadError);
    EXPECT_EQ(ShownLength(frame), 0u);
    EXPECT_TRUE(faulttest::OwnMessageBoxes().empty());
    EXPECT_TRUE(Save(frame).empty());
  }

  std::vector<std::string> paths_;
};

Bytes Word(std::uint32_t value) {
  return {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
          static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
}

}  // namespace

// A promise that is never kept, whether the owner answers without data or
// dies while asked: the frame opens with the read error in its title, the
// save writes an empty file, the browser goes on working.
TEST_F(ClipboardFaults, PromisedDataThatNeverComesIsAReadError) {
  const char* formatName = "Kelvane Fault Promised";
  const UINT format = ::RegisterClipboardFormatA(formatName);
  for (const bool die : {false, true}) {
    SCOPED_TRACE(die ? "owner dies" : "owner renders nothing");
    ForeignOwner owner;
    ASSERT_TRUE(die ? owner.PromiseAndDie(formatName) : owner.PromiseAndRenderNothing(formatName));
    BrowserDialog run;
    ASSERT_NE(run.dialog(), nullptr);
    run.Analyze();
    const HWND frame = OpenWithB(run, format);
    ASSERT_NE(frame, nullptr);
    ExpectReadError(frame);
    CloseWithB(run);
    run.Analyze();  // still answering
    EXPECT_GT(browsertest::ItemCount(run.registeredList()), 0);
  }
}

// Blocks whose content claims more than they hold, from another process: each
// snapshot ends at its block's end, and the file holds exactly what the
// platform handed over, cut by the format's rule.
TEST_F(ClipboardFaults, ShortBlocksAreCutAtTheirEnd) {
  Bytes lying = Word(0x7FFFFFF0);
  for (std::uint8_t i = 0; i < 10; ++i) lying.push_back(static_cast<std::uint8_t>(0xB0 + i));
  const Bytes noTerminator = {'n', 'o', ' ', 'e', 'n', 'd'};
  const Bytes oddUnicode = {'o', 0, 'd', 0, 'd'};
  ForeignOwner owner;
  ASSERT_TRUE(owner.Put({{"BinaryData", lying},
                         {"1", noTerminator},
                         {"13", oddUnicode},
                         {"FileName", noTerminator},
                         {"FileNameW", oddUnicode}}));
  // The private formats arrive as they were put; text may arrive ended by
  // the platform, which the expectation follows.
  EXPECT_EQ(faulttest::PlatformBlock(g_binaryDataFormat), lying);
  EXPECT_EQ(faulttest::PlatformBlock(g_fileNameFormat), noTerminator);
  BrowserDialog run;
  ASSERT_NE(run.dialog(), nullptr);
  run.Analyze();
  for (const UINT format : {g_binaryDataFormat, static_cast<UINT>(CF_TEXT), static_cast<UINT>(CF_UNICODETEXT),
                            g_fileNameFormat, g_fileNameWFormat}) {
    SCOPED_TRACE(format);
    const Bytes expected = faulttest::ExpectedSnapshot(format, faulttest::PlatformBlock(format));
    const HWND frame = OpenWithB(run, format);
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(testsupport::WindowText(frame), kBinaryDump);
    EXPECT_EQ(ShownLength(frame), expected.size());
    EXPECT_EQ(Save(frame), expected);
    CloseWithB(run);
  }
  ASSERT_TRUE(owner.Leave());

  const Bytes stub = {9, 0};  // not even a whole length word
  ASSERT_TRUE(owner.Put({{"BinaryData", stub}}));
  run.Analyze();
  const HWND frame = OpenWithB(run, g_binaryDataFormat);
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(Save(frame), stub);
  CloseWithB(run);
}

// The owner's process ends while its data is open in a dump: the snapshot
// is Kelvane's own, so it still shows, repaints and saves byte for byte.
TEST_F(ClipboardFaults, OwnerLeavingDoesNotTakeTheSnapshot) {
  Bytes block = Word(100000);
  for (std::uint32_t i = 0; i < 100000; ++i) block.push_back(static_cast<std::uint8_t>(i * 7 + (i >> 9)));
  ForeignOwner owner;
  ASSERT_TRUE(owner.Put({{"BinaryData", block}}));
  BrowserDialog run;
  ASSERT_NE(run.dialog(), nullptr);
  run.Analyze();
  const HWND frame = OpenWithB(run, g_binaryDataFormat);
  ASSERT_NE(frame, nullptr);

  ASSERT_TRUE(owner.Leave());
  ::RedrawWindow(frame, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  testsupport::PumpMessages(50);
  EXPECT_TRUE(::IsWindow(frame));
  EXPECT_EQ(testsupport::WindowText(frame), kBinaryDump);
  EXPECT_EQ(ShownLength(frame), block.size());
  EXPECT_EQ(Save(frame), block);
  CloseWithB(run);
}

// Another program holds the clipboard open: Analyze lists no available
// format, B opens a frame titled with the read error, and neither says more.
TEST_F(ClipboardFaults, HeldClipboardDuringAnalyzeAndB) {
  ASSERT_TRUE(testsupport::PutClipboardBytes(CF_TEXT, "held", 5));
  BrowserDialog run;
  ASSERT_NE(run.dialog(), nullptr);
  {
    ForeignOwner holder;
    ASSERT_TRUE(holder.Hold());
    run.Analyze();
    EXPECT_GT(browsertest::ItemCount(run.registeredList()), 0);
    EXPECT_EQ(browsertest::ItemCount(run.availableList()), 0);
    EXPECT_TRUE(faulttest::OwnMessageBoxes().empty());
  }

  run.Analyze();
  ASSERT_GE(ItemOfFormat(run.availableList(), CF_TEXT), 0);
  ForeignOwner holder;
  ASSERT_TRUE(holder.Hold());
  const HWND frame = OpenWithB(run, CF_TEXT);
  ASSERT_NE(frame, nullptr);
  ExpectReadError(frame);
  CloseWithB(run);
}

// Saving needs nothing of the clipboard: held by another program, the open
// snapshot saves whole. A selection change then cannot read the clipboard:
// the frame says so in its title and holds no snapshot.
TEST_F(ClipboardFaults, HeldClipboardDuringSaveAndSelectionChange) {
  const UINT sample = ::RegisterClipboardFormatA("Kelvane Fault Sample");
  Bytes sampleBytes(300);
  for (std::size_t i = 0; i < sampleBytes.size(); ++i) sampleBytes[i] = static_cast<std::uint8_t>(i);
  ASSERT_TRUE(testsupport::PutClipboardItems({{CF_TEXT, {'k', 'e', 'p', 't', 0}}, {sample, sampleBytes}}));
  BrowserDialog run;
  ASSERT_NE(run.dialog(), nullptr);
  run.Analyze();
  const HWND frame = OpenWithB(run, CF_TEXT);
  ASSERT_NE(frame, nullptr);

  ForeignOwner holder;
  ASSERT_TRUE(holder.Hold());
  EXPECT_EQ(Save(frame), (Bytes{'k', 'e', 'p', 't', 0}));

  browsertest::SelectItem(run.availableList(), ItemOfFormat(run.availableList(), sample));
  EXPECT_EQ(g_dumpFrame, frame);
  ExpectReadError(frame);
  CloseWithB(run);
}

// Another program holds the clipboard while Ctrl+C copies a format's name:
// the user is told so, and the clipboard keeps everything it held.
TEST_F(ClipboardFaults, HeldClipboardDuringNameCopy) {
  const UINT sample = ::RegisterClipboardFormatA("Kelvane Fault Sample");
  const Bytes text = {'k', 'e', 'p', 't', 0};
  const Bytes sampleBytes = {1, 2, 3, 0, 5};
  ASSERT_TRUE(testsupport::PutClipboardItems({{CF_TEXT, text}, {sample, sampleBytes}}));
  const std::vector<UINT> formats = testsupport::ClipboardFormats();
  BrowserDialog run;
  ASSERT_NE(run.dialog(), nullptr);
  run.Analyze();
  const HWND list = run.availableList();
  browsertest::SelectItem(list, ItemOfFormat(list, sample));
  ::SendMessageA(run.dialog(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(list), TRUE);

  ForeignOwner holder;
  ASSERT_TRUE(holder.Hold());
  ::PostMessageA(list, WM_CHAR, 3, 0x002E0001);  // Ctrl+C, as the list receives it
  std::vector<HWND> boxes;
  ASSERT_TRUE(testsupport::WaitUntil([&] { return !(boxes = faulttest::OwnMessageBoxes()).empty(); }));
  EXPECT_EQ(::GetWindow(boxes[0], GW_OWNER), run.dialog());
  EXPECT_EQ(testsupport::WindowText(::GetDlgItem(boxes[0], 0xFFFF)), "Clipboard Open Error!");
  ::PostMessageA(boxes[0], WM_COMMAND, IDOK, 0);
  EXPECT_TRUE(testsupport::WaitUntil([] { return faulttest::OwnMessageBoxes().empty(); }));
  ASSERT_TRUE(holder.Leave());

  EXPECT_EQ(testsupport::ClipboardFormats(), formats);
  EXPECT_EQ(faulttest::PlatformBlock(CF_TEXT), text);
  EXPECT_EQ(faulttest::PlatformBlock(sample), sampleBytes);
  run.Analyze();  // still answering
  EXPECT_GE(ItemOfFormat(list, sample), 0);
}
