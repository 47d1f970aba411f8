#include "dumpview/decoders.h"

#include "dumpview/paintlayout.h"
#include "encoding/eucjp.h"
#include "encoding/unicode.h"

namespace {

// Whether byte i has a successor inside the data.
bool HasNextByte(const TextCellPaint& paint, std::uint32_t i) {
  return static_cast<std::uint64_t>(i) + 1 < paint.state.dataLength;
}

// The selection (while Selecting is set) begins at byte i + 1. With nothing
// selected selStart is 1, so this also holds for byte 0 then.
bool SelectionBeginsAfter(const TextCellPaint& paint, std::uint32_t i) {
  return paint.span.selecting && static_cast<std::uint64_t>(i) + 1 == paint.span.selStart;
}

// The selection (while Selecting is set) ended at byte i - 1. With nothing
// selected selEnd is 0, so this also holds for byte 1 then.
bool SelectionEndsBefore(const TextCellPaint& paint, std::uint32_t i) {
  return paint.span.selecting && i == static_cast<std::uint64_t>(paint.span.selEnd) + 1;
}

// The character of bytes i and i + 1 at cell j. When the selection begins at
// its second byte it is drawn in the selection pair and its first cell turned
// over to the data background.
void DrawTwoByteCharacter(TextCellPaint& paint, std::uint32_t i, std::uint32_t j, std::int32_t y,
                          const char16_t* units, std::uint32_t count) {
  const bool straddlesStart = SelectionBeginsAfter(paint, i);
  if (straddlesStart) SwitchToSelectionPair(paint);
  DrawTextUnits(paint, j, y, units, count);
  if (straddlesStart) FlipTextCell(paint, j, y);
}

// The second byte of a two-byte character drawn at the byte before it: when
// the selection ended at that first byte, this byte's cell is turned over to
// the data background.
void FinishTwoByteCharacter(TextCellPaint& paint, std::uint32_t i, std::uint32_t j, std::int32_t y) {
  if (SelectionEndsBefore(paint, i)) FlipTextCell(paint, j, y);
}

// The trail byte of a Shift_JIS or EUC-JP character, when byte i is one;
// false when it is not. In column 0 the character began at the end of the
// row above, so the cell shows a space.
bool DrawPendingTrailByte(TextCellPaint& paint, std::uint32_t i, std::uint32_t j, std::int32_t y) {
  if (paint.decoder.textPending == 0) return false;
  if (j == 0) {
    paint.canvas.TextNarrow(ColumnX(paint.state, paint.geometry, TextColumn(0)), y, " ", 1);
  } else {
    FinishTwoByteCharacter(paint, i, j, y);
  }
  paint.decoder.textPending = 0;
  return true;
}

// The Shift_JIS pair lead, trail through code page 932 at cell j; its trail
// byte's call then draws nothing.
void DrawCp932Pair(TextCellPaint& paint, std::uint32_t i, std::uint32_t j, std::int32_t y, std::uint8_t lead,
                   std::uint8_t trail) {
  const std::uint8_t pair[2] = {lead, trail};
  const char16_t unit = paint.canvas.ConvertCp932(pair, 2);
  DrawTwoByteCharacter(paint, i, j, y, &unit, 1);
  paint.decoder.textPending = 1;
}

// Whether the n bytes from i lie inside the data and all after the first are
// continuation bytes. The length is tested before any byte is read.
bool IsWholeUtf8Sequence(const TextCellPaint& paint, std::uint32_t i, std::uint32_t n) {
  if (static_cast<std::uint64_t>(i) + n > paint.state.dataLength) return false;
  for (std::uint32_t m = 1; m < n; ++m) {
    if (!IsUtf8Continuation(paint.state.data[i + m])) return false;
  }
  return true;
}

constexpr char16_t kSpaces[] = u"      ";  // the longest sequence's blanks

}  // namespace

void DrawShiftJisCell(TextCellPaint& paint, std::uint32_t i, std::uint32_t j, std::int32_t y) {
  if (DrawPendingTrailByte(paint, i, j, y)) return;
  const std::uint8_t b = paint.state.data[i];
  if (IsColumnShiftJisLeadByte(b) && HasNextByte(paint, i)) {
    // The byte after a lead is its trail whatever its value; a pair that code
    // page 932 does not define shows the conversion's replacement.
    DrawCp932Pair(paint, i, j, y, b, paint.state.data[i + 1]);
  } else if (IsHalfWidthKatakana(b)) {
    const char16_t unit = paint.canvas.ConvertCp932(&b, 1);
    DrawTextUnits(paint, j, y, &unit, 1);
  } else {
    DrawPlainByte(paint, i, j, y);
  }
}

void DrawEucJpCell(TextCellPaint& paint, std::uint32_t i, std::uint32_t j, std::int32_t y) {
  if (DrawPendingTrailByte(paint, i, j, y)) return;
  const std::uint8_t b = paint.state.data[i];
  if (IsEucJpByte(b) && HasNextByte(paint, i)) {
    const ShiftJisPair pair = ShiftJisPairOfEucJp(b, paint.state.data[i + 1]);
    DrawCp932Pair(paint, i, j, y, pair.lead, pair.trail);
  } else {
    // The single shifts 0x8E and 0x8F included: the byte after them is
    // decoded afresh.
    DrawPlainByte(paint, i, j, y);
  }
}

void DrawUtf16Cell(TextCellPaint& paint, std::uint32_t i, std::uint32_t j, std::int32_t y) {
  // Rows begin at multiples of 16, so code units begin at even columns.
  if (j % 2 != 0) {
    FinishTwoByteCharacter(paint, i, j, y);
    return;
  }
  if (!HasNextByte(paint, i)) {
    DrawPlainByte(paint, i, j, y);
    return;
  }
  // The code unit and a space: a half-width character leaves its second cell
  // blank, a full-width one fills both and the space runs into the next cell,
  // which the next code unit draws over. Halves of a surrogate pair each show
  // alone.
  const char16_t units[2] = {Utf16LeUnit(paint.state.data + i), u' '};
  DrawTwoByteCharacter(paint, i, j, y, units, 2);
}

void DrawUtf8Cell(TextCellPaint& paint, std::uint32_t i, std::uint32_t j, std::uint32_t k, std::int32_t y) {
  TextDecoderState& decoder = paint.decoder;
  if (decoder.textPending != 0) {
    // A continuation byte: blank in the next row, where the sequence's own
    // spaces did not reach; in the sequence's row already blanked.
    if (k != decoder.sequenceRow) DrawTextUnits(paint, j, y, kSpaces, 1);
    --decoder.textPending;
    return;
  }
  const std::uint8_t b = paint.state.data[i];
  const ColumnUtf8Lead lead = ColumnUtf8LeadOf(b);
  if (lead.length < 2 || !IsWholeUtf8Sequence(paint, i, lead.length)) {
    // Not a sequence: the following bytes are decoded afresh, so a stray
    // continuation byte shows as its own code unit.
    DrawPlainByte(paint, i, j, y);
    return;
  }
  // Blank the cells of the whole sequence in the lead's pair; near the end of
  // a row the spaces run on into the right margin.
  DrawTextUnits(paint, j, y, kSpaces, lead.length);
  std::uint32_t v = lead.bits;
  for (std::uint32_t m = 1; m < lead.length; ++m) v = v * 64 + (paint.state.data[i + m] & 0x3Fu);
  char16_t units[2];
  DrawTextUnits(paint, j, y, units, ColumnUtf8Units(v, lead.length, units));
  decoder.textPending = lead.length - 1;
  decoder.sequenceRow = k;
}
