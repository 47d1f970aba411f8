// UTF-16 and UTF-8 as Kelvane reads and writes them: surrogates, UTF-16
// little-endian code units, the strict UTF-8 decoding of copied text and the
// text column's own reading of UTF-8.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// What a decoder gives for bytes that are no character.
constexpr char16_t kReplacementChar = 0xFFFD;

constexpr bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
constexpr bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }
// Whether a code point lies in the supplementary planes, which UTF-16 writes
// as a surrogate pair.
constexpr bool IsSupplementary(std::uint32_t codePoint) {
  return codePoint >= 0x10000 && codePoint <= 0x10FFFF;
}
// The surrogate pair of a supplementary code point, high surrogate first.
inline void WriteSurrogatePair(std::uint32_t codePoint, char16_t units[2]) {
  units[0] = static_cast<char16_t>(0xD800 + ((codePoint - 0x10000) >> 10));
  units[1] = static_cast<char16_t>(0xDC00 + (codePoint & 0x3FF));
}

// The UTF-16 little-endian code unit of the two bytes at p.
constexpr char16_t Utf16LeUnit(const std::uint8_t* p) { return static_cast<char16_t>(p[0] | (p[1] << 8)); }

// Appends count UTF-16 code units as little-endian bytes.
void AppendUtf16Le(const char16_t* text, std::size_t count, std::vector<std::uint8_t>& bytes);

// Appends the UTF-8 form of count UTF-16 code units; false at an unpaired
// surrogate.
bool Utf16ToUtf8(const char16_t* text, std::size_t count, std::vector<std::uint8_t>& utf8);

// One character decoded from the front of some bytes: how many bytes it took
// (at least one) and its one or two UTF-16 code units.
struct DecodedChar {
  std::size_t byteCount;
  std::uint32_t unitCount;
  char16_t units[2];
};

// Strict UTF-8, as copied text is decoded: overlong forms, surrogate values
// and values past U+10FFFF are ill-formed. An ill-formed sequence gives one
// U+FFFD for its longest valid beginning, and decoding resumes at the byte
// that broke it. Reads no further than left bytes (left >= 1).
DecodedChar DecodeStrictUtf8(const std::uint8_t* p, std::size_t left);

// Whether a decoded U+FFFD stands for ill-formed bytes at p rather than for
// the character itself, written as EF BF BD.
constexpr bool IsIllFormedUtf8(const std::uint8_t* p, const DecodedChar& c) {
  return c.unitCount == 1 && c.units[0] == kReplacementChar &&
         !(c.byteCount == 3 && p[0] == 0xEF && p[1] == 0xBF && p[2] == 0xBD);
}

// How many of the first bytes form whole, valid UTF-8 characters.
std::uint32_t ValidUtf8Length(const std::uint8_t* bytes, std::uint32_t count);

// UTF-16 little-endian from the front of the bytes: half a code unit, and a
// surrogate without its partner, give U+FFFD. Reads no further than left
// bytes (left >= 1).
DecodedChar DecodeUtf16Le(const std::uint8_t* p, std::size_t left);

// The text column's reading of UTF-8, more lenient than the strict decoder
// because the column shows what every lead byte computes (the old five- and
// six-byte forms, overlong forms, surrogate values and values past Unicode
// included) rather than judging it.
//
// The lead byte of a column sequence: its length and the value bits it
// carries; length 0 for a byte that begins no sequence of two or more bytes.
struct ColumnUtf8Lead {
  std::uint32_t length;
  std::uint32_t bits;
};
constexpr ColumnUtf8Lead ColumnUtf8LeadOf(std::uint8_t b) {
  if (b >= 0xC2 && b <= 0xDF) return {2, b & 0x1Fu};
  if (b >= 0xE0 && b <= 0xEF) return {3, b & 0x0Fu};
  if (b >= 0xF0 && b <= 0xF7) return {4, b & 0x07u};
  if (b >= 0xF8 && b <= 0xFB) return {5, b & 0x03u};
  if (b >= 0xFC && b <= 0xFD) return {6, b & 0x01u};
  return {0, 0};
}
constexpr bool IsUtf8Continuation(std::uint8_t b) { return (b & 0xC0) == 0x80; }
// The code units that show the value v of an n-byte column sequence: one for
// two and three bytes; a surrogate pair for a supplementary value of four
// bytes; otherwise the high and the low 16 bits of v. Answers their count.
std::uint32_t ColumnUtf8Units(std::uint32_t v, std::uint32_t n, char16_t units[2]);
