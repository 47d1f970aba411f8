// How long opening a large "BinaryData" block takes, and how much memory it
// needs. In the same run, so that the figures compare on any machine:
//
//   memcpy, warm        a copy between two buffers whose pages are mapped
//   cold copy           a new block of the same size and a copy into it: what
//                       any private copy costs, fresh pages included
//   hand-over           OpenClipboard, GetClipboardData, GlobalLock and
//                       GlobalUnlock, CloseClipboard: the platform's own part
//   hand-over + touch   the same, reading one byte of every page of the block:
//                       under Wine the block arrives with pages that cost a
//                       fault on their first read, a cost any reader of the
//                       data pays
//   ReadClipboardFormat the snapshot reader
//   Whole Data          ReadClipboardSnapshot with Whole Data on, the same
//                       block: at most 1.2 times the reader's read
//   copy by faults,     the reader's steps done by hand, the snapshot's pages
//   copy after a lock   brought in by the copy's own faults, or by one
//                       VirtualLock of the whole snapshot first: what the
//                       reader's choice between the two is worth here
//   DumpFrame           a whole "Binary dump" window up to its first paint
//
// The reader's own cost is its time beyond the hand-over; the goal is at most
// 1.2 times the cold copy. Both ratios are printed: beyond the bare hand-over
// and beyond the hand-over with its pages touched. Its peak memory is measured in a fresh process
// (this program started again with "peak"), against the platform's block plus
// the snapshot plus 16 MiB.
//
//   bench_open_binarydata.exe [runs] [MiB]
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/kelvane.h"
#include "app/privateformats.h"
#include "dumpframe/dumpframe.h"
#include "snapshot/snapshot.h"

#include "benchsupport.h"

namespace {

using namespace benchsupport;  // the harnesses' shared helpers

constexpr double kMiB = 1024.0 * 1024.0;

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

void Report(const char* what, const std::vector<double>& samples, double bytes) {
  const double median = Median(samples);
  std::printf("%-34s median %9.2f ms  (%6.2f GB/s)  min %9.2f  max %9.2f  runs %zu\n", what, median,
              bytes / (median / 1000.0) / 1e9, *std::min_element(samples.begin(), samples.end()),
              *std::max_element(samples.begin(), samples.end()), samples.size());
}

double CopyWarm(std::vector<std::uint8_t>& target, const std::vector<std::uint8_t>& source) {
  const double start = Now();
  std::memcpy(target.data(), source.data(), source.size());
  return Now() - start;
}

// A new block from the heap the reader uses, and a copy into it.
double CopyCold(const std::vector<std::uint8_t>& source) {
  const double start = Now();
  void* block = ::HeapAlloc(::GetProcessHeap(), 0, source.size());
  if (block != nullptr) std::memcpy(block, source.data(), source.size());
  const double elapsed = Now() - start;
  ::HeapFree(::GetProcessHeap(), 0, block);
  return elapsed;
}

// The platform's part of a read: the handle and its lock, nothing copied;
// with touch, also one read of every page of the block.
double HandOver(bool touch) {
  WaitForFreeClipboard();
  const double start = Now();
  if (::OpenClipboard(nullptr)) {
    HANDLE data = ::GetClipboardData(g_binaryDataFormat);
    const auto* block =
        data != nullptr ? static_cast<const volatile std::uint8_t*>(::GlobalLock(data)) : nullptr;
    if (block != nullptr) {
      std::uint32_t sum = 0;
      const SIZE_T size = touch ? ::GlobalSize(data) : 0;
      for (SIZE_T offset = 0; offset < size; offset += 4096) sum += block[offset];
      static_cast<void>(sum);
      ::GlobalUnlock(data);
    }
    ::CloseClipboard();
  }
  return Now() - start;
}

// The hand-over, then a new snapshot-sized block filled by one copy, its
// pages brought in by the copy or by one lock before it.
double HandOverAndCopy(bool lockFirst) {
  WaitForFreeClipboard();
  const double start = Now();
  if (::OpenClipboard(nullptr)) {
    HANDLE data = ::GetClipboardData(g_binaryDataFormat);
    const void* block = data != nullptr ? ::GlobalLock(data) : nullptr;
    if (block != nullptr) {
      const SIZE_T size = ::GlobalSize(data);
      void* copy = ::HeapAlloc(::GetProcessHeap(), 0, size);
      if (copy != nullptr) {
        const bool locked = lockFirst && ::VirtualLock(copy, size);
        std::memcpy(copy, block, size);
        if (locked) ::VirtualUnlock(copy, size);
        ::HeapFree(::GetProcessHeap(), 0, copy);
      }
      ::GlobalUnlock(data);
    }
    ::CloseClipboard();
  }
  return Now() - start;
}

bool TimeRead(std::uint32_t blockBytes, bool wholeData, double* elapsed) {
  WaitForFreeClipboard();
  std::uint8_t* snapshot = nullptr;
  std::uint32_t length = 0;
  const double start = Now();
  const bool ok = ReadClipboardSnapshot(nullptr, g_binaryDataFormat, wholeData, &snapshot, &length, nullptr);
  *elapsed = Now() - start;
  FreeSnapshot(snapshot);
  return ok && length == blockBytes;
}

// The whole window as the format browser opens it, up to its first paint.
bool TimeFrame(HINSTANCE instance, double* elapsed) {
  WaitForFreeClipboard();
  DumpCreateParams params = {nullptr, g_binaryDataFormat, "BinaryData"};
  const double start = Now();
  HWND frame = ::CreateWindowExA(0, DUMPFRAME_CLASS_NAME, "Binary dump",
                                 WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN, 0, 300, 650, 300,
                                 nullptr, nullptr, instance, &params);
  ::UpdateWindow(frame);
  *elapsed = Now() - start;
  const bool ok = frame != nullptr && ::GetWindowTextLengthA(frame) == 11;  // "Binary dump"
  ::DestroyWindow(frame);
  PumpPending();
  return ok;
}

// In a fresh process: one read of what the clipboard holds, and how far the
// peaks rose above what the process had before it.
int MeasurePeak(bool wholeData) {
  WaitForFreeClipboard();
  const PROCESS_MEMORY_COUNTERS before = MemoryCounters();
  std::uint8_t* snapshot = nullptr;
  std::uint32_t length = 0;
  const bool ok = ReadClipboardSnapshot(nullptr, g_binaryDataFormat, wholeData, &snapshot, &length, nullptr);
  const PROCESS_MEMORY_COUNTERS after = MemoryCounters();
  FreeSnapshot(snapshot);
  if (!ok) return 1;
  const double working = static_cast<double>(after.PeakWorkingSetSize - before.WorkingSetSize) / kMiB;
  const double pagefile = static_cast<double>(after.PeakPagefileUsage - before.PagefileUsage) / kMiB;
  const double limit = 2.0 * length / kMiB + 16.0;
  std::printf(
      "%s: peak during one read, above the process before it: working set %.1f MiB, "
      "pagefile %.1f MiB; block + snapshot + 16 MiB = %.1f MiB: %s\n",
      wholeData ? "Whole Data" : "reader", working, pagefile, limit,
      std::max(working, pagefile) <= limit ? "within" : "OVER");
  std::fflush(stdout);
  return 0;
}

void RunPeakProcess(bool wholeData) { RunThisProgramAgain(wholeData ? "peak whole" : "peak"); }

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], "peak") == 0) return MeasurePeak(argc > 2);
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
  const std::uint32_t mebibytes = argc > 2 ? static_cast<std::uint32_t>(std::atoi(argv[2])) : 256;
  const std::uint32_t blockBytes = mebibytes * 1024u * 1024u;
  HINSTANCE instance = benchsupport::RegisterKelvaneWindows();

  const double start = Now();
  if (!PutBinaryData(blockBytes)) {
    std::printf("could not put %u MiB of BinaryData on the clipboard\n", mebibytes);
    return 1;
  }
  std::printf("put %u MiB on the clipboard: %.2f ms\n", mebibytes, Now() - start);
  std::fflush(stdout);
  RunPeakProcess(false);
  RunPeakProcess(true);

  std::vector<std::uint8_t> source(blockBytes, 0x5A), target(blockBytes);
  std::vector<double> warm, cold, handOvers, touchedHandOvers, byFaults, afterLock, reads, wholeReads, frames;
  for (int run = 0; run < runs; ++run) {
    warm.push_back(CopyWarm(target, source));
    cold.push_back(CopyCold(source));
    handOvers.push_back(HandOver(false));
    touchedHandOvers.push_back(HandOver(true));
    byFaults.push_back(HandOverAndCopy(false));
    afterLock.push_back(HandOverAndCopy(true));
    double elapsed = 0;
    if (!TimeRead(blockBytes, false, &elapsed)) {
      std::printf("read %d failed\n", run);
      return 1;
    }
    reads.push_back(elapsed);
    if (!TimeRead(blockBytes, true, &elapsed)) {
      std::printf("Whole Data read %d failed\n", run);
      return 1;
    }
    wholeReads.push_back(elapsed);
    if (!TimeFrame(instance, &elapsed)) {
      std::printf("frame %d failed to read the clipboard\n", run);
      return 1;
    }
    frames.push_back(elapsed);
  }
  const double bytes = static_cast<double>(blockBytes);
  Report("memcpy, warm", warm, bytes);
  Report("cold copy (new block + memcpy)", cold, bytes);
  Report("hand-over (GetClipboardData+Lock)", handOvers, bytes);
  Report("hand-over + touch of every page", touchedHandOvers, bytes);
  Report("hand-over + copy by faults", byFaults, bytes);
  Report("hand-over + copy after a lock", afterLock, bytes);
  Report("ReadClipboardFormat", reads, bytes);
  Report("Whole Data read", wholeReads, bytes);
  Report("DumpFrame creation + first paint", frames, bytes);
  const double beyond = Median(reads) - Median(handOvers);
  const double beyondTouched = Median(reads) - Median(touchedHandOvers);
  std::printf("reader beyond the hand-over: %.2f ms = %.2f x the cold copy (goal <= 1.2)\n", beyond,
              beyond / Median(cold));
  std::printf("reader beyond the hand-over + touch: %.2f ms = %.2f x the cold copy\n", beyondTouched,
              beyondTouched / Median(cold));
  std::printf("copy by faults beyond the hand-over: %.2f x the cold copy; after a lock: %.2f x\n",
              (Median(byFaults) - Median(handOvers)) / Median(cold),
              (Median(afterLock) - Median(handOvers)) / Median(cold));
  std::printf("Whole Data read: %.2f x the reader's read (goal <= 1.2)\n",
              Median(wholeReads) / Median(reads));
  if (OpenClipboardRetry()) {
    ::EmptyClipboard();
    ::CloseClipboard();
  }
  return 0;
}
