#include "dumpframe/editcommands.h"

#include "app/resource.h"
#include "dumpview/eucjp.h"

namespace {

constexpr std::uint32_t kVirtualKeyF3 = 0x72;  // VK_F3; letters are their upper-case ASCII codes

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// Digits of one base into a value that stops growing at kOffsetBeyondAnyData.
ParsedOffset ParseDigits(std::string_view digits, unsigned base) {
  ParsedOffset parsed;
  if (digits.empty()) return parsed;
  std::uint64_t value = 0;
  for (char c : digits) {
    const int digit = HexDigitValue(c);
    if (digit < 0 || static_cast<unsigned>(digit) >= base) return parsed;
    value = value * base + static_cast<unsigned>(digit);
    if (value > kOffsetBeyondAnyData) value = kOffsetBeyondAnyData;
  }
  parsed.ok = true;
  parsed.value = value;
  return parsed;
}

// ------------------------------------------------------------- decoders
// Each decoder reads bytes[i ..] below end only and answers the number of
// bytes it consumed, writing one or two code units to *out.

struct Output {
  char16_t* at;
  void Put(char16_t unit) { *at++ = unit; }
};

std::size_t DecodeShiftJis(const std::uint8_t* p, std::size_t left, const Cp932Table& table, Output& out) {
  const std::uint8_t b = p[0];
  if (!IsCp932LeadByte(b)) {
    out.Put(table.single[b]);
    return 1;
  }
  // A lead byte without a trail byte after it in the selection, or followed
  // by a byte that can't be a trail, is no character; the next byte is
  // decoded afresh.
  if (left < 2 || !IsCp932TrailByte(p[1])) {
    out.Put(kReplacementChar);
    return 1;
  }
  out.Put(table.pair[b * 256u + p[1]]);
  return 2;
}

bool IsEucJpByte(std::uint8_t b) { return b >= 0xA1 && b <= 0xFE; }

std::size_t DecodeEucJp(const std::uint8_t* p, std::size_t left, const Cp932Table& table, Output& out) {
  const std::uint8_t b = p[0];
  if (b < 0x80) {
    out.Put(b);
    return 1;
  }
  if (IsEucJpByte(b) && left >= 2 && IsEucJpByte(p[1])) {
    const ShiftJisPair sjis = ShiftJisPairOfEucJp(b, p[1]);
    out.Put(table.pair[sjis.lead * 256u + sjis.trail]);
    return 2;
  }
  if (b == 0x8E && left >= 2 && p[1] >= 0xA1 && p[1] <= 0xDF) {  // half-width katakana
    out.Put(static_cast<char16_t>(0xFF61 + (p[1] - 0xA1)));
    return 2;
  }
  if (b == 0x8F && left >= 3 && IsEucJpByte(p[1]) && IsEucJpByte(p[2])) {
    // JIS X 0212, which code page 932 does not hold: one unknown character.
    out.Put(kReplacementChar);
    return 3;
  }
  out.Put(kReplacementChar);
  return 1;
}

bool IsContinuation(std::uint8_t b) { return (b & 0xC0) == 0x80; }

// Strict UTF-8: an ill-formed sequence gives one U+FFFD for its longest
// valid beginning, and decoding resumes at the byte that broke it.
std::size_t DecodeUtf8(const std::uint8_t* p, std::size_t left, Output& out) {
  const std::uint8_t b = p[0];
  if (b < 0x80) {
    out.Put(b);
    return 1;
  }
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
    out.Put(kReplacementChar);
    return 1;
  }
  std::size_t taken = 1;
  for (; taken < length; ++taken) {
    if (taken >= left) break;
    const std::uint8_t c = p[taken];
    const bool fits = taken == 1 ? (c >= secondLow && c <= secondHigh) : IsContinuation(c);
    if (!fits) break;
    value = (value << 6) | (c & 0x3Fu);
  }
  if (taken < length) {
    out.Put(kReplacementChar);
    return taken;
  }
  if (value >= 0x10000) {
    value -= 0x10000;
    out.Put(static_cast<char16_t>(0xD800 + (value >> 10)));
    out.Put(static_cast<char16_t>(0xDC00 + (value & 0x3FF)));
  } else {
    out.Put(static_cast<char16_t>(value));
  }
  return length;
}

bool IsHighSurrogate(char16_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool IsLowSurrogate(char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

// UTF-16 little-endian from an even byte index: half a code unit at either
// end, and a surrogate without its partner, give U+FFFD.
std::size_t DecodeUtf16(const std::uint8_t* p, std::size_t left, Output& out) {
  if (left < 2) {
    out.Put(kReplacementChar);
    return 1;
  }
  const auto unit = static_cast<char16_t>(p[0] | (p[1] << 8));
  if (IsHighSurrogate(unit) && left >= 4) {
    const auto low = static_cast<char16_t>(p[2] | (p[3] << 8));
    if (IsLowSurrogate(low)) {
      out.Put(unit);
      out.Put(low);
      return 4;
    }
  }
  out.Put(IsHighSurrogate(unit) || IsLowSurrogate(unit) ? kReplacementChar : unit);
  return 2;
}

}  // namespace

std::uint32_t EditCommandOfKey(std::uint32_t virtualKey, bool ctrl, bool shift, bool alt) {
  if (alt) return 0;
  if (virtualKey == kVirtualKeyF3 && !ctrl) return shift ? ID_EDIT_FIND_PREVIOUS : ID_EDIT_FIND_NEXT;
  if (!ctrl) return 0;
  switch (virtualKey) {
    case 'C':
      return shift ? ID_EDIT_COPY_TEXT : ID_EDIT_COPY;
    case 'A':
      return shift ? 0 : ID_EDIT_SELECT_ALL;
    case 'F':
      return shift ? 0 : ID_EDIT_FIND;
    case 'G':
      return shift ? 0 : ID_EDIT_GOTO;
    case 'D':
      return shift ? 0 : ID_VIEW_DETAILS;
    default:
      return 0;
  }
}

HexBytes ParseHexBytes(std::string_view text) {
  HexBytes parsed;
  std::size_t i = 0;
  while (i < text.size()) {
    if (IsBlank(text[i])) {
      ++i;
      continue;
    }
    // One group of digits up to the next blank: its digits pair up in order.
    std::size_t groupEnd = i;
    while (groupEnd < text.size() && !IsBlank(text[groupEnd])) ++groupEnd;
    for (std::size_t k = i; k < groupEnd; ++k) {
      if (HexDigitValue(text[k]) < 0) return HexBytes{HexError::NotHexDigit, {}};
    }
    if ((groupEnd - i) % 2 != 0) return HexBytes{HexError::OddDigits, {}};
    for (std::size_t k = i; k < groupEnd; k += 2) {
      parsed.bytes.push_back(
          static_cast<std::uint8_t>(HexDigitValue(text[k]) * 16 + HexDigitValue(text[k + 1])));
    }
    i = groupEnd;
  }
  if (parsed.bytes.empty()) parsed.error = HexError::Empty;
  return parsed;
}

const char* HexErrorText(HexError error) {
  switch (error) {
    case HexError::Empty:
      return "Type the bytes to find, e.g. 4B 65 6C.";
    case HexError::NotHexDigit:
      return "Not hexadecimal: use only 0-9, A-F and spaces.";
    case HexError::OddDigits:
      return "Each byte needs two hex digits, e.g. 0A.";
    case HexError::None:
    default:
      return nullptr;
  }
}

ParsedOffset ParseOffset(std::string_view text) {
  text = Trimmed(text);
  if (!text.empty() && text.front() == '#') return ParseDigits(Trimmed(text.substr(1)), 10);
  if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    return ParseDigits(text.substr(2), 16);
  }
  return ParseDigits(text, 16);
}

GoToTarget GoToTargetOf(std::uint64_t offset, std::uint32_t dataLength) {
  if (offset > dataLength) return GoToTarget{dataLength, true};
  return GoToTarget{static_cast<std::uint32_t>(offset), false};
}

std::size_t HexTextSize(std::uint32_t count) {
  // Three characters a byte: two digits and a space, or the terminator
  // after the last one; an empty text is the terminator alone.
  const std::uint64_t size = count == 0 ? 1 : 3ull * count;
  if (size > static_cast<std::uint64_t>(static_cast<std::size_t>(-1))) return 0;
  return static_cast<std::size_t>(size);
}

void WriteHexText(const std::uint8_t* bytes, std::uint32_t count, char* out) {
  static const char kDigits[] = "0123456789ABCDEF";
  for (std::uint32_t i = 0; i < count; ++i) {
    if (i != 0) *out++ = ' ';
    *out++ = kDigits[bytes[i] >> 4];
    *out++ = kDigits[bytes[i] & 0x0F];
  }
  *out = '\0';
}

bool IsCp932LeadByte(std::uint8_t byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

bool IsCp932TrailByte(std::uint8_t byte) { return byte >= 0x40 && byte <= 0xFC && byte != 0x7F; }

std::size_t DecodeText(const std::uint8_t* bytes, std::uint32_t count, std::uint32_t firstIndex,
                       std::uint16_t codePage, const Cp932Table& cp932, char16_t* out) {
  Output output{out};
  std::size_t i = 0;
  if (codePage == 1200 && count != 0 && firstIndex % 2 != 0) {
    output.Put(kReplacementChar);  // the second half of a unit that began before the selection
    i = 1;
  }
  while (i < count) {
    const std::uint8_t* p = bytes + i;
    const std::size_t left = count - i;
    switch (codePage) {
      case 932:
        i += DecodeShiftJis(p, left, cp932, output);
        break;
      case 51932:
        i += DecodeEucJp(p, left, cp932, output);
        break;
      case 1200:
        i += DecodeUtf16(p, left, output);
        break;
      case 65001:
        i += DecodeUtf8(p, left, output);
        break;
      default:
        output.Put(*p);
        ++i;
        break;
    }
  }
  return static_cast<std::size_t>(output.at - out);
}

SearchRange SearchRangeOf(bool backward, std::uint32_t caret, bool hasSelection, std::uint32_t selFirst,
                          std::uint32_t selLast, std::uint32_t dataLength) {
  if (!backward) {
    const std::uint64_t from = hasSelection ? selLast + 1ull : caret;
    if (from >= dataLength) return SearchRange{true, 0, 0};
    return SearchRange{false, static_cast<std::uint32_t>(from), dataLength};
  }
  const std::uint32_t before = hasSelection ? selFirst : caret;
  if (before == 0 || dataLength == 0) return SearchRange{true, 0, 0};
  return SearchRange{false, 0, before - 1};
}
