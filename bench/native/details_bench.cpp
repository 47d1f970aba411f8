// The Details pane's text for a 256 MiB snapshot beside one memchr pass over
// the same bytes (the pane must take at most 1.5 times that plus 20 ms), for
// 8-bit and UTF-16 text with its statistics; and the "At the caret" section
// alone, which follows every caret move. Then the hostile blocks that once
// froze the pane: a 58-byte "Shell IDList Array" of 3 items over one list
// of 18 items, a 1 MB one whose header claims 60,000 items all pointing at
// one long list, and an RTF of 200,000 stray '}'.
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

// The count, then count + 1 offsets all pointing at one list of two-byte
// items that fills the rest of the block, ended by its terminator.
std::vector<std::uint8_t> IdListArrayOverOneList(std::uint32_t count, std::uint32_t size) {
  std::vector<std::uint8_t> block(size, 0);
  const auto put32 = [&](std::uint32_t at, std::uint32_t value) {
    for (std::uint32_t b = 0; b < 4; ++b) block[at + b] = static_cast<std::uint8_t>(value >> (8 * b));
  };
  const std::uint32_t list = 4 + 4 * (count + 1);
  put32(0, count);
  for (std::uint32_t i = 0; i <= count; ++i) put32(4 + 4 * i, list);
  for (std::uint32_t at = list; at + 4 <= size; at += 2) block[at] = 2;
  return block;
}

void SectionOf(benchmark::State& state, const std::vector<std::uint8_t>& block, const char* name) {
  NoSystemPort port;
  SnapshotDescription s;
  s.format = 0xC0DE;
  s.name = name;
  s.length = static_cast<std::uint32_t>(block.size());
  s.blockSize = block.size();
  s.blockSizeKnown = true;
  s.kind = SnapshotKind::WholeData;
  std::size_t bytes = 0;
  for (auto _ : state) bytes = JoinLines(FormatSection(s, block.data(), port)).size();
  state.counters["text_bytes"] = static_cast<double>(bytes);
}

void BM_DetailsIdList58Bytes(benchmark::State& state) {
  SectionOf(state, IdListArrayOverOneList(3, 58), "Shell IDList Array");
}

void BM_DetailsIdList1MB(benchmark::State& state) {
  SectionOf(state, IdListArrayOverOneList(60000, 1u << 20), "Shell IDList Array");
}

void BM_DetailsRtfStrayBraces(benchmark::State& state) {
  std::string rtf(200000, '}');
  rtf += "{\\rtf1 text}";
  SectionOf(state, std::vector<std::uint8_t>(rtf.begin(), rtf.end()), "Rich Text Format");
}

BENCHMARK(BM_DetailsMemchrPass)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DetailsPaneText8Bit)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DetailsPaneTextUtf16)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DetailsAtTheCaret)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DetailsIdList58Bytes)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DetailsIdList1MB)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DetailsRtfStrayBraces)->Unit(benchmark::kMillisecond);
