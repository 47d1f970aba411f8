// Code page 932 (Shift_JIS with the system's extensions): its lead and trail
// bytes as the system defines them, the text column's more lenient lead
// bytes, and the table through which copied text is decoded.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "encoding/unicode.h"

// The lead and trail bytes of the system's code page 932.
constexpr bool IsCp932LeadByte(std::uint8_t b) {
  return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}
constexpr bool IsCp932TrailByte(std::uint8_t b) { return b >= 0x40 && b <= 0xFC && b != 0x7F; }

// The text column's Shift_JIS lead bytes: the system's and 0xFD and 0xFE as
// well, because the column always has paired them with the next byte and lets
// the conversion show the replacement for what it does not define.
constexpr bool IsColumnShiftJisLeadByte(std::uint8_t b) {
  return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFE);
}

// Half-width katakana, a single byte in Shift_JIS (U+FF61 to U+FF9F).
constexpr bool IsHalfWidthKatakana(std::uint8_t b) { return b >= 0xA1 && b <= 0xDF; }

// Code page 932 as the platform converts it: the UTF-16 unit of each single
// byte and of each lead/trail pair (indexed lead * 256 + trail), U+FFFD for
// those that are no character.
struct Cp932Table {
  char16_t single[256];
  char16_t pair[65536];
};

// The other way, for the text search: the bytes of each UTF-16 unit, a single
// byte or lead * 256 + trail, or kNoCp932Form. Where several forms convert to
// one unit, the lowest is taken, except that the NEC-selected IBM extensions
// (lead bytes 0xED and 0xEE) yield to the IBM extensions, as the system's own
// conversion of text does.
constexpr std::uint16_t kNoCp932Form = 0xFFFF;
struct Cp932Forms {
  std::uint16_t form[65536];
};
void FillCp932Forms(const Cp932Table& table, Cp932Forms& forms);
// Appends the forms of count units; false at a unit that has none.
bool EncodeCp932(const Cp932Forms& forms, const char16_t* text, std::size_t count,
                 std::vector<std::uint8_t>& bytes);

// Fills the table through convert(bytes, count), which answers the one code
// unit that one byte or one pair converts to, or U+FFFD. Only the system's
// single bytes and lead/trail pairs are asked for; the rest stay U+FFFD.
template <typename Convert>
void FillCp932Table(Cp932Table& table, Convert convert) {
  for (unsigned lead = 0; lead < 256; ++lead) {
    const auto byte = static_cast<std::uint8_t>(lead);
    const bool isLead = IsCp932LeadByte(byte);
    table.single[lead] = isLead ? kReplacementChar : convert(&byte, std::size_t{1});
    for (unsigned trail = 0; trail < 256; ++trail) {
      const std::uint8_t pair[2] = {byte, static_cast<std::uint8_t>(trail)};
      const bool isPair = isLead && IsCp932TrailByte(pair[1]);
      table.pair[lead * 256 + trail] = isPair ? convert(pair, std::size_t{2}) : kReplacementChar;
    }
  }
}

// One character of code page 932 from the front of the bytes (left >= 1):
// a lead byte without a trail byte after it, or followed by a byte that can't
// be a trail, is one U+FFFD and the next byte is decoded afresh.
DecodedChar DecodeCp932(const std::uint8_t* p, std::size_t left, const Cp932Table& table);
