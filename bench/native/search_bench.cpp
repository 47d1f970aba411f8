// Byte search over 256 MiB beside the C library: FindBytesForward against
// glibc's memmem, FindBytesBackward against a memrchr-based scan (first byte
// by memrchr, then memcmp), each with the match at the far end of the range
// and with no match, for patterns of 2, 8 and 32 bytes; then adversarial
// data, where every position nearly matches.
//
//   kelvane_benchmarks --benchmark_filter=Search --benchmark_repetitions=5 \
//                      --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "dumpview/search.h"
#include "dumpview/viewstate.h"

namespace {

constexpr std::uint32_t kSize = 256u << 20;

using Bytes = std::vector<std::uint8_t>;

// Random bytes below 0xFF: a pattern that holds 0xFF occurs only where it is
// planted.
const Bytes& RandomData() {
  static const Bytes data = [] {
    Bytes d(kSize);
    std::uint64_t x = 0x9E3779B97F4A7C15ull;
    for (auto& b : d) {
      x ^= x << 13;
      x ^= x >> 7;
      x ^= x << 17;
      b = static_cast<std::uint8_t>((x >> 24) % 255);
    }
    return d;
  }();
  return data;
}

const Bytes& Zeros() {
  static const Bytes data(kSize, 0);
  return data;
}

// A pattern of random bytes with 0xFF in its middle (or last, for two bytes).
Bytes PatternOf(std::uint32_t length) {
  Bytes p(length);
  for (std::uint32_t i = 0; i < length; ++i) p[i] = static_cast<std::uint8_t>(0x31 + 7 * i);
  p[length == 2 ? 1 : length / 2] = 0xFF;
  return p;
}

DumpViewState StateOver(const Bytes& data) {
  DumpViewState state{};
  InitDumpViewState(state, 16, DefaultColors{}, true);
  state.data = data.data();
  state.dataLength = static_cast<std::uint32_t>(data.size());
  return state;
}

const std::uint8_t* MemrchrSearch(const std::uint8_t* data, std::size_t size, const Bytes& pattern) {
  const std::size_t m = pattern.size();
  std::size_t candidates = size - m + 1;  // first bytes at 0 .. size - m
  while (candidates > 0) {
    const auto* p = static_cast<const std::uint8_t*>(memrchr(data, pattern[0], candidates));
    if (p == nullptr) return nullptr;
    if (std::memcmp(p, pattern.data(), m) == 0) return p;
    candidates = static_cast<std::size_t>(p - data);
  }
  return nullptr;
}

enum class Who { Ours, Reference };

// One case: the pattern planted at the far end of the direction's range (or
// nowhere), searched over the whole data.
struct Scenario {
  bool forward;
  bool planted;
  std::uint32_t length;
};

void RunRandom(benchmark::State& bench, Who who, Scenario s) {
  Bytes& data = const_cast<Bytes&>(RandomData());
  const Bytes pattern = PatternOf(s.length);
  const std::size_t at = s.forward ? kSize - s.length : 0;
  Bytes saved(data.begin() + static_cast<std::ptrdiff_t>(at),
              data.begin() + static_cast<std::ptrdiff_t>(at + s.length));
  if (s.planted) std::memcpy(&data[at], pattern.data(), s.length);
  const DumpViewState state = StateOver(data);
  std::uint64_t found = 0;
  for (auto _ : bench) {
    std::uint64_t index;
    if (who == Who::Ours) {
      index = s.forward ? FindBytesForward(state, 0, kSize, pattern.data(), s.length).index
                        : FindBytesBackward(state, 0, kSize, pattern.data(), s.length).index;
    } else {
      const void* p = s.forward ? memmem(data.data(), kSize, pattern.data(), s.length)
                                : MemrchrSearch(data.data(), kSize, pattern);
      index = p == nullptr ? 0xFFFFFFFFu : static_cast<std::uint64_t>(static_cast<const std::uint8_t*>(p) - data.data());
    }
    benchmark::DoNotOptimize(index);
    found = index;
  }
  std::memcpy(&data[at], saved.data(), s.length);
  if (found != (s.planted ? at : 0xFFFFFFFFu)) bench.SkipWithError("wrong answer");
  bench.SetBytesProcessed(static_cast<std::int64_t>(bench.iterations()) * kSize);
}

// Zeros and 0^k 1 0^k: every position passes the first-and-last-byte test.
void RunNearMatches(benchmark::State& bench, Who who, bool forward, std::uint32_t k) {
  const Bytes& data = Zeros();
  Bytes pattern(2 * k + 1, 0);
  pattern[k] = 1;
  const DumpViewState state = StateOver(data);
  const auto m = static_cast<std::uint32_t>(pattern.size());
  for (auto _ : bench) {
    std::uint64_t index;
    if (who == Who::Ours) {
      index = forward ? FindBytesForward(state, 0, kSize, pattern.data(), m).index
                      : FindBytesBackward(state, 0, kSize, pattern.data(), m).index;
    } else {
      const void* p = forward ? memmem(data.data(), kSize, pattern.data(), m)
                              : MemrchrSearch(data.data(), kSize, pattern);
      index = p == nullptr ? 0xFFFFFFFFu : 0;
    }
    benchmark::DoNotOptimize(index);
  }
  bench.SetBytesProcessed(static_cast<std::int64_t>(bench.iterations()) * kSize);
}

const int kRegistered = [] {
  for (bool forward : {true, false}) {
    const std::string direction = forward ? "Forward" : "Backward";
    const std::string reference = forward ? "memmem" : "memrchr";
    for (bool planted : {true, false}) {
      for (std::uint32_t length : {2u, 8u, 32u}) {
        const std::string name = direction + "/" + (planted ? "FarEnd" : "NoMatch") + "/" + std::to_string(length);
        const Scenario s{forward, planted, length};
        benchmark::RegisterBenchmark(("Search/Ours/" + name).c_str(), RunRandom, Who::Ours, s)
            ->Unit(benchmark::kMillisecond)->UseRealTime();
        benchmark::RegisterBenchmark(("Search/" + reference + "/" + name).c_str(), RunRandom, Who::Reference, s)
            ->Unit(benchmark::kMillisecond)->UseRealTime();
      }
    }
    for (std::uint32_t k : {1u, 16u, 256u}) {
      const std::string name = direction + "/NearMatches/" + std::to_string(2 * k + 1);
      benchmark::RegisterBenchmark(("Search/Ours/" + name).c_str(), RunNearMatches, Who::Ours, forward, k)
          ->Unit(benchmark::kMillisecond)->UseRealTime();
      benchmark::RegisterBenchmark(("Search/" + reference + "/" + name).c_str(), RunNearMatches, Who::Reference,
                                   forward, k)
          ->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
    }
  }
  return 0;
}();

}  // namespace
