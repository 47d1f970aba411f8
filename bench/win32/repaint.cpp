// Times one full repaint of a dump view in a maximised window: erase and
// paint of every visible row, forced with RedrawWindow(RDW_INVALIDATE |
// RDW_ERASE | RDW_UPDATENOW). Over 1 KiB, then over 256 MiB at the top and
// scrolled to the middle; prints the median of each in milliseconds. A paint
// draws only the rows shown, so the three should cost the same.
//
// Then dense Japanese text in Shift_JIS, EUC-JP, UTF-16LE and UTF-8, each
// shown by its own decoder and, on the same bytes, by the default
// one-character-per-byte decoder, with the ratio of the two.
//
//   wine bench_repaint.exe [rounds]   (three timed repaints per scene and round)
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

using benchsupport::Median;
using benchsupport::PumpPending;
using benchsupport::TimeRepaint;

HWND g_view = nullptr;

LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_SIZE && g_view != nullptr) {
    ::MoveWindow(g_view, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
  }
  return ::DefWindowProcA(window, message, wParam, lParam);
}

HWND CreateParent(HINSTANCE instance) {
  WNDCLASSEXA wc = {};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = ParentProc;
  wc.hInstance = instance;
  wc.hCursor = ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
  wc.lpszClassName = "KelvaneRepaintBench";
  ::RegisterClassExA(&wc);
  // Created with the size of the work area: without a window manager, Wine
  // marks a window maximised but leaves its size as it was.
  RECT work{0, 0, 1280, 1000};
  ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  return ::CreateWindowExA(0, wc.lpszClassName, "repaint", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, work.left,
                           work.top, work.right - work.left, work.bottom - work.top, nullptr, nullptr,
                           instance, nullptr);
}

struct Scene {
  const char* name;
  const std::vector<unsigned char>* bytes;
  bool middle;  // scrolled so that the middle of the data is shown
  std::vector<double> samples;
  UINT codePage = 1252;
};

// Shows the scene's data in its code page (untimed: DVM_SETDATA repaints by
// itself).
void Show(const Scene& scene) {
  ::SendMessageA(g_view, DVM_SETCODEPAGE, scene.codePage, 0);
  ::SendMessageA(g_view, DVM_SETDATA, reinterpret_cast<WPARAM>(scene.bytes->data()),
                 static_cast<LPARAM>(scene.bytes->size()));
  // The caret in the middle of the data brings its row into view.
  if (scene.middle) ::SendMessageA(g_view, DVM_SETCARET, static_cast<WPARAM>(scene.bytes->size() / 2), 0);
  PumpPending();
}

// A Japanese paragraph, repeated to 16 KiB or more, in a code page (1200 is
// UTF-16LE itself; 51932 goes through the system's EUC-JP table, 20932).
std::vector<unsigned char> JapaneseText(UINT codePage) {
  const wchar_t paragraph[] =
      L"\u30AF\u30EA\u30C3\u30D7\u30DC\u30FC\u30C9\u306E\u5F62\u5F0F\u3092\u4E00\u89A7\u306B"  // クリップボードの形式を一覧に
      L"\u3057\u3001\u9078\u3093\u3060\u5F62\u5F0F\u306E\u30C7\u30FC\u30BF\u3092\u5341\u516D"  // し、選んだ形式のデータを十六
      L"\u9032\u6570\u3068\u6587\u5B57\u3067\u8868\u793A\u3057\u307E\u3059\u3002\u6587\u5B57"  // 進数と文字で表示します。文字
      L"\u306E\u5217\u306F\u30B7\u30D5\u30C8JIS\u3001EUC-"  // の列はシフトJIS、EUC-
      L"JP\u3001UTF-16\u3001UTF-"                           // JP、UTF-16、UTF-
      L"8\u306E\u3044\u305A\u308C\u304B\u3067\u8AAD\u307F\u3001\u9078\u629E\u7BC4\u56F2"  // 8のいずれかで読み、選択範囲
      L"\u306F\u8272\u3067\u793A\u3057\u307E\u3059\u3002";  // は色で示します。
  const int units = static_cast<int>(sizeof(paragraph) / sizeof(paragraph[0])) - 1;
  std::vector<unsigned char> once;
  if (codePage == 1200) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(paragraph);
    once.assign(bytes, bytes + units * 2);
  } else {
    const UINT system = codePage == 51932 ? 20932 : codePage;
    once.resize(static_cast<std::size_t>(units) * 4);
    const int n = ::WideCharToMultiByte(system, 0, paragraph, units, reinterpret_cast<char*>(once.data()),
                                        static_cast<int>(once.size()), nullptr, nullptr);
    once.resize(static_cast<std::size_t>(n > 0 ? n : 0));
  }
  std::vector<unsigned char> text;
  while (!once.empty() && text.size() < 16384) text.insert(text.end(), once.begin(), once.end());
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 100;
  HINSTANCE instance = ::GetModuleHandleA(nullptr);
  RegisterDumpViewClass(instance);
  ::InitCommonControls();

  HWND parent = CreateParent(instance);
  if (parent == nullptr) {
    std::fprintf(stderr, "could not create the parent window\n");
    return 1;
  }
  g_view = ::CreateWindowExA(0, DUMPVIEW_CLASS_NAME, "", WS_CHILD | WS_VISIBLE, 0, 0, 100, 100, parent,
                             nullptr, instance, nullptr);
  if (g_view == nullptr) {
    std::fprintf(stderr, "could not create the dump view\n");
    return 1;
  }
  ::ShowWindow(parent, SW_SHOWMAXIMIZED);
  PumpPending();
  RECT client{};
  ::GetClientRect(g_view, &client);

  std::vector<unsigned char> small(1024);
  for (std::size_t n = 0; n < small.size(); ++n) small[n] = static_cast<unsigned char>(n * 7 + 3);
  std::vector<unsigned char> large(256u << 20);
  for (std::size_t n = 0; n < large.size(); n += 4096) large[n] = static_cast<unsigned char>(n >> 12);

  // The scenes take turns, a few repaints each, so that the load of the
  // machine (two cores shared with the X server) falls on all of them alike.
  const std::vector<unsigned char> shiftJis = JapaneseText(932), eucJp = JapaneseText(51932),
                                   utf16 = JapaneseText(1200), utf8 = JapaneseText(65001);
  std::vector<Scene> scenes = {{"1 KiB", &small, false, {}},
                               {"256 MiB, top", &large, false, {}},
                               {"256 MiB, middle", &large, true, {}},
                               {"Shift_JIS 932", &shiftJis, false, {}, 932},
                               {"Shift_JIS 1252", &shiftJis, false, {}},
                               {"EUC-JP 51932", &eucJp, false, {}, 51932},
                               {"EUC-JP 1252", &eucJp, false, {}},
                               {"UTF-16LE 1200", &utf16, false, {}, 1200},
                               {"UTF-16LE 1252", &utf16, false, {}},
                               {"UTF-8 65001", &utf8, false, {}, 65001},
                               {"UTF-8 1252", &utf8, false, {}}};
  int middleRow = 0;
  for (int round = -1; round < runs; ++round) {
    for (Scene& scene : scenes) {
      Show(scene);
      if (scene.middle) middleRow = ::GetScrollPos(g_view, SB_VERT);
      TimeRepaint(g_view);  // warm
      for (int n = 0; n < 3; ++n) {
        const double ms = TimeRepaint(g_view);
        if (round >= 0) scene.samples.push_back(ms);
      }
    }
  }

  std::printf("client %ldx%ld, %d repaints each\n", client.right, client.bottom, 3 * runs);
  for (const Scene& scene : scenes) {
    std::printf("repaint %-16s median %.3f ms\n", scene.name, Median(scene.samples));
  }
  std::printf("(middle: top row %d)\n", middleRow);
  // Each decoder against the default decoder on the same bytes.
  for (std::size_t n = 3; n + 1 < scenes.size(); n += 2) {
    std::printf("%-16s %.2f x the default decoder\n", scenes[n].name,
                Median(scenes[n].samples) / Median(scenes[n + 1].samples));
  }

  ::SendMessageA(g_view, DVM_SETDATA, 0, 0);
  ::DestroyWindow(parent);
  return 0;
}
