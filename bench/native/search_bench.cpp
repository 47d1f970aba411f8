// Byte search over 256 MiB beside the C library: FindBytesForward against
// glibc's memmem, FindBytesBackward against a memrchr-based scan (first byte
// by memrchr, then memcmp), each with the match at the far end of the range
// and with no match, for patterns of 2, 8 and 32 bytes; then adversarial
// data, where every position nearly matches; and memchr for an absent byte,
// the speed of memory.
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

std::uint64_t XorShift(std::uint64_t& x) {
  x ^= x << 13;
  x ^= x >> 7;
  x ^= x << 17;
  return x;
}

// Random bytes below 0xFF: a pattern that holds 0xFF occurs only where it is
// planted.
const Bytes& RandomData() {
  static const Bytes data = [] {
    Bytes d(kSize);
    std::uint64_t x = 0x9E3779B97F4A7C15ull;
    for (auto& b : d) b = static_cast<std::uint8_t>((XorShift(x) >> 24) % 255);
    return d;
  }();
  return data;
}

const Bytes& Zeros() {
  static const Bytes data(kSize, 0);
  return data;
}

// Zeros and ones in turn.
const Bytes& Alternating() {
  static const Bytes data = [] {
    Bytes d(kSize);
    for (std::size_t i = 0; i < d.size(); ++i) d[i] = static_cast<std::uint8_t>(i % 2);
    return d;
  }();
  return data;
}

// Random zeros and ones: every byte of a pattern made of them is everywhere.
const Bytes& TwoLetters() {
  static const Bytes data = [] {
    Bytes d(kSize);
    std::uint64_t x = 0x2545F4914F6CDD1Dull;
    for (auto& b : d) b = static_cast<std::uint8_t>(XorShift(x) >> 40 & 1);
    return d;
  }();
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
      index = p == nullptr ? 0xFFFFFFFFu
                           : static_cast<std::uint64_t>(static_cast<const std::uint8_t*>(p) - data.data());
    }
    benchmark::DoNotOptimize(index);
    found = index;
  }
  std::memcpy(&data[at], saved.data(), s.length);
  if (found != (s.planted ? at : 0xFFFFFFFFu)) bench.SkipWithError("wrong answer");
  bench.SetBytesProcessed(static_cast<std::int64_t>(bench.iterations()) * kSize);
}

// Data where every position nearly matches: zeros and 0^k 1 0^k (the first
// and last bytes everywhere); zeros and ones at random and a pattern of
// `letters` of them that is not in the data (every byte everywhere); zeros
// and ones in turn and (01)^49 11 (the first 64 bytes at every other
// position).
enum class Adversary { ZeroRun, TwoLetters, Alternating };
struct NearMatches {
  Adversary kind;
  std::uint32_t size;  // k of 0^k 1 0^k, or the pattern's length
};

void RunNearMatches(benchmark::State& bench, Who who, bool forward, NearMatches c) {
  const Bytes& data = c.kind == Adversary::ZeroRun      ? Zeros()
                      : c.kind == Adversary::TwoLetters ? TwoLetters()
                                                        : Alternating();
  Bytes pattern;
  if (c.kind == Adversary::ZeroRun) {
    pattern.assign(2 * c.size + 1, 0);
    pattern[c.size] = 1;
  } else if (c.kind == Adversary::TwoLetters) {
    // 2^40 and more possible patterns, 2^28 positions.
    pattern.resize(c.size);
    for (std::uint32_t i = 0; i < c.size; ++i)
      pattern[i] = static_cast<std::uint8_t>((0xB5A3C1F0E7ull * (i / 40 + 1) >> (i % 40)) & 1);
  } else {
    pattern.assign(data.begin(), data.begin() + c.size);
    pattern[c.size - 2] = 1;
  }
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
      index = p == nullptr ? 0xFFFFFFFFu
                           : static_cast<std::uint64_t>(static_cast<const std::uint8_t*>(p) - data.data());
    }
    benchmark::DoNotOptimize(index);
  }
  bench.SetBytesProcessed(static_cast<std::int64_t>(bench.iterations()) * kSize);
}

// The speed of memory: memchr for a byte that is not there.
void RunMemchr(benchmark::State& bench) {
  const Bytes& data = RandomData();
  for (auto _ : bench) benchmark::DoNotOptimize(std::memchr(data.data(), 0xFF, kSize));
  bench.SetBytesProcessed(static_cast<std::int64_t>(bench.iterations()) * kSize);
}

const int kRegistered = [] {
  for (bool forward : {true, false}) {
    const std::string direction = forward ? "Forward" : "Backward";
    const std::string reference = forward ? "memmem" : "memrchr";
    for (bool planted : {true, false}) {
      for (std::uint32_t length : {2u, 8u, 32u}) {
        const std::string name =
            direction + "/" + (planted ? "FarEnd" : "NoMatch") + "/" + std::to_string(length);
        const Scenario s{forward, planted, length};
        benchmark::RegisterBenchmark(("Search/Ours/" + name).c_str(), RunRandom, Who::Ours, s)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
        benchmark::RegisterBenchmark(("Search/" + reference + "/" + name).c_str(), RunRandom, Who::Reference,
                                     s)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
      }
    }
    for (NearMatches c :
         {NearMatches{Adversary::ZeroRun, 1}, NearMatches{Adversary::ZeroRun, 16},
          NearMatches{Adversary::ZeroRun, 256}, NearMatches{Adversary::TwoLetters, 40},
          NearMatches{Adversary::TwoLetters, 100}, NearMatches{Adversary::Alternating, 100}}) {
      const std::string name =
          direction + (c.kind == Adversary::ZeroRun      ? "/ZeroRun/" + std::to_string(2 * c.size + 1)
                       : c.kind == Adversary::TwoLetters ? "/TwoLetters/" + std::to_string(c.size)
                                                         : "/Alternating/" + std::to_string(c.size));
      benchmark::RegisterBenchmark(("Search/Ours/" + name).c_str(), RunNearMatches, Who::Ours, forward, c)
          ->Unit(benchmark::kMillisecond)
          ->UseRealTime();
      benchmark::RegisterBenchmark(("Search/" + reference + "/" + name).c_str(), RunNearMatches,
                                   Who::Reference, forward, c)
          ->Unit(benchmark::kMillisecond)
          ->UseRealTime()
          ->Iterations(1);
    }
  }
  benchmark::RegisterBenchmark("Search/memchr/Absent", RunMemchr)
      ->Unit(benchmark::kMillisecond)
      ->UseRealTime();
  return 0;
}();

}  // namespace
