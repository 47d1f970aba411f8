#include "formats/shell.h"

#include <algorithm>
#include <string>

#include "formats/dates.h"
#include "formats/text.h"
#include "formats/textdecode.h"
#include "identify/reading.h"

namespace {

// A name's text: count bytes in the system's ANSI code page, or count / 2
// UTF-16 units, cut as long texts are.
std::string NameText(const std::uint8_t* bytes, std::uint32_t count, bool wide, FormatPort& port) {
  return ShownText(bytes, count, wide ? TextUnit::Utf16 : TextUnit::Byte, port);
}

// The terminator of the name at offset: its first byte, or kNoIndex.
std::uint32_t NameEnd(const std::uint8_t* data, std::uint32_t length, std::uint32_t offset, bool wide) {
  return wide ? FindZeroUnit(data, length, offset) : FindZeroByte(data, length, offset);
}

// A line break inside a dropped name is a list that was split wrongly (an
// URI list ended by LF alone comes out so); no file system allows one.
std::uint32_t FirstControlCharacter(const std::uint8_t* data, std::uint32_t offset, std::uint32_t end,
                                    std::uint32_t width) {
  for (std::uint32_t i = offset; i + width <= end; i += width) {
    const bool control = data[i] < 0x20 && (width == 1 || data[i + 1] == 0);
    if (control) return i;
  }
  return kNoIndex;
}

constexpr std::uint32_t kDropFilesSize = 20;

void ListDroppedFiles(Lines& lines, const std::uint8_t* data, std::uint32_t length, std::uint32_t offset,
                      bool wide, FormatPort& port) {
  const std::uint32_t width = wide ? 2 : 1;
  std::uint64_t files = 0;
  Lines fileLines;
  Lines ending;
  for (;;) {
    const std::uint32_t zero = NameEnd(data, length, offset, wide);
    if (zero == kNoIndex) {
      AddProblem(ending, "the file list does not end: no empty name before the end of the data (" +
                             Bytes(length) + ")");
      break;
    }
    if (zero == offset) {
      AddField(ending, "List ends", "at byte " + Decimal(offset));
      const std::uint32_t after = length - zero - width;
      if (after != 0) AddField(ending, "Bytes after the list", Decimal(after));
      break;
    }
    // Past the listed ones, the names are only counted.
    if (++files <= kMaxListedItems) {
      AddField(fileLines, "File " + Decimal(files),
               NameText(data + offset, zero - offset, wide, port) + " (at byte " + Decimal(offset) + ")");
      const std::uint32_t control = FirstControlCharacter(data, offset, zero, width);
      if (control != kNoIndex) {
        AddProblem(fileLines, "file " + Decimal(files) + " holds a control character at byte " +
                                  Decimal(control) + ": no file name can");
      }
    }
    offset = zero + width;
  }
  AddField(lines, "Files", Decimal(files));
  AppendLines(lines, fileLines);
  if (files > kMaxListedItems) AddText(lines, MoreItemsText(files - kMaxListedItems, "files"));
  AppendLines(lines, ending);
}

}  // namespace

Lines InterpretDropFiles(const std::uint8_t* data, std::uint32_t length, FormatPort& port) {
  Lines lines;
  if (length < kDropFilesSize) {
    AddProblem(lines, "DROPFILES takes 20 bytes, the data has " + Decimal(length));
    return lines;
  }
  const std::uint32_t listOffset = *ReadU32(data, length, 0);
  const auto x = static_cast<std::int32_t>(*ReadU32(data, length, 4));
  const auto y = static_cast<std::int32_t>(*ReadU32(data, length, 8));
  const bool nonClient = *ReadU32(data, length, 12) != 0;
  const bool wide = *ReadU32(data, length, 16) != 0;
  AddField(lines, "pFiles", Decimal(listOffset));
  AddField(lines, "pt", "(" + SignedDecimal(x) + ", " + SignedDecimal(y) + ")");
  AddField(lines, "fNC", nonClient ? "TRUE (the point is in the non-client area)" : "FALSE");
  AddField(lines, "fWide", wide ? "TRUE (UTF-16 names)" : "FALSE (ANSI names)");
  if (listOffset >= length) {
    AddProblem(lines, "pFiles " + Decimal(listOffset) + " points past the data (" + Bytes(length) + ")");
    return lines;
  }
  if (listOffset < kDropFilesSize) {
    AddProblem(lines, "pFiles " + Decimal(listOffset) + " points into the DROPFILES header (20 bytes)");
  }
  ListDroppedFiles(lines, data, length, listOffset, wide, port);
  return lines;
}

namespace {

constexpr NamedFlag kDropEffects[] = {{0x1, "COPY"}, {0x2, "MOVE"}, {0x4, "LINK"}, {0x80000000u, "SCROLL"}};

}  // namespace

Lines InterpretDropEffect(const std::uint8_t* data, std::uint32_t length) {
  Lines lines;
  const std::optional<std::uint32_t> effect = ReadLeadingU32(lines, data, length, "a DROPEFFECT");
  if (!effect) return lines;
  AddField(lines, "Value", Hex(*effect, 8));
  AddField(lines, "Effect", FlagsText(*effect, kDropEffects, "NONE"));
  if (length > 4) AddField(lines, "Bytes after the value", Decimal(length - 4));
  return lines;
}

namespace {

// FILEDESCRIPTOR: dwFlags, clsid, sizel, pointl, dwFileAttributes, three
// FILETIMEs, nFileSizeHigh, nFileSizeLow, then 260 characters of name.
constexpr std::uint32_t kDescriptorFixedSize = 72;
constexpr std::uint32_t kNameChars = 260;
constexpr std::uint32_t kAttributesOffset = 36;
constexpr std::uint32_t kCreationOffset = 40;
constexpr std::uint32_t kSizeHighOffset = 64;

constexpr NamedFlag kDescriptorFlags[] = {
    {0x1, "FD_CLSID"},       {0x2, "FD_SIZEPOINT"},      {0x4, "FD_ATTRIBUTES"}, {0x8, "FD_CREATETIME"},
    {0x10, "FD_ACCESSTIME"}, {0x20, "FD_WRITESTIME"},    {0x40, "FD_FILESIZE"},  {0x4000, "FD_PROGRESSUI"},
    {0x8000, "FD_LINKUI"},   {0x80000000u, "FD_UNICODE"}};

constexpr NamedFlag kFileAttributes[] = {{0x1, "READONLY"},
                                         {0x2, "HIDDEN"},
                                         {0x4, "SYSTEM"},
                                         {0x10, "DIRECTORY"},
                                         {0x20, "ARCHIVE"},
                                         {0x40, "DEVICE"},
                                         {0x80, "NORMAL"},
                                         {0x100, "TEMPORARY"},
                                         {0x200, "SPARSE_FILE"},
                                         {0x400, "REPARSE_POINT"},
                                         {0x800, "COMPRESSED"},
                                         {0x1000, "OFFLINE"},
                                         {0x2000, "NOT_CONTENT_INDEXED"},
                                         {0x4000, "ENCRYPTED"}};

std::string TimeText(std::uint64_t fileTime) {
  const std::optional<std::string> text = FileTimeText(fileTime);
  return text ? *text : Hex(fileTime, 16) + " (out of range)";
}

void DescribeFile(Lines& lines, const std::uint8_t* d, std::uint32_t index, std::uint32_t offset, bool wide,
                  FormatPort& port) {
  const std::uint32_t size = kDescriptorFixedSize + kNameChars * (wide ? 2 : 1);
  const std::uint32_t flags = *ReadU32(d, size, 0);
  const std::uint32_t name = kDescriptorFixedSize;
  const std::uint32_t zero = wide ? FindZeroUnit(d, size, name) : FindZeroByte(d, size, name);
  const std::string label = "File " + Decimal(index + 1);
  if (zero == kNoIndex) {
    AddProblem(lines, "the name of file " + Decimal(index + 1) + " (at byte " + Decimal(offset + name) +
                          ") has no terminator in its 260 characters");
  } else {
    const std::string text = wide ? Utf8OfUtf16Units(d + name, (zero - name) / 2)
                                  : port.TextInCodePage(kSystemAnsiCodePage, d + name, zero - name);
    AddField(lines, label, WithoutControls(text) + " (at byte " + Decimal(offset) + ")");
  }
  AddField(lines, "  Flags", FlagsText(flags, kDescriptorFlags, "none"));
  if ((flags & 0x40) != 0) {
    const std::uint64_t bytes = static_cast<std::uint64_t>(*ReadU32(d, size, kSizeHighOffset)) << 32 |
                                *ReadU32(d, size, kSizeHighOffset + 4);
    AddField(lines, "  Size", Bytes(bytes));
  }
  if ((flags & 0x4) != 0) {
    AddField(lines, "  Attributes", FlagsText(*ReadU32(d, size, kAttributesOffset), kFileAttributes, "none"));
  }
  const char* const timeNames[] = {"  Created", "  Accessed", "  Written"};
  for (std::uint32_t t = 0; t < 3; ++t) {
    if ((flags & (0x8u << t)) != 0)
      AddField(lines, timeNames[t], TimeText(*ReadU64(d, size, kCreationOffset + 8 * t)));
  }
}

}  // namespace

Lines InterpretFileGroupDescriptor(const std::uint8_t* data, std::uint32_t length, bool wide,
                                   FormatPort& port) {
  Lines lines;
  const std::optional<std::uint32_t> count = ReadLeadingU32(lines, data, length, "the count");
  if (!count) return lines;
  AddField(lines, "Files", Decimal(*count));
  const std::uint32_t size = kDescriptorFixedSize + kNameChars * (wide ? 2 : 1);
  const std::uint64_t needed = 4 + static_cast<std::uint64_t>(*count) * size;
  const std::uint32_t whole = (length - 4) / size;
  if (needed > length) {
    AddProblem(lines, "a count of " + Decimal(*count) + " needs " + Bytes(needed) + ", the data has " +
                          Decimal(length) + " (" + Decimal(whole) + " whole descriptors)");
  }
  const std::uint32_t shown = std::min({*count, whole, kMaxListedItems});
  for (std::uint32_t i = 0; i < shown; ++i) {
    const std::uint32_t offset = 4 + i * size;
    DescribeFile(lines, data + offset, i, offset, wide, port);
  }
  const std::uint32_t present = std::min(*count, whole);
  if (present > shown) AddText(lines, MoreItemsText(present - shown, "files"));
  return lines;
}

Lines InterpretUrl(const std::uint8_t* data, std::uint32_t length, bool wide, FormatPort& port) {
  Lines lines;
  const std::uint32_t zero = NameEnd(data, length, 0, wide);
  const std::uint32_t end = zero == kNoIndex ? length : zero;
  AddField(lines, "URL", NameText(data, end, wide, port));
  if (zero == kNoIndex) {
    AddProblem(lines, "the URL has no terminator before the end of the data (" + Bytes(length) + ")");
  } else if (zero + (wide ? 2 : 1) < length) {
    AddField(lines, "Bytes after the terminator", Decimal(length - zero - (wide ? 2 : 1)));
  }
  return lines;
}
