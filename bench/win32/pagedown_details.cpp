// Times 200 Page Downs held over a 64 MiB "BinaryData" block in one "Binary
// dump" window, with the Details pane shown and hidden in turns: the 200
// key presses are queued at once, as a key held faster than it is handled
// leaves them, and the time runs until the queue is empty, the dump has
// repainted and (shown) the pane's text is current (it is read once at the
// end, which brings it up to date). Prints both medians and their ratio.
//
//   wine bench_pagedown_details.exe [rounds]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "app/privateformats.h"
#include "app/resource.h"
#include "dumpframe/dumpframe.h"
#include "dumpview/dumpview.h"
#include "formats/details_win32.h"

#include "benchsupport.h"

namespace {

constexpr int kKeys = 200;
constexpr std::uint32_t kBlockBytes = 64u << 20;

// Dispatches until nothing has arrived for a few timer periods: the pane's
// rebuild waits for the queue to be empty, and comes on a timer.
void PumpUntilIdle() {
  for (;;) {
    benchsupport::PumpPending();
    if (::MsgWaitForMultipleObjects(0, nullptr, FALSE, 40, QS_ALLINPUT) == WAIT_TIMEOUT) return;
  }
}

double TimePageDowns(HWND view, HWND pane, bool shown) {
  ::SendMessageA(view, DVM_SETCARET, 0, 0);
  PumpUntilIdle();
  const double start = benchsupport::Now();
  for (int k = 0; k < kKeys; ++k) {
    ::PostMessageA(view, WM_KEYDOWN, VK_NEXT, 1);
    ::PostMessageA(view, WM_KEYUP, VK_NEXT, static_cast<LPARAM>(0xC0000001u));
  }
  benchsupport::PumpPending();
  ::UpdateWindow(view);
  if (shown) ::GetWindowTextLengthW(pane);
  const double elapsed = benchsupport::Now() - start;
  PumpUntilIdle();
  return elapsed;
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  HINSTANCE instance = benchsupport::RegisterKelvaneWindows();
  std::vector<unsigned char> block(4 + static_cast<std::size_t>(kBlockBytes));
  std::memcpy(block.data(), &kBlockBytes, 4);
  for (std::size_t n = 4; n < block.size(); n += 4096) block[n] = static_cast<unsigned char>(n >> 12);
  const benchsupport::DumpWindow dump = benchsupport::OpenDumpWindow(
      instance, g_binaryDataFormat, "BinaryData", block.data(), block.size(), 650, 300);
  block.clear();
  block.shrink_to_fit();
  if (dump.frame == nullptr) return 1;
  const HWND frame = dump.frame;
  std::vector<double> samples[2];  // hidden, shown
  for (int turn = -2; turn < 2 * rounds; ++turn) {
    ::SendMessageA(frame, WM_COMMAND, ID_VIEW_DETAILS, 0);
    PumpUntilIdle();
    const bool shown = ::IsWindowVisible(dump.pane) != FALSE;
    const double ms = TimePageDowns(dump.view, dump.pane, shown);
    if (turn >= 0) samples[shown].push_back(ms);  // the first two warm
    std::printf("  pane %-6s %8.1f ms\n", shown ? "shown" : "hidden", ms);
  }
  const double hidden = benchsupport::Median(samples[0]);
  const double shown = benchsupport::Median(samples[1]);
  std::printf("%d Page Downs on 64 MiB, %d rounds (medians)\n", kKeys, rounds);
  std::printf("pane hidden  %8.1f ms\npane shown   %8.1f ms  (%.3fx)\n", hidden, shown, shown / hidden);
  ::DestroyWindow(frame);
  return 0;
}
