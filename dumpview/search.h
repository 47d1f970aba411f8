// Search in the dump view's bytes: DVM_FINDBYTES and DVM_FINDTEXT apart from
// reading their request records. Portable: the last-error code that the
// window procedure sets comes back beside the result, and the two code-page
// conversions that need the system go through a TextEncoder.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "dumpview/dumpviewport.h"
#include "dumpview/dumpviewstate.h"

// A search's answer: the index of the match's first byte or kNoIndex, and the
// thread's last-error code to set: DV_ERROR_BAD_REQUEST for a malformed
// request, 0 when the search ran (found or not) or the text can't be
// expressed.
struct SearchResult {
  std::uint32_t index;
  std::uint32_t lastError;
};

// The first match wholly inside [start, min(endExclusive, dataLength)). An
// empty pattern never matches; endExclusive < start is a malformed request.
SearchResult FindBytesForward(const DumpViewState& state, std::uint32_t start, std::uint32_t endExclusive,
                              const std::uint8_t* pattern, std::uint32_t length);

// The last match that begins in [start, lastInclusive]; the match may run
// past lastInclusive to the end of the data.
SearchResult FindBytesBackward(const DumpViewState& state, std::uint32_t start, std::uint32_t lastInclusive,
                               const std::uint8_t* pattern, std::uint32_t length);

// A search in the direction that DVFIND_BACKWARD gives, end being the
// request's end: endExclusive going forward, lastInclusive going backward.
// With DVFIND_SELECT
// the match becomes the selection, anchor at its first byte and caret after
// its last (no match clears the selection), and the view scrolls to the
// caret. The work of DVM_FINDBYTES once its record is found well formed.
SearchResult FindBytes(DumpViewPort& port, DumpViewState& state, std::uint32_t flags, std::uint32_t start,
                       std::uint32_t end, const std::uint8_t* pattern, std::uint32_t length);

// The code pages whose conversions come from the system.
enum class NarrowCodePage : std::uint8_t {
  ShiftJis,  // code page 932
  Ansi,      // the system's ANSI code page
};

class TextEncoder {
 public:
  virtual ~TextEncoder() = default;
  // Encodes count UTF-16 code units (count >= 1, no terminator) into bytes;
  // false when a character has no exact form in that code page (no default
  // character and no look-alike substitute) or the conversion fails.
  virtual bool Encode(NarrowCodePage target, const char16_t* text, std::size_t count,
                      std::vector<std::uint8_t>& bytes) = 0;
};

// The bytes that a zero-terminated UTF-16 text takes in a text column of
// codePage, written to pattern; false when the text can't be expressed
// there:
//   932    Shift_JIS as code page 932 converts it
//   51932  that Shift_JIS turned into EUC-JP (ShiftJisToEucJp); only the
//          characters that the EUC-JP column shows: ASCII, U+0080, U+00A0
//          and the double-byte characters of rows 0xA1 to 0xFE
//   1200   the text's own code units, little-endian
//   65001  UTF-8; an unpaired surrogate can't be expressed
//   other  the system's ANSI code page
bool TextPattern(TextEncoder& encoder, std::uint16_t codePage, const char16_t* text,
                 std::vector<std::uint8_t>& pattern);

// DVM_FINDTEXT once its text is widened: the text's pattern in the view's
// code page, searched and selected as FindBytes does. A text that can't be
// expressed answers kNoIndex with last error 0 and leaves the selection as
// it was, even with DVFIND_SELECT.
SearchResult FindText(DumpViewPort& port, DumpViewState& state, TextEncoder& encoder, const char16_t* text,
                      std::uint32_t start, std::uint32_t end, std::uint32_t flags);
