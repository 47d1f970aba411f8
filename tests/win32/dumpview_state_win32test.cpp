// The dump view's creation, destruction, page sizes and private messages on
// a real window.
#include <windows.h>
#include <gtest/gtest.h>

#include <vector>

#include "dumpview_host.h"
#include "testsupport.h"

using dumpviewtest::ViewHost;

TEST(DumpViewCreation, DefaultsAfterCreate) {
  ViewHost host(640, 400);
  ASSERT_NE(host.view(), nullptr);
  EXPECT_EQ(host.Send(DVM_GETCODEPAGE), 1252);
  EXPECT_EQ(static_cast<COLORREF>(host.Send(DVM_GETCOLOR, DVC_TEXT)), ::GetSysColor(COLOR_WINDOWTEXT));
  EXPECT_EQ(static_cast<COLORREF>(host.Send(DVM_GETCOLOR, DVC_BACK)), ::GetSysColor(COLOR_WINDOW));
  EXPECT_EQ(static_cast<COLORREF>(host.Send(DVM_GETCOLOR, DVC_HEADERTEXT)), ::GetSysColor(COLOR_BTNTEXT));
  EXPECT_EQ(static_cast<COLORREF>(host.Send(DVM_GETCOLOR, DVC_HEADERBACK)), ::GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(static_cast<COLORREF>(host.Send(DVM_GETCOLOR, DVC_SELTEXT)), ::GetSysColor(COLOR_HIGHLIGHTTEXT));
  EXPECT_EQ(static_cast<COLORREF>(host.Send(DVM_GETCOLOR, DVC_SELBACK)), ::GetSysColor(COLOR_HIGHLIGHT));
  EXPECT_EQ(host.Send(DVM_GETCARET), 0);

  const DumpViewState& s = host.state();
  EXPECT_EQ(s.fontHeight, 16u);
  EXPECT_EQ(s.dataLength, 0u);
  EXPECT_EQ(s.data, nullptr);
  EXPECT_EQ(s.hScroll.nMax, 78);
  EXPECT_EQ(s.vScroll.nMax, 0);
  EXPECT_EQ(s.vScroll.cbSize, 28u);
  EXPECT_EQ(s.hScroll.fMask, 7u);
  EXPECT_NE(s.font, nullptr);
  EXPECT_EQ(s.scrollFlags, WheelFromSystem);  // Wine reports the NT platform
}

TEST(DumpViewCreation, FontFollowsTheCreationParameter) {
  ViewHost twenty(640, 400, 20);
  EXPECT_EQ(twenty.state().fontHeight, 20u);
  LOGFONTA font = {};
  ASSERT_NE(::GetObjectA(static_cast<HFONT>(twenty.state().font), sizeof(font), &font), 0);
  EXPECT_EQ(font.lfHeight, -20);
  EXPECT_EQ(font.lfWeight, FW_THIN);
  EXPECT_EQ(font.lfCharSet, ANSI_CHARSET);
  EXPECT_EQ(font.lfQuality, PROOF_QUALITY);
  EXPECT_EQ(font.lfPitchAndFamily, FIXED_PITCH | FF_MODERN);
  EXPECT_STREQ(font.lfFaceName, "MS Gothic");

  // 0 asks for 12 points at the screen's resolution.
  ViewHost standard(640, 400, 0);
  HDC dc = ::GetDC(nullptr);
  const int expected = ::MulDiv(12, ::GetDeviceCaps(dc, LOGPIXELSY), 72);
  ::ReleaseDC(nullptr, dc);
  EXPECT_EQ(standard.state().fontHeight, static_cast<std::uint32_t>(expected));

  // Below 2 the cells would have no width: raised to 2.
  ViewHost tiny(640, 400, 1);
  EXPECT_EQ(tiny.state().fontHeight, 2u);
  std::vector<std::uint8_t> bytes(100, 0x41);
  tiny.SetData(bytes.data(), 100);
  EXPECT_EQ(tiny.state().hScroll.nPage, 79u);
}

TEST(DumpViewData, SetDataPublishesRangesAfterARealResize) {
  ViewHost host(300, 100);
  std::vector<std::uint8_t> bytes(1600, 0x5A);  // 100 full rows, lastRow 100
  host.ResizeView(700, 400);
  testsupport::PumpMessages(10);
  host.SetData(bytes.data(), static_cast<std::uint32_t>(bytes.size()));
  testsupport::PumpMessages(10);
  const RECT client = host.Client();
  const SCROLLINFO v = host.ScrollInfo(SB_VERT);
  EXPECT_EQ(v.nMin, 0);
  EXPECT_EQ(v.nMax, 100);
  EXPECT_EQ(v.nPos, 0);
  EXPECT_EQ(v.nPage, static_cast<UINT>((client.bottom - 24) / 18));
  const SCROLLINFO h = host.ScrollInfo(SB_HORZ);
  EXPECT_EQ(h.nMax, 78);
  EXPECT_EQ(h.nPage, static_cast<UINT>(client.right / 8 > 78 ? 79 : client.right / 8));
  EXPECT_EQ(host.state().vScroll.nPage, v.nPage);
  EXPECT_EQ(host.state().hScroll.nPage, h.nPage);
}
