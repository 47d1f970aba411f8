#include "dumpview/eucjp.h"

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
    const bool lead = (s1 >= 0x81 && s1 <= 0x9F) || (s1 >= 0xE0 && s1 <= 0xFE);
    if (!lead || s2 == 0) {
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
