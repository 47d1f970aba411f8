#include "dumpview/paint.h"

#include "dumpview/paintlayout.h"
#include "dumpview/textcell.h"

namespace {

constexpr char16_t kHexDigits[] = u"0123456789ABCDEF";
constexpr char kBlankAddress[] = "            ";  // twelve spaces
static_assert(sizeof(kBlankAddress) - 1 == kRowAddressLength, "a blank address is as wide as one");

void SetHeaderPair(DumpCanvas& canvas, const DumpViewState& state) {
  canvas.SetTextColor(state.headerTextColor);
  canvas.SetBackColor(state.headerBackColor);
}

void SetDataPair(DumpCanvas& canvas, const DumpViewState& state) {
  canvas.SetTextColor(state.textColor);
  canvas.SetBackColor(state.backColor);
}

void NarrowAt(TextCellPaint& paint, std::uint32_t column, std::int32_t y, const char* text,
              std::uint32_t count) {
  paint.canvas.TextNarrow(ColumnX(paint.state, paint.geometry, column), y, text, count);
}

// The row's address in the header pair, or twelve blanks when the row holds no
// byte. Row numbers and byte indexes are taken 64 bits wide so that a top row
// scrolled far past the data can't wrap around onto bytes at the start.
void PaintRowAddress(TextCellPaint& paint, std::uint64_t row, std::uint64_t rowStart, std::int32_t y) {
  SetHeaderPair(paint.canvas, paint.state);
  const std::int32_t x = ColumnX(paint.state, paint.geometry, 0);
  if (rowStart < paint.state.dataLength) {
    char16_t address[kRowAddressLength];
    FormatRowAddress(static_cast<std::uint32_t>(row), address);
    paint.canvas.TextWide(x, y, address, kRowAddressLength);
  } else {
    paint.canvas.TextNarrow(x, y, kBlankAddress, kRowAddressLength);
  }
}

// A position past the data: blanks over the cell's two hex columns and the
// spacer or separator before them, and over its text cell. No decoder runs and
// the colour pair stays as it is.
void PaintCellPastData(TextCellPaint& paint, std::uint32_t j, std::int32_t y) {
  NarrowAt(paint, ColumnBeforeHex(j), y, "   ", 3);
  NarrowAt(paint, TextColumn(j), y, " ", 1);
}

// Byte i in column j: its hex cell, its text cell, then the separator after
// it, each in the pair in force. The separator after the last selected byte
// gets the data background back.
void PaintByte(TextCellPaint& paint, std::uint32_t i, std::uint32_t j, std::uint32_t k, std::int32_t y) {
  const DumpViewState& state = paint.state;
  const SelectionSpan& span = paint.span;
  if (span.selecting) {
    if (IsSelected(span, i)) {
      SwitchToSelectionPair(paint);
    } else {
      SetDataPair(paint.canvas, state);
    }
  }
  char16_t hex[2];
  FormatHexByte(state.data[i], hex);
  paint.canvas.TextWide(ColumnX(state, paint.geometry, HexColumn(j)), y, hex, 2);
  DrawTextCell(paint, i, j, k, y);
  if (span.selecting && i == span.selEnd) {
    paint.canvas.SetBackColor(state.backColor);
  }
  if (j < kLastByteInRow) {
    NarrowAt(paint, ColumnBeforeHex(j + 1), y, " ", 1);
  }
}

// Visible row k in full: address, spacers, then the sixteen positions from
// left to right. Later outputs overwrite earlier ones where they overlap.
void PaintRow(TextCellPaint& paint, std::uint32_t k) {
  const std::uint64_t row = static_cast<std::uint64_t>(TopRow(paint.state)) + k;
  const std::uint64_t rowStart = RowStart(row);
  const std::int32_t y = RowTextTop(paint.geometry, k);
  PaintRowAddress(paint, row, rowStart, y);
  SetDataPair(paint.canvas, paint.state);
  NarrowAt(paint, kHexTextGapColumn, y, "  ", 2);
  NarrowAt(paint, ColumnBeforeHex(0), y, " ", 1);
  NarrowAt(paint, kLastGridColumn, y, " ", 1);
  for (std::uint32_t j = 0; j < kBytesPerRow; ++j) {
    const std::uint64_t index = rowStart + j;
    if (index >= paint.state.dataLength) {
      PaintCellPastData(paint, j, y);
    } else {
      PaintByte(paint, static_cast<std::uint32_t>(index), j, k, y);
    }
  }
}

// An unsigned pixel distance (a sum of a few 32-bit values) as a drawing
// position.
std::int32_t Pixel(std::uint64_t value) { return SaturatedPixel(static_cast<std::int64_t>(value)); }

// Fills the band top..bottom across the client: header background left of
// column 12 beside the address column and data background from there on, or
// data background throughout once the address column is scrolled away.
void FillAddressSplit(DumpCanvas& canvas, const DumpViewState& state, const DumpGeometry& geometry,
                      std::int32_t right, std::int32_t top, std::int32_t bottom, CanvasBrush* headerBrush,
                      CanvasBrush* dataBrush) {
  if (LeftColumn(state) >= ColumnBeforeHex(0)) {
    canvas.Fill({0, top, right, bottom}, dataBrush);
    return;
  }
  const std::int32_t split = ColumnX(state, geometry, ColumnBeforeHex(0));
  canvas.Fill({0, top, split, bottom}, headerBrush);
  canvas.Fill({split, top, right, bottom}, dataBrush);
}

// Rows of the data from topRow on: the empty data still counts one row.
std::uint32_t ShownDataRows(const DumpViewState& state) {
  const std::uint32_t dataRows = state.dataLength == 0 ? 1 : RowOfByte(state.dataLength - 1) + 1;
  return dataRows > TopRow(state) ? dataRows - TopRow(state) : 0;
}

}  // namespace

void FormatRowAddress(std::uint32_t row, char16_t out[kRowAddressLength]) {
  out[0] = u' ';
  out[1] = u'0';
  out[2] = u'x';
  for (int digit = 0; digit < 7; ++digit) {
    out[3 + digit] = kHexDigits[(row >> (4 * (6 - digit))) & 0xF];
  }
  out[10] = u'0';
  out[11] = u' ';
}

void FormatHexByte(std::uint8_t byte, char16_t out[2]) {
  out[0] = kHexDigits[byte >> 4];
  out[1] = kHexDigits[byte & 0xF];
}

std::uint32_t PaintedRowCount(const DumpViewState& state, ClientSize client) {
  const DumpGeometry geometry = GeometryOf(state);
  // Rows whose text can start inside the client; with pageRows clamped to the
  // data this is never the smaller one, except when the client is lower than
  // the header band and pageRows has become the whole data.
  std::uint32_t fitting = 0;
  if (client.height >= geometry.headerBand && geometry.rowPitch != 0) {
    fitting = (client.height - geometry.headerBand) / geometry.rowPitch;
  }
  const std::uint32_t lastShown = PageRows(state) < fitting ? PageRows(state) : fitting;
  return lastShown == 0xFFFFFFFFu ? lastShown : lastShown + 1;
}

void PaintDumpView(DumpCanvas& canvas, const DumpViewState& state, ClientSize client) {
  TextCellPaint paint{canvas, state, GeometryOf(state), SelectionSpanOf(state), {0, 0}};
  SetHeaderPair(canvas, state);
  NarrowAt(paint, 13, static_cast<std::int32_t>(paint.geometry.textInset), kDumpHeaderLine,
           kDumpHeaderLength);
  const std::uint32_t rows = PaintedRowCount(state, client);
  for (std::uint32_t k = 0; k < rows; ++k) {
    PaintRow(paint, k);
  }
}

bool EraseDumpView(DumpCanvas& canvas, const DumpViewState& state, ClientSize client) {
  CanvasBrush* headerBrush = canvas.CreateBrush(state.headerBackColor);
  if (headerBrush == nullptr) return false;
  CanvasBrush* dataBrush = canvas.CreateBrush(state.backColor);
  if (dataBrush == nullptr) {
    canvas.ReleaseBrush(headerBrush);
    return false;
  }
  const DumpGeometry g = GeometryOf(state);
  const std::int32_t right = Pixel(client.width);
  const std::int32_t bottom = Pixel(client.height);
  const std::int32_t textInset = Pixel(g.textInset);
  const std::int32_t headerTextBottom = Pixel(static_cast<std::uint64_t>(g.textInset) + g.fontHeight);
  const std::int32_t headerBand = Pixel(g.headerBand);
  const std::int32_t firstGapBottom = Pixel(static_cast<std::uint64_t>(g.headerBand) + g.rowGap);

  // The header band around the header text.
  canvas.Fill({0, 0, right, textInset}, headerBrush);
  canvas.Fill({0, headerTextBottom, right, headerBand}, headerBrush);
  canvas.Fill({ColumnX(state, g, kLastGridColumn), textInset, right, headerTextBottom}, headerBrush);
  canvas.Fill({0, textInset, ColumnX(state, g, HexColumn(0)), headerTextBottom}, headerBrush);

  // The gap above the first row's text.
  FillAddressSplit(canvas, state, g, right, headerBand, firstGapBottom, headerBrush, dataBrush);

  // Right of the last column, below the header band. Compared as unsigned
  // numbers, so a grid scrolled wholly off to the left skips it.
  const std::int32_t gridRight = ColumnX(state, g, kGridColumns);
  if (client.width > static_cast<std::uint32_t>(gridRight) && client.height > g.headerBand) {
    canvas.Fill({gridRight, headerBand, right, bottom}, dataBrush);
  }

  // Below the last data row's text. Taken 64 bits wide: four gigabytes of rows
  // times the row pitch would wrap in 32 bits and land inside the rows.
  const std::uint32_t shownRows = ShownDataRows(state);
  const std::uint64_t below = static_cast<std::uint64_t>(g.headerBand) + g.rowGap +
                              static_cast<std::uint64_t>(shownRows) * g.rowPitch;
  if (client.height > below) {
    FillAddressSplit(canvas, state, g, right, Pixel(below), bottom, headerBrush, dataBrush);
  }

  // The strip above the text of each shown data row (the second one above the
  // first row), for as many rows as the paint draws.
  const std::uint32_t paintedRows = PaintedRowCount(state, client);
  const std::uint32_t gaps = shownRows < paintedRows ? shownRows : paintedRows;
  for (std::uint32_t n = 0; n < gaps; ++n) {
    const std::uint64_t top =
        static_cast<std::uint64_t>(g.headerBand) + g.rowGap + static_cast<std::uint64_t>(n) * g.rowPitch;
    FillAddressSplit(canvas, state, g, right, Pixel(top), Pixel(top + g.rowGap), headerBrush, dataBrush);
  }

  canvas.ReleaseBrush(headerBrush);
  canvas.ReleaseBrush(dataBrush);
  return true;
}
