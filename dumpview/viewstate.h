// Creation and destruction of a dump view's state record, apart from the
// system calls: the record's allocation, the font height chosen from the
// creation parameter and the values every field starts with.
#pragma once

#include <cstddef>
#include <cstdint>

#include "dumpview/dumpviewstate.h"

// Smallest and largest font heights the control works with. Below 2 the cell
// width is 0 and every page computation would divide by it; far above any
// real screen the pixel arithmetic of the layout would wrap.
constexpr std::uint32_t kMinFontHeight = 2;
constexpr std::uint32_t kMaxFontHeight = 0x7FFF;

// The font height for a creation parameter: 0 asks for the system's default,
// 12 points at the screen's resolution (MulDiv(12, dots per inch, 72)); any
// other value is the height in pixels. Either is raised to kMinFontHeight or
// lowered to kMaxFontHeight.
std::uint32_t FontHeightFromCreateParam(std::uintptr_t createParam, std::int32_t twelvePointHeight);

// The font height for a screen of dpi dots per inch: the height chosen at
// creation scaled from the resolution it was chosen for (baseFontHeight and
// baseDpi), with the same bounds. An unknown resolution (0) on either side
// keeps the height chosen at creation.
std::uint32_t FontHeightForDpi(const DumpViewState& state, std::uint32_t dpi);

// The six default colours in the record's order: back, text, header back,
// header text, selection back, selection text.
struct DefaultColors {
  ColorRef back;
  ColorRef text;
  ColorRef headerBack;
  ColorRef headerText;
  ColorRef selBack;
  ColorRef selText;
};

// Fills a zeroed record with its values after creation: the scroll records,
// no data, code page 1252, caret 0, no flags, the colours, and
// WheelFromSystem when the system is of the NT platform. The font is set by
// the caller; baseDpi, the resolution the font height is for, too.
void InitDumpViewState(DumpViewState& state, std::uint32_t fontHeight, const DefaultColors& colors,
                       bool ntPlatform);

// Allocates a zero-filled record; null when memory is short.
DumpViewState* AllocateDumpViewState();
void FreeDumpViewState(DumpViewState* state);

// Replaces the allocation used by AllocateDumpViewState (null restores the
// default). The allocator returns memory that std::free releases, or null.
// Lets a test make creation run out of memory.
using DumpViewStateAllocator = void* (*)(std::size_t size);
void SetDumpViewStateAllocator(DumpViewStateAllocator allocator);
