#include "snapshot/sizerules.h"

#include <algorithm>
#include <cstring>

#include "encoding/terminator.h"

namespace {

// A private number of 0 stands for a failed registration and must not match.
bool IsPrivateFormat(std::uint32_t format, std::uint32_t privateNumber) {
  return privateNumber != 0 && format == privateNumber;
}

std::uint32_t ReadLittleEndian32(const std::uint8_t* bytes) {
  return static_cast<std::uint32_t>(bytes[0]) | (static_cast<std::uint32_t>(bytes[1]) << 8) |
         (static_cast<std::uint32_t>(bytes[2]) << 16) | (static_cast<std::uint32_t>(bytes[3]) << 24);
}

// The length word plus the 4 bytes of the word itself, bounded by the block.
// Computed in 64 bits so that a word near 0xFFFFFFFF cannot wrap to a small
// length.
std::uint32_t BinaryDataLength(const std::uint8_t* block, std::uint32_t blockSize) {
  if (blockSize < 4) return blockSize;  // not even a whole length word: keep what is there
  const std::uint64_t promised = static_cast<std::uint64_t>(ReadLittleEndian32(block)) + 4;
  return static_cast<std::uint32_t>(std::min<std::uint64_t>(promised, blockSize));
}

// Bytes up to and including the first zero byte, or the whole block when it
// holds none.
std::uint32_t AnsiTextLength(const std::uint8_t* block, std::uint32_t blockSize) {
  const std::uint32_t zero = FindZeroByte(block, blockSize, 0);
  return zero == kNoIndex ? blockSize : zero + 1;
}

// Bytes up to and including the first whole zero unit, or the whole block
// (an odd last byte included) when it holds none.
std::uint32_t UnicodeTextLength(const std::uint8_t* block, std::uint32_t blockSize) {
  const std::uint32_t zero = FindZeroUnit(block, blockSize, 0);
  return zero == kNoIndex ? blockSize : zero + 2;
}

}  // namespace

SizeRule ChooseSizeRule(std::uint32_t format, const PrivateFormatNumbers& privateFormats) {
  if (IsPrivateFormat(format, privateFormats.binaryData)) return SizeRule::BinaryData;
  if (IsPrivateFormat(format, privateFormats.fileName)) return SizeRule::FileName;
  if (IsPrivateFormat(format, privateFormats.fileNameW)) return SizeRule::FileNameW;
  switch (format) {
    case kFormatText:
    case kFormatOemText:
      return SizeRule::AnsiText;
    case kFormatBitmap:
    case kFormatMetafilePict:
    case kFormatPalette:
    case kFormatHDrop:
    case kFormatLocale:
      return SizeRule::HandleValue;
    case kFormatUnicodeText:
      return SizeRule::UnicodeText;
    default:
      return SizeRule::FixedWindow;
  }
}

bool RuleLocksBlock(SizeRule rule) { return rule != SizeRule::HandleValue; }

std::uint32_t ReachableBlockSize(std::size_t blockSize) {
  return static_cast<std::uint32_t>(std::min<std::uint64_t>(blockSize, 0xFFFFFFFFu));
}

std::uint32_t SnapshotLength(SizeRule rule, const std::uint8_t* block, std::uint32_t blockSize) {
  switch (rule) {
    case SizeRule::BinaryData:
      return BinaryDataLength(block, blockSize);
    case SizeRule::FileName:
    case SizeRule::AnsiText:
      return AnsiTextLength(block, blockSize);
    case SizeRule::FileNameW:
    case SizeRule::UnicodeText:
      return UnicodeTextLength(block, blockSize);
    case SizeRule::HandleValue:
      return 0;  // not a block rule: the caller stores the handle instead
    case SizeRule::FixedWindow:
      return kFixedWindowLength;
  }
  return 0;
}

void CopySnapshot(const std::uint8_t* block, std::uint32_t blockSize, std::uint8_t* out,
                  std::uint32_t length) {
  // Copy no more than the block holds; only the fixed window is longer than
  // its block, and its tail is zero. The tail is cleared for any rule, so a
  // length that did not come from SnapshotLength still yields no stale bytes.
  const std::uint32_t copied = std::min(length, blockSize);
  if (copied < length) std::memset(out + copied, 0, length - copied);
  if (copied != 0) std::memcpy(out, block, copied);
}

void StoreHandleValue(std::uint64_t value, std::uint32_t width, std::uint8_t* out) {
  const std::uint32_t bytes = std::min(width, kMaxHandleWidth);
  for (std::uint32_t i = 0; i < bytes; ++i) {
    out[i] = static_cast<std::uint8_t>(value >> (8 * i));
  }
}
