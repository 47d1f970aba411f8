// The DIB header reader: one table of headers, each read as a heap block of
// exactly its size (ASan sees the end), with what the reader must answer.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "picture/dibheader.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

void Put32(Bytes& b, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

// A header of the given size with the masks in it when it has room.
Bytes Header(std::uint32_t size, std::int32_t width, std::int32_t height, std::uint16_t bits,
             std::uint32_t compression, std::uint32_t clrUsed = 0, std::uint32_t alphaMask = 0) {
  Bytes b;
  Put32(b, size);
  Put32(b, static_cast<std::uint32_t>(width));
  Put32(b, static_cast<std::uint32_t>(height));
  b.push_back(1), b.push_back(0), b.push_back(static_cast<std::uint8_t>(bits)), b.push_back(0);
  Put32(b, compression);
  for (int i = 0; i < 3; ++i) Put32(b, 0);  // biSizeImage, biXPelsPerMeter, biYPelsPerMeter
  Put32(b, clrUsed);
  Put32(b, 0);
  if (size >= 52) Put32(b, 0xFF0000), Put32(b, 0xFF00), Put32(b, 0xFF);
  if (size >= 56) Put32(b, alphaMask);
  b.resize(size, 0);
  return b;
}

Bytes operator+(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}
Bytes Zeros(std::size_t n) { return Bytes(n, 0); }
Bytes Cut(Bytes b, std::size_t n) {
  b.resize(n);
  return b;
}

DibDescription Read(const Bytes& bytes, bool file) {
  auto* exact = new std::uint8_t[bytes.empty() ? 1 : bytes.size()];
  if (!bytes.empty()) std::memcpy(exact, bytes.data(), bytes.size());
  const auto length = static_cast<std::uint32_t>(bytes.size());
  DibDescription d = file ? ReadBmpFile(exact, length) : ReadPackedDib(exact, length);
  delete[] exact;
  return d;
}

Bytes FileHeader(std::uint32_t bitsOffset) {
  Bytes b = {'B', 'M'};
  Put32(b, 0), Put32(b, 0), Put32(b, bitsOffset);
  return b;
}

struct Case {
  const char* what;
  Bytes bytes;
  bool file;
  // Expected: refusal text fragment, or the layout.
  const char* refusal;
  std::uint32_t width, height, bits, tableOffset, tableEntries, colorsUsed, bitsOffset, stride, alphaMask;
  bool topDown;
};

}  // namespace

TEST(DibHeader, Table) {
  const Bytes masks565 = [] {
    Bytes m;
    Put32(m, 0xF800), Put32(m, 0x07E0), Put32(m, 0x001F);
    return m;
  }();
  const std::vector<Case> cases = {
      {"24-bit bottom-up, rows padded to 4", Header(40, 3, 2, 24, kDibRgb) + Zeros(24), false, nullptr, 3, 2,
       24, 40, 0, 0, 40, 12, 0, false},
      {"1-bit, full table by default", Header(40, 9, 2, 1, kDibRgb) + Zeros(8 + 8), false, nullptr, 9, 2, 1,
       40, 2, 2, 48, 4, 0, false},
      {"4-bit with biClrUsed 3", Header(40, 3, 1, 4, kDibRgb, 3) + Zeros(12 + 4), false, nullptr, 3, 1, 4, 40,
       3, 3, 52, 4, 0, false},
      {"8-bit top-down", Header(40, 2, -2, 8, kDibRgb, 2) + Zeros(8 + 8), false, nullptr, 2, 2, 8, 40, 2, 2,
       48, 4, 0, true},
      {"biClrUsed past 256 is capped", Header(40, 1, 1, 8, kDibRgb, 1000) + Zeros(1024 + 4), false, nullptr,
       1, 1, 8, 40, 256, 256, 1064, 4, 0, false},
      {"16-bit bitfields after a 40-byte header", Header(40, 2, 1, 16, kDibBitfields) + masks565 + Zeros(4),
       false, nullptr, 2, 1, 16, 52, 0, 0, 52, 4, 0, false},
      {"V5 with an alpha mask", Header(124, 2, 2, 32, kDibBitfields, 0, 0xFF000000) + Zeros(16), false,
       nullptr, 2, 2, 32, 124, 0, 0, 124, 8, 0xFF000000, false},
      {"V5 with the masks after it too", Header(124, 1, 1, 32, kDibBitfields, 0, 0xFF000000) + Zeros(12 + 4),
       false, nullptr, 1, 1, 32, 124, 0, 0, 136, 4, 0xFF000000, false},
      {"V4 BI_RGB keeps its alpha mask", Header(108, 1, 1, 32, kDibRgb, 0, 0xFF000000) + Zeros(4), false,
       nullptr, 1, 1, 32, 108, 0, 0, 108, 4, 0xFF000000, false},
      {"24-bit ignores an alpha mask", Header(124, 1, 1, 24, kDibRgb, 0, 0xFF000000) + Zeros(4), false,
       nullptr, 1, 1, 24, 124, 0, 0, 124, 4, 0, false},
      {"BMP file with a gap before its bits", FileHeader(64) + Header(40, 1, 1, 24, kDibRgb) + Zeros(10 + 4),
       true, nullptr, 1, 1, 24, 54, 0, 0, 64, 4, 0, false},
      // Refusals, each in words.
      {"empty", {}, false, "too short", 0, 0, 0, 0, 0, 0, 0, 0, 0, false},
      {"core header", Bytes{12, 0, 0, 0} + Zeros(8), false, "12-byte core header", 0, 0, 0, 0, 0, 0, 0, 0, 0,
       false},
      {"unknown header size", Bytes{41, 0, 0, 0} + Zeros(60), false, "is not 40, 52", 0, 0, 0, 0, 0, 0, 0, 0,
       0, false},
      {"cut inside the header", Cut(Header(124, 1, 1, 32, kDibRgb), 100), false,
       "ends 100 bytes into the DIB's 124-byte header", 0, 0, 0, 0, 0, 0, 0, 0, 0, false},
      {"zero width", Header(40, 0, 1, 24, kDibRgb) + Zeros(4), false, "width of 0", 0, 0, 0, 0, 0, 0, 0, 0, 0,
       false},
      {"zero height", Header(40, 1, 0, 24, kDibRgb) + Zeros(4), false, "height is 0", 0, 0, 0, 0, 0, 0, 0, 0,
       0, false},
      {"most negative height", Header(40, 1, INT32_MIN, 24, kDibRgb), false, "out of range", 0, 0, 0, 0, 0, 0,
       0, 0, 0, false},
      {"depth 7", Header(40, 1, 1, 7, kDibRgb) + Zeros(4), false, "depth of 7 bits", 0, 0, 0, 0, 0, 0, 0, 0,
       0, false},
      {"RLE8", Header(40, 1, 1, 8, kDibRle8) + Zeros(1028), false, "BI_RLE8", 0, 0, 0, 0, 0, 0, 0, 0, 0,
       false},
      {"bitfields at 24 bits", Header(40, 1, 1, 24, kDibBitfields) + Zeros(16), false, "need 16 or 32", 0, 0,
       0, 0, 0, 0, 0, 0, 0, false},
      {"masks cut off", Header(40, 1, 1, 16, kDibBitfields) + Zeros(8), false, "colour masks", 0, 0, 0, 0, 0,
       0, 0, 0, 0, false},
      {"masks with a gap",
       Header(40, 1, 1, 16, kDibBitfields) + Bytes{0x0F, 0xF0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, false,
       "separate runs", 0, 0, 0, 0, 0, 0, 0, 0, 0, false},
      {"masks that overlap",
       Header(40, 1, 1, 16, kDibBitfields) + Bytes{0, 0xFF, 0, 0, 0xF0, 0x0F, 0, 0, 0x0F, 0, 0, 0} + Zeros(4),
       false, "separate runs", 0, 0, 0, 0, 0, 0, 0, 0, 0, false},
      {"table cut off", Header(40, 1, 1, 8, kDibRgb) + Zeros(100), false, "colour table", 0, 0, 0, 0, 0, 0, 0,
       0, 0, false},
      {"bits cut off", Header(40, 3, 2, 24, kDibRgb) + Zeros(23), false, "need 24 bytes; the data holds 23",
       0, 0, 0, 0, 0, 0, 0, 0, 0, false},
      {"largest header fields", Header(40, INT32_MAX, -INT32_MAX, 32, kDibRgb, 0xFFFFFFFF) + Zeros(1024),
       false, "need more bytes", 0, 0, 0, 0, 0, 0, 0, 0, 0, false},
      {"BMP bits offset inside the header", FileHeader(20) + Header(40, 1, 1, 24, kDibRgb) + Zeros(4), true,
       "inside its header", 0, 0, 0, 0, 0, 0, 0, 0, 0, false},
      {"not a BMP file", Bytes{'B', 'A'} + Zeros(60), true, "BMP file header", 0, 0, 0, 0, 0, 0, 0, 0, 0,
       false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const DibDescription d = Read(c.bytes, c.file);
    if (c.refusal != nullptr) {
      EXPECT_FALSE(d.ok);
      EXPECT_NE(d.refusal.find(c.refusal), std::string::npos) << d.refusal;
      continue;
    }
    ASSERT_TRUE(d.ok) << d.refusal;
    EXPECT_EQ(d.width, c.width);
    EXPECT_EQ(d.height, c.height);
    EXPECT_EQ(d.bitCount, c.bits);
    EXPECT_EQ(d.colorTableOffset, c.tableOffset);
    EXPECT_EQ(d.colorTableEntries, c.tableEntries);
    EXPECT_EQ(d.colorsUsed, c.colorsUsed);
    EXPECT_EQ(d.bitsOffset, c.bitsOffset);
    EXPECT_EQ(d.stride, c.stride);
    EXPECT_EQ(d.bitsSize, c.stride * c.height);
    EXPECT_EQ(d.alphaMask, c.alphaMask);
    EXPECT_EQ(d.topDown, c.topDown);
  }
}

TEST(DibHeader, MaskRuns) {
  EXPECT_EQ(MaskRunOf(0xFF000000).shift, 24u);
  EXPECT_EQ(MaskRunOf(0xFF000000).width, 8u);
  EXPECT_EQ(MaskRunOf(0x7E0).shift, 5u);
  EXPECT_EQ(MaskRunOf(0x7E0).width, 6u);
  EXPECT_EQ(MaskRunOf(0xFFFFFFFF).width, 32u);
  EXPECT_EQ(MaskRunOf(0).width, 0u);
  EXPECT_EQ(MaskRunOf(0x101).width, 0u);
}
