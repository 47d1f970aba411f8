#include "identify/identify.h"

#include <algorithm>

#include "app/clipboardformats.h"
#include "app/packeddib.h"
#include "encoding/unicode.h"
#include "identify/png.h"
#include "identify/reading.h"

namespace {

struct NamedFormat {
  std::string_view name;
  FormatFamily family;
  PictureKind picture;
};

// Registered formats are known by name alone: their numbers differ from one
// session to the next.
constexpr NamedFormat kNamedFormats[] = {
    {"FileName", FormatFamily::ByteText, PictureKind::None},
    {"FileNameW", FormatFamily::Utf16Text, PictureKind::None},
    {"HTML Format", FormatFamily::Html, PictureKind::None},
    {"Rich Text Format", FormatFamily::Rtf, PictureKind::None},
    {"Preferred DropEffect", FormatFamily::DropEffect, PictureKind::None},
    {"Performed DropEffect", FormatFamily::DropEffect, PictureKind::None},
    {"Logical Performed DropEffect", FormatFamily::DropEffect, PictureKind::None},
    {"Paste Succeeded", FormatFamily::DropEffect, PictureKind::None},
    {"FileGroupDescriptorW", FormatFamily::FileGroupDescriptorW, PictureKind::None},
    {"FileGroupDescriptor", FormatFamily::FileGroupDescriptor, PictureKind::None},
    {"UniformResourceLocator", FormatFamily::Url, PictureKind::None},
    {"UniformResourceLocatorW", FormatFamily::UrlW, PictureKind::None},
    {"Shell IDList Array", FormatFamily::IdListArray, PictureKind::None},
    {"PNG", FormatFamily::Png, PictureKind::Png},
    {"image/png", FormatFamily::Png, PictureKind::Png},
    {"JFIF", FormatFamily::None, PictureKind::Jpeg},
    {"image/jpeg", FormatFamily::None, PictureKind::Jpeg},
    {"GIF", FormatFamily::None, PictureKind::Gif},
    {"image/gif", FormatFamily::None, PictureKind::Gif},
    {"image/bmp", FormatFamily::None, PictureKind::Bmp},
};

FormatFamily FamilyOfNumber(std::uint32_t format) {
  switch (format) {
    case kFormatText:
      return FormatFamily::ByteText;
    case kFormatOemText:
      return FormatFamily::OemText;
    case kFormatUnicodeText:
      return FormatFamily::Utf16Text;
    case kFormatHDrop:
      return FormatFamily::DropFiles;
    case kFormatLocale:
      return FormatFamily::Locale;
    case kFormatDib:
    case kFormatDibV5:
      return FormatFamily::Dib;
    default:
      return FormatFamily::None;
  }
}

PictureKind PromisedByNumber(std::uint32_t format, SnapshotKind read) {
  if (format == kFormatDib || format == kFormatDibV5) return PictureKind::PackedDib;
  // A bitmap is a handle; only Whole Data turns it into a packed DIB.
  if (format == kFormatBitmap && read == SnapshotKind::WholeData) return PictureKind::PackedDib;
  return PictureKind::None;
}

// "BM" alone starts many texts: a BMP file must also name a DIB header size
// at its fifteenth byte.
bool LooksLikeBmpFile(const std::uint8_t* data, std::uint32_t length) {
  const std::optional<std::uint32_t> headerSize = ReadU32(data, length, kBmpFileHeaderSize);
  return BytesAt(data, length, 0, "BM", 2) && headerSize && IsDibHeaderSize(*headerSize);
}

// An icon directory: reserved 0, type 1, at least one image, and room for
// its first 16-byte entry.
bool LooksLikeIco(const std::uint8_t* data, std::uint32_t length) {
  const std::optional<std::uint16_t> images = ReadU16(data, length, 4);
  return BytesAt(data, length, 0, "\0\0\1\0", 4) && images && *images != 0 && Fits(length, 6, 16);
}

PictureKind PictureOfSignature(const std::uint8_t* data, std::uint32_t length) {
  if (HasPngSignature(data, length)) return PictureKind::Png;
  if (BytesAt(data, length, 0, "\xFF\xD8\xFF", 3)) return PictureKind::Jpeg;
  if (BytesAt(data, length, 0, "GIF87a", 6) || BytesAt(data, length, 0, "GIF89a", 6)) return PictureKind::Gif;
  if (BytesAt(data, length, 0, "II*\0", 4) || BytesAt(data, length, 0, "MM\0*", 4)) return PictureKind::Tiff;
  if (LooksLikeBmpFile(data, length)) return PictureKind::Bmp;
  if (LooksLikeIco(data, length)) return PictureKind::Ico;
  return PictureKind::None;
}

struct Signature {
  const char* bytes;
  std::uint32_t size;
  std::uint32_t at;
  const char* kind;
};

constexpr Signature kSignatures[] = {
    {"\xEF\xBB\xBF", 3, 0, "UTF-8 text with BOM"},
    {"\xFF\xFE", 2, 0, "UTF-16 text with BOM"},
    {"\xFE\xFF", 2, 0, "UTF-16 big-endian text with BOM"},
    {"PK\x03\x04", 4, 0, "ZIP"},
    {"%PDF-", 5, 0, "PDF"},
    {"{\\rtf", 5, 0, "RTF"},
    {"<?xml", 5, 0, "XML"},
    {"Version:", 8, 0, "HTML Format (with its header)"},
    {"WEBP", 4, 8, "WebP"},
    {"WAVE", 4, 8, "WAV"},
    {"\x1F\x8B", 2, 0, "GZIP"},
    {"\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8, 0, "an OLE compound file"},
};

bool LooksLikeHtml(const std::uint8_t* data, std::uint32_t length) {
  std::uint32_t at = 0;
  while (at < length && at < 64 &&
         (data[at] == ' ' || data[at] == '\t' || data[at] == '\r' || data[at] == '\n')) {
    ++at;
  }
  const std::uint32_t n = std::min<std::uint32_t>(length - at, 9);
  std::string head(reinterpret_cast<const char*>(data + at), n);
  for (char& c : head) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return head.rfind("<!doctype", 0) == 0 || head.rfind("<html", 0) == 0;
}

// Text is judged on its first bytes only, so that the sniff costs the same
// for any length of data.
constexpr std::uint32_t kTextSample = 4096;

// Text without a byte-order mark: UTF-16 when most odd bytes are zero and
// the even ones are not; else 8-bit text when no control character but the
// usual white space and a final zero occurs.
const char* TextKind(const std::uint8_t* data, std::uint32_t length) {
  const std::uint32_t n = std::min(length, kTextSample);
  if (n < 2) return nullptr;
  std::uint32_t oddZeros = 0;
  std::uint32_t evenZeros = 0;
  for (std::uint32_t i = 0; i + 1 < n; i += 2) {
    evenZeros += data[i] == 0;
    oddZeros += data[i + 1] == 0;
  }
  const std::uint32_t pairs = n / 2;
  if (oddZeros * 4 >= pairs * 3 && evenZeros * 4 < pairs) return "UTF-16 text";
  bool ascii = true;
  for (std::uint32_t i = 0; i < n; ++i) {
    const std::uint8_t c = data[i];
    if (c == 0) {
      // Only zeros may follow a terminator.
      if (std::any_of(data + i, data + n, [](std::uint8_t b) { return b != 0; })) return nullptr;
      break;
    }
    if (c < 0x20 && c != '\t' && c != '\r' && c != '\n') return nullptr;
    if (c >= 0x80) ascii = false;
  }
  if (ascii) return "ASCII text";
  // The sample may cut the last character short.
  const std::uint32_t valid = ValidUtf8Length(data, n);
  return valid == n || (n == kTextSample && n - valid < 4) ? "UTF-8 text" : "8-bit text";
}

const char* ContentKind(PictureKind signature, const std::uint8_t* data, std::uint32_t length) {
  // The pictures by the signatures the Picture view decodes them by.
  if (signature != PictureKind::None) return PictureKindName(signature);
  for (const Signature& s : kSignatures) {
    if (BytesAt(data, length, s.at, s.bytes, s.size)) return s.kind;
  }
  if (LooksLikeHtml(data, length)) return "HTML";
  return TextKind(data, length);
}

}  // namespace

const char* PictureKindName(PictureKind kind) {
  switch (kind) {
    case PictureKind::PackedDib:
      return "DIB";
    case PictureKind::Bmp:
      return "BMP";
    case PictureKind::Png:
      return "PNG";
    case PictureKind::Jpeg:
      return "JPEG";
    case PictureKind::Gif:
      return "GIF";
    case PictureKind::Ico:
      return "ICO";
    case PictureKind::Tiff:
      return "TIFF";
    case PictureKind::None:
      break;
  }
  return "";
}

DataIdentity IdentifyData(std::uint32_t format, std::string_view registeredName, SnapshotKind read,
                          const std::uint8_t* data, std::uint32_t length) {
  DataIdentity identity;
  if (data == nullptr) length = 0;
  identity.family = FamilyOfNumber(format);
  identity.promised = PromisedByNumber(format, read);
  if (IsRegisteredFormat(format)) {
    const auto named = std::find_if(std::begin(kNamedFormats), std::end(kNamedFormats),
                                    [&](const NamedFormat& n) { return n.name == registeredName; });
    if (named != std::end(kNamedFormats)) {
      identity.family = named->family;
      identity.promised = named->picture;
    }
  }
  identity.signature = PictureOfSignature(data, length);
  if (identity.family == FormatFamily::None && identity.signature == PictureKind::Png) {
    identity.family = FormatFamily::Png;
  }
  if (read != SnapshotKind::HandleValue) identity.content = ContentKind(identity.signature, data, length);
  return identity;
}
