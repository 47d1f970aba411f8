#include "snapshot/clipboardreader_win32.h"

#include <new>
#include <optional>
#include <utility>

#include "snapshot/clipboardwindow_win32.h"
#include "snapshot/snapshot.h"

namespace {

constexpr char kReaderWindowClass[] = "Kelvane Clipboard Reader";

// What the reader's thread shares with the callers. Made on first use and
// never freed: the thread may be stuck in another program until the process
// ends, and a destructor run at exit would take the state from under it.
struct Reader {
  SRWLOCK lock = SRWLOCK_INIT;
  CONDITION_VARIABLE readEnded = CONDITION_VARIABLE_INIT;
  HANDLE readAsked = nullptr;  // auto-reset: wakes the thread
  ReadSchedule schedule;
};

class Locked {
 public:
  explicit Locked(Reader& reader) : lock_(&reader.lock) { ::AcquireSRWLockExclusive(lock_); }
  ~Locked() { ::ReleaseSRWLockExclusive(lock_); }
  Locked(const Locked&) = delete;
  Locked& operator=(const Locked&) = delete;

 private:
  SRWLOCK* lock_;
};

bool RequesterGone(std::uint64_t requester) {
  return ::IsWindow(reinterpret_cast<HWND>(static_cast<std::uintptr_t>(requester))) == FALSE;
}

// Frees what nobody will take, one outcome at a time and outside the lock.
void FreeDiscarded(Reader& reader) {
  for (;;) {
    std::optional<ReadOutcome> discarded;
    {
      const Locked locked(reader);
      discarded = reader.schedule.TakeDiscarded();
    }
    if (!discarded.has_value()) return;
    FreeSnapshot(discarded->bytes);
  }
}

ReadOutcome ReadNow(HWND window, const ReadRequest& request) {
  ReadOutcome outcome;
  try {
    outcome.read = ReadClipboardSnapshot(window, request.format, request.wholeData, &outcome.bytes,
                                         &outcome.length, &outcome.facts);
  } catch (...) {
    // std::bad_alloc before anything was read: a failed read.
    outcome.read = false;
  }
  return outcome;
}

// Makes the next read that waits, if any, and reports its end.
bool MakeNextRead(Reader& reader, HWND window) {
  std::optional<ReadJob> job;
  {
    const Locked locked(reader);
    job = reader.schedule.Begin();
  }
  if (!job.has_value()) return false;
  ReadOutcome outcome = ReadNow(window, job->request);
  ReadEnding ending;
  {
    const Locked locked(reader);
    ending = reader.schedule.End(std::move(outcome));
    reader.schedule.ForgetRequesters(RequesterGone);
  }
  ::WakeAllConditionVariable(&reader.readEnded);
  if (ending.delivery == ReadDelivery::Notify &&
      !::PostMessageA(reinterpret_cast<HWND>(static_cast<std::uintptr_t>(ending.requester)), CRM_READENDED,
                      ending.ticket, 0)) {
    const Locked locked(reader);
    reader.schedule.Cancel(ending.ticket);
  }
  FreeDiscarded(reader);
  return true;
}

HWND CreateReaderWindow() {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = ::DefWindowProcA;
  windowClass.hInstance = ::GetModuleHandleA(nullptr);
  windowClass.lpszClassName = kReaderWindowClass;
  ::RegisterClassA(&windowClass);
  return ::CreateWindowExA(0, kReaderWindowClass, "Kelvane clipboard reader", 0, 0, 0, 0, 0, HWND_MESSAGE,
                           nullptr, windowClass.hInstance, nullptr);
}

DWORD WINAPI ReaderThread(void* parameter) {
  Reader& reader = *static_cast<Reader*>(parameter);
  const HWND window = CreateReaderWindow();
  for (;;) {
    try {
      while (MakeNextRead(reader, window)) {
      }
    } catch (...) {
      // A failed allocation between reads: the next request tries again.
    }
    ::MsgWaitForMultipleObjects(1, &reader.readAsked, FALSE, INFINITE, QS_ALLINPUT);
    MSG message;
    while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageA(&message);
  }
}

// The thread is never joined and nothing waits for it at exit.
Reader* StartReader() {
  auto* reader = new (std::nothrow) Reader;
  if (reader == nullptr) return nullptr;
  reader->readAsked = ::CreateEventA(nullptr, FALSE, FALSE, nullptr);
  HANDLE thread =
      reader->readAsked != nullptr ? ::CreateThread(nullptr, 0, ReaderThread, reader, 0, nullptr) : nullptr;
  if (thread == nullptr) {
    if (reader->readAsked != nullptr) ::CloseHandle(reader->readAsked);
    delete reader;
    return nullptr;
  }
  ::CloseHandle(thread);
  return reader;
}

Reader* TheReader() {
  static Reader* const reader = StartReader();
  return reader;
}

void WaitForRead(Reader& reader, ReadTicket ticket, DWORD waitMs) {
  const ULONGLONG deadline = ::GetTickCount64() + waitMs;
  while (!reader.schedule.Ended(ticket)) {
    const ULONGLONG now = ::GetTickCount64();
    if (now >= deadline) return;
    ::SleepConditionVariableSRW(&reader.readEnded, &reader.lock, static_cast<DWORD>(deadline - now), 0);
  }
}

}  // namespace

ClipboardReadStart StartClipboardRead(HWND requester, std::uint32_t format, bool wholeData, DWORD waitMs) {
  ClipboardReadStart start;
  start.ended = true;  // a read that never reaches the reader ends at once, as failed
  try {
    Reader* reader = TheReader();
    if (reader == nullptr) return start;
    const ReadRequest request{reinterpret_cast<std::uintptr_t>(requester), format, wholeData,
                              DescribeClipboardWindow(::GetClipboardOwner())};
    {
      const Locked locked(*reader);
      reader->schedule.ForgetRequesters(RequesterGone);
      start.ticket = reader->schedule.Ask(request);
      ::SetEvent(reader->readAsked);
      WaitForRead(*reader, start.ticket, waitMs);
      start.ended = !reader->schedule.NotifyWhenEnded(start.ticket);
      if (start.ended) start.outcome = reader->schedule.Take(start.ticket);
    }
    FreeDiscarded(*reader);
  } catch (...) {
    // std::bad_alloc before the read was asked for: it fails at once.
  }
  return start;
}

ReadOutcome TakeClipboardRead(ReadTicket ticket) {
  Reader* reader = TheReader();
  if (reader == nullptr) return ReadSchedule().Take(ticket);
  const Locked locked(*reader);
  return reader->schedule.Take(ticket);
}

void CancelClipboardRead(ReadTicket ticket) {
  Reader* reader = TheReader();
  if (reader == nullptr) return;
  {
    const Locked locked(*reader);
    reader->schedule.Cancel(ticket);
  }
  FreeDiscarded(*reader);
}

ClipboardWindow ClipboardReadOwner(ReadTicket ticket) {
  Reader* reader = TheReader();
  if (reader == nullptr) return {};
  try {
    const Locked locked(*reader);
    return reader->schedule.OwnerOf(ticket);
  } catch (...) {
    return {};  // std::bad_alloc copying the names: nothing to name
  }
}
