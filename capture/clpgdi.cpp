#include "capture/clpgdi.h"

#include <cstring>
#include <optional>

#include "app/packeddib.h"
#include "formats/lines.h"
#include "identify/reading.h"
#include "snapshot/wholedata.h"

ClpBlockForm ClpBlockFormOf(std::uint32_t format) {
  switch (WholeDataRule(format)) {
    case WholeDataSource::BitmapAsDib:
      return ClpBlockForm::Bitmap;
    case WholeDataSource::MetafilePicture:
      return ClpBlockForm::MetafilePicture;
    case WholeDataSource::PaletteEntries:
      return ClpBlockForm::Palette;
    case WholeDataSource::EnhancedMetafile:
      return ClpBlockForm::EnhMetafile;
    case WholeDataSource::GlobalBlock:
    case WholeDataSource::Unreachable:
      break;
  }
  return ClpBlockForm::GlobalBlock;
}

namespace {

// The depths a bitmap can have: those GetDIBits has rows for.
bool IsBitmapDepth(std::uint32_t bitsPerPixel) {
  return PackedDibLayoutOf(1, 1, bitsPerPixel).totalBytes != 0;
}

std::string TooShortFor(const char* what, std::uint64_t needed, std::uint32_t length) {
  return std::string(what) + " needs " + Bytes(needed) + ", the block has " + Decimal(length);
}

void PutU16(std::uint8_t* at, std::uint32_t value) {
  at[0] = static_cast<std::uint8_t>(value & 0xFF);
  at[1] = static_cast<std::uint8_t>(value >> 8 & 0xFF);
}

std::int32_t I32At(const std::uint8_t* bytes) { return static_cast<std::int32_t>(LittleEndianAt(bytes, 4)); }
std::int32_t I16At(const std::uint8_t* bytes) { return static_cast<std::int16_t>(LittleEndianAt(bytes, 2)); }

ClpBitmap RefusedBitmap(std::string refusal) {
  return ClpBitmap{false, std::move(refusal), 0, 0, 0, 0, 0, 0};
}

}  // namespace

// ------------------------------------------------------------------ bitmaps

ClpBitmap ReadClpBitmap(const std::uint8_t* block, std::uint32_t length) {
  if (length < kClpBitmapHeaderBytes) return RefusedBitmap(TooShortFor("its bitmap header", 14, length));
  const auto width = static_cast<std::uint32_t>(LittleEndianAt(block + 2, 2));
  const auto height = static_cast<std::uint32_t>(LittleEndianAt(block + 4, 2));
  const auto storedRowBytes = static_cast<std::uint32_t>(LittleEndianAt(block + 6, 2));
  const std::uint32_t planes = block[8];
  const std::uint32_t bitsPerPixel = block[9];
  if (width == 0 || height == 0) {
    return RefusedBitmap("its bitmap is " + Decimal(width) + " by " + Decimal(height) + " pixels");
  }
  if (planes != 1)
    return RefusedBitmap("its bitmap has " + Decimal(planes) + " colour planes instead of one");
  if (!IsBitmapDepth(bitsPerPixel)) {
    return RefusedBitmap("its bitmap has " + Decimal(bitsPerPixel) + " bits a pixel, which no bitmap has");
  }
  const std::uint64_t rowBytes = BitmapRowBytes(width, bitsPerPixel);
  if (storedRowBytes < rowBytes) {
    return RefusedBitmap("its bitmap rows of " + Bytes(storedRowBytes) + " are too short for " +
                         Decimal(width) + " pixels of " + Decimal(bitsPerPixel) + " bits");
  }
  const std::uint64_t rows = static_cast<std::uint64_t>(storedRowBytes) * height;
  if (rows > length - kClpBitmapHeaderBytes) {
    return RefusedBitmap(TooShortFor("its bitmap", kClpBitmapHeaderBytes + rows, length));
  }
  return ClpBitmap{true,   {},           width,          height,
                   planes, bitsPerPixel, storedRowBytes, static_cast<std::uint32_t>(rowBytes)};
}

void PackClpBitmapRows(std::uint8_t* block, const ClpBitmap& bitmap) {
  if (!bitmap.ok || bitmap.storedRowBytes == bitmap.rowBytes) return;
  std::uint8_t* rows = block + kClpBitmapHeaderBytes;
  // Each row moves towards the front, never over a row still to be moved.
  for (std::uint32_t row = 1; row < bitmap.height; ++row) {
    std::memmove(rows + static_cast<std::size_t>(row) * bitmap.rowBytes,
                 rows + static_cast<std::size_t>(row) * bitmap.storedRowBytes, bitmap.rowBytes);
  }
}

namespace {

ClpBitmapFromDib RefusedDib(std::string refusal) {
  return ClpBitmapFromDib{false, std::move(refusal), {}, 0, 0, 0, 0, false, 0};
}

}  // namespace

ClpBitmapFromDib DescribeDibAsClpBitmap(const std::uint8_t* dib, std::uint32_t length) {
  if (length < kDibInfoHeaderSize) return RefusedDib(TooShortFor("its DIB header", 40, length));
  const auto headerBytes = static_cast<std::uint32_t>(LittleEndianAt(dib, 4));
  const std::int32_t width = I32At(dib + 4);
  const std::int32_t signedHeight = I32At(dib + 8);
  const auto planes = static_cast<std::uint32_t>(LittleEndianAt(dib + 12, 2));
  const auto bitsPerPixel = static_cast<std::uint32_t>(LittleEndianAt(dib + 14, 2));
  const auto compression = static_cast<std::uint32_t>(LittleEndianAt(dib + 16, 4));
  const auto coloursUsed = static_cast<std::uint32_t>(LittleEndianAt(dib + 32, 4));
  if (headerBytes < kDibInfoHeaderSize || headerBytes > length) {
    return RefusedDib("its DIB header claims " + Bytes(headerBytes));
  }
  if (planes != 1 || !IsBitmapDepth(bitsPerPixel) || compression != 0) {
    return RefusedDib("its DIB is not one plane of uncompressed rows at a bitmap's depth");
  }
  const std::uint64_t height = signedHeight < 0 ? 0 - static_cast<std::int64_t>(signedHeight) : signedHeight;
  if (width <= 0 || height == 0 || width > 0xFFFF || height > 0xFFFF) {
    return RefusedDib("its DIB of " + SignedDecimal(width) + " by " + SignedDecimal(signedHeight) +
                      " pixels does not fit the file's 16-bit sizes");
  }
  const std::uint64_t rowBytes = BitmapRowBytes(static_cast<std::uint32_t>(width), bitsPerPixel);
  if (rowBytes > 0xFFFF)
    return RefusedDib("its rows of " + Bytes(rowBytes) + " do not fit the file's 16-bit size");
  const std::uint64_t fullTable = bitsPerPixel <= 8 ? 1u << bitsPerPixel : 0;
  const std::uint64_t tableEntries = coloursUsed != 0 && coloursUsed < fullTable ? coloursUsed : fullTable;
  const std::uint64_t rowsOffset = headerBytes + 4 * tableEntries;
  const std::uint64_t sourceRowBytes = (static_cast<std::uint64_t>(width) * bitsPerPixel + 31) / 32 * 4;
  if (rowsOffset + sourceRowBytes * height > length) {
    return RefusedDib(TooShortFor("its DIB", rowsOffset + sourceRowBytes * height, length));
  }
  const std::uint64_t blockLength = kClpBitmapHeaderBytes + rowBytes * height;
  if (blockLength > 0xFFFFFFFFull) return RefusedDib("its bitmap would be longer than 4 GiB");
  ClpBitmapFromDib d{true,
                     {},
                     {},
                     static_cast<std::uint32_t>(height),
                     static_cast<std::uint32_t>(rowBytes),
                     static_cast<std::uint32_t>(sourceRowBytes),
                     static_cast<std::uint32_t>(rowsOffset),
                     signedHeight > 0,
                     static_cast<std::uint32_t>(blockLength)};
  d.header.fill(0);
  PutU16(d.header.data() + 2, static_cast<std::uint32_t>(width));
  PutU16(d.header.data() + 4, d.height);
  PutU16(d.header.data() + 6, d.rowBytes);
  d.header[8] = 1;
  d.header[9] = static_cast<std::uint8_t>(bitsPerPixel);
  return d;
}

std::uint32_t DibRowOffset(const ClpBitmapFromDib& description, std::uint32_t row) {
  const std::uint32_t stored = description.bottomUp ? description.height - 1 - row : row;
  return description.rowsOffset + stored * description.sourceRowBytes;
}

std::vector<std::uint8_t> ClpBitmapBlockOfDib(const std::uint8_t* dib, std::uint32_t length,
                                              std::string* refusal) {
  const ClpBlockOfSnapshot block = DescribeClpBlockOfSnapshot(2, dib, length, 0);
  *refusal = block.refusal;
  return GatherClpBlock(block, dib);
}

// ------------------------------------------------------- metafile pictures

namespace {

constexpr std::uint32_t kMetaHeaderBytes = 18;
constexpr std::uint32_t kMetaHeaderWords = 9;

// A METAHEADER at offset: a memory or disk metafile whose header is 9 words.
bool IsMetaHeaderAt(const std::uint8_t* bytes, std::uint32_t length, std::uint64_t offset) {
  if (!Fits(length, offset, kMetaHeaderBytes)) return false;
  const std::uint64_t type = LittleEndianAt(bytes + offset, 2);
  return (type == 1 || type == 2) && LittleEndianAt(bytes + offset + 2, 2) == kMetaHeaderWords;
}

bool FitsInt16(std::int32_t value) { return value >= -32768 && value <= 32767; }

constexpr std::uint32_t kNoWmf = 0xFFFFFFFFu;

// Where the metafile's bits begin in a snapshot: right after the record, or,
// when the platform handed over a longer block (Wine does so to another
// process), where a METAHEADER begins whose size in words reaches exactly to
// the snapshot's end, as the bits come last and whole.
std::uint32_t WmfOffsetInSnapshot(const std::uint8_t* snapshot, std::uint32_t length,
                                  std::uint32_t recordBytes) {
  if (IsMetaHeaderAt(snapshot, length, recordBytes)) return recordBytes;
  for (std::uint64_t at = recordBytes + 2ull; at + kMetaHeaderBytes <= length; at += 2) {
    if (IsMetaHeaderAt(snapshot, length, at) && 2 * LittleEndianAt(snapshot + at + 6, 4) == length - at) {
      return static_cast<std::uint32_t>(at);
    }
  }
  return kNoWmf;
}

ClpMetafile RefusedMetafile(std::string refusal) {
  return ClpMetafile{false, std::move(refusal), 0, 0, 0, 0, 0};
}

}  // namespace

namespace {

// Why the WMF whose METAHEADER is at offset is not whole: the size its
// header gives must lie inside the bytes, and its records, each at least
// three words long, must reach that size exactly, the last the closing
// record. Malformed bits put on the clipboard have been seen to take Wine's
// clipboard manager down with them.
std::string WmfRecordsRefusal(const std::uint8_t* bytes, std::uint32_t length, std::uint32_t offset) {
  constexpr std::uint64_t kShortestRecordWords = 3;
  const std::uint64_t words = LittleEndianAt(bytes + offset + 6, 4);
  const std::uint64_t end = offset + 2 * words;
  if (words < kMetaHeaderWords + kShortestRecordWords || end > length) {
    return "its metafile's size of " + Decimal(words) + " words does not lie inside the block";
  }
  std::uint64_t lastFunction = 0xFFFF;
  for (std::uint64_t at = offset + kMetaHeaderBytes; at < end;) {
    const std::uint64_t size = at + 6 <= end ? LittleEndianAt(bytes + at, 4) : 0;
    if (size < kShortestRecordWords || 2 * size > end - at)
      return "its metafile's records do not add up to its size";
    lastFunction = LittleEndianAt(bytes + at + 4, 2);
    at += 2 * size;
  }
  if (lastFunction != 0) return "its metafile does not end in its closing record";
  return {};
}

// A metafile picture whose WMF begins at offset, checked.
ClpMetafile MetafileAt(const std::uint8_t* block, std::uint32_t length, std::uint32_t offset,
                       std::int32_t mappingMode, std::int32_t xExtent, std::int32_t yExtent) {
  std::string refusal = WmfRecordsRefusal(block, length, offset);
  if (!refusal.empty()) return RefusedMetafile(std::move(refusal));
  const auto wmfLength = static_cast<std::uint32_t>(2 * LittleEndianAt(block + offset + 6, 4));
  return ClpMetafile{true, {}, mappingMode, xExtent, yExtent, offset, wmfLength};
}

}  // namespace

ClpMetafile ReadClpMetafile(const std::uint8_t* block, std::uint32_t length) {
  // Writers disagree on the header: the 16-bit one of 8 bytes, a 32-bit one
  // of 16, or none at all.
  if (IsMetaHeaderAt(block, length, kClpMetafileHeaderBytes)) {
    return MetafileAt(block, length, kClpMetafileHeaderBytes, I16At(block), I16At(block + 2),
                      I16At(block + 4));
  }
  constexpr std::uint32_t kHeader32Bytes = 16;
  if (IsMetaHeaderAt(block, length, kHeader32Bytes)) {
    return MetafileAt(block, length, kHeader32Bytes, I32At(block), I32At(block + 4), I32At(block + 8));
  }
  if (IsMetaHeaderAt(block, length, 0)) return MetafileAt(block, length, 0, kMappingModeAnisotropic, 0, 0);
  return RefusedMetafile("its metafile has no METAHEADER at byte 8, 16 or 0");
}

ClpMetafileFromSnapshot DescribeSnapshotAsClpMetafile(const std::uint8_t* snapshot, std::uint32_t length,
                                                      std::uint32_t recordBytes) {
  ClpMetafileFromSnapshot d{false, {}, {}, 0, 0};
  d.header.fill(0);
  const std::uint32_t wmfOffset =
      recordBytes >= 12 ? WmfOffsetInSnapshot(snapshot, length, recordBytes) : kNoWmf;
  if (wmfOffset == kNoWmf) {
    d.refusal = "its METAFILEPICT is not followed by a metafile";
    return d;
  }
  d.refusal = WmfRecordsRefusal(snapshot, length, wmfOffset);
  if (!d.refusal.empty()) return d;
  const std::int32_t fields[3] = {I32At(snapshot), I32At(snapshot + 4), I32At(snapshot + 8)};
  for (std::int32_t field : fields) {
    if (!FitsInt16(field)) {
      d.refusal = "its mapping mode or extent " + SignedDecimal(field) + " does not fit the file's 16 bits";
      return d;
    }
  }
  for (std::size_t i = 0; i < 3; ++i) PutU16(d.header.data() + 2 * i, static_cast<std::uint16_t>(fields[i]));
  d.ok = true;
  d.wmfOffset = wmfOffset;
  d.wmfLength = static_cast<std::uint32_t>(2 * LittleEndianAt(snapshot + wmfOffset + 6, 4));
  return d;
}

std::vector<std::uint8_t> ClpMetafileBlockOfSnapshot(const std::uint8_t* snapshot, std::uint32_t length,
                                                     std::uint32_t recordBytes, std::string* refusal) {
  const ClpBlockOfSnapshot block = DescribeClpBlockOfSnapshot(3, snapshot, length, recordBytes);
  *refusal = block.refusal;
  return GatherClpBlock(block, snapshot);
}

// ----------------------------------------------------- palettes and EMF

ClpPalette ReadClpPalette(const std::uint8_t* block, std::uint32_t length) {
  const std::optional<std::uint16_t> entries = ReadU16(block, length, 2);
  if (!entries) return ClpPalette{false, TooShortFor("its palette header", 4, length), 0};
  if (*entries == 0) return ClpPalette{false, "its palette has no colours", 0};
  const std::uint64_t needed = LogPaletteSize(*entries);
  if (needed > length) return ClpPalette{false, TooShortFor("its palette", needed, length), 0};
  return ClpPalette{true, {}, *entries};
}

std::string ClpEnhMetafileRefusal(const std::uint8_t* block, std::uint32_t length) {
  constexpr std::uint32_t kHeaderRecord = 1;
  constexpr std::uint32_t kClosingRecord = 14;      // EMR_EOF
  constexpr std::uint32_t kSignature = 0x464D4520;  // " EMF"
  constexpr std::uint32_t kShortestHeader = 88;
  if (length < kShortestHeader || LittleEndianAt(block, 4) != kHeaderRecord ||
      LittleEndianAt(block + 40, 4) != kSignature) {
    return "its enhanced metafile does not begin with an EMF header";
  }
  const std::uint64_t bytes = LittleEndianAt(block + 48, 4);
  if (bytes < kShortestHeader || bytes > length) {
    return "its enhanced metafile's size of " + Bytes(bytes) + " does not lie inside the block";
  }
  // Each record is at least its type and size, in whole 32-bit words; they
  // must reach the size exactly, the last the closing record.
  std::uint64_t lastType = 0;
  for (std::uint64_t at = 0; at < bytes;) {
    const std::uint64_t size = at + 8 <= bytes ? LittleEndianAt(block + at + 4, 4) : 0;
    if (size < 8 || size % 4 != 0 || size > bytes - at) {
      return "its enhanced metafile's records do not add up to its size";
    }
    lastType = LittleEndianAt(block + at, 4);
    at += size;
  }
  if (lastType != kClosingRecord) return "its enhanced metafile does not end in its closing record";
  return {};
}

std::string ClpBlockRefusal(std::uint32_t format, const std::uint8_t* block, std::uint32_t length) {
  switch (ClpBlockFormOf(format)) {
    case ClpBlockForm::Bitmap:
      return ReadClpBitmap(block, length).refusal;
    case ClpBlockForm::MetafilePicture:
      return ReadClpMetafile(block, length).refusal;
    case ClpBlockForm::Palette:
      return ReadClpPalette(block, length).refusal;
    case ClpBlockForm::EnhMetafile:
      return ClpEnhMetafileRefusal(block, length);
    case ClpBlockForm::GlobalBlock:
      break;
  }
  return {};
}

// ------------------------------------------------------ capture, streamed

ClpBlockOfSnapshot DescribeClpBlockOfSnapshot(std::uint32_t format, const std::uint8_t* snapshot,
                                              std::uint32_t length, std::uint32_t metafileRecordBytes) {
  ClpBlockOfSnapshot block = {true, {}, {}, {}, 0};
  switch (ClpBlockFormOf(format)) {
    case ClpBlockForm::Bitmap: {
      const ClpBitmapFromDib d = DescribeDibAsClpBitmap(snapshot, length);
      if (!d.ok) return ClpBlockOfSnapshot{false, d.refusal, {}, {}, 0};
      block.header.assign(d.header.begin(), d.header.end());
      block.spans.reserve(d.height);
      for (std::uint32_t row = 0; row < d.height; ++row)
        block.spans.push_back({DibRowOffset(d, row), d.rowBytes});
      block.length = d.blockLength;
      return block;
    }
    case ClpBlockForm::MetafilePicture: {
      const ClpMetafileFromSnapshot d = DescribeSnapshotAsClpMetafile(snapshot, length, metafileRecordBytes);
      if (!d.ok) return ClpBlockOfSnapshot{false, d.refusal, {}, {}, 0};
      block.header.assign(d.header.begin(), d.header.end());
      block.spans.push_back({d.wmfOffset, d.wmfLength});
      block.length = kClpMetafileHeaderBytes + d.wmfLength;
      return block;
    }
    case ClpBlockForm::Palette:
    case ClpBlockForm::EnhMetafile:
    case ClpBlockForm::GlobalBlock:
      break;
  }
  if (length > 0) block.spans.push_back({0, length});
  block.length = length;
  return block;
}

std::vector<std::uint8_t> GatherClpBlock(const ClpBlockOfSnapshot& block, const std::uint8_t* snapshot) {
  if (!block.ok) return {};
  std::vector<std::uint8_t> bytes(block.header);
  bytes.reserve(block.length);
  for (const ClpSnapshotSpan& span : block.spans) {
    bytes.insert(bytes.end(), snapshot + span.offset, snapshot + span.offset + span.length);
  }
  return bytes;
}
