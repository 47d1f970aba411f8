// Portable rules of the dump window's Edit menu: which key runs which
// command, how the Find and Go To boxes read what the user typed, the text
// that Copy puts on the clipboard, and where a search starts. Copy as Text
// decodes through encoding/textdecode.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

// The Edit command (ID_EDIT_...) or View > Whole Data of a key pressed with
// the given modifiers, or 0 when the key is no such shortcut.
std::uint32_t EditCommandOfKey(std::uint32_t virtualKey, bool ctrl, bool shift, bool alt);

// Whether a shortcut belongs to the Details pane while the focus is there:
// Copy and Select All act on the pane's own text.
bool PaneKeepsShortcut(std::uint32_t command);

// The bytes typed into Find in hexadecimal: pairs of digits, upper or lower
// case, with or without white space between the bytes ("4B 65 6C",
// "4b656c", "4B65 6C").
enum class HexError { None, Empty, NotHexDigit, OddDigits };
struct HexBytes {
  HexError error = HexError::None;
  std::vector<std::uint8_t> bytes;
};
HexBytes ParseHexBytes(std::string_view text);
// What the Find box says about a mistake (nullptr for None).
const char* HexErrorText(HexError error);

// An offset typed into Go To: hexadecimal with or without "0x", or decimal
// after "#"; blanks around it are allowed. A value too large for 32 bits is
// kept as 0x100000000, which lies past any data.
struct ParsedOffset {
  bool ok = false;
  std::uint64_t value = 0;
};
ParsedOffset ParseOffset(std::string_view text);
constexpr std::uint64_t kOffsetBeyondAnyData = 0x100000000ull;

// Where Go To puts the caret: the offset, or the end of the data (the
// position after its last byte) when the offset lies past it.
struct GoToTarget {
  std::uint32_t caret;
  bool pastEnd;
};
GoToTarget GoToTargetOf(std::uint64_t offset, std::uint32_t dataLength);

// Copy's text: "4B 65 6C", two upper-case digits a byte, one space between
// bytes, zero-terminated. HexTextSize is the size of the whole text with its
// terminator, or 0 when that does not fit in a size_t.
std::size_t HexTextSize(std::uint32_t count);
void WriteHexText(const std::uint8_t* bytes, std::uint32_t count, char* out);

// Where a search starts from the caret and the selection: going down, the
// bytes after the selection (or from the caret) up to endExclusive, the end of
// the data; going up, the matches that begin from start up to lastInclusive,
// before the selection (or the caret). empty when there is nothing left to
// search in that direction.
struct SearchRange {
  bool empty;
  std::uint32_t start;
  std::uint32_t endExclusive;   // going down
  std::uint32_t lastInclusive;  // going up
};
SearchRange SearchRangeOf(bool backward, std::uint32_t caret, bool hasSelection, std::uint32_t selFirst,
                          std::uint32_t selLast, std::uint32_t dataLength);
// The one end field of the view's search request: endExclusive going down,
// lastInclusive going up.
std::uint32_t RequestEnd(const SearchRange& range, bool backward);
