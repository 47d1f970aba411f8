// Cost of the dump view's scroll and caret-following logic, the part of every
// key press, wheel notch and autoscroll tick that runs before the repaint.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "dumpview/caret.h"
#include "dumpview/messages.h"
#include "dumpview/scrolling.h"
#include "dumpview/viewstate.h"

namespace {

// A port that does what the window does to the logic (scroll messages
// re-enter the handler) and nothing else.
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

 private:
  DumpViewState& state_;
};

DumpViewState SixtyFourMebibytes() {
  static const std::uint8_t byte = 0;
  DumpViewState state{};
  InitDumpViewState(state, 16, DefaultColors{}, true);
  SilentPort port(state);
  HandleSetData(port, state, &byte, 64u << 20, 640, 400);
  GainFocus(port, state);
  return state;
}

void BM_PageDownThroughTheData(benchmark::State& bench) {
  DumpViewState state = SixtyFourMebibytes();
  SilentPort port(state);
  for (auto _ : bench) {
    OnScrollMessage(port, state, ScrollBar::Vertical, ScrollPageDown, 0, nullptr);
    if (TopRow(state) == BottomPosition(state)) SetTopRow(state, 0);
    benchmark::DoNotOptimize(state.vScroll.nPos);
  }
}
BENCHMARK(BM_PageDownThroughTheData);

void BM_SetCaretFarAndBack(benchmark::State& bench) {
  DumpViewState state = SixtyFourMebibytes();
  SilentPort port(state);
  std::uint32_t target = 0;
  for (auto _ : bench) {
    target = target == 0 ? (64u << 20) - 1 : 0;
    SetCaretPosition(port, state, target);
    benchmark::DoNotOptimize(state.vScroll.nPos);
  }
}
BENCHMARK(BM_SetCaretFarAndBack);

void BM_PlaceCaret(benchmark::State& bench) {
  DumpViewState state = SixtyFourMebibytes();
  SilentPort port(state);
  for (auto _ : bench) {
    state.caret = (state.caret + 17) % (16 * 20);
    PlaceCaret(port, state);
  }
}
BENCHMARK(BM_PlaceCaret);

}  // namespace
