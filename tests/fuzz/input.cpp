// The dump view's input logic over random event sequences: keys with and
// without Shift, clicks, drags in and out of the window, autoscroll ticks,
// the wheel, resizing, scroll-bar requests, new data (up to 1.5 MiB, so that
// rows past 65,535 are reached), selection, caret, focus and lost capture,
// and selecting searches. After every event the state must keep what the
// control promises (CheckState), and the port checks every platform call
// (tests/fuzz/fuzzport.h).
#include <vector>

#include "dumpview/caret.h"
#include "dumpview/dumpview.h"
#include "dumpview/keyboard.h"
#include "dumpview/messages.h"
#include "dumpview/mouse.h"
#include "dumpview/scrolling.h"
#include "dumpview/search.h"
#include "dumpview/viewstate.h"
#include "fuzzport.h"
#include "fuzztarget.h"

namespace {

// The bytes every view shows: one buffer of exactly this size, zeros with a
// few marks so that searches find something now and then. The input logic
// reads no byte apart from searches.
constexpr std::uint32_t kLargestData = 0x180000;

const std::uint8_t* SharedData() {
  static const std::uint8_t* bytes = [] {
    auto* made = new std::uint8_t[kLargestData]();
    for (std::uint32_t i = 0; i < kLargestData; i += 97) made[i] = static_cast<std::uint8_t>(i >> 8);
    return made;
  }();
  return bytes;
}

constexpr std::uint32_t kKeys[] = {KeyPageUp, KeyPageDown, KeyEnd,  KeyHome,   KeyLeft,
                                   KeyUp,     KeyRight,    KeyDown, KeyInsert, 0x41};

constexpr std::uint32_t kWheelSettings[] = {3, 1, 0, kWheelPageScroll, 7, 100};

// A value around 0..size: mostly inside, sometimes a little or far outside.
std::int32_t Around(fuzz::Input& in, std::uint32_t size) {
  const std::uint8_t how = in.U8();
  const auto raw = static_cast<std::int16_t>(in.U16());
  if (how < 160) return static_cast<std::int32_t>(static_cast<std::uint16_t>(raw) % (size + 1));
  if (how < 224) return static_cast<std::int32_t>(size) + raw % 256;
  return raw;
}

// A position around 0..length: mostly inside, sometimes just past it, or any.
std::uint32_t PositionAround(fuzz::Input& in, std::uint32_t length) {
  const std::uint8_t how = in.U8();
  const std::uint32_t raw = in.U32();
  if (how < 192) return static_cast<std::uint32_t>(raw % (static_cast<std::uint64_t>(length) + 1));
  if (how < 240) return length + raw % 4;
  return raw;
}

std::uint32_t VerticalSpeed(const DumpViewState& state) { return state.scrollFlags & VAutoSpeedMask; }

constexpr std::uint8_t kVerticalTimers = 0x03;    // bits of 500 and 501
constexpr std::uint8_t kHorizontalTimers = 0x0C;  // bits of 502 and 503

class Session {
 public:
  Session(std::uint32_t fontHeight, ClientSize client, bool wheelFromSystem, std::uint32_t wheelLines)
      : port_(state_) {
    InitDumpViewState(state_, fontHeight, DefaultColors{0xFFFFFF, 0, 0xC0C0C0, 0x101010, 0x804000, 0xFFFF30},
                      wheelFromSystem);
    port_.client = client;
    port_.wheelLines = wheelLines;
    HandleSize(port_, state_, client.width, client.height);
    CheckState();
  }

  void Run(fuzz::Input& in) {
    const std::uint8_t kind = in.U8();
    switch (kind % 14) {
      case 0:
        Key(in);
        break;
      case 1:
        Click(in);
        break;
      case 2:
        Move(in);
        break;
      case 3:
        HandleLeftButtonUp(port_, state_);
        FUZZ_CHECK(!port_.captured());
        break;
      case 4:
        Tick(in);
        break;
      case 5:
        HandleWheel(port_, state_, static_cast<std::int16_t>(in.U16()), in.Bit());
        break;
      case 6:
        Resize(in);
        break;
      case 7:
        ScrollBarRequest(in);
        break;
      case 8:
        NewData(in);
        break;
      case 9:
        Select(in);
        break;
      case 10:
        SetCaretPosition(port_, state_, PositionAround(in, state_.dataLength) % (state_.dataLength + 1ull));
        CheckCaretShown();
        break;
      case 11:
        ToggleFocus();
        break;
      case 12:
        port_.LoseCapture();
        HandleCaptureLost(port_, state_);
        break;
      default:
        Search(in);
        break;
    }
    FUZZ_CHECK(!HasFlags(state_, Dragging) || port_.captured());
    CheckState();
  }

 private:
  void Key(fuzz::Input& in) {
    const std::uint32_t key = kKeys[in.U8() % (sizeof(kKeys) / sizeof(kKeys[0]))];
    port_.shift = in.Bit();
    const DumpViewState before = state_;
    HandleKeyDown(port_, state_, key);
    const bool navigation = key >= KeyPageUp && key <= KeyDown;
    if (!navigation) {
      FUZZ_CHECK(state_.caret == before.caret && state_.anchor == before.anchor);
      FUZZ_CHECK(((state_.flags ^ before.flags) & Selecting) == 0);
      return;
    }
    FUZZ_CHECK(HasFlags(state_, Selecting) == port_.shift);
    if (port_.shift && !HasFlags(before, Selecting)) FUZZ_CHECK(state_.anchor == before.caret);
    if (key != KeyPageUp && key != KeyPageDown) CheckCaretShown();
  }

  void Click(fuzz::Input& in) {
    // The button messages carry unsigned 16-bit coordinates.
    const auto x = static_cast<std::uint16_t>(Around(in, port_.client.width));
    const auto y = static_cast<std::uint16_t>(Around(in, port_.client.height));
    const bool shift = in.Bit();
    const DumpGeometry g = GeometryOf(state_);
    const std::uint32_t hit = HandleLeftButtonDown(port_, state_, x, y, shift);
    FUZZ_CHECK(hit == kNoIndex || hit <= state_.dataLength);
    FUZZ_CHECK(HasFlags(state_, HasFocus));
    if (y >= static_cast<std::uint64_t>(g.headerBand) + g.rowGap) {
      FUZZ_CHECK(HasFlags(state_, Dragging) && port_.captured());
      FUZZ_CHECK(state_.caret == (hit == kNoIndex ? state_.dataLength : hit));
    }
  }

  void Move(fuzz::Input& in) {
    const std::int32_t x = static_cast<std::int16_t>(Around(in, port_.client.width));
    const std::int32_t y = static_cast<std::int16_t>(Around(in, port_.client.height));
    const std::uint32_t drag = DragHitTest(state_, x, y);
    FUZZ_CHECK(drag <= state_.dataLength);
    HandleMouseMove(port_, state_, x, y);
  }

  // A tick of a running timer, as the system delivers them, or of a foreign
  // id, which changes nothing.
  void Tick(fuzz::Input& in) {
    const std::uint8_t running = port_.runningTimers();
    const std::uint8_t pick = in.U8();
    if (running == 0 || pick >= 240) {
      const DumpViewState before = state_;
      FUZZ_CHECK(HandleTimer(port_, state_, 600 + pick));
      FUZZ_CHECK(state_.caret == before.caret && TopRow(state_) == TopRow(before));
      return;
    }
    std::uint32_t id = DVT_SCROLLUP + pick % 4;
    while ((running & AutoScrollTimerBit(id)) == 0) id = id == DVT_SCROLLRIGHT ? DVT_SCROLLUP : id + 1;
    HandleTimer(port_, state_, id);
  }

  void Resize(fuzz::Input& in) {
    const DumpGeometry g = GeometryOf(state_);
    const std::uint16_t w = in.U16(), h = in.U16();
    // Mostly a size that shows a few rows and columns; sometimes any.
    port_.client = in.Bit()
                       ? ClientSize{w, h}
                       : ClientSize{w % (80 * g.cellWidth + 1), h % (g.headerBand + 40 * g.rowPitch + 1)};
    HandleSize(port_, state_, port_.client.width, port_.client.height);
  }

  // A scroll-bar request as the bar sends it: the thumb only ever reports a
  // position within its range. Codes past SB_ENDSCROLL change nothing.
  void ScrollBarRequest(fuzz::Input& in) {
    const ScrollBar bar = in.Bit() ? ScrollBar::Vertical : ScrollBar::Horizontal;
    const std::uint32_t code = in.U8() % 10;
    const std::uint32_t last =
        bar == ScrollBar::Vertical ? BottomPosition(state_) : RightmostPosition(state_);
    const std::uint32_t track = in.U32() % (last + 1ull);
    OnScrollMessage(port_, state_, bar, code, static_cast<std::uint16_t>(track & 0xFFFFu), &track);
  }

  void NewData(fuzz::Input& in) {
    const std::uint8_t how = in.U8();
    const std::uint32_t raw = in.U32();
    std::uint32_t length = how < 160 ? raw % 4097 : raw % (kLargestData + 1);
    const std::uint8_t* data = how >= 250 ? nullptr : SharedData();
    if (data == nullptr) length = raw;  // a count without bytes shows nothing
    HandleSetData(port_, state_, data, length, port_.client.width, port_.client.height);
    FUZZ_CHECK(state_.caret == 0 && TopRow(state_) == 0 && LeftColumn(state_) == 0);
    FUZZ_CHECK(!HasFlags(state_, Selecting));
    FUZZ_CHECK(state_.dataLength == (data == nullptr ? 0 : length));
  }

  void Select(fuzz::Input& in) {
    const std::uint32_t length = state_.dataLength;
    const std::uint32_t caret = in.U8() < 32 ? 0xFFFFFFFFu : PositionAround(in, length);
    const std::uint32_t anchor = PositionAround(in, length);
    const DumpViewState before = state_;
    SetSelection(port_, state_, caret, anchor);
    const bool lastByte = caret == 0xFFFFFFFFu && length != 0;
    const bool accepted = anchor <= caret && anchor <= length && (caret <= length || lastByte);
    if (!accepted) {
      FUZZ_CHECK(state_.caret == before.caret && state_.anchor == before.anchor &&
                 state_.flags == before.flags);
      return;
    }
    FUZZ_CHECK(HasFlags(state_, Selecting) && state_.anchor == anchor);
    FUZZ_CHECK(state_.caret == (lastByte ? length - 1 : caret));
    CheckCaretShown();
  }

  void ToggleFocus() {
    if (HasFlags(state_, HasFocus)) {
      LoseFocus(port_, state_);
    } else {
      GainFocus(port_, state_);
    }
  }

  // A selecting search over a short range, the pattern taken from the data.
  void Search(fuzz::Input& in) {
    const std::uint32_t length = state_.dataLength;
    const std::uint32_t start = PositionAround(in, length);
    const std::uint32_t end = start + in.U16() % 512;
    const std::uint32_t patternAt = PositionAround(in, length);
    const std::uint32_t patternLength = 1 + in.U8() % 8;
    const std::uint32_t flags = DVFIND_SELECT | (in.Bit() ? DVFIND_BACKWARD : 0);
    if (state_.data == nullptr || static_cast<std::uint64_t>(patternAt) + patternLength > length) return;
    const std::vector<std::uint8_t> pattern(state_.data + patternAt, state_.data + patternAt + patternLength);
    const SearchResult found = FindBytes(port_, state_, flags, start, end, pattern.data(), patternLength);
    if (found.index == kNoIndex) {
      FUZZ_CHECK(!HasFlags(state_, Selecting));
    } else {
      FUZZ_CHECK(HasFlags(state_, Selecting) && state_.anchor == found.index &&
                 state_.caret == found.index + patternLength);
    }
    CheckCaretShown();
  }

  // After EnsureCaretVisible: the caret's row is shown, and so is its cell
  // whenever the view is wide enough for a hex pair and a cell beside it.
  void CheckCaretShown() const {
    const std::uint64_t row = state_.caret / 16;
    const std::uint64_t top = TopRow(state_);
    const std::uint64_t page = PageRows(state_) > 0 ? PageRows(state_) : 1;
    FUZZ_CHECK(top <= row && row < top + page);
    const std::uint32_t i = state_.caret % 16;
    const std::uint64_t column = HasFlags(state_, CaretInText) ? 62 + i : 13 + 3 * i;
    const std::uint64_t left = LeftColumn(state_);
    if (PageColumns(state_) >= 3) FUZZ_CHECK(left <= column && column < left + PageColumns(state_));
  }

  void CheckState() const {
    const DumpViewState& s = state_;
    // Positions.
    FUZZ_CHECK(s.caret <= s.dataLength);
    if (HasFlags(s, Selecting)) FUZZ_CHECK(s.anchor <= s.dataLength);
    FUZZ_CHECK(LastRow(s) == s.dataLength / 16);
    FUZZ_CHECK(PageRows(s) == PageRowsFor(s, port_.client.height));
    FUZZ_CHECK(PageColumns(s) == PageColumnsFor(s, port_.client.width));
    FUZZ_CHECK(PageRows(s) <= LastRow(s) + 1ull && PageColumns(s) <= kGridColumns);
    FUZZ_CHECK(TopRow(s) <= BottomPosition(s) && LeftColumn(s) <= RightmostPosition(s));
    // A view too small for one whole row or column may scroll one past the
    // last (the positions' own rule); any other view stays on the grid.
    if (PageRows(s) > 0) FUZZ_CHECK(TopRow(s) <= LastRow(s));
    if (PageColumns(s) > 0) FUZZ_CHECK(LeftColumn(s) <= kLastGridColumn);
    FUZZ_CHECK(s.vScroll.nMin == 0 && s.hScroll.nMin == 0 &&
               s.hScroll.nMax == static_cast<int>(kLastGridColumn));
    FUZZ_CHECK(s.wideTrackBar == 0);
    // Flags only in their bits.
    FUZZ_CHECK((s.flags & 0xC0) == 0);
    FUZZ_CHECK((s.scrollFlags & 0x78) == 0);
    FUZZ_CHECK((s.runningTimers & 0xF0) == 0);
    // Timers: what the control believes runs is what runs, and nothing runs
    // once the drag is over.
    FUZZ_CHECK(s.runningTimers == port_.runningTimers());
    FUZZ_CHECK((VerticalSpeed(s) != 0) == ((s.runningTimers & kVerticalTimers) != 0));
    FUZZ_CHECK(((s.scrollFlags & HAutoScroll) != 0) == ((s.runningTimers & kHorizontalTimers) != 0));
    if (!HasFlags(s, Dragging)) FUZZ_CHECK(port_.runningTimers() == 0);
    // The system caret: exists with the focus, shown exactly when its row is
    // at or below the first shown row.
    FUZZ_CHECK(HasFlags(s, HasFocus) == port_.caretExists());
    FUZZ_CHECK(HasFlags(s, CaretVisible) == port_.caretShown());
    if (HasFlags(s, HasFocus)) FUZZ_CHECK(HasFlags(s, CaretVisible) == (s.caret / 16 >= TopRow(s)));
    CheckClickFindsCaret();
  }

  // A click at the left edge of the caret's cell, when that cell is on
  // screen, hits the caret's own position in its own column area.
  void CheckClickFindsCaret() const {
    const DumpGeometry g = GeometryOf(state_);
    const CaretPixel pixel = CaretPixelOf(state_);
    const std::int64_t x = pixel.x + 1;
    const std::int64_t y = pixel.y;
    const std::uint32_t i = state_.caret % 16;
    const std::uint32_t column = HasFlags(state_, CaretInText) ? 62 + i : 13 + 3 * i;
    if (column < LeftColumn(state_) || state_.caret / 16 < TopRow(state_)) return;
    if (x > port_.client.width || y > port_.client.height || y < static_cast<std::int64_t>(g.headerBand))
      return;
    std::uint32_t inText = 7;
    const std::uint32_t hit =
        HitTest(state_, static_cast<std::int32_t>(x), static_cast<std::int32_t>(y), &inText);
    FUZZ_CHECK(hit == state_.caret);
    FUZZ_CHECK(inText == (HasFlags(state_, CaretInText) ? 1u : 0u));
  }

  DumpViewState state_{};
  fuzz::CheckingPort port_;
};

}  // namespace

KELVANE_FUZZ_TARGET(input) {
  fuzz::Input in(data, size);
  const std::uint32_t fontHeight = in.U8() < 192 ? 2 + in.U8() % 40 : in.Range(2, 0x7FFF);
  const ClientSize client{in.U16() % 1024u, in.U16() % 1024u};
  const bool wheelFromSystem = in.Bit();
  const std::uint32_t wheelLines =
      kWheelSettings[in.U8() % (sizeof(kWheelSettings) / sizeof(kWheelSettings[0]))];
  Session session(fontHeight, client, wheelFromSystem, wheelLines);
  // Events until the input runs out, at most 200.
  for (int event = 0; event < 200 && in.restSize() > 0; ++event) session.Run(in);
}
