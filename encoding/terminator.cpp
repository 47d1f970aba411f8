#include "encoding/terminator.h"

#include <cstring>

std::uint32_t FindZeroByte(const std::uint8_t* data, std::uint32_t length, std::uint32_t offset) {
  if (offset >= length) return kNoIndex;
  const void* zero = std::memchr(data + offset, 0, length - offset);
  return zero == nullptr ? kNoIndex
                         : static_cast<std::uint32_t>(static_cast<const std::uint8_t*>(zero) - data);
}

std::uint32_t FindZeroUnit(const std::uint8_t* data, std::uint32_t length, std::uint32_t offset) {
  for (std::uint64_t i = offset; i + 2 <= length; i += 2) {
    if (data[i] == 0 && data[i + 1] == 0) return static_cast<std::uint32_t>(i);
  }
  return kNoIndex;
}
