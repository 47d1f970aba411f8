// Decoding of compressed pictures (PNG, JPEG, GIF, TIFF, ICO) through the
// platform's image codecs, on a worker thread that hands its result over
// through a mailbox the view and its workers share.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
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

// Where a worker leaves its result for the view. Whoever holds the last
// reference frees it, and with it any result nobody took: a result never
// depends on a message reaching a window.
class DecodeMailbox {
 public:
  // The worker's hand-over: kept for the view (in place of an older result
  // it has not taken), or freed at once when the view has closed the box.
  // False when freed.
  bool Leave(std::unique_ptr<DecodedPicture> result);
  // The view's: the result waiting, or none.
  std::unique_ptr<DecodedPicture> Take();
  // The view is going: what waits is freed, and so is all that comes later.
  void Close();

 private:
  std::mutex lock_;
  bool closed_ = false;
  std::unique_ptr<DecodedPicture> waiting_;
};

// Starts decoding a copy of bytes on a new thread. The result goes to the
// mailbox and PVM_DECODED to view, unless latest has moved past generation
// by then (a newer snapshot arrived): such a decode stops at its next step
// and leaves nothing. False, with nothing started, when the copy or the
// thread cannot be had: memory, in the first case (E_OUTOFMEMORY), or the
// system's reason in *failure.
bool StartDecode(HWND view, std::uint32_t generation,
                 const std::shared_ptr<std::atomic<std::uint32_t>>& latest,
                 const std::shared_ptr<DecodeMailbox>& mailbox, PictureKind kind, const std::uint8_t* bytes,
                 std::uint32_t length, HRESULT* failure);

// A decoded picture is refused past this many bytes of pixels.
constexpr std::uint64_t kMaxDecodedBytes = 1ull << 30;
