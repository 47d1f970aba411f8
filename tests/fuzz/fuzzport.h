// A DumpViewPort for fuzzing the dump view's input logic: it draws and shows
// nothing, but keeps the platform's side of every call and checks each call
// against what the platform allows and the control promises:
//
//  - The system caret exists only between its creation and its destruction,
//    is created hidden in one of the two shapes, one font height high, and is
//    never shown twice or hidden twice (the system counts hides).
//  - Timers are the four autoscroll timers, at their periods, and start only
//    during a drag. The port keeps which run, as the system would.
//  - The scroll bars are published with the record the control holds.
//  - SendScroll re-enters the control's scroll handler before it returns, as
//    SendMessageA does, with the position cut to the message's 16-bit word
//    and the wide position armed beside it; nesting stays shallow.
//
// Shift, the client size and the wheel setting are what the target sets.
#pragma once

#include <cstdint>

#include "dumpview/caret.h"
#include "dumpview/dumpviewport.h"
#include "dumpview/dumpviewstate.h"
#include "dumpview/mouse.h"
#include "dumpview/scrolling.h"
#include "fuzztarget.h"

namespace fuzz {

class CheckingPort final : public DumpViewPort {
 public:
  explicit CheckingPort(DumpViewState& state) : state_(state) {}

  bool shift = false;
  ClientSize client{0, 0};
  std::uint32_t wheelLines = 3;

  bool caretExists() const { return caretExists_; }
  bool caretShown() const { return caretShown_; }
  bool captured() const { return captured_; }
  std::uint8_t runningTimers() const { return timers_; }
  // The system takes the capture away (another window took it).
  void LoseCapture() { captured_ = false; }

  void SetCaretPos(std::int32_t, std::int32_t) override { FUZZ_CHECK(caretExists_); }
  void ShowCaret() override {
    FUZZ_CHECK(caretExists_ && !caretShown_);
    caretShown_ = true;
  }
  void HideCaret() override {
    FUZZ_CHECK(caretExists_ && caretShown_);
    caretShown_ = false;
  }
  void CreateCaret(std::int32_t width, std::int32_t height) override {
    FUZZ_CHECK(!caretExists_);
    FUZZ_CHECK(width == 0 || width == static_cast<std::int32_t>(state_.fontHeight / 2));
    FUZZ_CHECK(height == static_cast<std::int32_t>(state_.fontHeight));
    caretExists_ = true;
    caretShown_ = false;
  }
  void DestroyCaret() override {
    FUZZ_CHECK(caretExists_);
    caretExists_ = caretShown_ = false;
  }

  void PublishScrollInfo(ScrollBar bar, const ScrollRecord& record) override {
    const ScrollRecord& own = bar == ScrollBar::Vertical ? state_.vScroll : state_.hScroll;
    FUZZ_CHECK(&record == &own);
    FUZZ_CHECK(record.cbSize == sizeof(ScrollRecord) && record.fMask == kScrollRecordMask &&
               record.nMin == 0);
  }

  void Redraw(std::uint32_t flags) override {
    FUZZ_CHECK((flags & ~(RedrawInvalidate | RedrawErase | RedrawUpdateNow | RedrawFrame)) == 0);
  }

  void SendScroll(ScrollBar bar, std::uint32_t code, std::uint32_t position) override {
    FUZZ_CHECK(code <= ScrollEnd);
    // Scroll handlers send nothing themselves: one level of nesting at most.
    FUZZ_CHECK(depth_ == 0);
    ++depth_;
    const auto word = static_cast<std::uint16_t>(position & 0xFFFFu);
    if (code == ScrollThumbTrack) ArmWideThumbTrack(state_, bar, position);
    OnScrollMessage(*this, state_, bar, code, word, nullptr);
    DisarmWideThumbTrack(state_);
    --depth_;
  }

  bool ShiftDown() override { return shift; }
  void TakeFocus() override {
    if ((state_.flags & HasFocus) == 0) GainFocus(*this, state_);
  }
  void CaptureMouse() override { captured_ = true; }
  void ReleaseMouse() override { captured_ = false; }

  void StartTimer(std::uint32_t id, std::uint32_t milliseconds) override {
    FUZZ_CHECK(id >= DVT_SCROLLUP && id <= DVT_SCROLLRIGHT);
    FUZZ_CHECK((state_.flags & Dragging) != 0);
    if (id == DVT_SCROLLUP || id == DVT_SCROLLDOWN) {
      FUZZ_CHECK(milliseconds == 100 || milliseconds == 50 || milliseconds == 25);
    } else {
      FUZZ_CHECK(milliseconds == kHorizontalPeriod);
    }
    timers_ = static_cast<std::uint8_t>(timers_ | AutoScrollTimerBit(id));
  }
  void StopTimer(std::uint32_t id) override {
    FUZZ_CHECK(id >= DVT_SCROLLUP && id <= DVT_SCROLLRIGHT);
    timers_ = static_cast<std::uint8_t>(timers_ & ~AutoScrollTimerBit(id));
  }

  ClientSize ClientArea() override { return client; }
  std::uint32_t WheelScrollLines() override { return wheelLines; }

 private:
  DumpViewState& state_;
  bool caretExists_ = false;
  bool caretShown_ = false;
  bool captured_ = false;
  std::uint8_t timers_ = 0;
  int depth_ = 0;
};

}  // namespace fuzz
