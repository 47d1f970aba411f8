// Times DVM_FINDBYTES on a dump view over 256 MiB, as a parent's "Find next"
// would send it: forward with the match at the far end, backward with the
// match at the far end (near the start), and forward with no match; the
// first two with DVFIND_SELECT, so that selecting and scrolling to the match
// count. Prints the median of each in milliseconds.
//
//   wine bench_find_bytes.exe [rounds]
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "app/kelvane.h"
#include "dumpview/dumpview.h"

#include "benchsupport.h"

namespace {

using namespace benchsupport;  // the harnesses' shared helpers

constexpr UINT kSize = 256u << 20;

// Random bytes below 0xFF, so that a pattern holding 0xFF is only where it is
// planted.
std::vector<unsigned char> RandomBytes() {
  std::vector<unsigned char> bytes(kSize);
  unsigned long long x = 0x9E3779B97F4A7C15ull;
  for (auto& b : bytes) {
    x ^= x << 13;
    x ^= x >> 7;
    x ^= x << 17;
    b = static_cast<unsigned char>((x >> 24) % 255);
  }
  return bytes;
}

struct Scene {
  const char* name;
  WPARAM flags;
  const unsigned char* pattern;
  UINT expected;
  std::vector<double> samples;
};

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::atoi(argv[1]) : 7;
  HINSTANCE instance = ::GetModuleHandleA(nullptr);
  if (RegisterDumpViewClass(instance) == 0) return 1;
  HWND view = ::CreateWindowExA(0, DUMPVIEW_CLASS_NAME, "", WS_OVERLAPPEDWINDOW | WS_VSCROLL | WS_HSCROLL, 0,
                                0, 800, 600, nullptr, nullptr, instance, reinterpret_cast<LPVOID>(16));
  if (view == nullptr) return 1;
  ::ShowWindow(view, SW_SHOW);

  std::vector<unsigned char> bytes = RandomBytes();
  const unsigned char found[8] = {0x31, 0x38, 0x3F, 0x46, 0xFF, 0x54, 0x5B, 0x62};
  const unsigned char absent[8] = {0x31, 0x38, 0x3F, 0x46, 0xFF, 0x54, 0x5B, 0x63};
  std::memcpy(&bytes[kSize - sizeof(found)], found, sizeof(found));
  std::memcpy(&bytes[0], found, sizeof(found));
  ::SendMessageA(view, DVM_SETDATA, reinterpret_cast<WPARAM>(bytes.data()), static_cast<LPARAM>(kSize));
  PumpPending();

  Scene scenes[] = {
      {"forward, match at the end, select", DVFIND_SELECT, found, kSize - 8, {}},
      {"backward, match at the start, select", DVFIND_SELECT | DVFIND_BACKWARD, found, 0, {}},
      {"forward, no match", 0, absent, 0xFFFFFFFFu, {}},
  };
  for (int round = 0; round < rounds; ++round) {
    for (Scene& scene : scenes) {
      // From one past the match at the start (forward), or everything
      // before the match at the end (backward).
      const bool backward = (scene.flags & DVFIND_BACKWARD) != 0;
      DumpFindBytes find{sizeof(DumpFindBytes), scene.pattern, 8, backward ? 0u : 1u,
                         backward ? kSize - 9 : kSize};
      const double start = Now();
      const auto at = static_cast<UINT>(
          ::SendMessageA(view, DVM_FINDBYTES, scene.flags, reinterpret_cast<LPARAM>(&find)));
      ::UpdateWindow(view);
      scene.samples.push_back(Now() - start);
      PumpPending();
      if (at != scene.expected) {
        std::printf("%s: answered %u, expected %u\n", scene.name, at, scene.expected);
        return 1;
      }
    }
  }
  for (const Scene& scene : scenes) {
    std::printf("DVM_FINDBYTES over 256 MiB, %s: %.1f ms\n", scene.name, Median(scene.samples));
  }
  ::DestroyWindow(view);
  return 0;
}
