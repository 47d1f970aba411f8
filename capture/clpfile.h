// The clipboard file (.clp): its directory read from the file's first bytes,
// the checks every entry must pass before anything of it reaches the
// clipboard, and the header and table a capture writes. Portable: the reader
// is given bytes and the file's size and never reads past the bytes given;
// the writer answers bytes that the platform side writes.
//
// Layout: a 4-byte header (file id, entry count), a table of fixed-size
// entries (format, data length, data offset, name), then the data blocks.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/clipboardformats.h"

inline constexpr std::uint16_t kClpIdWindows31 = 0xC350;  // 89-byte entries, ANSI names
inline constexpr std::uint16_t kClpIdWindowsNt = 0xC351;  // 172-byte entries, UTF-16 names; Kelvane writes it
inline constexpr std::uint16_t kClpIdWindowsNtToo = 0xC352;  // read like 0xC351 by every known reader

inline constexpr std::uint32_t kClpHeaderBytes = 4;
inline constexpr std::uint32_t kClpWindows31EntryBytes = 89;
inline constexpr std::uint32_t kClpWindowsNtEntryBytes = 172;
// A name field holds 79 characters, its terminator included.
inline constexpr std::uint32_t kClpNameFieldChars = 79;
inline constexpr std::uint32_t kClpLongestName = kClpNameFieldChars - 1;
inline constexpr std::uint32_t kClpMostEntries = 0xFFFF;
// Offsets and lengths are 32-bit: every block lies in the first 4 GiB.
inline constexpr std::uint64_t kClpMostFileBytes = 0xFFFFFFFFull;

struct ClpEntry {
  std::uint32_t position;  // 1-based place in the file's table, empty slots counted
  std::uint32_t format;    // as stored; a registered format is known by its name
  std::uint32_t length;
  std::uint32_t offset;  // from the start of the file
  std::string name;      // UTF-8; for formats that are not registered, a label for people
};

enum class ClpFault : std::uint8_t {
  TooShort,           // fewer than the header's 4 bytes
  NotAClipboardFile,  // a foreign file id
  TablePastEnd,       // the count announces a table longer than the file
  TableNotGiven,      // the caller gave fewer bytes than the table the file holds
  NameUnterminated,   // no terminator inside the name field
  NameNotText,        // a UTF-16 name with an unpaired surrogate
  NotAFormat,         // a number above 0xFFFF
  NotRestorable,      // a format whose data no other program can be given
  UnnamedRegistered,  // a registered format without the name it is known by
  DataPastEnd,        // the block does not lie inside the file
  SecondEntry,        // a format that an earlier entry holds already
};

struct ClpProblem {
  ClpFault fault;
  std::uint32_t position;  // the entry (1-based), or 0 for the file as a whole
  std::string message;     // a sentence for the user that names the entry
};

struct ClpDirectory {
  std::uint16_t fileId = 0;
  std::uint32_t slots = 0;            // the header's count, empty slots included
  std::vector<ClpEntry> entries;      // in the file's order, without the empty slots
  std::optional<ClpProblem> problem;  // the first problem; entries are then empty
};

// How many of the file's first bytes the directory needs: the header, and
// once the header is among the bytes given, the table it announces.
std::uint64_t ClpDirectoryBytes(const std::uint8_t* bytes, std::uint32_t given);

// Reads and checks the directory from the first given bytes of a file of
// fileSize bytes. An entry of format 0 is an empty slot and is skipped;
// every other entry must have a terminated name, a restorable format, its
// block inside the file and a format no earlier entry holds (registered
// formats compared by name, ASCII letters without regard to case, as the
// platform compares them; other letters must match exactly). Windows 3.1
// names are read one character per byte (ISO 8859-1).
ClpDirectory ReadClpDirectory(const std::uint8_t* bytes, std::uint32_t given, std::uint64_t fileSize);

// ------------------------------------------------------------ naming entries

// The name a standard format goes by in the available list without its
// number ("CF_TEXT" for 1); empty for a number that is not a standard format.
std::string StandardFormatLabel(std::uint32_t format);

// What the user is shown for an entry: the standard label, the stored name,
// or "format 0x0012" for an unnamed number.
std::string ClpEntryLabel(std::uint32_t format, std::string_view storedName);

// "Entry 3 of 7 (HTML Format)".
std::string ClpEntryPlace(std::uint32_t position, std::uint32_t slots, std::string_view label);

// Why a format on the clipboard cannot go into a file, or be put back from
// one ("only the program that put it can draw it"); none when it can.
std::optional<std::string> ClpNotCapturedReason(std::uint32_t format);

// ----------------------------------------------------------------- writing

// Why a name cannot be stored in an entry (longer than 78 UTF-16 units, or
// not UTF-8); none when it can.
std::optional<std::string> ClpNameRefusal(std::string_view name);

// The name written for a format: a registered format's own name, the
// standard label of a standard format, nothing for any other number.
std::string ClpWrittenName(std::uint32_t format, std::string_view registeredName);

// The header and the table (0xC351) for entries in order, followed by
// format-0 slots up to slots entries; positions are ignored. None when there
// are more entries than slots, more than 65,535 slots or a name the table
// cannot hold (check ClpNameRefusal first).
std::optional<std::vector<std::uint8_t>> ClpTableBytes(const std::vector<ClpEntry>& entries,
                                                       std::uint32_t slots);

// A capture written in one pass: the table is reserved first for every
// format that may be captured, each block is placed right after the one
// before once its length is known, and the table is filled in last. A format
// whose read fails or is skipped takes no slot; the slots it leaves are
// empty (format 0) at the table's end, which every reader skips: the file is
// then 172 bytes a skipped format larger than the smallest, and written
// once, front to back.
struct ClpPlacement {
  bool placed;
  std::uint32_t offset;  // where the block goes
  std::string refusal;   // why it was not placed
};

class ClpFilePlan {
 public:
  explicit ClpFilePlan(std::uint32_t slots);

  std::uint32_t slots() const { return slots_; }
  // Where the first block goes: right after the reserved table.
  std::uint64_t FirstBlockOffset() const;
  // The file's size so far: where the next block goes.
  std::uint64_t End() const { return end_; }

  // Takes the next slot for a block of length bytes; the name is the
  // registered name (ignored for other formats).
  ClpPlacement Place(std::uint32_t format, std::string_view registeredName, std::uint32_t length);

  const std::vector<ClpEntry>& entries() const { return entries_; }
  // The header and the reserved table, to be written at offset 0.
  std::vector<std::uint8_t> TableBytes() const;

 private:
  std::uint32_t slots_;
  std::uint64_t end_;
  std::vector<ClpEntry> entries_;
};
