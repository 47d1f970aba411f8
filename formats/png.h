// PNG: the signature, the IHDR fields and the chunk list.
#pragma once

#include <cstdint>

#include "formats/lines.h"

// The IHDR fields; the chunk list with each chunk's offset, size and CRC
// check; what is wrong with the signature, a chunk's length or the end.
Lines InterpretPng(const std::uint8_t* data, std::uint32_t length);
