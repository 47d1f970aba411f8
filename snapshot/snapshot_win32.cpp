// The clipboard side of the snapshot: open, fetch, lock, measure, copy, and
// release everything again on every path. The rules themselves live in
// snapshot/sizerules.cpp.
#include "snapshot/snapshot.h"

#include <utility>

#include "app/clipboardformats.h"
#include "app/privateformats.h"
#include "app/widetext_win32.h"
#include "snapshot/clipboardwindow_win32.h"
#include "snapshot/gdiconvert_win32.h"
#include "snapshot/sizerules.h"
#include "snapshot/wholedata.h"

namespace {

PrivateFormatNumbers CurrentPrivateFormats() {
  return PrivateFormatNumbers{g_binaryDataFormat, g_fileNameFormat, g_fileNameWFormat};
}

// From this size on the copy chooses how the snapshot's fresh pages come in.
constexpr std::uint32_t kProbeBytes = 4u << 20;

double Milliseconds() {
  LARGE_INTEGER frequency;
  LARGE_INTEGER counter;
  ::QueryPerformanceFrequency(&frequency);
  ::QueryPerformanceCounter(&counter);
  return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

// Copies out[offset, offset + count) from the block, bringing the range's
// pages in with one lock first when asked.
void CopyRange(const std::uint8_t* block, std::uint32_t blockSize, std::uint8_t* out, std::uint32_t offset,
               std::uint32_t count, bool lockFirst) {
  const bool locked = lockFirst && ::VirtualLock(out + offset, count);
  const std::uint32_t available = offset < blockSize ? blockSize - offset : 0;
  CopySnapshot(block + (offset < blockSize ? offset : blockSize), available, out + offset, count);
  if (locked) ::VirtualUnlock(out + offset, count);
}

double TimedCopyRange(const std::uint8_t* block, std::uint32_t blockSize, std::uint8_t* out,
                      std::uint32_t offset, std::uint32_t count, bool lockFirst) {
  const double start = Milliseconds();
  CopyRange(block, blockSize, out, offset, count, lockFirst);
  return Milliseconds() - start;
}

// Copies a large block into a new snapshot's fresh pages. Each fresh page
// costs a fault on its first touch. Where a fault is dear (under some
// virtual machines several microseconds), locking a range first brings all
// of its pages in with one call and is several times cheaper; where faults
// are cheap, the lock's own work (the system pins and later unpins every
// page) costs more than the faults it saves. Which kind of machine this is
// shows in the copy itself: its first chunk is copied by faults, its second
// after a lock, and the rest the way that was faster. The probe chunks are
// part of the copy, so choosing costs nothing. Where the lock is refused (a
// working-set quota) the pages come in by faults either way.
void CopyIntoSnapshot(const std::uint8_t* block, std::uint32_t blockSize, std::uint8_t* snapshot,
                      std::uint32_t length) {
  if (length < 4 * kProbeBytes) {
    CopySnapshot(block, blockSize, snapshot, length);
    return;
  }
  const double byFaults = TimedCopyRange(block, blockSize, snapshot, 0, kProbeBytes, false);
  const double byLock = TimedCopyRange(block, blockSize, snapshot, kProbeBytes, kProbeBytes, true);
  CopyRange(block, blockSize, snapshot, 2 * kProbeBytes, length - 2 * kProbeBytes, byLock < byFaults);
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

// Copies the locked block by its rule, or all of it (up to the longest
// snapshot) for Whole Data. The block's size comes from the allocation
// itself, so neither a lying length word nor a missing terminator can lead
// the copy past its end.
bool SnapshotOfBlock(const SizeRule* rule, HANDLE data, std::uint8_t** buffer, std::uint32_t* length,
                     SnapshotFacts* facts) {
  const void* locked = ::GlobalLock(data);
  if (locked == nullptr) return false;
  const auto* block = static_cast<const std::uint8_t*>(locked);
  const SIZE_T platformSize = ::GlobalSize(data);
  const WholeDataExtent whole = WholeDataExtentOf(platformSize);
  const std::uint32_t blockSize = ReachableBlockSize(platformSize);
  const std::uint32_t snapshotLength =
      rule != nullptr ? SnapshotLength(*rule, block, blockSize) : whole.length;
  facts->blockSize = platformSize;
  facts->cut = rule == nullptr && whole.cut;
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

SnapshotKind KindOfRule(SizeRule rule) {
  switch (rule) {
    case SizeRule::FixedWindow:
      return SnapshotKind::FixedWindow;
    case SizeRule::HandleValue:
      return SnapshotKind::HandleValue;
    default:
      return SnapshotKind::ByRule;
  }
}

bool SnapshotByRule(std::uint32_t format, HANDLE data, std::uint8_t** buffer, std::uint32_t* length,
                    SnapshotFacts* facts) {
  const SizeRule rule = ChooseSizeRule(format, CurrentPrivateFormats());
  facts->kind = KindOfRule(rule);
  return RuleLocksBlock(rule) ? SnapshotOfBlock(&rule, data, buffer, length, facts)
                              : SnapshotOfHandle(data, buffer, length);
}

bool ConvertedSnapshot(bool (*convert)(HANDLE, WholeSnapshot*), HANDLE data, std::uint8_t** buffer,
                       std::uint32_t* length, SnapshotFacts* facts) {
  WholeSnapshot whole = {nullptr, 0, 0};
  if (!convert(data, &whole)) return false;
  *buffer = whole.bytes;
  *length = whole.length;
  facts->blockSize = whole.sourceSize;
  return true;
}

bool WholeSnapshotOf(std::uint32_t format, HANDLE data, std::uint8_t** buffer, std::uint32_t* length,
                     SnapshotFacts* facts) {
  facts->kind = SnapshotKind::WholeData;
  switch (WholeDataRule(format)) {
    case WholeDataSource::GlobalBlock:
      return SnapshotOfBlock(nullptr, data, buffer, length, facts);
    case WholeDataSource::MetafilePicture:
      return ConvertedSnapshot(MetafilePictureWithBits, data, buffer, length, facts);
    case WholeDataSource::BitmapAsDib:
      return ConvertedSnapshot(BitmapAsPackedDib, data, buffer, length, facts);
    case WholeDataSource::PaletteEntries:
      return ConvertedSnapshot(PaletteAsLogPalette, data, buffer, length, facts);
    case WholeDataSource::EnhancedMetafile:
      return ConvertedSnapshot(EnhMetafileBytes, data, buffer, length, facts);
    case WholeDataSource::Unreachable:
      break;
  }
  return false;
}

// A registered format's name as the system holds it now; the numbers mean
// nothing from one session to the next, the names do.
std::string RegisteredNameOf(std::uint32_t format) {
  if (!IsRegisteredFormat(format)) return {};
  wchar_t name[256] = L"";
  return Utf8OfWide(name, ::GetClipboardFormatNameW(format, name, 256));
}

// Closes the clipboard on every way out of the read, a failed allocation of
// the owner's description included.
struct ClipboardCloser {
  ClipboardCloser() = default;
  ClipboardCloser(const ClipboardCloser&) = delete;
  ClipboardCloser& operator=(const ClipboardCloser&) = delete;
  ~ClipboardCloser() { ::CloseClipboard(); }
};

}  // namespace

std::uint8_t* AllocateSnapshot(std::uint32_t length) {
  return static_cast<std::uint8_t*>(::HeapAlloc(::GetProcessHeap(), 0, length));
}

bool ReadClipboardSnapshot(HWND owner, std::uint32_t format, bool wholeData, std::uint8_t** buffer,
                           std::uint32_t* length, SnapshotFacts* facts) {
  *buffer = nullptr;
  *length = 0;
  SnapshotFacts seen;
  seen.kind = wholeData ? SnapshotKind::WholeData : SnapshotKind::ByRule;
  seen.registeredName = RegisteredNameOf(format);
  bool ok = false;
  if (OpenClipboardPatiently(owner, &seen.holder)) {
    const ClipboardCloser closer;
    seen.owner = DescribeClipboardWindow(::GetClipboardOwner());
    seen.sequenceNumber = ::GetClipboardSequenceNumber();
    HANDLE data = ::GetClipboardData(format);
    if (data != nullptr) {
      ok = wholeData ? WholeSnapshotOf(format, data, buffer, length, &seen)
                     : SnapshotByRule(format, data, buffer, length, &seen);
    }
  } else {
    seen.clipboardBusy = true;
  }
  if (!ok) {
    FreeSnapshot(*buffer);
    *buffer = nullptr;
    *length = 0;
  }
  if (facts != nullptr) *facts = std::move(seen);
  return ok;
}

bool ReadClipboardFormat(HWND owner, std::uint32_t format, std::uint8_t** buffer, std::uint32_t* length) {
  return ReadClipboardSnapshot(owner, format, false, buffer, length, nullptr);
}

void FreeSnapshot(std::uint8_t* buffer) {
  if (buffer != nullptr) ::HeapFree(::GetProcessHeap(), 0, buffer);
}
