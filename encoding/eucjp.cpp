#include "encoding/eucjp.h"

ShiftJisPair ShiftJisPairOfEucJp(std::uint8_t lead, std::uint8_t trail) {
  const std::uint8_t row = static_cast<std::uint8_t>(lead - 0x80);
  const std::uint8_t cell = static_cast<std::uint8_t>(trail - 0x80);
  std::uint8_t s1 = static_cast<std::uint8_t>((row + 1) / 2 + 0x70);
  if (s1 >= 0xA0) s1 = static_cast<std::uint8_t>(s1 + 0x40);
  std::uint8_t s2 = static_cast<std::uint8_t>(cell + ((row & 1) != 0 ? 0x1F : 0x7D));
  if (s2 >= 0x7F) s2 = static_cast<std::uint8_t>(s2 + 1);
  return {s1, s2};
}

std::size_t ShiftJisToEucJp(const std::uint8_t* sjis, std::uint8_t* euc) {
  std::size_t in = 0, out = 0;
  while (sjis[in] != 0) {
    std::uint8_t s1 = sjis[in];
    std::uint8_t s2 = sjis[in + 1];
    if (!IsColumnShiftJisLeadByte(s1) || s2 == 0) {
      euc[out++] = s1;
      ++in;
      continue;
    }
    // JIS row 2(s1 - 0x70) - 1 or 2(s1 - 0x70), cell s2 - 0x1F or s2 - 0x7D
    // (past the gap at 0x7F), each plus 0x80; all in 8-bit arithmetic.
    if (s1 >= 0xE0) s1 = static_cast<std::uint8_t>(s1 - 0x40);
    if (s2 >= 0x80) s2 = static_cast<std::uint8_t>(s2 - 1);
    if (s2 >= 0x9E) {
      euc[out++] = static_cast<std::uint8_t>(2 * s1 + 0xA0);
      euc[out++] = static_cast<std::uint8_t>(s2 + 0x03);
    } else {
      euc[out++] = static_cast<std::uint8_t>(2 * s1 + 0x9F);
      euc[out++] = static_cast<std::uint8_t>(s2 + 0x61);
    }
    in += 2;
  }
  euc[out] = 0;
  return out;
}

bool FitsEucJpColumn(const std::vector<std::uint8_t>& sjis) {
  for (std::size_t i = 0; i < sjis.size(); ++i) {
    const std::uint8_t b = sjis[i];
    if (b <= 0x80 || b == 0xA0) continue;
    if (!IsEucJpExpressibleLead(b) || i + 1 == sjis.size() || sjis[i + 1] == 0) return false;
    ++i;
  }
  return true;
}

DecodedChar DecodeEucJp(const std::uint8_t* p, std::size_t left, const Cp932Table& table) {
  const std::uint8_t b = p[0];
  if (b < 0x80) return DecodedChar{1, 1, {b, 0}};
  if (IsEucJpByte(b) && left >= 2 && IsEucJpByte(p[1])) {
    const ShiftJisPair sjis = ShiftJisPairOfEucJp(b, p[1]);
    return DecodedChar{2, 1, {table.pair[sjis.lead * 256u + sjis.trail], 0}};
  }
  if (b == 0x8E && left >= 2 && IsHalfWidthKatakana(p[1])) {
    return DecodedChar{2, 1, {static_cast<char16_t>(0xFF61 + (p[1] - 0xA1)), 0}};
  }
  if (b == 0x8F && left >= 3 && IsEucJpByte(p[1]) && IsEucJpByte(p[2])) {
    return DecodedChar{3, 1, {kReplacementChar, 0}};
  }
  return DecodedChar{1, 1, {kReplacementChar, 0}};
}
