// A dump view state for painting tests, sized the way the control sizes
// itself, with six colours distinct enough to tell every pair apart.
#pragma once

#include <cstdint>
#include <vector>

#include "dumpview/dumpviewstate.h"
#include "dumpview/paint.h"
#include "gridcanvas.h"

namespace paintfixture {

constexpr ColorRef kText = 0x00000010;
constexpr ColorRef kBack = 0x00FFFFF0;
constexpr ColorRef kHeaderText = 0x00000020;
constexpr ColorRef kHeaderBack = 0x00C0C0C0;
constexpr ColorRef kSelText = 0x00FFFF30;
constexpr ColorRef kSelBack = 0x00804000;

// Letters of the colour pairs: header, data, selection, and the separator
// after the last selected byte (selection text colour on the data background).
inline std::vector<GridCanvas::Pair> Legend() {
  return {{'H', kHeaderText, kHeaderBack},
          {'D', kText, kBack},
          {'S', kSelText, kSelBack},
          {'d', kSelText, kBack}};
}

// pageRows and pageColumns as the control computes them for a client area,
// in 32-bit unsigned arithmetic (a client lower than the header band wraps
// and so shows every row).
inline void SizeTo(DumpViewState& state, ClientSize client) {
  const DumpGeometry g = GeometryOf(state);
  std::uint32_t rows = (client.height - g.headerBand) / g.rowPitch;
  if (rows > LastRow(state)) rows = LastRow(state) + 1;
  SetPageRows(state, rows);
  std::uint32_t columns = client.width / g.cellWidth;
  if (columns > kLastGridColumn) columns = kGridColumns;
  SetPageColumns(state, columns);
}

// A view of data with a 16-pixel font (8 x 16 cells), as after DVM_SETDATA
// and a WM_SIZE to client.
inline DumpViewState MakeState(const std::uint8_t* data, std::uint32_t length, ClientSize client) {
  DumpViewState s{};
  s.data = data;
  s.dataLength = length;
  s.fontHeight = 16;
  s.vScroll = ScrollRecord{28, kScrollRecordMask, 0, 0, 0, 0, 0};
  s.hScroll = ScrollRecord{28, kScrollRecordMask, 0, static_cast<std::int32_t>(kLastGridColumn), 0, 0, 0};
  s.codePage = kDefaultCodePage;
  s.textColor = kText;
  s.backColor = kBack;
  s.headerTextColor = kHeaderText;
  s.headerBackColor = kHeaderBack;
  s.selTextColor = kSelText;
  s.selBackColor = kSelBack;
  SetLastRow(s, length / 16);
  SizeTo(s, client);
  return s;
}

inline GridCanvas CanvasFor(ClientSize client) {
  return GridCanvas(static_cast<std::int32_t>(client.width), static_cast<std::int32_t>(client.height), 8, 16);
}

// Bytes 0x41 ('A') upwards, wrapping within the printable range.
inline std::vector<std::uint8_t> Letters(std::size_t count) {
  std::vector<std::uint8_t> bytes(count);
  for (std::size_t n = 0; n < count; ++n) bytes[n] = static_cast<std::uint8_t>(0x41 + n % 26);
  return bytes;
}

// Text top of visible row k with the 16-pixel font.
constexpr std::int32_t RowY(std::int32_t k) { return 28 + 18 * k; }
constexpr std::int32_t kHeaderY = 4;

}  // namespace paintfixture
