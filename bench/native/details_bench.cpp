// The Details pane's text for a 256 MiB snapshot beside one memchr pass over
// the same bytes (the pane must take at most 1.5 times that plus 20 ms), for
// 8-bit and UTF-16 text with its statistics; and the "At the caret" section
// alone, which follows every caret move.
//
//   kelvane_benchmarks --benchmark_filter=Details --benchmark_repetitions=5 \
//                      --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "formats/details.h"

namespace {

constexpr std::uint32_t kSize = 256u << 20;

class NoSystemPort final : public FormatPort {
 public:
  LocaleFacts LocaleOf(std::uint32_t) override { return LocaleFacts{false, {}, 0, 0}; }
  std::string TextInCodePage(std::uint32_t, const std::uint8_t*, std::uint32_t) override { return {}; }
  std::string ItemPath(const std::uint8_t*, std::uint32_t, const std::uint8_t*, std::uint32_t) override {
    return {};
  }
};

// Lines of 78 letters and a CRLF, some letters outside ASCII, the terminator
// last: every byte is looked at.
const std::vector<std::uint8_t>& ByteText() {
  static const std::vector<std::uint8_t> text = [] {
    std::vector<std::uint8_t> t(kSize);
    for (std::uint32_t i = 0; i < kSize; ++i) {
      const std::uint32_t column = i % 80;
      t[i] = column == 78   ? '\r'
             : column == 79 ? '\n'
             : column == 40 ? 0xE9
                            : static_cast<std::uint8_t>('a' + column % 26);
    }
    t[kSize - 1] = 0;
    return t;
  }();
  return text;
}

const std::vector<std::uint8_t>& Utf16Text() {
  static const std::vector<std::uint8_t> text = [] {
    std::vector<std::uint8_t> t(kSize);
    for (std::uint32_t unit = 0; unit < kSize / 2; ++unit) {
      const std::uint32_t column = unit % 80;
      const std::uint16_t u = column == 78   ? 0x0D
                              : column == 79 ? 0x0A
                              : column == 40 ? 0x65E5
                                             : 'a' + column % 26;
      t[2 * unit] = static_cast<std::uint8_t>(u);
      t[2 * unit + 1] = static_cast<std::uint8_t>(u >> 8);
    }
    t[kSize - 2] = 0;
    t[kSize - 1] = 0;
    return t;
  }();
  return text;
}

void BM_DetailsMemchrPass(benchmark::State& state) {
  const std::vector<std::uint8_t>& text = ByteText();
  for (auto _ : state) benchmark::DoNotOptimize(std::memchr(text.data(), 0, text.size()));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kSize);
}

void PaneText(benchmark::State& state, const std::vector<std::uint8_t>& text, std::uint32_t format) {
  NoSystemPort port;
  SnapshotDescription s;
  s.format = format;
  s.length = kSize;
  s.blockSize = kSize;
  s.kind = SnapshotKind::WholeData;
  for (auto _ : state) {
    Lines lines = SnapshotSection(s, text.data());
    AppendLines(lines, CaretSection(text.data(), kSize, CaretFacts{0, false, 0, 0}));
    AppendLines(lines, FormatSection(s, text.data(), port));
    benchmark::DoNotOptimize(JoinLines(lines));
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kSize);
}

void BM_DetailsPaneText8Bit(benchmark::State& state) { PaneText(state, ByteText(), 1); }
void BM_DetailsPaneTextUtf16(benchmark::State& state) { PaneText(state, Utf16Text(), 13); }

void BM_DetailsAtTheCaret(benchmark::State& state) {
  const std::vector<std::uint8_t>& text = ByteText();
  std::uint32_t caret = 0;
  for (auto _ : state) {
    caret = (caret + 4099) % kSize;
    benchmark::DoNotOptimize(JoinLines(CaretSection(text.data(), kSize, CaretFacts{caret, true, 16, caret})));
  }
}

}  // namespace

BENCHMARK(BM_DetailsMemchrPass)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DetailsPaneText8Bit)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DetailsPaneTextUtf16)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DetailsAtTheCaret)->Unit(benchmark::kMicrosecond);
