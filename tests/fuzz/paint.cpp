// Painting and erasing the dump view over hostile states: random bytes in a
// buffer of exactly their length, any font height the control accepts, a
// client up to 4096 pixels wide and up to 32 rows high, scroll positions
// anywhere in 32 bits (past the data included), any code page, caret, anchor
// and flags. The canvas checks where every output lands and that the work
// stays proportional to the rows shown (tests/fuzz/fuzzcanvas.h).
#include "dumpview/scrolling.h"
#include "fuzzcanvas.h"
#include "fuzztarget.h"

namespace {

// Each of the five decoders comes up as often as the others: the four
// multi-byte code pages and the default one (1252, or now and then any other
// 16-bit value).
std::uint16_t PickCodePage(fuzz::Input& in) {
  static constexpr std::uint16_t kDecoded[] = {1252, 932, 51932, 1200, 65001};
  const std::uint8_t pick = in.U8();
  const std::uint16_t any = in.U16();
  return pick >= 240 ? any : kDecoded[pick % 5];
}

// The page sizes as the control computes them for the client, or, when
// anyPage, the values picked.
void SizeState(DumpViewState& state, ClientSize client, bool anyPage, std::uint32_t pageRows,
               std::uint32_t pageColumns) {
  SetPageRows(state, anyPage ? pageRows : PageRowsFor(state, client.height));
  SetPageColumns(state, anyPage ? pageColumns : PageColumnsFor(state, client.width));
}

// A position picked as anything at all, or within 0..hi.
std::uint32_t Within(bool anything, std::uint32_t value, std::uint32_t hi) {
  return anything ? value : static_cast<std::uint32_t>(value % (static_cast<std::uint64_t>(hi) + 1));
}

}  // namespace

KELVANE_FUZZ_TARGET(paint) {
  fuzz::Input in(data, size);
  DumpViewState state{};
  state.fontHeight = in.Range(2, 0x7FFF);
  // Any height up to one that shows 32 rows: taller clients only repeat the
  // same rows and would slow every input down.
  const DumpGeometry g = GeometryOf(state.fontHeight);
  const std::uint32_t tallest = g.headerBand + 33 * g.rowPitch - 1;
  const ClientSize client{in.Range(0, 4096), in.Range(0, tallest < 0xFFFF ? tallest : 0xFFFF)};
  state.codePage = PickCodePage(in);
  state.flags = in.U8();
  // Colours only pass through to the canvas: six distinct ones will do.
  state.backColor = 0xFFFFFF;
  state.textColor = 0x000000;
  state.headerBackColor = 0xC0C0C0;
  state.headerTextColor = 0x101010;
  state.selBackColor = 0x804000;
  state.selTextColor = 0xFFFF30;
  const std::uint32_t failBrush = in.U8() % 8;  // 0: every brush can be made
  const std::uint32_t topRowPick = in.U32(), leftPick = in.U32(), caretPick = in.U32(), anchorPick = in.U32(),
                      pickFlags = in.U8();
  const std::uint32_t pageRowsPick = in.U32(), pageColumnsPick = in.U32();

  const fuzz::ExactBytes bytes(in.rest(), in.restSize() > 0xFFFFFFFFu ? 0xFFFFFFFFu : in.restSize());
  state.data = bytes.data();
  state.dataLength = static_cast<std::uint32_t>(bytes.size());
  SetLastRow(state, state.dataLength / 16);
  state.hScroll.nMax = static_cast<std::int32_t>(kLastGridColumn);
  SizeState(state, client, (pickFlags & 16) != 0, pageRowsPick, pageColumnsPick);
  SetTopRow(state, Within(pickFlags & 1, topRowPick, LastRow(state)));
  SetLeftColumn(state, Within(pickFlags & 2, leftPick, kLastGridColumn));
  state.caret = Within(pickFlags & 4, caretPick, state.dataLength);
  state.anchor = Within(pickFlags & 8, anchorPick, state.dataLength);

  {
    fuzz::CheckingCanvas canvas(state, client, failBrush);
    EraseDumpView(canvas, state, client);
    canvas.CheckFinished();
  }
  {
    fuzz::CheckingCanvas canvas(state, client, failBrush);
    PaintDumpView(canvas, state, client);
    canvas.CheckFinished();
    // Never more rows than fit the client (one when it is lower than the
    // header band), and never more than the page and the partly shown row.
    FUZZ_CHECK(PaintedRowCount(state, client) <= canvas.maxRows());
  }
}
