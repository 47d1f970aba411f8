#include "picture/picturekind.h"

#include <cstdio>
#include <cstring>

#include "app/clipboardformats.h"

namespace {

bool StartsWith(const std::uint8_t* data, std::uint32_t length, const char* signature, std::uint32_t size) {
  return length >= size && std::memcmp(data, signature, size) == 0;
}

std::uint32_t ReadBigEndian32(const std::uint8_t* data, std::uint32_t offset) {
  return static_cast<std::uint32_t>(data[offset]) << 24 | static_cast<std::uint32_t>(data[offset + 1]) << 16 |
         static_cast<std::uint32_t>(data[offset + 2]) << 8 | data[offset + 3];
}

// "BM" alone starts many texts: a BMP file must also name a DIB header size
// at its fifteenth byte.
bool LooksLikeBmpFile(const std::uint8_t* data, std::uint32_t length) {
  if (length < kBmpFileHeaderSize + 4 || data[0] != 'B' || data[1] != 'M') return false;
  const std::uint32_t size =
      data[14] | data[15] << 8 | data[16] << 16 | static_cast<std::uint32_t>(data[17]) << 24;
  return size == kDibCoreHeaderSize || size == kDibInfoHeaderSize || size == kDibV2HeaderSize ||
         size == kDibV3HeaderSize || size == kDibV4HeaderSize || size == kDibV5HeaderSize;
}

// An icon directory: reserved 0, type 1, and at least one image.
bool LooksLikeIco(const std::uint8_t* data, std::uint32_t length) {
  return length >= 6 + 16 && data[0] == 0 && data[1] == 0 && data[2] == 1 && data[3] == 0 &&
         (data[4] != 0 || data[5] != 0);
}

std::uint32_t PngChannels(std::uint8_t colourType) {
  switch (colourType) {
    case 0:
    case 3:
      return 1;
    case 2:
      return 3;
    case 4:
      return 2;
    case 6:
      return 4;
    default:
      return 0;
  }
}

}  // namespace

const char* const kOnlyFixedWindowSentence =
    "Only the first 256 bytes were read. View \xE2\x96\xB8 Whole Data (Ctrl+E) reads the whole picture.";
const char* const kBitmapHandleSentence =
    "Only the bitmap's handle was read. View \xE2\x96\xB8 Whole Data (Ctrl+E) reads the whole picture.";
const char* const kNoSnapshotSentence = "Nothing was read from the clipboard, so there is no picture.";

PictureKind SniffPictureKind(const std::uint8_t* data, std::uint32_t length) {
  if (data == nullptr) return PictureKind::None;
  if (StartsWith(data, length, "\x89PNG\r\n\x1A\n", 8)) return PictureKind::Png;
  if (StartsWith(data, length, "\xFF\xD8\xFF", 3)) return PictureKind::Jpeg;
  if (StartsWith(data, length, "GIF87a", 6) || StartsWith(data, length, "GIF89a", 6)) return PictureKind::Gif;
  if (StartsWith(data, length, "II*\0", 4) || StartsWith(data, length, "MM\0*", 4)) return PictureKind::Tiff;
  if (LooksLikeBmpFile(data, length)) return PictureKind::Bmp;
  if (LooksLikeIco(data, length)) return PictureKind::Ico;
  return PictureKind::None;
}

PictureKind PictureKindOfFormat(std::uint32_t format, std::string_view registeredName, SnapshotKind read) {
  if (format == kFormatDib || format == kFormatDibV5) return PictureKind::PackedDib;
  // A bitmap is a handle; only Whole Data turns it into a packed DIB.
  if (format == kFormatBitmap)
    return read == SnapshotKind::WholeData ? PictureKind::PackedDib : PictureKind::None;
  if (!IsRegisteredFormat(format)) return PictureKind::None;
  if (registeredName == "PNG" || registeredName == "image/png") return PictureKind::Png;
  if (registeredName == "JFIF" || registeredName == "image/jpeg") return PictureKind::Jpeg;
  if (registeredName == "GIF" || registeredName == "image/gif") return PictureKind::Gif;
  if (registeredName == "image/bmp") return PictureKind::Bmp;
  return PictureKind::None;
}

bool IsCompressedKind(PictureKind kind) {
  return kind != PictureKind::None && kind != PictureKind::PackedDib && kind != PictureKind::Bmp;
}

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

PictureVerdict JudgePicture(const PictureInput& input) {
  PictureVerdict verdict;
  if (input.length == 0 || input.bytes == nullptr) {
    verdict.sentence = kNoSnapshotSentence;
    return verdict;
  }
  const PictureKind byFormat = PictureKindOfFormat(input.format, input.registeredName, input.read);
  const PictureKind byContent = SniffPictureKind(input.bytes, input.length);
  if (input.format == kFormatBitmap && input.read == SnapshotKind::HandleValue) {
    verdict.sentence = kBitmapHandleSentence;
    return verdict;
  }
  // The 256-byte window cuts every picture worth the name.
  if (input.read == SnapshotKind::FixedWindow &&
      (byFormat != PictureKind::None || byContent != PictureKind::None)) {
    verdict.sentence = kOnlyFixedWindowSentence;
    return verdict;
  }
  // The bytes say what they are better than a name: a "PNG" format holding a
  // JPEG file decodes as a JPEG. Without a signature the format's promise
  // stands, and the codec says what is wrong with the data.
  verdict.kind = byContent != PictureKind::None ? byContent : byFormat;
  if (verdict.kind == PictureKind::None) verdict.sentence = NoPictureSentence(input.listText);
  return verdict;
}

std::string NoPictureSentence(std::string_view listText) {
  return std::string(listText) + " holds no picture.";
}

std::string DamagedSentence(PictureKind kind, std::string_view reason) {
  return std::string("The ") + PictureKindName(kind) + " data is damaged: " + std::string(reason);
}

std::string CodecErrorReason(std::uint32_t errorCode) {
  const char* words = nullptr;
  switch (errorCode) {
    case 0x88982F07:
      words = "it is no image format the codecs know";
      break;
    case 0x88982F50:
      words = "no codec on this system reads it";
      break;
    case 0x88982F51:
      words = "its size is out of range";
      break;
    case 0x88982F60:
      words = "the image is damaged";
      break;
    case 0x88982F61:
      words = "its header is damaged";
      break;
    case 0x88982F62:
      words = "it holds no image";
      break;
    case 0x88982F70:
      words = "its compressed data is damaged";
      break;
    case 0x88982F72:
      words = "it ends before the image does";
      break;
    case 0x88982F80:
      words = "its pixel format cannot be converted";
      break;
    case 0x8007000E:
      words = "there is not enough memory to decode it";
      break;
    default:
      words = "the codec failed";
      break;
  }
  char code[32];
  (void)std::snprintf(code, sizeof(code), " (0x%08X).", static_cast<unsigned>(errorCode));
  return words + std::string(code);
}

std::string PictureCaption(PictureKind kind, std::uint32_t width, std::uint32_t height,
                           std::uint32_t bitsPerPixel, bool hasAlpha, std::uint32_t byteCount) {
  std::string caption = std::string(PictureKindName(kind)) + ", " + std::to_string(width) + " x " +
                        std::to_string(height) + ", " + std::to_string(bitsPerPixel) + "-bit";
  if (hasAlpha) caption += " with alpha";
  caption += ", " + std::to_string(byteCount) + (byteCount == 1 ? " byte" : " bytes");
  return caption;
}

PngHeader ReadPngHeader(const std::uint8_t* data, std::uint32_t length) {
  PngHeader png;
  // Signature, then IHDR first: length 13, type, width, height, depth, colour type.
  if (length < 8 + 8 + 13 || SniffPictureKind(data, length) != PictureKind::Png) return png;
  if (ReadBigEndian32(data, 8) != 13 || std::memcmp(data + 12, "IHDR", 4) != 0) return png;
  png.width = ReadBigEndian32(data, 16);
  png.height = ReadBigEndian32(data, 20);
  const std::uint8_t depth = data[24];
  const std::uint8_t colourType = data[25];
  png.bitsPerPixel = depth * PngChannels(colourType);
  png.hasAlpha = colourType == 4 || colourType == 6;
  // A tRNS chunk, which comes before the first IDAT, gives the others alpha.
  std::uint64_t offset = 8;
  while (offset + 8 <= length) {
    const std::uint32_t chunkLength = ReadBigEndian32(data, static_cast<std::uint32_t>(offset));
    const std::uint8_t* type = data + offset + 4;
    if (std::memcmp(type, "IDAT", 4) == 0 || std::memcmp(type, "IEND", 4) == 0) break;
    if (std::memcmp(type, "tRNS", 4) == 0) png.hasAlpha = true;
    offset += 12ull + chunkLength;
  }
  png.ok = png.bitsPerPixel != 0;
  return png;
}
