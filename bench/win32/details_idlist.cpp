// The Details pane over hostile "Shell IDList Array" blocks in the real
// frame: a 58-byte block of 3 items over one list of 18 items, read by the
// size rules (its first 256 bytes), and a 1 MB block whose header claims
// 60,000 items all pointing at one long list, read with View > Whole Data.
// Each turn puts the block alone on the clipboard, opens a "Binary dump"
// window, shows the pane with View > Details (WM_COMMAND ID_VIEW_DETAILS)
// and times until the pane holds its text; then opens a second window with
// the pane already shown and times that too. Prints the medians.
//
//   wine bench_details_idlist.exe [rounds]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/resource.h"
#include "dumpframe/dumpframe.h"

#include "benchsupport.h"

namespace {

std::vector<unsigned char> IdListArrayOverOneList(std::uint32_t count, std::uint32_t size) {
  std::vector<unsigned char> block(size, 0);
  const auto put32 = [&](std::uint32_t at, std::uint32_t value) {
    for (std::uint32_t b = 0; b < 4; ++b) block[at + b] = static_cast<unsigned char>(value >> (8 * b));
  };
  const std::uint32_t list = 4 + 4 * (count + 1);
  put32(0, count);
  for (std::uint32_t i = 0; i <= count; ++i) put32(4 + 4 * i, list);
  for (std::uint32_t at = list; at + 4 <= size; at += 2) block[at] = 2;
  return block;
}

HWND PaneOf(HWND frame) { return ::FindWindowExA(frame, nullptr, "Edit", nullptr); }

// Milliseconds until the pane shows the list's count of items; -1 after a
// minute.
double UntilPaneHoldsText(HWND frame, double start) {
  for (;;) {
    HWND pane = PaneOf(frame);
    const int length = pane != nullptr && ::IsWindowVisible(pane) ? ::GetWindowTextLengthW(pane) : 0;
    if (length > 0) {
      std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
      ::GetWindowTextW(pane, text.data(), length + 1);
      if (text.find(L"\r\nItems: ") != std::wstring::npos) return benchsupport::Now() - start;
    }
    if (benchsupport::Now() - start > 60000) return -1;
    benchsupport::PumpPending();
  }
}

HWND OpenFrame(HINSTANCE instance, UINT format) {
  DumpCreateParams params = {nullptr, format, "Shell IDList Array"};
  return ::CreateWindowExA(0, DUMPFRAME_CLASS_NAME, "Binary dump", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                           1000, 700, nullptr, nullptr, instance, &params);
}

struct Times {
  std::vector<double> toggled;  // View > Details on an open window
  std::vector<double> opened;   // a window opened with the pane shown
};

void Turn(HINSTANCE instance, UINT format, const std::vector<unsigned char>& block, bool wholeData,
          Times* t) {
  if (!benchsupport::PutAlone(format, block.data(), block.size())) return;
  HWND frame = OpenFrame(instance, format);
  benchsupport::PumpPending();
  if (wholeData) ::SendMessageA(frame, WM_COMMAND, ID_VIEW_WHOLE_DATA, 0);
  benchsupport::PumpPending();
  double start = benchsupport::Now();
  ::SendMessageA(frame, WM_COMMAND, ID_VIEW_DETAILS, 0);
  t->toggled.push_back(UntilPaneHoldsText(frame, start));
  start = benchsupport::Now();
  HWND second = OpenFrame(instance, format);
  t->opened.push_back(UntilPaneHoldsText(second, start));
  ::DestroyWindow(second);
  // Both choices back off for the next turn.
  ::SendMessageA(frame, WM_COMMAND, ID_VIEW_DETAILS, 0);
  if (wholeData) ::SendMessageA(frame, WM_COMMAND, ID_VIEW_WHOLE_DATA, 0);
  ::DestroyWindow(frame);
  benchsupport::PumpPending();
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  HINSTANCE instance = benchsupport::RegisterKelvaneWindows();
  const UINT format = ::RegisterClipboardFormatA("Shell IDList Array");
  const std::vector<unsigned char> small = IdListArrayOverOneList(3, 58);
  const std::vector<unsigned char> large = IdListArrayOverOneList(60000, 1u << 20);
  Times smallTimes;
  Times largeTimes;
  for (int round = 0; round < rounds; ++round) {
    Turn(instance, format, small, false, &smallTimes);
    Turn(instance, format, large, true, &largeTimes);
  }
  std::printf("Details pane over Shell IDList Array, %d rounds (medians, ms)\n", rounds);
  std::printf("58 bytes, 3 items         View > Details %8.1f   opened with the pane %8.1f\n",
              benchsupport::Median(smallTimes.toggled), benchsupport::Median(smallTimes.opened));
  std::printf("1 MB, 60,000 items, whole View > Details %8.1f   opened with the pane %8.1f\n",
              benchsupport::Median(largeTimes.toggled), benchsupport::Median(largeTimes.opened));
  return 0;
}
