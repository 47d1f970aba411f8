// The cost of planning one paint and one erase of the dump view, without any
// drawing: a canvas that only counts the calls. A maximised view (1280 x 1000
// client, 16-pixel font) over 1 KiB and over 256 MiB, at the top and in the
// middle: the work depends on the rows shown, not on the size of the data.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "dumpview/canvas.h"
#include "dumpview/dumpviewstate.h"
#include "dumpview/paint.h"

struct CanvasBrush {
  ColorRef color;
};

namespace {

class CountingCanvas final : public DumpCanvas {
 public:
  void SetTextColor(ColorRef) override { ++calls; }
  void SetBackColor(ColorRef) override { ++calls; }
  void TextNarrow(std::int32_t, std::int32_t, const char*, std::uint32_t count) override {
    ++calls;
    characters += count;
  }
  void TextWide(std::int32_t, std::int32_t, const char16_t* text, std::uint32_t count) override {
    ++calls;
    characters += count;
    checksum += text[0];
  }
  CanvasBrush* CreateBrush(ColorRef color) override {
    ++calls;
    brush.color = color;
    return &brush;
  }
  void ReleaseBrush(CanvasBrush*) override { ++calls; }
  void Fill(const CanvasRect&, CanvasBrush*) override { ++calls; }
  void SetMixMode(MixMode) override { ++calls; }

  std::uint64_t calls = 0;
  std::uint64_t characters = 0;
  std::uint64_t checksum = 0;  // keeps the formatted text alive
  CanvasBrush brush{0};
};

constexpr ClientSize kMaximised{1280, 1000};

DumpViewState ViewOver(const std::vector<std::uint8_t>& bytes, std::uint32_t topRow) {
  DumpViewState s{};
  s.data = bytes.data();
  s.dataLength = static_cast<std::uint32_t>(bytes.size());
  s.fontHeight = 16;
  s.codePage = kDefaultCodePage;
  s.textColor = 0x000000;
  s.backColor = 0xFFFFFF;
  s.headerTextColor = 0x000000;
  s.headerBackColor = 0xC0C0C0;
  s.selTextColor = 0xFFFFFF;
  s.selBackColor = 0x800000;
  SetLastRow(s, s.dataLength / 16);
  const DumpGeometry g = GeometryOf(s);
  std::uint32_t rows = (kMaximised.height - g.headerBand) / g.rowPitch;
  if (rows > LastRow(s)) rows = LastRow(s) + 1;
  SetPageRows(s, rows);
  SetPageColumns(s, kGridColumns);
  SetTopRow(s, topRow);
  // A selection across the screen, so that the colour switches are paid for.
  s.flags = Selecting;
  s.anchor = topRow * 16 + 40;
  s.caret = topRow * 16 + 400;
  return s;
}

const std::vector<std::uint8_t>& Bytes(std::size_t size) {
  static std::vector<std::uint8_t> small(1024);
  static std::vector<std::uint8_t> large;
  if (size == small.size()) return small;
  if (large.size() != size) {
    large.resize(size);
    for (std::size_t n = 0; n < size; n += 4096) large[n] = static_cast<std::uint8_t>(n >> 12);
  }
  return large;
}

void PaintAndErase(benchmark::State& run, std::size_t size, bool middle) {
  const std::vector<std::uint8_t>& bytes = Bytes(size);
  const std::uint32_t lastRow = static_cast<std::uint32_t>(bytes.size() / 16);
  const DumpViewState state = ViewOver(bytes, middle ? lastRow / 2 : 0);
  CountingCanvas canvas;
  for (auto _ : run) {
    EraseDumpView(canvas, state, kMaximised);
    PaintDumpView(canvas, state, kMaximised);
    benchmark::DoNotOptimize(canvas.checksum);
  }
  run.counters["calls_per_paint"] =
      benchmark::Counter(static_cast<double>(canvas.calls) / static_cast<double>(run.iterations()));
}

void BM_Paint_1KiB(benchmark::State& run) { PaintAndErase(run, 1024, false); }
void BM_Paint_256MiB_Top(benchmark::State& run) { PaintAndErase(run, 256u << 20, false); }
void BM_Paint_256MiB_Middle(benchmark::State& run) { PaintAndErase(run, 256u << 20, true); }

BENCHMARK(BM_Paint_1KiB)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(BM_Paint_256MiB_Top)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(BM_Paint_256MiB_Middle)->Repetitions(9)->ReportAggregatesOnly(true);

}  // namespace
