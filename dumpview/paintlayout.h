// Where the dump view's painting puts things: pixel positions of grid columns
// and visible rows, and the selection span of one paint. Shared by the paint
// loop and the text-column decoders.
#pragma once

#include <cstdint>
#include <limits>

#include "dumpview/dumpviewstate.h"

// A 64-bit pixel position brought into the range that the drawing calls take.
// Only absurd font heights or scroll positions reach the limits; saturating
// keeps such positions far outside the client instead of wrapping into it.
inline std::int32_t SaturatedPixel(std::int64_t value) {
  constexpr std::int64_t low = std::numeric_limits<std::int32_t>::min();
  constexpr std::int64_t high = std::numeric_limits<std::int32_t>::max();
  return static_cast<std::int32_t>(value < low ? low : (value > high ? high : value));
}

// x of grid column c: (c - leftColumn) * cellWidth, negative for columns
// scrolled off to the left.
inline std::int32_t ColumnX(const DumpViewState& state, const DumpGeometry& geometry, std::uint32_t column) {
  const std::int64_t offset = static_cast<std::int64_t>(column) - LeftColumn(state);
  return SaturatedPixel(offset * geometry.cellWidth);
}

// Top of the text of visible row k (k = 0 is the row topRow).
inline std::int32_t RowTextTop(const DumpGeometry& geometry, std::uint32_t k) {
  return SaturatedPixel(static_cast<std::int64_t>(geometry.headerBand) + geometry.textInset +
                        static_cast<std::int64_t>(k) * geometry.rowPitch);
}

// The selected bytes of one paint as first and last index, both inclusive.
struct SelectionSpan {
  std::uint32_t selStart;
  std::uint32_t selEnd;
  bool selecting;  // the Selecting flag; while clear nothing shows selected
};

// The span of no bytes: no index lies between its ends, and the decoders'
// boundary tests (i + 1 == selStart, i == selEnd + 1) see these exact values.
constexpr std::uint32_t kEmptySpanStart = 1;
constexpr std::uint32_t kEmptySpanEnd = 0;

inline SelectionSpan SelectionSpanOf(const DumpViewState& state) {
  SelectionSpan span;
  if (state.anchor < state.caret) {
    span.selStart = state.anchor;
    span.selEnd = state.caret - 1;
  } else if (state.anchor > state.caret) {
    span.selStart = state.caret;
    span.selEnd = state.anchor - 1;
  } else {
    span.selStart = kEmptySpanStart;
    span.selEnd = kEmptySpanEnd;
  }
  span.selecting = (state.flags & Selecting) != 0;
  return span;
}

inline bool IsSelected(const SelectionSpan& span, std::uint32_t index) {
  return span.selecting && span.selStart <= index && index <= span.selEnd;
}
