// Texts: CF_TEXT, CF_OEMTEXT and "FileName" (8-bit units), CF_UNICODETEXT
// and "FileNameW" (UTF-16 little-endian units).
#pragma once

#include <cstdint>

#include "formats/formatport.h"
#include "formats/lines.h"

enum class TextUnit { Byte, Utf16 };

// What the text statistics count, in one pass over the units before the
// terminator.
struct TextStatistics {
  std::uint64_t units = 0;  // before the terminator
  bool terminated = false;
  std::uint32_t terminatorOffset = 0;  // in bytes; valid when terminated
  std::uint64_t crlf = 0;              // line endings of each kind
  std::uint64_t lf = 0;
  std::uint64_t cr = 0;
  std::uint64_t outsideAscii = 0;  // bytes >= 0x80, or characters above U+007F
  std::uint64_t surrogatePairs = 0;
  std::uint64_t unpairedSurrogates = 0;
  std::uint32_t firstUnpairedOffset = 0;  // in bytes; valid when there are any
  bool endsWithLineEnd = false;
};
TextStatistics CountText(const std::uint8_t* data, std::uint32_t length, TextUnit unit);

// Characters before the terminator, the terminator's offset, the bytes after
// it, lines, line endings (CRLF, LF, CR or mixed) and characters outside
// ASCII; then the first kTextShownBytes of the text itself, 8-bit text read
// in codePage.
Lines InterpretText(const std::uint8_t* data, std::uint32_t length, TextUnit unit, FormatPort& port,
                    std::uint32_t codePage = kSystemAnsiCodePage);

// What the pane shows of a text, a URL or a name at most.
constexpr std::uint32_t kTextShownBytes = 2048;

// count bytes of 8-bit text in codePage, or count / 2 UTF-16 units, as
// UTF-8 without control characters: the first kTextShownBytes of them, and
// when that is not all, "… (N bytes in all)" after them.
std::string ShownText(const std::uint8_t* bytes, std::uint32_t count, TextUnit unit, FormatPort& port,
                      std::uint32_t codePage = kSystemAnsiCodePage);
