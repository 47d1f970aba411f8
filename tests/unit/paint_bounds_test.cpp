// Limits of a paint: which bytes it may read, how many rows it may draw, and
// the addresses at the very end of the 32-bit range.
#include <gtest/gtest.h>

#include <sys/mman.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

#include "dumpview/paint.h"
#include "gridcanvas.h"
#include "paintfixture.h"

using namespace paintfixture;

namespace {

// A private anonymous mapping, unmapped at the end of the test.
class Mapping {
 public:
  Mapping(std::size_t size, int protection)
      : size_(size),
        base_(::mmap(nullptr, size, protection, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0)) {}
  ~Mapping() {
    if (ok()) ::munmap(base_, size_);
  }
  bool ok() const { return base_ != MAP_FAILED; }
  std::uint8_t* bytes() const { return static_cast<std::uint8_t*>(base_); }

 private:
  std::size_t size_;
  void* base_;
};

std::size_t Page() { return static_cast<std::size_t>(::sysconf(_SC_PAGESIZE)); }

// The data lies across an unreadable page, two readable pages and another
// unreadable one; the shown rows lie wholly in the readable part, and the data
// ends exactly where it does. A read of a row above the first shown row or of
// a byte past the end faults.
TEST(PaintBounds, ReadsOnlyTheBytesOfTheRowsItDraws) {
  const std::size_t page = Page();
  Mapping map(4 * page, PROT_READ | PROT_WRITE);
  ASSERT_TRUE(map.ok());
  std::memset(map.bytes() + page, 0x5A, 2 * page);
  ASSERT_EQ(::mprotect(map.bytes(), page, PROT_NONE), 0);
  ASSERT_EQ(::mprotect(map.bytes() + 3 * page, page, PROT_NONE), 0);

  const std::uint32_t offset = 5;  // the data starts 5 bytes into the first page
  const std::uint8_t* data = map.bytes() + offset;
  const auto length = static_cast<std::uint32_t>(3 * page - offset);
  const ClientSize client{680, 24 + 18 * 10 + 7};
  DumpViewState state = MakeState(data, length, client);
  // The first row that lies wholly in readable memory.
  const std::uint32_t firstReadable = static_cast<std::uint32_t>((page - offset + 15) / 16);
  SetTopRow(state, firstReadable);
  GridCanvas canvas = CanvasFor(client);
  PaintDumpView(canvas, state, client);
  EXPECT_EQ(canvas.Text(RowY(0), 13, 2), "5A");

  // Scrolled to the end: the last row holds fewer than sixteen bytes.
  SetTopRow(state, LastRow(state) - PageRows(state) + 1);
  GridCanvas end = CanvasFor(client);
  PaintDumpView(end, state, client);
  const std::uint32_t shownLast = LastRow(state) - TopRow(state);
  const std::uint32_t inLastRow = length % 16;
  EXPECT_EQ(end.Text(RowY(static_cast<std::int32_t>(shownLast)), 13 + 3 * (inLastRow - 1), 3), "5A ");
}

TEST(PaintBounds, LastRowsOfAFourGigabyteBuffer) {
  // 0xFFFFFFFF bytes: only the last page is ever touched.
  const std::size_t size = 0x100000000ull;
  Mapping map(size, PROT_READ | PROT_WRITE);
  if (!map.ok()) GTEST_SKIP() << "no 4 GiB of address space";
  std::uint8_t* last = map.bytes() + 0xFFFFFFE0u;
  for (int n = 0; n < 31; ++n) last[n] = static_cast<std::uint8_t>(0xC0 + n);

  const ClientSize client{680, 124};
  DumpViewState state = MakeState(map.bytes(), 0xFFFFFFFFu, client);
  ASSERT_EQ(LastRow(state), 0x0FFFFFFFu);
  SetTopRow(state, 0x0FFFFFFEu);
  GridCanvas canvas = CanvasFor(client);
  PaintDumpView(canvas, state, client);
  EXPECT_EQ(canvas.Text(RowY(0), 0, 21), " 0xFFFFFFE0  C0 C1 C2");
  EXPECT_EQ(canvas.Text(RowY(1), 0, 14), " 0xFFFFFFF0  D");
  // Byte 0xFFFFFFFF is past the data: the row ends after fifteen cells.
  EXPECT_EQ(canvas.Text(RowY(1), 13 + 3 * 14, 5), "DE   ");
  // Row 0x10000000 would start at 2^32: it holds no byte.
  EXPECT_EQ(canvas.Text(RowY(2), 0, 79), std::string(79, ' '));

  GridCanvas erase = CanvasFor(client);
  EXPECT_TRUE(EraseDumpView(erase, state, client));
  EXPECT_EQ(erase.PixelAt(100, RowY(2) - 1), kBack);  // the gap above the first blank row
}

// A client lower than the header band makes pageRows cover every row of the
// data; the paint and the erase still handle only what can be seen.
TEST(PaintBounds, SmallClientDrawsOneRow) {
  std::vector<std::uint8_t> bytes(16u << 20, 0x33);  // a million rows
  for (std::uint32_t height : {0u, 1u, 20u, 23u}) {
    const ClientSize client{680, height};
    DumpViewState state = MakeState(bytes.data(), static_cast<std::uint32_t>(bytes.size()), client);
    ASSERT_EQ(PageRows(state), LastRow(state) + 1) << height;
    EXPECT_EQ(PaintedRowCount(state, client), 1u) << height;
    GridCanvas canvas = CanvasFor({680, 124});
    PaintDumpView(canvas, state, client);
    // Header (3), row head (8), sixteen bytes (three outputs each, the last
    // without separator).
    EXPECT_EQ(canvas.log().size(), 3u + 8u + 16u * 3u - 1u) << height;
    GridCanvas erase = CanvasFor({680, 124});
    EXPECT_TRUE(EraseDumpView(erase, state, client));
    // Header fills (4), first gap (2), no right area, no area below, one strip (2).
    EXPECT_EQ(erase.log().size(), 2u + 4u + 2u + 2u + 2u) << height;
  }
}

TEST(PaintBounds, RowCountFollowsTheClientHeight) {
  auto bytes = Letters(16 * 100);
  auto rowsFor = [&](std::uint32_t height) {
    const ClientSize client{680, height};
    DumpViewState state = MakeState(bytes.data(), 16 * 100, client);
    return PaintedRowCount(state, client);
  };
  EXPECT_EQ(rowsFor(24), 1u);
  EXPECT_EQ(rowsFor(41), 1u);
  EXPECT_EQ(rowsFor(42), 2u);
  EXPECT_EQ(rowsFor(400), 21u);             // pageRows 20, plus the partly visible row
  EXPECT_EQ(rowsFor(24 + 18 * 200), 102u);  // every row fits: lastRow 100, pageRows 101

  // A size the view has not caught up with: pageRows is stale and larger.
  DumpViewState state = MakeState(bytes.data(), 16 * 100, {680, 400});
  EXPECT_EQ(PaintedRowCount(state, {680, 100}), 5u);
}

}  // namespace
