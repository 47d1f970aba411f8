// Registration of the private clipboard formats by static initialisation, so
// that their numbers are known before the entry runs.
#include <windows.h>

#include "app/privateformats.h"

namespace {

std::uint32_t RegisterPrivateFormat(const char* name) {
  return ::RegisterClipboardFormatA(name);  // 0 on failure: matches no format
}

}  // namespace

// Defined in one translation unit, in the order of registration.
std::uint32_t g_binaryDataFormat = RegisterPrivateFormat("BinaryData");
std::uint32_t g_fileNameFormat = RegisterPrivateFormat("FileName");
std::uint32_t g_fileNameWFormat = RegisterPrivateFormat("FileNameW");
