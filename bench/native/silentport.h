// A DumpViewPort for the benchmarks that does to the logic what the window
// does (scroll messages re-enter the control's scroll handler) and nothing
// else: no caret, no bars, no repaint, no timers.
#pragma once

#include <cstdint>

#include "dumpview/dumpviewport.h"
#include "dumpview/scrolling.h"

class SilentPort : public DumpViewPort {
 public:
  explicit SilentPort(DumpViewState& state) : state_(state) {}
  void SetCaretPos(std::int32_t, std::int32_t) override {}
  void ShowCaret() override {}
  void HideCaret() override {}
  void CreateCaret(std::int32_t, std::int32_t) override {}
  void DestroyCaret() override {}
  void PublishScrollInfo(ScrollBar, const ScrollRecord&) override {}
  void Redraw(std::uint32_t) override {}
  void SendScroll(ScrollBar bar, std::uint32_t code, std::uint32_t position) override {
    if (code == ScrollThumbTrack) ArmWideThumbTrack(state_, bar, position);
    OnScrollMessage(*this, state_, bar, code, static_cast<std::uint16_t>(position & 0xFFFF), nullptr);
    DisarmWideThumbTrack(state_);
  }
  bool ShiftDown() override { return shift; }
  void TakeFocus() override {}
  void CaptureMouse() override {}
  void ReleaseMouse() override {}
  void StartTimer(std::uint32_t, std::uint32_t) override {}
  void StopTimer(std::uint32_t) override {}
  ClientSize ClientArea() override { return ClientSize{640, 400}; }
  std::uint32_t WheelScrollLines() override { return 3; }

  bool shift = false;

 private:
  DumpViewState& state_;
};
