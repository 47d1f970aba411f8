// "Shell IDList Array": the shell's way of naming the items it copies, read
// from its bytes alone. A count, then count + 1 offsets: the folder's item
// list (absolute, from the desktop) and one list per item (relative to the
// folder). A list is shell items of a 16-bit size each (counting itself),
// ended by a size of 0.
#pragma once

#include <cstdint>

#include "formats/formatport.h"
#include "formats/lines.h"

// The count; each list's offset, size and number of items, its items as the
// common shell item kinds read (root folders with their GUID and the
// well-known ones named, drives with their letter, file-system items with
// their short and long names, others by type and size), and the path where
// the folder's and the item's lists together give one. A list that an
// earlier one already described is named as the same, not walked again.
Lines InterpretIdListArray(const std::uint8_t* data, std::uint32_t length, FormatPort& port);

// What the pane shows at most of one list's items.
constexpr std::uint32_t kMaxDescribedShellItems = 32;
