// How many bytes of a clipboard block go into a snapshot, and which ones.
// Portable: the rule is a function of the format number and the private format
// numbers alone, and the length and the copy are functions of the locked
// block's bytes and its size, so that no rule can read past the block's end.
#pragma once

#include <cstddef>
#include <cstdint>

#include "app/clipboardformats.h"

// The rules, numbered in the order in which they are tried.
enum class SizeRule : std::uint8_t {
  BinaryData = 1,   // a 32-bit little-endian length word N, then N bytes
  FileName = 2,     // 8-bit text up to and including its zero byte
  FileNameW = 3,    // 16-bit text up to and including its zero unit
  AnsiText = 4,     // CF_TEXT, CF_OEMTEXT: as FileName
  HandleValue = 5,  // the handle's own value; nothing is locked
  UnicodeText = 6,  // CF_UNICODETEXT: as FileNameW
  FixedWindow = 7,  // the first 256 bytes, zero-filled past a shorter block
};

// The numbers of "BinaryData", "FileName" and "FileNameW"; 0 for a name whose
// registration failed, which then matches no format.
struct PrivateFormatNumbers {
  std::uint32_t binaryData;
  std::uint32_t fileName;
  std::uint32_t fileNameW;
};

// Every snapshot of the fixed-window rule is this long.
constexpr std::uint32_t kFixedWindowLength = 256;

// The first rule that matches format.
SizeRule ChooseSizeRule(std::uint32_t format, const PrivateFormatNumbers& privateFormats);

// Whether the rule reads the bytes of a locked block (all but HandleValue).
bool RuleLocksBlock(SizeRule rule);

// The part of a block that a snapshot can reach: lengths are 32-bit, so a
// block of 4 GiB or more is seen as its first 0xFFFFFFFF bytes.
std::uint32_t ReachableBlockSize(std::size_t blockSize);

// Snapshot length of a locked block of blockSize readable bytes under a
// locking rule. Never more than blockSize, except for FixedWindow (always
// 256). A "BinaryData" block shorter than its length word, or one whose word
// promises more than the block holds, and a text without a terminator inside
// the block, end at the block's end. 0 only for an empty block.
std::uint32_t SnapshotLength(SizeRule rule, const std::uint8_t* block, std::uint32_t blockSize);

// Fills out[0, length) from the block, length being SnapshotLength's answer
// for the block: the block's first length bytes, or when length exceeds the
// block (the fixed window over a short block) all of its bytes followed by
// zeros. Reads at most blockSize bytes.
void CopySnapshot(const std::uint8_t* block, std::uint32_t blockSize, std::uint8_t* out,
                  std::uint32_t length);

// A HandleValue snapshot holds the handle's full value, little-endian, in as
// many bytes as a handle has on the platform: 4 or 8.
constexpr std::uint32_t kMaxHandleWidth = 8;
void StoreHandleValue(std::uint64_t value, std::uint32_t width, std::uint8_t* out);
