// Whole Data of the clipboard's GDI objects: each is converted into bytes
// that describe it fully, written straight into the new snapshot.
#pragma once

#include <windows.h>

#include <cstdint>

// A new snapshot buffer, released with FreeSnapshot; none when memory is out.
std::uint8_t* AllocateSnapshot(std::uint32_t length);

// A whole snapshot in the making: the bytes, and the size the platform
// reported for their source.
struct WholeSnapshot {
  std::uint8_t* bytes;
  std::uint32_t length;
  std::uint64_t sourceSize;
};

// Each answers false with nothing allocated when the handle is not of its
// kind, the conversion fails, memory is out, or the result would be longer
// than a snapshot can be (GDI's own limits keep every real object far below).
bool BitmapAsPackedDib(HANDLE bitmap, WholeSnapshot* out);
bool PaletteAsLogPalette(HANDLE palette, WholeSnapshot* out);
bool EnhMetafileBytes(HANDLE metafile, WholeSnapshot* out);
// The METAFILEPICT block as it is, then the bits of the metafile it names.
bool MetafilePictureWithBits(HANDLE block, WholeSnapshot* out);
