#include "capture/clpfile.h"

#include <cstdio>
#include <map>
#include <utility>

#include "browser/formatnames.h"
#include "browser/namecopy.h"
#include "encoding/unicode.h"
#include "formats/lines.h"
#include "identify/reading.h"
#include "snapshot/wholedata.h"

namespace {

// Where an entry's fields lie in each of the two entry layouts.
struct EntryLayout {
  std::uint32_t entryBytes;
  std::uint32_t formatBytes;  // 2 in the Windows 3.1 layout, 4 in the NT one
  std::uint32_t lengthAt;
  std::uint32_t offsetAt;
  std::uint32_t nameAt;
  std::uint32_t nameUnitBytes;  // 1 (ANSI) or 2 (UTF-16LE)
};

constexpr EntryLayout kWindows31Layout = {kClpWindows31EntryBytes, 2, 2, 6, 10, 1};
constexpr EntryLayout kWindowsNtLayout = {kClpWindowsNtEntryBytes, 4, 4, 8, 12, 2};

const EntryLayout* LayoutOf(std::uint16_t fileId) {
  switch (fileId) {
    case kClpIdWindows31:
      return &kWindows31Layout;
    case kClpIdWindowsNt:
    case kClpIdWindowsNtToo:
      return &kWindowsNtLayout;
    default:
      return nullptr;
  }
}

std::uint64_t TableEnd(const EntryLayout& layout, std::uint32_t slots) {
  return kClpHeaderBytes + static_cast<std::uint64_t>(slots) * layout.entryBytes;
}

ClpDirectory Refused(ClpDirectory directory, ClpFault fault, std::uint32_t position, std::string message) {
  directory.entries.clear();
  directory.problem = ClpProblem{fault, position, std::move(message)};
  return directory;
}

void AppendCodePoint(std::uint32_t codePoint, std::string& utf8) {
  const char16_t unit = static_cast<char16_t>(codePoint);
  std::vector<std::uint8_t> bytes;
  Utf16ToUtf8(&unit, 1, bytes);
  utf8.append(bytes.begin(), bytes.end());
}

// A name field's text up to its terminator; none when the field holds none
// (the first of the pair) or when its UTF-16 is broken (the second).
struct FieldName {
  bool terminated;
  bool text;
  std::string utf8;
};

FieldName ReadName(const std::uint8_t* field, const EntryLayout& layout) {
  FieldName name = {false, true, {}};
  if (layout.nameUnitBytes == 1) {
    for (std::uint32_t i = 0; i < kClpNameFieldChars; ++i) {
      if (field[i] == 0) {
        name.terminated = true;
        return name;
      }
      AppendCodePoint(field[i], name.utf8);
    }
    return name;
  }
  std::u16string units;
  for (std::uint32_t i = 0; i < kClpNameFieldChars; ++i) {
    const char16_t unit = Utf16LeUnit(field + 2 * static_cast<std::size_t>(i));
    if (unit == 0) {
      name.terminated = true;
      std::vector<std::uint8_t> bytes;
      name.text = Utf16ToUtf8(units.data(), units.size(), bytes);
      name.utf8.assign(bytes.begin(), bytes.end());
      return name;
    }
    units.push_back(unit);
  }
  return name;
}

// The key under which an entry's format is unique in a file: a registered
// format's name with ASCII letters folded, or the number of any other.
std::string FormatKey(std::uint32_t format, const std::string& name) {
  if (!IsRegisteredFormat(format)) return "#" + Decimal(format);
  std::string key = "=";
  for (char c : name) key.push_back(c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c);
  return key;
}

std::string HexFormat(std::uint32_t format) { return FormatNumberText(format); }

}  // namespace

std::uint64_t ClpDirectoryBytes(const std::uint8_t* bytes, std::uint32_t given) {
  const std::optional<std::uint16_t> fileId = ReadU16(bytes, given, 0);
  const std::optional<std::uint16_t> slots = ReadU16(bytes, given, 2);
  const EntryLayout* layout = fileId ? LayoutOf(*fileId) : nullptr;
  if (layout == nullptr || !slots) return kClpHeaderBytes;
  return TableEnd(*layout, *slots);
}

ClpDirectory ReadClpDirectory(const std::uint8_t* bytes, std::uint32_t given, std::uint64_t fileSize) {
  ClpDirectory directory;
  const std::uint64_t known = given < fileSize ? given : fileSize;
  const auto available = static_cast<std::uint32_t>(known);
  const std::optional<std::uint16_t> fileId = ReadU16(bytes, available, 0);
  const std::optional<std::uint16_t> slots = ReadU16(bytes, available, 2);
  if (!fileId || !slots) {
    return Refused(directory, ClpFault::TooShort, 0, "The file is too short to be a clipboard file.");
  }
  directory.fileId = *fileId;
  directory.slots = *slots;
  const EntryLayout* layout = LayoutOf(*fileId);
  if (layout == nullptr) {
    return Refused(directory, ClpFault::NotAClipboardFile, 0, "The file is not a clipboard file.");
  }
  const std::uint64_t tableEnd = TableEnd(*layout, *slots);
  if (tableEnd > fileSize) {
    return Refused(
        directory, ClpFault::TablePastEnd, 0,
        "The file says it holds " + Decimal(*slots) + " formats, but it is too short for their table.");
  }
  if (tableEnd > available) {
    return Refused(directory, ClpFault::TableNotGiven, 0, "The file's table could not be read whole.");
  }

  std::map<std::string, std::uint32_t> firstOfFormat;
  for (std::uint32_t slot = 0; slot < *slots; ++slot) {
    const std::uint32_t position = slot + 1;
    const std::uint8_t* entry = bytes + kClpHeaderBytes + static_cast<std::size_t>(slot) * layout->entryBytes;
    const std::uint32_t format = static_cast<std::uint32_t>(LittleEndianAt(entry, layout->formatBytes));
    if (format == 0) continue;  // an empty slot
    const std::string place = ClpEntryPlace(position, *slots, "");
    const FieldName name = ReadName(entry + layout->nameAt, *layout);
    if (!name.terminated) {
      return Refused(directory, ClpFault::NameUnterminated, position,
                     place + ": its name does not end inside its field.");
    }
    if (!name.text) {
      return Refused(directory, ClpFault::NameNotText, position,
                     place + ": its name is not valid UTF-16 text.");
    }
    const std::string named = ClpEntryPlace(position, *slots, ClpEntryLabel(format, name.utf8));
    if (format > 0xFFFF) {
      return Refused(directory, ClpFault::NotAFormat, position,
                     named + ": " + HexFormat(format) + " is not a clipboard format number.");
    }
    if (const std::optional<std::string> reason = ClpNotCapturedReason(format)) {
      return Refused(directory, ClpFault::NotRestorable, position,
                     named + ": it cannot be put back, as " + *reason + ".");
    }
    if (IsRegisteredFormat(format) && name.utf8.empty()) {
      return Refused(directory, ClpFault::UnnamedRegistered, position,
                     named + ": a registered format is known by its name, and this one has none.");
    }
    const auto length = static_cast<std::uint32_t>(LittleEndianAt(entry + layout->lengthAt, 4));
    const auto offset = static_cast<std::uint32_t>(LittleEndianAt(entry + layout->offsetAt, 4));
    if (static_cast<std::uint64_t>(offset) + length > fileSize) {
      return Refused(directory, ClpFault::DataPastEnd, position,
                     named + ": its data lies past the end of the file.");
    }
    const auto [first, isNew] = firstOfFormat.emplace(FormatKey(format, name.utf8), position);
    if (!isNew) {
      return Refused(directory, ClpFault::SecondEntry, position,
                     named + ": entry " + Decimal(first->second) + " holds the same format.");
    }
    directory.entries.push_back(ClpEntry{position, format, length, offset, name.utf8});
  }
  return directory;
}

// ------------------------------------------------------------ naming entries

std::string StandardFormatLabel(std::uint32_t format) {
  const char* text = StandardFormatName(format);
  if (text == nullptr) return {};
  // The available list's text without its number, as Copy puts it.
  return CopiedFormatName(text, true, [](unsigned char) { return false; });
}

std::string ClpEntryLabel(std::uint32_t format, std::string_view storedName) {
  std::string label = StandardFormatLabel(format);
  if (!label.empty()) return label;
  if (!storedName.empty()) return std::string(storedName);
  return "format " + HexFormat(format);
}

std::string ClpEntryPlace(std::uint32_t position, std::uint32_t slots, std::string_view label) {
  std::string place = "Entry " + Decimal(position) + " of " + Decimal(slots);
  if (!label.empty()) place.append(" (").append(label).append(")");
  return place;
}

std::optional<std::string> ClpNotCapturedReason(std::uint32_t format) {
  if (format == kFormatOwnerDisplay) return "only the program that put it can draw it";
  if (format >= kFormatPrivateFirst && format <= kFormatPrivateLast) {
    return "a private format means something only to the program that put it";
  }
  if (format >= kFormatGdiObjectFirst && format <= kFormatGdiObjectLast) {
    return "it is a handle to a GDI object of no stated kind, not data";
  }
  if (WholeDataRule(format) == WholeDataSource::Unreachable) return "it holds no data";
  return std::nullopt;
}

// ----------------------------------------------------------------- writing

namespace {

// UTF-16 code units of a UTF-8 name; none when the name is not UTF-8.
std::optional<std::u16string> Utf16Of(std::string_view utf8) {
  std::u16string units;
  const auto* p = reinterpret_cast<const std::uint8_t*>(utf8.data());
  for (std::size_t at = 0; at < utf8.size();) {
    const DecodedChar c = DecodeStrictUtf8(p + at, utf8.size() - at);
    if (c.unitCount == 1 && c.units[0] == kReplacementChar &&
        !(c.byteCount == 3 && p[at] == 0xEF && p[at + 1] == 0xBF && p[at + 2] == 0xBD)) {
      return std::nullopt;
    }
    units.append(c.units, c.unitCount);
    at += c.byteCount;
  }
  return units;
}

void PutU32(std::uint8_t* at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

}  // namespace

std::optional<std::string> ClpNameRefusal(std::string_view name) {
  const std::optional<std::u16string> units = Utf16Of(name);
  if (!units) return "its name is not UTF-8 text";
  for (char16_t unit : *units) {
    if (unit == 0) return "its name holds a zero character";
  }
  if (units->size() > kClpLongestName) {
    return "its name is " + Decimal(units->size()) + " characters long, and the file holds at most " +
           Decimal(kClpLongestName);
  }
  return std::nullopt;
}

std::string ClpWrittenName(std::uint32_t format, std::string_view registeredName) {
  if (IsRegisteredFormat(format)) return std::string(registeredName);
  return StandardFormatLabel(format);
}

std::optional<std::vector<std::uint8_t>> ClpTableBytes(const std::vector<ClpEntry>& entries,
                                                       std::uint32_t slots) {
  if (slots > kClpMostEntries || entries.size() > slots) return std::nullopt;
  std::vector<std::uint8_t> bytes(kClpHeaderBytes +
                                  static_cast<std::size_t>(slots) * kClpWindowsNtEntryBytes);
  bytes[0] = static_cast<std::uint8_t>(kClpIdWindowsNt & 0xFF);
  bytes[1] = static_cast<std::uint8_t>(kClpIdWindowsNt >> 8);
  bytes[2] = static_cast<std::uint8_t>(slots & 0xFF);
  bytes[3] = static_cast<std::uint8_t>(slots >> 8);
  std::uint8_t* entry = bytes.data() + kClpHeaderBytes;
  for (const ClpEntry& e : entries) {
    const std::string name = ClpWrittenName(e.format, e.name);
    if (ClpNameRefusal(name)) return std::nullopt;
    const std::u16string units = *Utf16Of(name);
    PutU32(entry + kWindowsNtLayout.lengthAt - 4, e.format);
    PutU32(entry + kWindowsNtLayout.lengthAt, e.length);
    PutU32(entry + kWindowsNtLayout.offsetAt, e.offset);
    std::vector<std::uint8_t> field;
    AppendUtf16Le(units.data(), units.size(), field);
    std::copy(field.begin(), field.end(), entry + kWindowsNtLayout.nameAt);
    entry += kClpWindowsNtEntryBytes;
  }
  return bytes;
}

ClpFilePlan::ClpFilePlan(std::uint32_t slots)
    : slots_(slots < kClpMostEntries ? slots : kClpMostEntries), end_(FirstBlockOffset()) {}

std::uint64_t ClpFilePlan::FirstBlockOffset() const { return TableEnd(kWindowsNtLayout, slots_); }

ClpPlacement ClpFilePlan::Place(std::uint32_t format, std::string_view registeredName, std::uint32_t length) {
  if (entries_.size() >= slots_) return ClpPlacement{false, 0, "the file's table has no slot left"};
  if (const std::optional<std::string> refusal = ClpNameRefusal(ClpWrittenName(format, registeredName))) {
    return ClpPlacement{false, 0, *refusal};
  }
  if (end_ + length > kClpMostFileBytes) {
    return ClpPlacement{false, 0, "its data would lie past the first 4 GiB of the file"};
  }
  const auto offset = static_cast<std::uint32_t>(end_);
  entries_.push_back(ClpEntry{static_cast<std::uint32_t>(entries_.size() + 1), format, length, offset,
                              std::string(registeredName)});
  end_ += length;
  return ClpPlacement{true, offset, {}};
}

std::vector<std::uint8_t> ClpFilePlan::TableBytes() const {
  std::optional<std::vector<std::uint8_t>> bytes = ClpTableBytes(entries_, slots_);
  // Every placed entry passed the same name check the table makes.
  return bytes ? std::move(*bytes) : std::vector<std::uint8_t>{};
}
