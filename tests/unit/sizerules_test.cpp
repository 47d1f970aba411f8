// The snapshot size rules: which rule a format gets, how long the snapshot of
// a block is, and that no rule reaches past the block's end (the native build
// runs under AddressSanitizer, and every block below is a heap allocation of
// exactly its size, so a read past the end fails the test).
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "snapshot/sizerules.h"

namespace {

constexpr PrivateFormatNumbers kPrivate{0xC101, 0xC102, 0xC103};
constexpr PrivateFormatNumbers kNoPrivate{0, 0, 0};

// A heap block of exactly the given bytes, so that ASan sees its end.
class Block {
 public:
  explicit Block(const std::vector<std::uint8_t>& bytes)
      : size_(static_cast<std::uint32_t>(bytes.size())),
        bytes_(new std::uint8_t[bytes.empty() ? 1 : bytes.size()]) {
    if (!bytes.empty()) std::memcpy(bytes_.get(), bytes.data(), bytes.size());
  }
  const std::uint8_t* data() const { return bytes_.get(); }
  std::uint32_t size() const { return size_; }

 private:
  std::uint32_t size_;
  std::unique_ptr<std::uint8_t[]> bytes_;
};

std::vector<std::uint8_t> Bytes(const std::string& s) { return {s.begin(), s.end()}; }

std::vector<std::uint8_t> BinaryData(std::uint32_t word, std::uint32_t payload) {
  std::vector<std::uint8_t> v = {static_cast<std::uint8_t>(word), static_cast<std::uint8_t>(word >> 8),
                                 static_cast<std::uint8_t>(word >> 16),
                                 static_cast<std::uint8_t>(word >> 24)};
  for (std::uint32_t i = 0; i < payload; ++i) v.push_back(static_cast<std::uint8_t>(0xA0 + i));
  return v;
}

// The snapshot that the rule takes of the block: length, then the copy.
std::vector<std::uint8_t> Snapshot(SizeRule rule, const std::vector<std::uint8_t>& bytes) {
  Block block(bytes);
  const std::uint32_t length = SnapshotLength(rule, block.data(), block.size());
  std::vector<std::uint8_t> out(length, 0xEE);
  if (length != 0) CopySnapshot(block.data(), block.size(), out.data(), length);
  return out;
}

}  // namespace

TEST(SizeRuleChoice, RowsInOrder) {
  EXPECT_EQ(ChooseSizeRule(0xC101, kPrivate), SizeRule::BinaryData);
  EXPECT_EQ(ChooseSizeRule(0xC102, kPrivate), SizeRule::FileName);
  EXPECT_EQ(ChooseSizeRule(0xC103, kPrivate), SizeRule::FileNameW);
  EXPECT_EQ(ChooseSizeRule(1, kPrivate), SizeRule::AnsiText);
  EXPECT_EQ(ChooseSizeRule(7, kPrivate), SizeRule::AnsiText);
  for (std::uint32_t f : {2u, 3u, 9u, 15u, 16u}) {
    EXPECT_EQ(ChooseSizeRule(f, kPrivate), SizeRule::HandleValue) << f;
  }
  EXPECT_EQ(ChooseSizeRule(13, kPrivate), SizeRule::UnicodeText);
  // Everything else, registered formats included, gets the 256-byte window.
  for (std::uint32_t f :
       {0u, 4u, 5u, 6u, 8u, 10u, 11u, 12u, 14u, 17u, 0x80u, 0x8Eu, 0xC000u, 0xC104u, 0xFFFFu, 0x10001u}) {
    EXPECT_EQ(ChooseSizeRule(f, kPrivate), SizeRule::FixedWindow) << f;
  }
}

TEST(SizeRuleChoice, UnregisteredPrivateNamesMatchNothing) {
  // A failed registration leaves 0; format 0 must not become "BinaryData".
  EXPECT_EQ(ChooseSizeRule(0, kNoPrivate), SizeRule::FixedWindow);
  EXPECT_EQ(ChooseSizeRule(0xC101, kNoPrivate), SizeRule::FixedWindow);
  const PrivateFormatNumbers onlyFileName{0, 0xC102, 0};
  EXPECT_EQ(ChooseSizeRule(0, onlyFileName), SizeRule::FixedWindow);
  EXPECT_EQ(ChooseSizeRule(0xC102, onlyFileName), SizeRule::FileName);
}

TEST(SizeRuleChoice, OnlyHandleFormatsSkipTheLock) {
  EXPECT_FALSE(RuleLocksBlock(SizeRule::HandleValue));
  for (SizeRule r : {SizeRule::BinaryData, SizeRule::FileName, SizeRule::FileNameW, SizeRule::AnsiText,
                     SizeRule::UnicodeText, SizeRule::FixedWindow}) {
    EXPECT_TRUE(RuleLocksBlock(r));
  }
}

TEST(AnsiTextRule, TextAndItsTerminator) {
  EXPECT_EQ(Snapshot(SizeRule::AnsiText, Bytes(std::string("abc\0xyz", 7))), Bytes(std::string("abc\0", 4)));
  EXPECT_EQ(Snapshot(SizeRule::FileName, Bytes(std::string("C:\\a.txt\0\0\0", 11))).size(), 9u);
  // An empty text is its terminator alone.
  EXPECT_EQ(Snapshot(SizeRule::AnsiText, {0, 'q', 'r'}), std::vector<std::uint8_t>{0});
  EXPECT_EQ(Snapshot(SizeRule::FileName, {0}), std::vector<std::uint8_t>{0});
}

TEST(AnsiTextRule, MissingTerminatorEndsAtTheBlock) {
  EXPECT_EQ(Snapshot(SizeRule::AnsiText, Bytes("abcd")), Bytes("abcd"));
  EXPECT_EQ(Snapshot(SizeRule::FileName, Bytes("x")), Bytes("x"));
  // The terminator as the very last byte is found.
  EXPECT_EQ(Snapshot(SizeRule::AnsiText, Bytes(std::string("ab\0", 3))).size(), 3u);
}

TEST(UnicodeTextRule, UnitsUpToTheZeroUnit) {
  // "abc" in UTF-16LE plus terminator: 8 bytes.
  const std::vector<std::uint8_t> abc = {'a', 0, 'b', 0, 'c', 0, 0, 0, 'z', 0};
  EXPECT_EQ(Snapshot(SizeRule::UnicodeText, abc), std::vector<std::uint8_t>(abc.begin(), abc.begin() + 8));
  EXPECT_EQ(Snapshot(SizeRule::FileNameW, abc).size(), 8u);
  EXPECT_EQ(Snapshot(SizeRule::UnicodeText, {0, 0, 'x', 0}).size(), 2u);
}

TEST(UnicodeTextRule, ZeroBytesAcrossUnitsAreNotAZeroUnit) {
  // U+0100 U+0001: bytes 00 01 01 00 hold "00 01"'s zero and "01 00"'s zero
  // next to each other, but no unit is zero.
  const std::vector<std::uint8_t> v = {0x00, 0x01, 0x00, 0x01, 0x00, 0x00};
  EXPECT_EQ(Snapshot(SizeRule::UnicodeText, {0x41, 0x00, 0x00, 0x42, 0x00, 0x00}).size(), 6u);
  EXPECT_EQ(Snapshot(SizeRule::UnicodeText, v).size(), 6u);
}

TEST(UnicodeTextRule, MissingTerminatorAndOddSizes) {
  // No zero unit: the whole block, an odd last byte included.
  EXPECT_EQ(Snapshot(SizeRule::UnicodeText, {'a', 0, 'b', 0}).size(), 4u);
  EXPECT_EQ(Snapshot(SizeRule::UnicodeText, {'a', 0, 'b', 0, 0}),
            (std::vector<std::uint8_t>{'a', 0, 'b', 0, 0}));
  EXPECT_EQ(Snapshot(SizeRule::FileNameW, {0}), std::vector<std::uint8_t>{0});
  EXPECT_EQ(Snapshot(SizeRule::FileNameW, {'a', 0, 0}).size(), 3u);
  // A zero unit before the odd byte is found.
  EXPECT_EQ(Snapshot(SizeRule::UnicodeText, {'a', 0, 0, 0, 7}).size(), 4u);
}

TEST(BinaryDataRule, LengthWordPlusFour) {
  const auto block = BinaryData(10, 10);
  EXPECT_EQ(Snapshot(SizeRule::BinaryData, block), block);
  EXPECT_EQ(Snapshot(SizeRule::BinaryData, BinaryData(0, 0)), BinaryData(0, 0));
  // Bytes beyond the promised payload stay out.
  const auto longer = BinaryData(3, 9);
  EXPECT_EQ(Snapshot(SizeRule::BinaryData, longer),
            std::vector<std::uint8_t>(longer.begin(), longer.begin() + 7));
}

TEST(BinaryDataRule, LyingLengthWordsEndAtTheBlock) {
  EXPECT_EQ(Snapshot(SizeRule::BinaryData, BinaryData(100, 10)), BinaryData(100, 10));
  EXPECT_EQ(Snapshot(SizeRule::BinaryData, BinaryData(11, 10)).size(), 14u);
  // Words for which adding 4 wraps 32 bits must not become tiny lengths.
  for (std::uint32_t word : {0xFFFFFFFFu, 0xFFFFFFFEu, 0xFFFFFFFDu, 0xFFFFFFFCu, 0xFFFFFFFBu}) {
    EXPECT_EQ(Snapshot(SizeRule::BinaryData, BinaryData(word, 6)), BinaryData(word, 6)) << word;
    EXPECT_EQ(Snapshot(SizeRule::BinaryData, BinaryData(word, 0)), BinaryData(word, 0)) << word;
  }
}

TEST(BinaryDataRule, BlocksShorterThanTheWordKeepTheirBytes) {
  EXPECT_EQ(Snapshot(SizeRule::BinaryData, {0x05, 0x00, 0x00}),
            (std::vector<std::uint8_t>{0x05, 0x00, 0x00}));
  EXPECT_EQ(Snapshot(SizeRule::BinaryData, {0xFF}), std::vector<std::uint8_t>{0xFF});
}

TEST(FixedWindowRule, AlwaysTwoHundredFiftySixBytes) {
  std::vector<std::uint8_t> longBlock(1000);
  for (std::size_t i = 0; i < longBlock.size(); ++i) longBlock[i] = static_cast<std::uint8_t>(i * 7 + 1);
  EXPECT_EQ(Snapshot(SizeRule::FixedWindow, longBlock),
            std::vector<std::uint8_t>(longBlock.begin(), longBlock.begin() + 256));

  std::vector<std::uint8_t> exact(256, 0x5A);
  EXPECT_EQ(Snapshot(SizeRule::FixedWindow, exact), exact);

  // A shorter block: its bytes, then zeros where the buffer held 0xEE.
  const auto shortSnapshot = Snapshot(SizeRule::FixedWindow, {1, 2, 3});
  ASSERT_EQ(shortSnapshot.size(), 256u);
  EXPECT_EQ(shortSnapshot[0], 1);
  EXPECT_EQ(shortSnapshot[2], 3);
  for (std::size_t i = 3; i < 256; ++i) ASSERT_EQ(shortSnapshot[i], 0) << i;

  const auto emptySnapshot = Snapshot(SizeRule::FixedWindow, {});
  EXPECT_EQ(emptySnapshot, std::vector<std::uint8_t>(256, 0));
}

TEST(EmptyBlocks, OnlyTheFixedWindowHasBytes) {
  for (SizeRule r : {SizeRule::BinaryData, SizeRule::FileName, SizeRule::FileNameW, SizeRule::AnsiText,
                     SizeRule::UnicodeText}) {
    EXPECT_EQ(Snapshot(r, {}).size(), 0u) << static_cast<int>(r);
  }
}

TEST(BlockSize, CappedAtFourGibibytesLessOne) {
  EXPECT_EQ(ReachableBlockSize(0), 0u);
  EXPECT_EQ(ReachableBlockSize(256), 256u);
  EXPECT_EQ(ReachableBlockSize(0xFFFFFFFFu), 0xFFFFFFFFu);
  if constexpr (sizeof(std::size_t) > 4) {
    EXPECT_EQ(ReachableBlockSize(static_cast<std::size_t>(0x100000000ull)), 0xFFFFFFFFu);
    EXPECT_EQ(ReachableBlockSize(static_cast<std::size_t>(0x500000010ull)), 0xFFFFFFFFu);
  }
}

TEST(BlockSize, HugeLengthWordAgainstTheCappedSize) {
  // Only the length word is read, so a 4-byte buffer can stand for a block
  // that reaches the cap: the length is the cap, not a wrapped value.
  const auto word = BinaryData(0xFFFFFFFFu, 0);
  EXPECT_EQ(SnapshotLength(SizeRule::BinaryData, word.data(), 0xFFFFFFFFu), 0xFFFFFFFFu);
  const auto smaller = BinaryData(0xFFFFFFF0u, 0);
  EXPECT_EQ(SnapshotLength(SizeRule::BinaryData, smaller.data(), 0xFFFFFFFFu), 0xFFFFFFF4u);
}

TEST(HandleValueRule, FullValueLittleEndian) {
  std::uint8_t out[kMaxHandleWidth + 2];
  std::memset(out, 0xEE, sizeof(out));
  StoreHandleValue(0x0000000012345678ull, 4, out);
  EXPECT_EQ(std::vector<std::uint8_t>(out, out + 5),
            (std::vector<std::uint8_t>{0x78, 0x56, 0x34, 0x12, 0xEE}));

  std::memset(out, 0xEE, sizeof(out));
  StoreHandleValue(0x8877665544332211ull, 8, out);
  EXPECT_EQ(std::vector<std::uint8_t>(out, out + 9),
            (std::vector<std::uint8_t>{0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88, 0xEE}));

  // A wider width than a handle can have never writes past 8 bytes.
  std::memset(out, 0xEE, sizeof(out));
  StoreHandleValue(1, 12, out);
  EXPECT_EQ(out[0], 1);
  EXPECT_EQ(out[7], 0);
  EXPECT_EQ(out[8], 0xEE);
}

TEST(HandleValueRule, LengthIsNotTakenFromABlock) {
  const std::vector<std::uint8_t> bytes(64, 0x11);
  EXPECT_EQ(SnapshotLength(SizeRule::HandleValue, bytes.data(), 64), 0u);
}

TEST(CopySnapshot, NeverReadsMoreThanTheBlockHolds) {
  // A length larger than the block (not one SnapshotLength gives for these
  // rules) still reads only the block and zero-fills the rest.
  Block block({9, 8, 7});
  std::vector<std::uint8_t> out(6, 0xEE);
  CopySnapshot(block.data(), block.size(), out.data(), 6);
  EXPECT_EQ(out, (std::vector<std::uint8_t>{9, 8, 7, 0, 0, 0}));
}
