#include "encoding/codepage932.h"

DecodedChar DecodeCp932(const std::uint8_t* p, std::size_t left, const Cp932Table& table) {
  const std::uint8_t b = p[0];
  if (!IsCp932LeadByte(b)) return DecodedChar{1, 1, {table.single[b], 0}};
  if (left < 2 || !IsCp932TrailByte(p[1])) return DecodedChar{1, 1, {kReplacementChar, 0}};
  return DecodedChar{2, 1, {table.pair[b * 256u + p[1]], 0}};
}
