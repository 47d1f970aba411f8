// The clipboard reader against owners in other processes: prompt ones (an
// owner that renders in 20 ms, Wine's clipboard manager rendering what the
// X11 program xclip holds), a slow one, hung ones whose reads are cancelled,
// superseded or left by a requester that has gone, a program that quits
// while its read hangs, and a clipboard held open, in Analyze's title too.
// A hang is as long as kHangMs at most; each test ends it as soon as it has
// seen what it needs, by releasing the owner.
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

constexpr DWORD kHangMs = 600000;
constexpr UINT kProbe = WM_APP + 1;  // lParam: when it was posted, in microseconds

double NowMs() {
  LARGE_INTEGER frequency;
  LARGE_INTEGER counter;
  ::QueryPerformanceFrequency(&frequency);
  ::QueryPerformanceCounter(&counter);
  return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

// A window of the test's thread that asks for reads and records what reaches
// it: the reader's reports, and how long each posted probe waited.
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
    if (message == kProbe) self->probeWaitsMs.push_back(NowMs() - static_cast<double>(lParam) / 1000.0);
    return ::DefWindowProcA(window, message, wParam, lParam);
  }
  // Posts probes from another thread, 10 ms apart, and waits until all were
  // handled; the longest wait.
  double LongestProbeWait(int probes) {
    probeWaitsMs.clear();
    std::thread poster([this, probes] {
      for (int i = 0; i < probes; ++i, ::Sleep(10))
        ::PostMessageA(window, kProbe, 0, static_cast<LPARAM>(NowMs() * 1000.0));
    });
    const bool handled = testsupport::WaitUntil([&] { return probeWaitsMs.size() == std::size_t(probes); });
    poster.join();
    EXPECT_TRUE(handled);
    return probeWaitsMs.empty() ? 0 : *std::max_element(probeWaitsMs.begin(), probeWaitsMs.end());
  }

  HWND window = nullptr;
  std::vector<ReadTicket> ended;
  std::vector<double> probeWaitsMs;
};

Bytes Keep(const ReadOutcome& outcome) {
  Bytes bytes(outcome.bytes, outcome.bytes + outcome.length);
  FreeSnapshot(outcome.bytes);
  return bytes;
}

Bytes DirectRead(UINT format) {
  ReadOutcome outcome;
  ReadClipboardSnapshot(nullptr, format, true, &outcome.bytes, &outcome.length, nullptr);
  return Keep(outcome);
}

bool ClipboardOpens() {
  if (!::OpenClipboard(nullptr)) return false;
  ::CloseClipboard();
  return true;
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

// Read through the reader or directly, the same bytes, and within the wait.
TEST_F(ClipboardReader, PromptOwnersAreReadWithinTheWait) {
  const std::string png = std::string(KELVANE_WIN32_SAMPLES_DIR) + "/gradient.png";
  const Bytes pngBytes = testsupport::ReadFileBytes("Z:" + png);
  const UINT format = ::RegisterClipboardFormatA("PNG");
  for (const bool xclip : {false, true}) {
    SCOPED_TRACE(xclip ? "Wine's clipboard manager for xclip" : "an owner that renders in 20 ms");
    ForeignOwner owner;
    ASSERT_TRUE(xclip ? testsupport::PutWithXclip("image/png", png, format)
                      : owner.PromiseLate(20, {{"PNG", pngBytes}}));
    const ClipboardReadStart start = StartClipboardRead(requester_.window, format, true);
    ASSERT_TRUE(start.ended);
    EXPECT_TRUE(start.outcome.read);
    EXPECT_EQ(start.outcome.facts.registeredName, "PNG");
    const Bytes read = Keep(start.outcome);
    EXPECT_EQ(read, DirectRead(format));
    if (!xclip) {
      EXPECT_EQ(read, pngBytes);
      EXPECT_EQ(start.outcome.facts.owner.processId, owner.ProcessId());
    }
  }
  EXPECT_TRUE(requester_.ended.empty());
}

TEST_F(ClipboardReader, ASlowOwnersReadIsReportedByMessage) {
  ForeignOwner owner;
  ASSERT_TRUE(owner.PromiseLate(1000, std::vector<std::string>{"Kelvane Reader Hang=seeded:300000:7"}));
  const ClipboardReadStart start = StartClipboardRead(requester_.window, hang_, true);
  ASSERT_FALSE(start.ended);
  EXPECT_EQ(OwnerWaitText(ClipboardReadOwner(start.ticket), "Hang"),
            "Waiting for " + Program(owner) + ") to render Hang. Esc cancels.");
  ASSERT_TRUE(testsupport::WaitUntil([&] { return !requester_.ended.empty(); }));
  EXPECT_EQ(requester_.ended, std::vector<ReadTicket>{start.ticket});
  EXPECT_EQ(Keep(TakeClipboardRead(start.ticket)), testsupport::SeededBytes(300000, 7));
  EXPECT_TRUE(TakeClipboardRead(start.ticket).cancelled);
}

// While the read hangs the requester's thread handles what is posted to it,
// and other programs see Kelvane's reader holding the clipboard. Cancelled,
// or its requester gone, the read finishes when the owner returns: the
// clipboard opens again, the 32 MiB it read are freed, and nobody is told.
TEST_F(ClipboardReader, AnAbandonedReadFinishesByItselfAndReachesNoOne) {
  for (const bool cancel : {true, false}) {
    SCOPED_TRACE(cancel ? "cancelled" : "requester destroyed");
    Requester requester;
    ForeignOwner owner;
    ASSERT_TRUE(
        owner.PromiseLate(kHangMs, std::vector<std::string>{"Kelvane Reader Hang=seeded:33554432:3"}));
    const double before = testsupport::PrivateMiB();
    const ClipboardReadStart start = StartClipboardRead(requester.window, hang_, true);
    ASSERT_FALSE(start.ended);
    const double longestWait = requester.LongestProbeWait(20);
    EXPECT_LT(longestWait, 250.0);
    std::printf("longest wait of a posted message during the hang: %.1f ms\n", longestWait);
    EXPECT_TRUE(owner.Renders().empty()) << "the hang ended too soon";
    char holderClass[64] = "";
    ::GetClassNameA(::GetOpenClipboardWindow(), holderClass, sizeof(holderClass));
    EXPECT_STREQ(holderClass, "Kelvane Clipboard Reader");

    if (cancel) CancelClipboardRead(start.ticket);
    if (!cancel) ::DestroyWindow(requester.window);
    owner.Release();
    EXPECT_TRUE(testsupport::WaitUntil(ClipboardOpens, 20000));
    EXPECT_TRUE(testsupport::WaitUntil([&] { return testsupport::PrivateMiB() < before + 16; }, 20000))
        << testsupport::PrivateMiB() - before << " MiB more than before the read";
    EXPECT_TRUE(requester.ended.empty());
    EXPECT_EQ(owner.Renders(), std::vector<UINT>{hang_});
  }
}

// Several reads asked for while one hangs: only the newest is made, and only
// its end is reported.
TEST_F(ClipboardReader, TheNewestReadWins) {
  const std::vector<std::string> names = {"Kelvane Reader Hang", "Kelvane Reader A", "Kelvane Reader B",
                                          "Kelvane Reader C"};
  std::vector<std::string> promises;
  for (std::size_t i = 0; i < names.size(); ++i)
    promises.push_back(names[i] + "=seeded:64:" + std::to_string(i));
  ForeignOwner owner;
  ASSERT_TRUE(owner.PromiseLate(kHangMs, promises));
  std::vector<ReadTicket> tickets;
  for (const std::string& name : names) {
    const ClipboardReadStart start =
        StartClipboardRead(requester_.window, ::RegisterClipboardFormatA(name.c_str()), true);
    ASSERT_FALSE(start.ended);
    tickets.push_back(start.ticket);
  }
  owner.Release();
  ASSERT_TRUE(testsupport::WaitUntil([&] { return !requester_.ended.empty(); }, 20000));
  EXPECT_EQ(requester_.ended, std::vector<ReadTicket>{tickets.back()});
  EXPECT_EQ(Keep(TakeClipboardRead(tickets.back())), testsupport::SeededBytes(64, 3));
  EXPECT_EQ(owner.Renders(), (std::vector<UINT>{hang_, ::RegisterClipboardFormatA("Kelvane Reader C")}));
  for (std::size_t i = 0; i + 1 < tickets.size(); ++i) EXPECT_TRUE(TakeClipboardRead(tickets[i]).cancelled);
}

// A program returns from main while its read hangs in the owner: its process
// ends within a second all the same.
TEST_F(ClipboardReader, AProgramQuitsWhileItsReadHangs) {
  ForeignOwner owner;
  ASSERT_TRUE(owner.PromiseLate(kHangMs, std::vector<std::string>{"Kelvane Reader Hang=seeded:64:1"}));
  const std::string name = "kelvane-reader-exit-" + std::to_string(::GetCurrentProcessId());
  HANDLE returning = ::CreateEventA(nullptr, TRUE, FALSE, (name + "-returning").c_str());
  std::string line = "\"" + testsupport::ProgramBesideTests("clipboard_reader_exit.exe") + "\" " + name +
                     " \"Kelvane Reader Hang\"";
  STARTUPINFOA startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process = {};
  ASSERT_TRUE(::CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                               &process));
  const HANDLE waits[] = {returning, process.hProcess};
  EXPECT_EQ(::WaitForMultipleObjects(2, waits, FALSE, 20000), WAIT_OBJECT_0);
  const double returned = NowMs();
  EXPECT_EQ(::WaitForSingleObject(process.hProcess, 10000), WAIT_OBJECT_0);
  const double exitMs = NowMs() - returned;
  std::printf("process ended %.1f ms after returning from main\n", exitMs);
  EXPECT_LT(exitMs, 1000.0);
  DWORD code = 9;
  ::GetExitCodeProcess(process.hProcess, &code);
  EXPECT_EQ(code, 0u) << "the read did not hang";
  EXPECT_TRUE(owner.Renders().empty());
  for (HANDLE handle : {returning, process.hProcess, process.hThread}) ::CloseHandle(handle);
}

// Held open by another program, the clipboard's holder is named in Analyze's
// title and in the read's facts; held by a window the platform does not name
// (a thread of this process that opened it with none), "another program";
// held for 30 ms, the read waits it out. Analyze gives the title back.
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
    EXPECT_FALSE(start.outcome.read);
    EXPECT_TRUE(start.outcome.facts.clipboardBusy);
    EXPECT_EQ(HeldClipboardProblem(start.outcome.facts.holder),
              "Clipboard held open by " + Program(holder) + ", window class KelvaneTestClipboardOwner)");
  }
  run.Analyze();
  EXPECT_EQ(testsupport::WindowText(run.dialog()), "Kelvane");

  for (const DWORD holdMs : {DWORD(30), kHangMs}) {
    HANDLE opened = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE release = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::thread holder([&] {
      testsupport::OpenClipboardRetry(nullptr);
      ::SetEvent(opened);
      ::WaitForSingleObject(release, holdMs);
      ::CloseClipboard();
    });
    ::WaitForSingleObject(opened, 5000);
    if (holdMs == kHangMs) {
      run.Analyze();
      EXPECT_EQ(testsupport::WindowText(run.dialog()), "Kelvane - clipboard held open by another program");
    } else {
      const ClipboardReadStart start = StartClipboardRead(requester_.window, CF_TEXT, false);
      EXPECT_EQ(Keep(start.outcome), (Bytes{'h', 'e', 'l', 'd', 0}));
    }
    ::SetEvent(release);
    holder.join();
    ::CloseHandle(opened);
    ::CloseHandle(release);
  }
  run.Analyze();
  EXPECT_EQ(testsupport::WindowText(run.dialog()), "Kelvane");
}
