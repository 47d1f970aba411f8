// The text column of the dump view: one call per byte inside the data draws
// that byte's text cell (columns 62..77) in the code page of the view.
#pragma once

#include <cstdint>

#include "dumpview/canvas.h"
#include "dumpview/dumpviewstate.h"
#include "dumpview/paintlayout.h"
#include "encoding/textdecode.h"

// The column's decoder comes from TextDecoderOf. A character of several bytes
// is drawn once, at the cell of its first byte, over as many cells as it
// needs; the cells of its other bytes then show nothing of their own, or a
// space where the character began in the row above.

// State that a decoder carries from one byte to the next within one paint,
// across the rows of that paint, and never into the next paint.
struct TextDecoderState {
  std::uint32_t textPending;  // following bytes that belong to a character already drawn
  std::uint32_t sequenceRow;  // visible row in which the current UTF-8 sequence began
};
// A character that began above the first visible row is thus not recognised:
// its remaining bytes at the top are decoded afresh.

// One paint as the text-column decoders see it. The paint loop makes it once
// per paint with the decoder state cleared.
struct TextCellPaint {
  DumpCanvas& canvas;
  const DumpViewState& state;
  DumpGeometry geometry;
  SelectionSpan span;
  TextDecoderState decoder;
};

// Draws the text cell of byte index i (i < dataLength), which stands in
// column j (0..15) of visible row k whose text top is y. Called by the paint
// loop after the byte's hex cell and before the separator that follows it,
// with the colour pair of the byte in force; a decoder may change the pair.
void DrawTextCell(TextCellPaint& paint, std::uint32_t i, std::uint32_t j, std::uint32_t k, std::int32_t y);

// Draws count UTF-16 code units starting at text cell j of the row whose text
// top is y, in the colour pair in force.
void DrawTextUnits(TextCellPaint& paint, std::uint32_t j, std::int32_t y, const char16_t* units,
                   std::uint32_t count);

// Byte i as the one UTF-16 code unit of the same value (ISO 8859-1) at text
// cell j; control values get no substitute.
void DrawPlainByte(TextCellPaint& paint, std::uint32_t i, std::uint32_t j, std::int32_t y);

// Makes the selection colours the pair in force.
void SwitchToSelectionPair(TextCellPaint& paint);

// The cell flip: turns text cell j of the row whose text top is y over between
// the selection and the data background. Every pixel p of the cell (cellWidth
// wide, one font height high) becomes p XOR selBackColor XOR backColor, so the
// one background turns into the other and glyph pixels change alike. Serves a
// two-cell character of which only one byte is selected.
void FlipTextCell(TextCellPaint& paint, std::uint32_t j, std::int32_t y);
