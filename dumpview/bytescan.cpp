#include "dumpview/bytescan.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "app/sse2.h"

namespace {

// Candidates looked at by one step of a block filter.
constexpr std::int64_t kBlock = 64;

// What one full comparison costs beyond the bytes it compares, in bytes of
// data read, and the comparison work a method is allowed before the scan
// moves on to the next one: as much as the data read so far, plus a start-up
// allowance so that short searches never change their method.
constexpr std::uint64_t kCheckCost = 16;
constexpr std::uint64_t kStartAllowance = 4096;

// The eight bytes at p as a little-endian number: byte k in bits 8k..8k+7.
std::uint64_t LoadLittle(const std::uint8_t* p) {
  std::uint64_t word;
  if constexpr (std::endian::native == std::endian::little) {
    std::memcpy(&word, p, sizeof(word));
  } else {
    word = 0;
    for (int k = 7; k >= 0; --k) word = (word << 8) | p[k];
  }
  return word;
}

// How many leading bytes a and b have in common, at most n.
std::uint32_t CommonPrefix(const std::uint8_t* a, const std::uint8_t* b, std::uint32_t n) {
  std::uint32_t i = 0;
  for (; n - i >= 8; i += 8) {
    const std::uint64_t diff = LoadLittle(a + i) ^ LoadLittle(b + i);
    if (diff != 0) return i + static_cast<std::uint32_t>(std::countr_zero(diff)) / 8;
  }
  while (i < n && a[i] == b[i]) ++i;
  return i;
}

// Two positions of the pattern, lo <= hi, whose bytes a filter tests.
struct Probe {
  std::uint32_t lo;
  std::uint32_t hi;
  bool operator==(const Probe&) const = default;
};

// Block filter on 64-bit words: bit k of a step's mask is set when the
// candidate at p + k has the pattern's bytes at both probed positions.
class WordsFilter {
 public:
  WordsFilter(const std::uint8_t* pattern, Probe probe)
      : loByte_(Broadcast(pattern[probe.lo])),
        hiByte_(Broadcast(pattern[probe.hi])),
        lo_(probe.lo),
        hi_(probe.hi) {}

  std::uint64_t operator()(const std::uint8_t* p) const {
    std::uint64_t mask = 0;
    for (std::int64_t k = 0; k < kBlock / 8; ++k)
      mask |= static_cast<std::uint64_t>(Eight(p + 8 * k)) << (8 * k);
    return mask;
  }

 private:
  static constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Full;

  static std::uint64_t Broadcast(std::uint8_t b) { return 0x0101010101010101ull * b; }

  std::uint32_t Eight(const std::uint8_t* p) const {
    // Zero bytes where both probes agree; then 0x80 in exactly those bytes
    // (no carry crosses a byte: 0x7F + 0x7F < 0x100), gathered into 8 bits.
    const std::uint64_t x = (LoadLittle(p + lo_) ^ loByte_) | (LoadLittle(p + hi_) ^ hiByte_);
    const std::uint64_t zero = ~(((x & kLow7) + kLow7) | x | kLow7);
    return static_cast<std::uint32_t>(((zero >> 7) * 0x0102040810204080ull) >> 56);
  }

  std::uint64_t loByte_;
  std::uint64_t hiByte_;
  std::uint32_t lo_;
  std::uint32_t hi_;
};

#if defined(KELVANE_SSE2)
// The same filter with 16-byte compares.
class VectorFilter {
 public:
  VectorFilter(const std::uint8_t* pattern, Probe probe)
      : loByte_(_mm_set1_epi8(static_cast<char>(pattern[probe.lo]))),
        hiByte_(_mm_set1_epi8(static_cast<char>(pattern[probe.hi]))),
        lo_(probe.lo),
        hi_(probe.hi) {}

  std::uint64_t operator()(const std::uint8_t* p) const {
    return Sixteen(p) | Sixteen(p + 16) << 16 | Sixteen(p + 32) << 32 | Sixteen(p + 48) << 48;
  }

 private:
  std::uint64_t Sixteen(const std::uint8_t* p) const {
    const __m128i a = _mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + lo_)), loByte_);
    const __m128i b = _mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + hi_)), hiByte_);
    return static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_and_si128(a, b)));
  }

  __m128i loByte_;
  __m128i hiByte_;
  std::uint32_t lo_;
  std::uint32_t hi_;
};
#endif

// Byte sequences read through an accessor, so that one implementation of a
// search serves both directions: a backward search is a forward search of
// the reversed pattern in the reversed text.
struct Ahead {
  const std::uint8_t* base;
  std::uint8_t operator[](std::int64_t i) const { return base[i]; }
  Ahead From(std::int64_t i) const { return Ahead{base + i}; }
};
struct Behind {
  const std::uint8_t* base;  // the element read as index 0; index i is base[-i]
  std::uint8_t operator[](std::int64_t i) const { return base[-i]; }
  Behind From(std::int64_t i) const { return Behind{base - i}; }
};

// Start of the maximal suffix of x under the byte order (or its reverse)
// minus one, and that suffix's period.
template <class Seq>
std::int64_t MaximalSuffix(Seq x, std::int64_t m, bool reverseOrder, std::int64_t& period) {
  std::int64_t ms = -1, j = 0, k = 1;
  period = 1;
  while (j + k < m) {
    const std::uint8_t a = x[j + k];
    const std::uint8_t b = x[ms + k];
    if (reverseOrder ? a > b : a < b) {
      j += k;
      k = 1;
      period = j - ms;
    } else if (a == b) {
      if (k != period) {
        ++k;
      } else {
        j += period;
        k = 1;
      }
    } else {
      ms = j;
      j = ms + 1;
      k = period = 1;
    }
  }
  return ms;
}

// Two-Way (Crochemore and Perrin): the first j in 0..n-m at which
// y[j..j+m-1] equals x, or -1; linear time, constant space.
template <class Pattern, class Text>
std::int64_t TwoWay(Pattern x, std::int64_t m, Text y, std::int64_t n) {
  std::int64_t p = 0, q = 0;
  const std::int64_t s1 = MaximalSuffix(x, m, false, p);
  const std::int64_t s2 = MaximalSuffix(x, m, true, q);
  // The critical factorisation x[0..ell] | x[ell+1..m-1].
  const std::int64_t ell = std::max(s1, s2);
  std::int64_t period = s1 > s2 ? p : q;
  bool periodic = true;
  for (std::int64_t i = 0; i <= ell && periodic; ++i) periodic = x[i] == x[i + period];

  if (periodic) {
    // Remember how much of the left part the last shift by the period
    // has already matched.
    std::int64_t memory = -1;
    for (std::int64_t j = 0; j <= n - m;) {
      std::int64_t i = std::max(ell, memory) + 1;
      while (i < m && x[i] == y[i + j]) ++i;
      if (i < m) {
        j += i - ell;
        memory = -1;
        continue;
      }
      i = ell;
      while (i > memory && x[i] == y[i + j]) --i;
      if (i <= memory) return j;
      j += period;
      memory = m - period - 1;
    }
    return -1;
  }

  period = std::max(ell + 1, m - ell - 1) + 1;
  for (std::int64_t j = 0; j <= n - m;) {
    std::int64_t i = ell + 1;
    while (i < m && x[i] == y[i + j]) ++i;
    if (i < m) {
      j += i - ell;
      continue;
    }
    i = ell;
    while (i >= 0 && x[i] == y[i + j]) --i;
    if (i < 0) return j;
    j += period;
  }
  return -1;
}

// Shift-And on the pattern's first bytes (all of them when it has at most
// 64): one bit of state per byte, advanced by one table look-up per data byte
// with no branch that depends on the data, so that data which keeps nearly
// matching costs no more than any other. Where those bytes agree, the rest of
// a longer pattern is compared; should that cost more than reading the data,
// the search goes on with Two-Way from the next candidate. The first j in
// 0..n-m at which y[j..j+m-1] equals x, or -1.
template <class Pattern, class Text>
std::int64_t ShiftAnd(Pattern x, std::int64_t m, Text y, std::int64_t n) {
  const std::int64_t head = std::min<std::int64_t>(m, 64);
  std::uint64_t masks[256] = {};
  for (std::int64_t i = 0; i < head; ++i) masks[x[i]] |= std::uint64_t{1} << i;
  const std::uint64_t wholeHead = std::uint64_t{1} << (head - 1);
  std::uint64_t state = 0;
  std::uint64_t work = 0;
  // The head of the last candidate, n - m, ends at n - m + head - 1.
  for (std::int64_t j = 0; j < n - m + head; ++j) {
    state = ((state << 1) | 1) & masks[y[j]];
    if ((state & wholeHead) == 0) continue;
    const std::int64_t c = j - head + 1;
    std::int64_t i = head;
    while (i < m && x[i] == y[c + i]) ++i;
    if (i == m) return c;
    work += static_cast<std::uint64_t>(i - head) + kCheckCost;
    if (work > static_cast<std::uint64_t>(j) + kStartAllowance) {
      const std::int64_t rest = TwoWay(x, m, y.From(c + 1), n - c - 1);
      return rest < 0 ? -1 : c + 1 + rest;
    }
  }
  return -1;
}

// The search of last resort, linear in the range whatever the data: Shift-And
// (or, for a test, Two-Way alone). The backward search reads the reversed
// pattern in the reversed range, from the last byte that the highest
// candidate covers: a match at reversed index t begins at last - t.
template <bool kShiftAnd>
std::uint32_t LinearForward(const std::uint8_t* data, std::int64_t first, std::int64_t last,
                            const std::uint8_t* pattern, std::int64_t m) {
  if (first > last) return kNoIndex;
  const Ahead x{pattern}, y{data + first};
  const std::int64_t n = last - first + m;
  const std::int64_t j = kShiftAnd ? ShiftAnd(x, m, y, n) : TwoWay(x, m, y, n);
  return j < 0 ? kNoIndex : static_cast<std::uint32_t>(first + j);
}

template <bool kShiftAnd>
std::uint32_t LinearBackward(const std::uint8_t* data, std::int64_t first, std::int64_t last,
                             const std::uint8_t* pattern, std::int64_t m) {
  if (first > last) return kNoIndex;
  const Behind x{pattern + m - 1}, y{data + last + m - 1};
  const std::int64_t n = last - first + m;
  const std::int64_t t = kShiftAnd ? ShiftAnd(x, m, y, n) : TwoWay(x, m, y, n);
  return t < 0 ? kNoIndex : static_cast<std::uint32_t>(last - t);
}

// Full comparisons of the candidates that a filter lets through, with the
// account of their cost.
class Checker {
 public:
  Checker(const std::uint8_t* data, const std::uint8_t* pattern, std::uint32_t length)
      : data_(data), pattern_(pattern), length_(length) {}

  // Whether the pattern lies at q, given that the probed bytes do.
  bool Matches(std::int64_t q) {
    // One or two bytes: any probe tests them all.
    if (length_ <= 2) return true;
    const std::uint32_t same = CommonPrefix(data_ + q, pattern_, length_);
    work_ += same + kCheckCost;
    return same == length_;
  }

  // Whether the comparisons have cost more than the data read since the
  // pass began (scanned bytes).
  bool OverBudget(std::int64_t scanned) const {
    return work_ > static_cast<std::uint64_t>(scanned) + kStartAllowance;
  }

 private:
  const std::uint8_t* data_;
  const std::uint8_t* pattern_;
  std::uint32_t length_;
  std::uint64_t work_ = 0;
};

bool Admits(const std::uint8_t* candidate, const std::uint8_t* pattern, Probe probe) {
  return candidate[probe.lo] == pattern[probe.lo] && candidate[probe.hi] == pattern[probe.hi];
}

// How a filtered pass over a range of candidates ended: finished, at a match
// or with none in the range, or stopped by near matches that cost too much,
// with the candidates from `resume` on (in the pass's direction, resume
// included) still to look at.
struct Pass {
  bool finished;
  std::uint32_t index;
  std::int64_t resume;
};

template <class Filter>
Pass ForwardPass(const std::uint8_t* data, std::int64_t first, std::int64_t last, const std::uint8_t* pattern,
                 std::uint32_t length, Probe probe) {
  const Filter filter(pattern, probe);
  Checker checker(data, pattern, length);
  std::int64_t p = first;
  for (; last - p >= kBlock - 1; p += kBlock) {
    for (std::uint64_t mask = filter(data + p); mask != 0; mask &= mask - 1) {
      const std::int64_t q = p + std::countr_zero(mask);
      if (checker.OverBudget(q - first)) return Pass{false, kNoIndex, q};
      if (checker.Matches(q)) return Pass{true, static_cast<std::uint32_t>(q), 0};
    }
  }
  for (; p <= last; ++p) {
    if (Admits(data + p, pattern, probe) && checker.Matches(p))
      return Pass{true, static_cast<std::uint32_t>(p), 0};
  }
  return Pass{true, kNoIndex, 0};
}

template <class Filter>
Pass BackwardPass(const std::uint8_t* data, std::int64_t first, std::int64_t last,
                  const std::uint8_t* pattern, std::uint32_t length, Probe probe) {
  const Filter filter(pattern, probe);
  Checker checker(data, pattern, length);
  std::int64_t p = last;  // the highest candidate not yet looked at
  for (; p - first >= kBlock - 1; p -= kBlock) {
    const std::int64_t base = p - (kBlock - 1);
    for (std::uint64_t mask = filter(data + base); mask != 0;) {
      const int bit = 63 - std::countl_zero(mask);
      const std::int64_t q = base + bit;
      if (checker.OverBudget(last - q)) return Pass{false, kNoIndex, q};
      if (checker.Matches(q)) return Pass{true, static_cast<std::uint32_t>(q), 0};
      mask &= ~(std::uint64_t{1} << bit);
    }
  }
  for (; p >= first; --p) {
    if (Admits(data + p, pattern, probe) && checker.Matches(p))
      return Pass{true, static_cast<std::uint32_t>(p), 0};
  }
  return Pass{true, kNoIndex, 0};
}

// The two positions of the pattern whose bytes are the rarest in a sample of
// the data: a second pass probes them when the first and last bytes are
// everywhere (a pattern that begins and ends with zeros in a run of zeros).
Probe RareProbe(const std::uint8_t* sample, std::int64_t size, const std::uint8_t* pattern,
                std::uint32_t length) {
  std::uint32_t count[256] = {};
  for (std::int64_t i = 0; i < size; ++i) ++count[sample[i]];
  const auto rarer = [&](std::uint32_t i, std::uint32_t j) { return count[pattern[i]] < count[pattern[j]]; };
  std::uint32_t a = 0;
  for (std::uint32_t i = 1; i < length; ++i)
    if (rarer(i, a)) a = i;
  std::uint32_t b = a == 0 ? 1 : 0;
  for (std::uint32_t i = 0; i < length; ++i)
    if (i != a && rarer(i, b)) b = i;
  return Probe{std::min(a, b), std::max(a, b)};
}

// Bytes of data looked at to choose the second probe.
constexpr std::int64_t kSample = 1024;

// A pass probing the first and last bytes; if near matches stop it, a pass
// probing the rarest bytes; if they stop that too, a linear search for the
// rest.
template <class Filter>
std::uint32_t FilteredForward(const std::uint8_t* data, std::int64_t first, std::int64_t last,
                              const std::uint8_t* pattern, std::uint32_t length) {
  Probe probe{0, length - 1};
  for (int pass = 0;; ++pass) {
    const Pass result = ForwardPass<Filter>(data, first, last, pattern, length, probe);
    if (result.finished) return result.index;
    first = result.resume;
    if (pass == 1) break;
    // The bytes the stopped pass read last: up to the end of the candidate
    // it stopped at.
    const std::int64_t sampleEnd = first + length;
    const std::int64_t sampleBegin = std::max<std::int64_t>(0, sampleEnd - kSample);
    const Probe rare = RareProbe(data + sampleBegin, sampleEnd - sampleBegin, pattern, length);
    if (rare == probe) break;
    probe = rare;
  }
  return LinearForward<true>(data, first, last, pattern, length);
}

template <class Filter>
std::uint32_t FilteredBackward(const std::uint8_t* data, std::int64_t first, std::int64_t last,
                               const std::uint8_t* pattern, std::uint32_t length) {
  Probe probe{0, length - 1};
  const std::int64_t dataEnd = last + length;  // past the last byte a candidate covers
  for (int pass = 0;; ++pass) {
    const Pass result = BackwardPass<Filter>(data, first, last, pattern, length, probe);
    if (result.finished) return result.index;
    last = result.resume;
    if (pass == 1) break;
    const std::int64_t sampleBegin = last;
    const std::int64_t sampleEnd = std::min(dataEnd, sampleBegin + kSample);
    const Probe rare = RareProbe(data + sampleBegin, sampleEnd - sampleBegin, pattern, length);
    if (rare == probe) break;
    probe = rare;
  }
  return LinearBackward<true>(data, first, last, pattern, length);
}

#if defined(KELVANE_SSE2)
constexpr ScanMethod kBestMethod = ScanMethod::VectorFilter;
#else
constexpr ScanMethod kBestMethod = ScanMethod::WordsFilter;
#endif

}  // namespace

bool HasScanMethod(ScanMethod method) {
#if defined(KELVANE_SSE2)
  (void)method;
  return true;
#else
  return method != ScanMethod::VectorFilter;
#endif
}

std::uint32_t ScanWith(ScanMethod method, bool backward, const std::uint8_t* data, std::uint32_t first,
                       std::uint32_t last, const std::uint8_t* pattern, std::uint32_t length) {
  switch (method) {
#if defined(KELVANE_SSE2)
    case ScanMethod::VectorFilter:
      return backward ? FilteredBackward<VectorFilter>(data, first, last, pattern, length)
                      : FilteredForward<VectorFilter>(data, first, last, pattern, length);
#endif
    case ScanMethod::ShiftAnd:
      return backward ? LinearBackward<true>(data, first, last, pattern, length)
                      : LinearForward<true>(data, first, last, pattern, length);
    case ScanMethod::TwoWay:
      return backward ? LinearBackward<false>(data, first, last, pattern, length)
                      : LinearForward<false>(data, first, last, pattern, length);
    default:
      return backward ? FilteredBackward<WordsFilter>(data, first, last, pattern, length)
                      : FilteredForward<WordsFilter>(data, first, last, pattern, length);
  }
}

std::uint32_t ScanForward(const std::uint8_t* data, std::uint32_t first, std::uint32_t last,
                          const std::uint8_t* pattern, std::uint32_t length) {
  return ScanWith(kBestMethod, false, data, first, last, pattern, length);
}

std::uint32_t ScanBackward(const std::uint8_t* data, std::uint32_t first, std::uint32_t last,
                           const std::uint8_t* pattern, std::uint32_t length) {
  return ScanWith(kBestMethod, true, data, first, last, pattern, length);
}
