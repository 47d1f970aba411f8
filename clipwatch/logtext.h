// The clipboard log's texts: each column of a row as the log window shows it
// and as its tab-separated text writes it, and the status line.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "clipwatch/clipboardlog.h"

enum LogColumn : std::uint32_t {
  kTimeColumn,
  kSequenceColumn,
  kOwnerColumn,
  kWindowClassColumn,
  kCountColumn,
  kFormatsColumn,
  kMarksColumn,
  kLogColumnCount
};

// The columns' headers, which are also the saved text's header row.
extern const std::array<const char*, kLogColumnCount> kLogColumnHeaders;

// "2026-12-08 04:12:24.123".
std::string LogTimeText(const LogTime& time);

// "<program> (process <id>)", as the busy title of Analyze names a holder.
std::string PartyText(const ClipboardParty& party);

// One column of a row. Every text is UTF-8.
std::string LogCellText(const ClipboardLog& log, const LogRow& row, LogColumn column);

// The given rows (indexes into the log) as tab-separated lines, each ended
// by CR LF; with header, the column headers first. A tab or line end inside
// a field becomes a space, so that every line is one row of seven fields.
std::string LogTsv(const ClipboardLog& log, const std::vector<std::uint32_t>& rows, bool header);

// The status line of the log window: how many rows, and how many older
// ones were dropped to keep the last kLogCapacity.
std::string LogStatusText(const ClipboardLog& log);
