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
      CopySnapshot(block, blockSize, bytes, snapshotLength);
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

bool ReadClipboardFormat(HWND owner, std::uint32_t format, std::uint8_t** buffer,
                         std::uint32_t* length) {
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
