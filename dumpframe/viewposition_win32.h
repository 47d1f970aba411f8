// Where the dump view stands (caret and scroll positions), kept across a
// new snapshot of the same format, through the view's messages alone.
#pragma once

#include <windows.h>

#include <cstdint>

struct ViewPosition {
  std::uint32_t caret;
  int topRow;
  int leftColumn;
};

ViewPosition ViewPositionOf(HWND view);

// After DVM_SETDATA: the caret goes back when it still fits the new data, and
// the view scrolls back as near to where it was as the new data allows.
void RestoreViewPosition(HWND view, const ViewPosition& position, std::uint32_t dataLength);
