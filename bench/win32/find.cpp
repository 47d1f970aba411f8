// What Find adds to the dump view's own search: over a "Binary dump" window
// showing a 256 MiB snapshot whose only match lies at its end, the median of
// the view's DVM_FINDBYTES alone beside Find Next pressed in the Find dialog
// and F3 (Find Next from the frame), all from the caret at 0, in one run.
//
//   wine bench_find.exe [runs] [MiB]
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "app/kelvane.h"
#include "app/privateformats.h"
#include "app/resource.h"
#include "dumpframe/dumpframe.h"
#include "dumpview/dumpview.h"

#include "benchsupport.h"

namespace {

using namespace benchsupport;  // the harnesses' shared helpers

const std::uint8_t kPattern[] = {0x4B, 0x65, 0x6C, 0x76};  // "Kelv", only at the end
constexpr UINT kPatternLength = sizeof(kPattern);

// BinaryData of blockBytes: the length word, zeros, then the pattern last.
bool PutData(std::uint32_t blockBytes) {
  std::vector<std::uint8_t> block(blockBytes, 0);
  const std::uint32_t payload = blockBytes - 4;
  std::memcpy(block.data(), &payload, 4);
  std::memcpy(block.data() + blockBytes - sizeof(kPattern), kPattern, sizeof(kPattern));
  return PutAlone(g_binaryDataFormat, block.data(), block.size());
}

HWND FindOwnedDialog(HWND owner) {
  HWND dialog = nullptr;
  while ((dialog = ::FindWindowExA(nullptr, dialog, "#32770", "Find")) != nullptr) {
    if (::GetWindow(dialog, GW_OWNER) == owner) return dialog;
  }
  return nullptr;
}

// Caret back to 0 with nothing selected, so that each search starts there.
void ResetCaret(HWND view) { ::SendMessageA(view, DVM_SETSEL, 0, 0); }

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
  const std::uint32_t mebibytes = argc > 2 ? static_cast<std::uint32_t>(std::atoi(argv[2])) : 256;
  const std::uint32_t blockBytes = mebibytes * 1024u * 1024u;
  HINSTANCE instance = benchsupport::RegisterKelvaneWindows();
  if (!PutData(blockBytes)) {
    std::printf("could not put %u MiB of BinaryData on the clipboard\n", mebibytes);
    return 1;
  }
  if (OpenClipboardRetry()) ::CloseClipboard();
  DumpCreateParams params = {nullptr, g_binaryDataFormat, "BinaryData"};
  HWND frame = ::CreateWindowExA(0, DUMPFRAME_CLASS_NAME, "Binary dump", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0,
                                 300, 650, 300, nullptr, nullptr, instance, &params);
  HWND view = ::FindWindowExA(frame, nullptr, DUMPVIEW_CLASS_NAME, nullptr);
  ::SendMessageA(frame, WM_COMMAND, ID_EDIT_FIND, 0);
  HWND find = FindOwnedDialog(frame);
  if (view == nullptr || find == nullptr) {
    std::printf("no dump window or Find dialog\n");
    return 1;
  }
  ::CheckDlgButton(find, IDC_FIND_HEX, BST_CHECKED);
  ::SetDlgItemTextA(find, IDC_FIND_TEXT, "4B 65 6C 76");
  PumpPending();

  const UINT expected = blockBytes - kPatternLength;
  std::vector<double> alone, dialog, repeat;
  for (int run = 0; run < runs; ++run) {
    ResetCaret(view);
    DumpFindBytes request = {static_cast<UINT>(sizeof(DumpFindBytes)), kPattern, kPatternLength, 0,
                             blockBytes};
    double start = Now();
    const auto found = static_cast<UINT>(
        ::SendMessageA(view, DVM_FINDBYTES, DVFIND_SELECT, reinterpret_cast<LPARAM>(&request)));
    alone.push_back(Now() - start);

    ResetCaret(view);
    start = Now();
    ::SendMessageA(find, WM_COMMAND, IDOK, 0);
    dialog.push_back(Now() - start);
    const UINT byDialog = static_cast<UINT>(::SendMessageA(view, DVM_GETCARET, 0, 0)) - kPatternLength;

    ResetCaret(view);
    start = Now();
    ::SendMessageA(frame, WM_COMMAND, ID_EDIT_FIND_NEXT, 0);
    repeat.push_back(Now() - start);
    const UINT byRepeat = static_cast<UINT>(::SendMessageA(view, DVM_GETCARET, 0, 0)) - kPatternLength;
    PumpPending();
    if (found != expected || byDialog != expected || byRepeat != expected) {
      std::printf("run %d: found %u, by the dialog %u, by F3 %u; expected %u\n", run, found, byDialog,
                  byRepeat, expected);
      return 1;
    }
  }
  const double a = Median(alone);
  std::printf("%u MiB, match at the end, %d runs (medians)\n", mebibytes, runs);
  std::printf("DVM_FINDBYTES alone        %9.2f ms\n", a);
  std::printf("Find Next in the dialog    %9.2f ms  (%.3fx)\n", Median(dialog), Median(dialog) / a);
  std::printf("F3 from the frame          %9.2f ms  (%.3fx)\n", Median(repeat), Median(repeat) / a);
  ::DestroyWindow(frame);
  if (OpenClipboardRetry()) {
    ::EmptyClipboard();
    ::CloseClipboard();
  }
  return 0;
}
