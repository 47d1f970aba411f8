// Page sizes and scroll positions of the dump view: the arithmetic of
// WM_SIZE, WM_VSCROLL, WM_HSCROLL and DVM_SETDATA, and the platform calls
// each of them makes, in order, through the port.
#pragma once

#include <cstdint>

#include "dumpview/dumpviewport.h"
#include "dumpview/dumpviewstate.h"

// Whole rows below the header band in a client area clientHeight pixels high,
// at most lastRow + 1. A client lower than the header band wraps the
// subtraction to a huge value, which the clamp turns into lastRow + 1.
std::uint32_t PageRowsFor(const DumpViewState& state, std::uint32_t clientHeight);

// Whole grid columns in a client area clientWidth pixels wide, at most 79.
std::uint32_t PageColumnsFor(const DumpViewState& state, std::uint32_t clientWidth);

// The largest topRow that the view scrolls to by itself: lastRow + 1 - pageRows,
// where a page of no whole row counts as one, so that it is never past lastRow.
std::uint32_t BottomPosition(const DumpViewState& state);

// The largest leftColumn that the view scrolls to by itself: 79 - pageColumns.
std::uint32_t RightmostPosition(const DumpViewState& state);

// The position a scroll request leads to on one bar, from the current
// position, the page and the largest position. trackPosition is the position
// of ScrollThumbTrack, taken unchecked.
std::uint32_t ScrollTarget(std::uint32_t code, std::uint32_t position, std::uint32_t page,
                           std::uint32_t lastPosition, std::uint32_t trackPosition);

// WM_VSCROLL / WM_HSCROLL with the thumb position already resolved: moves
// topRow or leftColumn, publishes the bar, places the caret and repaints,
// whether or not the position changed.
void HandleScroll(DumpViewPort& port, DumpViewState& state, ScrollBar bar, std::uint32_t code,
                  std::uint32_t trackPosition);

// WM_SIZE: new page sizes, positions pulled back into range, caret, repaint.
// When publishing the vertical bar shows or hides it, the system's nested
// WM_SIZE for the changed width does the rest, and this one stops there.
void HandleSize(DumpViewPort& port, DumpViewState& state, std::uint32_t clientWidth,
                std::uint32_t clientHeight);

// DVM_SETDATA: new bytes with the caret, the selection and both positions
// reset, for a client area of the given size (or, when publishing the
// horizontal bar changed the client area, of the height that the nested
// WM_SIZE reported).
void HandleSetData(DumpViewPort& port, DumpViewState& state, const std::uint8_t* data, std::uint32_t length,
                   std::uint32_t clientWidth, std::uint32_t clientHeight);

// Thumb positions wider than 16 bits.
//
// WM_VSCROLL and WM_HSCROLL carry the SB_THUMBTRACK position in the 16-bit
// high word of wParam, too narrow for more than 65,536 rows. Two senders know
// the full position and hand it over beside the message:
//  - the control itself (caret following): ArmWideThumbTrack stores the
//    target in the record just before the message is sent; the handler takes
//    it when the message's high word is its low 16 bits, and
//  - the system tracking the standard scroll bar's thumb: the shell reads the
//    32-bit tracking position (GetScrollInfo with SIF_TRACKPOS) while the
//    system holds the window's capture, and passes it as systemTrackPos.
// Any other SB_THUMBTRACK, such as one a parent sends, sets exactly the
// position in its high word.
void ArmWideThumbTrack(DumpViewState& state, ScrollBar bar, std::uint32_t position);
void DisarmWideThumbTrack(DumpViewState& state);

// The position of an SB_THUMBTRACK with the given high word; consumes an
// armed wide position of that bar. systemTrackPos may be null.
std::uint32_t ThumbTrackPosition(DumpViewState& state, ScrollBar bar, std::uint16_t highWord,
                                 const std::uint32_t* systemTrackPos);

// A WM_VSCROLL or WM_HSCROLL as it arrives: code from the low word of wParam,
// highWord its high word. systemTrackPos as for ThumbTrackPosition.
void OnScrollMessage(DumpViewPort& port, DumpViewState& state, ScrollBar bar, std::uint32_t code,
                     std::uint16_t highWord, const std::uint32_t* systemTrackPos);
