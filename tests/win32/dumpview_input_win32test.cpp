// Keys, clicks, drags with autoscroll and the wheel on a real dump view: the
// keys are posted to it, the pointer is real input through SendInput.
// Font height 16: cells 8 x 18 pixels, the first row's band from y = 26.
#include <windows.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "dumpview_host.h"
#include "testsupport.h"

using dumpviewtest::ViewHost;
using testsupport::SendMouseAt;

namespace {

void SetShift(bool down) {
  BYTE keys[256] = {};
  ::GetKeyboardState(keys);
  keys[VK_SHIFT] = down ? 0x80 : 0;
  ::SetKeyboardState(keys);
}

void PressKey(const ViewHost& host, WPARAM key) {
  ::PostMessageA(host.view(), WM_KEYDOWN, key, 1);
  ::PostMessageA(host.view(), WM_KEYUP, key, static_cast<LPARAM>(0xC0000001u));
  testsupport::PumpMessages(0);
}

UINT Caret(const ViewHost& host) { return static_cast<UINT>(host.Send(DVM_GETCARET)); }

// The selected bytes as "first-last", or "none".
std::string Selection(const ViewHost& host) {
  UINT first = 0, last = 0;
  if (host.Send(DVM_GETSEL, reinterpret_cast<WPARAM>(&first), reinterpret_cast<LPARAM>(&last)) == 0)
    return "none";
  return std::to_string(first) + "-" + std::to_string(last);
}

// Where the system caret must stand for the view's caret: one pixel left of
// its hex pair or text cell, at the top of its row's text.
POINT ExpectedCaretPos(const DumpViewState& s, bool inText) {
  const int i = static_cast<int>(s.caret % 16);
  const int column = inText ? 62 + i : 13 + 3 * i;
  return POINT{(column - s.hScroll.nPos) * 8 - 1,
               (static_cast<int>(s.caret / 16) - s.vScroll.nPos) * 18 + 28};
}

void ExpectCaretAt(const ViewHost& host, bool inText) {
  POINT actual = {};
  ::GetCaretPos(&actual);
  const POINT expected = ExpectedCaretPos(host.state(), inText);
  EXPECT_EQ(actual.x, expected.x) << "caret " << host.state().caret;
  EXPECT_EQ(actual.y, expected.y) << "caret " << host.state().caret;
}

int CaretWidth() {
  GUITHREADINFO info = {};
  info.cbSize = sizeof(info);
  ::GetGUIThreadInfo(::GetCurrentThreadId(), &info);
  return info.rcCaret.right - info.rcCaret.left;
}

// A client point at grid column `column` (its left pixel plus 1) and data row
// `row` of the view.
POINT Cell(int column, int row) { return POINT{column * 8 + 1, 26 + 18 * row + 4}; }

// Keeps the real pointer away from the views, where a move that Wine
// delivers after a capture ends does nothing.
void ParkPointer() { ::SetCursorPos(1270, 1010); }

}  // namespace

TEST(DumpViewInput, KeysMoveTheCaretAndSelectAsTheTableSays) {
  ViewHost host(700, 400);
  std::vector<std::uint8_t> bytes(1600);
  host.SetData(bytes.data(), 1600);
  ::SetFocus(host.view());
  const DumpViewState& s = host.state();
  const int page = static_cast<int>(s.vScroll.nPage);
  ASSERT_GT(page, 5);

  PressKey(host, VK_END);
  EXPECT_EQ(Caret(host), 1600u);
  EXPECT_EQ(s.vScroll.nPos, 101 - page) << "the caret's row, which holds no byte, is the last shown";
  ExpectCaretAt(host, false);
  PressKey(host, VK_HOME);
  EXPECT_EQ(Caret(host), 0u);
  EXPECT_EQ(s.vScroll.nPos, 0);

  SetShift(true);
  PressKey(host, VK_RIGHT);
  PressKey(host, VK_RIGHT);
  PressKey(host, VK_RIGHT);
  PressKey(host, VK_DOWN);
  SetShift(false);
  EXPECT_EQ(Caret(host), 19u);
  EXPECT_EQ(Selection(host), "0-18");
  PressKey(host, VK_RIGHT);
  EXPECT_EQ(Caret(host), 20u);
  EXPECT_EQ(Selection(host), "none");

  PressKey(host, VK_NEXT);
  EXPECT_EQ(Caret(host), static_cast<UINT>(20 + 16 * page));
  EXPECT_EQ(s.vScroll.nPos, page);
  EXPECT_EQ(host.ScrollInfo(SB_VERT).nPos, page);
  ExpectCaretAt(host, false);
  PressKey(host, VK_PRIOR);
  EXPECT_EQ(Caret(host), 20u);
  EXPECT_EQ(s.vScroll.nPos, 0);
  ExpectCaretAt(host, false);
  ::SetFocus(host.parent());
}

TEST(DumpViewInput, InsertSwitchesBetweenLineAndBlockCaret) {
  ViewHost host(700, 400);
  std::vector<std::uint8_t> bytes(100);
  host.SetData(bytes.data(), 100);
  host.Send(DVM_SETCARET, 37);
  ::SetFocus(host.view());
  const int lineWidth = CaretWidth();
  PressKey(host, VK_INSERT);
  EXPECT_EQ(CaretWidth(), 8) << "one cell";
  ExpectCaretAt(host, false);
  EXPECT_EQ(Caret(host), 37u);
  ::SetFocus(host.parent());
  ::SetFocus(host.view());
  EXPECT_EQ(CaretWidth(), 8) << "the shape outlives the focus";
  PressKey(host, VK_INSERT);
  EXPECT_EQ(CaretWidth(), lineWidth);
  ::SetFocus(host.parent());
}

TEST(DumpViewInput, ClickPlacesTheCaretInTheHexOrTextColumn) {
  ViewHost host(700, 400);
  std::vector<std::uint8_t> bytes(1600);
  host.SetData(bytes.data(), 1600);
  ::SetFocus(host.parent());

  SendMouseAt(host.view(), Cell(23, 2), MOUSEEVENTF_LEFTDOWN);  // second digit of pair 3
  EXPECT_EQ(::GetFocus(), host.view());
  EXPECT_EQ(::GetCapture(), host.view()) << "a drag holds the mouse";
  SendMouseAt(host.view(), Cell(23, 2), MOUSEEVENTF_LEFTUP);
  EXPECT_EQ(::GetCapture(), nullptr);
  EXPECT_EQ(Caret(host), 36u) << "the line caret takes the gap before byte 4";
  ExpectCaretAt(host, false);

  PressKey(host, VK_INSERT);
  SendMouseAt(host.view(), Cell(23, 2), MOUSEEVENTF_LEFTDOWN);
  SendMouseAt(host.view(), Cell(23, 2), MOUSEEVENTF_LEFTUP);
  EXPECT_EQ(Caret(host), 35u) << "the block caret takes the pair under the pointer";
  PressKey(host, VK_INSERT);

  SendMouseAt(host.view(), Cell(67, 1), MOUSEEVENTF_LEFTDOWN);  // text cell 5, left half
  SendMouseAt(host.view(), Cell(67, 1), MOUSEEVENTF_LEFTUP);
  EXPECT_EQ(Caret(host), 21u);
  ExpectCaretAt(host, true);

  // Shift+click selects from the caret; the keys keep the text column.
  INPUT shift = {};
  shift.type = INPUT_KEYBOARD;
  shift.ki.wVk = VK_SHIFT;
  ::SendInput(1, &shift, sizeof(shift));
  SendMouseAt(host.view(), Cell(70, 3), MOUSEEVENTF_LEFTDOWN);
  SendMouseAt(host.view(), Cell(70, 3), MOUSEEVENTF_LEFTUP);
  shift.ki.dwFlags = KEYEVENTF_KEYUP;
  ::SendInput(1, &shift, sizeof(shift));
  testsupport::PumpMessages(30);
  EXPECT_EQ(Caret(host), 56u);
  EXPECT_EQ(Selection(host), "21-55");
  PressKey(host, VK_LEFT);
  ExpectCaretAt(host, true);

  // A click on no cell puts the caret at the end, in the same column area,
  // until the pointer moves: posted, so that no move follows the press.
  ::PostMessageA(host.view(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(33, 30));
  testsupport::PumpMessages(0);
  EXPECT_EQ(Caret(host), 1600u);
  ExpectCaretAt(host, true);
  ::PostMessageA(host.view(), WM_LBUTTONUP, 0, MAKELPARAM(33, 30));
  testsupport::PumpMessages(0);
  ParkPointer();
  ::SetFocus(host.parent());
}

namespace {

// A view with room around it in the shared parent, so that the pointer can
// leave it on every side; its client area shows 28 columns and 11 rows.
class DumpViewDrag : public ::testing::Test {
 protected:
  void SetUp() override {
    host_ = std::make_unique<ViewHost>(240, 240);
    bytes_.assign(1600, 0x41);
    host_->SetData(bytes_.data(), 1600);
    ::SetWindowPos(host_->view(), nullptr, 400, 300, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    client_ = host_->Client();
  }
  void TearDown() override {
    SendMouseAt(host_->view(), Cell(20, 2), MOUSEEVENTF_LEFTUP);
    ParkPointer();
    host_.reset();
  }
  LONG Top() const { return host_->state().vScroll.nPos; }
  LONG Left() const { return host_->state().hScroll.nPos; }
  // Whether, once the pointer is at p, the autoscroll runs at speed and the
  // view scrolls rows more at it. The view is read after every message: on a
  // busy machine a repaint can outlast the fastest timer's period, and a queue
  // that never empties must not carry the view to its end unseen.
  bool ScrollsAt(POINT p, std::uint32_t speed, LONG rows) {
    MoveWithoutPumping(p);
    LONG from = -1;
    return Until([&] {
      if (from < 0 && Speed() == speed) from = Top();
      return from >= 0 && Top() - from >= rows;
    });
  }
  // The pointer moves to p (client coordinates) and nothing is dispatched yet.
  void MoveWithoutPumping(POINT p) const {
    ::ClientToScreen(host_->view(), &p);
    INPUT input = testsupport::MouseInput(p, 0);
    ::SendInput(1, &input, sizeof(INPUT));
  }
  // Dispatches one message at a time until done() holds, checking it after
  // each: on a busy machine a repaint can outlast the fastest timer's period,
  // and a queue that never empties must not carry the view to its end unseen.
  template <typename Done>
  static bool Until(Done done) {
    for (const DWORD start = ::GetTickCount(); ::GetTickCount() - start < 10000;) {
      if (done()) return true;
      MSG msg;
      if (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::DispatchMessageA(&msg);
      } else {
        ::Sleep(1);
      }
    }
    return done();
  }
  std::uint32_t Speed() const { return host_->state().scrollFlags & VAutoSpeedMask; }

  std::unique_ptr<ViewHost> host_;
  std::vector<std::uint8_t> bytes_;
  RECT client_ = {};
};

}  // namespace

TEST_F(DumpViewDrag, SelectsAndAutoscrollsInAllFourDirections) {
  const ViewHost& host = *host_;
  const LONG right = client_.right;
  const LONG bottom = client_.bottom;
  SendMouseAt(host.view(), Cell(17, 2), MOUSEEVENTF_LEFTDOWN);  // the gap before byte 34
  SendMouseAt(host.view(), Cell(20, 4), 0);                     // inside: the caret follows
  EXPECT_EQ(Caret(host), 67u);
  EXPECT_EQ(Selection(host), "34-66");

  // Below the window: slow, then fast; the caret goes down with the view.
  EXPECT_TRUE(ScrollsAt(POINT{right / 2, bottom + 30}, 1, 2));
  EXPECT_TRUE(ScrollsAt(POINT{right / 2, bottom + 160}, 3, 3));
  EXPECT_EQ(Caret(host) / 16, static_cast<UINT>(4 + Top())) << "the caret keeps its place in the view";

  // Far above: to the very start, where the timer stops.
  MoveWithoutPumping(POINT{right / 2, -200});
  EXPECT_TRUE(Until([&] { return Caret(host) == 0; }));
  EXPECT_EQ(Top(), 0);
  EXPECT_EQ(Selection(host), "0-33") << "the anchor stays where the drag began";

  // Right of the window: the view moves a column at a time, the caret with it.
  MoveWithoutPumping(POINT{right + 20, 100});
  EXPECT_TRUE(Until([&] { return Left() >= 3; }));
  EXPECT_GT(Caret(host), 0u);
  EXPECT_LT(Caret(host), 16u);

  // Left of it, with the first pairs scrolled off: back to column 13.
  host.Send(WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, 19));
  MoveWithoutPumping(POINT{-20, 100});
  EXPECT_TRUE(Until([&] { return Left() == 13; }));
  EXPECT_EQ(Caret(host), 0u);

  // The release ends the drag: nothing moves any more.
  SendMouseAt(host.view(), POINT{right / 2, bottom + 160}, 0, 0);
  SendMouseAt(host.view(), POINT{right / 2, bottom + 160}, MOUSEEVENTF_LEFTUP, 0);
  EXPECT_TRUE(testsupport::WaitUntil([] { return ::GetCapture() == nullptr; }));
  const LONG top = Top();
  const UINT caret = Caret(host);
  testsupport::PumpMessages(200);
  EXPECT_EQ(Top(), top);
  EXPECT_EQ(Caret(host), caret);
  EXPECT_EQ(host.state().flags & Dragging, 0);
}

TEST_F(DumpViewDrag, LosingTheCaptureEndsTheDrag) {
  const ViewHost& host = *host_;
  SendMouseAt(host.view(), Cell(17, 2), MOUSEEVENTF_LEFTDOWN);
  SendMouseAt(host.view(), POINT{client_.right / 2, client_.bottom + 30}, 0);
  EXPECT_TRUE(testsupport::WaitUntil([&] { return Top() > 0; }, 2000));
  ::SetCapture(host.parent());
  EXPECT_EQ(host.state().flags & Dragging, 0);
  const LONG top = Top();
  testsupport::PumpMessages(300);
  EXPECT_EQ(Top(), top) << "the timers stopped with the drag";
  ::ReleaseCapture();
}

TEST(DumpViewInput, WheelScrollsRowsOrWithShiftColumns) {
  ViewHost host(300, 400);
  std::vector<std::uint8_t> bytes(1600);
  host.SetData(bytes.data(), 1600);
  const DumpViewState& s = host.state();
  UINT lines = 0;
  ASSERT_TRUE(::SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines, 0));
  auto wheel = [&](WORD keys, short delta) {
    ::PostMessageA(host.view(), WM_MOUSEWHEEL, MAKEWPARAM(keys, static_cast<WORD>(delta)),
                   MAKELPARAM(50, 50));
    testsupport::PumpMessages(0);
  };
  wheel(0, -120);
  EXPECT_EQ(s.vScroll.nPos, static_cast<int>(lines));
  wheel(0, -30);
  EXPECT_EQ(s.vScroll.nPos, static_cast<int>(2 * lines)) << "only the sign counts";
  wheel(0, 240);
  EXPECT_EQ(s.vScroll.nPos, static_cast<int>(lines));
  wheel(MK_SHIFT, -120);
  EXPECT_EQ(s.hScroll.nPos, static_cast<int>(lines));
  EXPECT_EQ(host.ScrollInfo(SB_HORZ).nPos, static_cast<int>(lines));
  EXPECT_EQ(Caret(host), 0u) << "the wheel moves the view only";

  ASSERT_TRUE(::SystemParametersInfoA(SPI_SETWHEELSCROLLLINES, WHEEL_PAGESCROLL, nullptr, 0));
  wheel(0, -120);
  ::SystemParametersInfoA(SPI_SETWHEELSCROLLLINES, lines, nullptr, 0);
  EXPECT_EQ(s.vScroll.nPos, static_cast<int>(lines + s.vScroll.nPage)) << "a page per notch";
}

// 4 MiB: 262,144 rows, four times the 16-bit range of scroll positions.
TEST(DumpViewInput, KeysClicksDragsAndWheelReachRowsPast65535) {
  ViewHost host(700, 400);
  std::vector<std::uint8_t> bytes(4u << 20, 0x20);
  host.SetData(bytes.data(), static_cast<std::uint32_t>(bytes.size()));
  ::SetFocus(host.view());
  const DumpViewState& s = host.state();
  const LONG bottom = 262145 - static_cast<LONG>(s.vScroll.nPage);

  PressKey(host, VK_END);
  EXPECT_EQ(s.vScroll.nPos, bottom);
  EXPECT_EQ(host.ScrollInfo(SB_VERT).nPos, bottom);
  PressKey(host, VK_PRIOR);
  const LONG top = s.vScroll.nPos;
  EXPECT_EQ(top, bottom - static_cast<LONG>(s.vScroll.nPage));

  ::PostMessageA(host.view(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)), 0);
  testsupport::PumpMessages(0);
  ::PostMessageA(host.view(), WM_MOUSEWHEEL, MAKEWPARAM(0, 120), 0);
  testsupport::PumpMessages(0);
  EXPECT_EQ(s.vScroll.nPos, top);

  SendMouseAt(host.view(), Cell(28, 3), MOUSEEVENTF_LEFTDOWN);  // the gap before pair 5
  const UINT clicked = static_cast<UINT>((top + 3) * 16 + 5);
  EXPECT_EQ(Caret(host), clicked);
  SendMouseAt(host.view(), POINT{300, -20}, 0, 0);
  EXPECT_TRUE(testsupport::WaitUntil([&] { return s.vScroll.nPos <= top - 2; }, 2000));
  SendMouseAt(host.view(), POINT{300, -20}, MOUSEEVENTF_LEFTUP);
  EXPECT_GT(s.vScroll.nPos, 65535);
  EXPECT_LT(Caret(host), clicked);
  EXPECT_EQ(Caret(host) % 16, 5u);
  UINT first = 0, last = 0;
  host.Send(DVM_GETSEL, reinterpret_cast<WPARAM>(&first), reinterpret_cast<LPARAM>(&last));
  EXPECT_EQ(last, clicked - 1) << "selected up to where the drag began";
  ParkPointer();
  ::SetFocus(host.parent());
}
