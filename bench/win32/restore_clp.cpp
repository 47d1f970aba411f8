// How long capturing a clipboard that holds one large block to a file takes,
// and putting that file back, and how much memory each needs. In the same
// run, so that the figures compare on any machine:
//
//   reader read     the clipboard reader's Whole Data read of the block
//   file write      CreateFile and one WriteFile of that many bytes
//   capture         CaptureClipboardToFile, as the menu and /capture make it
//   file read       CreateFile and one ReadFile of the block's bytes into a
//                   new block of the heap: what any reader of the file pays
//   put             a filled global block of the same size put on the
//                   clipboard: OpenClipboard, EmptyClipboard,
//                   SetClipboardData, CloseClipboard
//   restore         ReadCaptureFile and PutCaptureOnClipboard of the file,
//                   as Open a Capture and /restore do them
//
// The goals are a capture of at most 1.3 times the reader's read plus the
// file write, and a restore of at most 1.3 times the file read plus the put.
// Peak memory is measured in fresh processes (this program started again
// with "peak" or "peakcapture"), against the block the clipboard holds plus
// the largest block plus 16 MiB.
//
//   bench_restore_clp.exe [runs] [MiB]
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "benchsupport.h"
#include "capture/capture_win32.h"
#include "capture/clpfile.h"
#include "capture/restore_win32.h"
#include "snapshot/clipboardreader_win32.h"

namespace {

using namespace benchsupport;  // the harnesses' shared helpers

constexpr double kMiB = 1024.0 * 1024.0;
constexpr char kBlockName[] = "Kelvane Restore Bench";

std::string FilePath() {
  char dir[MAX_PATH] = {};
  ::GetTempPathA(MAX_PATH, dir);
  return std::string(dir) + "kelvane-restore-bench.clp";
}

bool WriteFileBytes(HANDLE file, const void* bytes, std::uint32_t count) {
  DWORD wrote = 0;
  return ::WriteFile(file, bytes, count, &wrote, nullptr) && wrote == count;
}

// A clipboard file of one registered block of blockBytes.
bool MakeFile(const std::string& path, std::uint32_t blockBytes) {
  ClpFilePlan plan(1);
  if (!plan.Place(0xC000, kBlockName, blockBytes).placed) return false;
  const std::vector<std::uint8_t> table = plan.TableBytes();
  std::vector<std::uint8_t> block(blockBytes);
  for (std::uint32_t i = 0; i < blockBytes; ++i) block[i] = static_cast<std::uint8_t>(i * 31);
  HANDLE file =
      ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  const bool ok = WriteFileBytes(file, table.data(), static_cast<std::uint32_t>(table.size())) &&
                  WriteFileBytes(file, block.data(), blockBytes);
  ::CloseHandle(file);
  return ok;
}

void Report(const char* what, const std::vector<double>& samples, double bytes) {
  const double median = Median(samples);
  std::printf("%-30s median %9.2f ms  (%6.2f GB/s)  min %9.2f  max %9.2f  runs %zu\n", what, median,
              bytes / (median / 1000.0) / 1e9, *std::min_element(samples.begin(), samples.end()),
              *std::max_element(samples.begin(), samples.end()), samples.size());
}

double TimeFileRead(const std::string& path, std::uint32_t blockBytes) {
  const double start = Now();
  HANDLE file = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  void* block = ::HeapAlloc(::GetProcessHeap(), 0, blockBytes);
  DWORD got = 0;
  LARGE_INTEGER at = {};
  at.QuadPart = kClpHeaderBytes + kClpWindowsNtEntryBytes;
  ::SetFilePointerEx(file, at, nullptr, FILE_BEGIN);
  ::ReadFile(file, block, blockBytes, &got, nullptr);
  ::CloseHandle(file);
  const double elapsed = Now() - start;
  ::HeapFree(::GetProcessHeap(), 0, block);
  return got == blockBytes ? elapsed : -1;
}

double TimePut(HWND owner, std::uint32_t blockBytes) {
  HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, blockBytes);
  if (block == nullptr) return -1;
  std::memset(::GlobalLock(block), 0x5A, blockBytes);
  ::GlobalUnlock(block);
  const UINT format = ::RegisterClipboardFormatA(kBlockName);
  const double start = Now();
  if (!OpenClipboardRetry(owner)) {
    ::GlobalFree(block);
    return -1;
  }
  ::EmptyClipboard();
  const bool ok = ::SetClipboardData(format, block) != nullptr;
  ::CloseClipboard();
  const double elapsed = Now() - start;
  if (!ok) ::GlobalFree(block);
  return ok ? elapsed : -1;
}

double TimeRestore(HWND owner, const std::string& path) {
  if (OpenClipboardRetry()) ::CloseClipboard();
  const double start = Now();
  const OpenedCapture opened = ReadCaptureFile(path);
  const bool ok = opened.problem.empty() && PutCaptureOnClipboard(owner, path, opened.directory).empty();
  return ok ? Now() - start : -1;
}

double TimeReaderRead(HWND requester, std::uint32_t blockBytes) {
  const double start = Now();
  ClipboardReadStart read =
      StartClipboardRead(requester, ::RegisterClipboardFormatA(kBlockName), true, INFINITE);
  const double elapsed = Now() - start;
  const bool ok = read.ended && read.outcome.read && read.outcome.length == blockBytes;
  FreeSnapshot(read.outcome.bytes);
  return ok ? elapsed : -1;
}

double TimeFileWrite(const std::string& path, std::uint32_t blockBytes) {
  void* block = ::HeapAlloc(::GetProcessHeap(), 0, blockBytes);
  std::memset(block, 0x33, blockBytes);
  const double start = Now();
  HANDLE file =
      ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  const bool ok = file != INVALID_HANDLE_VALUE && WriteFileBytes(file, block, blockBytes);
  if (file != INVALID_HANDLE_VALUE) ::CloseHandle(file);
  const double elapsed = Now() - start;
  ::HeapFree(::GetProcessHeap(), 0, block);
  ::DeleteFileA(path.c_str());
  return ok ? elapsed : -1;
}

double TimeCapture(const std::string& path) {
  CaptureControls controls;
  const double start = Now();
  const bool ok = CaptureClipboardToFile(path, controls).written;
  return ok ? Now() - start : -1;
}

void EmptyTheClipboard() {
  if (OpenClipboardRetry()) {
    ::EmptyClipboard();
    ::CloseClipboard();
  }
}

HWND OwnerWindow() {
  return ::CreateWindowExA(0, "STATIC", "owner", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
}

// In a fresh process: one restore (from an empty clipboard) or one capture
// (of the block put on the clipboard first), and how far the peaks rose above
// what the process had just before it, beyond the block the clipboard holds.
int MeasurePeak(bool capture, std::uint32_t blockBytes) {
  HWND owner = OwnerWindow();
  EmptyTheClipboard();
  if (capture && TimePut(owner, blockBytes) < 0) return 1;
  const std::string captured = FilePath() + ".capture";
  const PROCESS_MEMORY_COUNTERS before = MemoryCounters();
  if ((capture ? TimeCapture(captured) : TimeRestore(owner, FilePath())) < 0) return 1;
  const PROCESS_MEMORY_COUNTERS after = MemoryCounters();
  const double working = static_cast<double>(after.PeakWorkingSetSize - before.WorkingSetSize) / kMiB;
  const double pagefile = static_cast<double>(after.PeakPagefileUsage - before.PagefileUsage) / kMiB;
  // A restore's peak includes the block it gives the clipboard; a capture's
  // starts with the block held.
  const double beyond = std::max(working, pagefile) - (capture ? 0.0 : blockBytes / kMiB);
  std::printf(
      "%s: peak working set +%.1f MiB, pagefile +%.1f MiB; beyond the clipboard's block %.1f MiB "
      "(the largest block + 16 MiB = %.1f): %s\n",
      capture ? "capture" : "restore", working, pagefile, beyond, blockBytes / kMiB + 16.0,
      beyond <= blockBytes / kMiB + 16.0 ? "within" : "OVER");
  std::fflush(stdout);
  ::DeleteFileA(captured.c_str());
  EmptyTheClipboard();
  ::DestroyWindow(owner);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 2 && (std::strcmp(argv[1], "peak") == 0 || std::strcmp(argv[1], "peakcapture") == 0)) {
    return MeasurePeak(argv[1][4] != 0, static_cast<std::uint32_t>(std::atoi(argv[2])) * 1024u * 1024u);
  }
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
  const std::uint32_t mebibytes = argc > 2 ? static_cast<std::uint32_t>(std::atoi(argv[2])) : 256;
  const std::uint32_t blockBytes = mebibytes * 1024u * 1024u;
  const std::string path = FilePath();
  if (!MakeFile(path, blockBytes)) {
    std::printf("could not write a %u MiB clipboard file\n", mebibytes);
    return 1;
  }
  RunThisProgramAgain("peak " + std::to_string(mebibytes));
  RunThisProgramAgain("peakcapture " + std::to_string(mebibytes));
  HWND owner = OwnerWindow();
  const std::string captured = path + ".capture";
  std::vector<double> readerReads, writes, captures, reads, puts, restores;
  for (int run = 0; run < runs; ++run) {
    if (TimePut(owner, blockBytes) < 0) return 1;
    readerReads.push_back(TimeReaderRead(owner, blockBytes));
    writes.push_back(TimeFileWrite(captured, blockBytes));
    captures.push_back(TimeCapture(captured));
    EmptyTheClipboard();
    if (readerReads.back() < 0 || writes.back() < 0 || captures.back() < 0) {
      std::printf("capture run %d failed\n", run);
      return 1;
    }
    reads.push_back(TimeFileRead(path, blockBytes));
    puts.push_back(TimePut(owner, blockBytes));
    EmptyTheClipboard();
    restores.push_back(TimeRestore(owner, path));
    EmptyTheClipboard();
    if (reads.back() < 0 || puts.back() < 0 || restores.back() < 0) {
      std::printf("run %d failed\n", run);
      return 1;
    }
  }
  const double bytes = static_cast<double>(blockBytes);
  Report("reader read (Whole Data)", readerReads, bytes);
  Report("file write", writes, bytes);
  Report("capture", captures, bytes);
  std::printf("capture: %.2f x the reader's read plus the file write (goal <= 1.3)\n",
              Median(captures) / (Median(readerReads) + Median(writes)));
  ::DeleteFileA(captured.c_str());
  Report("file read (new heap block)", reads, bytes);
  Report("put (Open, Empty, Set, Close)", puts, bytes);
  Report("restore", restores, bytes);
  std::printf("restore: %.2f x the file read plus the put (goal <= 1.3)\n",
              Median(restores) / (Median(reads) + Median(puts)));
  ::DestroyWindow(owner);
  ::DeleteFileA(path.c_str());
  return 0;
}
