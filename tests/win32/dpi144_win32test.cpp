// The program at 150%: run by the test entry kelvane_win32_tests_dpi_144 in a
// Wine prefix whose screen has 144 dots per inch. What the program gives in
// pixels grows by half; what it gives in dialog units and points grows
// through them.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include "app/dpi_win32.h"
#include "browser/formatbrowser_win32.h"
#include "browser_harness.h"
#include "dumpview/dumpview.h"
#include "testsupport.h"

TEST(Dpi144, ListsFrameAndCellsGrowByHalf) {
  if (SystemDpi() != 144) GTEST_SKIP() << "the screen has " << SystemDpi() << " dots per inch, not 144";
  ASSERT_TRUE(testsupport::PutClipboardBytes(CF_TEXT, "Hello, dump", 12));
  browsertest::BrowserDialog run;
  ASSERT_NE(run.dialog(), nullptr);
  EXPECT_EQ(WindowDpi(run.dialog()), 144u);

  // The columns: 8 and 7 base units of the system font, which Wine makes 11
  // pixels wide here (7 at 100%), the second column filling the rest.
  EXPECT_EQ(LOWORD(::GetDialogBaseUnits()), 11);
  const HWND lists[] = {run.registeredList(), run.availableList()};
  const int firstWidths[] = {88, 77};
  for (int n = 0; n < 2; ++n) {
    RECT client = {};
    ::GetClientRect(lists[n], &client);
    EXPECT_EQ(browsertest::Column(lists[n], 0).width, firstWidths[n]);
    EXPECT_EQ(browsertest::Column(lists[n], 1).width, client.right - firstWidths[n]);
  }

  // The frame: 975 x 450 pixels, 2 pixels left of the dialog, below it.
  run.Analyze();
  browsertest::SelectItem(run.availableList(), browsertest::ItemOfFormat(run.availableList(), CF_TEXT));
  run.Toggle();
  ASSERT_NE(g_dumpFrame, nullptr);
  RECT dialogRect = {};
  RECT frameRect = {};
  ::GetWindowRect(run.dialog(), &dialogRect);
  ::GetWindowRect(g_dumpFrame, &frameRect);
  EXPECT_EQ(frameRect.left, dialogRect.left - 2);
  EXPECT_EQ(frameRect.top, dialogRect.bottom);
  EXPECT_EQ(frameRect.right - frameRect.left, 975);
  EXPECT_EQ(frameRect.bottom - frameRect.top, 450);

  // The cells are 12 pixels wide: the header's first digit is drawn in grid
  // column 13, from x = 156 (104 at 100%).
  HWND view = ::FindWindowExA(g_dumpFrame, nullptr, DUMPVIEW_CLASS_NAME, nullptr);
  ASSERT_NE(view, nullptr);
  ::RedrawWindow(view, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  testsupport::PumpMessages(50);
  HDC dc = ::GetDC(view);
  const COLORREF band = ::GetPixel(dc, 2, 2);
  int firstInk = -1;
  for (int x = 0; x < 300 && firstInk == -1; ++x) {
    for (int y = 0; y < 36 && firstInk == -1; ++y) {
      if (::GetPixel(dc, x, y) != band) firstInk = x;
    }
  }
  ::ReleaseDC(view, dc);
  EXPECT_GE(firstInk, 13 * 12);
  EXPECT_LT(firstInk, 14 * 12);
  run.Toggle();
  testsupport::ClearClipboard();
}
