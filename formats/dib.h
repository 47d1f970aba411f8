// CF_DIB and CF_DIBV5: a packed DIB's header, read by the Picture view's own
// header reader.
#pragma once

#include <cstdint>

#include "formats/lines.h"

// Every field the header's size covers, where the masks, colour table and
// bits lie, and the reader's reason when it refuses the picture.
Lines InterpretDib(const std::uint8_t* data, std::uint32_t length);
