#include "encoding/textdecode.h"

#include "encoding/eucjp.h"
#include "encoding/unicode.h"

namespace {

DecodedChar DecodeOne(const std::uint8_t* p, std::size_t left, std::uint16_t codePage,
                      const Cp932Table& cp932) {
  switch (codePage) {
    case 932:
      return DecodeCp932(p, left, cp932);
    case 51932:
      return DecodeEucJp(p, left, cp932);
    case 1200:
      return DecodeUtf16Le(p, left);
    case 65001:
      return DecodeStrictUtf8(p, left);
    default:
      return DecodedChar{1, 1, {p[0], 0}};
  }
}

}  // namespace

std::size_t DecodeText(const std::uint8_t* bytes, std::uint32_t count, std::uint32_t firstIndex,
                       std::uint16_t codePage, const Cp932Table& cp932, char16_t* out) {
  char16_t* at = out;
  std::size_t i = 0;
  if (codePage == 1200 && count != 0 && firstIndex % 2 != 0) {
    *at++ = kReplacementChar;  // the second half of a unit that began before the selection
    i = 1;
  }
  while (i < count) {
    const DecodedChar decoded = DecodeOne(bytes + i, count - i, codePage, cp932);
    for (std::uint32_t u = 0; u < decoded.unitCount; ++u) *at++ = decoded.units[u];
    i += decoded.byteCount;
  }
  return static_cast<std::size_t>(at - out);
}
