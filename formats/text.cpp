#include "formats/text.h"

#include <algorithm>
#include <cstring>

#include "encoding/unicode.h"

#if defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)
#include <emmintrin.h>
#define KELVANE_TEXT_SSE2 1
#endif

namespace {

// The units are counted a block at a time: the block stays in the cache
// between the terminator search and the counting loops, so the text is read
// from memory once, and the loops are simple enough for the compiler to
// vectorise (a 256 MiB text must take little more than one memchr pass).
constexpr std::uint32_t kBlockBytes = 32 * 1024;

constexpr std::uint8_t kCr = 0x0D;
constexpr std::uint8_t kLf = 0x0A;

struct BlockCounts {
  std::uint32_t cr = 0;
  std::uint32_t lf = 0;
  std::uint32_t crlf = 0;  // pairs that lie wholly in the block
  std::uint32_t outsideAscii = 0;
  std::uint32_t surrogates = 0;
};

// The scalar count, for the tail of a block and where SSE2 is missing.
void CountBytesScalar(const std::uint8_t* p, std::uint32_t from, std::uint32_t n, BlockCounts& c) {
  for (std::uint32_t i = from; i < n; ++i) {
    c.cr += p[i] == kCr;
    c.lf += p[i] == kLf;
    c.outsideAscii += p[i] >= 0x80;
    c.crlf += i + 1 < n && p[i] == kCr && p[i + 1] == kLf;
  }
}

#if defined(KELVANE_TEXT_SSE2)
// 16 bytes a step: byte lanes count each kind for up to 255 steps, then add
// up into the totals.
std::uint32_t SumLanes(__m128i lanes) {
  const __m128i sums = _mm_sad_epu8(lanes, _mm_setzero_si128());
  return static_cast<std::uint32_t>(_mm_cvtsi128_si32(sums) + _mm_cvtsi128_si32(_mm_srli_si128(sums, 8)));
}

BlockCounts CountBytes(const std::uint8_t* p, std::uint32_t n) {
  BlockCounts c;
  const __m128i cr = _mm_set1_epi8(kCr);
  const __m128i lf = _mm_set1_epi8(kLf);
  const __m128i zero = _mm_setzero_si128();
  std::uint32_t i = 0;
  // Each step also reads the byte after its 16, for CRLF: stop one short.
  while (i + 17 <= n) {
    __m128i crs = zero;
    __m128i lfs = zero;
    __m128i highs = zero;
    __m128i pairs = zero;
    for (int step = 0; step < 255 && i + 17 <= n; ++step, i += 16) {
      const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
      const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i + 1));
      const __m128i isCr = _mm_cmpeq_epi8(x, cr);
      crs = _mm_sub_epi8(crs, isCr);
      lfs = _mm_sub_epi8(lfs, _mm_cmpeq_epi8(x, lf));
      highs = _mm_sub_epi8(highs, _mm_cmplt_epi8(x, zero));
      pairs = _mm_sub_epi8(pairs, _mm_and_si128(isCr, _mm_cmpeq_epi8(next, lf)));
    }
    c.cr += SumLanes(crs);
    c.lf += SumLanes(lfs);
    c.outsideAscii += SumLanes(highs);
    c.crlf += SumLanes(pairs);
  }
  CountBytesScalar(p, i, n, c);
  return c;
}
#else
BlockCounts CountBytes(const std::uint8_t* p, std::uint32_t n) {
  BlockCounts c;
  CountBytesScalar(p, 0, n, c);
  return c;
}
#endif

std::uint16_t UnitAt(const std::uint8_t* p, std::uint32_t i) {
  return Utf16LeUnit(p + 2 * static_cast<std::size_t>(i));
}

bool IsSurrogate(std::uint16_t u) { return IsHighSurrogate(u) || IsLowSurrogate(u); }

void CountUnitsScalar(const std::uint8_t* p, std::uint32_t from, std::uint32_t units, BlockCounts& c) {
  for (std::uint32_t i = from; i < units; ++i) {
    const std::uint16_t u = UnitAt(p, i);
    c.cr += u == kCr;
    c.lf += u == kLf;
    c.outsideAscii += u >= 0x80;
    c.surrogates += IsSurrogate(u);
    c.crlf += i + 1 < units && u == kCr && UnitAt(p, i + 1) == kLf;
  }
}

#if defined(KELVANE_TEXT_SSE2)
// 8 units a step: 16-bit lanes count each kind for up to 4095 steps (below
// their limit), then add up into the totals.
std::uint32_t SumUnitLanes(__m128i lanes) {
  const __m128i pairs = _mm_madd_epi16(lanes, _mm_set1_epi16(1));
  const __m128i halves = _mm_add_epi32(pairs, _mm_srli_si128(pairs, 8));
  return static_cast<std::uint32_t>(_mm_cvtsi128_si32(_mm_add_epi32(halves, _mm_srli_si128(halves, 4))));
}

BlockCounts CountUnits(const std::uint8_t* p, std::uint32_t units) {
  BlockCounts c;
  const __m128i cr = _mm_set1_epi16(kCr);
  const __m128i lf = _mm_set1_epi16(kLf);
  const __m128i zero = _mm_setzero_si128();
  const __m128i notAscii = _mm_set1_epi16(static_cast<short>(0xFF80));
  const __m128i surrogateBits = _mm_set1_epi16(static_cast<short>(0xF800));
  const __m128i surrogate = _mm_set1_epi16(static_cast<short>(0xD800));
  std::uint32_t i = 0;
  while (i + 9 <= units) {
    __m128i crs = zero;
    __m128i lfs = zero;
    __m128i highs = zero;
    __m128i pairs = zero;
    __m128i surrogates = zero;
    for (int step = 0; step < 4095 && i + 9 <= units; ++step, i += 8) {
      const __m128i x =
          _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 2 * static_cast<std::size_t>(i)));
      const __m128i next =
          _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 2 * static_cast<std::size_t>(i) + 2));
      const __m128i isCr = _mm_cmpeq_epi16(x, cr);
      crs = _mm_sub_epi16(crs, isCr);
      lfs = _mm_sub_epi16(lfs, _mm_cmpeq_epi16(x, lf));
      highs = _mm_add_epi16(
          highs, _mm_add_epi16(_mm_cmpeq_epi16(_mm_and_si128(x, notAscii), zero), _mm_set1_epi16(1)));
      surrogates = _mm_sub_epi16(surrogates, _mm_cmpeq_epi16(_mm_and_si128(x, surrogateBits), surrogate));
      pairs = _mm_sub_epi16(pairs, _mm_and_si128(isCr, _mm_cmpeq_epi16(next, lf)));
    }
    c.cr += SumUnitLanes(crs);
    c.lf += SumUnitLanes(lfs);
    c.outsideAscii += SumUnitLanes(highs);
    c.surrogates += SumUnitLanes(surrogates);
    c.crlf += SumUnitLanes(pairs);
  }
  CountUnitsScalar(p, i, units, c);
  return c;
}
#else
BlockCounts CountUnits(const std::uint8_t* p, std::uint32_t units) {
  BlockCounts c;
  CountUnitsScalar(p, 0, units, c);
  return c;
}
#endif

// The exact pairing of surrogates, for the rare blocks that hold any. A high
// surrogate at the end of a block waits for the next block's first unit.
struct SurrogateState {
  bool pendingHigh = false;
  std::uint32_t pendingOffset = 0;
};

void NoteUnpaired(TextStatistics& s, std::uint32_t offset) {
  if (s.unpairedSurrogates++ == 0) s.firstUnpairedOffset = offset;
}

void PairSurrogates(const std::uint8_t* p, std::uint32_t units, std::uint32_t blockOffset,
                    SurrogateState& state, TextStatistics& s) {
  for (std::uint32_t i = 0; i < units; ++i) {
    const std::uint16_t u = UnitAt(p, i);
    const bool high = IsHighSurrogate(u);
    const bool low = IsLowSurrogate(u);
    if (state.pendingHigh) {
      state.pendingHigh = false;
      if (low) {
        ++s.surrogatePairs;
        continue;
      }
      NoteUnpaired(s, state.pendingOffset);
    }
    if (high) {
      state.pendingHigh = true;
      state.pendingOffset = blockOffset + 2 * i;
    } else if (low) {
      NoteUnpaired(s, blockOffset + 2 * i);
    }
  }
}

void AddBlock(TextStatistics& s, const BlockCounts& c) {
  s.cr += c.cr;
  s.lf += c.lf;
  s.crlf += c.crlf;
  s.outsideAscii += c.outsideAscii;
}

// The terminator's index in units within a block, or n when there is none.
std::uint32_t TerminatorIn(const std::uint8_t* p, std::uint32_t n, TextUnit unit) {
  if (unit == TextUnit::Byte) {
    const void* zero = std::memchr(p, 0, n);
    return zero == nullptr ? n : static_cast<std::uint32_t>(static_cast<const std::uint8_t*>(zero) - p);
  }
  for (std::uint32_t i = 0; i < n; ++i) {
    if (UnitAt(p, i) == 0) return i;
  }
  return n;
}

}  // namespace

TextStatistics CountText(const std::uint8_t* data, std::uint32_t length, TextUnit unit) {
  TextStatistics s;
  const std::uint32_t width = unit == TextUnit::Byte ? 1 : 2;
  const std::uint32_t totalUnits = length / width;
  SurrogateState surrogates;
  std::uint16_t previous = 0xFFFF;  // the unit before the block, for CRLF across blocks
  for (std::uint32_t first = 0; first < totalUnits;) {
    const std::uint32_t n = std::min(kBlockBytes / width, totalUnits - first);
    const std::uint8_t* p = data + static_cast<std::size_t>(first) * width;
    const std::uint32_t end = TerminatorIn(p, n, unit);
    const BlockCounts c = unit == TextUnit::Byte ? CountBytes(p, end) : CountUnits(p, end);
    AddBlock(s, c);
    if (end != 0) {
      const std::uint16_t head = unit == TextUnit::Byte ? p[0] : UnitAt(p, 0);
      s.crlf += previous == kCr && head == kLf;
      previous = unit == TextUnit::Byte ? p[end - 1] : UnitAt(p, end - 1);
    }
    if (c.surrogates != 0 || surrogates.pendingHigh) {
      PairSurrogates(p, end, first * width, surrogates, s);
    }
    s.units += end;
    if (end < n) {
      s.terminated = true;
      s.terminatorOffset = (first + end) * width;
      break;
    }
    first += n;
  }
  if (surrogates.pendingHigh) NoteUnpaired(s, surrogates.pendingOffset);
  s.lf -= s.crlf;
  s.cr -= s.crlf;
  s.endsWithLineEnd = s.units != 0 && (previous == kCr || previous == kLf);
  return s;
}

namespace {

std::string LineEndingsText(const TextStatistics& s) {
  const int kinds = (s.crlf != 0) + (s.lf != 0) + (s.cr != 0);
  if (kinds == 0) return "none";
  if (kinds > 1) {
    return "mixed (CRLF " + Decimal(s.crlf) + ", LF " + Decimal(s.lf) + ", CR " + Decimal(s.cr) + ")";
  }
  if (s.crlf != 0) return "CRLF";
  return s.lf != 0 ? "LF" : "CR";
}

std::uint64_t LineCount(const TextStatistics& s) {
  if (s.units == 0) return 0;
  const std::uint64_t ends = s.crlf + s.lf + s.cr;
  // A last line without an ending is a line too.
  return ends + (s.endsWithLineEnd ? 0 : 1);
}

}  // namespace

Lines InterpretText(const std::uint8_t* data, std::uint32_t length, TextUnit unit) {
  Lines lines;
  const TextStatistics s = CountText(data, length, unit);
  if (unit == TextUnit::Byte) {
    // A code page of two bytes a character makes bytes and characters differ:
    // only the bytes are certain without knowing it.
    AddField(lines, "Bytes before the terminator", Decimal(s.units));
  } else {
    // A surrogate pair is one character in two UTF-16 units.
    AddField(lines, "Characters before the terminator",
             Decimal(s.units - s.surrogatePairs) + " (" + Decimal(s.units) + " UTF-16 units)");
  }
  if (s.terminated) {
    AddField(lines, "Terminator", "at byte " + Decimal(s.terminatorOffset));
    const std::uint32_t after = length - s.terminatorOffset - (unit == TextUnit::Byte ? 1 : 2);
    AddField(lines, "Bytes after the terminator", Decimal(after));
  } else {
    AddProblem(lines, "no terminator in the data (" + Bytes(length) + ")");
  }
  if (unit == TextUnit::Utf16 && length % 2 != 0 && !s.terminated) {
    AddProblem(lines, "half a UTF-16 unit at byte " + Decimal(length - 1));
  }
  AddField(lines, "Lines", Decimal(LineCount(s)));
  AddField(lines, "Line endings", LineEndingsText(s));
  AddField(lines, unit == TextUnit::Byte ? "Bytes outside ASCII" : "Characters outside ASCII",
           Decimal(s.outsideAscii - s.surrogatePairs));
  if (s.unpairedSurrogates != 0) {
    AddProblem(lines, Decimal(s.unpairedSurrogates) + " unpaired surrogate" +
                          (s.unpairedSurrogates == 1 ? "" : "s") + ", the first at byte " +
                          Decimal(s.firstUnpairedOffset));
  }
  return lines;
}
