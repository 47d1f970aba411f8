// The clipboard side of the snapshot: open, fetch, lock, measure, copy, and
// release everything again on every path. The rules themselves live in
// snapshot/sizerules.cpp.
#include "snapshot/snapshot.h"

#include "app/privateformats.h"
#include "snapshot/sizerules.h"

namespace {

PrivateFormatNumbers CurrentPrivateFormats() {
  return PrivateFormatNumbers{g_binaryDataFormat, g_fileNameFormat, g_fileNameWFormat};
}

std::uint8_t* AllocateSnapshot(std::uint32_t length) {
  return static_cast<std::uint8_t*>(::HeapAlloc(::GetProcessHeap(), 0, length));
}

// From this size on a snapshot's pages are committed before the copy.
constexpr std::uint32_t kPrefaultBytes = 1u << 20;

// Copies a large block into a new snapshot's fresh pages. Each fresh page
// costs a fault on its first touch, and under a virtual machine a fault can
// cost several microseconds: a copy of 256 MiB then spends most of its time
// in 65,536 faults. Locking the range makes the system bring all of its pages
// in with one call, which is several times cheaper; the lock ends with the
// copy. Where the lock is refused (a working-set quota) the copy faults the
// pages in one by one as before.
void CopyIntoSnapshot(const std::uint8_t* block, std::uint32_t blockSize, std::uint8_t* snapshot,
                      std::uint32_t length) {
  const bool locked = length >= kPrefaultBytes && ::VirtualLock(snapshot, length);
  CopySnapshot(block, blockSize, snapshot, length);
  if (locked) ::VirtualUnlock(snapshot, length);
}

// A handle format keeps only the handle's value: the data behind it belongs
// to the clipboard and is not global memory.
bool SnapshotOfHandle(HANDLE data, std::uint8_t** buffer, std::uint32_t* length) {
  constexpr std::uint32_t width = sizeof(HANDLE);
  static_assert(width <= kMaxHandleWidth, "a handle fits the snapshot's value field");
  std::uint8_t* bytes = AllocateSnapshot(width);
  if (bytes == nullptr) return false;
  StoreHandleValue(static_cast<std::uint64_t>(reinterpret_cast<ULONG_PTR>(data)), width, bytes);
  *buffer = bytes;
  *length = width;
  return true;
}

// Copies the locked block by its rule. The block's size comes from the
// allocation itself, so neither a lying length word nor a missing terminator
// can lead the copy past its end.
bool SnapshotOfBlock(SizeRule rule, HANDLE data, std::uint8_t** buffer, std::uint32_t* length) {
  const void* locked = ::GlobalLock(data);
  if (locked == nullptr) return false;
  const auto* block = static_cast<const std::uint8_t*>(locked);
  const std::uint32_t blockSize = ReachableBlockSize(::GlobalSize(data));
  const std::uint32_t snapshotLength = SnapshotLength(rule, block, blockSize);
  bool ok = true;
  if (snapshotLength != 0) {
    std::uint8_t* bytes = AllocateSnapshot(snapshotLength);
    if (bytes == nullptr) {
      ok = false;
    } else {
      CopyIntoSnapshot(block, blockSize, bytes, snapshotLength);
      *buffer = bytes;
      *length = snapshotLength;
    }
  }
  // An empty block is a successful snapshot without a buffer: no buffer and
  // length 0 is how the caller knows "nothing to show".
  ::GlobalUnlock(data);
  return ok;
}

}  // namespace

bool ReadClipboardFormat(HWND owner, std::uint32_t format, std::uint8_t** buffer, std::uint32_t* length) {
  *buffer = nullptr;
  *length = 0;
  if (!::OpenClipboard(owner)) return false;
  bool ok = false;
  HANDLE data = ::GetClipboardData(format);
  if (data != nullptr) {
    const SizeRule rule = ChooseSizeRule(format, CurrentPrivateFormats());
    ok = RuleLocksBlock(rule) ? SnapshotOfBlock(rule, data, buffer, length)
                              : SnapshotOfHandle(data, buffer, length);
  }
  ::CloseClipboard();
  return ok;
}

void FreeSnapshot(std::uint8_t* buffer) {
  if (buffer != nullptr) ::HeapFree(::GetProcessHeap(), 0, buffer);
}
