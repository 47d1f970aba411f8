// What every interpreter of formats/ answers: lines of UTF-8 text, one field
// a line ("Name: value"), and the problems found in the data as lines that
// start with "! " and say what is wrong and where, in bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct Line {
  std::string text;  // UTF-8
  bool problem;
};
using Lines = std::vector<Line>;

// Appends "name: value".
void AddField(Lines& lines, std::string_view name, std::string_view value);
// Appends "! what", flagged as a problem.
void AddProblem(Lines& lines, std::string_view what);
// Appends a line that is neither a field nor a problem (a heading, a note).
void AddText(Lines& lines, std::string_view text);
// Appends every line of more to lines.
void AppendLines(Lines& lines, const Lines& more);

// Numbers as the pane writes them.
std::string Decimal(std::uint64_t value);
std::string SignedDecimal(std::int64_t value);
// "0x" and at least digits upper-case hexadecimal digits.
std::string Hex(std::uint64_t value, int digits);
// "0x1F4 (500)".
std::string HexAndDecimal(std::uint64_t value);
// "640 bytes", "1 byte".
std::string Bytes(std::uint64_t count);

// What an interpreter shows at most of a list before it only counts the rest.
constexpr std::uint32_t kMaxListedItems = 1000;
// "… and 99000 more files" (noun in the plural).
std::string MoreItemsText(std::uint64_t more, std::string_view pluralNoun);

// A value's flags by name, "COPY | LINK", with bits no name covers as one
// hexadecimal rest; noneName when the value is 0.
struct NamedFlag {
  std::uint64_t bit;
  const char* name;
};
template <std::size_t N>
std::string FlagsText(std::uint64_t value, const NamedFlag (&table)[N], const char* noneName) {
  return FlagsText(value, table, N, noneName);
}
std::string FlagsText(std::uint64_t value, const NamedFlag* table, std::size_t count, const char* noneName);

// Appends text (UTF-8) as lines indented by two spaces, one per line of the
// text (CRLF, LF or CR end a line), control characters shown as spaces.
void AddTextBlock(Lines& lines, const std::string& text);

// The 32-bit value that opens the data, or none after a problem line that
// says what takes 4 bytes ("an LCID takes 4 bytes, the data has 3").
std::optional<std::uint32_t> ReadLeadingU32(Lines& lines, const std::uint8_t* data, std::uint32_t length,
                                            std::string_view what);
