#include "dumpview/messages.h"

#include <algorithm>
#include <iterator>

#include "dumpview/caret.h"
#include "dumpview/dumpview.h"
#include "dumpview/scrolling.h"

namespace {

constexpr std::uint32_t kColorRepaint = RedrawInvalidate | RedrawErase;
constexpr std::uint32_t kCodePageRepaint = RedrawInvalidate | RedrawUpdateNow;
constexpr std::uint32_t kLastByte = 0xFFFFFFFFu;

void Store(std::uint32_t* destination, std::uint32_t value) {
  if (destination != nullptr) *destination = value;
}

using ColorMember = ColorRef DumpViewState::*;

// The colour fields in the order of the DVC_ indexes: text before background
// in each pair.
ColorMember ColorField(std::uint32_t index) {
  static constexpr ColorMember kFields[] = {&DumpViewState::textColor,       &DumpViewState::backColor,
                                            &DumpViewState::headerTextColor, &DumpViewState::headerBackColor,
                                            &DumpViewState::selTextColor,    &DumpViewState::selBackColor};
  static_assert(DVC_TEXT == 0 && DVC_SELBACK == 5, "the DVC_ indexes count the fields");
  return index < std::size(kFields) ? kFields[index] : nullptr;
}

}  // namespace

std::uint32_t GetSelection(const DumpViewState& state, std::uint32_t* first, std::uint32_t* last) {
  if ((state.flags & Selecting) != 0 && state.anchor != state.caret) {
    Store(first, std::min(state.anchor, state.caret));
    Store(last, std::max(state.anchor, state.caret) - 1);
    return 1;
  }
  Store(first, 0);
  Store(last, 0);
  return 0;
}

std::uint32_t SetSelection(DumpViewPort& port, DumpViewState& state, std::uint32_t caretEnd,
                           std::uint32_t anchorStart) {
  if (anchorStart > caretEnd || anchorStart > state.dataLength) return 0;
  if (caretEnd == kLastByte) {
    // With no bytes there is no last byte to stand on.
    if (state.dataLength == 0) return 0;
    caretEnd = state.dataLength - 1;
  } else if (caretEnd > state.dataLength) {
    return 0;
  }
  state.anchor = anchorStart;
  state.caret = caretEnd;
  state.flags = static_cast<std::uint8_t>(state.flags | Selecting);
  EnsureCaretVisible(port, state);
  return 0;
}

std::uint32_t SetCaretPosition(DumpViewPort& port, DumpViewState& state, std::uint32_t caret) {
  // A caller may hold a length from an earlier DVM_SETDATA: a caret past the
  // data would scroll its only rows out of reach.
  state.caret = caret < state.dataLength ? caret : state.dataLength;
  EnsureCaretVisible(port, state);
  return 0;
}

std::uint32_t GetCaretPosition(const DumpViewState& state) { return state.caret; }

std::uint32_t GetCodePage(const DumpViewState& state) { return state.codePage; }

std::uint32_t SetCodePage(DumpViewPort& port, DumpViewState& state, std::uint32_t codePage) {
  state.codePage = static_cast<std::uint16_t>(codePage & 0xFFFFu);
  port.Redraw(kCodePageRepaint);
  return 0;
}

ColorRef GetColor(DumpViewPort& port, const DumpViewState& state, std::uint32_t index) {
  if (ColorMember field = ColorField(index)) return state.*field;
  port.Redraw(kColorRepaint);
  return 0;
}

std::uint32_t SetColor(DumpViewPort& port, DumpViewState& state, std::uint32_t index, ColorRef color) {
  if (ColorMember field = ColorField(index)) state.*field = color;
  port.Redraw(kColorRepaint);
  return 0;
}

void ApplyFontHeight(DumpViewPort& port, DumpViewState& state, std::uint32_t fontHeight, ClientSize client) {
  state.fontHeight = fontHeight;
  RecreateCaret(port, state);
  HandleSize(port, state, client.width, client.height);
}
