// Whole Data reads against the real clipboard: a text's bytes past its
// terminator, and each GDI object converted to the bytes that describe it.
#include <windows.h>
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "snapshot/snapshot.h"
#include "testsupport.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

struct WholeRead {
  bool ok = false;
  Bytes bytes;
  SnapshotFacts facts = {};
};

WholeRead ReadWhole(std::uint32_t format) {
  if (testsupport::OpenClipboardRetry()) ::CloseClipboard();
  WholeRead read;
  std::uint8_t* buffer = nullptr;
  std::uint32_t length = 0;
  read.ok = ReadClipboardSnapshot(nullptr, format, true, &buffer, &length, &read.facts);
  if (buffer != nullptr) read.bytes.assign(buffer, buffer + length);
  FreeSnapshot(buffer);
  return read;
}

// Puts one GDI object (or a block) on the emptied clipboard, which takes it.
bool PutHandle(UINT format, HANDLE handle) {
  if (handle == nullptr || !testsupport::OpenClipboardRetry()) return false;
  ::EmptyClipboard();
  const bool ok = ::SetClipboardData(format, handle) != nullptr;
  ::CloseClipboard();
  return ok;
}

class WholeDataReader : public ::testing::Test {
 protected:
  void TearDown() override { testsupport::ClearClipboard(); }
};

}  // namespace

TEST_F(WholeDataReader, TextKeepsTheBytesAfterItsTerminator) {
  // Wine zeroes a text block's last byte; the bytes before it are as put.
  const Bytes block = {'a', 'b', 0, 'x', 'y', 0, 7, 0};
  ASSERT_TRUE(testsupport::PutClipboardBytes(CF_TEXT, block.data(), block.size()));
  const WholeRead read = ReadWhole(CF_TEXT);
  ASSERT_TRUE(read.ok);
  EXPECT_EQ(read.bytes, block);
  EXPECT_EQ(read.facts.kind, SnapshotKind::WholeData);
  EXPECT_EQ(read.facts.blockSize, block.size());
  EXPECT_FALSE(read.facts.cut);
  EXPECT_EQ(read.facts.sequenceNumber, ::GetClipboardSequenceNumber());
}

TEST_F(WholeDataReader, BitmapIsAPackedDibAtItsOwnDepth) {
  struct Case {
    UINT depth;
    Bytes pixels;    // what CreateBitmap gets: rows of 16-bit multiples
    Bytes expected;  // header fields checked apart; colour table + rows
  };
  const Case cases[] = {
      // 3 x 2 monochrome: rows of 4 bytes, bottom-up, after a black and white table.
      {1, {0xA0, 0, 0x40, 0}, {0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0, 0x40, 0, 0, 0, 0xA0, 0, 0, 0}},
      // 2 x 1 at 32 bits: the pixels as they are.
      {32, {1, 2, 3, 0, 4, 5, 6, 0}, {1, 2, 3, 0, 4, 5, 6, 0}},
  };
  for (const Case& c : cases) {
    const int width = c.depth == 1 ? 3 : 2;
    const int height = c.depth == 1 ? 2 : 1;
    ASSERT_TRUE(PutHandle(CF_BITMAP, ::CreateBitmap(width, height, 1, c.depth, c.pixels.data())));
    const WholeRead read = ReadWhole(CF_BITMAP);
    ASSERT_TRUE(read.ok) << c.depth;
    ASSERT_EQ(read.bytes.size(), 40 + c.expected.size()) << c.depth;
    BITMAPINFOHEADER header;
    std::memcpy(&header, read.bytes.data(), sizeof(header));
    EXPECT_EQ(header.biSize, 40u);
    EXPECT_EQ(header.biWidth, width);
    EXPECT_EQ(header.biHeight, height);
    EXPECT_EQ(header.biBitCount, c.depth);
    EXPECT_EQ(header.biCompression, static_cast<DWORD>(BI_RGB));
    EXPECT_EQ(Bytes(read.bytes.begin() + 40, read.bytes.end()), c.expected) << c.depth;
    EXPECT_EQ(read.facts.blockSize, read.bytes.size());
  }
}

TEST_F(WholeDataReader, PaletteIsALogPalette) {
  alignas(LOGPALETTE)
      std::uint8_t record[4 + 3 * 4] = {0, 3, 3, 0, 10, 20, 30, 0, 40, 50, 60, 0, 70, 80, 90, 0};
  ASSERT_TRUE(PutHandle(CF_PALETTE, ::CreatePalette(reinterpret_cast<LOGPALETTE*>(record))));
  const WholeRead read = ReadWhole(CF_PALETTE);
  ASSERT_TRUE(read.ok);
  EXPECT_EQ(read.bytes, Bytes(std::begin(record), std::end(record)));
}

TEST_F(WholeDataReader, MetafilesGiveTheirOwnBits) {
  HDC recorder = ::CreateEnhMetaFileA(nullptr, nullptr, nullptr, nullptr);
  ::Rectangle(recorder, 1, 2, 30, 40);
  HENHMETAFILE enhanced = ::CloseEnhMetaFile(recorder);
  Bytes emf(::GetEnhMetaFileBits(enhanced, 0, nullptr));
  ::GetEnhMetaFileBits(enhanced, static_cast<UINT>(emf.size()), emf.data());
  ASSERT_TRUE(PutHandle(CF_ENHMETAFILE, enhanced));
  const WholeRead enhancedRead = ReadWhole(CF_ENHMETAFILE);
  ASSERT_TRUE(enhancedRead.ok);
  EXPECT_EQ(enhancedRead.bytes, emf);

  recorder = ::CreateMetaFileA(nullptr);
  ::Rectangle(recorder, 1, 2, 30, 40);
  HMETAFILE metafile = ::CloseMetaFile(recorder);
  Bytes wmf(::GetMetaFileBitsEx(metafile, 0, nullptr));
  ::GetMetaFileBitsEx(metafile, static_cast<UINT>(wmf.size()), wmf.data());
  HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, sizeof(METAFILEPICT));
  auto* picture = static_cast<METAFILEPICT*>(::GlobalLock(block));
  *picture = METAFILEPICT{MM_ANISOTROPIC, 2000, 1000, metafile};
  ::GlobalUnlock(block);
  ASSERT_TRUE(PutHandle(CF_METAFILEPICT, block));
  const WholeRead pictureRead = ReadWhole(CF_METAFILEPICT);
  ASSERT_TRUE(pictureRead.ok);
  ASSERT_EQ(pictureRead.bytes.size(), sizeof(METAFILEPICT) + wmf.size());
  METAFILEPICT seen;
  std::memcpy(&seen, pictureRead.bytes.data(), sizeof(seen));
  EXPECT_EQ(seen.mm, MM_ANISOTROPIC);
  EXPECT_EQ(seen.xExt, 2000);
  EXPECT_EQ(seen.yExt, 1000);
  EXPECT_EQ(Bytes(pictureRead.bytes.begin() + sizeof(METAFILEPICT), pictureRead.bytes.end()), wmf);
}

TEST_F(WholeDataReader, UnreachableOrAbsentDataFailsWithoutASnapshot) {
  ASSERT_TRUE(testsupport::PutClipboardBytes(CF_TEXT, "abc", 4));
  for (std::uint32_t format : {0x80u, 0x300u, static_cast<std::uint32_t>(CF_DIB)}) {
    const WholeRead read = ReadWhole(format);
    EXPECT_FALSE(read.ok) << format;
    EXPECT_TRUE(read.bytes.empty()) << format;
  }
}
