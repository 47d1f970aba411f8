#include "encoding/textdecode.h"

#include "encoding/eucjp.h"
#include "encoding/unicode.h"

TextDecoder TextDecoderOf(std::uint16_t codePage) {
  for (std::size_t d = 1; d < sizeof(kCodePageOfDecoder) / sizeof(kCodePageOfDecoder[0]); ++d) {
    if (kCodePageOfDecoder[d] == codePage) return static_cast<TextDecoder>(d);
  }
  return TextDecoder::PlainBytes;
}

namespace {

DecodedChar DecodeOne(const std::uint8_t* p, std::size_t left, TextDecoder decoder, const Cp932Table& cp932) {
  switch (decoder) {
    case TextDecoder::ShiftJis:
      return DecodeCp932(p, left, cp932);
    case TextDecoder::EucJp:
      return DecodeEucJp(p, left, cp932);
    case TextDecoder::Utf16Le:
      return DecodeUtf16Le(p, left);
    case TextDecoder::Utf8:
      return DecodeStrictUtf8(p, left);
    case TextDecoder::PlainBytes:
    default:
      return DecodedChar{1, 1, {p[0], 0}};
  }
}

}  // namespace

std::size_t DecodeText(const std::uint8_t* bytes, std::uint32_t count, std::uint32_t firstIndex,
                       std::uint16_t codePage, const Cp932Table& cp932, char16_t* out) {
  const TextDecoder decoder = TextDecoderOf(codePage);
  char16_t* at = out;
  std::size_t i = 0;
  if (decoder == TextDecoder::Utf16Le && count != 0 && firstIndex % 2 != 0) {
    *at++ = kReplacementChar;  // the second half of a unit that began before the selection
    i = 1;
  }
  while (i < count) {
    const DecodedChar decoded = DecodeOne(bytes + i, count - i, decoder, cp932);
    for (std::uint32_t u = 0; u < decoded.unitCount; ++u) *at++ = decoded.units[u];
    i += decoded.byteCount;
  }
  return static_cast<std::size_t>(at - out);
}
