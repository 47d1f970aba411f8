#include "dumpview/search.h"

#include <algorithm>

#include "dumpview/bytescan.h"
#include "dumpview/caret.h"
#include "dumpview/dumpview.h"

namespace {

constexpr SearchResult kMalformed{kNoIndex, DV_ERROR_BAD_REQUEST};
constexpr SearchResult kNotFound{kNoIndex, 0};

SearchResult Found(std::uint32_t index) { return SearchResult{index, 0}; }

void SelectMatch(DumpViewPort& port, DumpViewState& state, std::uint32_t index, std::uint32_t length) {
  if (index == kNoIndex) {
    ClearFlags(state, Selecting);
  } else {
    state.anchor = index;
    state.caret = index + length;
    SetFlags(state, Selecting);
  }
  EnsureCaretVisible(port, state);
}

std::size_t WideLength(const char16_t* text) {
  std::size_t count = 0;
  while (text[count] != 0) ++count;
  return count;
}

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// Whether the EUC-JP column (which pairs every byte 0xA1-0xFE with the next
// and maps the pair back to Shift_JIS by rows) shows this Shift_JIS text as
// the same characters. Half-width katakana and the lead bytes 0xF0 and up
// (user-defined characters and the IBM extensions) have no such form: the
// row arithmetic would wrap them onto other bytes, even onto a zero.
bool FitsEucJpColumn(const std::vector<std::uint8_t>& sjis) {
  for (std::size_t i = 0; i < sjis.size(); ++i) {
    const std::uint8_t b = sjis[i];
    if (b <= 0x80 || b == 0xA0) continue;
    const bool lead = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xEF);
    if (!lead || i + 1 == sjis.size() || sjis[i + 1] == 0) return false;
    ++i;
  }
  return true;
}

bool EucJpPattern(TextEncoder& encoder, const char16_t* text, std::size_t count,
                  std::vector<std::uint8_t>& pattern) {
  std::vector<std::uint8_t> sjis;
  if (!encoder.Encode(NarrowCodePage::ShiftJis, text, count, sjis) || !FitsEucJpColumn(sjis)) return false;
  sjis.push_back(0);
  pattern.assign(sjis.size(), 0);
  pattern.resize(ShiftJisToEucJp(sjis.data(), pattern.data()));
  return true;
}

void Utf16LittleEndian(const char16_t* text, std::size_t count, std::vector<std::uint8_t>& pattern) {
  pattern.reserve(2 * count);
  for (std::size_t i = 0; i < count; ++i) {
    pattern.push_back(static_cast<std::uint8_t>(text[i] & 0xFF));
    pattern.push_back(static_cast<std::uint8_t>(text[i] >> 8));
  }
}

}  // namespace

SearchResult FindBytesForward(const DumpViewState& state, std::uint32_t start, std::uint32_t end,
                              const std::uint8_t* pattern, std::uint32_t length) {
  if (end < start) return kMalformed;
  if (length == 0 || length > state.dataLength) return kNotFound;
  const std::uint32_t limit = std::min(end, state.dataLength);
  if (limit < length) return kNotFound;
  const std::uint32_t last = limit - length;
  if (start > last) return kNotFound;
  return Found(ScanForward(state.data, start, last, pattern, length));
}

SearchResult FindBytesBackward(const DumpViewState& state, std::uint32_t start, std::uint32_t end,
                               const std::uint8_t* pattern, std::uint32_t length) {
  if (end < start) return kMalformed;
  if (length == 0 || length > state.dataLength) return kNotFound;
  const std::uint32_t last = std::min(end, state.dataLength - length);
  if (last < start) return kNotFound;
  return Found(ScanBackward(state.data, start, last, pattern, length));
}

SearchResult FindBytes(DumpViewPort& port, DumpViewState& state, std::uint32_t flags, std::uint32_t start,
                       std::uint32_t end, const std::uint8_t* pattern, std::uint32_t length) {
  const SearchResult result = (flags & DVFIND_BACKWARD) != 0
                                  ? FindBytesBackward(state, start, end, pattern, length)
                                  : FindBytesForward(state, start, end, pattern, length);
  if ((flags & DVFIND_SELECT) != 0) SelectMatch(port, state, result.index, length);
  return result;
}

bool TextPattern(TextEncoder& encoder, std::uint16_t codePage, const char16_t* text,
                 std::vector<std::uint8_t>& pattern) {
  pattern.clear();
  const std::size_t count = WideLength(text);
  // No conversion is asked for nothing: the empty pattern finds nothing.
  if (count == 0) return true;
  switch (codePage) {
    case 932:
      return encoder.Encode(NarrowCodePage::ShiftJis, text, count, pattern);
    case 51932:
      return EucJpPattern(encoder, text, count, pattern);
    case 1200:
      Utf16LittleEndian(text, count, pattern);
      return true;
    case 65001:
      return Utf16ToUtf8(text, count, pattern);
    default:
      return encoder.Encode(NarrowCodePage::Ansi, text, count, pattern);
  }
}

SearchResult FindText(DumpViewPort& port, DumpViewState& state, TextEncoder& encoder, const char16_t* text,
                      std::uint32_t start, std::uint32_t end, std::uint32_t flags) {
  std::vector<std::uint8_t> pattern;
  if (!TextPattern(encoder, state.codePage, text, pattern)) return kNotFound;
  const auto length = static_cast<std::uint32_t>(pattern.size());
  // A pattern of 4 GiB or more is longer than any data the view can hold.
  if (length != pattern.size()) return kNotFound;
  return FindBytes(port, state, flags, start, end, pattern.data(), length);
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
