// "HTML Format": a header of "Name:value" lines that gives the byte offsets
// of the HTML and of the fragment the user copied, then the HTML.
#pragma once

#include <cstdint>

#include "formats/lines.h"

// Every header field; checks that the numbers lie in the data and in order,
// that <!--StartFragment--> and <!--EndFragment--> stand at the offsets
// claimed, and whether offsets look counted in characters rather than bytes;
// the fragment as UTF-8 text, cut at 4 KiB.
Lines InterpretHtml(const std::uint8_t* data, std::uint32_t length);

// What the pane shows of the fragment at most.
constexpr std::uint32_t kFragmentShownBytes = 4096;
