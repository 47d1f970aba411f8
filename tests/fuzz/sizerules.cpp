// The snapshot size rules over hostile blocks: any format number, any private
// format numbers (0 included), any bytes. The block is a heap copy of exactly
// its size, so reading one byte past it faults; the snapshot buffer is exactly
// the answered length, so writing past it faults too.
#include <algorithm>

#include "fuzztarget.h"
#include "snapshot/sizerules.h"

namespace {

std::uint32_t LittleEndianWord(const std::uint8_t* bytes) {
  return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
         static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

// The snapshot length written out again from the rules' own description, one
// byte or unit at a time, as the oracle.
std::uint32_t ExpectedLength(SizeRule rule, const std::uint8_t* block, std::uint32_t size) {
  switch (rule) {
    case SizeRule::BinaryData:
      if (size < 4) return size;
      return static_cast<std::uint32_t>(
          std::min<std::uint64_t>(static_cast<std::uint64_t>(LittleEndianWord(block)) + 4, size));
    case SizeRule::FileName:
    case SizeRule::AnsiText:
      for (std::uint32_t i = 0; i < size; ++i) {
        if (block[i] == 0) return i + 1;
      }
      return size;
    case SizeRule::FileNameW:
    case SizeRule::UnicodeText:
      for (std::uint32_t i = 0; i + 1 < size; i += 2) {
        if (block[i] == 0 && block[i + 1] == 0) return i + 2;
      }
      return size;
    case SizeRule::FixedWindow:
      return kFixedWindowLength;
    case SizeRule::HandleValue:
      break;
  }
  return 0;
}

void CheckChoice(std::uint32_t format, const PrivateFormatNumbers& numbers, SizeRule rule) {
  // A private number of 0 (a failed registration) matches nothing.
  if (format == 0) {
    FUZZ_CHECK(rule == SizeRule::FixedWindow);
  }
  if (rule == SizeRule::BinaryData) FUZZ_CHECK(numbers.binaryData == format);
  if (rule == SizeRule::FileName) FUZZ_CHECK(numbers.fileName == format && numbers.binaryData != format);
  if (rule == SizeRule::FileNameW) {
    FUZZ_CHECK(numbers.fileNameW == format && numbers.fileName != format && numbers.binaryData != format);
  }
  FUZZ_CHECK(RuleLocksBlock(rule) == (rule != SizeRule::HandleValue));
}

void CheckHandleValue(std::uint64_t value) {
  for (std::uint32_t width : {4u, 8u}) {
    std::uint8_t out[kMaxHandleWidth + 1];
    std::memset(out, 0xEE, sizeof(out));
    StoreHandleValue(value, width, out);
    std::uint64_t back = 0;
    for (std::uint32_t i = 0; i < width; ++i) back |= static_cast<std::uint64_t>(out[i]) << (8 * i);
    const std::uint64_t mask = width == 8 ? ~0ull : (1ull << (8 * width)) - 1;
    FUZZ_CHECK(back == (value & mask));
    FUZZ_CHECK(out[width] == 0xEE);  // nothing written past the width
  }
}

}  // namespace

KELVANE_FUZZ_TARGET(sizerules) {
  fuzz::Input in(data, size);
  const std::uint32_t format = in.U32();
  PrivateFormatNumbers numbers{in.U32(), in.U32(), in.U32()};
  // Mostly give the format one of the private numbers, so that the private
  // rules are reached as often as the standard ones.
  const std::uint8_t pick = in.U8();
  const std::uint32_t chosen = pick % 4 == 1   ? numbers.binaryData
                               : pick % 4 == 2 ? numbers.fileName
                               : pick % 4 == 3 ? numbers.fileNameW
                                               : format;
  const SizeRule rule = ChooseSizeRule(chosen, numbers);
  CheckChoice(chosen, numbers, rule);
  if (!RuleLocksBlock(rule)) {
    CheckHandleValue(static_cast<std::uint64_t>(format) << 32 | numbers.binaryData);
    return;
  }

  const fuzz::ExactBytes block(in.rest(), in.restSize());
  const auto blockSize = static_cast<std::uint32_t>(block.size());
  FUZZ_CHECK(ReachableBlockSize(block.size()) == blockSize);

  const std::uint32_t length = SnapshotLength(rule, block.data(), blockSize);
  FUZZ_CHECK(length == ExpectedLength(rule, block.data(), blockSize));
  if (rule == SizeRule::FixedWindow) {
    FUZZ_CHECK(length == kFixedWindowLength);
  } else {
    FUZZ_CHECK(length <= blockSize);
    FUZZ_CHECK((length == 0) == (blockSize == 0));
  }
  if (length == 0) return;

  std::uint8_t* snapshot = static_cast<std::uint8_t*>(std::malloc(length));
  FUZZ_CHECK(snapshot != nullptr);
  std::memset(snapshot, 0xEE, length);
  CopySnapshot(block.data(), blockSize, snapshot, length);
  const std::uint32_t copied = std::min(length, blockSize);
  FUZZ_CHECK(copied == 0 || std::memcmp(snapshot, block.data(), copied) == 0);
  for (std::uint32_t i = copied; i < length; ++i) FUZZ_CHECK(snapshot[i] == 0);
  std::free(snapshot);
}
