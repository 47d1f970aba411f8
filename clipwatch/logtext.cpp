#include "clipwatch/logtext.h"

#include <cstdio>
#include <optional>
#include <string_view>

#include "browser/formatnames.h"

const std::array<const char*, kLogColumnCount> kLogColumnHeaders = {
    "Time", "Sequence", "Owner", "Window Class", "Count", "Formats", "Marks"};

namespace {

constexpr char kNoOwnerText[] = "(none)";
constexpr char kEmptyText[] = "(empty)";
constexpr char kNotListedText[] = "(not listed)";
constexpr char kOwnChangeText[] = "Kelvane's own change";
constexpr char kMarkerText[] = "asks to be left alone: ";
constexpr char kHeldOpenText[] = "held open by ";
constexpr char kHeldByNoWindowText[] = "held open by a program without a window";
constexpr char kMarkSeparator[] = "; ";
constexpr char kFormatSeparator[] = ", ";

std::string Decimal(std::uint64_t value) { return std::to_string(value); }

// The text the available list gives the format, the registered name being
// the one the log was given, cut as the registered list cuts it.
std::string FormatText(const ClipboardLog& log, std::uint32_t format) {
  const std::string* name = log.NameOf(format);
  if (name == nullptr) return AvailableFormatText(format, std::nullopt);
  const std::string listed = RegisteredNameText(*name);
  return AvailableFormatText(format, std::string_view(listed));
}

std::string FormatsText(const ClipboardLog& log, const LogRow& row) {
  if (!row.listed) return kNotListedText;
  if (row.formats.empty()) return kEmptyText;
  std::string text;
  for (const std::uint32_t format : row.formats) {
    if (!text.empty()) text += kFormatSeparator;
    text += FormatText(log, format);
  }
  return text;
}

std::string OwnerText(const ClipboardLog& log, const LogRow& row) {
  const ClipboardParty* owner = log.Party(row.owner);
  return owner != nullptr ? PartyText(*owner) : kNoOwnerText;
}

void AddMark(std::string* marks, const std::string& mark) {
  if (!marks->empty()) *marks += kMarkSeparator;
  *marks += mark;
}

std::string MarksText(const ClipboardLog& log, const LogRow& row) {
  std::string marks;
  if (row.ownChange) AddMark(&marks, kOwnChangeText);
  std::string markers;
  for (const std::uint32_t format : row.formats) {
    const std::string* name = log.NameOf(format);
    if (name == nullptr || !IsMonitorMarkerName(*name)) continue;
    if (!markers.empty()) markers += kFormatSeparator;
    markers += *name;
  }
  if (!markers.empty()) AddMark(&marks, kMarkerText + markers);
  if (row.heldOpen) {
    const ClipboardParty* holder = log.Party(row.holder);
    AddMark(&marks, holder != nullptr ? kHeldOpenText + PartyText(*holder) : kHeldByNoWindowText);
  }
  return marks;
}

void AppendTsvField(std::string* line, const std::string& field) {
  for (const char c : field) *line += (c == '\t' || c == '\r' || c == '\n') ? ' ' : c;
}

}  // namespace

std::string LogTimeText(const LogTime& time) {
  char text[32];
  (void)std::snprintf(text, sizeof(text), "%04u-%02u-%02u %02u:%02u:%02u.%03u", unsigned{time.year},
                      unsigned{time.month}, unsigned{time.day}, unsigned{time.hour}, unsigned{time.minute},
                      unsigned{time.second}, unsigned{time.millisecond});
  return text;
}

std::string PartyText(const ClipboardParty& party) {
  const std::string process = "(process " + Decimal(party.processId) + ")";
  return party.program.empty() ? process : party.program + " " + process;
}

std::string LogCellText(const ClipboardLog& log, const LogRow& row, LogColumn column) {
  switch (column) {
    case kTimeColumn:
      return LogTimeText(row.time);
    case kSequenceColumn:
      return Decimal(row.sequence);
    case kOwnerColumn:
      return OwnerText(log, row);
    case kWindowClassColumn: {
      const ClipboardParty* owner = log.Party(row.owner);
      return owner != nullptr ? owner->windowClass : std::string();
    }
    case kCountColumn:
      return row.listed ? Decimal(row.formats.size()) : std::string();
    case kFormatsColumn:
      return FormatsText(log, row);
    case kMarksColumn:
      return MarksText(log, row);
    default:
      return {};
  }
}

std::string LogTsv(const ClipboardLog& log, const std::vector<std::uint32_t>& rows, bool header) {
  std::string text;
  if (header) {
    for (std::uint32_t column = 0; column < kLogColumnCount; ++column) {
      if (column != 0) text += '\t';
      text += kLogColumnHeaders[column];
    }
    text += "\r\n";
  }
  for (const std::uint32_t index : rows) {
    if (index >= log.Size()) continue;
    const LogRow& row = log.Row(index);
    for (std::uint32_t column = 0; column < kLogColumnCount; ++column) {
      if (column != 0) text += '\t';
      AppendTsvField(&text, LogCellText(log, row, static_cast<LogColumn>(column)));
    }
    text += "\r\n";
  }
  return text;
}

std::string LogStatusText(const ClipboardLog& log) {
  std::string text = Decimal(log.Size()) + (log.Size() == 1 ? " row" : " rows");
  if (log.Dropped() != 0) {
    text += "; " + Decimal(log.Dropped()) + " older " + (log.Dropped() == 1 ? "row was" : "rows were") +
            " dropped to keep the last " + Decimal(kLogCapacity);
  }
  return text;
}
