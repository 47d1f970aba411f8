// Whole Data's rule: how each format's data is reached, where a source is
// cut, and the packed DIB's layout at every depth GetDIBits gives.
#include <gtest/gtest.h>

#include "dumpframe/statustext.h"
#include "snapshot/wholedata.h"

namespace {

using Source = WholeDataSource;

struct RuleCase {
  std::uint32_t format;
  Source source;
};

constexpr RuleCase kRules[] = {
    {1, Source::GlobalBlock},        // CF_TEXT: past its terminator too
    {2, Source::BitmapAsDib},        // CF_BITMAP
    {3, Source::MetafilePicture},    // CF_METAFILEPICT
    {7, Source::GlobalBlock},        // CF_OEMTEXT
    {8, Source::GlobalBlock},        // CF_DIB
    {9, Source::PaletteEntries},     // CF_PALETTE
    {13, Source::GlobalBlock},       // CF_UNICODETEXT
    {14, Source::EnhancedMetafile},  // CF_ENHMETAFILE
    {15, Source::GlobalBlock},       // CF_HDROP
    {16, Source::GlobalBlock},       // CF_LOCALE
    {17, Source::GlobalBlock},       // CF_DIBV5
    {0, Source::Unreachable},
    {0x80, Source::Unreachable},  // CF_OWNERDISPLAY
    {0x81, Source::GlobalBlock},  // CF_DSPTEXT
    {0x82, Source::BitmapAsDib},
    {0x83, Source::MetafilePicture},
    {0x8E, Source::EnhancedMetafile},
    {0x200, Source::GlobalBlock},  // private formats: locked, or failing at the lock
    {0x2FF, Source::GlobalBlock},
    {0x300, Source::Unreachable},  // GDI objects of no stated kind
    {0x3FF, Source::Unreachable},
    {0x400, Source::GlobalBlock},
    {0xC000, Source::GlobalBlock},  // registered formats, "BinaryData" among them
    {0xFFFF, Source::GlobalBlock},
};

}  // namespace

TEST(WholeDataRule, EachFormatReachesItsDataOneWay) {
  for (const RuleCase& c : kRules) EXPECT_EQ(WholeDataRule(c.format), c.source) << std::hex << c.format;
}

TEST(WholeDataRule, SourcesOverFourGibibytesAreCut) {
  struct {
    std::uint64_t size;
    std::uint32_t length;
    bool cut;
  } const cases[] = {
      {0, 0, false},
      {579, 579, false},
      {0xFFFFFFFFull, 0xFFFFFFFFu, false},
      {0x100000000ull, 0xFFFFFFFFu, true},
      {5000000000ull, 0xFFFFFFFFu, true},
      {~0ull, 0xFFFFFFFFu, true},
  };
  for (const auto& c : cases) {
    const WholeDataExtent extent = WholeDataExtentOf(c.size);
    EXPECT_EQ(extent.length, c.length) << c.size;
    EXPECT_EQ(extent.cut, c.cut) << c.size;
  }
}

TEST(WholeDataRule, PackedDibLayoutAtEveryDepth) {
  struct {
    std::uint32_t width, height, bits;
    std::uint32_t table;
    std::uint64_t row, total;
  } const cases[] = {
      {3, 2, 1, 8, 4, 40 + 8 + 8},
      {33, 1, 1, 8, 8, 40 + 8 + 8},
      {3, 2, 4, 64, 4, 40 + 64 + 8},
      {5, 3, 8, 1024, 8, 40 + 1024 + 24},
      {3, 2, 16, 0, 8, 40 + 16},
      {3, 2, 24, 0, 12, 40 + 24},
      {64, 48, 32, 0, 256, 40 + 256 * 48},
      {0, 0, 32, 0, 0, 40},
      {8192, 8192, 32, 0, 32768, 40 + 32768ull * 8192},
      // Past 2^64 the size saturates instead of wrapping to a small one.
      {0xFFFFFFFFu, 0xFFFFFFFFu, 32, 0, 0x3FFFFFFFCull, ~0ull},
      {0xFFFFFFFFu, 1, 32, 0, 0x3FFFFFFFCull, 40 + 0x3FFFFFFFCull},
  };
  for (const auto& c : cases) {
    const PackedDibLayout layout = PackedDibLayoutOf(c.width, c.height, c.bits);
    EXPECT_EQ(layout.colourTableBytes, c.table) << c.width << "x" << c.height << "x" << c.bits;
    EXPECT_EQ(layout.rowBytes, c.row) << c.width << "x" << c.height << "x" << c.bits;
    EXPECT_EQ(layout.totalBytes, c.total) << c.width << "x" << c.height << "x" << c.bits;
  }
  // A depth GetDIBits gives no rows for is refused, not sized.
  for (std::uint32_t bits : {0u, 2u, 15u, 48u}) EXPECT_EQ(PackedDibLayoutOf(4, 4, bits).totalBytes, 0u);
  EXPECT_EQ(LogPaletteSize(256), 1028u);
}

TEST(WholeDataStatusText, LengthAppendedOnlyWhileOn) {
  struct {
    bool whole;
    std::uint32_t length;
    std::uint64_t source;
    bool cut;
    const char* expected;
  } const cases[] = {
      {false, 256, 579, false, "PNG(0xC017)"},
      {true, 579, 579, false, "PNG(0xC017), 579 bytes"},
      {true, 1, 1, false, "PNG(0xC017), 1 byte"},
      {true, 0, 0, false, "PNG(0xC017), 0 bytes"},
      {true, 0xFFFFFFFFu, 5000000000ull, true, "PNG(0xC017), first 4294967295 of 5000000000 bytes"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(StatusTextOf("PNG(0xC017)", c.whole, c.length, c.source, c.cut), c.expected);
  }
}
