// "Rich Text Format": groups, control words and text.
#pragma once

#include <cstdint>

#include "formats/formatport.h"
#include "formats/lines.h"

// The \rtf version, \ansicpg, the default font, the font table's names and
// the first 2 KiB of visible text: \'hh decoded in the document's code page,
// \uN decoded, destinations and control words skipped.
Lines InterpretRtf(const std::uint8_t* data, std::uint32_t length, FormatPort& port);

constexpr std::uint32_t kRtfTextShownBytes = 2048;
