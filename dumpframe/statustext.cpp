#include "dumpframe/statustext.h"

std::string StatusTextOf(const std::string& formatText, bool wholeData, std::uint32_t length,
                         std::uint64_t sourceSize, bool cut) {
  if (!wholeData) return formatText;
  if (cut) {
    return formatText + ", first " + std::to_string(length) + " of " + std::to_string(sourceSize) + " bytes";
  }
  return formatText + ", " + std::to_string(length) + (length == 1 ? " byte" : " bytes");
}
