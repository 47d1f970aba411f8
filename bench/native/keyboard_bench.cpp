// 10,000 cursor-key presses on a view of 256 MiB, from its middle row
// 8,388,608, against the same presses on 1 KiB from its first row: the key
// handling, caret following and scrolling included, reads no byte and must
// cost the same whatever the data's size and the caret's row.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "dumpview/caret.h"
#include "dumpview/keyboard.h"
#include "dumpview/scrolling.h"
#include "dumpview/viewstate.h"
#include "silentport.h"

namespace {

constexpr int kPresses = 10000;

// Forty keys down and forty back up, every eighth sideways: the caret travels
// over 36 rows, within the first kilobyte, and the view scrolls both ways.
std::uint32_t KeyOfPress(int k) {
  const bool down = (k / 40) % 2 == 0;
  if (k % 8 == 7) return down ? KeyRight : KeyLeft;
  return down ? KeyDown : KeyUp;
}

void BM_TenThousandCursorKeys(benchmark::State& bench) {
  static const std::uint8_t byte = 0;
  const auto length = static_cast<std::uint32_t>(bench.range(0));
  DumpViewState state{};
  InitDumpViewState(state, 16, DefaultColors{}, true);
  SilentPort port(state);
  HandleSetData(port, state, &byte, length, 640, 400);
  GainFocus(port, state);
  const std::uint32_t start = length >= (1u << 20) ? length / 2 : 0;
  for (auto _ : bench) {
    state.caret = start;
    SetTopRow(state, start / 16);
    for (int k = 0; k < kPresses; ++k) {
      port.shift = (k / 80) % 2 != 0;  // every other round trip selects
      HandleKeyDown(port, state, KeyOfPress(k));
    }
    benchmark::DoNotOptimize(state.caret);
  }
}
BENCHMARK(BM_TenThousandCursorKeys)->Arg(1024)->Arg(256 << 20)->Unit(benchmark::kMicrosecond);

}  // namespace
