// The dump's repaint with the Details pane shown and hidden, in one "Binary
// dump" window over 64 KiB of CF_TEXT: View > Details toggles the pane
// between turns, and each turn times three full repaints of the dump view.
// Prints the two medians and their ratio.
//
//   wine bench_details_repaint.exe [rounds]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/resource.h"
#include "dumpframe/dumpframe.h"
#include "dumpview/dumpview.h"
#include "formats/details_win32.h"

#include "benchsupport.h"

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 100;
  HINSTANCE instance = benchsupport::RegisterKelvaneWindows();
  std::string text;
  while (text.size() < 65535) text += "The pane counts the lines of this text while the dump repaints.\n";
  const benchsupport::DumpWindow dump = benchsupport::OpenDumpWindow(
      instance, CF_TEXT, "CF_TEXT (1)", text.c_str(), text.size() + 1, 1200, 900);
  if (dump.frame == nullptr) return 1;
  const HWND frame = dump.frame;
  std::vector<double> samples[2];  // hidden, shown
  for (int turn = -2; turn < 2 * rounds; ++turn) {
    ::SendMessageA(frame, WM_COMMAND, ID_VIEW_DETAILS, 0);
    benchsupport::PumpPending();
    const bool shown = ::IsWindowVisible(dump.pane) != FALSE;
    for (int n = 0; n < 4; ++n) {
      const double ms = benchsupport::TimeRepaint(dump.view);
      if (turn >= 0 && n > 0) samples[shown].push_back(ms);  // the first one warms
    }
  }
  const double hidden = benchsupport::Median(samples[0]);
  const double shown = benchsupport::Median(samples[1]);
  std::printf("dump repaint, %d rounds of 3 each (medians)\n", rounds);
  std::printf("pane hidden  %8.3f ms\npane shown   %8.3f ms  (%.3fx)\n", hidden, shown, shown / hidden);
  ::DestroyWindow(frame);
  return 0;
}
