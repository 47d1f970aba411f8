// The dump's repaint with the Details pane shown beside it and hidden, in
// one "Binary dump" window and one run: the rounds take turns, the pane is
// toggled by View > Details between them, and each round times a few full
// repaints of the dump view (erase and paint of every visible row, forced
// with RedrawWindow(RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW)). Prints the
// two medians and their ratio.
//
//   wine bench_details_repaint.exe [rounds]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "app/resource.h"
#include "dumpframe/dumpframe.h"
#include "dumpview/dumpview.h"

#include "benchsupport.h"

namespace {

using benchsupport::Median;
using benchsupport::OpenClipboardRetry;
using benchsupport::PumpPending;
using benchsupport::TimeRepaint;

// 64 KiB of text in lines, so that the pane has statistics to show.
bool PutText() {
  std::vector<char> text(64 * 1024);
  for (std::size_t i = 0; i < text.size(); ++i)
    text[i] = i % 64 == 63 ? '\n' : static_cast<char>('a' + i % 26);
  text.back() = '\0';
  return benchsupport::PutAlone(CF_TEXT, text.data(), text.size());
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 100;
  HINSTANCE instance = benchsupport::RegisterKelvaneWindows();
  if (!PutText()) {
    std::printf("could not put the text on the clipboard\n");
    return 1;
  }
  if (OpenClipboardRetry()) ::CloseClipboard();
  DumpCreateParams params = {nullptr, CF_TEXT, "CF_TEXT (1)"};
  HWND frame = ::CreateWindowExA(0, DUMPFRAME_CLASS_NAME, "Binary dump", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0,
                                 0, 1200, 900, nullptr, nullptr, instance, &params);
  HWND view = ::FindWindowExA(frame, nullptr, DUMPVIEW_CLASS_NAME, nullptr);
  HWND pane = ::FindWindowExA(frame, nullptr, "Edit", nullptr);
  if (view == nullptr || pane == nullptr) {
    std::printf("no dump view or Details pane\n");
    return 1;
  }
  PumpPending();
  std::vector<double> hidden, shown;
  for (int round = -1; round < rounds; ++round) {
    for (int turn = 0; turn < 2; ++turn) {
      ::SendMessageA(frame, WM_COMMAND, ID_VIEW_DETAILS, 0);
      PumpPending();
      const bool paneShown = ::IsWindowVisible(pane) != FALSE;
      TimeRepaint(view);  // warm
      for (int n = 0; n < 3; ++n) {
        const double ms = TimeRepaint(view);
        if (round >= 0) (paneShown ? shown : hidden).push_back(ms);
      }
    }
  }
  const double without = Median(hidden);
  const double with = Median(shown);
  std::printf("dump repaint, %d rounds of 3 each (medians)\n", rounds);
  std::printf("pane hidden  %8.3f ms\n", without);
  std::printf("pane shown   %8.3f ms  (%.3fx)\n", with, with / without);
  ::DestroyWindow(frame);
  return 0;
}
