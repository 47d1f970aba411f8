#include "formats/lines.h"

#include <cinttypes>
#include <cstdio>

#include "identify/reading.h"

void AddField(Lines& lines, std::string_view name, std::string_view value) {
  std::string text;
  text.reserve(name.size() + 2 + value.size());
  text.append(name).append(": ").append(value);
  lines.push_back(Line{std::move(text), false});
}

void AddProblem(Lines& lines, std::string_view what) {
  std::string text("! ");
  text.append(what);
  lines.push_back(Line{std::move(text), true});
}

void AddText(Lines& lines, std::string_view text) { lines.push_back(Line{std::string(text), false}); }

void AppendLines(Lines& lines, const Lines& more) { lines.insert(lines.end(), more.begin(), more.end()); }

std::string Decimal(std::uint64_t value) {
  char buffer[24];
  (void)std::snprintf(buffer, sizeof(buffer), "%" PRIu64, value);
  return buffer;
}

std::string SignedDecimal(std::int64_t value) {
  char buffer[24];
  (void)std::snprintf(buffer, sizeof(buffer), "%" PRId64, value);
  return buffer;
}

std::string Hex(std::uint64_t value, int digits) {
  char buffer[24];
  (void)std::snprintf(buffer, sizeof(buffer), "0x%0*" PRIX64, digits, value);
  return buffer;
}

std::string HexAndDecimal(std::uint64_t value) { return Hex(value, 1) + " (" + Decimal(value) + ")"; }

std::string Bytes(std::uint64_t count) { return Decimal(count) + (count == 1 ? " byte" : " bytes"); }

std::string MoreItemsText(std::uint64_t more, std::string_view pluralNoun) {
  std::string text("\xE2\x80\xA6 and ");  // U+2026
  text.append(Decimal(more)).append(" more ").append(pluralNoun);
  return text;
}

std::string FlagsText(std::uint64_t value, const NamedFlag* table, std::size_t count, const char* noneName) {
  if (value == 0) return noneName;
  std::string text;
  std::uint64_t rest = value;
  for (std::size_t i = 0; i < count; ++i) {
    if ((value & table[i].bit) != table[i].bit) continue;
    if (!text.empty()) text += " | ";
    text += table[i].name;
    rest &= ~table[i].bit;
  }
  if (rest != 0) {
    if (!text.empty()) text += " | ";
    text += Hex(rest, 1);
  }
  return text;
}

void AddTextBlock(Lines& lines, const std::string& text) {
  std::size_t lineStart = 0;
  for (;;) {
    std::size_t lineEnd = text.find_first_of("\r\n", lineStart);
    if (lineEnd == std::string::npos) lineEnd = text.size();
    std::string line("  ");
    for (std::size_t i = lineStart; i < lineEnd; ++i) {
      const auto byte = static_cast<unsigned char>(text[i]);
      line += (byte < 0x20 && byte != '\t') || byte == 0x7F ? ' ' : text[i];
    }
    lines.push_back(Line{std::move(line), false});
    if (lineEnd == text.size()) break;
    lineStart = lineEnd + (text.compare(lineEnd, 2, "\r\n") == 0 ? 2 : 1);
    if (lineStart == text.size()) break;  // a final line end opens no line
  }
}

std::optional<std::uint32_t> ReadLeadingU32(Lines& lines, const std::uint8_t* data, std::uint32_t length,
                                            std::string_view what) {
  const std::optional<std::uint32_t> value = ReadU32(data, length, 0);
  if (!value) AddProblem(lines, std::string(what) + " takes 4 bytes, the data has " + Decimal(length));
  return value;
}
