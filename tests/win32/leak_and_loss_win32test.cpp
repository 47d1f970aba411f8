// Nothing lost: seeded random payloads of several formats, 0 bytes to 1 MiB,
// saved through the real "Binary dump" window and save dialog, each file
// compared with the bytes put on the clipboard after the format's size rule.
// Nothing leaked: the dump window opened and closed, and Analyze run, many
// times through the real format browser in equal rounds; GDI and USER objects
// and private memory grow no more after the first round.
//
// The counts come from the environment so that scripts/soak.sh can run the
// full numbers: KELVANE_SAVE_PAYLOADS (default 12), KELVANE_SAVE_SEED,
// KELVANE_OPEN_CYCLES (default 100), KELVANE_ANALYZE_CYCLES (default 5).
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "app/privateformats.h"
#include "browser/formatbrowser_win32.h"
#include "browser_harness.h"
#include "clipboard_fault_owner.h"
#include "dumpframe_harness.h"
#include "objectcounts.h"
#include "testsupport.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

using testsupport::EnvCount;
using testsupport::Random;

// A size from 0 to 1 MiB, spread evenly over the powers of two so that small
// blocks are as common as large ones; one in 64 is empty.
std::uint32_t PayloadSize(Random& random) {
  const std::uint32_t bits = random.Below(21);  // 2^0 .. 2^20
  const std::uint32_t size = random.Below(1u << bits) + 1;
  return random.Below(64) == 0 ? 0 : size;
}

// Bytes for a format: texts mostly without zeros, with one zero somewhere in
// half of them; "BinaryData" with a length word that is exact, short or a lie.
Bytes Payload(Random& random, UINT format, std::uint32_t size) {
  Bytes bytes(size);
  const bool text = format == CF_TEXT || format == CF_UNICODETEXT || format == g_fileNameFormat ||
                    format == g_fileNameWFormat;
  for (std::uint8_t& b : bytes)
    b = static_cast<std::uint8_t>(text ? 1 + random.Below(255) : random.Below(256));
  if (text && size != 0 && random.Below(2) == 0) bytes[random.Below(size)] = 0;
  if (format == g_binaryDataFormat && size >= 4) {
    const std::uint32_t payload = size - 4;
    const std::uint32_t choice = random.Below(3);
    const std::uint32_t word =
        choice == 0 ? payload
                    : (choice == 1 ? random.Below(payload + 1) : payload + 1 + random.Below(0x7FFFFFFF));
    for (int n = 0; n < 4; ++n) bytes[n] = static_cast<std::uint8_t>(word >> (8 * n));
  }
  return bytes;
}

// Puts a bitmap: the snapshot of a handle format is the handle's value.
Bytes PutBitmap() {
  HDC screen = ::GetDC(nullptr);
  HBITMAP bitmap = ::CreateCompatibleBitmap(screen, 8, 8);
  ::ReleaseDC(nullptr, screen);
  Bytes value;
  if (bitmap == nullptr || !testsupport::OpenClipboardRetry()) return value;
  ::EmptyClipboard();
  if (::SetClipboardData(CF_BITMAP, bitmap) != nullptr) {
    const auto handle = reinterpret_cast<ULONG_PTR>(::GetClipboardData(CF_BITMAP));
    for (std::size_t n = 0; n < sizeof(handle); ++n)
      value.push_back(static_cast<std::uint8_t>(handle >> (8 * n)));
  }
  ::CloseClipboard();
  return value;
}

// ------------------------------------------------------------- object counts

using testsupport::GdiObjects;
using testsupport::UserObjects;

using testsupport::PrivateMiB;

struct Usage {
  std::uint32_t gdi;
  std::uint32_t user;
  double privateMiB;
};

Usage Measure() {
  testsupport::PumpMessages(20);
  return Usage{GdiObjects(), UserObjects(), PrivateMiB()};
}

}  // namespace

TEST(NothingLost, SeededPayloadsSaveByteForByte) {
  const unsigned payloads = EnvCount("KELVANE_SAVE_PAYLOADS", 12);
  const unsigned seed = EnvCount("KELVANE_SAVE_SEED", 1);
  const UINT registered = ::RegisterClipboardFormatA("Kelvane Payload Format");
  const UINT formats[] = {g_binaryDataFormat, CF_TEXT,           CF_UNICODETEXT, registered,
                          g_fileNameFormat,   g_fileNameWFormat, CF_DIB,         CF_BITMAP};
  Random random(seed);
  framehar::RecordingOwner owner;
  std::uint64_t savedBytes = 0;
  unsigned exact = 0;
  unsigned refused = 0;
  for (unsigned n = 0; n < payloads; ++n) {
    // The first payload is always the largest, so that the path of large
    // snapshots is taken in every run.
    const UINT format =
        n == 0 ? g_binaryDataFormat : formats[random.Below(sizeof(formats) / sizeof(formats[0]))];
    const std::uint32_t size = n == 0 ? 1u << 20 : PayloadSize(random);
    SCOPED_TRACE("payload " + std::to_string(n) + ": format " + std::to_string(format) + ", " +
                 std::to_string(size) + " bytes, seed " + std::to_string(seed));
    Bytes expected;
    if (format == CF_BITMAP) {
      expected = PutBitmap();
      ASSERT_FALSE(expected.empty());
    } else {
      const Bytes bytes = Payload(random, format, size);
      const bool put = testsupport::PutClipboardBytes(format, bytes.data(), bytes.size());
      if (!put && size == 0) {
        ++refused;  // the platform takes no empty block of some formats (Wine: CF_UNICODETEXT)
        continue;
      }
      ASSERT_TRUE(put);
      // The platform ends the system's text formats with a zero in their
      // last unit on the way back; the rest must be what was put.
      Bytes handed = bytes;
      if (format == CF_TEXT || format == CF_UNICODETEXT) {
        handed = faulttest::PlatformBlock(format);
        ASSERT_EQ(handed.size(), bytes.size());
        const std::size_t kept = size >= 2 ? size - 2 : 0;
        EXPECT_TRUE(
            std::equal(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(kept), handed.begin()));
      }
      // A block of no bytes cannot be locked: no snapshot, an empty file.
      if (size != 0) expected = faulttest::ExpectedSnapshot(format, handed);
    }
    if (testsupport::OpenClipboardRetry()) ::CloseClipboard();
    const HWND frame = framehar::CreateFrame(owner.window(), format, "payload");
    ASSERT_NE(frame, nullptr);
    const std::string path = testsupport::TempPath("payload");
    const framehar::SaveRun run = framehar::RunSave(frame, framehar::SaveScript{path});
    ::DestroyWindow(frame);
    EXPECT_TRUE(run.dialogSeen);
    EXPECT_TRUE(run.messages.empty());
    const Bytes saved = testsupport::ReadFileBytes(path);
    framehar::RemoveFile(path);
    EXPECT_EQ(saved.size(), expected.size());
    if (saved == expected) {
      ++exact;
      savedBytes += saved.size();
    } else {
      ADD_FAILURE() << "the saved file differs from the snapshot's bytes";
    }
  }
  testsupport::ClearClipboard();
  std::printf(
      "saved %u of %u payloads byte for byte (%llu bytes, seed %u; %u empty blocks refused by the "
      "platform)\n",
      exact, payloads, static_cast<unsigned long long>(savedBytes), seed, refused);
}

// The openings and Analyze runs go in equal rounds: a leak of even one
// object per opening or Analyze run grows the counts in every round, 64 KiB
// kept per opening the private memory by more than a MiB.
constexpr unsigned kRounds = 5;
constexpr double kPrivateGrowthMiB = 0.5;

TEST(NothingLeaked, OpenCloseAndAnalyzeGrowNothingAfterTheFirstRound) {
  const unsigned openings = (EnvCount("KELVANE_OPEN_CYCLES", 100) + kRounds - 1) / kRounds;
  const unsigned analyzeRuns = (EnvCount("KELVANE_ANALYZE_CYCLES", 5) + kRounds - 1) / kRounds;
  // 64 KiB of "BinaryData": a snapshot kept per opening would show at once.
  Bytes binary(65536);
  const std::uint32_t word = static_cast<std::uint32_t>(binary.size() - 4);
  for (std::size_t i = 0; i < binary.size(); ++i) binary[i] = static_cast<std::uint8_t>(i * 13);
  for (int n = 0; n < 4; ++n) binary[n] = static_cast<std::uint8_t>(word >> (8 * n));
  ASSERT_TRUE(
      testsupport::PutClipboardItems({{CF_TEXT, {'l', 'e', 'a', 'k', 0}}, {g_binaryDataFormat, binary}}));

  browsertest::BrowserDialog run;
  ASSERT_NE(run.dialog(), nullptr);
  std::vector<Usage> rounds;
  std::string printed;
  for (unsigned round = 0; round < kRounds; ++round) {
    for (unsigned n = 0; n < analyzeRuns; ++n) {
      run.Analyze();
      const int item = browsertest::ItemOfFormat(run.availableList(), g_binaryDataFormat);
      ASSERT_GE(item, 0);
      browsertest::SelectItem(run.availableList(), item);
    }
    for (unsigned n = 0; n < openings; ++n) {
      run.Toggle();
      EXPECT_TRUE(::IsWindow(g_dumpFrame));
      run.Toggle();
      ASSERT_EQ(g_dumpFrame, nullptr);
    }
    rounds.push_back(Measure());
    char counts[96];
    std::snprintf(counts, sizeof(counts), "%s%u/%u/%.2f", round == 0 ? "" : " -> ", rounds.back().gdi,
                  rounds.back().user, rounds.back().privateMiB);
    printed += counts;
  }
  std::printf("%u rounds of %u openings and %u Analyze: GDI/USER/private MiB after each: %s\n", kRounds,
              openings, analyzeRuns, printed.c_str());
  std::vector<double> gdi, user, privateMiB;
  for (const Usage& now : rounds) {
    gdi.push_back(now.gdi);
    user.push_back(now.user);
    privateMiB.push_back(now.privateMiB);
  }
  EXPECT_LE(testsupport::SmallestGrowth(gdi), 0) << testsupport::GdiObjectKinds();
  EXPECT_LE(testsupport::SmallestGrowth(user), 0);
  EXPECT_LE(testsupport::SmallestGrowth(privateMiB), kPrivateGrowthMiB);
  testsupport::ClearClipboard();
}
