#include "browser/namecopy.h"

#include <cstring>

#include "browser/formatnames.h"

CharSearchResult FindCharDbcs(const char* text, int character, std::uint32_t start, LeadByteTest isLeadByte) {
  if (text == nullptr) return {kNoIndex, DV_ERROR_BAD_REQUEST};
  const auto* bytes = reinterpret_cast<const unsigned char*>(text);
  const auto wanted = static_cast<unsigned char>(character & 0xFF);
  const auto length = static_cast<std::uint32_t>(std::strlen(text));
  if (wanted == 0) return {length, 0};
  if (start >= length) return {kNoIndex, 0};
  // Only the one byte before start is looked at: a start that follows a lead
  // byte sits on that character's trail byte.
  std::uint32_t at = start;
  if (at > 0 && isLeadByte(bytes[at - 1])) ++at;
  for (; bytes[at] != 0; ++at) {
    if (bytes[at] == wanted) return {at, 0};
    if (isLeadByte(bytes[at]) && bytes[at + 1] != 0) ++at;
  }
  return {kNoIndex, 0};
}

namespace {

// The last position of character in text outside double-byte characters, or
// kNoIndex.
std::uint32_t LastCharDbcs(const std::string& text, char character, LeadByteTest isLeadByte) {
  std::uint32_t last = kNoIndex;
  for (std::uint32_t from = 0;;) {
    const CharSearchResult found = FindCharDbcs(text.c_str(), character, from, isLeadByte);
    if (found.position == kNoIndex) return last;
    last = found.position;
    from = found.position + 1;
  }
}

}  // namespace

std::string CopiedFormatName(std::string_view listText, bool fromAvailableList, LeadByteTest isLeadByte) {
  std::string name(listText.substr(0, listText.find('\0')));
  if (fromAvailableList) {
    const std::uint32_t suffix = LastCharDbcs(name, '(', isLeadByte);
    if (suffix != kNoIndex) {
      // Standard texts put a space before the number; named ones don't.
      const std::uint32_t end = (suffix > 0 && name[suffix - 1] == ' ') ? suffix - 1 : suffix;
      name.resize(end);
    }
  }
  return CutText(name, kCopiedNameMaxChars);
}
