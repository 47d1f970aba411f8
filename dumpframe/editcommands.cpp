#include "dumpframe/editcommands.h"

#include "app/resource.h"
#include "app/virtualkeys.h"

namespace {

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

}  // namespace

std::uint32_t EditCommandOfKey(std::uint32_t virtualKey, bool ctrl, bool shift, bool alt) {
  if (alt) return 0;
  if (virtualKey == KeyF3 && !ctrl) return shift ? ID_EDIT_FIND_PREVIOUS : ID_EDIT_FIND_NEXT;
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
    case 'E':
      return shift ? 0 : ID_VIEW_WHOLE_DATA;
    case 'D':
      return shift ? 0 : ID_VIEW_DETAILS;
    default:
      return 0;
  }
}

bool PaneKeepsShortcut(std::uint32_t command) {
  return command == ID_EDIT_COPY || command == ID_EDIT_SELECT_ALL;
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

SearchRange SearchRangeOf(bool backward, std::uint32_t caret, bool hasSelection, std::uint32_t selFirst,
                          std::uint32_t selLast, std::uint32_t dataLength) {
  if (!backward) {
    const std::uint64_t from = hasSelection ? selLast + 1ull : caret;
    if (from >= dataLength) return SearchRange{true, 0, 0, 0};
    return SearchRange{false, static_cast<std::uint32_t>(from), dataLength, 0};
  }
  const std::uint32_t before = hasSelection ? selFirst : caret;
  if (before == 0 || dataLength == 0) return SearchRange{true, 0, 0, 0};
  return SearchRange{false, 0, 0, before - 1};
}

std::uint32_t RequestEnd(const SearchRange& range, bool backward) {
  return backward ? range.lastInclusive : range.endExclusive;
}
