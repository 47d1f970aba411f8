// The clipboard file's reader over any bytes as a file, given whole or only
// as far as the directory asks, as heap blocks of exactly that length; every
// directory it accepts holds only restorable formats inside the file, once
// each, and goes through the writer's table and back unchanged. Each entry's
// block, and the bytes as a packed DIB or a metafile snapshot, go through
// the GDI forms, whose answers must lie inside what they were given and
// read back as they were written.
#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "capture/clpfile.h"
#include "capture/clpgdi.h"
#include "fuzztarget.h"

namespace {

void CheckAccepted(const ClpDirectory& d, std::uint64_t fileSize) {
  std::set<std::pair<std::uint32_t, std::string>> seen;
  std::uint32_t lastPosition = 0;
  for (const ClpEntry& e : d.entries) {
    FUZZ_CHECK(e.position > lastPosition && e.position <= d.slots);
    lastPosition = e.position;
    FUZZ_CHECK(e.format != 0 && e.format <= 0xFFFF);
    FUZZ_CHECK(!ClpNotCapturedReason(e.format).has_value());
    FUZZ_CHECK(static_cast<std::uint64_t>(e.offset) + e.length <= fileSize);
    FUZZ_CHECK(!ClpNameRefusal(e.name).has_value());
    std::string key = IsRegisteredFormat(e.format) ? e.name : std::to_string(e.format);
    if (IsRegisteredFormat(e.format)) {
      FUZZ_CHECK(!key.empty());
      for (char& c : key) c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    }
    FUZZ_CHECK(seen.emplace(IsRegisteredFormat(e.format), key).second);
  }
}

// The writer's table for the entries, read back in a file at least as long.
void CheckRewritten(const ClpDirectory& d, std::uint64_t fileSize) {
  const std::optional<std::vector<std::uint8_t>> table =
      ClpTableBytes(d.entries, static_cast<std::uint32_t>(d.entries.size()));
  FUZZ_CHECK(table.has_value());
  const fuzz::ExactBytes bytes(table->data(), table->size());
  const std::uint64_t size = std::max<std::uint64_t>(fileSize, bytes.size());
  const ClpDirectory back = ReadClpDirectory(bytes.data(), static_cast<std::uint32_t>(bytes.size()), size);
  FUZZ_CHECK(!back.problem.has_value());
  FUZZ_CHECK(back.fileId == kClpIdWindowsNt && back.entries.size() == d.entries.size());
  for (std::size_t i = 0; i < d.entries.size(); ++i) {
    const ClpEntry& a = d.entries[i];
    const ClpEntry& b = back.entries[i];
    FUZZ_CHECK(a.format == b.format && a.length == b.length && a.offset == b.offset && b.position == i + 1);
    FUZZ_CHECK(b.name == ClpWrittenName(a.format, a.name));
  }
}

void CheckBitmapBlock(const std::uint8_t* block, std::uint32_t length) {
  const ClpBitmap bitmap = ReadClpBitmap(block, length);
  if (!bitmap.ok) return;
  FUZZ_CHECK(bitmap.rowBytes <= bitmap.storedRowBytes && bitmap.rowBytes % 2 == 0);
  FUZZ_CHECK(kClpBitmapHeaderBytes + static_cast<std::uint64_t>(bitmap.storedRowBytes) * bitmap.height <=
             length);
  std::vector<std::uint8_t> copy(block, block + length);
  PackClpBitmapRows(copy.data(), bitmap);
}

void CheckBlock(std::uint32_t format, const std::uint8_t* block, std::uint32_t length) {
  const std::string refusal = ClpBlockRefusal(format, block, length);
  switch (ClpBlockFormOf(format)) {
    case ClpBlockForm::Bitmap:
      CheckBitmapBlock(block, length);
      break;
    case ClpBlockForm::MetafilePicture: {
      const ClpMetafile m = ReadClpMetafile(block, length);
      FUZZ_CHECK(m.ok == refusal.empty());
      if (m.ok)
        FUZZ_CHECK(static_cast<std::uint64_t>(m.wmfOffset) + m.wmfLength <= length && m.wmfLength >= 24);
      break;
    }
    case ClpBlockForm::Palette: {
      const ClpPalette p = ReadClpPalette(block, length);
      if (p.ok) FUZZ_CHECK(4 + 4ull * p.entries <= length && p.entries > 0);
      break;
    }
    case ClpBlockForm::EnhMetafile:
      if (refusal.empty()) FUZZ_CHECK(length >= 88 && length >= block[48] + (block[49] << 8));
      break;
    case ClpBlockForm::GlobalBlock:
      FUZZ_CHECK(refusal.empty());
      break;
  }
}

// The bytes as Whole Data's snapshots of a bitmap and a metafile picture.
void CheckSnapshotForms(const std::uint8_t* bytes, std::uint32_t length, std::uint32_t record) {
  std::string refusal;
  const std::vector<std::uint8_t> bitmap = ClpBitmapBlockOfDib(bytes, length, &refusal);
  if (refusal.empty()) {
    const ClpBitmap back = ReadClpBitmap(bitmap.data(), static_cast<std::uint32_t>(bitmap.size()));
    FUZZ_CHECK(back.ok && back.storedRowBytes == back.rowBytes);
    FUZZ_CHECK(kClpBitmapHeaderBytes + static_cast<std::uint64_t>(back.rowBytes) * back.height ==
               bitmap.size());
  }
  const std::vector<std::uint8_t> metafile = ClpMetafileBlockOfSnapshot(bytes, length, record, &refusal);
  if (refusal.empty()) {
    const ClpMetafile back = ReadClpMetafile(metafile.data(), static_cast<std::uint32_t>(metafile.size()));
    FUZZ_CHECK(back.ok && back.wmfOffset == kClpMetafileHeaderBytes);
    FUZZ_CHECK(kClpMetafileHeaderBytes + static_cast<std::uint64_t>(back.wmfLength) == metafile.size());
  }
}

}  // namespace

KELVANE_FUZZ_TARGET(clpfile) {
  fuzz::Input in(data, size);
  const bool onlyTheDirectory = in.Bit();
  const std::uint32_t record = in.Bit() ? 24 : 16;
  const fuzz::ExactBytes file(in.rest(), in.restSize());
  const auto fileSize = static_cast<std::uint32_t>(file.size());
  std::uint32_t given = fileSize;
  if (onlyTheDirectory) {
    const std::uint64_t wanted = ClpDirectoryBytes(file.data(), fileSize);
    given = static_cast<std::uint32_t>(std::min<std::uint64_t>(wanted, fileSize));
  }
  const fuzz::ExactBytes directoryBytes(file.data(), given);
  const ClpDirectory d =
      ReadClpDirectory(directoryBytes.data(), static_cast<std::uint32_t>(directoryBytes.size()), fileSize);
  if (d.problem) {
    FUZZ_CHECK(!d.problem->message.empty() && d.problem->position <= d.slots && d.entries.empty());
  } else {
    CheckAccepted(d, fileSize);
    CheckRewritten(d, fileSize);
    std::size_t checked = 0;
    for (const ClpEntry& e : d.entries) {
      if (++checked > 64) break;
      const fuzz::ExactBytes block(file.data() == nullptr ? nullptr : file.data() + e.offset, e.length);
      CheckBlock(e.format, block.data(), e.length);
    }
  }
  CheckSnapshotForms(file.data(), fileSize, record);
}
