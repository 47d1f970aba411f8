// The forms the clipboard file gives the formats that are GDI objects, both
// ways, as arithmetic on bytes: what View > Whole Data reads from the
// clipboard into a file's block, and a file's block into what the platform
// rebuilds the object from. Every conversion is bounded by the bytes it is
// given and refuses, with a reason, what does not fit.
//
//   CF_BITMAP, CF_DSPBITMAP            14-byte 16-bit BITMAP header, then the
//                                      device-dependent rows, top row first,
//                                      each padded to 16 bits
//   CF_METAFILEPICT, CF_DSPMETAFILEPICT  8-byte 16-bit METAFILEPICT header
//                                      (mapping mode, extents, 0), then the WMF
//   CF_PALETTE                         a LOGPALETTE, as Whole Data reads it
//   CF_ENHMETAFILE, CF_DSPENHMETAFILE  the EMF bytes, as Whole Data reads them
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// How a format's block is turned into what the clipboard is given.
enum class ClpBlockForm : std::uint8_t {
  GlobalBlock,      // the bytes as they are, in a global-memory block
  Bitmap,           // CreateBitmap
  MetafilePicture,  // SetMetaFileBitsEx and a METAFILEPICT block
  Palette,          // CreatePalette
  EnhMetafile,      // SetEnhMetaFileBits
};
ClpBlockForm ClpBlockFormOf(std::uint32_t format);

// ------------------------------------------------------------------ bitmaps

inline constexpr std::uint32_t kClpBitmapHeaderBytes = 14;

// Bytes of one device-dependent row as CreateBitmap takes it: padded to 16 bits.
constexpr std::uint64_t BitmapRowBytes(std::uint32_t width, std::uint32_t bitsPerPixel) {
  return (static_cast<std::uint64_t>(width) * bitsPerPixel + 15) / 16 * 2;
}

// A file's bitmap block, checked: the rows lie at kClpBitmapHeaderBytes,
// storedRowBytes apart.
struct ClpBitmap {
  bool ok;
  std::string refusal;  // a clause: "its bitmap is 0 pixels wide"
  std::uint32_t width;
  std::uint32_t height;
  std::uint32_t planes;
  std::uint32_t bitsPerPixel;
  std::uint32_t storedRowBytes;
  std::uint32_t rowBytes;  // what CreateBitmap takes: BitmapRowBytes
};
ClpBitmap ReadClpBitmap(const std::uint8_t* block, std::uint32_t length);

// Moves the rows of a checked block together at rowBytes apart, in place,
// when the file stored them farther apart; afterwards the rows CreateBitmap
// takes begin at kClpBitmapHeaderBytes.
void PackClpBitmapRows(std::uint8_t* block, const ClpBitmap& bitmap);

// A packed DIB at the bitmap's own depth, as Whole Data reads a CF_BITMAP
// (BITMAPINFOHEADER, colour table, rows padded to 32 bits, bottom-up or
// top-down by the height's sign), made into a file's block. The colour table
// is not kept: a bitmap's colours come from the file's CF_PALETTE entry.
struct ClpBitmapFromDib {
  bool ok;
  std::string refusal;
  std::array<std::uint8_t, kClpBitmapHeaderBytes> header;
  std::uint32_t height;
  std::uint32_t rowBytes;        // in the block
  std::uint32_t sourceRowBytes;  // in the DIB
  std::uint32_t rowsOffset;      // of the DIB's first row in memory
  bool bottomUp;
  std::uint32_t blockLength;  // header and rows
};
ClpBitmapFromDib DescribeDibAsClpBitmap(const std::uint8_t* dib, std::uint32_t length);
// Where in the DIB row `row` of the block (0 is the top) begins; a streaming
// writer copies rowBytes from there.
std::uint32_t DibRowOffset(const ClpBitmapFromDib& description, std::uint32_t row);
// The whole block, header and rows; empty with *refusal set when the DIB is refused.
std::vector<std::uint8_t> ClpBitmapBlockOfDib(const std::uint8_t* dib, std::uint32_t length,
                                              std::string* refusal);

// ------------------------------------------------------- metafile pictures

inline constexpr std::uint32_t kClpMetafileHeaderBytes = 8;
inline constexpr std::int32_t kMappingModeAnisotropic = 8;

// A file's metafile-picture block: where its WMF bytes are, found by their
// METAHEADER after an 8-byte header, a 16-byte one, or none; without a
// header the picture is anisotropic with no suggested size.
struct ClpMetafile {
  bool ok;
  std::string refusal;
  std::int32_t mappingMode;
  std::int32_t xExtent;
  std::int32_t yExtent;
  std::uint32_t wmfOffset;
  std::uint32_t wmfLength;
};
ClpMetafile ReadClpMetafile(const std::uint8_t* block, std::uint32_t length);

// Whole Data's CF_METAFILEPICT snapshot (the platform's METAFILEPICT block,
// sizeof(METAFILEPICT) = recordBytes: 16 bytes on 32-bit systems, 24 on
// 64-bit; then the metafile's bits) made into a file's block: the header,
// then the snapshot's bytes from wmfOffset on. Under Wine a block from
// another process is longer than the record; the bits are then found at the
// snapshot's end by the length their METAHEADER gives.
struct ClpMetafileFromSnapshot {
  bool ok;
  std::string refusal;
  std::array<std::uint8_t, kClpMetafileHeaderBytes> header;
  std::uint32_t wmfOffset;
  std::uint32_t wmfLength;
};
ClpMetafileFromSnapshot DescribeSnapshotAsClpMetafile(const std::uint8_t* snapshot, std::uint32_t length,
                                                      std::uint32_t recordBytes);
std::vector<std::uint8_t> ClpMetafileBlockOfSnapshot(const std::uint8_t* snapshot, std::uint32_t length,
                                                     std::uint32_t recordBytes, std::string* refusal);

// ----------------------------------------------------- palettes and EMF

inline constexpr std::uint16_t kLogPaletteVersion = 0x300;

// A file's palette block: a LOGPALETTE of entries colours (the version word
// is not checked; the palette is rebuilt as version 0x300).
struct ClpPalette {
  bool ok;
  std::string refusal;
  std::uint32_t entries;
};
ClpPalette ReadClpPalette(const std::uint8_t* block, std::uint32_t length);

// Why a file's enhanced-metafile block is no EMF (its header record and
// signature), or empty when it looks like one; the platform checks the rest.
std::string ClpEnhMetafileRefusal(const std::uint8_t* block, std::uint32_t length);

// ------------------------------------------------------ capture, streamed

// A file's block made of a Whole Data snapshot of format without a copy of
// it: header bytes, then spans of the snapshot, written one after another.
// Texts, registered formats, palettes and EMFs are the snapshot whole; a
// bitmap is its 14-byte header and each row at 16-bit padding, top row
// first; a metafile picture its 8-byte header and the WMF bytes.
struct ClpSnapshotSpan {
  std::uint32_t offset;
  std::uint32_t length;
};
struct ClpBlockOfSnapshot {
  bool ok;
  std::string refusal;
  std::vector<std::uint8_t> header;
  std::vector<ClpSnapshotSpan> spans;
  std::uint32_t length;  // header and spans
};
ClpBlockOfSnapshot DescribeClpBlockOfSnapshot(std::uint32_t format, const std::uint8_t* snapshot,
                                              std::uint32_t length, std::uint32_t metafileRecordBytes);
// The described block gathered into one vector.
std::vector<std::uint8_t> GatherClpBlock(const ClpBlockOfSnapshot& block, const std::uint8_t* snapshot);

// Why a file's block of format cannot be made into the clipboard's data, as
// a clause; empty when it can (global blocks always can).
std::string ClpBlockRefusal(std::uint32_t format, const std::uint8_t* block, std::uint32_t length);
