#include "formats/locale.h"

#include "identify/reading.h"

Lines InterpretLocale(const std::uint8_t* data, std::uint32_t length, FormatPort& port) {
  Lines lines;
  const std::optional<std::uint32_t> lcid = ReadLeadingU32(lines, data, length, "an LCID");
  if (!lcid) return lines;
  AddField(lines, "LCID", Hex(*lcid, 4) + " (" + Decimal(*lcid) + ")");
  const LocaleFacts facts = port.LocaleOf(*lcid);
  if (!facts.known) {
    AddProblem(lines, "the system knows no locale " + Hex(*lcid, 4));
  } else {
    AddField(lines, "Locale name", facts.name.empty() ? "(none)" : facts.name);
    AddField(lines, "ANSI code page", Decimal(facts.ansiCodePage));
    AddField(lines, "OEM code page", Decimal(facts.oemCodePage));
  }
  if (length > 4) AddField(lines, "Bytes after the LCID", Decimal(length - 4));
  return lines;
}
