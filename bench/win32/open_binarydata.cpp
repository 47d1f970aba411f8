// How long opening a 256 MiB "BinaryData" block takes: the snapshot read
// alone and a whole "Binary dump" window, each beside a plain memcpy of the
// same size measured in the same run, so the numbers can be compared on any
// machine. Usage: bench_open_binarydata.exe [runs] [MiB]
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "app/kelvane.h"
#include "app/privateformats.h"
#include "dumpframe/dumpframe.h"
#include "snapshot/snapshot.h"

#include "benchsupport.h"

namespace {

using benchsupport::Median;
using benchsupport::Now;
using benchsupport::OpenClipboardRetry;

// A block of blockBytes whose length word covers the rest of it.
bool PutBinaryData(std::uint32_t blockBytes) {
  HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, blockBytes);
  if (block == nullptr) return false;
  auto* bytes = static_cast<std::uint8_t*>(::GlobalLock(block));
  const std::uint32_t payload = blockBytes - 4;
  std::memcpy(bytes, &payload, 4);
  for (std::uint32_t i = 4; i < blockBytes; ++i) bytes[i] = static_cast<std::uint8_t>(i * 31);
  ::GlobalUnlock(block);
  if (!OpenClipboardRetry()) {
    ::GlobalFree(block);
    return false;
  }
  ::EmptyClipboard();
  const bool ok = ::SetClipboardData(g_binaryDataFormat, block) != nullptr;
  ::CloseClipboard();
  if (!ok) ::GlobalFree(block);
  return ok;
}

void WaitForFreeClipboard() {
  if (OpenClipboardRetry()) ::CloseClipboard();
}

void Pump() {
  MSG msg;
  while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
  }
}

void Report(const char* what, const std::vector<double>& samples, double bytes) {
  const double median = Median(samples);
  std::printf("%-34s median %9.2f ms  (%6.2f GB/s)  min %9.2f  max %9.2f  runs %zu\n", what, median,
              bytes / (median / 1000.0) / 1e9, *std::min_element(samples.begin(), samples.end()),
              *std::max_element(samples.begin(), samples.end()), samples.size());
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
  const std::uint32_t mebibytes = argc > 2 ? static_cast<std::uint32_t>(std::atoi(argv[2])) : 256;
  const std::uint32_t blockBytes = mebibytes * 1024u * 1024u;
  HINSTANCE instance = benchsupport::RegisterKelvaneWindows();

  double start = Now();
  if (!PutBinaryData(blockBytes)) {
    std::printf("could not put %u MiB of BinaryData on the clipboard\n", mebibytes);
    return 1;
  }
  std::printf("put %u MiB on the clipboard: %.2f ms\n", mebibytes, Now() - start);

  std::vector<std::uint8_t> source(blockBytes, 0x5A), target(blockBytes);
  std::vector<double> copies, fetches, reads, frames;
  for (int run = 0; run < runs; ++run) {
    start = Now();
    std::memcpy(target.data(), source.data(), blockBytes);
    copies.push_back(Now() - start);

    // The clipboard's own part: fetching the handle (Wine hands the data over
    // from its server on every call), without the reader's copy.
    WaitForFreeClipboard();
    start = Now();
    if (::OpenClipboard(nullptr)) {
      HANDLE data = ::GetClipboardData(g_binaryDataFormat);
      if (data != nullptr) ::GlobalSize(data);
      ::CloseClipboard();
    }
    fetches.push_back(Now() - start);

    WaitForFreeClipboard();
    std::uint8_t* snapshot = nullptr;
    std::uint32_t length = 0;
    start = Now();
    const bool ok = ReadClipboardFormat(nullptr, g_binaryDataFormat, &snapshot, &length);
    reads.push_back(Now() - start);
    if (!ok || length != blockBytes) {
      std::printf("read %d failed: ok %d, length %u\n", run, ok, length);
      FreeSnapshot(snapshot);
      return 1;
    }
    FreeSnapshot(snapshot);

    // The whole window as the format browser opens it, up to its first paint.
    WaitForFreeClipboard();
    DumpCreateParams params = {nullptr, g_binaryDataFormat, "BinaryData"};
    start = Now();
    HWND frame = ::CreateWindowExA(0, DUMPFRAME_CLASS_NAME, "Binary dump",
                                   WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN, 0, 300, 650, 300, nullptr,
                                   nullptr, instance, &params);
    ::UpdateWindow(frame);
    frames.push_back(Now() - start);
    const bool titleOk = frame != nullptr && ::GetWindowTextLengthA(frame) == 11;  // "Binary dump"
    ::DestroyWindow(frame);
    Pump();
    if (!titleOk) {
      std::printf("frame %d failed to read the clipboard\n", run);
      return 1;
    }
  }
  const double bytes = static_cast<double>(blockBytes);
  Report("memcpy", copies, bytes);
  Report("GetClipboardData alone", fetches, bytes);
  Report("ReadClipboardFormat", reads, bytes);
  Report("DumpFrame creation + first paint", frames, bytes);
  std::printf("first read %.2f ms, first frame %.2f ms\n", reads.front(), frames.front());
  if (OpenClipboardRetry()) {
    ::EmptyClipboard();
    ::CloseClipboard();
  }
  return 0;
}
