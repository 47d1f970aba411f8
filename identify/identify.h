// What a snapshot's data is, answered once for the Details pane and the
// Picture view: by the format's number, by its registered name, by how it
// was read and by the bytes' own signature.
#pragma once

#include <cstdint>
#include <string_view>

#include "snapshot/wholedata.h"

enum class PictureKind : std::uint8_t {
  None,
  PackedDib,  // CF_DIB, CF_DIBV5, CF_BITMAP read whole
  Bmp,        // a BMP file, "BM" first
  Png,
  Jpeg,
  Gif,
  Ico,
  Tiff,
};

// "PNG", "JPEG", "GIF", "ICO", "TIFF", "BMP", "DIB"; empty for None.
const char* PictureKindName(PictureKind kind);

// The Details pane's interpreter of the format.
enum class FormatFamily {
  None,
  ByteText,  // in the system's ANSI code page
  OemText,   // in its OEM code page
  Utf16Text,
  Locale,
  DropFiles,
  DropEffect,
  FileGroupDescriptor,
  FileGroupDescriptorW,
  Url,
  UrlW,
  IdListArray,
  Html,
  Rtf,
  Png,
  Dib
};

struct DataIdentity {
  FormatFamily family = FormatFamily::None;
  // The picture the format promises by its number (CF_DIB, CF_DIBV5, and
  // CF_BITMAP once read whole) or its registered name ("PNG", "image/png",
  // "JFIF", "image/jpeg", "GIF", "image/gif", "image/bmp").
  PictureKind promised = PictureKind::None;
  // The picture the bytes' signature names.
  PictureKind signature = PictureKind::None;
  // What the first bytes look like ("PNG", "ZIP", "UTF-16 text" …), or none;
  // none for a handle's value, which holds no content.
  const char* content = nullptr;
};

// registeredName counts for registered formats only: a standard format is
// known by its number.
DataIdentity IdentifyData(std::uint32_t format, std::string_view registeredName, SnapshotKind read,
                          const std::uint8_t* data, std::uint32_t length);
