// Painting of the dump view: the header line, one line per row of sixteen
// bytes (address, hex cells, text column) and the erase of everything the
// text outputs leave uncovered. Reads the view's state, changes nothing in it,
// and keeps nothing from one paint to the next.
#pragma once

#include <cstdint>

#include "dumpview/canvas.h"
#include "dumpview/dumpviewstate.h"

// The header line over the sixteen hex cells and the text column, drawn from
// column 13 through column 77.
inline constexpr char kDumpHeaderLine[] = "00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F  0123456789ABCDEF";
inline constexpr std::uint32_t kDumpHeaderLength = sizeof(kDumpHeaderLine) - 1;  // 65

// Length of a row address, " 0x" + eight digits + " ".
inline constexpr std::uint32_t kRowAddressLength = 12;

// " 0x%07X0 " of row: seven upper-case hex digits of the row number and a
// literal 0, the address of the row's first byte. Rows that hold data are at
// most 0x0FFFFFFF, so seven digits always suffice.
void FormatRowAddress(std::uint32_t row, char16_t out[kRowAddressLength]);

// "%02X" of byte.
void FormatHexByte(std::uint8_t byte, char16_t out[2]);

// How many rows a paint draws from topRow on: pageRows + 1, the last one the
// partly visible row at the bottom or a row past the data, but never more
// than can show in a client area of this height (one row when the client is
// lower than the header band).
std::uint32_t PaintedRowCount(const DumpViewState& state, ClientSize client);

// WM_PAINT: draws the header line and every visible row in full.
void PaintDumpView(DumpCanvas& canvas, const DumpViewState& state, ClientSize client);

// WM_ERASEBKGND: fills the margins of the header line, the gaps between rows,
// the area right of the last column and the area below the data. False, with
// nothing filled, when a brush can't be made: the caller then lets the
// system erase with the class background.
bool EraseDumpView(DumpCanvas& canvas, const DumpViewState& state, ClientSize client);
