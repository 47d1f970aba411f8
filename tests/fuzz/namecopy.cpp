// Copying a format's name over any text and any lead-byte table: the
// double-byte-aware character search and the cut of the number that the
// available list appends. The text is a heap block of exactly its bytes and
// its terminator, so reading past the terminator faults.
//
//  - FindCharDbcs answers what a walk over the characters from the start
//    position finds: the first character (never a trail byte) equal to the
//    wanted one, or none; character 0 finds the terminator.
//  - The copied name is a prefix of the list text of at most 127 bytes, and
//    the available list cuts only at a "(" that begins a character.
//  - A name copied from the available list is the name copied from the
//    registered list, whatever it holds ("(" and double-byte characters
//    included), as long as the registered list's text is whole characters
//    and does not end in a space (that space reads like the one before a
//    standard text's number).
#include <string>
#include <string_view>
#include <vector>

#include "browser/formatnames.h"
#include "browser/namecopy.h"
#include "fuzztarget.h"

namespace {

// Which bytes are lead bytes, for the current input: no byte (a single-byte
// code page), those of code page 932, every byte from 0x80, or any table the
// input gives.
bool g_leadBytes[256];

bool TableLeadByte(unsigned char byte) { return g_leadBytes[byte]; }

void ChooseLeadBytes(std::uint8_t kind, std::uint64_t bits) {
  for (int b = 0; b < 256; ++b) {
    switch (kind % 4) {
      case 0:
        g_leadBytes[b] = false;
        break;
      case 1:
        g_leadBytes[b] = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
        break;
      case 2:
        g_leadBytes[b] = b >= 0x80;
        break;
      default:
        g_leadBytes[b] = b != 0 && ((bits >> (b % 64)) & 1) != 0 && b >= 0x40;
        break;
    }
  }
}

// Where characters begin in the zero-terminated text when it is read from
// from: a lead byte takes the next byte with it unless that is the
// terminator.
std::vector<std::uint32_t> CharacterStarts(const unsigned char* text, std::uint32_t from) {
  std::vector<std::uint32_t> starts;
  for (std::uint32_t p = from; text[p] != 0;) {
    starts.push_back(p);
    p += g_leadBytes[text[p]] && text[p + 1] != 0 ? 2 : 1;
  }
  return starts;
}

void CheckFindCharDbcs(const char* text, std::uint32_t length, int character, std::uint32_t start) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(text);
  const CharSearchResult found = FindCharDbcs(text, character, start, TableLeadByte);
  FUZZ_CHECK(found.lastError == 0);
  const auto wanted = static_cast<unsigned char>(character & 0xFF);
  if (wanted == 0) {
    FUZZ_CHECK(found.position == length);
    return;
  }
  std::uint32_t expected = kNoIndex;
  if (start < length) {
    // A start right after a lead byte sits on that character's trail byte.
    const std::uint32_t from = start > 0 && g_leadBytes[bytes[start - 1]] ? start + 1 : start;
    if (from <= length) {
      for (std::uint32_t p : CharacterStarts(bytes, from)) {
        if (bytes[p] == wanted) {
          expected = p;
          break;
        }
      }
    }
  }
  FUZZ_CHECK(found.position == expected);
}

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && text.substr(0, prefix.size()) == prefix;
}

void CheckCopiedName(std::string_view listText) {
  const std::string_view shown = listText.substr(0, listText.find('\0'));
  const std::string registered = CopiedFormatName(listText, false, TableLeadByte);
  FUZZ_CHECK(registered == shown.substr(0, kCopiedNameMaxChars));
  const std::string available = CopiedFormatName(listText, true, TableLeadByte);
  FUZZ_CHECK(available.size() <= kCopiedNameMaxChars && StartsWith(shown, available));
  if (available.size() == std::min(shown.size(), kCopiedNameMaxChars)) return;  // nothing cut
  // Cut at a "(" that begins a character, or at the space before it.
  const std::string whole(shown);
  const std::vector<std::uint32_t> starts =
      CharacterStarts(reinterpret_cast<const unsigned char*>(whole.c_str()), 0);
  const auto beginsCharacter = [&](std::size_t p) {
    for (std::uint32_t s : starts) {
      if (s == p) return true;
    }
    return false;
  };
  const std::size_t end = available.size();
  const bool atParenthesis = end < whole.size() && whole[end] == '(' && beginsCharacter(end);
  const bool beforeSpace =
      end + 1 < whole.size() && whole[end] == ' ' && whole[end + 1] == '(' && beginsCharacter(end + 1);
  FUZZ_CHECK(atParenthesis || beforeSpace);
}

// Whether the text ends inside a character: its last byte is a lead byte
// that the walk from the start reads as one.
bool EndsInLeadByte(const std::string& text) {
  const std::vector<std::uint32_t> starts =
      CharacterStarts(reinterpret_cast<const unsigned char*>(text.c_str()), 0);
  return !starts.empty() && starts.back() == text.size() - 1 &&
         g_leadBytes[static_cast<unsigned char>(text.back())];
}

void CheckBothListsCopyAlike(std::string_view systemName, std::uint32_t format) {
  const std::string registered = RegisteredNameText(systemName.substr(0, systemName.find('\0')));
  if (registered.empty() || registered.back() == ' ' || EndsInLeadByte(registered)) return;
  const std::string available = AvailableFormatText(format, std::string_view(registered));
  FUZZ_CHECK(CopiedFormatName(available, true, TableLeadByte) ==
             CopiedFormatName(registered, false, TableLeadByte));
}

}  // namespace

KELVANE_FUZZ_TARGET(namecopy) {
  fuzz::Input in(data, size);
  const std::uint8_t leadKind = in.U8();
  const std::uint64_t leadBits = static_cast<std::uint64_t>(in.U32()) << 32 | in.U32();
  const std::uint8_t characterPick = in.U8();
  const std::uint32_t startPick = in.U32();
  const std::uint32_t format = 0xC000 + in.U16() % 0x4000;
  ChooseLeadBytes(leadKind, leadBits);

  // The text and its terminator, exactly.
  std::string bytes(reinterpret_cast<const char*>(in.rest()), in.restSize());
  bytes.push_back('\0');
  const fuzz::ExactBytes text(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
  const char* chars = reinterpret_cast<const char*>(text.data());
  const auto length = static_cast<std::uint32_t>(std::string_view(chars).size());

  // Mostly a character of the text or "(", from a start within it.
  const int character = characterPick < 96 ? '('
                        : characterPick < 192 && length != 0
                            ? static_cast<unsigned char>(chars[startPick % length]) | (characterPick << 8)
                            : characterPick;
  const std::uint32_t start = characterPick % 8 == 0 ? startPick : startPick % (length + 2);
  CheckFindCharDbcs(chars, length, character, start);
  FUZZ_CHECK(FindCharDbcs(nullptr, character, start, TableLeadByte).lastError == DV_ERROR_BAD_REQUEST);

  const std::string_view listText(chars, bytes.size() - 1);
  CheckCopiedName(listText);
  CheckBothListsCopyAlike(listText, format);
}
