// Times the clipboard watch against changes made by another process (this
// program started again as the producer):
//   1. a change until the available list shows it, with Follow on (the list
//      alternates between one and two formats);
//   2. a change until its log row exists;
//   3. 1,000 changes in 10 s: how many of the producer's sequence numbers the
//      log holds, and how many twice, and every message round trip to the
//      dialog meanwhile (a thread of this process sends WM_NULL every 5 ms);
//   4. the memory of 10,000 rows of eight formats each: the process's
//      working set before and after, the log window open over them.
// Prints medians (and the worst round trip) in milliseconds.
//
//   wine bench_clipwatch.exe [changes]
//
// The log window stays open over figures 1 to 3; with the environment
// variable KELVANE_BENCH_LOG_CLOSED set it is closed first.
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "app/resource.h"
#include "browser/formatbrowser.h"
#include "clipwatch/watch_win32.h"

#include "benchsupport.h"

namespace {

using namespace benchsupport;  // the harnesses' shared helpers

constexpr UINT kFollow = 0x0110;
constexpr UINT kLog = 0x0120;
constexpr int kMaxChanges = 1000;

// What the producer tells the harness, in a named mapping: for each change
// the time after its close and the sequence number then.
struct ProducerRecord {
  LONG done;
  LONG made;
  double madeAt[kMaxChanges];
  DWORD sequence[kMaxChanges];
};

constexpr char kMappingName[] = "kelvane-bench-clipwatch";

ProducerRecord* MapRecord() {
  HANDLE mapping = ::CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                        sizeof(ProducerRecord), kMappingName);
  return mapping != nullptr ? static_cast<ProducerRecord*>(
                                  ::MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, sizeof(ProducerRecord)))
                            : nullptr;
}

void WaitUntilTime(double at) {
  while (Now() < at) ::Sleep(Now() + 2 < at ? 1 : 0);
}

// changes changes, one every intervalMs: the formats "Kelvane Bench A" alone,
// then with "Kelvane Bench B", and so on.
int Produce(int changes, double intervalMs) {
  ProducerRecord* record = MapRecord();
  if (record == nullptr) return 1;
  const UINT a = ::RegisterClipboardFormatA("Kelvane Bench A");
  const UINT b = ::RegisterClipboardFormatA("Kelvane Bench B");
  const double start = Now() + intervalMs;
  for (int i = 0; i < changes && i < kMaxChanges; ++i) {
    WaitUntilTime(start + i * intervalMs);
    if (!OpenClipboardRetry()) continue;
    ::EmptyClipboard();
    PutBlock(a, "a", 1);
    if (i % 2 != 0) PutBlock(b, "b", 1);
    ::CloseClipboard();
    record->madeAt[i] = Now();
    record->sequence[i] = ::GetClipboardSequenceNumber();
    ::InterlockedExchange(&record->made, i + 1);
  }
  ::InterlockedExchange(&record->done, 1);
  return 0;
}

HANDLE StartProducer(int changes, int intervalMs) {
  char self[MAX_PATH] = "";
  ::GetModuleFileNameA(nullptr, self, MAX_PATH);
  std::string line =
      "\"" + std::string(self) + "\" produce " + std::to_string(changes) + " " + std::to_string(intervalMs);
  STARTUPINFOA startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info = {};
  if (!::CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &info)) {
    return nullptr;
  }
  ::CloseHandle(info.hThread);
  return info.hProcess;
}

void PumpFor(double ms) {
  const double end = Now() + ms;
  while (Now() < end) {
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
    PumpPending();
  }
}

int AvailableCount(HWND dialog) {
  return static_cast<int>(::SendDlgItemMessageA(dialog, IDC_AVAILABLE_LIST, LVM_GETITEMCOUNT, 0, 0));
}

// Figures 1 and 2: changes spaced well apart, each timed from the producer's
// close to the first moment the harness sees it in the log and in the list.
void TimeOneChangeAtATime(HWND dialog, ProducerRecord* record, int changes) {
  record->done = record->made = 0;
  HANDLE producer = StartProducer(changes, 400);
  if (producer == nullptr) return;
  std::vector<double> toRow, toList;
  int seen = 0;
  std::uint32_t rowsBefore = TheClipboardLog().Size();
  bool rowSeen = false;
  while (seen < changes && ::WaitForSingleObject(producer, 0) == WAIT_TIMEOUT) {
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
    PumpPending();
    if (record->made <= seen) continue;
    const double now = Now();
    if (!rowSeen && TheClipboardLog().Size() > rowsBefore) {
      toRow.push_back(now - record->madeAt[seen]);
      rowSeen = true;
    }
    if (AvailableCount(dialog) == (seen % 2 != 0 ? 2 : 1)) {
      toList.push_back(now - record->madeAt[seen]);
      ++seen;
      rowsBefore = TheClipboardLog().Size();
      rowSeen = false;
    }
  }
  ::WaitForSingleObject(producer, 10000);
  ::CloseHandle(producer);
  if (toRow.empty() || toList.empty()) {
    std::printf("changes made %ld, seen %d, rows %u, listed %d\n", record->made, seen,
                TheClipboardLog().Size(), AvailableCount(dialog));
    return;
  }
  std::printf(
      "%zu changes one at a time: to the log row, median %.1f ms; to the available list with Follow on, "
      "median %.1f ms (%.1f ms after the 50 ms quiet time)\n",
      toList.size(), Median(toRow), Median(toList), Median(toList) - 50.0);
}

// Figure 3.
void TimeAStream(HWND dialog, ProducerRecord* record, int changes) {
  record->done = record->made = 0;
  TheClipboardLog().Clear();
  std::atomic<bool> stop{false};
  std::vector<double> trips;
  std::thread prober([&] {
    while (!stop.load()) {
      const double start = Now();
      DWORD_PTR ignored = 0;
      ::SendMessageTimeoutA(dialog, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &ignored);
      trips.push_back(Now() - start);
      ::Sleep(5);
    }
  });
  HANDLE producer = StartProducer(changes, 10);
  if (producer == nullptr) return;
  while (::WaitForSingleObject(producer, 0) == WAIT_TIMEOUT) PumpFor(5);
  const double took = record->made > 0 ? record->madeAt[record->made - 1] - record->madeAt[0] : 0;
  PumpFor(500);
  stop = true;
  prober.join();
  ::CloseHandle(producer);

  const ClipboardLog& log = TheClipboardLog();
  int logged = 0, twice = 0;
  for (int i = 0; i < record->made; ++i) {
    int found = 0;
    for (std::uint32_t row = 0; row < log.Size(); ++row)
      found += log.Row(row).sequence == record->sequence[i];
    logged += found > 0;
    twice += found > 1;
  }
  double worst = 0;
  int over = 0;
  for (const double trip : trips) {
    worst = trip > worst ? trip : worst;
    over += trip > 50.0;
  }
  std::printf(
      "%ld changes in %.1f s: %d of their sequence numbers logged, %d twice, %u rows; %zu round trips to "
      "the dialog, median %.2f ms, worst %.1f ms, %d over 50 ms\n",
      record->made, took / 1000.0, logged, twice, log.Size(), trips.size(), Median(trips), worst, over);
}

std::size_t PrivateBytes() {
  PROCESS_MEMORY_COUNTERS_EX counters = {};
  counters.cb = sizeof(counters);
  ::GetProcessMemoryInfo(::GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                         sizeof(counters));
  // Wine counts a heap's reserved arena as private from the start: the
  // working set is what the rows' pages really take.
  return counters.WorkingSetSize;
}

// Figure 4: rows like those of a copy from a word processor, from three
// programs by turns.
void MeasureTenThousandRows(HWND dialog) {
  TheClipboardLog().Clear();
  ::SendMessageA(dialog, WM_SYSCOMMAND, kLog, 0);
  PumpFor(200);
  const std::size_t before = PrivateBytes();
  ClipboardChange change;
  change.listing.formats = {13, 0xC0A0, 0xC0A1, 0xC0A2, 0xC0A3, 16, 1, 7};
  change.listing.names = {{0xC0A0, "Rich Text Format"},
                          {0xC0A1, "Ole Private Data"},
                          {0xC0A2, "Wine Marshalled DataObject"},
                          {0xC0A3, "DataObject"}};
  // Numbers of changes before the first real one, which is then new.
  const DWORD first = ::GetClipboardSequenceNumber() - kLogCapacity - 1;
  for (std::uint32_t i = 0; i < kLogCapacity; ++i) {
    change.sequence = first + i;
    change.owner = {0x100u + i % 3, "RICHEDIT50W", 1000 + i % 3,
                    "C:\\Program Files\\Windows NT\\Accessories\\wordpad.exe"};
    TheClipboardLog().Append(change);
  }
  ShowLogChanges();
  PumpFor(300);
  const std::size_t after = PrivateBytes();
  std::printf(
      "10,000 rows of eight formats, the log window open at the newest: working set %.2f MiB more "
      "(a row holds %zu bytes and its formats %zu)\n",
      static_cast<double>(after - before) / (1024.0 * 1024.0), sizeof(LogRow),
      change.listing.formats.size() * sizeof(std::uint32_t));
  TheClipboardLog().Clear();
  ShowLogChanges();
  if (std::getenv("KELVANE_BENCH_LOG_CLOSED")) CloseClipboardLogWindow();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 4 && std::string(argv[1]) == "produce") return Produce(std::atoi(argv[2]), std::atof(argv[3]));
  const int changes = argc > 1 ? std::max(10, std::min(kMaxChanges, std::atoi(argv[1]))) : kMaxChanges;
  HINSTANCE instance = RegisterKelvaneWindows();
  ProducerRecord* record = MapRecord();
  HWND dialog =
      ::CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_FORMAT_BROWSER), nullptr, FormatBrowserProc, 0);
  if (record == nullptr || dialog == nullptr) {
    std::fprintf(stderr, "could not set up\n");
    return 1;
  }
  ::ShowWindow(dialog, SW_SHOW);
  ::SendMessageA(dialog, WM_SYSCOMMAND, kFollow, 0);
  PumpFor(200);
  MeasureTenThousandRows(dialog);
  TimeOneChangeAtATime(dialog, record, 21);
  TimeAStream(dialog, record, changes);
  ::DestroyWindow(dialog);
  return 0;
}
