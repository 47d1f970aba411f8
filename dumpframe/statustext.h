// The dump window's status text: the format's text from the browser, and
// while Whole Data is on, how long the snapshot is.
#pragma once

#include <cstdint>
#include <string>

// formatText as it came, or with Whole Data its snapshot's length appended:
// "PNG(0xC017), 579 bytes"; a cut source says how much of it is shown:
// "..., first 4294967295 of 5000000000 bytes".
std::string StatusTextOf(const std::string& formatText, bool wholeData, std::uint32_t length,
                         std::uint64_t sourceSize, bool cut);
