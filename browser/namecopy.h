// Copying a listed format's name: the double-byte-aware character search and
// the rule that turns a list text into the name placed on the clipboard. Pure
// functions; the lead-byte test of the ANSI code page in use is handed in.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "app/noindex.h"
#include "dumpview/dumpview.h"

// Whether a byte is the lead byte of a double-byte character.
using LeadByteTest = bool (*)(unsigned char byte);

struct CharSearchResult {
  std::uint32_t position;   // byte position, or kNoIndex
  std::uint32_t lastError;  // DV_ERROR_BAD_REQUEST for no text, or 0: the last-error codes of the dump view
};

// The first byte position at or after start in the zero-terminated text that
// holds the low byte of character and is not the trail byte of a double-byte
// character. Character 0 finds the terminating zero whatever start is. When
// the byte before start is a lead byte, start is taken to be its trail byte
// and the search begins one byte later.
CharSearchResult FindCharDbcs(const char* text, int character, std::uint32_t start, LeadByteTest isLeadByte);

// Longest name placed on the clipboard.
inline constexpr std::size_t kCopiedNameMaxChars = 127;

// The name copied for column 1 of a list item. The registered list shows the
// name itself. The available list appends the number to every text, as
// " (1)", " (0x0080)" or "(0xC1A0)": that last "(" and a space before it are
// cut off, so a name holding "(" of its own copies whole, as it does from the
// registered list.
std::string CopiedFormatName(std::string_view listText, bool fromAvailableList, LeadByteTest isLeadByte);
