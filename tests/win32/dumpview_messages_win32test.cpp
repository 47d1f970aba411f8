// The private messages of a real dump view window, sent as any parent would.
#include <windows.h>
#include <gtest/gtest.h>

#include <vector>

#include "dumpview/viewstate.h"
#include "dumpview_host.h"
#include "testsupport.h"

using dumpviewtest::ViewHost;

TEST(DumpViewMessages, SelectionThroughSendMessage) {
  ViewHost host(640, 400);
  std::vector<std::uint8_t> bytes(100);
  host.SetData(bytes.data(), 100);
  UINT first = 7, last = 7;
  EXPECT_EQ(host.Send(DVM_GETSEL, reinterpret_cast<WPARAM>(&first), reinterpret_cast<LPARAM>(&last)), 0);
  EXPECT_EQ(first, 0u);
  EXPECT_EQ(last, 0u);

  EXPECT_EQ(host.Send(DVM_SETSEL, 20, 10), 0);
  EXPECT_EQ(host.Send(DVM_GETSEL, reinterpret_cast<WPARAM>(&first), reinterpret_cast<LPARAM>(&last)), 1);
  EXPECT_EQ(first, 10u);
  EXPECT_EQ(last, 19u);
  EXPECT_EQ(host.Send(DVM_GETCARET), 20);

  EXPECT_EQ(host.Send(DVM_SETSEL, 10, 20), 0);  // refused
  EXPECT_EQ(host.Send(DVM_SETSEL, 101, 0), 0);  // refused
  EXPECT_EQ(host.Send(DVM_GETCARET), 20);

  EXPECT_EQ(host.Send(DVM_SETSEL, static_cast<WPARAM>(-1), 0), 0);
  EXPECT_EQ(host.Send(DVM_GETCARET), 99);
  host.Send(DVM_GETSEL, reinterpret_cast<WPARAM>(&first), reinterpret_cast<LPARAM>(&last));
  EXPECT_EQ(first, 0u);
  EXPECT_EQ(last, 98u);

  // A caller that wants only one end may pass no address for the other.
  EXPECT_EQ(host.Send(DVM_GETSEL, 0, reinterpret_cast<LPARAM>(&last)), 1);
  EXPECT_EQ(host.Send(DVM_GETSEL, 0, 0), 1);

  EXPECT_EQ(host.Send(DVM_SETCARET, 5000), 0);
  EXPECT_EQ(host.Send(DVM_GETCARET), 100) << "held to the end of the data";
  EXPECT_EQ(host.Send(DVM_GETSEL, reinterpret_cast<WPARAM>(&first), reinterpret_cast<LPARAM>(&last)), 1);
  EXPECT_EQ(first, 0u) << "the selection keeps its anchor";
}

TEST(DumpViewMessages, CodePageAndColours) {
  ViewHost host(640, 400);
  EXPECT_EQ(host.Send(DVM_SETCODEPAGE, 0x1FDE9), 0);
  EXPECT_EQ(host.Send(DVM_GETCODEPAGE), 65001);
  EXPECT_EQ(host.Send(DVM_SETCOLOR, DVC_SELBACK, RGB(1, 2, 3)), 0);
  EXPECT_EQ(static_cast<COLORREF>(host.Send(DVM_GETCOLOR, DVC_SELBACK)), RGB(1, 2, 3));
  EXPECT_EQ(host.state().selBackColor, RGB(1, 2, 3));
  EXPECT_EQ(host.Send(DVM_GETCOLOR, 6), 0);
  EXPECT_EQ(host.Send(DVM_SETCOLOR, 6, RGB(9, 9, 9)), 0);
  for (WPARAM i = 0; i < 6; ++i) EXPECT_NE(static_cast<COLORREF>(host.Send(DVM_GETCOLOR, i)), RGB(9, 9, 9));
  // Numbers between the caret and colour messages are not the control's.
  EXPECT_EQ(host.Send(0xA009, 1, 1), 0);
  EXPECT_EQ(host.Send(0xA013, 1, 1), 0);
}

TEST(DumpViewLifetime, DestructionDeletesTheFontAndClearsTheSlot) {
  auto host = std::make_unique<ViewHost>(640, 400);
  HWND view = host->view();
  HGDIOBJ font = static_cast<HGDIOBJ>(host->state().font);
  ASSERT_EQ(::GetObjectType(font), static_cast<DWORD>(OBJ_FONT));
  std::vector<std::uint8_t> bytes(64);
  host->SetData(bytes.data(), 64);
  ::DestroyWindow(view);
  EXPECT_FALSE(::IsWindow(view));
  EXPECT_EQ(::GetObjectType(font), 0u) << "the cell font is deleted with the window";
  host.reset();
}

TEST(DumpViewLifetime, CreationFailsCleanlyWithoutMemory) {
  SetDumpViewStateAllocator([](std::size_t) -> void* { return nullptr; });
  HWND view = ::CreateWindowExA(0, DUMPVIEW_CLASS_NAME, "", WS_CHILD | WS_VISIBLE, 0, 0, 100, 100,
                                ViewHost(10, 10).parent(), nullptr, ::GetModuleHandleA(nullptr), nullptr);
  SetDumpViewStateAllocator(nullptr);
  EXPECT_EQ(view, nullptr);
}

TEST(DumpViewLifetime, SurvivesDegenerateClientAreas) {
  std::vector<std::uint8_t> bytes(16 * 50 + 3);
  for (SIZE size : {SIZE{0, 0}, SIZE{1, 1}, SIZE{1, 30}, SIZE{30, 1}}) {
    for (std::uintptr_t param : {std::uintptr_t{1}, std::uintptr_t{16}}) {
      ViewHost host(size.cx, size.cy, param);
      ASSERT_NE(host.view(), nullptr);
      host.SetData(bytes.data(), static_cast<std::uint32_t>(bytes.size()));
      const DumpViewState& s = host.state();
      const RECT client = host.Client();
      if (static_cast<std::uint32_t>(client.bottom) < GeometryOf(s).headerBand) {
        EXPECT_EQ(s.vScroll.nPage, 51u) << "every row counts as shown: " << size.cx << "x" << size.cy;
      }
      ::SetFocus(host.view());
      for (WORD code = 0; code <= 8; ++code) {
        host.Send(WM_VSCROLL, MAKEWPARAM(code, 3));
        host.Send(WM_HSCROLL, MAKEWPARAM(code, 3));
      }
      host.Send(DVM_SETSEL, static_cast<WPARAM>(-1), 0);
      host.Send(DVM_SETCARET, static_cast<WPARAM>(bytes.size()));
      host.ResizeView(0, 0);
      host.Send(DVM_SETCARET, 0);
      testsupport::PumpMessages(5);
      EXPECT_TRUE(::IsWindow(host.view()));
      EXPECT_EQ(host.Send(DVM_GETCARET), 0);
    }
  }
}
