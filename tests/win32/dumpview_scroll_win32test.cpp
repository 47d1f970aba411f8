// Page sizes, scroll bars and scrolling of a real dump view window.
#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "dumpview_host.h"
#include "testsupport.h"

using dumpviewtest::ViewHost;

namespace {

// Whole rows and columns the client area holds at M = 16.
UINT RowsThatFit(const RECT& client, UINT lastRow) {
  const int rows = client.bottom < 24 ? static_cast<int>(lastRow) + 1 : (client.bottom - 24) / 18;
  return static_cast<UINT>(rows) > lastRow ? lastRow + 1 : static_cast<UINT>(rows);
}
UINT ColumnsThatFit(const RECT& client) { return client.right / 8 > 78 ? 79u : static_cast<UINT>(client.right / 8); }

}  // namespace

TEST(DumpViewScrollBars, PagesMatchTheClientAreaTheBarsLeave) {
  std::vector<std::uint8_t> bytes(16 * 100);
  for (SIZE size : {SIZE{300, 200}, SIZE{700, 200}, SIZE{300, 2000}, SIZE{640, 400}, SIZE{633, 1870}}) {
    ViewHost host(size.cx, size.cy);
    host.SetData(bytes.data(), static_cast<std::uint32_t>(bytes.size()));
    const RECT client = host.Client();
    const SCROLLINFO v = host.ScrollInfo(SB_VERT);
    const SCROLLINFO h = host.ScrollInfo(SB_HORZ);
    EXPECT_EQ(v.nPage, RowsThatFit(client, 100)) << size.cx << "x" << size.cy << " client " << client.right << "x"
                                                 << client.bottom;
    EXPECT_EQ(h.nPage, ColumnsThatFit(client)) << size.cx << "x" << size.cy << " client " << client.right << "x"
                                               << client.bottom;
    host.ResizeView(size.cx - 100, size.cy - 100);
    const RECT smaller = host.Client();
    EXPECT_EQ(host.ScrollInfo(SB_VERT).nPage, RowsThatFit(smaller, 100)) << "after resize " << size.cx;
    EXPECT_EQ(host.ScrollInfo(SB_HORZ).nPage, ColumnsThatFit(smaller)) << "after resize " << size.cx;
  }
}
