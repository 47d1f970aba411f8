// Whole Data: a snapshot of all of a format's data instead of the part the
// size rules keep. Portable: which way a format's data is reached is a
// function of its number alone, and the sizes are plain arithmetic, so that
// the platform side only fetches and copies.
#pragma once

#include <cstdint>

#include "app/clipboardformats.h"

// How the snapshot of a read was made, as the frame reports it.
enum class SnapshotKind : std::uint8_t {
  ByRule,       // "BinaryData", the texts and the file names by their size rules
  FixedWindow,  // the first 256 bytes of the block
  HandleValue,  // only the handle's value
  WholeData,    // every byte of the block, or the GDI object converted
};

// How Whole Data reaches a format's data.
enum class WholeDataSource : std::uint8_t {
  GlobalBlock,       // the block, all of it (texts too, past their terminator)
  MetafilePicture,   // the METAFILEPICT block, then the metafile's own bits
  BitmapAsDib,       // a bitmap handle, as a packed DIB at the bitmap's own depth
  PaletteEntries,    // a palette handle, as a LOGPALETTE
  EnhancedMetafile,  // an enhanced-metafile handle, as its EMF bytes
  Unreachable,       // no data the program can read: the read fails
};

WholeDataSource WholeDataRule(std::uint32_t format);

// Snapshot lengths are 32-bit: a larger source keeps its first 0xFFFFFFFF
// bytes and is marked cut.
constexpr std::uint32_t kLongestSnapshot = 0xFFFFFFFFu;
struct WholeDataExtent {
  std::uint32_t length;
  bool cut;
};
WholeDataExtent WholeDataExtentOf(std::uint64_t sourceSize);

// The layout of a packed DIB with a BITMAPINFOHEADER and BI_RGB rows, as
// GetDIBits writes it for a bitmap of this size and depth: a full colour
// table at 8 bits or fewer, none above; rows padded to 32 bits.
struct PackedDibLayout {
  std::uint32_t colourTableBytes;
  std::uint64_t rowBytes;
  std::uint64_t imageBytes;
  std::uint64_t totalBytes;  // header + colour table + image; 0 for a depth GetDIBits has no rows for
};
PackedDibLayout PackedDibLayoutOf(std::uint32_t width, std::uint32_t height, std::uint32_t bitsPerPixel);

// A LOGPALETTE: version and count words, then four bytes an entry.
constexpr std::uint32_t LogPaletteSize(std::uint32_t entries) { return 4 + 4 * entries; }
