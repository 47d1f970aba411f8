#include "dumpview/bytescan.h"

#include <algorithm>
#include <bit>
#include <cstring>

#if defined(__SSE2__) || defined(_M_X64) || defined(_M_AMD64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)
#define KELVANE_SCAN_SSE2 1
#include <emmintrin.h>
#endif

namespace {

// Candidates looked at by one step of a block filter.
constexpr std::int64_t kBlock = 64;

// What one full comparison costs beyond the bytes it compares, in bytes of
// data read by the filter, and the comparison work allowed before the scan
// gives the rest of its range to Two-Way: as much as the data read so far,
// plus a start-up allowance so that short searches never pay for Two-Way's
// set-up.
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

// Block filter on 64-bit words: bit k of a step's mask is set when the
// candidate at p + k has the pattern's first byte at p + k and its last byte
// at p + k + gap.
class WordsFilter {
 public:
  WordsFilter(std::uint8_t firstByte, std::uint8_t lastByte, std::uint32_t gap)
      : first_(Broadcast(firstByte)), last_(Broadcast(lastByte)), gap_(gap) {}

  std::uint64_t operator()(const std::uint8_t* p) const {
    std::uint64_t mask = 0;
    for (int k = 0; k < kBlock / 8; ++k) mask |= static_cast<std::uint64_t>(Eight(p + 8 * k)) << (8 * k);
    return mask;
  }

 private:
  static constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Full;

  static std::uint64_t Broadcast(std::uint8_t b) { return 0x0101010101010101ull * b; }

  std::uint32_t Eight(const std::uint8_t* p) const {
    // Zero bytes where both ends agree; then 0x80 in exactly those bytes
    // (no carry crosses a byte: 0x7F + 0x7F < 0x100), gathered into 8 bits.
    const std::uint64_t x = (LoadLittle(p) ^ first_) | (LoadLittle(p + gap_) ^ last_);
    const std::uint64_t zero = ~(((x & kLow7) + kLow7) | x | kLow7);
    return static_cast<std::uint32_t>(((zero >> 7) * 0x0102040810204080ull) >> 56);
  }

  std::uint64_t first_;
  std::uint64_t last_;
  std::uint32_t gap_;
};

#if defined(KELVANE_SCAN_SSE2)
// The same filter with 16-byte compares.
class VectorFilter {
 public:
  VectorFilter(std::uint8_t firstByte, std::uint8_t lastByte, std::uint32_t gap)
      : first_(_mm_set1_epi8(static_cast<char>(firstByte))),
        last_(_mm_set1_epi8(static_cast<char>(lastByte))),
        gap_(gap) {}

  std::uint64_t operator()(const std::uint8_t* p) const {
    return Sixteen(p) | Sixteen(p + 16) << 16 | Sixteen(p + 32) << 32 | Sixteen(p + 48) << 48;
  }

 private:
  std::uint64_t Sixteen(const std::uint8_t* p) const {
    const __m128i a = _mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)), first_);
    const __m128i b = _mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + gap_)), last_);
    return static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_and_si128(a, b)));
  }

  __m128i first_;
  __m128i last_;
  std::uint32_t gap_;
};
#endif

// Two-Way (Crochemore and Perrin) over byte sequences read through an
// accessor, so that one implementation serves both directions: a backward
// search is a forward search of the reversed pattern in the reversed text.
struct Ahead {
  const std::uint8_t* base;
  std::uint8_t operator[](std::int64_t i) const { return base[i]; }
};
struct Behind {
  const std::uint8_t* base;  // the element read as index 0; index i is base[-i]
  std::uint8_t operator[](std::int64_t i) const { return base[-i]; }
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

// The first j in 0..n-m at which y[j..j+m-1] equals x, or -1.
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

std::uint32_t TwoWayForwardFrom(const std::uint8_t* data, std::int64_t first, std::int64_t last,
                                const std::uint8_t* pattern, std::int64_t m) {
  if (first > last) return kNoMatch;
  const std::int64_t j = TwoWay(Ahead{pattern}, m, Ahead{data + first}, last - first + m);
  return j < 0 ? kNoMatch : static_cast<std::uint32_t>(first + j);
}

std::uint32_t TwoWayBackwardFrom(const std::uint8_t* data, std::int64_t first, std::int64_t last,
                                 const std::uint8_t* pattern, std::int64_t m) {
  if (first > last) return kNoMatch;
  // Read backward from the last byte that the highest candidate covers: a
  // match at reversed index t begins at last - t.
  const std::int64_t t = TwoWay(Behind{pattern + m - 1}, m, Behind{data + last + m - 1}, last - first + m);
  return t < 0 ? kNoMatch : static_cast<std::uint32_t>(last - t);
}

// Full comparisons of the candidates that a filter lets through, with the
// account of their cost.
class Checker {
 public:
  Checker(const std::uint8_t* data, const std::uint8_t* pattern, std::uint32_t length)
      : data_(data), pattern_(pattern), middle_(length > 2 ? length - 2 : 0) {}

  // Whether the pattern lies at q, given that its first and last bytes do.
  bool Matches(std::int64_t q) {
    if (middle_ == 0) return true;
    const std::uint32_t same = CommonPrefix(data_ + q + 1, pattern_ + 1, middle_);
    work_ += same + kCheckCost;
    return same == middle_;
  }

  // Whether the comparisons have cost more than the data read since the
  // scan began (scanned bytes).
  bool OverBudget(std::int64_t scanned) const {
    return work_ > static_cast<std::uint64_t>(scanned) + kStartAllowance;
  }

 private:
  const std::uint8_t* data_;
  const std::uint8_t* pattern_;
  std::uint32_t middle_;
  std::uint64_t work_ = 0;
};

template <class Filter>
std::uint32_t FilteredForward(const std::uint8_t* data, std::uint32_t firstCandidate, std::uint32_t lastCandidate,
                              const std::uint8_t* pattern, std::uint32_t length) {
  const std::int64_t first = firstCandidate, last = lastCandidate;
  const Filter filter(pattern[0], pattern[length - 1], length - 1);
  Checker checker(data, pattern, length);
  std::int64_t p = first;
  for (; last - p >= kBlock - 1; p += kBlock) {
    for (std::uint64_t mask = filter(data + p); mask != 0; mask &= mask - 1) {
      const std::int64_t q = p + std::countr_zero(mask);
      if (checker.Matches(q)) return static_cast<std::uint32_t>(q);
      if (checker.OverBudget(q - first)) return TwoWayForwardFrom(data, q + 1, last, pattern, length);
    }
  }
  for (; p <= last; ++p) {
    if (data[p] == pattern[0] && data[p + length - 1] == pattern[length - 1] && checker.Matches(p)) {
      return static_cast<std::uint32_t>(p);
    }
  }
  return kNoMatch;
}

template <class Filter>
std::uint32_t FilteredBackward(const std::uint8_t* data, std::uint32_t firstCandidate, std::uint32_t lastCandidate,
                               const std::uint8_t* pattern, std::uint32_t length) {
  const std::int64_t first = firstCandidate, last = lastCandidate;
  const Filter filter(pattern[0], pattern[length - 1], length - 1);
  Checker checker(data, pattern, length);
  std::int64_t p = last;  // the highest candidate not yet looked at
  for (; p - first >= kBlock - 1; p -= kBlock) {
    const std::int64_t base = p - (kBlock - 1);
    for (std::uint64_t mask = filter(data + base); mask != 0;) {
      const int bit = 63 - std::countl_zero(mask);
      const std::int64_t q = base + bit;
      if (checker.Matches(q)) return static_cast<std::uint32_t>(q);
      if (checker.OverBudget(last - q)) return TwoWayBackwardFrom(data, first, q - 1, pattern, length);
      mask &= ~(std::uint64_t{1} << bit);
    }
  }
  for (; p >= first; --p) {
    if (data[p] == pattern[0] && data[p + length - 1] == pattern[length - 1] && checker.Matches(p)) {
      return static_cast<std::uint32_t>(p);
    }
  }
  return kNoMatch;
}

#if defined(KELVANE_SCAN_SSE2)
constexpr BlockFilter kBestFilter = BlockFilter::Vector;
#else
constexpr BlockFilter kBestFilter = BlockFilter::Words;
#endif

}  // namespace

bool HasBlockFilter(BlockFilter filter) {
#if defined(KELVANE_SCAN_SSE2)
  return filter == BlockFilter::Vector || filter == BlockFilter::Words;
#else
  return filter == BlockFilter::Words;
#endif
}

std::uint32_t ScanForwardWith(BlockFilter filter, const std::uint8_t* data, std::uint32_t first,
                              std::uint32_t last, const std::uint8_t* pattern, std::uint32_t length) {
#if defined(KELVANE_SCAN_SSE2)
  if (filter == BlockFilter::Vector) return FilteredForward<VectorFilter>(data, first, last, pattern, length);
#endif
  (void)filter;
  return FilteredForward<WordsFilter>(data, first, last, pattern, length);
}

std::uint32_t ScanBackwardWith(BlockFilter filter, const std::uint8_t* data, std::uint32_t first,
                               std::uint32_t last, const std::uint8_t* pattern, std::uint32_t length) {
#if defined(KELVANE_SCAN_SSE2)
  if (filter == BlockFilter::Vector) return FilteredBackward<VectorFilter>(data, first, last, pattern, length);
#endif
  (void)filter;
  return FilteredBackward<WordsFilter>(data, first, last, pattern, length);
}

std::uint32_t ScanForward(const std::uint8_t* data, std::uint32_t first, std::uint32_t last,
                          const std::uint8_t* pattern, std::uint32_t length) {
  return ScanForwardWith(kBestFilter, data, first, last, pattern, length);
}

std::uint32_t ScanBackward(const std::uint8_t* data, std::uint32_t first, std::uint32_t last,
                           const std::uint8_t* pattern, std::uint32_t length) {
  return ScanBackwardWith(kBestFilter, data, first, last, pattern, length);
}

std::uint32_t TwoWayForward(const std::uint8_t* data, std::uint32_t first, std::uint32_t last,
                            const std::uint8_t* pattern, std::uint32_t length) {
  return TwoWayForwardFrom(data, first, last, pattern, length);
}

std::uint32_t TwoWayBackward(const std::uint8_t* data, std::uint32_t first, std::uint32_t last,
                             const std::uint8_t* pattern, std::uint32_t length) {
  return TwoWayBackwardFrom(data, first, last, pattern, length);
}
