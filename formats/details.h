// The Details pane's text: the Snapshot section, the "At the caret" section
// and the format's own section, chosen by the format's number or name.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "formats/caret.h"
#include "formats/formatport.h"
#include "formats/lines.h"
#include "identify/identify.h"
#include "snapshot/wholedata.h"

// What the frame knows of its snapshot and of the clipboard's owner at the
// moment of the read; empty texts and zeros where the system told nothing.
struct SnapshotDescription {
  std::uint32_t format = 0;
  std::string name;  // the registered name, or the standard format's name
  std::uint32_t length = 0;
  std::uint64_t blockSize = 0;
  bool blockSizeKnown = false;
  SnapshotKind kind = SnapshotKind::ByRule;
  std::uint64_t ownerWindow = 0;
  std::string ownerClass;
  std::uint32_t ownerProcessId = 0;
  std::string ownerExecutable;
  std::uint32_t sequenceNumber = 0;
  std::vector<std::string> readProblems;  // what kept the read from being made, one problem line each
};

// The problem line (without its mark) of a format left unread because the
// clipboard carries marker, a format with which a program asks monitors to
// leave its data alone.
std::string LeftUnreadProblem(std::string_view marker);

// Sections, each a heading line followed by its fields. No exception leaves
// them: a failed allocation gives a problem line instead of the fields.
Lines SnapshotSection(const SnapshotDescription& snapshot, const std::uint8_t* data);
Lines CaretSection(const std::uint8_t* data, std::uint32_t length, const CaretFacts& caret);
// Empty when the format has no interpreter. At most kMaxSectionTextBytes of
// text (its lines with their line ends, as JoinLines makes them), then one
// line that says what was left out. With the other two sections, which are
// a few dozen short lines whatever the data, that bounds the pane's text.
Lines FormatSection(const SnapshotDescription& snapshot, const std::uint8_t* data, FormatPort& port);

// An edit control takes about a second a few hundred KiB under Wine: more
// than this would hold the frame up, and no list shown in full needs more.
constexpr std::uint32_t kMaxSectionTextBytes = 256 * 1024;

// The pane's text: lines joined by CRLF, as the edit control wants them.
std::string JoinLines(const Lines& lines);
