// EUC-JP through the JIS X 0208 row and cell arithmetic that maps it onto
// Shift_JIS, as the text column decodes it, as the search encodes a text for
// it and as copied text is decoded.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "encoding/codepage932.h"

// A byte of an EUC-JP two-byte code (JIS X 0208 rows and cells 0xA1-0xFE);
// the column takes any such byte as a lead, whatever follows it.
constexpr bool IsEucJpByte(std::uint8_t b) { return b >= 0xA1 && b <= 0xFE; }

// The Shift_JIS lead bytes that the row arithmetic reaches from the EUC-JP
// rows: 0xF0 and up (user-defined characters and the system's extensions)
// would wrap onto other bytes, so EUC-JP can't express them.
constexpr bool IsEucJpExpressibleLead(std::uint8_t b) {
  return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xEF);
}

// The Shift_JIS pair of the EUC-JP two-byte code lead, trail, in 8-bit values
// that wrap: any trail byte gives some pair, which code page 932 then may or
// may not define.
struct ShiftJisPair {
  std::uint8_t lead;
  std::uint8_t trail;
};
ShiftJisPair ShiftJisPairOfEucJp(std::uint8_t lead, std::uint8_t trail);

// Rewrites a zero-terminated Shift_JIS string as EUC-JP, zero-terminated,
// into euc (room for as many bytes as sjis holds, terminator included).
// Pairs with a column lead byte (IsColumnShiftJisLeadByte) and a non-zero
// byte after it are moved by the row and cell arithmetic (82 A0 becomes
// A4 A2); every other byte, half-width katakana included, is copied as it
// is. Answers the number of bytes written before the terminator.
std::size_t ShiftJisToEucJp(const std::uint8_t* sjis, std::uint8_t* euc);

// Whether the EUC-JP column (which pairs every byte 0xA1-0xFE with the next
// and maps the pair back to Shift_JIS by rows) shows this Shift_JIS text as
// the same characters: single bytes up to 0x80 and 0xA0, and pairs whose
// lead EUC-JP can express. Half-width katakana has no such form.
bool FitsEucJpColumn(const std::vector<std::uint8_t>& sjis);

// One character of EUC-JP from the front of the bytes (left >= 1), through
// the code page 932 table: two-byte codes, half-width katakana after 0x8E,
// and JIS X 0212 after 0x8F as one U+FFFD (code page 932 does not hold it);
// anything else is one U+FFFD for one byte.
DecodedChar DecodeEucJp(const std::uint8_t* p, std::size_t left, const Cp932Table& table);
