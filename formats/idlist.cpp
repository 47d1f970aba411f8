#include "formats/idlist.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <queue>
#include <string>
#include <vector>

#include "formats/textdecode.h"
#include "identify/reading.h"

namespace {

// --- the walk of every list at once -----------------------------------------

// How a list ends: with its terminator, or where its bytes stop making one.
struct ListEnd {
  enum class How { Terminator, PastTheData, SizeOne, ItemPastTheData } how = How::Terminator;
  std::uint32_t at = 0;
  std::uint16_t size = 0;  // of the item that runs past the data
};

struct ListWalk {
  std::uint32_t items = 0;
  ListEnd end;
};

// Lists may share their tails: many offsets into one long list, or lists
// that run into one another. Every list is walked at once, lowest position
// first, and lists that reach the same byte go on as one, so that each byte
// is walked once however many lists pass it: the work is the data's length
// (times the log of the number of lists), never lists times length.
std::map<std::uint32_t, ListWalk> WalkLists(const std::uint8_t* data, std::uint32_t length,
                                            const std::vector<std::uint32_t>& starts) {
  struct Part {
    std::uint32_t items = 0;
    std::uint32_t joins = kNoIndex;  // the part this one went on as, where lists met
    bool ended = false;
    ListEnd end;
  };
  std::vector<Part> parts;
  using Front = std::pair<std::uint32_t, std::uint32_t>;  // position, part
  std::priority_queue<Front, std::vector<Front>, std::greater<>> fronts;
  std::map<std::uint32_t, std::uint32_t> partOfStart;
  for (const std::uint32_t start : starts) {
    if (!partOfStart.emplace(start, static_cast<std::uint32_t>(parts.size())).second) continue;
    fronts.emplace(start, static_cast<std::uint32_t>(parts.size()));
    parts.emplace_back();
  }
  while (!fronts.empty()) {
    const auto [at, first] = fronts.top();
    fronts.pop();
    std::uint32_t part = first;
    if (!fronts.empty() && fronts.top().first == at) {
      part = static_cast<std::uint32_t>(parts.size());
      parts.emplace_back();
      parts[first].joins = part;
      while (!fronts.empty() && fronts.top().first == at) {
        parts[fronts.top().second].joins = part;
        fronts.pop();
      }
    }
    const std::optional<std::uint16_t> size = ReadU16(data, length, at);
    Part& p = parts[part];
    if (!size) {
      p.end = ListEnd{ListEnd::How::PastTheData, at, 0};
    } else if (*size == 0) {
      p.end = ListEnd{ListEnd::How::Terminator, at, 0};
    } else if (*size < 2) {
      p.end = ListEnd{ListEnd::How::SizeOne, at, 1};
    } else if (!Fits(length, at, *size)) {
      p.end = ListEnd{ListEnd::How::ItemPastTheData, at, *size};
    } else {
      ++p.items;
      fronts.emplace(at + *size, part);
      continue;
    }
    p.ended = true;
  }
  // A part joins only parts made after it: from the last to the first, each
  // takes its items and its end from the one it went on as.
  for (std::size_t i = parts.size(); i-- > 0;) {
    if (parts[i].joins == kNoIndex) continue;
    const Part& joined = parts[parts[i].joins];
    parts[i].items += joined.items;
    parts[i].end = joined.end;
  }
  std::map<std::uint32_t, ListWalk> walks;
  for (const auto& [start, part] : partOfStart) walks[start] = ListWalk{parts[part].items, parts[part].end};
  return walks;
}

std::string EndProblem(const ListEnd& end, std::uint32_t length) {
  switch (end.how) {
    case ListEnd::How::PastTheData:
      return "runs past the data (" + Bytes(length) + ") at byte " + Decimal(end.at);
    case ListEnd::How::SizeOne:
      return "has an item of size 1 at byte " + Decimal(end.at);
    case ListEnd::How::ItemPastTheData:
      return "has an item of " + Bytes(end.size) + " at byte " + Decimal(end.at) +
             " that runs past the data (" + Bytes(length) + ")";
    case ListEnd::How::Terminator:
      break;
  }
  return {};
}

// --- one shell item ---------------------------------------------------------

// Item type bytes (the first after the size) by their high nibble.
constexpr std::uint8_t kRootFolderItem = 0x1F;
constexpr std::uint8_t kVolumeItems = 0x20;
constexpr std::uint8_t kFileSystemItems = 0x30;
// A file-system item's type bits.
constexpr std::uint8_t kFolderBit = 0x01;
constexpr std::uint8_t kFileBit = 0x02;
constexpr std::uint8_t kUnicodeNameBit = 0x04;
// A file-system item's fixed part: size, type, a byte, the file size, the
// modification time and the attributes; its short name follows.
constexpr std::uint32_t kShortNameOffset = 14;
constexpr std::uint32_t kExtensionSignature = 0xBEEF0004;
// A name longer than a file system allows (255 UTF-16 units) is no name.
constexpr std::uint32_t kMaxNameBytes = 512;

struct NamedGuid {
  const char* guid;
  const char* name;
};
constexpr const char* kThisPc = "{20D04FE0-3AEA-1069-A2D8-08002B30309D}";
constexpr NamedGuid kKnownFolders[] = {
    {kThisPc, "This PC"},
    {"{450D8FBA-AD25-11D0-98A8-0800361B1103}", "Documents"},
    {"{208D2C60-3AEA-1069-A2D7-08002B30309D}", "Network"},
    {"{F02C1A0D-BE21-4350-88B0-7367FC96EF3C}", "Network"},
    {"{645FF040-5081-101B-9F08-00AA002F954E}", "Recycle Bin"},
    {"{21EC2020-3AEA-1069-A2DD-08002B30309D}", "Control Panel"},
    {"{26EE0668-A00A-44D7-9371-BEB064C98683}", "Control Panel"},
    {"{2227A280-3AEA-1069-A2DE-08002B30309D}", "Printers"},
    {"{59031A47-3F72-44A7-89C5-5595FE6B30EE}", "the user's folder"},
    {"{031E4825-7B94-4DC3-B131-E946B44C8DD5}", "Libraries"},
    {"{679F85CB-0220-4080-B29B-5540CC05AAB6}", "Quick access"},
    {"{018D5C66-4533-4307-9B53-224DE2ED1FE6}", "OneDrive"},
};

// A GUID as stored: three little-endian numbers, then eight bytes.
std::string GuidText(const std::uint8_t* g) {
  char text[40];
  (void)std::snprintf(
      text, sizeof(text), "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
      static_cast<unsigned>(LittleEndianAt(g, 4)), static_cast<unsigned>(LittleEndianAt(g + 4, 2)),
      static_cast<unsigned>(LittleEndianAt(g + 6, 2)), g[8], g[9], g[10], g[11], g[12], g[13], g[14], g[15]);
  return text;
}

struct ShellItem {
  enum class Kind { ThisPc, Drive, FileSystem, Other } kind = Kind::Other;
  std::string line;      // "Drive: C:\"
  std::string pathPart;  // "C:", or a name; empty when it gives no path
};

// A name that ends inside the item, within a file system's longest name;
// none when it does not.
std::optional<std::string> NameAt(const std::uint8_t* item, std::uint32_t end, std::uint32_t at, bool wide,
                                  FormatPort& port, std::uint32_t* after) {
  const std::uint32_t limit = std::min(end, at + kMaxNameBytes);
  if (at >= limit) return std::nullopt;
  const std::uint32_t zero = wide ? FindZeroUnit(item, limit, at) : FindZeroByte(item, limit, at);
  if (zero == kNoIndex) return std::nullopt;
  *after = zero + (wide ? 2 : 1);
  return wide ? Utf8OfUtf16Units(item + at, (zero - at) / 2)
              : port.TextInCodePage(kSystemAnsiCodePage, item + at, zero - at);
}

// Where a file-system item's long name lies in its 0xBEEF0004 extension
// block, by the block's version; 0 for a version without one. Wine's shell
// writes the block of version 3 with version and signature left 0.
std::uint32_t LongNameOffset(std::uint16_t version, std::uint32_t signature) {
  if (signature == 0 && version == 0) return 20;
  if (signature != kExtensionSignature) return 0;
  if (version >= 9) return 46;
  if (version == 8) return 42;
  if (version == 7) return 38;
  return version >= 3 ? 20 : 0;
}

// The long name of the extension block that ends the item, whose offset
// the block's (and the item's) last two bytes give, when the block is whole
// and after the short name.
std::optional<std::string> LongNameOf(const std::uint8_t* item, std::uint32_t size, std::uint32_t shortEnd) {
  const std::uint32_t blockAt = static_cast<std::uint32_t>(LittleEndianAt(item + size - 2, 2));
  const std::optional<std::uint16_t> blockSize = ReadU16(item, size, blockAt);
  const std::optional<std::uint16_t> version = ReadU16(item, size, blockAt + 2);
  const std::optional<std::uint32_t> signature = ReadU32(item, size, blockAt + 4);
  if (blockAt < shortEnd || !blockSize || !version || !signature || blockAt + *blockSize != size ||
      LongNameOffset(*version, *signature) == 0) {
    return std::nullopt;
  }
  const std::uint32_t blockEnd = size - 2;
  const std::uint32_t at = blockAt + LongNameOffset(*version, *signature);
  const std::uint32_t limit = std::min(blockEnd, at + kMaxNameBytes);
  const std::uint32_t zero = at < limit ? FindZeroUnit(item, limit, at) : kNoIndex;
  if (zero == kNoIndex) return std::nullopt;
  return Utf8OfUtf16Units(item + at, (zero - at) / 2);
}

bool IsPathName(const std::string& name) {
  return !name.empty() && name.find_first_of("\\/:") == std::string::npos &&
         std::none_of(name.begin(), name.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; });
}

ShellItem FileSystemItem(const std::uint8_t* item, std::uint32_t size, std::uint8_t type, FormatPort& port) {
  ShellItem shell;
  std::uint32_t shortEnd = 0;
  const std::optional<std::string> shortName =
      NameAt(item, size, kShortNameOffset, (type & kUnicodeNameBit) != 0, port, &shortEnd);
  if (!shortName) return shell;
  const std::optional<std::string> longName = LongNameOf(item, size, shortEnd);
  const char* what = (type & kFolderBit) != 0 ? "Folder: "
                     : (type & kFileBit) != 0 ? "File: "
                                              : "File-system item: ";
  shell.kind = ShellItem::Kind::FileSystem;
  const std::string name = WithoutControls(longName ? *longName : *shortName);
  shell.line = what + name;
  if (longName && *longName != *shortName) shell.line += " (short name " + WithoutControls(*shortName) + ")";
  if (IsPathName(longName ? *longName : *shortName)) shell.pathPart = name;
  return shell;
}

ShellItem DescribeItem(const std::uint8_t* item, std::uint32_t size, FormatPort& port) {
  ShellItem shell;
  const std::uint8_t type = size > 2 ? item[2] : 0;
  if (type == kRootFolderItem && size >= 20) {
    const std::string guid = GuidText(item + 4);
    const auto known = std::find_if(std::begin(kKnownFolders), std::end(kKnownFolders),
                                    [&](const NamedGuid& g) { return guid == g.guid; });
    shell.line = "Root folder: " + guid +
                 (known != std::end(kKnownFolders) ? std::string(" (") + known->name + ")" : "");
    if (guid == kThisPc) shell.kind = ShellItem::Kind::ThisPc;
    return shell;
  }
  if ((type & 0xF0) == kVolumeItems && size >= 6) {
    const char letter = static_cast<char>(item[3] & 0xDF);
    if (letter >= 'A' && letter <= 'Z' && item[4] == ':' && item[5] == '\\') {
      shell.kind = ShellItem::Kind::Drive;
      shell.line = std::string("Drive: ") + letter + ":\\";
      shell.pathPart = std::string(1, letter) + ":";
      return shell;
    }
  }
  if ((type & 0xF0) == kFileSystemItems && size >= kShortNameOffset + 2) {
    shell = FileSystemItem(item, size, type, port);
    if (shell.kind == ShellItem::Kind::FileSystem) return shell;
  }
  shell.line = size > 2 ? "Item of type " + Hex(type, 2) + ", " + Bytes(size) : "Item of " + Bytes(size);
  return shell;
}

// --- the lists --------------------------------------------------------------

struct DescribedList {
  std::vector<ShellItem> items;  // the first kMaxDescribedShellItems
  std::uint32_t count = 0;       // all of them
};

DescribedList DescribeList(const std::uint8_t* data, std::uint32_t start, const ListWalk& walk,
                           FormatPort& port) {
  DescribedList list;
  list.count = walk.items;
  std::uint32_t at = start;
  for (std::uint32_t i = 0; i < walk.items && i < kMaxDescribedShellItems; ++i) {
    const auto size = static_cast<std::uint32_t>(LittleEndianAt(data + at, 2));
    list.items.push_back(DescribeItem(data + at, size, port));
    at += size;
  }
  return list;
}

// The file-system path of This PC, a drive and file-system items below it;
// empty for items that form none.
std::string PathOf(const DescribedList& folder, const DescribedList* item) {
  std::vector<const ShellItem*> items;
  for (const DescribedList* list : {&folder, item}) {
    if (list == nullptr) continue;
    if (list->items.size() != list->count) return {};
    for (const ShellItem& i : list->items) items.push_back(&i);
  }
  if (items.size() < 2 || items[0]->kind != ShellItem::Kind::ThisPc ||
      items[1]->kind != ShellItem::Kind::Drive) {
    return {};
  }
  std::string path = items[1]->pathPart + "\\";
  for (std::size_t i = 2; i < items.size(); ++i) {
    if (items[i]->kind != ShellItem::Kind::FileSystem || items[i]->pathPart.empty()) return {};
    path += (i > 2 ? "\\" : "") + items[i]->pathPart;
  }
  return path;
}

void AddItemLines(Lines& lines, const DescribedList& list) {
  for (const ShellItem& item : list.items) AddText(lines, "  " + item.line);
  if (list.count > list.items.size())
    AddText(lines, "  " + MoreItemsText(list.count - list.items.size(), "items"));
}

}  // namespace

Lines InterpretIdListArray(const std::uint8_t* data, std::uint32_t length, FormatPort& port) {
  Lines lines;
  const std::optional<std::uint32_t> count = ReadLeadingU32(lines, data, length, "the count");
  if (!count) return lines;
  AddField(lines, "Items", Decimal(*count));
  // The offsets: the folder's list first, then one per item.
  const std::uint64_t offsets = static_cast<std::uint64_t>(*count) + 1;
  if (!Fits(length, 4, offsets * 4)) {
    AddProblem(lines, "a count of " + Decimal(*count) + " needs " + Bytes(4 + offsets * 4) +
                          " of offsets, the data has " + Decimal(length));
  }
  const std::uint64_t present = std::min<std::uint64_t>(offsets, (length - 4) / 4);
  const auto shown = static_cast<std::uint32_t>(std::min<std::uint64_t>(present, kMaxListedItems + 1));
  std::vector<std::uint32_t> starts;
  for (std::uint32_t i = 0; i < shown; ++i) {
    const std::uint32_t offset = *ReadU32(data, length, 4 + 4ull * i);
    if (offset < length) starts.push_back(offset);
  }
  const std::map<std::uint32_t, ListWalk> walks = WalkLists(data, length, starts);
  std::map<std::uint32_t, std::uint32_t> firstAt;  // offset: the first list there
  std::optional<DescribedList> folder;
  for (std::uint32_t i = 0; i < shown; ++i) {
    const std::uint32_t offset = *ReadU32(data, length, 4 + 4ull * i);
    const std::string label = i == 0 ? std::string("Folder") : "Item " + Decimal(i);
    if (offset >= length) {
      AddProblem(lines,
                 label + " offset " + Decimal(offset) + " points past the data (" + Bytes(length) + ")");
      continue;
    }
    const auto [first, isNew] = firstAt.emplace(offset, i);
    if (!isNew) {
      AddField(lines, label,
               "at byte " + Decimal(offset) + ", the same list as " +
                   (first->second == 0 ? std::string("the folder") : "item " + Decimal(first->second)));
      continue;
    }
    const ListWalk& walk = walks.at(offset);
    if (walk.end.how != ListEnd::How::Terminator) {
      AddProblem(lines, label + " at byte " + Decimal(offset) + " " + EndProblem(walk.end, length));
      continue;
    }
    const DescribedList list = DescribeList(data, offset, walk, port);
    std::string value = "at byte " + Decimal(offset) + ", " + Bytes(walk.end.at + 2 - offset) + ", " +
                        Decimal(walk.items) + (walk.items == 1 ? " item" : " items");
    if (i == 0) folder = list;
    const std::string path = folder ? PathOf(*folder, i == 0 ? nullptr : &list) : std::string();
    if (!path.empty()) value += ", path " + path;
    AddField(lines, label, value);
    AddItemLines(lines, list);
  }
  if (present > kMaxListedItems + 1) AddText(lines, MoreItemsText(present - kMaxListedItems - 1, "items"));
  return lines;
}
