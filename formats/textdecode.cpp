#include "formats/textdecode.h"

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

std::string WithoutControls(std::string text) {
  for (char& c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte < 0x20 && byte != '\t') || byte == 0x7F) c = ' ';
  }
  return text;
}

// TEMPORARY until encoding/ lands: replaced by its decoders.
namespace {
void AppendCodePoint(std::string& out, std::uint32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | cp >> 6);
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | cp >> 12);
    out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | cp >> 18);
    out += static_cast<char>(0x80 | (cp >> 12 & 0x3F));
    out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}
}  // namespace

std::string Utf8OfUtf16Units(const std::uint8_t* bytes, std::uint32_t unitCount) {
  std::string out;
  for (std::uint32_t i = 0; i < unitCount; ++i) {
    const std::uint32_t u = bytes[2 * i] | bytes[2 * i + 1] << 8;
    if (u >= 0xD800 && u < 0xDC00 && i + 1 < unitCount) {
      const std::uint32_t v = bytes[2 * i + 2] | bytes[2 * i + 3] << 8;
      if (v >= 0xDC00 && v < 0xE000) {
        AppendCodePoint(out, 0x10000 + ((u - 0xD800) << 10) + (v - 0xDC00));
        ++i;
        continue;
      }
    }
    AppendCodePoint(out, (u & 0xF800) == 0xD800 ? 0xFFFD : u);
  }
  return out;
}

namespace {
// TEMPORARY until encoding/ lands.
std::uint32_t SequenceLength(const std::uint8_t* b, std::uint32_t left) {
  const std::uint8_t lead = b[0];
  std::uint32_t n = lead < 0x80                   ? 1
                    : lead >= 0xC2 && lead < 0xE0 ? 2
                    : lead >= 0xE0 && lead < 0xF0 ? 3
                    : lead >= 0xF0 && lead < 0xF5 ? 4
                                                  : 0;
  if (n == 0 || n > left) return 0;
  for (std::uint32_t i = 1; i < n; ++i) {
    if ((b[i] & 0xC0) != 0x80) return 0;
  }
  return n;
}
}  // namespace

std::uint64_t Utf16LengthOfUtf8(const std::uint8_t* bytes, std::uint32_t count) {
  std::uint64_t units = 0;
  for (std::uint32_t i = 0; i < count;) {
    const std::uint32_t n = SequenceLength(bytes + i, count - i);
    units += n == 4 ? 2 : 1;
    i += n == 0 ? 1 : n;
  }
  return units;
}

std::uint32_t ByteOffsetOfUtf16Index(const std::uint8_t* bytes, std::uint32_t count,
                                     std::uint64_t unitIndex) {
  std::uint64_t units = 0;
  for (std::uint32_t i = 0; i <= count;) {
    if (units == unitIndex) return i;
    if (i == count || units > unitIndex) break;
    const std::uint32_t n = SequenceLength(bytes + i, count - i);
    units += n == 4 ? 2 : 1;
    i += n == 0 ? 1 : n;
  }
  return kNoIndex;
}

std::uint32_t Utf8PrefixLength(const std::uint8_t* bytes, std::uint32_t count, std::uint32_t limit) {
  std::uint32_t i = 0;
  while (i < count) {
    const std::uint32_t n = SequenceLength(bytes + i, count - i);
    const std::uint32_t step = n == 0 ? 1 : n;
    if (i + step > limit) break;
    i += step;
  }
  return i;
}

std::uint32_t ValidUtf8Length(const std::uint8_t* bytes, std::uint32_t count) {
  std::uint32_t i = 0;
  while (i < count) {
    const std::uint32_t n = SequenceLength(bytes + i, count - i);
    if (n == 0) break;
    i += n;
  }
  return i;
}

std::string Utf8OfUtf8Bytes(const std::uint8_t* bytes, std::uint32_t count) {
  std::string out;
  out.reserve(count);
  for (std::uint32_t i = 0; i < count;) {
    const std::uint32_t n = SequenceLength(bytes + i, count - i);
    if (n == 0) {
      out += "\xEF\xBF\xBD";
      ++i;
    } else {
      out.append(reinterpret_cast<const char*>(bytes + i), n);
      i += n;
    }
  }
  return out;
}
