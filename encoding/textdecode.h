// The text column's encodings by code page, and Copy as Text: bytes decoded
// as the text column's code page reads them, but strictly (invalid or
// incomplete sequences give U+FFFD).
#pragma once

#include <cstddef>
#include <cstdint>

#include "encoding/codepage932.h"

// What decodes the text column for a code page, in the order of the View >
// Encoding menu. Every code page that is not one of the four multi-byte
// encodings shows one character per byte.
enum class TextDecoder : std::uint8_t { PlainBytes, ShiftJis, EucJp, Utf16Le, Utf8 };
inline constexpr std::uint16_t kCodePageOfDecoder[] = {1252, 932, 51932, 1200, 65001};
constexpr std::uint16_t CodePageOf(TextDecoder decoder) {
  return kCodePageOfDecoder[static_cast<std::uint8_t>(decoder)];
}
TextDecoder TextDecoderOf(std::uint16_t codePage);

// Decodes count bytes, which lie at byte index firstIndex of the data, as the
// text column's code page does (any code page other than 932, 51932, 1200 and
// 65001 gives each byte as the code unit of the same value). Invalid or
// incomplete sequences give U+FFFD; nothing outside the count bytes is read.
// UTF-16 code units start at even indexes of the data, so an odd firstIndex
// begins with half a unit. out must hold count code units (no decoding gives
// more); returns how many were written, without a terminator.
std::size_t DecodeText(const std::uint8_t* bytes, std::uint32_t count, std::uint32_t firstIndex,
                       std::uint16_t codePage, const Cp932Table& cp932, char16_t* out);
