// The Details pane's text: the Snapshot section, the "At the caret" section
// and the format's own section, chosen by the format's number or name.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

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
};

// Sections, each a heading line followed by its fields.
Lines SnapshotSection(const SnapshotDescription& snapshot, const std::uint8_t* data);
Lines CaretSection(const std::uint8_t* data, std::uint32_t length, const CaretFacts& caret);
// Empty when the format has no interpreter.
Lines FormatSection(const SnapshotDescription& snapshot, const std::uint8_t* data, FormatPort& port);

// The pane's text: lines joined by CRLF, as the edit control wants them.
std::string JoinLines(const Lines& lines);
