// Text inside clipboard data, made UTF-8 for the pane: UTF-16 little-endian
// units and bytes that claim to be UTF-8. Invalid sequences (unpaired
// surrogates, malformed UTF-8) become U+FFFD, so the pane's text is always
// valid UTF-8.
#pragma once

#include <cstdint>
#include <string>

#include "app/noindex.h"
#include "encoding/terminator.h"

std::string Utf8OfUtf16Units(const std::uint8_t* bytes, std::uint32_t unitCount);
std::string Utf8OfUtf8Bytes(const std::uint8_t* bytes, std::uint32_t count);

// Control characters other than tab would break or garble the pane's lines:
// every C0 control but tab, and DEL, becomes a space.
std::string WithoutControls(std::string text);

// UTF-8 bytes seen as UTF-16 units, the way programs that count a string's
// length in UTF-16 units see them: the number of units of count bytes, and
// the byte offset at which unit index unitIndex begins (kNoIndex when the
// bytes hold fewer units). A malformed byte counts as one unit.
std::uint64_t Utf16LengthOfUtf8(const std::uint8_t* bytes, std::uint32_t count);
std::uint32_t ByteOffsetOfUtf16Index(const std::uint8_t* bytes, std::uint32_t count, std::uint64_t unitIndex);

// The longest prefix of at most limit bytes that ends on a character
// boundary of the UTF-8 bytes (a malformed byte is a character of its own).
std::uint32_t Utf8PrefixLength(const std::uint8_t* bytes, std::uint32_t count, std::uint32_t limit);
