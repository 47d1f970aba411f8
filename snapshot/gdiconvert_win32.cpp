// The GDI side of Whole Data: bitmaps through GetDIBits, palettes through
// GetPaletteEntries, metafiles through their Get...Bits calls. The sizes are
// computed by snapshot/wholedata.cpp.
#include "snapshot/gdiconvert_win32.h"

#include <cstring>

#include "app/packeddib.h"
#include "snapshot/snapshot.h"
#include "snapshot/wholedata.h"

namespace {

bool FitsSnapshot(std::uint64_t size) { return size != 0 && size <= kLongestSnapshot; }

// Allocates out's buffer for size bytes; false when it cannot hold them.
bool AllocateWhole(std::uint64_t size, WholeSnapshot* out) {
  if (!FitsSnapshot(size)) return false;
  out->bytes = AllocateSnapshot(static_cast<std::uint32_t>(size));
  if (out->bytes == nullptr) return false;
  out->length = static_cast<std::uint32_t>(size);
  out->sourceSize = size;
  return true;
}

bool Abandon(WholeSnapshot* out) {
  FreeSnapshot(out->bytes);
  *out = WholeSnapshot{nullptr, 0, 0};
  return false;
}

// GetDIBits writes the header, the colour table and the rows in place, so
// the snapshot is the only copy of the pixels.
bool FillPackedDib(HBITMAP bitmap, const BITMAP& info, std::uint32_t bitsPerPixel,
                   const PackedDibLayout& layout, std::uint8_t* bytes) {
  std::memset(bytes, 0, kDibInfoHeaderSize + layout.colourTableBytes);
  auto* header = reinterpret_cast<BITMAPINFOHEADER*>(bytes);
  header->biSize = sizeof(BITMAPINFOHEADER);
  header->biWidth = info.bmWidth;
  header->biHeight = info.bmHeight;
  header->biPlanes = 1;
  header->biBitCount = static_cast<WORD>(bitsPerPixel);
  header->biCompression = BI_RGB;
  HDC screen = ::GetDC(nullptr);
  const int rows = ::GetDIBits(screen, bitmap, 0, static_cast<UINT>(info.bmHeight),
                               bytes + kDibInfoHeaderSize + layout.colourTableBytes,
                               reinterpret_cast<BITMAPINFO*>(bytes), DIB_RGB_COLORS);
  ::ReleaseDC(nullptr, screen);
  // The table was sized in full; a shorter count would make the header
  // describe another layout than the bytes have.
  header->biClrUsed = 0;
  return rows == info.bmHeight;
}

}  // namespace

bool BitmapAsPackedDib(HANDLE handle, WholeSnapshot* out) {
  *out = WholeSnapshot{nullptr, 0, 0};
  auto bitmap = static_cast<HBITMAP>(handle);
  BITMAP info = {};
  if (::GetObjectType(bitmap) != OBJ_BITMAP || ::GetObjectA(bitmap, sizeof(info), &info) == 0) return false;
  if (info.bmWidth <= 0 || info.bmHeight <= 0) return false;
  const std::uint32_t bitsPerPixel = static_cast<std::uint32_t>(info.bmPlanes) * info.bmBitsPixel;
  const PackedDibLayout layout = PackedDibLayoutOf(static_cast<std::uint32_t>(info.bmWidth),
                                                   static_cast<std::uint32_t>(info.bmHeight), bitsPerPixel);
  if (!AllocateWhole(layout.totalBytes, out)) return false;
  if (!FillPackedDib(bitmap, info, bitsPerPixel, layout, out->bytes)) return Abandon(out);
  return true;
}

bool PaletteAsLogPalette(HANDLE handle, WholeSnapshot* out) {
  *out = WholeSnapshot{nullptr, 0, 0};
  auto palette = static_cast<HPALETTE>(handle);
  WORD entries = 0;
  if (::GetObjectType(palette) != OBJ_PAL || ::GetObjectA(palette, sizeof(entries), &entries) == 0) {
    return false;
  }
  if (!AllocateWhole(LogPaletteSize(entries), out)) return false;
  constexpr WORD kLogPaletteVersion = 0x300;
  std::memcpy(out->bytes, &kLogPaletteVersion, 2);
  std::memcpy(out->bytes + 2, &entries, 2);
  const UINT got = ::GetPaletteEntries(palette, 0, entries, reinterpret_cast<PALETTEENTRY*>(out->bytes + 4));
  if (got != entries) return Abandon(out);
  return true;
}

bool EnhMetafileBytes(HANDLE handle, WholeSnapshot* out) {
  *out = WholeSnapshot{nullptr, 0, 0};
  auto metafile = static_cast<HENHMETAFILE>(handle);
  const UINT size = ::GetEnhMetaFileBits(metafile, 0, nullptr);
  if (!AllocateWhole(size, out)) return false;
  if (::GetEnhMetaFileBits(metafile, size, out->bytes) != size) return Abandon(out);
  return true;
}

bool MetafilePictureWithBits(HANDLE handle, WholeSnapshot* out) {
  *out = WholeSnapshot{nullptr, 0, 0};
  const void* locked = ::GlobalLock(handle);
  if (locked == nullptr) return false;
  const SIZE_T blockSize = ::GlobalSize(handle);
  bool ok = false;
  if (blockSize >= sizeof(METAFILEPICT)) {
    const HMETAFILE metafile = static_cast<const METAFILEPICT*>(locked)->hMF;
    const UINT bits = ::GetMetaFileBitsEx(metafile, 0, nullptr);
    if (bits != 0 && AllocateWhole(static_cast<std::uint64_t>(blockSize) + bits, out)) {
      std::memcpy(out->bytes, locked, blockSize);
      ok = ::GetMetaFileBitsEx(metafile, bits, out->bytes + blockSize) == bits;
      if (!ok) Abandon(out);
    }
  }
  ::GlobalUnlock(handle);
  return ok;
}
