// The system caret of a real dump view window, and caret following over
// 64 MiB of data.
#include <windows.h>
#include <gtest/gtest.h>

#include <vector>

#include "dumpview_host.h"
#include "testsupport.h"

using dumpviewtest::ViewHost;

namespace {

POINT CaretPos() {
  POINT p = {-12345, -12345};
  ::GetCaretPos(&p);
  return p;
}

// The thread's caret as the system reports it.
GUITHREADINFO CaretInfo() {
  GUITHREADINFO info = {};
  info.cbSize = sizeof(info);
  ::GetGUIThreadInfo(::GetCurrentThreadId(), &info);
  return info;
}

// Where the caret of byte p stands: one pixel left of its hex pair, at the
// top of its row's text (M = 16).
POINT Expected(const DumpViewState& s, std::uint32_t p) {
  const int column = 13 + 3 * static_cast<int>(p % 16);
  return POINT{(column - s.hScroll.nPos) * 8 - 1, (static_cast<int>(p / 16) - s.vScroll.nPos) * 18 + 24 + 4};
}

}  // namespace

TEST(DumpViewCaret, FollowsFocusCaretAndScrolling) {
  ViewHost host(640, 400);
  std::vector<std::uint8_t> bytes(16 * 100);
  host.SetData(bytes.data(), static_cast<std::uint32_t>(bytes.size()));
  ::SetFocus(host.view());
  ASSERT_EQ(::GetFocus(), host.view());
  const DumpViewState& s = host.state();
  EXPECT_EQ(s.flags & (HasFocus | CaretVisible), HasFocus | CaretVisible);
  GUITHREADINFO info = CaretInfo();
  EXPECT_EQ(info.hwndCaret, host.view());
  EXPECT_EQ(info.rcCaret.bottom - info.rcCaret.top, 16) << "as high as the font";
  POINT p = CaretPos();
  EXPECT_EQ(p.x, 13 * 8 - 1);
  EXPECT_EQ(p.y, 24 + 4);

  host.Send(DVM_SETCARET, 16 * 5 + 7);
  p = CaretPos();
  EXPECT_EQ(p.x, Expected(s, 16 * 5 + 7).x);
  EXPECT_EQ(p.y, Expected(s, 16 * 5 + 7).y);

  host.Send(WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, 10));
  p = CaretPos();
  EXPECT_EQ(p.x, (13 + 21 - 10) * 8 - 1);

  host.Send(WM_VSCROLL, MAKEWPARAM(SB_LINEDOWN, 0));
  p = CaretPos();
  EXPECT_EQ(p.y, 4 * 18 + 28);
  EXPECT_NE(s.flags & CaretVisible, 0);

  // Scrolled past the caret's row: hidden; back again: shown at its cell.
  host.Send(WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 6));
  EXPECT_EQ(s.flags & CaretVisible, 0);
  EXPECT_EQ(CaretPos().y, -18 + 28);
  host.Send(WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 5));
  EXPECT_NE(s.flags & CaretVisible, 0);
  EXPECT_EQ(CaretPos().y, 28);

  // Focus elsewhere: the caret goes, the position stays for next time.
  ::SetFocus(host.parent());
  EXPECT_EQ(s.flags & (HasFocus | CaretVisible), 0);
  EXPECT_EQ(CaretInfo().hwndCaret, nullptr);
  host.Send(DVM_SETCARET, 16 * 6);
  ::SetFocus(host.view());
  p = CaretPos();
  EXPECT_EQ(p.x, Expected(s, 16 * 6).x);
  EXPECT_EQ(p.y, Expected(s, 16 * 6).y);
}

TEST(DumpViewCaret, BlockShapeIsOneCellWide) {
  ViewHost host(640, 400);
  host.state().flags |= BlockCaret;
  ::SetFocus(host.view());
  const GUITHREADINFO info = CaretInfo();
  EXPECT_EQ(info.rcCaret.right - info.rcCaret.left, 8);
  EXPECT_EQ(info.rcCaret.bottom - info.rcCaret.top, 16);
  ::SetFocus(host.parent());
}

TEST(DumpViewCaret, DefaultCaretUsesTheSystemLineWidth) {
  ViewHost host(640, 400);
  ::SetFocus(host.view());
  const GUITHREADINFO info = CaretInfo();
  DWORD width = 0;
  ::SystemParametersInfoA(SPI_GETCARETWIDTH, 0, &width, 0);
  EXPECT_EQ(info.rcCaret.right - info.rcCaret.left, static_cast<LONG>(width));
  ::SetFocus(host.parent());
}

// 64 MiB: 4,194,304 rows, beyond the 16-bit positions of scroll messages.
class DumpViewLargeData : public ::testing::Test {
 protected:
  static constexpr std::uint32_t kLength = 64u << 20;
  static std::vector<std::uint8_t>& Bytes() {
    static std::vector<std::uint8_t> bytes(kLength, 0x5A);
    return bytes;
  }
};

TEST_F(DumpViewLargeData, SetCaretBringsTheLastRowsIntoView) {
  ViewHost host(640, 400);
  host.SetData(Bytes().data(), kLength);
  ::SetFocus(host.view());
  const SCROLLINFO v = host.ScrollInfo(SB_VERT);
  ASSERT_EQ(v.nMax, 4194304);
  const int page = static_cast<int>(v.nPage);

  host.Send(DVM_SETCARET, kLength - 1);  // the last byte, row 4,194,303
  EXPECT_EQ(host.ScrollInfo(SB_VERT).nPos, 4194303 - page + 1);
  EXPECT_EQ(host.state().vScroll.nPos, 4194303 - page + 1);
  POINT p = CaretPos();
  EXPECT_EQ(p.y, (page - 1) * 18 + 28) << "the caret stands in the last shown row";
  EXPECT_EQ(p.x, (13 + 45) * 8 - 1);

  host.Send(DVM_SETCARET, kLength);  // after the last byte, row 4,194,304
  EXPECT_EQ(host.ScrollInfo(SB_VERT).nPos, 4194304 - page + 1);
  host.Send(DVM_SETSEL, 16 * 70000 + 16, 16 * 70000);
  EXPECT_EQ(host.ScrollInfo(SB_VERT).nPos, 70001);
  ::SetFocus(host.parent());
}

namespace {

// The view's procedure, wrapped to log every scroll request and what the
// view made of it.
struct ThumbLog {
  WORD code;
  WORD word;
  LONG topRowAfter;
};
std::vector<ThumbLog>* g_thumbLog = nullptr;
WNDPROC g_viewProc = nullptr;

LRESULT CALLBACK LoggingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  const LRESULT result = ::CallWindowProcA(g_viewProc, window, message, wParam, lParam);
  if (message == WM_VSCROLL && g_thumbLog != nullptr) {
    const auto* state = reinterpret_cast<const DumpViewState*>(::GetWindowLongPtrA(window, 0));
    g_thumbLog->push_back({LOWORD(wParam), HIWORD(wParam), state->vScroll.nPos});
  }
  return result;
}

}  // namespace

// The user drags the thumb of the vertical bar to the bottom: the system
// tracks it, sends SB_THUMBTRACK with 16-bit words, and the view follows the
// 32-bit tracking position.
TEST_F(DumpViewLargeData, DraggingTheThumbReachesTheLastRows) {
  ViewHost host(640, 400);
  host.SetData(Bytes().data(), kLength);
  const int bottom = 4194305 - static_cast<int>(host.ScrollInfo(SB_VERT).nPage);

  SCROLLBARINFO bar = {};
  bar.cbSize = sizeof(bar);
  ASSERT_TRUE(::GetScrollBarInfo(host.view(), OBJID_VSCROLL, &bar));
  const int x = (bar.rcScrollBar.left + bar.rcScrollBar.right) / 2;
  const POINT thumb = {x, bar.rcScrollBar.top + (bar.xyThumbTop + bar.xyThumbBottom) / 2};
  const POINT end = {x, bar.rcScrollBar.bottom - 2};  // over the bar's last arrow

  std::vector<ThumbLog> log;
  g_thumbLog = &log;
  g_viewProc = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtrA(host.view(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(LoggingProc)));
  // The whole drag is queued before any of it is handled: the system's
  // tracking loop runs inside the dispatch of the button press and takes the
  // moves and the release from the queue.
  const POINT middle = {x, (thumb.y + end.y) / 2};
  using testsupport::MouseInput;
  INPUT drag[] = {MouseInput(thumb, 0), MouseInput(thumb, MOUSEEVENTF_LEFTDOWN), MouseInput(middle, 0),
                  MouseInput(end, 0), MouseInput(end, MOUSEEVENTF_LEFTUP)};
  ASSERT_EQ(::SendInput(5, drag, sizeof(INPUT)), 5u);
  testsupport::WaitUntil([&] { return !log.empty() && log.back().code == SB_ENDSCROLL; }, 2000);
  ::SetWindowLongPtrA(host.view(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_viewProc));
  g_thumbLog = nullptr;

  ASSERT_FALSE(log.empty());
  std::size_t tracks = 0;
  for (const ThumbLog& entry : log) {
    if (entry.code != SB_THUMBTRACK) continue;
    ++tracks;
    EXPECT_EQ(static_cast<WORD>(entry.topRowAfter & 0xFFFF), entry.word) << "the word is the low 16 bits";
  }
  EXPECT_GE(tracks, 1u);
  EXPECT_EQ(log.back().code, SB_ENDSCROLL);
  EXPECT_EQ(host.state().vScroll.nPos, bottom) << "dragged to the end: the last rows";
  EXPECT_EQ(host.ScrollInfo(SB_VERT).nPos, bottom);
}

TEST_F(DumpViewLargeData, AParentsThumbTrackSetsExactlyItsWord) {
  ViewHost host(640, 400);
  host.SetData(Bytes().data(), kLength);
  host.Send(WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 0xFFFF));
  EXPECT_EQ(host.state().vScroll.nPos, 0xFFFF);
  // Holding the capture alone does not make a request the system's own.
  host.Send(DVM_SETCARET, 16 * 200000);
  const LONG top = host.state().vScroll.nPos;
  ASSERT_GT(top, 0xFFFF);
  ::SetCapture(host.view());
  host.Send(WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 300));
  ::ReleaseCapture();
  EXPECT_EQ(host.state().vScroll.nPos, 300);
}
