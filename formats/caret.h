// "At the caret": where the caret and the selection are, and the bytes from
// the caret read as numbers and dates.
#pragma once

#include <cstdint>

#include "formats/lines.h"

struct CaretFacts {
  std::uint32_t caret;
  bool hasSelection;
  std::uint32_t selectionFirst;  // the first and last selected byte
  std::uint32_t selectionLast;
};

// Always the same number of lines, whatever the data, so that the pane can
// replace this section alone in place; "—" stands for a value that would run
// past the data.
Lines InterpretAtCaret(const std::uint8_t* data, std::uint32_t length, const CaretFacts& caret);
