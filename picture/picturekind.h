// What the Picture view makes of a snapshot before drawing anything: which
// kind of picture it is (identify/ tells what the format promises and what
// the bytes' own signature says), the caption line above a picture, and the
// one sentence shown instead when there is no picture. Portable; texts are
// UTF-8.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "identify/identify.h"
#include "picture/dibheader.h"
#include "snapshot/wholedata.h"

// Whether the kind is drawn by the platform's codecs (all but the DIBs).
bool IsCompressedKind(PictureKind kind);

// What the view is told about one snapshot.
struct PictureInput {
  const std::uint8_t* bytes;
  std::uint32_t length;
  std::uint32_t format;
  std::string_view listText;        // "PNG(0xC017)", "CF_TEXT (1)", for the sentences
  std::string_view registeredName;  // "PNG"; empty for a standard format
  SnapshotKind read;                // how the snapshot was read
};

// The decision for one snapshot: a picture of some kind to decode, or the
// sentence that says why there is none.
struct PictureVerdict {
  PictureKind kind = PictureKind::None;  // None: show sentence
  std::string sentence;
};
PictureVerdict JudgePicture(const PictureInput& input);

// The sentences.
std::string NoPictureSentence(std::string_view listText);  // "CF_TEXT (1) holds no picture."
extern const char* const kOnlyFixedWindowSentence;
extern const char* const kBitmapHandleSentence;
extern const char* const kNoSnapshotSentence;
std::string DamagedSentence(PictureKind kind, std::string_view reason);  // "The PNG data is damaged: ..."
// "There is not enough memory to decode the PNG.", "... to show the DIB.",
// "... to show the picture." for no kind yet.
std::string NotEnoughMemorySentence(PictureKind kind);

// The codec's reason for an error code, in words ("the data is not an
// image the codecs know (0x88982F07)").
std::string CodecErrorReason(std::uint32_t errorCode);

// "PNG, 64 x 48, 32-bit with alpha, 579 bytes"
std::string PictureCaption(PictureKind kind, std::uint32_t width, std::uint32_t height,
                           std::uint32_t bitsPerPixel, bool hasAlpha, std::uint32_t byteCount);

// A PNG's own header: size, bits a pixel and whether it carries alpha (an
// alpha channel or a tRNS chunk before the image data). ok false when the
// IHDR chunk is not where it must be.
struct PngHeader {
  bool ok = false;
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  std::uint32_t bitsPerPixel = 0;
  bool hasAlpha = false;
};
PngHeader ReadPngHeader(const std::uint8_t* data, std::uint32_t length);
