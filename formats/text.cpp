#include "formats/text.h"

#include <algorithm>
#include <cstring>

#include "encoding/unicode.h"

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

BlockCounts CountBytes(const std::uint8_t* p, std::uint32_t n) {
  BlockCounts c;
  for (std::uint32_t i = 0; i < n; ++i) {
    c.cr += p[i] == kCr;
    c.lf += p[i] == kLf;
    c.outsideAscii += p[i] >= 0x80;
  }
  for (std::uint32_t i = 0; i + 1 < n; ++i) c.crlf += (p[i] == kCr) & (p[i + 1] == kLf);
  return c;
}

std::uint16_t UnitAt(const std::uint8_t* p, std::uint32_t i) {
  return Utf16LeUnit(p + 2 * static_cast<std::size_t>(i));
}

bool IsSurrogate(std::uint16_t u) { return IsHighSurrogate(u) || IsLowSurrogate(u); }

BlockCounts CountUnits(const std::uint8_t* p, std::uint32_t units) {
  BlockCounts c;
  for (std::uint32_t i = 0; i < units; ++i) {
    const std::uint16_t u = UnitAt(p, i);
    c.cr += u == kCr;
    c.lf += u == kLf;
    c.outsideAscii += u >= 0x80;
    c.surrogates += IsSurrogate(u);
  }
  for (std::uint32_t i = 0; i + 1 < units; ++i) c.crlf += (UnitAt(p, i) == kCr) & (UnitAt(p, i + 1) == kLf);
  return c;
}

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
