// CF_LOCALE: the locale of the text on the clipboard, a 32-bit LCID.
#pragma once

#include <cstdint>

#include "formats/formatport.h"
#include "formats/lines.h"

// The LCID, its locale name, and the ANSI and OEM code pages the system
// converts text through for it.
Lines InterpretLocale(const std::uint8_t* data, std::uint32_t length, FormatPort& port);
