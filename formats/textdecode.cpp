#include "formats/textdecode.h"

#include <vector>

#include "encoding/unicode.h"

std::string WithoutControls(std::string text) {
  for (char& c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte < 0x20 && byte != '\t') || byte == 0x7F) c = ' ';
  }
  return text;
}

namespace {

void AppendUnits(std::string& out, const DecodedChar& c) {
  std::vector<std::uint8_t> utf8;
  // The decoders give U+FFFD for what is no character, so the units always
  // pair up.
  Utf16ToUtf8(c.units, c.unitCount, utf8);
  out.append(utf8.begin(), utf8.end());
}

}  // namespace

std::string Utf8OfUtf16Units(const std::uint8_t* bytes, std::uint32_t unitCount) {
  std::string out;
  const std::size_t size = static_cast<std::size_t>(unitCount) * 2;
  for (std::size_t i = 0; i < size;) {
    const DecodedChar c = DecodeUtf16Le(bytes + i, size - i);
    AppendUnits(out, c);
    i += c.byteCount;
  }
  return out;
}

std::string Utf8OfUtf8Bytes(const std::uint8_t* bytes, std::uint32_t count) {
  std::string out;
  out.reserve(count);
  for (std::uint32_t i = 0; i < count;) {
    const DecodedChar c = DecodeStrictUtf8(bytes + i, count - i);
    if (IsIllFormedUtf8(bytes + i, c)) {
      AppendUnits(out, c);
    } else {
      out.append(reinterpret_cast<const char*>(bytes + i), c.byteCount);
    }
    i += static_cast<std::uint32_t>(c.byteCount);
  }
  return out;
}

std::uint64_t Utf16LengthOfUtf8(const std::uint8_t* bytes, std::uint32_t count) {
  std::uint64_t units = 0;
  for (std::uint32_t i = 0; i < count;) {
    const DecodedChar c = DecodeStrictUtf8(bytes + i, count - i);
    units += c.unitCount;
    i += static_cast<std::uint32_t>(c.byteCount);
  }
  return units;
}

std::uint32_t ByteOffsetOfUtf16Index(const std::uint8_t* bytes, std::uint32_t count,
                                     std::uint64_t unitIndex) {
  std::uint64_t units = 0;
  std::uint32_t i = 0;
  while (units < unitIndex && i < count) {
    const DecodedChar c = DecodeStrictUtf8(bytes + i, count - i);
    units += c.unitCount;
    i += static_cast<std::uint32_t>(c.byteCount);
  }
  return units == unitIndex ? i : kNoIndex;
}

std::uint32_t Utf8PrefixLength(const std::uint8_t* bytes, std::uint32_t count, std::uint32_t limit) {
  std::uint32_t i = 0;
  while (i < count) {
    const auto step = static_cast<std::uint32_t>(DecodeStrictUtf8(bytes + i, count - i).byteCount);
    if (step > limit - i) break;
    i += step;
  }
  return i;
}
