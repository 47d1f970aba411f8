// The program at 150%, run by the test entry kelvane_win32_tests_dpi_144 in a
// Wine prefix whose screen has 144 dots per inch.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include "app/dpi_win32.h"
#include "browser/formatbrowser_win32.h"
#include "browser_harness.h"
#include "dumpview/dumpview.h"
#include "picture/pictureview.h"
#include "testsupport.h"

TEST(Dpi144, ListsFrameAndCellsGrowByHalf) {
  if (SystemDpi() != 144) GTEST_SKIP() << "the screen has " << SystemDpi() << " dots per inch, not 144";
  ASSERT_TRUE(testsupport::PutClipboardBytes(CF_TEXT, "Hello, dump", 12));
  browsertest::BrowserDialog run;
  ASSERT_NE(run.dialog(), nullptr);

  // 8 and 7 base units of the system font, 11 pixels here (7 at 100%); the
  // second column fills the rest.
  const HWND lists[] = {run.registeredList(), run.availableList()};
  const int firstWidths[] = {88, 77};
  for (int n = 0; n < 2; ++n) {
    RECT client = {};
    ::GetClientRect(lists[n], &client);
    EXPECT_EQ(browsertest::Column(lists[n], 0).width, firstWidths[n]);
    EXPECT_EQ(browsertest::Column(lists[n], 1).width, client.right - firstWidths[n]);
  }

  run.Analyze();
  browsertest::SelectItem(run.availableList(), browsertest::ItemOfFormat(run.availableList(), CF_TEXT));
  run.Toggle();
  ASSERT_NE(g_dumpFrame, nullptr);
  RECT dialogRect = {}, frameRect = {};
  ::GetWindowRect(run.dialog(), &dialogRect);
  ::GetWindowRect(g_dumpFrame, &frameRect);
  const RECT expected = {dialogRect.left - 2, dialogRect.bottom, dialogRect.left - 2 + 975,
                         dialogRect.bottom + 450};
  EXPECT_TRUE(::EqualRect(&frameRect, &expected));

  // Cells 12 pixels wide: the header's first digit is drawn in grid column
  // 13, from x = 156 (104 at 100%).
  HWND view = ::FindWindowExA(g_dumpFrame, nullptr, DUMPVIEW_CLASS_NAME, nullptr);
  ::RedrawWindow(view, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  testsupport::PumpMessages(50);
  HDC dc = ::GetDC(view);
  const COLORREF band = ::GetPixel(dc, 2, 2);
  int firstInk = 300;
  for (int y = 0; y < 36; ++y) {
    for (int x = 0; x < firstInk; ++x) {
      if (::GetPixel(dc, x, y) != band) firstInk = x;
    }
  }
  ::ReleaseDC(view, dc);
  EXPECT_EQ(firstInk / 12, 13);
  run.Toggle();
  testsupport::ClearClipboard();
}

// A transparent DIB over 12-pixel checker squares, below a caption line
// taller than at 100%; told 96 or 192 dots per inch, it draws as at 100% or 200%.
TEST(Dpi144, PictureCheckerboardAndCaptionFollowTheDpi) {
  if (SystemDpi() != 144) GTEST_SKIP() << "the screen has " << SystemDpi() << " dots per inch, not 144";
  HWND view = ::CreateWindowExA(0, PICTUREVIEW_CLASS_NAME, "", WS_POPUP | WS_VISIBLE, 30, 30, 400, 300,
                                nullptr, nullptr, nullptr, nullptr);
  static struct {
    BITMAPV5HEADER header;
    std::uint32_t bits[64 * 64];  // all transparent
  } dib = {};
  dib.header.bV5Size = sizeof(dib.header), dib.header.bV5Width = dib.header.bV5Height = 64;
  dib.header.bV5Planes = 1, dib.header.bV5BitCount = 32, dib.header.bV5AlphaMask = 0xFF000000;
  const PictureRecord record = {
      reinterpret_cast<const std::uint8_t*>(&dib), sizeof(dib), CF_DIBV5, "", "", SnapshotKind::WholeData};
  ::SendMessageA(view, PVM_SETPICTURE, 0, reinterpret_cast<LPARAM>(&record));
  int bands[3] = {};
  const int dpis[3] = {0, 96, 192};  // 0 changes nothing: the window's 144 from its creation
  for (int n = 0; n < 3; ++n) {
    ::SendMessageA(view, PVM_SETDPI, dpis[n], 0);
    RECT r = {};
    ::SendMessageA(view, PVM_GETPICTURERECT, 0, reinterpret_cast<LPARAM>(&r));
    const testsupport::WindowPixels pixels(view);
    int square = 0;
    while (pixels.At(0, bands[n]) == ::GetSysColor(COLOR_BTNFACE)) ++bands[n];
    while (pixels.At(r.left + square, r.top) == RGB(0xD8, 0xD8, 0xD8)) ++square;
    EXPECT_EQ(square, (dpis[n] != 0 ? dpis[n] : 144) / 12) << dpis[n];
  }
  EXPECT_GT(bands[0], bands[1]);
  EXPECT_GT(bands[2], bands[0]);
  ::DestroyWindow(view);
}
