// What the first bytes of any data look like: "PNG", "JPEG", "UTF-16 text" …
#pragma once

#include <cstdint>
#include <string>

// The kind of content the first bytes suggest, or an empty text when they
// suggest none.
std::string SniffContent(const std::uint8_t* data, std::uint32_t length);
