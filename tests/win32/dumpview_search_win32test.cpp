// DVM_FINDBYTES and DVM_FINDTEXT sent to a real dump view, as any parent
// would: results, last-error codes, refusals, and the selection and scroll
// position that DVFIND_SELECT leaves on screen.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "dumpview/dumpview.h"
#include "dumpview/search_win32.h"
#include "dumpview_host.h"

namespace {

using dumpviewtest::ViewHost;

constexpr UINT kNone = 0xFFFFFFFFu;

struct Answer {
  UINT index;
  DWORD lastError;
  LRESULT raw;
};

// Sends a search with the thread's last-error code set to something else
// first, so that the answer shows the code the control set.
Answer Search(const ViewHost& host, UINT message, WPARAM flags, const void* record) {
  ::SetLastError(12345);
  const LRESULT raw = host.Send(message, flags, reinterpret_cast<LPARAM>(record));
  return Answer{static_cast<UINT>(raw), ::GetLastError(), raw};
}

Answer FindBytes(const ViewHost& host, WPARAM flags, const void* pattern, UINT length, UINT start, UINT end) {
  DumpFindBytes find{sizeof(DumpFindBytes), static_cast<const BYTE*>(pattern), length, start, end};
  return Search(host, DVM_FINDBYTES, flags, &find);
}

Answer FindText(const ViewHost& host, WPARAM flags, const char* text, UINT start, UINT end) {
  DumpFindText find{sizeof(DumpFindText), text, start, end};
  return Search(host, DVM_FINDTEXT, flags, &find);
}

struct Selection {
  LRESULT any;
  UINT first;
  UINT last;
};

Selection GetSel(const ViewHost& host) {
  Selection s{0, 0, 0};
  s.any = host.Send(DVM_GETSEL, reinterpret_cast<WPARAM>(&s.first), reinterpret_cast<LPARAM>(&s.last));
  return s;
}

// The colour on screen at the middle of the first hex digit of byte b, which
// lies in shown row k (16-pixel font: cells 8 x 16, rows 18 apart, the first
// row's text at y = 28), with leftColumn 0.
COLORREF HexCellColor(HWND view, std::uint32_t b, int k) {
  ::RedrawWindow(view, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  HDC dc = ::GetDC(view);
  const COLORREF color = ::GetPixel(dc, static_cast<int>(13 + 3 * (b % 16)) * 8 + 1, 28 + 18 * k + 1);
  ::ReleaseDC(view, dc);
  return color;
}

}  // namespace

TEST(DumpViewSearch, FindBytesResultsErrorsAndRefusals) {
  ViewHost host(640, 400);
  const std::uint8_t data[] = {0x41, 0x42, 0x43, 0x41, 0x42, 0x43};
  host.SetData(data, sizeof(data));
  const std::uint8_t bc[] = {0x42, 0x43};

  Answer a = FindBytes(host, 0, bc, 2, 0, 6);
  EXPECT_EQ(a.index, 1u);
  EXPECT_EQ(a.lastError, 0u);
  EXPECT_EQ(FindBytes(host, 0, bc, 2, 0, 2).index, kNone) << "forward: the match must end by `end`";
  EXPECT_EQ(FindBytes(host, DVFIND_BACKWARD, bc, 2, 0, 6).index, 4u);
  EXPECT_EQ(FindBytes(host, DVFIND_BACKWARD, bc, 2, 0, 4).index, 4u)
      << "backward: a match may begin at `end`";
  a = FindBytes(host, DVFIND_BACKWARD, bc, 2, 2, 3);
  EXPECT_EQ(a.raw, -1) << "none is -1 on either build";
  EXPECT_EQ(a.lastError, 0u);

  // Refusals leave the selection alone...
  host.Send(DVM_SETSEL, 3, 1);
  const DumpFindBytes wrongSize{sizeof(DumpFindBytes) - 1, bc, 2, 0, 6};
  const DumpFindBytes noPattern{sizeof(DumpFindBytes), nullptr, 2, 0, 6};
  const DumpFindBytes* const refused[] = {nullptr, &wrongSize, &noPattern};
  for (const DumpFindBytes* bad : refused) {
    a = Search(host, DVM_FINDBYTES, DVFIND_SELECT, bad);
    EXPECT_EQ(a.raw, -1);
    EXPECT_EQ(a.lastError, static_cast<DWORD>(DV_ERROR_BAD_REQUEST));
    EXPECT_EQ(GetSel(host).any, 1);
  }
  // ...but an end before the start, though refused, clears it.
  a = FindBytes(host, DVFIND_SELECT, bc, 2, 5, 4);
  EXPECT_EQ(a.index, kNone);
  EXPECT_EQ(a.lastError, static_cast<DWORD>(DV_ERROR_BAD_REQUEST));
  EXPECT_EQ(GetSel(host).any, 0);
}

TEST(DumpViewSearch, SelectScrollsA64MiBViewToTheMatch) {
  constexpr std::uint32_t kLength = 64u << 20;
  static std::vector<std::uint8_t> bytes(kLength, 0);
  const std::uint8_t pattern[] = {0xDE, 0xC0, 0xAD, 0x0B};
  const std::uint32_t nearEnd = kLength - 100, nearStart = 16 * 1000 + 5;
  std::memcpy(&bytes[nearEnd], pattern, sizeof(pattern));
  std::memcpy(&bytes[nearStart], pattern, sizeof(pattern));

  ViewHost host(800, 400);
  const COLORREF selBack = RGB(0x00, 0x60, 0x00);
  host.Send(DVM_SETCOLOR, DVC_SELBACK, selBack);
  host.SetData(bytes.data(), kLength);
  const int page = static_cast<int>(host.ScrollInfo(SB_VERT).nPage);

  // Found from the top, the match is selected and its row comes to the bottom.
  EXPECT_EQ(FindBytes(host, DVFIND_SELECT, pattern, 4, nearStart + 1, kLength).index, nearEnd);
  Selection s = GetSel(host);
  EXPECT_EQ(s.any, 1);
  EXPECT_EQ(s.first, nearEnd);
  EXPECT_EQ(s.last, nearEnd + 3);
  EXPECT_EQ(static_cast<UINT>(host.Send(DVM_GETCARET)), nearEnd + 4);
  const int caretRow = static_cast<int>((nearEnd + 4) / 16);
  EXPECT_EQ(host.ScrollInfo(SB_VERT).nPos, caretRow - page + 1);
  // The caret stands at the start of the next row; the match's row is above it.
  EXPECT_EQ(HexCellColor(host.view(), nearEnd, page - 2), selBack);

  // Backward from the end, the earlier match; its row comes to the top.
  EXPECT_EQ(FindBytes(host, DVFIND_SELECT | DVFIND_BACKWARD, pattern, 4, 0, nearEnd - 1).index, nearStart);
  EXPECT_EQ(GetSel(host).first, nearStart);
  EXPECT_EQ(host.ScrollInfo(SB_VERT).nPos, static_cast<int>(nearStart / 16));
  EXPECT_EQ(HexCellColor(host.view(), nearStart, 0), selBack);

  // Nothing found: nothing selected, nothing highlighted.
  EXPECT_EQ(FindBytes(host, DVFIND_SELECT, pattern, 4, nearStart + 1, nearEnd + 3).index, kNone);
  EXPECT_EQ(GetSel(host).any, 0);
  EXPECT_NE(HexCellColor(host.view(), nearStart, 0), selBack);
}

TEST(DumpViewSearch, FindTextInTheViewsCodePage) {
  ViewHost host(640, 400);
  // é in code page 1252, "A" in UTF-16 at an odd index, é in UTF-8.
  const std::uint8_t data[] = {0x20, 0xE9, 0x00, 0x41, 0x00, 0x20, 0xC3, 0xA9, 0x41, 0x42};
  host.SetData(data, sizeof(data));
  const char* eAcute = "\xE9";  // the tests run with the ANSI code page 1252

  EXPECT_EQ(FindText(host, 0, eAcute, 0, 10).index, 1u);
  host.Send(DVM_SETCODEPAGE, 1200);
  EXPECT_EQ(FindText(host, 0, "A", 0, 10).index, 3u);
  host.Send(DVM_SETCODEPAGE, 65001);
  EXPECT_EQ(FindText(host, DVFIND_SELECT, eAcute, 0, 10).index, 6u) << "converted to UTF-8";
  EXPECT_EQ(GetSel(host).last, 7u);
  host.Send(DVM_SETCODEPAGE, 51932);
  EXPECT_EQ(FindText(host, DVFIND_BACKWARD, "AB", 0, 10).index, 8u);

  // Shift_JIS has no é: nothing is searched and the selection stays.
  host.Send(DVM_SETCODEPAGE, 932);
  Answer a = FindText(host, DVFIND_SELECT, eAcute, 0, 10);
  EXPECT_EQ(a.raw, -1);
  EXPECT_EQ(a.lastError, 0u);
  const Selection s = GetSel(host);
  EXPECT_EQ(s.any, 1);
  EXPECT_EQ(s.first, 6u);
  // Found nothing: the selection is cleared.
  EXPECT_EQ(FindText(host, DVFIND_SELECT, "AC", 0, 10).index, kNone);
  EXPECT_EQ(GetSel(host).any, 0);

  const DumpFindText wrongSize{sizeof(DumpFindText) + 1, "A", 0, 10};
  const DumpFindText noText{sizeof(DumpFindText), nullptr, 0, 10};
  const DumpFindText* const refused[] = {nullptr, &wrongSize, &noText};
  for (const DumpFindText* bad : refused) {
    a = Search(host, DVM_FINDTEXT, 0, bad);
    EXPECT_EQ(a.raw, -1);
    EXPECT_EQ(a.lastError, static_cast<DWORD>(DV_ERROR_BAD_REQUEST));
  }
}

TEST(DumpViewSearch, SystemConversionsGiveExactFormsOnly) {
  Win32TextEncoder encoder;
  std::vector<std::uint8_t> bytes;
  ASSERT_TRUE(encoder.Encode(NarrowCodePage::ShiftJis, u"\u3042\u4E9C", 2, bytes));
  EXPECT_EQ(bytes, (std::vector<std::uint8_t>{0x82, 0xA0, 0x88, 0x9F}));
  EXPECT_FALSE(encoder.Encode(NarrowCodePage::ShiftJis, u"\u00E9", 1, bytes)) << "no default character";
  EXPECT_FALSE(encoder.Encode(NarrowCodePage::ShiftJis, u"\u00A5", 1, bytes)) << "no look-alike (5C)";
  ASSERT_TRUE(encoder.Encode(NarrowCodePage::Ansi, u"\u20AC", 1, bytes));
  EXPECT_EQ(bytes, (std::vector<std::uint8_t>{0x80}));
  EXPECT_FALSE(encoder.Encode(NarrowCodePage::Ansi, u"\u0100", 1, bytes)) << "no look-alike (A)";
  EXPECT_FALSE(encoder.Encode(NarrowCodePage::Ansi, u"\u3042", 1, bytes));
}
