// Decoding of compressed pictures (PNG, JPEG, GIF, TIFF, ICO) through the
// platform's image codecs, on a worker thread that posts its result back.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "picture/picturekind.h"
#include "picture/pictureview.h"

struct DecodedPicture {
  std::uint32_t generation = 0;
  HRESULT result = S_OK;  // a failure's code; nothing else is set
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  std::uint32_t bitsPerPixel = 0;    // of the picture as stored
  bool hasAlpha = false;             // any pixel less than opaque
  std::vector<std::uint8_t> pixels;  // premultiplied BGRA, top-down, width * 4 a row
};

// Starts decoding a copy of bytes on a new thread. The result goes to view as
// PVM_DECODED, unless latest has moved past generation by then (a newer
// snapshot arrived): such a decode stops at its next step and posts nothing.
void StartDecode(HWND view, std::uint32_t generation,
                 const std::shared_ptr<std::atomic<std::uint32_t>>& latest, PictureKind kind,
                 const std::uint8_t* bytes, std::uint32_t length);

// A decoded picture is refused past this many bytes of pixels.
constexpr std::uint64_t kMaxDecodedBytes = 1ull << 30;
