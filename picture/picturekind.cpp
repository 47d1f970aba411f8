#include "picture/picturekind.h"

#include <cstdio>

#include "app/clipboardformats.h"
#include "identify/png.h"

const char* const kOnlyFixedWindowSentence =
    "Only the first 256 bytes were read. View \xE2\x96\xB8 Whole Data (Ctrl+E) reads the whole picture.";
const char* const kBitmapHandleSentence =
    "Only the bitmap's handle was read. View \xE2\x96\xB8 Whole Data (Ctrl+E) reads the whole picture.";
const char* const kNoSnapshotSentence = "Nothing was read from the clipboard, so there is no picture.";

bool IsCompressedKind(PictureKind kind) {
  return kind != PictureKind::None && kind != PictureKind::PackedDib && kind != PictureKind::Bmp;
}

PictureVerdict JudgePicture(const PictureInput& input) {
  PictureVerdict verdict;
  if (input.length == 0 || input.bytes == nullptr) {
    verdict.sentence = kNoSnapshotSentence;
    return verdict;
  }
  const DataIdentity identity =
      IdentifyData(input.format, input.registeredName, input.read, input.bytes, input.length);
  const PictureKind byFormat = identity.promised;
  const PictureKind byContent = identity.signature;
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

std::string NotEnoughMemorySentence(PictureKind kind) {
  if (kind == PictureKind::None) return "There is not enough memory to show the picture.";
  return std::string("There is not enough memory to ") + (IsCompressedKind(kind) ? "decode" : "show") +
         " the " + PictureKindName(kind) + ".";
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
  if (!HasPngSignature(data, length)) return png;
  const PngChunk first = PngChunkAt(data, length, kPngSignatureSize);
  const std::optional<PngImageHeader> ihdr = ReadPngImageHeader(data, length, first);
  if (first.type != PngType("IHDR") || first.size != kPngIhdrSize || !ihdr) return png;
  png.width = ihdr->width;
  png.height = ihdr->height;
  png.bitsPerPixel = ihdr->bitDepth * PngChannels(ihdr->colourType);
  png.hasAlpha = ihdr->colourType == 4 || ihdr->colourType == 6;
  // A tRNS chunk, which comes before the first IDAT, gives the others alpha.
  for (PngChunk chunk = first; chunk.headerInData; chunk = PngChunkAt(data, length, chunk.End())) {
    if (chunk.type == PngType("IDAT") || chunk.type == PngType("IEND")) break;
    if (chunk.type == PngType("tRNS")) png.hasAlpha = true;
  }
  png.ok = png.bitsPerPixel != 0;
  return png;
}
