// Texts: CF_TEXT, CF_OEMTEXT and "FileName" (8-bit units), CF_UNICODETEXT
// and "FileNameW" (UTF-16 little-endian units).
#pragma once

#include <cstdint>

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
// ASCII.
Lines InterpretText(const std::uint8_t* data, std::uint32_t length, TextUnit unit);
