// The clipboard file's directory: damaged and foreign files, each with the
// message the user reads, files of the three ids read alike, and the
// writer's table and one-pass plan read back by the reader.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "capture/clpfile.h"

namespace {

using ByteVector = std::vector<std::uint8_t>;

void PutLe(ByteVector& bytes, std::size_t at, std::uint64_t value, int width) {
  for (int i = 0; i < width; ++i) bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

// A raw entry: every field as stored, the name as bytes of its field (the
// builder pads with zeros, or fills the field without a terminator).
struct RawEntry {
  std::uint32_t format;
  std::uint32_t length;
  std::uint32_t offset;
  std::u16string name;
  bool terminated = true;
};

// Header and table of the given id; data bytes follow up to fileSize.
ByteVector FileOf(std::uint16_t id, const std::vector<RawEntry>& entries, std::size_t fileSize = 0) {
  const bool nt = id != kClpIdWindows31;
  const std::size_t entryBytes = nt ? kClpWindowsNtEntryBytes : kClpWindows31EntryBytes;
  ByteVector bytes(std::max(fileSize, 4 + entries.size() * entryBytes), 0xEE);
  std::fill(bytes.begin(), bytes.begin() + 4 + entries.size() * entryBytes, 0);
  PutLe(bytes, 0, id, 2);
  PutLe(bytes, 2, entries.size(), 2);
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const RawEntry& e = entries[i];
    const std::size_t at = 4 + i * entryBytes;
    PutLe(bytes, at, e.format, nt ? 4 : 2);
    PutLe(bytes, at + (nt ? 4 : 2), e.length, 4);
    PutLe(bytes, at + (nt ? 8 : 6), e.offset, 4);
    const std::size_t nameAt = at + (nt ? 12 : 10);
    for (std::size_t c = 0; c < kClpNameFieldChars; ++c) {
      const char16_t unit = c < e.name.size() ? e.name[c] : (e.terminated ? 0 : u'x');
      if (nt) {
        PutLe(bytes, nameAt + 2 * c, unit, 2);
      } else {
        bytes[nameAt + c] = static_cast<std::uint8_t>(unit);
      }
    }
  }
  return bytes;
}

// The reader over a heap copy of exactly the bytes given.
ClpDirectory Read(const ByteVector& bytes, std::size_t given = SIZE_MAX,
                  std::uint64_t fileSize = UINT64_MAX) {
  const std::size_t count = std::min(given, bytes.size());
  std::unique_ptr<std::uint8_t[]> exact(new std::uint8_t[count + 1]);
  std::copy(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(count), exact.get());
  return ReadClpDirectory(exact.get(), static_cast<std::uint32_t>(count),
                          fileSize == UINT64_MAX ? bytes.size() : fileSize);
}

const std::uint32_t kNtTableOf3 = 4 + 3 * kClpWindowsNtEntryBytes;

struct DamageCase {
  const char* what;
  ByteVector file;
  ClpFault fault;
  std::uint32_t position;
  const char* message;
};

std::vector<DamageCase> DamageCases() {
  const std::uint32_t at = kNtTableOf3;
  const std::size_t size = at + 30;
  RawEntry text = {1, 10, at, u"CF_TEXT"};
  RawEntry html = {0xC0F0, 20, at + 10, u"HTML Format"};
  auto nt = [size](std::vector<RawEntry> e) { return FileOf(kClpIdWindowsNt, e, size); };
  RawEntry unterminated = html;
  unterminated.terminated = false;
  unterminated.name = u"";
  ByteVector countTooLarge = nt({text, html});
  PutLe(countTooLarge, 2, 12, 2);
  countTooLarge.resize(4 + 2 * kClpWindowsNtEntryBytes + 30);
  return {
      {"no header", {0x51}, ClpFault::TooShort, 0, "The file is too short to be a clipboard file."},
      {"a BMP file",
       {'B', 'M', 0x36, 0, 0, 0},
       ClpFault::NotAClipboardFile,
       0,
       "The file is not a clipboard file."},
      {"a count larger than the file", countTooLarge, ClpFault::TablePastEnd, 0,
       "The file says it holds 12 formats, but it is too short for their table."},
      {"an unterminated name", nt({text, unterminated, html}), ClpFault::NameUnterminated, 2,
       "Entry 2 of 3: its name does not end inside its field."},
      {"a lone surrogate", nt({text, {0xC0F1, 1, at, u"a\xD800"}, html}), ClpFault::NameNotText, 2,
       "Entry 2 of 3: its name is not valid UTF-16 text."},
      {"an offset past the end",
       nt({text, {0xC0F0, 0, static_cast<std::uint32_t>(size + 1), u"HTML Format"}}), ClpFault::DataPastEnd,
       2, "Entry 2 of 2 (HTML Format): its data lies past the end of the file."},
      {"a block one byte too long", nt({text, html, {13, 11, at + 20, u"CF_UNICODETEXT"}}),
       ClpFault::DataPastEnd, 3, "Entry 3 of 3 (CF_UNICODETEXT): its data lies past the end of the file."},
      {"a length that wraps 32 bits", nt({{8, 0xFFFFFFF0u, at + 20, u""}}), ClpFault::DataPastEnd, 1,
       "Entry 1 of 1 (CF_DIB): its data lies past the end of the file."},
      {"two CF_TEXT entries under other labels", nt({text, html, {1, 2, at, u"Text"}}), ClpFault::SecondEntry,
       3, "Entry 3 of 3 (CF_TEXT): entry 1 holds the same format."},
      {"one name in another case and number", nt({html, text, {0xC123, 2, at, u"html FORMAT"}}),
       ClpFault::SecondEntry, 3, "Entry 3 of 3 (html FORMAT): entry 1 holds the same format."},
      {"a registered format without a name", nt({{0xC001, 1, at, u""}}), ClpFault::UnnamedRegistered, 1,
       "Entry 1 of 1 (format 0xC001): a registered format is known by its name, and this one has none."},
      {"a number past 16 bits", nt({{0x1C001, 1, at, u"Big"}}), ClpFault::NotAFormat, 1,
       "Entry 1 of 1 (Big): 0x1C001 is not a clipboard format number."},
      {"an owner-display entry", nt({{0x80, 0, at, u""}}), ClpFault::NotRestorable, 1,
       "Entry 1 of 1 (CF_OWNERDISPLAY): it cannot be put back, as only the program that put it can draw it."},
      {"a private format", nt({{0x205, 0, at, u""}}), ClpFault::NotRestorable, 1,
       "Entry 1 of 1 (format 0x0205): it cannot be put back, as a private format means something only to the "
       "program that put it."},
      {"a GDI object", nt({{0x3FF, 0, at, u""}}), ClpFault::NotRestorable, 1,
       "Entry 1 of 1 (format 0x03FF): it cannot be put back, as it is a handle to a GDI object of no stated "
       "kind, not data."},
      {"an unterminated Windows 3.1 name", FileOf(kClpIdWindows31, {{1, 0, 93, u"", false}}),
       ClpFault::NameUnterminated, 1, "Entry 1 of 1: its name does not end inside its field."},
  };
}

}  // namespace

TEST(ClpDirectory, DamagedAndForeignFilesNameTheEntryAndTheProblem) {
  for (const DamageCase& c : DamageCases()) {
    SCOPED_TRACE(c.what);
    const ClpDirectory d = Read(c.file);
    ASSERT_TRUE(d.problem.has_value());
    EXPECT_EQ(d.problem->fault, c.fault);
    EXPECT_EQ(d.problem->position, c.position);
    EXPECT_EQ(d.problem->message, c.message);
    EXPECT_TRUE(d.entries.empty());
  }
}

TEST(ClpDirectory, ACutAtEveryEntryAndBlockBoundaryIsRefused) {
  ClpFilePlan plan(3);
  const std::uint32_t lengths[] = {7, 0, 12};
  const std::uint32_t formats[] = {1, 0xC0F0, 13};
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(plan.Place(formats[i], "HTML Format", lengths[i]).placed);
  ByteVector file = plan.TableBytes();
  file.resize(plan.End(), 0x41);
  ASSERT_FALSE(Read(file).problem.has_value());
  for (std::uint32_t slot = 0; slot < 3; ++slot) {
    const ClpDirectory d = Read(file, SIZE_MAX, 4 + slot * kClpWindowsNtEntryBytes);
    ASSERT_TRUE(d.problem.has_value()) << slot;
    EXPECT_EQ(d.problem->fault, ClpFault::TablePastEnd);
    EXPECT_EQ(d.problem->message, "The file says it holds 3 formats, but it is too short for their table.");
  }
  // Cut at the end of each block but the last: the next block with bytes is the first past the end.
  const ClpDirectory afterFirst = Read(file, SIZE_MAX, kNtTableOf3 + 7);
  ASSERT_TRUE(afterFirst.problem.has_value());
  EXPECT_EQ(afterFirst.problem->message,
            "Entry 3 of 3 (CF_UNICODETEXT): its data lies past the end of the file.");
  const ClpDirectory atTable = Read(file, SIZE_MAX, kNtTableOf3);
  ASSERT_TRUE(atTable.problem.has_value());
  EXPECT_EQ(atTable.problem->message, "Entry 1 of 3 (CF_TEXT): its data lies past the end of the file.");
  // Bytes given short of the table the file holds are the caller's fault, and said so.
  EXPECT_EQ(Read(file, 100).problem.value().fault, ClpFault::TableNotGiven);
}

TEST(ClpDirectory, TheThreeIdsReadAlikeAndEmptySlotsAreSkipped) {
  const std::u16string latin = u"Caf\u00E9";
  const std::uint32_t t31 = 4 + 3 * kClpWindows31EntryBytes;
  const ClpDirectory old =
      Read(FileOf(kClpIdWindows31, {{2, 3, t31, latin}, {0, 0, 0, u""}, {0xC001, 0, t31, u"X"}}, t31 + 3));
  ASSERT_FALSE(old.problem.has_value()) << old.problem->message;
  ASSERT_EQ(old.entries.size(), 2u);
  EXPECT_EQ(old.slots, 3u);
  EXPECT_EQ(old.entries[0].name, "Caf\xC3\xA9");  // one character a byte
  EXPECT_EQ(old.entries[1].position, 3u);
  EXPECT_EQ(old.entries[1].format, 0xC001u);
  for (std::uint16_t id : {kClpIdWindowsNt, kClpIdWindowsNtToo}) {
    // Blocks in any order; an empty block may sit at the very end.
    const std::uint32_t size = kNtTableOf3 + 5;
    const ClpDirectory d = Read(FileOf(
        id, {{13, 4, kNtTableOf3 + 1, u"\u30C6"}, {0xC002, 0, size, u"Empty"}, {1, 1, kNtTableOf3, u"Text"}},
        size));
    ASSERT_FALSE(d.problem.has_value()) << d.problem->message;
    ASSERT_EQ(d.entries.size(), 3u);
    EXPECT_EQ(d.fileId, id);
    EXPECT_EQ(d.entries[0].name, "\xE3\x83\x86");
    EXPECT_EQ(d.entries[1].offset, size);
    EXPECT_EQ(d.entries[2].name, "Text");  // a label of another writer, kept as it is
  }
  EXPECT_EQ(ClpDirectoryBytes(nullptr, 0), 4u);
  EXPECT_EQ(ClpDirectoryBytes(FileOf(kClpIdWindows31, {{1, 0, 0, u""}}).data(), 4), 4u + 89u);
}

// The plan reserves the table, packs the blocks after it and leaves what
// it refused as empty slots at the table's end; the table names standard
// formats as the available list does and registered ones as they are.
TEST(ClpWriter, TheOnePassPlanReadsBackEntryForEntry) {
  const std::string longest(78, 'n');
  ClpFilePlan plan(5);
  const std::uint64_t first = plan.FirstBlockOffset();
  EXPECT_EQ(first, 4u + 5 * kClpWindowsNtEntryBytes);
  EXPECT_EQ(plan.Place(9, "ignored", 10).offset, first);
  EXPECT_EQ(plan.Place(0xC001, longest + "n", 1).refusal,
            "its name is 79 characters long, and the file holds at most 78");
  EXPECT_EQ(plan.Place(0xC002, longest, 0).offset, first + 10);
  EXPECT_EQ(plan.Place(0x12, "", 5).offset, first + 10);
  EXPECT_EQ(plan.Place(13, "", 0xFFFFFFFFu).refusal, "its data would lie past the first 4 GiB of the file");
  EXPECT_EQ(plan.End(), first + 15);
  ByteVector file = plan.TableBytes();
  file.resize(plan.End());
  const ClpDirectory d = Read(file);
  ASSERT_FALSE(d.problem.has_value()) << d.problem->message;
  EXPECT_EQ(d.slots, 5u);
  ASSERT_EQ(d.entries.size(), 3u);
  EXPECT_EQ(d.entries[0].name, "CF_PALETTE");
  EXPECT_EQ(d.entries[1].name, longest);
  EXPECT_EQ(d.entries[2].name, "");
  EXPECT_EQ(d.entries[2].position, 3u);
  const auto emptySlots = file.begin() + 4 + 3 * kClpWindowsNtEntryBytes;
  EXPECT_TRUE(std::all_of(emptySlots, emptySlots + 2 * kClpWindowsNtEntryBytes,
                          [](std::uint8_t b) { return b == 0; }));
  EXPECT_TRUE(ClpNameRefusal("\xFF").has_value());
  EXPECT_FALSE(ClpNameRefusal("\xEF\xBF\xBD").has_value());  // U+FFFD itself is text
  EXPECT_FALSE(ClpTableBytes(d.entries, 2).has_value());
  ClpFilePlan one(1);
  EXPECT_TRUE(one.Place(1, "", 0).placed);
  EXPECT_EQ(one.Place(7, "", 0).refusal, "the file's table has no slot left");
}

// Files that Kelvane's sample tool made from what real programs put on the
// clipboard under Wine (tests/win32/samples, see its README).
TEST(ClpDirectory, RealCapturesReadWhole) {
  std::ifstream in(std::string(KELVANE_FUZZ_DIR) + "/../win32/samples/wordpad.clp", std::ios::binary);
  const ByteVector bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const ClpDirectory d = Read(bytes);
  ASSERT_FALSE(d.problem.has_value()) << d.problem->message;
  std::vector<std::string> names;
  for (const ClpEntry& e : d.entries) names.push_back(e.name);
  EXPECT_EQ(names, (std::vector<std::string>{"CF_UNICODETEXT", "Rich Text Format", "Ole Private Data",
                                             "Wine Marshalled DataObject", "DataObject", "CF_LOCALE",
                                             "CF_TEXT", "CF_OEMTEXT"}));
}
