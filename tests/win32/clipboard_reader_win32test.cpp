// The clipboard reader against owners in other processes: prompt ones (an
// owner that renders in 20 ms, Wine's clipboard manager for xclip), late and
// hung ones (a hang lasts until the test releases the owner), a program
// that quits while its read hangs, and a clipboard held open.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "browser_harness.h"
#include "clipboard_fault_owner.h"
#include "objectcounts.h"
#include "snapshot/clipboardreader_win32.h"
#include "snapshot/snapshot.h"
#include "testsupport.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using faulttest::ForeignOwner;
using testsupport::WaitUntil;

constexpr DWORD kHangMs = 600000;
constexpr UINT kProbe = WM_APP + 1;  // lParam: the tick count when it was posted

// A window of the test's thread that asks for reads and records the reader's
// reports and how long each posted probe waited.
struct Requester {
  Requester() {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = Proc;
    windowClass.hInstance = ::GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "KelvaneTestReadRequester";
    ::RegisterClassA(&windowClass);
    window = ::CreateWindowExA(0, windowClass.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                               windowClass.hInstance, nullptr);
    ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  ~Requester() { ::DestroyWindow(window); }
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<Requester*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
    if (message == CRM_READENDED) self->ended.push_back(static_cast<ReadTicket>(wParam));
    if (message == kProbe) {
      self->longestProbeWait =
          std::max(self->longestProbeWait, ::GetTickCount() - static_cast<DWORD>(lParam));
      ++self->probes;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
  }
  HWND window = nullptr;
  std::vector<ReadTicket> ended;
  int probes = 0;
  DWORD longestProbeWait = 0;
};

Bytes Keep(const ReadOutcome& outcome) {
  Bytes bytes(outcome.bytes, outcome.bytes + outcome.length);
  FreeSnapshot(outcome.bytes);
  return bytes;
}

std::string Program(const ForeignOwner& owner) {
  return "clipboard_owner.exe (process " + std::to_string(owner.ProcessId());
}

class ClipboardReader : public ::testing::Test {
 protected:
  void TearDown() override { testsupport::ClearClipboard(); }
  Requester requester_;
  const UINT hang_ = ::RegisterClipboardFormatA("Kelvane Reader Hang");
};

}  // namespace

TEST_F(ClipboardReader, PromptOwnersAreReadWithinTheWaitAsADirectReadIs) {
  const std::string png = std::string(KELVANE_WIN32_SAMPLES_DIR) + "/gradient.png";
  const UINT format = ::RegisterClipboardFormatA("PNG");
  for (const bool xclip : {false, true}) {
    SCOPED_TRACE(xclip ? "Wine's clipboard manager for xclip" : "an owner that renders in 20 ms");
    ForeignOwner owner;
    ASSERT_TRUE(xclip ? testsupport::PutWithXclip("image/png", png, format)
                      : owner.PromiseLate(20, {"PNG=Z:" + png}));
    const ClipboardReadStart start = StartClipboardRead(requester_.window, format, true);
    ASSERT_TRUE(start.ended);
    if (!xclip) EXPECT_EQ(start.outcome.facts.owner.processId, owner.ProcessId());
    const Bytes read = Keep(start.outcome);
    ReadOutcome direct;
    ReadClipboardSnapshot(nullptr, format, true, &direct.bytes, &direct.length, nullptr);
    EXPECT_EQ(read, Keep(direct));
    EXPECT_EQ(read, testsupport::ReadFileBytes("Z:" + png));
  }
  EXPECT_TRUE(requester_.ended.empty());
}

// Reads asked for while the first waits 1 s for its owner: only the newest
// is made, and only its end is reported, with its data. Meanwhile the reader
// names whom it waits for.
TEST_F(ClipboardReader, ALateReadIsReportedByMessageAndTheNewestWins) {
  std::vector<std::string> promises;
  for (const char* name : {"Hang", "A", "B", "C"})
    promises.push_back(std::string("Kelvane Reader ") + name +
                       "=seeded:300000:" + std::to_string(promises.size()));
  ForeignOwner owner;
  ASSERT_TRUE(owner.PromiseLate(1000, promises));
  std::vector<ReadTicket> tickets;
  for (const std::string& promise : promises) {
    const UINT format = ::RegisterClipboardFormatA(promise.substr(0, promise.find('=')).c_str());
    const ClipboardReadStart start = StartClipboardRead(requester_.window, format, true);
    ASSERT_FALSE(start.ended);
    tickets.push_back(start.ticket);
  }
  EXPECT_EQ(OwnerWaitText(ClipboardReadOwner(tickets.back()), "C"),
            "Waiting for " + Program(owner) + ") to render C. Esc cancels.");
  ASSERT_TRUE(WaitUntil([&] { return !requester_.ended.empty(); }, 20000));
  EXPECT_EQ(requester_.ended, std::vector<ReadTicket>{tickets.back()});
  EXPECT_EQ(Keep(TakeClipboardRead(tickets.back())), testsupport::SeededBytes(300000, 3));
  EXPECT_EQ(owner.Renders(), (std::vector<UINT>{hang_, ::RegisterClipboardFormatA("Kelvane Reader C")}));
  for (const ReadTicket ticket : tickets) EXPECT_TRUE(TakeClipboardRead(ticket).cancelled);
}

// While the read hangs the requester's thread handles what is posted to it,
// and other programs see Kelvane's reader holding the clipboard. Cancelled,
// or its requester gone, the read finishes once the owner is released: the
// clipboard opens again, the 32 MiB it read are freed, and nobody is told.
TEST_F(ClipboardReader, AnAbandonedReadFinishesByItselfAndReachesNoOne) {
  for (const bool cancel : {true, false}) {
    SCOPED_TRACE(cancel ? "cancelled" : "requester destroyed");
    Requester requester;
    ForeignOwner owner;
    ASSERT_TRUE(owner.PromiseLate(kHangMs, {"Kelvane Reader Hang=seeded:33554432:3"}));
    const double before = testsupport::PrivateMiB();
    const ClipboardReadStart start = StartClipboardRead(requester.window, hang_, true);
    ASSERT_FALSE(start.ended);
    std::thread poster([&] {
      for (int i = 0; i < 20; ++i, ::Sleep(10)) ::PostMessageA(requester.window, kProbe, 0, ::GetTickCount());
    });
    EXPECT_TRUE(WaitUntil([&] { return requester.probes == 20; }));
    poster.join();
    std::printf("longest wait of a message posted during the hang: %lu ms\n", requester.longestProbeWait);
    EXPECT_LT(requester.longestProbeWait, 250u);
    char holder[64] = "";
    ::GetClassNameA(::GetOpenClipboardWindow(), holder, sizeof(holder));
    EXPECT_STREQ(holder, "Kelvane Clipboard Reader");

    if (cancel) CancelClipboardRead(start.ticket);
    if (!cancel) ::DestroyWindow(requester.window);
    EXPECT_TRUE(owner.Renders().empty()) << "the hang ended too soon";
    owner.Release();
    EXPECT_TRUE(WaitUntil([] { return ::OpenClipboard(nullptr) && ::CloseClipboard(); }, 20000));
    EXPECT_TRUE(WaitUntil([&] { return testsupport::PrivateMiB() < before + 16; }, 20000));
    EXPECT_TRUE(requester.ended.empty());
    EXPECT_EQ(owner.Renders(), std::vector<UINT>{hang_});
  }
}

TEST_F(ClipboardReader, AProgramQuitsWithinASecondWhileItsReadHangs) {
  ForeignOwner owner;
  ASSERT_TRUE(owner.PromiseLate(kHangMs, {"Kelvane Reader Hang=seeded:64:1"}));
  ForeignOwner quitter;
  ASSERT_TRUE(quitter.Start({"Kelvane Reader Hang"}, "clipboard_reader_exit.exe"));
  const DWORD returned = ::GetTickCount();
  EXPECT_EQ(::WaitForSingleObject(quitter.process(), 10000), WAIT_OBJECT_0);
  std::printf("process ended %lu ms after its read was left waiting\n", ::GetTickCount() - returned);
  EXPECT_LT(::GetTickCount() - returned, 1000u);
}

// Held open by another program, the clipboard's holder is named in Analyze's
// title and in the read's facts; Analyze gives the title back after. A hold
// of 30 ms is waited out.
TEST_F(ClipboardReader, AHeldClipboardNamesItsHolder) {
  ASSERT_TRUE(testsupport::PutClipboardBytes(CF_TEXT, "held", 5));
  browsertest::BrowserDialog run;
  ASSERT_NE(run.dialog(), nullptr);
  {
    ForeignOwner holder;
    ASSERT_TRUE(holder.Hold());
    run.Analyze();
    EXPECT_EQ(testsupport::WindowText(run.dialog()),
              "Kelvane - clipboard held open by " + Program(holder) + ")");
    EXPECT_EQ(browsertest::ItemCount(run.availableList()), 0);
    const ClipboardReadStart start = StartClipboardRead(requester_.window, CF_TEXT, false);
    ASSERT_TRUE(start.ended);
    EXPECT_TRUE(start.outcome.facts.clipboardBusy);
    EXPECT_EQ(HeldClipboardProblem(start.outcome.facts.holder),
              "Clipboard held open by " + Program(holder) + ", window class KelvaneTestClipboardOwner)");
  }
  run.Analyze();
  EXPECT_EQ(testsupport::WindowText(run.dialog()), "Kelvane");

  HANDLE opened = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
  std::thread briefHolder([opened] {
    testsupport::OpenClipboardRetry();
    ::SetEvent(opened);
    ::Sleep(30);
    ::CloseClipboard();
  });
  ::WaitForSingleObject(opened, 5000);
  EXPECT_EQ(Keep(StartClipboardRead(requester_.window, CF_TEXT, false).outcome),
            (Bytes{'h', 'e', 'l', 'd', 0}));
  briefHolder.join();
  ::CloseHandle(opened);
}
