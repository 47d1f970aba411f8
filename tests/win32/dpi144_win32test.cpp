// The program at 150%, run by the test entry kelvane_win32_tests_dpi_144 in a
// Wine prefix whose screen has 144 dots per inch.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "app/dpi_win32.h"
#include "browser/formatbrowser_win32.h"
#include "browser_harness.h"
#include "dumpview/dumpview.h"
#include "picture/picturelayout.h"
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

// A wholly transparent DIB shows the checkerboard: 12-pixel squares below a
// caption line taller than at 100%; told 96 or 192 dots per inch, the view
// draws as at 100% or 200%.
TEST(Dpi144, PictureCheckerboardAndCaptionFollowTheDpi) {
  if (SystemDpi() != 144) GTEST_SKIP() << "the screen has " << SystemDpi() << " dots per inch, not 144";
  HWND parent = ::CreateWindowExA(0, "STATIC", "picture", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 30, 30, 700, 500,
                                  nullptr, nullptr, nullptr, nullptr);
  HWND view = ::CreateWindowExA(0, PICTUREVIEW_CLASS_NAME, "", WS_CHILD | WS_VISIBLE, 0, 0, 400, 300, parent,
                                nullptr, nullptr, nullptr);
  const BITMAPV5HEADER header = {.bV5Size = sizeof(BITMAPV5HEADER),
                                 .bV5Width = 64,
                                 .bV5Height = 64,
                                 .bV5Planes = 1,
                                 .bV5BitCount = 32,
                                 .bV5Compression = BI_BITFIELDS,
                                 .bV5RedMask = 0xFF0000,
                                 .bV5GreenMask = 0xFF00,
                                 .bV5BlueMask = 0xFF,
                                 .bV5AlphaMask = 0xFF000000};
  std::vector<std::uint8_t> dib(sizeof(header) + 64 * 64 * 4, 0);
  std::memcpy(dib.data(), &header, sizeof(header));
  const PictureRecord record = {dib.data(), static_cast<std::uint32_t>(dib.size()), CF_DIBV5, "", true};
  ::SendMessageA(view, PVM_SETPICTURE, 0, reinterpret_cast<LPARAM>(&record));
  int bands[3] = {};
  const std::uint32_t dpis[3] = {144, 96, 192};
  for (int n = 0; n < 3; ++n) {
    bands[n] = static_cast<int>(::SendMessageA(view, PVM_SETDPI, dpis[n], 0));
    RECT r = {};
    ::SendMessageA(view, PVM_GETPICTURERECT, 0, reinterpret_cast<LPARAM>(&r));
    const testsupport::WindowPixels pixels(view);
    int band = 0, square = 0;
    while (pixels.At(0, band) == ::GetSysColor(COLOR_BTNFACE)) ++band;
    while (pixels.At(r.left + square, r.top) == RGB(0xD8, 0xD8, 0xD8)) ++square;
    EXPECT_EQ(band, bands[n]) << dpis[n];
    EXPECT_EQ(square, static_cast<int>(dpis[n]) / 12) << dpis[n];
  }
  EXPECT_GT(bands[0], bands[1]);
  EXPECT_GT(bands[2], bands[0]);
  ::DestroyWindow(parent);
}
