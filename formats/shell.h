// The shell's formats: dropped files (CF_HDROP), drop effects, file group
// descriptors and URLs ("Shell IDList Array" is formats/idlist.h).
#pragma once

#include <cstdint>

#include "formats/formatport.h"
#include "formats/lines.h"

// CF_HDROP: the DROPFILES fields, one line per file with its offset, and
// whether the list ends inside the data.
Lines InterpretDropFiles(const std::uint8_t* data, std::uint32_t length, FormatPort& port);

// "Preferred DropEffect", "Performed DropEffect", "Logical Performed
// DropEffect", "Paste Succeeded": a DROPEFFECT value and its names.
Lines InterpretDropEffect(const std::uint8_t* data, std::uint32_t length);

// "FileGroupDescriptorW" (wide) and "FileGroupDescriptor": the count, and per
// file its name and the size, attributes and times its flags say it holds.
Lines InterpretFileGroupDescriptor(const std::uint8_t* data, std::uint32_t length, bool wide,
                                   FormatPort& port);

// "UniformResourceLocatorW" (wide) and "UniformResourceLocator".
Lines InterpretUrl(const std::uint8_t* data, std::uint32_t length, bool wide, FormatPort& port);
