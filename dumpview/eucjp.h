// The JIS X 0208 row and cell arithmetic between Shift_JIS and EUC-JP, as the
// text column decodes EUC-JP and as the search encodes a text for it. Any
// parent that decodes the way the column does uses the same arithmetic.
#pragma once

#include <cstddef>
#include <cstdint>

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
// Pairs with a lead byte of 0x81-0x9F or 0xE0-0xFE and a non-zero byte after
// it are moved by the row and cell arithmetic (82 A0 becomes A4 A2); every
// other byte, half-width katakana included, is copied as it is. Answers the
// number of bytes written before the terminator.
std::size_t ShiftJisToEucJp(const std::uint8_t* sjis, std::uint8_t* euc);
