// The three private clipboard formats. Their numbers are registered by static
// initialisation before the entry runs and never change afterwards; a failed
// registration leaves 0, which matches no clipboard format.
#pragma once
#include <cstdint>

extern std::uint32_t g_binaryDataFormat;  // "BinaryData"
extern std::uint32_t g_fileNameFormat;    // "FileName"
extern std::uint32_t g_fileNameWFormat;   // "FileNameW"
