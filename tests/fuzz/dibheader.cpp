// The DIB header reader over hostile bytes, as a packed DIB or as a BMP file
// (the first byte chooses). The block is a heap copy of exactly its size, so
// a read past it faults; every region the reader answers is then read end to
// end, and its arithmetic checked against the header's own fields.
#include "picture/dibheader.h"
#include "fuzztarget.h"

namespace {

// Reads every byte of [offset, offset + size): ASan faults on any outside.
std::uint32_t Touch(const std::uint8_t* data, std::uint32_t offset, std::uint32_t size) {
  std::uint32_t sum = 0;
  for (std::uint32_t i = 0; i < size; ++i) sum += data[offset + i];
  return sum;
}

void CheckDescription(const DibDescription& d, const std::uint8_t* data, std::uint32_t length) {
  if (!d.ok) {
    FUZZ_CHECK(!d.refusal.empty());
    return;
  }
  FUZZ_CHECK(d.refusal.empty());
  FUZZ_CHECK(d.width > 0 && d.height > 0);
  FUZZ_CHECK(d.width == static_cast<std::uint32_t>(d.header.width));
  FUZZ_CHECK(d.topDown == (d.header.height < 0));
  FUZZ_CHECK(d.bitCount == d.header.bitCount);
  FUZZ_CHECK(d.stride % 4 == 0);
  FUZZ_CHECK(static_cast<std::uint64_t>(d.stride) * 8 >= static_cast<std::uint64_t>(d.width) * d.bitCount);
  FUZZ_CHECK(static_cast<std::uint64_t>(d.stride) * 8 <
             static_cast<std::uint64_t>(d.width) * d.bitCount + 32);
  FUZZ_CHECK(static_cast<std::uint64_t>(d.stride) * d.height == d.bitsSize);
  FUZZ_CHECK(d.colorTableOffset >= d.headerOffset + d.header.size);
  FUZZ_CHECK(static_cast<std::uint64_t>(d.colorTableOffset) + 4ull * d.colorTableEntries <= d.bitsOffset);
  FUZZ_CHECK(static_cast<std::uint64_t>(d.bitsOffset) + d.bitsSize <= length);
  FUZZ_CHECK(d.colorTableEntries <= kDibMaxColorTableEntries);
  FUZZ_CHECK(d.colorsUsed <= d.colorTableEntries);
  if (d.bitCount <= 8) {
    FUZZ_CHECK(d.colorsUsed <= (1u << d.bitCount));
    FUZZ_CHECK(d.redMask == 0 && d.alphaMask == 0);
  }
  if (d.bitCount == 16 || d.bitCount == 32) {
    for (std::uint32_t mask : {d.redMask, d.greenMask, d.blueMask}) FUZZ_CHECK(MaskRunOf(mask).width != 0);
    FUZZ_CHECK((d.redMask & d.greenMask) == 0 && ((d.redMask | d.greenMask | d.blueMask) & d.alphaMask) == 0);
  }
  Touch(data, 0, d.headerOffset + d.header.size);
  Touch(data, d.colorTableOffset, 4 * d.colorTableEntries);
  Touch(data, d.bitsOffset, d.bitsSize);
}

}  // namespace

KELVANE_FUZZ_TARGET(dibheader) {
  fuzz::Input in(data, size);
  const bool asFile = in.Bit();
  const fuzz::ExactBytes block(in.rest(), in.restSize());
  const auto length = static_cast<std::uint32_t>(block.size());
  const DibDescription d = asFile ? ReadBmpFile(block.data(), length) : ReadPackedDib(block.data(), length);
  FUZZ_CHECK(d.isBmpFile == asFile);
  CheckDescription(d, block.data(), length);
  for (std::uint32_t mask : {0u, 1u, 0x80000000u, 0xFFFFFFFFu, 0x0F0u, 0x101u}) {
    const MaskRun run = MaskRunOf(mask);
    if (run.width != 0) FUZZ_CHECK(run.shift + run.width <= 32);
  }
}
