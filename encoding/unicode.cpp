#include "encoding/unicode.h"

void AppendUtf16Le(const char16_t* text, std::size_t count, std::vector<std::uint8_t>& bytes) {
  bytes.reserve(bytes.size() + 2 * count);
  for (std::size_t i = 0; i < count; ++i) {
    bytes.push_back(static_cast<std::uint8_t>(text[i] & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>(text[i] >> 8));
  }
}

bool Utf16ToUtf8(const char16_t* text, std::size_t count, std::vector<std::uint8_t>& utf8) {
  for (std::size_t i = 0; i < count; ++i) {
    std::uint32_t v = text[i];
    if (IsHighSurrogate(text[i])) {
      if (i + 1 == count || !IsLowSurrogate(text[i + 1])) return false;
      v = 0x10000 + ((v - 0xD800) << 10) + (static_cast<std::uint32_t>(text[++i]) - 0xDC00);
    } else if (IsLowSurrogate(text[i])) {
      return false;
    }
    if (v < 0x80) {
      utf8.push_back(static_cast<std::uint8_t>(v));
    } else if (v < 0x800) {
      utf8.push_back(static_cast<std::uint8_t>(0xC0 | v >> 6));
      utf8.push_back(static_cast<std::uint8_t>(0x80 | (v & 0x3F)));
    } else if (v < 0x10000) {
      utf8.push_back(static_cast<std::uint8_t>(0xE0 | v >> 12));
      utf8.push_back(static_cast<std::uint8_t>(0x80 | (v >> 6 & 0x3F)));
      utf8.push_back(static_cast<std::uint8_t>(0x80 | (v & 0x3F)));
    } else {
      utf8.push_back(static_cast<std::uint8_t>(0xF0 | v >> 18));
      utf8.push_back(static_cast<std::uint8_t>(0x80 | (v >> 12 & 0x3F)));
      utf8.push_back(static_cast<std::uint8_t>(0x80 | (v >> 6 & 0x3F)));
      utf8.push_back(static_cast<std::uint8_t>(0x80 | (v & 0x3F)));
    }
  }
  return true;
}

namespace {

DecodedChar One(std::size_t byteCount, char16_t unit) { return DecodedChar{byteCount, 1, {unit, 0}}; }

}  // namespace

DecodedChar DecodeStrictUtf8(const std::uint8_t* p, std::size_t left) {
  const std::uint8_t b = p[0];
  if (b < 0x80) return One(1, b);
  std::size_t length = 0;
  std::uint32_t value = 0;
  std::uint8_t secondLow = 0x80;
  std::uint8_t secondHigh = 0xBF;
  if (b >= 0xC2 && b <= 0xDF) {
    length = 2;
    value = b & 0x1Fu;
  } else if (b >= 0xE0 && b <= 0xEF) {
    length = 3;
    value = b & 0x0Fu;
    if (b == 0xE0) secondLow = 0xA0;   // no overlong forms
    if (b == 0xED) secondHigh = 0x9F;  // no surrogates
  } else if (b >= 0xF0 && b <= 0xF4) {
    length = 4;
    value = b & 0x07u;
    if (b == 0xF0) secondLow = 0x90;
    if (b == 0xF4) secondHigh = 0x8F;  // nothing above U+10FFFF
  } else {
    return One(1, kReplacementChar);
  }
  std::size_t taken = 1;
  for (; taken < length && taken < left; ++taken) {
    const std::uint8_t c = p[taken];
    const bool fits = taken == 1 ? (c >= secondLow && c <= secondHigh) : IsUtf8Continuation(c);
    if (!fits) break;
    value = (value << 6) | (c & 0x3Fu);
  }
  if (taken < length) return One(taken, kReplacementChar);
  if (!IsSupplementary(value)) return One(length, static_cast<char16_t>(value));
  DecodedChar decoded{length, 2, {}};
  WriteSurrogatePair(value, decoded.units);
  return decoded;
}

DecodedChar DecodeUtf16Le(const std::uint8_t* p, std::size_t left) {
  if (left < 2) return One(1, kReplacementChar);
  const char16_t unit = Utf16LeUnit(p);
  if (IsHighSurrogate(unit) && left >= 4) {
    const char16_t low = Utf16LeUnit(p + 2);
    if (IsLowSurrogate(low)) return DecodedChar{4, 2, {unit, low}};
  }
  return One(2, IsHighSurrogate(unit) || IsLowSurrogate(unit) ? kReplacementChar : unit);
}

std::uint32_t ColumnUtf8Units(std::uint32_t v, std::uint32_t n, char16_t units[2]) {
  if (n <= 3) {
    units[0] = static_cast<char16_t>(v);
    return 1;
  }
  if (n == 4 && IsSupplementary(v)) {
    WriteSurrogatePair(v, units);
    return 2;
  }
  units[0] = static_cast<char16_t>(v >> 16);
  units[1] = static_cast<char16_t>(v & 0xFFFF);
  return 2;
}

std::uint32_t ValidUtf8Length(const std::uint8_t* bytes, std::uint32_t count) {
  std::uint32_t i = 0;
  while (i < count) {
    const DecodedChar c = DecodeStrictUtf8(bytes + i, count - i);
    if (IsIllFormedUtf8(bytes + i, c)) break;
    i += static_cast<std::uint32_t>(c.byteCount);
  }
  return i;
}
