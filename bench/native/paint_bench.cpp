// The cost of planning one paint and one erase of the dump view, without any
// drawing: a canvas that only counts the calls. A maximised view (1280 x 1000
// client, 16-pixel font) over 1 KiB and over 256 MiB, at the top and in the
// middle: the work depends on the rows shown, not on the size of the data.
// Then dense Japanese text in each multi-byte encoding, painted by its own
// decoder and, on the same bytes, by the one-character-per-byte decoder.
#include <benchmark/benchmark.h>
#include <iconv.h>

#include <cstdint>
#include <map>
#include <string>
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
  // Stands in for the platform's table look-up: the decoders' own work is
  // what is measured here.
  char16_t ConvertCp932(const std::uint8_t* bytes, std::uint32_t count) override {
    ++calls;
    return static_cast<char16_t>(0x4E00 + (bytes[0] << 8 | bytes[count - 1]) % 0x5000);
  }

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

// A Japanese paragraph, repeated to 16 KiB or more, in the encoding named.
const std::vector<std::uint8_t>& JapaneseText(const char* encoding) {
  static std::map<std::string, std::vector<std::uint8_t>> texts;
  std::vector<std::uint8_t>& bytes = texts[encoding];
  if (!bytes.empty()) return bytes;
  std::string paragraph =
      "クリップボードの形式を一覧にし、選んだ形式のデータを十六進数と文字で表示します。"
      "文字の列はシフトJIS、EUC-JP、UTF-16、UTF-8のいずれかで読み、選択範囲は色で示します。";
  iconv_t cd = iconv_open(encoding, "UTF-8");
  std::string out(paragraph.size() * 2, '\0');
  char* in = paragraph.data();
  char* next = out.data();
  std::size_t inLeft = paragraph.size(), outLeft = out.size();
  iconv(cd, &in, &inLeft, &next, &outLeft);
  iconv_close(cd);
  out.resize(out.size() - outLeft);
  while (bytes.size() < 16384) bytes.insert(bytes.end(), out.begin(), out.end());
  return bytes;
}

void PaintJapanese(benchmark::State& run, const char* encoding, std::uint16_t codePage) {
  const std::vector<std::uint8_t>& bytes = JapaneseText(encoding);
  DumpViewState state = ViewOver(bytes, 0);
  state.codePage = codePage;
  CountingCanvas canvas;
  for (auto _ : run) {
    EraseDumpView(canvas, state, kMaximised);
    PaintDumpView(canvas, state, kMaximised);
    benchmark::DoNotOptimize(canvas.checksum);
  }
}

BENCHMARK_CAPTURE(PaintJapanese, ShiftJis_932, "CP932", 932)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK_CAPTURE(PaintJapanese, ShiftJis_default, "CP932", 1252)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK_CAPTURE(PaintJapanese, EucJp_51932, "EUC-JP", 51932)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK_CAPTURE(PaintJapanese, EucJp_default, "EUC-JP", 1252)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK_CAPTURE(PaintJapanese, Utf16_1200, "UTF-16LE", 1200)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK_CAPTURE(PaintJapanese, Utf16_default, "UTF-16LE", 1252)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK_CAPTURE(PaintJapanese, Utf8_65001, "UTF-8", 65001)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK_CAPTURE(PaintJapanese, Utf8_default, "UTF-8", 1252)->Repetitions(9)->ReportAggregatesOnly(true);

}  // namespace
