// What the user reads before a file goes back on the clipboard: the formats
// it holds with their sizes, then the question.
#pragma once

#include <cstdint>
#include <string>

#include "capture/clpfile.h"

// The formats listed before the question; more are counted in one line.
inline constexpr std::uint32_t kMostListedFormats = 24;

// "CF_UNICODETEXT, 26 bytes" lines, a blank line, and
// "Put these 12 formats on the clipboard? It replaces what the clipboard holds now."
std::string RestoreQuestion(const ClpDirectory& directory);
