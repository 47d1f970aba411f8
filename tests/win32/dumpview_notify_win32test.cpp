// The notifications of a real dump view as its parent receives them, for
// real keyboard and pointer input.
#include <windows.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "dumpview_host.h"
#include "testsupport.h"

using dumpviewtest::ViewHost;
using testsupport::SendMouseAt;

namespace {

struct Note {
  int code;
  WPARAM notifyWParam;  // the wParam of WM_NOTIFY
  NMHDR header;
  WPARAM wParam;
  LPARAM lParam;
  int hitIndex;  // mouse notifications only
  HWND focus;    // the focus while the parent handles it
  UINT caret;    // the view's caret while the parent handles it
};

std::vector<Note> g_notes;
std::vector<UINT> g_defaults;  // WM_CONTEXTMENU and WM_SYSCOMMAND that reached the parent
WNDPROC g_parentProc = nullptr;

bool IsMouseCode(int code) { return code <= DVN_LBUTTONDOWN && code >= DVN_XBUTTONDBLCLK; }

LRESULT CALLBACK RecordingParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NOTIFY) {
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    Note note = {};
    note.code = static_cast<int>(header->code);
    note.notifyWParam = wParam;
    note.header = *header;
    if (IsMouseCode(note.code)) {
      const auto* record = reinterpret_cast<const DumpMouseNotify*>(lParam);
      note.wParam = record->wParam;
      note.lParam = record->lParam;
      note.hitIndex = record->hitIndex;
    } else {
      const auto* record = reinterpret_cast<const DumpKeyNotify*>(lParam);
      note.wParam = record->wParam;
      note.lParam = record->lParam;
    }
    note.focus = ::GetFocus();
    note.caret = static_cast<UINT>(::SendMessageA(header->hwndFrom, DVM_GETCARET, 0, 0));
    g_notes.push_back(note);
  } else if (message == WM_CONTEXTMENU || message == WM_SYSCOMMAND) {
    g_defaults.push_back(message);
    if (message == WM_SYSCOMMAND) return 0;  // no menu loop in a test
  }
  return ::CallWindowProcA(g_parentProc, window, message, wParam, lParam);
}

// Font height 16: the client point of grid column `column`, data row `row`.
POINT Cell(int column, int row) { return POINT{column * 8 + 1, 26 + 18 * row + 4}; }

class DumpViewNotify : public ::testing::Test {
 protected:
  void SetUp() override {
    host_ = std::make_unique<ViewHost>(700, 400);
    bytes_.assign(100, 0x30);
    host_->SetData(bytes_.data(), 100);
    g_notes.clear();
    g_defaults.clear();
    g_parentProc = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(host_->parent(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RecordingParentProc)));
  }
  void TearDown() override {
    ::SetWindowLongPtrA(host_->parent(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_parentProc));
    ::SetCursorPos(1270, 1010);
    ::SetFocus(host_->parent());
    host_.reset();
  }
  HWND view() const { return host_->view(); }
  HWND parent() const { return host_->parent(); }

  void Click(POINT at, DWORD down, DWORD up) {
    SendMouseAt(view(), at, down);
    SendMouseAt(view(), at, up);
  }
  // The notifications since the last call, the parent's default messages too.
  std::vector<Note> Take() {
    testsupport::PumpMessages(30);
    std::vector<Note> notes;
    notes.swap(g_notes);
    return notes;
  }

  std::unique_ptr<ViewHost> host_;
  std::vector<std::uint8_t> bytes_;
};

void Type(const std::vector<std::pair<WORD, bool>>& keys) {
  std::vector<INPUT> input;
  for (const auto& [key, up] : keys) {
    INPUT i = {};
    i.type = INPUT_KEYBOARD;
    i.ki.wVk = key;
    i.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    input.push_back(i);
  }
  ::SendInput(static_cast<UINT>(input.size()), input.data(), sizeof(INPUT));
}

}  // namespace

TEST_F(DumpViewNotify, KeysReportAfterTheirHandlingInTheirOrder) {
  ::SetForegroundWindow(parent());
  ::SetFocus(view());
  testsupport::PumpMessages(30);
  ASSERT_EQ(::GetFocus(), view());
  Type({{'A', false}, {'A', true}, {VK_DOWN, false}, {VK_DOWN, true}});
  std::vector<Note> notes = Take();
  ASSERT_EQ(notes.size(), 5u);
  const int codes[] = {DVN_KEYDOWN, DVN_CHAR, DVN_KEYUP, DVN_KEYDOWN, DVN_KEYUP};
  const WPARAM keys[] = {'A', 'a', 'A', VK_DOWN, VK_DOWN};
  for (std::size_t k = 0; k < notes.size(); ++k) {
    EXPECT_EQ(notes[k].code, codes[k]) << k;
    EXPECT_EQ(notes[k].wParam, keys[k]) << k;
    EXPECT_EQ(notes[k].header.hwndFrom, view());
    EXPECT_EQ(notes[k].header.idFrom, 0u) << "a control created without an id";
    EXPECT_EQ(notes[k].notifyWParam, 0u);
  }
  EXPECT_EQ(notes[3].caret, 16u) << "the parent sees the caret already moved";
  EXPECT_EQ(notes[2].lParam & 0xC0000000, 0xC0000000) << "the key-up's own lParam";

  // With Alt held the system messages report, and still reach the default
  // processing: Alt+F4 asks the top-level window to close.
  ::SetWindowLongPtrA(view(), GWLP_ID, 0x77);
  Type({{VK_MENU, false}, {'A', false}, {'A', true}, {VK_F4, false}, {VK_F4, true}, {VK_MENU, true}});
  notes = Take();
  std::vector<int> seen;
  for (const Note& note : notes) {
    if (note.wParam == VK_MENU) continue;
    seen.push_back(note.code);
    EXPECT_EQ(note.header.idFrom, 0x77u);
    EXPECT_EQ(note.notifyWParam, 0x77u);
  }
  EXPECT_EQ(seen,
            (std::vector<int>{DVN_SYSKEYDOWN, DVN_SYSCHAR, DVN_SYSKEYUP, DVN_SYSKEYDOWN, DVN_SYSKEYUP}));
  EXPECT_EQ(g_defaults, (std::vector<UINT>{WM_SYSCOMMAND}));
}

TEST_F(DumpViewNotify, ButtonsReportTheHitAndTakeTheFocusInTheirOrder) {
  ::SetFocus(parent());
  Click(Cell(23, 2), MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
  std::vector<Note> notes = Take();
  ASSERT_EQ(notes.size(), 2u);
  EXPECT_EQ(notes[0].code, DVN_LBUTTONDOWN);
  EXPECT_EQ(notes[0].hitIndex, 36);
  EXPECT_EQ(notes[0].focus, view()) << "the left button takes the focus first";
  EXPECT_EQ(notes[0].caret, 36u) << "and places the caret before it reports";
  EXPECT_EQ(notes[0].wParam & MK_LBUTTON, static_cast<WPARAM>(MK_LBUTTON));
  EXPECT_EQ(notes[1].code, DVN_LBUTTONUP);
  EXPECT_EQ(notes[1].hitIndex, 36);

  ::SetFocus(parent());
  Click(Cell(67, 1), MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
  notes = Take();
  ASSERT_EQ(notes.size(), 2u);
  EXPECT_EQ(notes[0].code, DVN_RBUTTONDOWN);
  EXPECT_EQ(notes[0].hitIndex, 21) << "the text cell under the pointer";
  EXPECT_EQ(notes[0].focus, parent()) << "the right button reports first";
  EXPECT_EQ(notes[0].caret, 36u) << "and moves no caret";
  EXPECT_EQ(notes[1].code, DVN_RBUTTONUP);
  EXPECT_EQ(::GetFocus(), view());
  EXPECT_EQ(g_defaults, (std::vector<UINT>{WM_CONTEXTMENU})) << "the release still makes its context menu";

  Click(Cell(23, 0), MOUSEEVENTF_MIDDLEDOWN, MOUSEEVENTF_MIDDLEUP);
  notes = Take();
  ASSERT_EQ(notes.size(), 2u);
  EXPECT_EQ(notes[0].code, DVN_MBUTTONDOWN);
  EXPECT_EQ(notes[1].code, DVN_MBUTTONUP);

  // The header band: reported, nothing else changes.
  Click(POINT{186, 10}, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
  notes = Take();
  ASSERT_EQ(notes.size(), 2u);
  EXPECT_EQ(notes[0].hitIndex, 4) << "less than a row above row 0";
  EXPECT_EQ(notes[0].caret, 36u);

  // A double click, sent as such, reports once and leaves the focus alone.
  ::SetFocus(parent());
  ::PostMessageA(view(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(186, 30));
  ::PostMessageA(view(), WM_XBUTTONDOWN, MAKEWPARAM(0, XBUTTON1), MAKELPARAM(186, 30));
  notes = Take();
  ASSERT_EQ(notes.size(), 2u);
  EXPECT_EQ(notes[0].code, DVN_LBUTTONDBLCLK);
  EXPECT_EQ(notes[0].focus, parent());
  EXPECT_EQ(notes[1].code, DVN_XBUTTONDOWN);
  EXPECT_EQ(::GetFocus(), view());
}

// During a drag the release can come from outside the window, at negative
// coordinates: the hit is a position within the data or -1, never beyond.
TEST_F(DumpViewNotify, ReleaseOutsideTheWindowReportsNoPositionPastTheData) {
  struct Release {
    POINT at;
    int hitIndex;
  };
  const Release releases[] = {
      {POINT{-15, 100}, -1},   // left of the window
      {POINT{186, -30}, -1},   // above it
      {POINT{186, 450}, 100},  // below it, far below the data: its end
  };
  for (const Release& release : releases) {
    SendMouseAt(view(), Cell(23, 2), MOUSEEVENTF_LEFTDOWN);
    SendMouseAt(view(), release.at, 0);
    SendMouseAt(view(), release.at, MOUSEEVENTF_LEFTUP);
    const std::vector<Note> notes = Take();
    ASSERT_EQ(notes.size(), 2u);
    EXPECT_EQ(notes[1].code, DVN_LBUTTONUP);
    EXPECT_EQ(static_cast<short>(HIWORD(notes[1].lParam)), release.at.y) << "the message's own lParam";
    EXPECT_EQ(notes[1].hitIndex, release.hitIndex) << release.at.x << "," << release.at.y;
  }
}
