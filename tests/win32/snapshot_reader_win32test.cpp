// ReadClipboardFormat against the real clipboard: the size rules on real
// global blocks, failures, and the clipboard left closed on every path.
#include <windows.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "app/privateformats.h"
#include "snapshot/snapshot.h"
#include "testsupport.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

struct Snapshot {
  bool ok = false;
  std::uint8_t* buffer = nullptr;
  std::uint32_t length = 0;
  Bytes bytes() const { return buffer != nullptr ? Bytes(buffer, buffer + length) : Bytes(); }
};

class SnapshotReader : public ::testing::Test {
 protected:
  void TearDown() override {
    for (Snapshot& s : taken_) FreeSnapshot(s.buffer);
    testsupport::ClearClipboard();
  }

  // Reads format; the clipboard must be free again afterwards.
  Snapshot Read(std::uint32_t format) {
    Snapshot s;
    // Wine's clipboard manager may still be looking at the last change.
    WaitForFreeClipboard();
    s.ok = ReadClipboardFormat(nullptr, format, &s.buffer, &s.length);
    taken_.push_back(s);
    EXPECT_TRUE(OtherThreadCanOpenClipboard()) << "the reader left the clipboard open";
    // A snapshot is none exactly when its length is 0.
    EXPECT_EQ(s.buffer == nullptr, s.length == 0);
    return s;
  }

  // This thread could reopen a clipboard it left open; another thread with
  // its own window cannot.
  static bool OtherThreadCanOpenClipboard() {
    bool opened = false;
    std::thread other([&opened] {
      HWND window = ::CreateWindowExA(0, "STATIC", "other", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                      ::GetModuleHandleA(nullptr), nullptr);
      opened = testsupport::OpenClipboardRetry(window);
      if (opened) ::CloseClipboard();
      ::DestroyWindow(window);
    });
    other.join();
    return opened;
  }

  static void WaitForFreeClipboard() {
    ASSERT_TRUE(testsupport::OpenClipboardRetry());
    ::CloseClipboard();
  }

  static Bytes Text(const std::string& s, bool withTerminator = true) {
    Bytes b(s.begin(), s.end());
    if (withTerminator) b.push_back(0);
    return b;
  }

  static Bytes BinaryDataBlock(std::uint32_t word, std::uint32_t payload) {
    Bytes b(4 + payload);
    std::memcpy(b.data(), &word, 4);
    for (std::uint32_t i = 0; i < payload; ++i) b[4 + i] = static_cast<std::uint8_t>(i + 1);
    return b;
  }

  std::vector<Snapshot> taken_;
};

UINT TestFormat() { return ::RegisterClipboardFormatA("Kelvane Snapshot Test Format"); }

}  // namespace

TEST_F(SnapshotReader, PrivateFormatsAreRegistered) {
  EXPECT_EQ(g_binaryDataFormat, ::RegisterClipboardFormatA("BinaryData"));
  EXPECT_EQ(g_fileNameFormat, ::RegisterClipboardFormatA("FileName"));
  EXPECT_EQ(g_fileNameWFormat, ::RegisterClipboardFormatA("FileNameW"));
}

TEST_F(SnapshotReader, TextFormatsKeepTextAndTerminator) {
  ASSERT_TRUE(testsupport::PutClipboardBytes(CF_TEXT, "abc", 4));
  Snapshot text = Read(CF_TEXT);
  ASSERT_TRUE(text.ok);
  EXPECT_EQ(text.bytes(), Text("abc"));

  // The same text as synthesised UTF-16: three units and a zero unit.
  Snapshot unicode = Read(CF_UNICODETEXT);
  ASSERT_TRUE(unicode.ok);
  EXPECT_EQ(unicode.bytes(), (Bytes{'a', 0, 'b', 0, 'c', 0, 0, 0}));

  Snapshot oem = Read(CF_OEMTEXT);
  ASSERT_TRUE(oem.ok);
  EXPECT_EQ(oem.bytes(), Text("abc"));
}

TEST_F(SnapshotReader, TextStopsAtItsFirstTerminator) {
  const Bytes block = {'x', 'y', 0, 'z', 'z', 0, 0, 0};
  ASSERT_TRUE(testsupport::PutClipboardBytes(CF_TEXT, block.data(), block.size()));
  EXPECT_EQ(Read(CF_TEXT).bytes(), Text("xy"));

  const Bytes unicode = {'h', 0, 'i', 0, 0, 0, 'z', 0, 0, 0};
  ASSERT_TRUE(testsupport::PutClipboardBytes(CF_UNICODETEXT, unicode.data(), unicode.size()));
  EXPECT_EQ(Read(CF_UNICODETEXT).bytes(), (Bytes{'h', 0, 'i', 0, 0, 0}));
}

TEST_F(SnapshotReader, EmptyTexts) {
  ASSERT_TRUE(testsupport::PutClipboardItems(
      {{CF_TEXT, {0}}, {g_fileNameFormat, {0, 'x'}}, {g_fileNameWFormat, {0, 0, 'y', 0}}}));
  EXPECT_EQ(Read(CF_TEXT).bytes(), Bytes{0});
  EXPECT_EQ(Read(g_fileNameFormat).bytes(), Bytes{0});
  EXPECT_EQ(Read(g_fileNameWFormat).bytes(), (Bytes{0, 0}));
}

TEST_F(SnapshotReader, FileNamesAreTexts) {
  const Bytes name = Text("C:\\temp\\a.txt");
  Bytes padded = name;
  padded.insert(padded.end(), {'j', 'u', 'n', 'k'});
  const Bytes wide = {'C', 0, ':', 0, 0, 0, 'q', 0};
  ASSERT_TRUE(testsupport::PutClipboardItems({{g_fileNameFormat, padded}, {g_fileNameWFormat, wide}}));
  EXPECT_EQ(Read(g_fileNameFormat).bytes(), name);
  EXPECT_EQ(Read(g_fileNameWFormat).bytes(), (Bytes{'C', 0, ':', 0, 0, 0}));
}

TEST_F(SnapshotReader, TextWithoutTerminatorEndsAtTheBlock) {
  // The allocation is exactly as large as the bytes (GlobalSize answers it),
  // so the cut is at the last byte put.
  const Bytes text = Text("no terminator here", false);
  const Bytes wide = {'o', 0, 'd', 0, 'd'};
  ASSERT_TRUE(testsupport::PutClipboardItems({{g_fileNameFormat, text}, {g_fileNameWFormat, wide}}));
  EXPECT_EQ(Read(g_fileNameFormat).bytes(), text);
  EXPECT_EQ(Read(g_fileNameWFormat).bytes(), wide);
}

TEST_F(SnapshotReader, RegisteredFormatGetsTheFixedWindow) {
  const UINT format = TestFormat();
  ASSERT_NE(format, 0u);
  Bytes shortBlock = {1, 2, 3, 4, 5};
  ASSERT_TRUE(testsupport::PutClipboardBytes(format, shortBlock.data(), shortBlock.size()));
  Snapshot s = Read(format);
  ASSERT_TRUE(s.ok);
  Bytes expected(256, 0);
  std::memcpy(expected.data(), shortBlock.data(), shortBlock.size());
  EXPECT_EQ(s.bytes(), expected);

  Bytes longBlock(1000);
  for (std::size_t i = 0; i < longBlock.size(); ++i) longBlock[i] = static_cast<std::uint8_t>(i ^ 0x5A);
  ASSERT_TRUE(testsupport::PutClipboardBytes(format, longBlock.data(), longBlock.size()));
  EXPECT_EQ(Read(format).bytes(), Bytes(longBlock.begin(), longBlock.begin() + 256));
}

TEST_F(SnapshotReader, BinaryDataKeepsWordAndPayload) {
  const Bytes block = BinaryDataBlock(10, 10);
  ASSERT_TRUE(testsupport::PutClipboardBytes(g_binaryDataFormat, block.data(), block.size()));
  Snapshot s = Read(g_binaryDataFormat);
  ASSERT_TRUE(s.ok);
  EXPECT_EQ(s.length, 14u);
  EXPECT_EQ(s.bytes(), block);

  // Bytes beyond the promised payload are not part of the snapshot.
  Bytes longer = BinaryDataBlock(2, 20);
  ASSERT_TRUE(testsupport::PutClipboardBytes(g_binaryDataFormat, longer.data(), longer.size()));
  EXPECT_EQ(Read(g_binaryDataFormat).bytes(), Bytes(longer.begin(), longer.begin() + 6));
}

TEST_F(SnapshotReader, LyingLengthWordIsCutAtTheBlock) {
  for (std::uint32_t word : {1000u, 0xFFFFFFFFu, 0xFFFFFFFDu}) {
    const Bytes block = BinaryDataBlock(word, 6);
    ASSERT_TRUE(testsupport::PutClipboardBytes(g_binaryDataFormat, block.data(), block.size()));
    Snapshot s = Read(g_binaryDataFormat);
    ASSERT_TRUE(s.ok) << word;
    EXPECT_EQ(s.bytes(), block) << word;
  }
  // Shorter than a length word: the bytes that are there.
  const Bytes stub = {7, 0};
  ASSERT_TRUE(testsupport::PutClipboardBytes(g_binaryDataFormat, stub.data(), stub.size()));
  EXPECT_EQ(Read(g_binaryDataFormat).bytes(), stub);
}

TEST_F(SnapshotReader, HandleFormatStoresTheHandleValue) {
  HDC screen = ::GetDC(nullptr);
  HBITMAP bitmap = ::CreateCompatibleBitmap(screen, 4, 4);
  ::ReleaseDC(nullptr, screen);
  ASSERT_NE(bitmap, nullptr);
  ASSERT_TRUE(testsupport::OpenClipboardRetry());
  ::EmptyClipboard();
  ASSERT_NE(::SetClipboardData(CF_BITMAP, bitmap), nullptr);
  ::CloseClipboard();

  Snapshot s = Read(CF_BITMAP);
  ASSERT_TRUE(s.ok);
  ASSERT_EQ(s.length, sizeof(HANDLE));  // the full value: 8 bytes on 64-bit Windows
  ASSERT_TRUE(testsupport::OpenClipboardRetry());
  const auto expected = reinterpret_cast<ULONG_PTR>(::GetClipboardData(CF_BITMAP));
  ::CloseClipboard();
  ULONG_PTR stored = 0;
  std::memcpy(&stored, s.buffer, sizeof(stored));
  EXPECT_EQ(stored, expected);
  EXPECT_NE(stored, 0u);
}

TEST_F(SnapshotReader, MissingFormatFails) {
  ASSERT_TRUE(testsupport::PutClipboardBytes(CF_TEXT, "abc", 4));
  Snapshot s = Read(TestFormat());
  EXPECT_FALSE(s.ok);
  EXPECT_EQ(s.buffer, nullptr);
  EXPECT_EQ(s.length, 0u);

  testsupport::ClearClipboard();
  Snapshot none = Read(CF_TEXT);
  EXPECT_FALSE(none.ok);
  EXPECT_EQ(none.buffer, nullptr);
}

TEST_F(SnapshotReader, ClipboardHeldByAnotherThreadFails) {
  ASSERT_TRUE(testsupport::PutClipboardBytes(CF_TEXT, "abc", 4));
  WaitForFreeClipboard();
  HANDLE opened = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
  HANDLE release = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
  std::thread holder([&] {
    // Another window holds it: the owner of an open clipboard is its window.
    HWND window = ::CreateWindowExA(0, "STATIC", "holder", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                    ::GetModuleHandleA(nullptr), nullptr);
    if (testsupport::OpenClipboardRetry(window)) {
      ::SetEvent(opened);
      ::WaitForSingleObject(release, 10000);
      ::CloseClipboard();
    }
    ::DestroyWindow(window);
  });
  ASSERT_EQ(::WaitForSingleObject(opened, 5000), WAIT_OBJECT_0);
  std::uint8_t* buffer = reinterpret_cast<std::uint8_t*>(1);
  std::uint32_t length = 99;
  const bool ok = ReadClipboardFormat(nullptr, CF_TEXT, &buffer, &length);
  ::SetEvent(release);
  holder.join();
  ::CloseHandle(opened);
  ::CloseHandle(release);
  EXPECT_FALSE(ok);
  EXPECT_EQ(buffer, nullptr);
  EXPECT_EQ(length, 0u);
  // Once the other thread has let go the same read succeeds.
  EXPECT_EQ(Read(CF_TEXT).bytes(), Text("abc"));
}
