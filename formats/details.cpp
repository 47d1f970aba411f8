#include "formats/details.h"

#include <exception>

#include "formats/dib.h"
#include "formats/html.h"
#include "formats/idlist.h"
#include "formats/locale.h"
#include "formats/png.h"
#include "formats/rtf.h"
#include "formats/shell.h"
#include "formats/text.h"

namespace {

const char* KindText(SnapshotKind kind) {
  switch (kind) {
    case SnapshotKind::ByRule:
      return "by the format's size rule";
    case SnapshotKind::FixedWindow:
      return "the first 256 bytes";
    case SnapshotKind::HandleValue:
      return "the handle's value";
    case SnapshotKind::WholeData:
      return "Whole Data";
  }
  return "";
}

const char* FamilyTitle(FormatFamily family) {
  switch (family) {
    case FormatFamily::ByteText:
    case FormatFamily::OemText:
    case FormatFamily::Utf16Text:
      return "Text";
    case FormatFamily::Locale:
      return "Locale";
    case FormatFamily::DropFiles:
      return "Dropped files";
    case FormatFamily::DropEffect:
      return "Drop effect";
    case FormatFamily::FileGroupDescriptor:
    case FormatFamily::FileGroupDescriptorW:
      return "File group descriptor";
    case FormatFamily::Url:
    case FormatFamily::UrlW:
      return "URL";
    case FormatFamily::IdListArray:
      return "Shell IDList Array";
    case FormatFamily::Html:
      return "HTML Format";
    case FormatFamily::Rtf:
      return "Rich Text Format";
    case FormatFamily::Png:
      return "PNG";
    case FormatFamily::Dib:
      return "DIB";
    case FormatFamily::None:
      break;
  }
  return "";
}

std::string OrUnknown(const std::string& text) { return text.empty() ? "(unknown)" : text; }

// A section whose building ran out of memory is one problem line, or no
// line when even that cannot be had.
template <class Build>
Lines Guarded(const Build& build) noexcept {
  try {
    return build();
  } catch (const std::exception&) {
  }
  try {
    Lines lines;
    AddProblem(lines, "there was not enough memory to read this");
    return lines;
  } catch (const std::exception&) {
    return {};
  }
}

// Keeps the lines that fit in kMaxSectionTextBytes and says what is left.
void BoundSection(Lines& lines) {
  std::uint64_t bytes = 0;
  std::size_t kept = 0;
  while (kept < lines.size() && bytes + lines[kept].text.size() + 2 <= kMaxSectionTextBytes) {
    bytes += lines[kept++].text.size() + 2;
  }
  if (kept == lines.size()) return;
  std::uint64_t leftBytes = 0;
  for (std::size_t i = kept; i < lines.size(); ++i) leftBytes += lines[i].text.size() + 2;
  const std::uint64_t leftLines = lines.size() - kept;
  lines.resize(kept);
  AddText(lines, MoreItemsText(leftLines, "lines") + " (" + Bytes(leftBytes) +
                     "): the pane shows the first 256 KiB of a section");
}

Lines Interpret(FormatFamily family, const std::uint8_t* data, std::uint32_t length, FormatPort& port) {
  switch (family) {
    case FormatFamily::ByteText:
      return InterpretText(data, length, TextUnit::Byte, port);
    case FormatFamily::OemText:
      return InterpretText(data, length, TextUnit::Byte, port, kSystemOemCodePage);
    case FormatFamily::Utf16Text:
      return InterpretText(data, length, TextUnit::Utf16, port);
    case FormatFamily::Locale:
      return InterpretLocale(data, length, port);
    case FormatFamily::DropFiles:
      return InterpretDropFiles(data, length, port);
    case FormatFamily::DropEffect:
      return InterpretDropEffect(data, length);
    case FormatFamily::FileGroupDescriptor:
    case FormatFamily::FileGroupDescriptorW:
      return InterpretFileGroupDescriptor(data, length, family == FormatFamily::FileGroupDescriptorW, port);
    case FormatFamily::Url:
    case FormatFamily::UrlW:
      return InterpretUrl(data, length, family == FormatFamily::UrlW, port);
    case FormatFamily::IdListArray:
      return InterpretIdListArray(data, length, port);
    case FormatFamily::Html:
      return InterpretHtml(data, length);
    case FormatFamily::Rtf:
      return InterpretRtf(data, length, port);
    case FormatFamily::Png:
      return InterpretPng(data, length);
    case FormatFamily::Dib:
      return InterpretDib(data, length);
    case FormatFamily::None:
      break;
  }
  return {};
}

Lines BuildSnapshotSection(const SnapshotDescription& s, const std::uint8_t* data) {
  Lines lines;
  AddText(lines, "Snapshot");
  AddField(lines, "Format", HexAndDecimal(s.format) + (s.name.empty() ? "" : " " + s.name));
  AddField(lines, "Length", Bytes(s.length));
  AddField(lines, "Block size",
           s.kind == SnapshotKind::HandleValue ? "(no block)"
           : s.blockSizeKnown                  ? Bytes(s.blockSize)
                                               : "(unknown)");
  AddField(lines, "Read", KindText(s.kind));
  for (const std::string& problem : s.readProblems) AddProblem(lines, problem);
  AddField(lines, "Owner window", s.ownerWindow == 0 ? "(none)" : Hex(s.ownerWindow, 8));
  AddField(lines, "Owner class", OrUnknown(s.ownerClass));
  AddField(lines, "Owner process", s.ownerProcessId == 0 ? "(unknown)" : Decimal(s.ownerProcessId));
  AddField(lines, "Owner executable", OrUnknown(s.ownerExecutable));
  AddField(lines, "Sequence number", Decimal(s.sequenceNumber));
  const char* content = IdentifyData(s.format, s.name, s.kind, data, s.length).content;
  AddField(lines, "Sniff", content == nullptr ? "nothing known" : std::string("looks like ") + content);
  return lines;
}

Lines BuildFormatSection(const SnapshotDescription& s, const std::uint8_t* data, FormatPort& port) {
  const FormatFamily family = IdentifyData(s.format, s.name, s.kind, data, s.length).family;
  Lines lines;
  if (family == FormatFamily::None) return lines;
  AddText(lines, FamilyTitle(family));
  // A handle's value says nothing about the block behind it.
  if (s.kind == SnapshotKind::HandleValue) {
    AddText(lines, "The snapshot holds the handle's value: View > Whole Data reads the block.");
    return lines;
  }
  if (s.kind == SnapshotKind::FixedWindow) {
    AddText(lines, "Only the first 256 bytes were read: View > Whole Data reads the whole block.");
  }
  // The fixed window is zeros past a shorter block: they are not the format's.
  const bool padded = s.kind == SnapshotKind::FixedWindow && s.blockSizeKnown && s.blockSize < s.length;
  AppendLines(lines,
              Interpret(family, data, padded ? static_cast<std::uint32_t>(s.blockSize) : s.length, port));
  return lines;
}

}  // namespace

std::string LeftUnreadProblem(std::string_view marker) {
  return "Not read: the clipboard asks monitors to leave it alone (" + std::string(marker) + ")";
}

Lines SnapshotSection(const SnapshotDescription& s, const std::uint8_t* data) {
  return Guarded([&] { return BuildSnapshotSection(s, data); });
}

Lines CaretSection(const std::uint8_t* data, std::uint32_t length, const CaretFacts& caret) {
  return Guarded([&] {
    Lines lines;
    AddText(lines, "At the caret");
    AppendLines(lines, InterpretAtCaret(data, length, caret));
    return lines;
  });
}

Lines FormatSection(const SnapshotDescription& s, const std::uint8_t* data, FormatPort& port) {
  return Guarded([&] {
    Lines lines = BuildFormatSection(s, data, port);
    BoundSection(lines);
    return lines;
  });
}

std::string JoinLines(const Lines& lines) {
  std::size_t size = 0;
  for (const Line& line : lines) size += line.text.size() + 2;
  std::string text;
  text.reserve(size);
  for (const Line& line : lines) text.append(line.text).append("\r\n");
  return text;
}
