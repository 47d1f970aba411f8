// Times 10,000 cursor-key presses (WM_KEYDOWN and WM_KEYUP sent to a real
// dump view: caret, selection, caret following, the system caret, the
// notifications to the parent, and the repaint left pending at the end) over
// 1 KiB from its first row and over 256 MiB from its middle row, 8,388,608,
// and prints the median of each. Both do the same moves within the rows
// shown, and key handling reads no byte: both should cost the same.
//
// The moves stay within the view: under Wine, publishing a scroll position
// with SetScrollInfo(redraw TRUE) costs a scroll bar repaint of tens of
// milliseconds, which would swamp the rest (the native benchmark covers the
// scrolling arithmetic); a repaint's cost is bench_repaint's.
//
//   wine bench_cursor_keys.exe [rounds]   (one timed run per data size and round)
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "app/kelvane.h"
#include "dumpview/dumpview.h"

#include "benchsupport.h"

namespace {

using namespace benchsupport;  // the harnesses' shared helpers

constexpr int kPresses = 10000;

// Sixteen keys down and sixteen back up, every eighth sideways: the caret
// travels over 14 rows.
WPARAM KeyOfPress(int k) {
  const bool down = (k / 16) % 2 == 0;
  if (k % 8 == 7) return down ? VK_RIGHT : VK_LEFT;
  return down ? VK_DOWN : VK_UP;
}

struct Scene {
  const char* name;
  const std::vector<unsigned char>* bytes;
  std::vector<double> samples;
};

double TimePresses(HWND view, const Scene& scene) {
  ::SendMessageA(view, DVM_SETDATA, reinterpret_cast<WPARAM>(scene.bytes->data()),
                 static_cast<LPARAM>(scene.bytes->size()));
  // The start row becomes the first shown: its caret is brought into view as
  // the last shown row one page further, then set back.
  const std::size_t first = scene.bytes->size() >= (1u << 20) ? scene.bytes->size() / 2 : 0;
  SCROLLINFO info = {};
  info.cbSize = sizeof(info);
  info.fMask = SIF_PAGE;
  ::GetScrollInfo(view, SB_VERT, &info);
  ::SendMessageA(view, DVM_SETCARET, static_cast<WPARAM>(first + 16 * (info.nPage - 1)), 0);
  ::SendMessageA(view, DVM_SETCARET, static_cast<WPARAM>(first), 0);
  PumpPending();
  const double start = Now();
  for (int k = 0; k < kPresses; ++k) {
    const WPARAM key = KeyOfPress(k);
    ::SendMessageA(view, WM_KEYDOWN, key, 1);
    ::SendMessageA(view, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001u));
  }
  PumpPending();
  return Now() - start;
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  HINSTANCE instance = ::GetModuleHandleA(nullptr);
  RegisterDumpViewClass(instance);
  ::InitCommonControls();

  HWND parent = ::CreateWindowExA(0, "STATIC", "cursor keys", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 700,
                                  500, nullptr, nullptr, instance, nullptr);
  HWND view = ::CreateWindowExA(0, DUMPVIEW_CLASS_NAME, "", WS_CHILD | WS_VISIBLE, 0, 0, 640, 400, parent,
                                nullptr, instance, nullptr);
  if (parent == nullptr || view == nullptr) {
    std::fprintf(stderr, "could not create the windows\n");
    return 1;
  }
  ::SetFocus(view);
  PumpPending();

  std::vector<unsigned char> small(1024);
  for (std::size_t n = 0; n < small.size(); ++n) small[n] = static_cast<unsigned char>(n * 7 + 3);
  std::vector<unsigned char> large(256u << 20);
  for (std::size_t n = 0; n < large.size(); n += 4096) large[n] = static_cast<unsigned char>(n >> 12);

  // The sizes take turns so that the machine's load falls on both alike.
  std::vector<Scene> scenes = {{"1 KiB", &small, {}}, {"256 MiB", &large, {}}};
  for (int round = -1; round < runs; ++round) {
    for (Scene& scene : scenes) {
      const double ms = TimePresses(view, scene);
      if (round >= 0) scene.samples.push_back(ms);
      std::printf("  %-8s %.1f ms\n", scene.name, ms);  // the spread under the machine's load
    }
  }

  for (const Scene& scene : scenes) {
    std::printf("%d cursor keys, %-8s median %.1f ms\n", kPresses, scene.name, Median(scene.samples));
  }
  ::SendMessageA(view, DVM_SETDATA, 0, 0);
  ::DestroyWindow(parent);
  return 0;
}
