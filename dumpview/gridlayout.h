// The dump view's grid of character columns, 79 of them (0..78), on which
// each row shows its sixteen bytes:
//
//   0..11   the row's address
//   12      a blank before the first byte's digits
//   13 + 3j, 14 + 3j   the two hex digits of byte j, a blank after each but
//           the last byte (12 + 3j is the column left of byte j's digits)
//   60, 61  blanks between the hex and the text column
//   62 + j  the text cell of byte j
//   78      a blank after the text column
#pragma once

#include <cstdint>

constexpr std::uint32_t kBytesPerRow = 16;
constexpr std::uint32_t kLastByteInRow = kBytesPerRow - 1;
constexpr std::uint32_t kLastGridColumn = 78;  // the 79-column grid is 0..78
constexpr std::uint32_t kGridColumns = kLastGridColumn + 1;

// The row of byte index i, its place j in that row, and the index of a row's
// first byte.
constexpr std::uint32_t RowOfByte(std::uint32_t i) { return i / kBytesPerRow; }
constexpr std::uint32_t PlaceInRow(std::uint32_t i) { return i % kBytesPerRow; }
constexpr std::uint64_t RowStart(std::uint64_t row) { return row * kBytesPerRow; }

// Grid columns of byte j (0..15) of a row: its first and second hex digit,
// the blank column left of its digits, and its text cell.
constexpr std::uint32_t HexColumn(std::uint32_t j) { return 13 + 3 * j; }
constexpr std::uint32_t HexSecondDigitColumn(std::uint32_t j) { return HexColumn(j) + 1; }
constexpr std::uint32_t ColumnBeforeHex(std::uint32_t j) { return HexColumn(j) - 1; }
constexpr std::uint32_t TextColumn(std::uint32_t j) { return 62 + j; }

// The last column of the hex digits (byte 15's second digit) and the first of
// the two blanks between the hex and the text column.
constexpr std::uint32_t kLastHexColumn = HexSecondDigitColumn(kLastByteInRow);
constexpr std::uint32_t kHexTextGapColumn = kLastHexColumn + 1;
