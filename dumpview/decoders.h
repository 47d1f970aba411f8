// The multi-byte decoders of the dump view's text column: Shift_JIS (code
// page 932), EUC-JP (51932), UTF-16 little-endian (1200) and UTF-8 (65001).
// DrawTextCell picks one by the view's code page and calls it for every byte
// inside the data, in ascending order, within one paint.
//
// A two-byte character of Shift_JIS, EUC-JP or UTF-16 is drawn whole in the
// colour pair of its first byte, or in the selection pair when the selection
// begins at its second byte; the cell of whichever of its bytes lies outside
// the selection is then flipped, so each cell shows its own byte's
// background. A UTF-8 sequence is drawn in the pair of its lead byte alone.
//
// No decoder reads a byte at or beyond dataLength: a lead byte or UTF-16
// first byte that is the last byte of the data is drawn as a plain byte, and
// a UTF-8 sequence that the data cuts short is not a sequence.
#pragma once

#include <cstdint>

#include "dumpview/textcell.h"

void DrawShiftJisCell(TextCellPaint& paint, std::uint32_t i, std::uint32_t j, std::int32_t y);
void DrawEucJpCell(TextCellPaint& paint, std::uint32_t i, std::uint32_t j, std::int32_t y);
void DrawUtf16Cell(TextCellPaint& paint, std::uint32_t i, std::uint32_t j, std::int32_t y);
void DrawUtf8Cell(TextCellPaint& paint, std::uint32_t i, std::uint32_t j, std::uint32_t k, std::int32_t y);
