#include "dumpview/search.h"

#include <algorithm>

#include "dumpview/bytescan.h"
#include "dumpview/caret.h"
#include "dumpview/dumpview.h"
#include "encoding/eucjp.h"
#include "encoding/textdecode.h"
#include "encoding/unicode.h"

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

bool EucJpPattern(TextEncoder& encoder, const char16_t* text, std::size_t count,
                  std::vector<std::uint8_t>& pattern) {
  std::vector<std::uint8_t> sjis;
  if (!encoder.Encode(NarrowCodePage::ShiftJis, text, count, sjis) || !FitsEucJpColumn(sjis)) return false;
  sjis.push_back(0);
  pattern.assign(sjis.size(), 0);
  pattern.resize(ShiftJisToEucJp(sjis.data(), pattern.data()));
  return true;
}

}  // namespace

SearchResult FindBytesForward(const DumpViewState& state, std::uint32_t start, std::uint32_t endExclusive,
                              const std::uint8_t* pattern, std::uint32_t length) {
  if (endExclusive < start) return kMalformed;
  if (length == 0 || length > state.dataLength) return kNotFound;
  const std::uint32_t limit = std::min(endExclusive, state.dataLength);
  if (limit < length) return kNotFound;
  const std::uint32_t lastStart = limit - length;
  if (start > lastStart) return kNotFound;
  return Found(ScanForward(state.data, start, lastStart, pattern, length));
}

SearchResult FindBytesBackward(const DumpViewState& state, std::uint32_t start, std::uint32_t lastInclusive,
                               const std::uint8_t* pattern, std::uint32_t length) {
  if (lastInclusive < start) return kMalformed;
  if (length == 0 || length > state.dataLength) return kNotFound;
  const std::uint32_t lastStart = std::min(lastInclusive, state.dataLength - length);
  if (lastStart < start) return kNotFound;
  return Found(ScanBackward(state.data, start, lastStart, pattern, length));
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
  switch (TextDecoderOf(codePage)) {
    case TextDecoder::ShiftJis:
      return encoder.Encode(NarrowCodePage::ShiftJis, text, count, pattern);
    case TextDecoder::EucJp:
      return EucJpPattern(encoder, text, count, pattern);
    case TextDecoder::Utf16Le:
      AppendUtf16Le(text, count, pattern);
      return true;
    case TextDecoder::Utf8:
      return Utf16ToUtf8(text, count, pattern);
    case TextDecoder::PlainBytes:
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
