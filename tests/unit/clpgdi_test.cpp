// The GDI formats' file forms both ways: Whole Data's packed DIB at every
// bitmap depth into the 16-bit bitmap block and back to CreateBitmap's rows,
// metafile pictures of 64- and 32-bit records and of the three header
// readings, palettes and EMF headers, and each refusal's reason.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "capture/clpgdi.h"

namespace {

using ByteVector = std::vector<std::uint8_t>;

void PutLe(ByteVector& bytes, std::size_t at, std::uint64_t value, int width) {
  for (int i = 0; i < width; ++i) bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

// A packed DIB as GetDIBits writes it: a full colour table up to 8 bits,
// rows padded to 32 bits, every byte of row r (counted in memory) = r * 16 + column byte.
ByteVector Dib(std::int32_t width, std::int32_t height, std::uint32_t bits) {
  const std::uint32_t table = bits <= 8 ? 4u << bits : 0;
  const std::uint32_t stride = (static_cast<std::uint32_t>(width) * bits + 31) / 32 * 4;
  const std::uint32_t rows = static_cast<std::uint32_t>(height < 0 ? -height : height);
  ByteVector dib(40 + table + stride * rows, 0);
  PutLe(dib, 0, 40, 4);
  PutLe(dib, 4, static_cast<std::uint32_t>(width), 4);
  PutLe(dib, 8, static_cast<std::uint32_t>(height), 4);
  PutLe(dib, 12, 1, 2);
  PutLe(dib, 14, bits, 2);
  for (std::uint32_t r = 0; r < rows; ++r)
    for (std::uint32_t c = 0; c < stride; ++c)
      dib[40 + table + r * stride + c] = static_cast<std::uint8_t>(r * 16 + c);
  return dib;
}

}  // namespace

TEST(ClpBitmap, APackedDibBecomesTopRowFirstRowsPaddedTo16BitsAtEveryDepth) {
  struct Case {
    std::uint32_t bits;
    std::int32_t width;
    std::uint32_t rowBytes;
  } const cases[] = {{1, 9, 2},   {4, 5, 4},  {8, 3, 4},  {16, 3, 6},
                     {24, 3, 10}, {32, 2, 8}, {1, 17, 4}, {24, 1, 4}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bits);
    for (std::int32_t sign : {1, -1}) {
      const std::int32_t height = 3 * sign;
      const ByteVector dib = Dib(c.width, height, c.bits);
      std::string refusal;
      const ByteVector block =
          ClpBitmapBlockOfDib(dib.data(), static_cast<std::uint32_t>(dib.size()), &refusal);
      ASSERT_EQ(refusal, "");
      ASSERT_EQ(block.size(), 14u + 3 * c.rowBytes);
      const ByteVector header(block.begin(), block.begin() + 14);
      const ByteVector expected = {
          0, 0, static_cast<std::uint8_t>(c.width), 0, 3, 0, static_cast<std::uint8_t>(c.rowBytes),
          0, 1, static_cast<std::uint8_t>(c.bits),  0, 0, 0, 0};
      EXPECT_EQ(header, expected);
      // The top row is the last in memory of a bottom-up DIB.
      for (std::uint32_t row = 0; row < 3; ++row) {
        const std::uint32_t inMemory = sign > 0 ? 2 - row : row;
        EXPECT_EQ(block[14 + row * c.rowBytes], inMemory * 16) << row;
        EXPECT_EQ(block[14 + row * c.rowBytes + c.rowBytes - 1], inMemory * 16 + c.rowBytes - 1) << row;
      }
      const ClpBitmap back = ReadClpBitmap(block.data(), static_cast<std::uint32_t>(block.size()));
      ASSERT_TRUE(back.ok) << back.refusal;
      EXPECT_EQ(back.width, static_cast<std::uint32_t>(c.width));
      EXPECT_EQ(back.height, 3u);
      EXPECT_EQ(back.bitsPerPixel, c.bits);
      EXPECT_EQ(back.rowBytes, c.rowBytes);
    }
  }
}

TEST(ClpBitmap, DibsThatDoNotFitTheFileAreRefusedWithAReason) {
  ByteVector compressed = Dib(4, 4, 8);
  PutLe(compressed, 16, 1, 4);  // BI_RLE8
  ByteVector fewColours = Dib(2, 1, 8);
  PutLe(fewColours, 32, 2, 4);  // two colours: the rows follow 8 bytes of table
  fewColours.resize(40 + 8 + 4);
  ByteVector cut = Dib(4, 4, 24);
  cut.pop_back();
  struct Case {
    const char* what;
    ByteVector dib;
    const char* refusal;
  } const cases[] = {
      {"compressed", compressed, "its DIB is not one plane of uncompressed rows at a bitmap's depth"},
      {"wider than 16 bits", Dib(65536, 1, 1),
       "its DIB of 65536 by 1 pixels does not fit the file's 16-bit sizes"},
      {"one byte short", cut, "its DIB needs 88 bytes, the block has 87"},
      {"short of a header", ByteVector(39, 0), "its DIB header needs 40 bytes, the block has 39"},
      {"a colour count below the full table", fewColours, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const ClpBitmapFromDib d = DescribeDibAsClpBitmap(c.dib.data(), static_cast<std::uint32_t>(c.dib.size()));
    EXPECT_EQ(d.refusal, c.refusal);
    EXPECT_EQ(d.ok, std::string(c.refusal).empty());
  }
}

TEST(ClpBitmap, StoredBlocksAreCheckedAndTheirRowsPackedForCreateBitmap) {
  // Another writer's rows padded to 32 bits: 3 pixels of 8 bits, 4 bytes a row.
  ByteVector wide = {0, 0, 3, 0, 2, 0, 4, 0, 1, 8, 0, 0, 0, 0, 1, 2, 3, 0xAA, 4, 5, 6, 0xBB};
  const ClpBitmap bitmap = ReadClpBitmap(wide.data(), static_cast<std::uint32_t>(wide.size()));
  ASSERT_TRUE(bitmap.ok) << bitmap.refusal;
  EXPECT_EQ(bitmap.storedRowBytes, 4u);
  EXPECT_EQ(bitmap.rowBytes, 4u);
  ByteVector odd = {0, 0, 3, 0, 2, 0, 6, 0, 1, 4, 0, 0, 0, 0, 1, 2, 9, 9, 9, 9, 3, 4, 9, 9, 9, 9};
  const ClpBitmap nibbles = ReadClpBitmap(odd.data(), static_cast<std::uint32_t>(odd.size()));
  ASSERT_TRUE(nibbles.ok) << nibbles.refusal;
  EXPECT_EQ(nibbles.rowBytes, 2u);
  PackClpBitmapRows(odd.data(), nibbles);
  EXPECT_EQ(ByteVector(odd.begin() + 14, odd.begin() + 18), (ByteVector{1, 2, 3, 4}));

  auto header = [](std::uint32_t w, std::uint32_t h, std::uint32_t row, std::uint8_t planes,
                   std::uint8_t bits) {
    ByteVector b(14, 0);
    PutLe(b, 2, w, 2);
    PutLe(b, 4, h, 2);
    PutLe(b, 6, row, 2);
    b[8] = planes;
    b[9] = bits;
    return b;
  };
  struct Case {
    ByteVector block;
    const char* refusal;
  } const cases[] = {
      {ByteVector(13, 0), "its bitmap header needs 14 bytes, the block has 13"},
      {header(0, 4, 2, 1, 1), "its bitmap is 0 by 4 pixels"},
      {header(4, 4, 2, 2, 1), "its bitmap has 2 colour planes instead of one"},
      {header(4, 4, 2, 1, 2), "its bitmap has 2 bits a pixel, which no bitmap has"},
      {header(9, 1, 1, 1, 1), "its bitmap rows of 1 byte are too short for 9 pixels of 1 bits"},
      {header(8, 2, 2, 1, 1), "its bitmap needs 18 bytes, the block has 14"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ReadClpBitmap(c.block.data(), static_cast<std::uint32_t>(c.block.size())).refusal, c.refusal);
  }
}

namespace {

// A WMF of its 18-byte METAHEADER and the closing record.
ByteVector Wmf() {
  ByteVector w(24, 0);
  PutLe(w, 0, 1, 2);
  PutLe(w, 2, 9, 2);
  PutLe(w, 4, 0x300, 2);
  PutLe(w, 6, 12, 4);
  PutLe(w, 18, 3, 4);
  return w;
}

ByteVector Concat(ByteVector a, const ByteVector& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

}  // namespace

TEST(ClpMetafile, SnapshotsOfEitherRecordSizeBecomeThe16BitHeaderAndTheWmf) {
  for (std::uint32_t record : {16u, 24u}) {
    ByteVector snapshot(record, 0xCC);
    PutLe(snapshot, 0, 8, 4);
    PutLe(snapshot, 4, static_cast<std::uint32_t>(-2540), 4);
    PutLe(snapshot, 8, 1270, 4);
    snapshot = Concat(snapshot, Wmf());
    std::string refusal;
    const ByteVector block = ClpMetafileBlockOfSnapshot(
        snapshot.data(), static_cast<std::uint32_t>(snapshot.size()), record, &refusal);
    ASSERT_EQ(refusal, "");
    EXPECT_EQ(block, Concat({8, 0, 0x14, 0xF6, 0xF6, 0x04, 0, 0}, Wmf()));
    const ClpMetafile back = ReadClpMetafile(block.data(), static_cast<std::uint32_t>(block.size()));
    ASSERT_TRUE(back.ok);
    EXPECT_EQ(back.mappingMode, 8);
    EXPECT_EQ(back.xExtent, -2540);
    EXPECT_EQ(back.yExtent, 1270);
    EXPECT_EQ(back.wmfOffset, 8u);
    EXPECT_EQ(back.wmfLength, 24u);
  }
  // Wine hands another process a longer block than the record: the bits
  // still come last, as long as their header says.
  ByteVector longer(24 + 26, 0x09);
  for (int field = 0; field < 3; ++field) PutLe(longer, 4 * field, 8, 4);
  longer = Concat(longer, Wmf());
  const ClpMetafileFromSnapshot found =
      DescribeSnapshotAsClpMetafile(longer.data(), static_cast<std::uint32_t>(longer.size()), 24);
  EXPECT_TRUE(found.ok);
  EXPECT_EQ(found.wmfOffset, 50u);
  EXPECT_EQ(found.wmfLength, 24u);
  ByteVector large(24, 0);
  PutLe(large, 4, 70000, 4);
  large = Concat(large, Wmf());
  EXPECT_EQ(DescribeSnapshotAsClpMetafile(large.data(), static_cast<std::uint32_t>(large.size()), 24).refusal,
            "its mapping mode or extent 70000 does not fit the file's 16 bits");
  ByteVector noBits(24, 0);
  EXPECT_EQ(DescribeSnapshotAsClpMetafile(noBits.data(), 24, 24).refusal,
            "its METAFILEPICT is not followed by a metafile");
}

TEST(ClpMetafile, OtherWritersHeadersOf16BytesOrNoneAreFound) {
  ByteVector sixteen(16, 0);
  PutLe(sixteen, 0, 1, 4);  // MM_TEXT
  PutLe(sixteen, 4, 300, 4);
  PutLe(sixteen, 8, 200, 4);
  const ByteVector withSixteen = Concat(sixteen, Wmf());
  const ClpMetafile a = ReadClpMetafile(withSixteen.data(), static_cast<std::uint32_t>(withSixteen.size()));
  EXPECT_TRUE(a.ok && a.mappingMode == 1 && a.xExtent == 300 && a.yExtent == 200 && a.wmfOffset == 16);
  const ByteVector bare = Wmf();
  const ClpMetafile b = ReadClpMetafile(bare.data(), static_cast<std::uint32_t>(bare.size()));
  EXPECT_TRUE(b.ok && b.mappingMode == kMappingModeAnisotropic && b.xExtent == 0 && b.wmfOffset == 0 &&
              b.wmfLength == 24);
  const ByteVector headed = Concat({1, 0, 2, 0, 3, 0, 0, 0}, Wmf());
  ByteVector tooLong = headed, unclosed = headed, zeroRecord = headed;
  PutLe(tooLong, 8 + 6, 13, 4);
  unclosed[8 + 22] = 0x1B;  // the last record a rectangle, not the closing one
  PutLe(zeroRecord, 8 + 18, 0, 4);
  struct {
    ByteVector block;
    const char* refusal;
  } const refused[] = {
      {tooLong, "its metafile's size of 13 words does not lie inside the block"},
      {unclosed, "its metafile does not end in its closing record"},
      {zeroRecord, "its metafile's records do not add up to its size"},
      {ByteVector(40, 7), "its metafile has no METAHEADER at byte 8, 16 or 0"},
      {ByteVector(), "its metafile has no METAHEADER at byte 8, 16 or 0"},
  };
  for (const auto& r : refused) {
    EXPECT_EQ(ReadClpMetafile(r.block.data(), static_cast<std::uint32_t>(r.block.size())).refusal, r.refusal);
  }
}

TEST(ClpPaletteAndEmf, BlocksAreChecked) {
  const ByteVector two = {0, 3, 2, 0, 1, 2, 3, 0, 4, 5, 6, 0};
  EXPECT_EQ(ReadClpPalette(two.data(), 12).entries, 2u);
  EXPECT_EQ(ReadClpPalette(two.data(), 11).refusal, "its palette needs 12 bytes, the block has 11");
  const ByteVector none = {0, 3, 0, 0};
  EXPECT_EQ(ReadClpPalette(none.data(), 4).refusal, "its palette has no colours");
  EXPECT_EQ(ReadClpPalette(none.data(), 3).refusal, "its palette header needs 4 bytes, the block has 3");

  // A header record of 88 bytes and the closing record of 20.
  ByteVector emf(108, 0);
  PutLe(emf, 0, 1, 4);
  PutLe(emf, 4, 88, 4);
  PutLe(emf, 40, 0x464D4520, 4);
  PutLe(emf, 48, 108, 4);
  PutLe(emf, 88, 14, 4);
  PutLe(emf, 92, 20, 4);
  EXPECT_EQ(ClpEnhMetafileRefusal(emf.data(), 108), "");
  EXPECT_EQ(ClpBlockRefusal(0x8E, emf.data(), 87), "its enhanced metafile does not begin with an EMF header");
  EXPECT_EQ(ClpEnhMetafileRefusal(emf.data(), 107),
            "its enhanced metafile's size of 108 bytes does not lie inside the block");
  ByteVector unclosed = emf;
  PutLe(unclosed, 88, 70, 4);
  EXPECT_EQ(ClpEnhMetafileRefusal(unclosed.data(), 108),
            "its enhanced metafile does not end in its closing record");
  ByteVector overlong = emf;
  PutLe(overlong, 92, 24, 4);
  EXPECT_EQ(ClpEnhMetafileRefusal(overlong.data(), 108),
            "its enhanced metafile's records do not add up to its size");

  EXPECT_EQ(ClpBlockRefusal(1, nullptr, 0), "");
}
