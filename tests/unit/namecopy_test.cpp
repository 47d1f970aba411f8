#include "browser/namecopy.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "browser/formatnames.h"

namespace {

// Lead bytes of code page 932 (Shift_JIS) by its definition.
bool IsLeadByte932(unsigned char byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

bool NoLeadBytes(unsigned char) { return false; }

constexpr std::uint32_t kNone = kNoIndex;

TEST(FindCharDbcs, Rules) {
  const struct {
    const char* text;
    int character;
    std::uint32_t start;
    LeadByteTest isLeadByte;
    std::uint32_t position;
    const char* why;
  } cases[] = {
      {"abcb", 'b', 0, IsLeadByte932, 1, "first match"},
      {"abcb", 'b', 2, IsLeadByte932, 3, "from start"},
      {"abc", 'x', 0, IsLeadByte932, kNone, "absent"},
      {"abc", 'b' | 0x7700, 0, IsLeadByte932, 1, "only the low byte counts"},
      {"abc", 0, 0, IsLeadByte932, 3, "character 0 is the terminator"},
      {"abc", 0, 99, IsLeadByte932, 3, "character 0 whatever the start"},
      {"abc", 'c', 3, IsLeadByte932, kNone, "start at the length"},
      {"abc", 'a', 0xFFFFFFFFu, IsLeadByte932, kNone, "start beyond the length"},
      {"", 'a', 0, IsLeadByte932, kNone, "empty text"},
      {"\x83\x5C\\", '\\', 0, IsLeadByte932, 2, "a trail byte equal to the character"},
      {"\x83(x(", '(', 0, IsLeadByte932, 3, "a trail byte equal to ("},
      {"\x83\x5C\\", '\\', 0, NoLeadBytes, 1, "no lead bytes: every byte is a character"},
      {"\x83\x5C\\", '\\', 1, IsLeadByte932, 2, "start on a trail byte"},
      {"\x83\x83"
       "A",
       'A', 2, IsLeadByte932, kNone, "only the byte before start is looked at"},
      {"x\x83", '\x83', 0, IsLeadByte932, 1, "a lead byte can be the character"},
      {"x\x83", 'z', 0, IsLeadByte932, kNone, "a lead byte before the terminator"},
      {"\xE0\x40\xFC\x40@", '@', 0, IsLeadByte932, 4, "both lead-byte ranges"},
      {"\xA0@\xFD@", '@', 0, IsLeadByte932, 1, "bytes between and after the ranges are single"},
  };
  for (const auto& c : cases) {
    const CharSearchResult found = FindCharDbcs(c.text, c.character, c.start, c.isLeadByte);
    EXPECT_EQ(found.position, c.position) << c.why;
    EXPECT_EQ(found.lastError, 0u) << c.why;
  }
  const CharSearchResult none = FindCharDbcs(nullptr, 'a', 0, IsLeadByte932);
  EXPECT_EQ(none.position, kNone);
  EXPECT_EQ(none.lastError, DV_ERROR_BAD_REQUEST);
}

TEST(CopiedFormatName, CutsTheNumberTheAvailableListAppended) {
  const struct {
    const char* listText;
    bool fromAvailableList;
    const char* name;
  } cases[] = {
      {"CF_TEXT (1)", true, "CF_TEXT"},
      {"CF_OWNERDISPLAY (0x0080)", true, "CF_OWNERDISPLAY"},
      {"Sample(0xC1A0)", true, "Sample"},
      {"Unknown (0xC0DE)", true, "Unknown"},
      {"Rich Text (RTF)(0xC0F3)", true, "Rich Text (RTF)"},
      {"(private)(0xC123)", true, "(private)"},
      {"((0xC123)", true, "("},
      {"\x83\x5C\x83t\x83g(\x94\xC5)(0xC124)", true, "\x83\x5C\x83t\x83g(\x94\xC5)"},
      {"no number", true, "no number"},
      {"Rich Text (RTF)", false, "Rich Text (RTF)"},
      {"CF_TEXT (1)", false, "CF_TEXT (1)"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CopiedFormatName(c.listText, c.fromAvailableList, IsLeadByte932), c.name) << c.listText;
  }
  EXPECT_EQ(CopiedFormatName(std::string(200, 'n'), false, IsLeadByte932), std::string(127, 'n'));
}

// Whatever a registered name holds, copying it from the available list gives
// what copying it from the registered list gives. Names come from the
// registered list (at most 126 characters) and never end in a space there:
// the space before the number is cut like a standard text's.
TEST(CopiedFormatName, NamedFormatsCopyAsFromTheRegisteredList) {
  std::mt19937 random(2024);
  const std::string alphabet = "ab (()) \x83\x5C\x83(\x82\xA0\xE0@";
  for (int round = 0; round < 2000; ++round) {
    std::string name;
    const int length = 1 + static_cast<int>(random() % 40);
    for (int i = 0; i < length; ++i) name += alphabet[random() % alphabet.size()];
    if (IsLeadByte932(static_cast<unsigned char>(name.back()))) name += 'x';
    if (name.back() == ' ') name.back() = 'y';
    const std::string listText = AvailableFormatText(0xC000 + round, std::string_view(name));
    EXPECT_EQ(CopiedFormatName(listText, true, IsLeadByte932), CopiedFormatName(name, false, IsLeadByte932))
        << listText;
  }
}

}  // namespace
