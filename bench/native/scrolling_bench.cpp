// Cost of the dump view's scroll and caret-following logic, the part of every
// key press, wheel notch and autoscroll tick that runs before the repaint.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "dumpview/caret.h"
#include "dumpview/messages.h"
#include "dumpview/scrolling.h"
#include "dumpview/viewstate.h"
#include "silentport.h"

namespace {

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
