// Page sizes, scroll bars and scrolling of a real dump view window.
#include <windows.h>
#include <gtest/gtest.h>

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
UINT ColumnsThatFit(const RECT& client) {
  return client.right / 8 > 78 ? 79u : static_cast<UINT>(client.right / 8);
}

}  // namespace

TEST(DumpViewScrollBars, PagesMatchTheClientAreaTheBarsLeave) {
  std::vector<std::uint8_t> bytes(16 * 100);
  for (SIZE size : {SIZE{300, 200}, SIZE{700, 200}, SIZE{300, 2000}, SIZE{640, 400}, SIZE{633, 1870}}) {
    ViewHost host(size.cx, size.cy);
    host.SetData(bytes.data(), static_cast<std::uint32_t>(bytes.size()));
    const RECT client = host.Client();
    const SCROLLINFO v = host.ScrollInfo(SB_VERT);
    const SCROLLINFO h = host.ScrollInfo(SB_HORZ);
    EXPECT_EQ(v.nPage, RowsThatFit(client, 100))
        << size.cx << "x" << size.cy << " client " << client.right << "x" << client.bottom;
    EXPECT_EQ(h.nPage, ColumnsThatFit(client))
        << size.cx << "x" << size.cy << " client " << client.right << "x" << client.bottom;
    host.ResizeView(size.cx - 100, size.cy - 100);
    const RECT smaller = host.Client();
    EXPECT_EQ(host.ScrollInfo(SB_VERT).nPage, RowsThatFit(smaller, 100)) << "after resize " << size.cx;
    EXPECT_EQ(host.ScrollInfo(SB_HORZ).nPage, ColumnsThatFit(smaller)) << "after resize " << size.cx;
  }
}

namespace {

WPARAM Request(WORD code, WORD position = 0) { return MAKEWPARAM(code, position); }

}  // namespace

TEST(DumpViewScrollMessages, VerticalRequestsMoveTheBar) {
  ViewHost host(640, 24 + 18 * 30);  // 30 rows
  std::vector<std::uint8_t> bytes(16 * 100 + 4);
  host.SetData(bytes.data(), static_cast<std::uint32_t>(bytes.size()));
  const UINT page = host.ScrollInfo(SB_VERT).nPage;
  ASSERT_GT(page, 10u);
  const int bottom = 101 - static_cast<int>(page);

  host.Send(WM_VSCROLL, Request(SB_LINEDOWN));
  EXPECT_EQ(host.ScrollInfo(SB_VERT).nPos, 1);
  host.Send(WM_VSCROLL, Request(SB_PAGEDOWN));
  EXPECT_EQ(host.ScrollInfo(SB_VERT).nPos, 1 + static_cast<int>(page));
  host.Send(WM_VSCROLL, Request(SB_PAGEUP));
  EXPECT_EQ(host.ScrollInfo(SB_VERT).nPos, 1);
  host.Send(WM_VSCROLL, Request(SB_BOTTOM));
  EXPECT_EQ(host.ScrollInfo(SB_VERT).nPos, bottom);
  host.Send(WM_VSCROLL, Request(SB_LINEDOWN));
  EXPECT_EQ(host.ScrollInfo(SB_VERT).nPos, bottom);
  host.Send(WM_VSCROLL, Request(SB_THUMBTRACK, 7));
  EXPECT_EQ(host.ScrollInfo(SB_VERT).nPos, 7);
  host.Send(WM_VSCROLL, Request(SB_THUMBPOSITION, 50));
  EXPECT_EQ(host.ScrollInfo(SB_VERT).nPos, 7) << "the thumb's end changes nothing";
  host.Send(WM_VSCROLL, Request(SB_ENDSCROLL));
  EXPECT_EQ(host.ScrollInfo(SB_VERT).nPos, 7);
  host.Send(WM_VSCROLL, Request(SB_TOP));
  EXPECT_EQ(host.ScrollInfo(SB_VERT).nPos, 0);

  // A position past the end is taken as it is; the bar itself shows its
  // largest position.
  host.Send(WM_VSCROLL, Request(SB_THUMBTRACK, 500));
  EXPECT_EQ(host.state().vScroll.nPos, 500);
  EXPECT_EQ(host.ScrollInfo(SB_VERT).nPos, bottom);
}

TEST(DumpViewScrollMessages, HorizontalRequestsMoveTheBar) {
  ViewHost host(160 + ::GetSystemMetrics(SM_CXVSCROLL), 400);
  std::vector<std::uint8_t> bytes(16 * 100);
  host.SetData(bytes.data(), static_cast<std::uint32_t>(bytes.size()));
  const SCROLLINFO h = host.ScrollInfo(SB_HORZ);
  ASSERT_EQ(h.nPage, 20u);
  host.Send(WM_HSCROLL, Request(SB_LINERIGHT));
  EXPECT_EQ(host.ScrollInfo(SB_HORZ).nPos, 1);
  host.Send(WM_HSCROLL, Request(SB_PAGERIGHT));
  EXPECT_EQ(host.ScrollInfo(SB_HORZ).nPos, 21);
  host.Send(WM_HSCROLL, Request(SB_RIGHT));
  EXPECT_EQ(host.ScrollInfo(SB_HORZ).nPos, 59);
  host.Send(WM_HSCROLL, Request(SB_PAGELEFT));
  EXPECT_EQ(host.ScrollInfo(SB_HORZ).nPos, 39);
  host.Send(WM_HSCROLL, Request(SB_LEFT));
  EXPECT_EQ(host.ScrollInfo(SB_HORZ).nPos, 0);
  EXPECT_EQ(host.ScrollInfo(SB_VERT).nPos, 0) << "the other bar stays";
}

TEST(DumpViewScrollMessages, ResizePullsThePositionsBack) {
  ViewHost host(300, 300);
  std::vector<std::uint8_t> bytes(16 * 100);
  host.SetData(bytes.data(), static_cast<std::uint32_t>(bytes.size()));
  host.Send(WM_VSCROLL, Request(SB_BOTTOM));
  host.Send(WM_HSCROLL, Request(SB_RIGHT));
  ASSERT_GT(host.ScrollInfo(SB_VERT).nPos, 80);
  ASSERT_GT(host.ScrollInfo(SB_HORZ).nPos, 30);
  host.ResizeView(700, 1000);
  const RECT client = host.Client();
  const int rows = (client.bottom - 24) / 18;
  EXPECT_EQ(host.state().vScroll.nPos, rows > 100 ? 0 : 101 - rows);
  EXPECT_EQ(host.state().hScroll.nPos, 0);
  EXPECT_EQ(host.state().hScroll.nPage, 79u);
}

TEST(DumpViewScrollMessages, NewDataResetsEverything) {
  ViewHost host(300, 300);
  std::vector<std::uint8_t> bytes(16 * 100);
  host.SetData(bytes.data(), static_cast<std::uint32_t>(bytes.size()));
  host.Send(WM_VSCROLL, Request(SB_BOTTOM));
  host.Send(WM_HSCROLL, Request(SB_RIGHT));
  host.Send(DVM_SETSEL, 30, 10);
  std::vector<std::uint8_t> other(40);
  host.SetData(other.data(), 40);
  EXPECT_EQ(host.ScrollInfo(SB_VERT).nPos, 0);
  EXPECT_EQ(host.ScrollInfo(SB_VERT).nMax, 2);
  EXPECT_EQ(host.ScrollInfo(SB_HORZ).nPos, 0);
  EXPECT_EQ(host.Send(DVM_GETCARET), 0);
  UINT first = 9, last = 9;
  EXPECT_EQ(host.Send(DVM_GETSEL, reinterpret_cast<WPARAM>(&first), reinterpret_cast<LPARAM>(&last)), 0);
  EXPECT_EQ(first, 0u);
  EXPECT_EQ(last, 0u);
}
