#include "formats/text.h"

#include <algorithm>

#include "app/sse2.h"
#include "encoding/unicode.h"
#include "formats/textdecode.h"

namespace {

// The text is read once, front to back: a vector loop counts 64-byte chunks
// and checks each for a terminator (and, in UTF-16, for surrogates) before
// it counts them; a chunk that holds one is counted unit by unit instead. A
// 256 MiB text must take little more than one memchr pass.
constexpr std::uint32_t kChunkBytes = 64;

constexpr std::uint16_t kCr = 0x0D;
constexpr std::uint16_t kLf = 0x0A;

struct TextScan {
  const std::uint8_t* data;
  std::uint32_t units;  // whole units in the data
  TextUnit unit;

  std::uint16_t At(std::uint32_t i) const {
    return unit == TextUnit::Byte ? data[i] : Utf16LeUnit(data + 2 * static_cast<std::size_t>(i));
  }
  std::uint32_t Width() const { return unit == TextUnit::Byte ? 1 : 2; }
};

// The exact pairing of surrogates: a high surrogate waits for the next unit.
struct SurrogateState {
  bool pendingHigh = false;
  std::uint32_t pendingOffset = 0;
};

void NoteUnpaired(TextStatistics& s, std::uint32_t offset) {
  if (s.unpairedSurrogates++ == 0) s.firstUnpairedOffset = offset;
}

void PairSurrogate(std::uint16_t u, std::uint32_t offset, SurrogateState& state, TextStatistics& s) {
  const bool low = IsLowSurrogate(u);
  if (state.pendingHigh) {
    state.pendingHigh = false;
    if (low) {
      ++s.surrogatePairs;
      return;
    }
    NoteUnpaired(s, state.pendingOffset);
  }
  if (IsHighSurrogate(u)) {
    state.pendingHigh = true;
    state.pendingOffset = offset;
  } else if (low) {
    NoteUnpaired(s, offset);
  }
}

// Counts units [from, to) one by one; the terminator's index when one lies
// there, else to.
std::uint32_t CountUnitByUnit(const TextScan& scan, std::uint32_t from, std::uint32_t to,
                              SurrogateState& surrogates, TextStatistics& s) {
  for (std::uint32_t i = from; i < to; ++i) {
    const std::uint16_t u = scan.At(i);
    if (u == 0) return i;
    s.cr += u == kCr;
    s.lf += u == kLf;
    s.outsideAscii += u >= 0x80;
    s.crlf += u == kCr && i + 1 < scan.units && scan.At(i + 1) == kLf;
    if (scan.unit == TextUnit::Utf16) PairSurrogate(u, 2 * i, surrogates, s);
  }
  return to;
}

#if defined(KELVANE_SSE2)
// Lanes of 8 bits count 16 bytes a vector: four vectors a chunk may add 4 to
// a lane, so 63 chunks stay below its limit of 255.
struct ByteLanes {
  static constexpr std::uint32_t kUnitsPerVector = 16;
  static constexpr int kChunksPerTally = 63;
  static __m128i Equal(__m128i x, std::uint16_t value) {
    return _mm_cmpeq_epi8(x, _mm_set1_epi8(static_cast<char>(value)));
  }
  static __m128i Ascii(__m128i x) { return _mm_cmpgt_epi8(x, _mm_set1_epi8(-1)); }
  static __m128i Special(__m128i x) { return Equal(x, 0); }  // the terminator
  static __m128i Tally(__m128i lanes, __m128i mask) { return _mm_sub_epi8(lanes, mask); }
  static std::uint64_t Sum(__m128i lanes) {
    const __m128i sums = _mm_sad_epu8(lanes, _mm_setzero_si128());
    return static_cast<std::uint32_t>(_mm_cvtsi128_si32(sums)) +
           static_cast<std::uint32_t>(_mm_cvtsi128_si32(_mm_srli_si128(sums, 8)));
  }
};

// Lanes of 16 bits count 8 UTF-16 units a vector, and are added up as
// signed: 4 × 8191 chunks stay below 32767.
struct UnitLanes {
  static constexpr std::uint32_t kUnitsPerVector = 8;
  static constexpr int kChunksPerTally = 8191;
  static __m128i Equal(__m128i x, std::uint16_t value) {
    return _mm_cmpeq_epi16(x, _mm_set1_epi16(static_cast<short>(value)));
  }
  static __m128i Ascii(__m128i x) {
    return _mm_cmpeq_epi16(_mm_and_si128(x, _mm_set1_epi16(static_cast<short>(0xFF80))), _mm_setzero_si128());
  }
  // The terminator, or a surrogate: pairs are matched unit by unit.
  static __m128i Special(__m128i x) {
    const __m128i surrogate = Equal(_mm_and_si128(x, _mm_set1_epi16(static_cast<short>(0xF800))), 0xD800);
    return _mm_or_si128(Equal(x, 0), surrogate);
  }
  static __m128i Tally(__m128i lanes, __m128i mask) { return _mm_sub_epi16(lanes, mask); }
  static std::uint64_t Sum(__m128i lanes) {
    const __m128i pairs = _mm_madd_epi16(lanes, _mm_set1_epi16(1));
    const __m128i halves = _mm_add_epi32(pairs, _mm_srli_si128(pairs, 8));
    return static_cast<std::uint32_t>(_mm_cvtsi128_si32(_mm_add_epi32(halves, _mm_srli_si128(halves, 4))));
  }
};

// Counts whole chunks from unit from on, as long as none holds anything
// special and the unit after the chunk (read for CRLF) is in the data; the
// first unit it left.
template <class L>
std::uint32_t CountChunks(const TextScan& scan, std::uint32_t from, TextStatistics& s) {
  constexpr std::uint32_t kChunkUnits = 4 * L::kUnitsPerVector;
  const std::size_t width = scan.Width();
  std::uint32_t i = from;
  for (;;) {
    __m128i crs = _mm_setzero_si128();
    __m128i lfs = _mm_setzero_si128();
    __m128i asciis = _mm_setzero_si128();
    __m128i pairs = _mm_setzero_si128();
    int chunks = 0;
    for (; chunks < L::kChunksPerTally && kChunkUnits < scan.units - i; ++chunks, i += kChunkUnits) {
      const std::uint8_t* at = scan.data + i * width;
      __m128i v[4];
      for (std::size_t k = 0; k < 4; ++k)
        v[k] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at + 16 * k));
      const __m128i special = _mm_or_si128(_mm_or_si128(L::Special(v[0]), L::Special(v[1])),
                                           _mm_or_si128(L::Special(v[2]), L::Special(v[3])));
      if (_mm_movemask_epi8(special) != 0) break;
      for (std::size_t k = 0; k < 4; ++k) {
        const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at + 16 * k + width));
        const __m128i isCr = L::Equal(v[k], kCr);
        crs = L::Tally(crs, isCr);
        lfs = L::Tally(lfs, L::Equal(v[k], kLf));
        asciis = L::Tally(asciis, L::Ascii(v[k]));
        pairs = L::Tally(pairs, _mm_and_si128(isCr, L::Equal(next, kLf)));
      }
    }
    s.cr += L::Sum(crs);
    s.lf += L::Sum(lfs);
    s.crlf += L::Sum(pairs);
    s.outsideAscii += std::uint64_t{kChunkUnits} * static_cast<std::uint32_t>(chunks) - L::Sum(asciis);
    if (chunks < L::kChunksPerTally) return i;
  }
}

std::uint32_t CountPlainChunks(const TextScan& scan, std::uint32_t from, TextStatistics& s) {
  return scan.unit == TextUnit::Byte ? CountChunks<ByteLanes>(scan, from, s)
                                     : CountChunks<UnitLanes>(scan, from, s);
}
#else
std::uint32_t CountPlainChunks(const TextScan&, std::uint32_t from, TextStatistics&) { return from; }
#endif

}  // namespace

TextStatistics CountText(const std::uint8_t* data, std::uint32_t length, TextUnit unit) {
  TextStatistics s;
  const TextScan scan{data, unit == TextUnit::Byte ? length : length / 2, unit};
  const std::uint32_t chunkUnits = kChunkBytes / scan.Width();
  SurrogateState surrogates;
  std::uint32_t i = 0;
  while (i < scan.units) {
    i = CountPlainChunks(scan, i, s);
    // The chunk the vectors left: a terminator, surrogates, or the end.
    const std::uint32_t to = std::min(scan.units, i + chunkUnits);
    const std::uint32_t stop = CountUnitByUnit(scan, i, to, surrogates, s);
    if (stop < to) {
      s.terminated = true;
      s.terminatorOffset = stop * scan.Width();
      break;
    }
    i = to;
    // The vectors pass over chunks without surrogates only: a high one that
    // ends this chunk is unpaired unless a low one opens the next.
    if (surrogates.pendingHigh && i < scan.units && !IsLowSurrogate(scan.At(i))) {
      surrogates.pendingHigh = false;
      NoteUnpaired(s, surrogates.pendingOffset);
    }
  }
  if (surrogates.pendingHigh) NoteUnpaired(s, surrogates.pendingOffset);
  s.units = s.terminated ? s.terminatorOffset / scan.Width() : scan.units;
  const std::uint16_t last = s.units == 0 ? 0 : scan.At(static_cast<std::uint32_t>(s.units - 1));
  s.endsWithLineEnd = last == kCr || last == kLf;
  s.lf -= s.crlf;
  s.cr -= s.crlf;
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

namespace {

// How many of count bytes of text are shown: at most kTextShownBytes, in
// whole UTF-16 units that do not part a surrogate pair. A cut through a
// character of two bytes in a code page of two-byte characters is left to
// the conversion, which shows what it makes of a lone lead byte.
std::uint32_t ShownBytes(const std::uint8_t* bytes, std::uint32_t count, TextUnit unit) {
  if (unit == TextUnit::Byte) return std::min(count, kTextShownBytes);
  std::uint32_t shown = std::min(count, kTextShownBytes) / 2 * 2;
  if (shown < count / 2 * 2 && shown >= 2 && IsHighSurrogate(Utf16LeUnit(bytes + shown - 2))) shown -= 2;
  return shown;
}

std::string TextOf(const std::uint8_t* bytes, std::uint32_t count, TextUnit unit, FormatPort& port,
                   std::uint32_t codePage) {
  return unit == TextUnit::Utf16 ? Utf8OfUtf16Units(bytes, count / 2)
                                 : port.TextInCodePage(codePage, bytes, count);
}

}  // namespace

std::string ShownText(const std::uint8_t* bytes, std::uint32_t count, TextUnit unit, FormatPort& port,
                      std::uint32_t codePage) {
  const std::uint32_t shown = ShownBytes(bytes, count, unit);
  std::string text = WithoutControls(TextOf(bytes, shown, unit, port, codePage));
  if (shown < (unit == TextUnit::Byte ? count : count / 2 * 2)) {
    text += "\xE2\x80\xA6 (" + Bytes(count) + " in all)";  // U+2026
  }
  return text;
}

Lines InterpretText(const std::uint8_t* data, std::uint32_t length, TextUnit unit, FormatPort& port,
                    std::uint32_t codePage) {
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
  // The text as the fragment of "HTML Format" and RTF's text are shown.
  const auto textBytes = static_cast<std::uint32_t>(s.units * (unit == TextUnit::Byte ? 1 : 2));
  const std::uint32_t shown = ShownBytes(data, textBytes, unit);
  AddField(lines, "Text", Bytes(textBytes));
  if (shown != 0) AddTextBlock(lines, TextOf(data, shown, unit, port, codePage));
  if (shown < textBytes) AddText(lines, MoreItemsText(textBytes - shown, "bytes of the text"));
  return lines;
}
