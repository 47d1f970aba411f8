// The dump view's private messages apart from data, scrolling and search:
// selection, caret, code page and colours. Each function is the whole work
// of one DVM_ message and answers its result.
#pragma once

#include <cstdint>

#include "dumpview/dumpviewport.h"
#include "dumpview/dumpviewstate.h"

// DVM_GETSEL: the first and the last selected byte, result 1; or 0 and 0,
// result 0, when no byte is selected. A null destination is skipped.
std::uint32_t GetSelection(const DumpViewState& state, std::uint32_t* first, std::uint32_t* last);

// DVM_SETSEL: selects from anchorStart up to the caret at caretEnd
// (0xFFFFFFFF: the last byte) and scrolls to the caret; a request outside
// the data changes nothing. Result 0.
std::uint32_t SetSelection(DumpViewPort& port, DumpViewState& state, std::uint32_t caretEnd,
                           std::uint32_t anchorStart);

// DVM_SETCARET: stores the caret, a position past the data taken as its end,
// and scrolls to it.
std::uint32_t SetCaretPosition(DumpViewPort& port, DumpViewState& state, std::uint32_t caret);

// DVM_GETCARET.
std::uint32_t GetCaretPosition(const DumpViewState& state);

// DVM_GETCODEPAGE / DVM_SETCODEPAGE: only the low 16 bits are kept.
std::uint32_t GetCodePage(const DumpViewState& state);
std::uint32_t SetCodePage(DumpViewPort& port, DumpViewState& state, std::uint32_t codePage);

// DVM_GETCOLOR: the colour under a DVC_ index; 0, and a repaint, for any
// other index.
ColorRef GetColor(DumpViewPort& port, const DumpViewState& state, std::uint32_t index);

// DVM_SETCOLOR: stores the colour under a valid index, then repaints in any
// case. Result 0.
std::uint32_t SetColor(DumpViewPort& port, DumpViewState& state, std::uint32_t index, ColorRef color);

// DVM_SETDPI, after the shell has made the cell font of fontHeight pixels:
// the cell metrics, the pages for the client area and the system caret
// follow the new height. The caret's byte, the selection and the top row
// stay; the top row and the first column are only pulled back where the new
// pages would reach past the last row or column.
void ApplyFontHeight(DumpViewPort& port, DumpViewState& state, std::uint32_t fontHeight, ClientSize client);
