// Byte search: the fast scans against a plain byte-by-byte search on random
// and adversarial data, and the two readings of `end`. (What DVFIND_SELECT
// does is tested through the real window.)
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "dumpview/bytescan.h"
#include "dumpview/dumpview.h"
#include "dumpview/search.h"
#include "recordingport.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

bool Forward(std::uint32_t flags) { return (flags & DVFIND_BACKWARD) == 0; }

// The search as defined: every candidate compared byte by byte.
SearchResult Reference(const Bytes& data, std::uint32_t start, std::uint32_t end, const Bytes& pattern,
                       bool forward) {
  const auto n = static_cast<std::uint32_t>(data.size());
  const auto m = static_cast<std::uint32_t>(pattern.size());
  if (end < start) return {kNoIndex, DV_ERROR_BAD_REQUEST};
  if (m > n || m == 0) return {kNoIndex, 0};
  const auto at = [&](std::uint32_t p) {
    return std::equal(pattern.begin(), pattern.end(), data.begin() + p);
  };
  if (forward) {
    const std::uint32_t limit = std::min(end, n);
    if (limit < m) return {kNoIndex, 0};
    for (std::uint32_t p = start; p <= limit - m; ++p)
      if (at(p)) return {p, 0};
    return {kNoIndex, 0};
  }
  for (std::int64_t p = std::min(end, n - m); p >= start; --p)
    if (at(static_cast<std::uint32_t>(p))) return {static_cast<std::uint32_t>(p), 0};
  return {kNoIndex, 0};
}

DumpViewState StateOver(const Bytes& data) {
  DumpViewState state = MakeViewState(16);
  state.data = data.data();
  state.dataLength = static_cast<std::uint32_t>(data.size());
  return state;
}

SearchResult Find(const Bytes& data, std::uint32_t start, std::uint32_t end, const Bytes& pattern,
                  bool forward) {
  const DumpViewState state = StateOver(data);
  const auto m = static_cast<std::uint32_t>(pattern.size());
  // A non-null pointer even for the empty pattern, as the message requires.
  const std::uint8_t* p = pattern.empty() ? data.data() : pattern.data();
  return forward ? FindBytesForward(state, start, end, p, m) : FindBytesBackward(state, start, end, p, m);
}

// Data and patterns that keep nearly matching: few distinct bytes, long runs
// of the pattern's first byte, the pattern planted at the very ends.
struct Case {
  Bytes data;
  Bytes pattern;
  std::uint32_t start;
  std::uint32_t end;
};

Case RandomCase(std::mt19937& rng) {
  auto below = [&](std::uint32_t n) { return std::uniform_int_distribution<std::uint32_t>(0, n - 1)(rng); };
  Case c;
  const std::uint32_t alphabet = std::array<std::uint32_t, 4>{2, 3, 4, 256}[below(4)];
  const std::uint32_t size = below(4) == 0 ? below(6000) : below(300);
  c.data.resize(size);
  for (auto& b : c.data) b = static_cast<std::uint8_t>(below(alphabet));
  const std::uint32_t kind = below(5);
  if (kind == 0 && size > 0) {
    // A long run of one byte with rare other bytes, the pattern that run's
    // byte with one other byte somewhere in it.
    const std::uint8_t run = c.data[0];
    for (auto& b : c.data) b = below(400) == 0 ? static_cast<std::uint8_t>(run + 1) : run;
  }
  const std::uint32_t length = below(8) == 0 ? below(400) : 1 + below(20);
  if (kind <= 1 && size > 0) {
    c.pattern.assign(length, c.data[0]);
    if (length > 2 && below(2) == 0)
      c.pattern[1 + below(length - 2)] = static_cast<std::uint8_t>(c.data[0] + 1);
  } else if (kind == 2 && length <= size) {
    const std::uint32_t from = below(size - length + 1);
    c.pattern.assign(c.data.begin() + from, c.data.begin() + from + length);
  } else {
    c.pattern.resize(length);
    for (auto& b : c.pattern) b = static_cast<std::uint8_t>(below(alphabet));
  }
  // Plant at an end now and then.
  if (!c.pattern.empty() && c.pattern.size() <= size && below(4) == 0) {
    const std::size_t at = below(2) == 0 ? 0 : size - c.pattern.size();
    std::copy(c.pattern.begin(), c.pattern.end(), c.data.begin() + at);
  }
  auto position = [&] { return below(6) == 0 ? size + below(20) : below(size + 1); };
  c.start = below(3) == 0 ? 0 : position();
  c.end = below(3) == 0 ? std::max(size, c.start) : position();
  if (below(10) == 0) c.end = 0xFFFFFFFFu;
  return c;
}

std::string Describe(const Case& c) {
  return "size " + std::to_string(c.data.size()) + ", pattern " + std::to_string(c.pattern.size()) +
         ", start " + std::to_string(c.start) + ", end " + std::to_string(c.end);
}

}  // namespace

TEST(SearchBytes, FastScansAgreeWithTheByteByByteSearch) {
  std::mt19937 rng(20240611);
  for (int round = 0; round < 6000; ++round) {
    const Case c = RandomCase(rng);
    for (bool forward : {true, false}) {
      const SearchResult want = Reference(c.data, c.start, c.end, c.pattern, forward);
      const SearchResult got = Find(c.data, c.start, c.end, c.pattern, forward);
      ASSERT_EQ(got.index, want.index) << (forward ? "forward " : "backward ") << Describe(c);
      ASSERT_EQ(got.lastError, want.lastError) << Describe(c);

      // Each piece of the scan on its own, over the whole data.
      const auto n = static_cast<std::uint32_t>(c.data.size());
      const auto m = static_cast<std::uint32_t>(c.pattern.size());
      if (m == 0 || m > n) continue;
      const std::uint32_t whole = Reference(c.data, 0, n, c.pattern, forward).index;
      const auto* d = c.data.data();
      const auto* p = c.pattern.data();
      for (ScanMethod method :
           {ScanMethod::VectorFilter, ScanMethod::WordsFilter, ScanMethod::ShiftAnd, ScanMethod::TwoWay}) {
        if (!HasScanMethod(method)) continue;
        ASSERT_EQ(ScanWith(method, !forward, d, 0, n - m, p, m), whole)
            << "method " << static_cast<int>(method) << ", " << Describe(c);
      }
    }
  }
}

TEST(SearchBytes, NearMatchesEverywhereStayCorrectAcrossEachChangeOfMethod) {
  // Data that nearly matches everywhere, searched from every start (and
  // backward up to every end): the points where the scan changes its probe
  // and where it hands over to the linear search slide across the matches,
  // and each match is still found.
  std::mt19937 rng(7);
  Bytes twoLetters(16384);
  for (auto& b : twoLetters) b = static_cast<std::uint8_t>(rng() % 2);
  struct Sweep {
    Bytes data;
    Bytes pattern;
  };
  std::vector<Sweep> sweeps;
  for (std::uint32_t k : {1u, 7u, 40u}) {
    // 0^k 1 0^k in zeros: the first and last bytes are everywhere.
    Bytes pattern(2 * k + 1, 0);
    pattern[k] = 1;
    sweeps.push_back({Bytes(16384, 0), pattern});
  }
  // Twenty or a hundred of two letters at random: every probe is busy, and
  // the scan ends in Shift-And.
  for (std::ptrdiff_t length : {20, 100}) {
    sweeps.push_back({twoLetters, Bytes(twoLetters.begin() + 99, twoLetters.begin() + 99 + length)});
    sweeps.back().pattern.back() ^= 1;
  }
  // (01)^49 11 in (01)^n: Shift-And finds the first 64 bytes at every other
  // position, and the scan ends in Two-Way.
  Bytes alternating(16384);
  for (std::size_t i = 0; i < alternating.size(); ++i) alternating[i] = static_cast<std::uint8_t>(i % 2);
  sweeps.push_back({alternating, Bytes(alternating.begin(), alternating.begin() + 100)});
  sweeps.back().pattern[98] = 1;
  for (Sweep& s : sweeps) {
    // At both ends and far enough apart for every change of method to come
    // between them.
    const std::size_t last = s.data.size() - s.pattern.size();
    for (std::size_t at : {std::size_t{0}, std::size_t{4000}, std::size_t{8000}, std::size_t{12000}, last})
      std::copy(s.pattern.begin(), s.pattern.end(), s.data.begin() + static_cast<std::ptrdiff_t>(at));
    const auto n = static_cast<std::uint32_t>(s.data.size());
    const auto m = static_cast<std::uint32_t>(s.pattern.size());
    std::vector<std::uint32_t> matches;
    for (std::uint32_t p = 0; p + m <= n; ++p)
      if (std::equal(s.pattern.begin(), s.pattern.end(), s.data.begin() + p)) matches.push_back(p);
    for (std::uint32_t bound = 0; bound <= n; ++bound) {
      const auto next = std::lower_bound(matches.begin(), matches.end(), bound);
      const auto upTo = std::upper_bound(matches.begin(), matches.end(), bound);
      ASSERT_EQ(Find(s.data, bound, n, s.pattern, true).index, next == matches.end() ? kNoIndex : *next)
          << "forward from " << bound << ", pattern " << m;
      ASSERT_EQ(Find(s.data, 0, bound, s.pattern, false).index, upTo == matches.begin() ? kNoIndex : upTo[-1])
          << "backward to " << bound << ", pattern " << m;
    }
  }
}

TEST(SearchBytes, TheTwoReadingsOfEnd) {
  const Bytes data{0x41, 0x42, 0x43, 0x41, 0x42, 0x43};
  const Bytes bc{0x42, 0x43};
  struct Row {
    std::uint32_t flags, start, end;
    Bytes pattern;
    std::uint32_t index, lastError;
  };
  const Row rows[] = {
      {0, 0, 6, bc, 1, 0},
      {0, 2, 6, bc, 4, 0},
      {0, 0, 3, bc, 1, 0},
      {0, 0, 2, bc, kNoIndex, 0},         // going forward the match must end by `end`
      {0, 0, 1, bc, kNoIndex, 0},         // `end` below the pattern's length
      {0, 0, 0xFFFFFFFFu, bc, 1, 0},      // `end` past the data
      {DVFIND_BACKWARD, 0, 6, bc, 4, 0},  // the first candidate is 6 - 2
      {DVFIND_BACKWARD, 0, 3, bc, 1, 0},
      {DVFIND_BACKWARD, 0, 4, bc, 4, 0},  // going backward a match may begin at `end`
      {DVFIND_BACKWARD, 2, 3, bc, kNoIndex, 0},
      {0, 5, 4, bc, kNoIndex, DV_ERROR_BAD_REQUEST},
      {DVFIND_BACKWARD, 5, 4, bc, kNoIndex, DV_ERROR_BAD_REQUEST},
      {0, 0, 6, Bytes(7, 0x41), kNoIndex, 0},
      {0, 0, 6, Bytes{}, kNoIndex, 0},
      {DVFIND_BACKWARD, 0, 6, Bytes{}, kNoIndex, 0},
      {DVFIND_BACKWARD, 0, 6, Bytes{0x41, 0x41}, kNoIndex, 0},  // tries 0 last
      {0, 7, 9, Bytes{0x41}, kNoIndex, 0},
  };
  for (const Row& r : rows) {
    const SearchResult got = Find(data, r.start, r.end, r.pattern, Forward(r.flags));
    EXPECT_EQ(got.index, r.index) << r.flags << " " << r.start << " " << r.end << " " << r.pattern.size();
    EXPECT_EQ(got.lastError, r.lastError) << r.flags << " " << r.start << " " << r.end;
  }
  EXPECT_EQ(Find(Bytes{}, 0, 0, bc, true).index, kNoIndex);
}
