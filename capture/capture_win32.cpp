// The platform side of a capture: the clipboard's formats, the reads through
// the clipboard reader and the waits for them, and the file. What is read,
// where it goes and what is said about it is decided in capturerun.cpp.
#include "capture/capture_win32.h"

#include <memory>
#include <utility>

#include "app/widetext_win32.h"
#include "capture/capturerun.h"
#include "capture/clpgdi.h"
#include "capture/restore_win32.h"
#include "snapshot/clipboardreader_win32.h"
#include "snapshot/snapshot.h"

namespace {

constexpr char kRequesterClass[] = "Kelvane Capture Requester";
constexpr DWORD kMostWriteBytes = 1u << 30;

std::string Utf8OfAnsi(const std::string& ansi) {
  const int units = ::MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, nullptr, 0);
  if (units <= 1) return {};
  std::wstring wide(static_cast<std::size_t>(units), L'\0');
  ::MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, wide.data(), units);
  return Utf8OfWide(wide.c_str(), units - 1);
}

// The system's sentence for an error, without its line end.
std::string SystemText(DWORD error) {
  wchar_t* text = nullptr;
  const DWORD units = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
      error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::string utf8 = units > 0 ? Utf8OfWide(text, static_cast<int>(units)) : std::string();
  if (text != nullptr) ::LocalFree(text);
  while (!utf8.empty() &&
         (utf8.back() == '\n' || utf8.back() == '\r' || utf8.back() == ' ' || utf8.back() == '.')) {
    utf8.pop_back();
  }
  return utf8.empty() ? "error " + std::to_string(error) : utf8;
}

// The file being written under its temporary name; deleted when it goes
// without having been put in place.
class TemporaryFile {
 public:
  ~TemporaryFile() {
    Close();
    if (!path_.empty()) ::DeleteFileA(path_.c_str());
  }

  // A new file in the folder of target; false with the reason set.
  bool Create(const std::string& target, std::string* failure) {
    const std::size_t slash = target.find_last_of("\\/");
    const std::string folder = slash == std::string::npos ? "." : target.substr(0, slash + 1);
    char name[MAX_PATH] = {};
    if (::GetTempFileNameA(folder.c_str(), "kcl", 0, name) == 0) {
      *failure = "No file could be made in its folder: " + SystemText(::GetLastError()) + ".";
      return false;
    }
    path_ = name;
    handle_ = ::CreateFileA(name, GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING,
                            FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (handle_ == INVALID_HANDLE_VALUE) {
      *failure = "No file could be made in its folder: " + SystemText(::GetLastError()) + ".";
      return false;
    }
    return true;
  }

  bool Write(const std::uint8_t* bytes, std::uint64_t count) {
    while (count > 0) {
      const DWORD chunk = count < kMostWriteBytes ? static_cast<DWORD>(count) : kMostWriteBytes;
      DWORD wrote = 0;
      if (!::WriteFile(handle_, bytes, chunk, &wrote, nullptr) || wrote == 0) return Failed();
      bytes += wrote;
      count -= wrote;
    }
    return true;
  }

  bool WriteAtStart(const std::vector<std::uint8_t>& bytes) {
    LARGE_INTEGER start = {};
    if (!::SetFilePointerEx(handle_, start, nullptr, FILE_BEGIN)) return Failed();
    return Write(bytes.data(), bytes.size());
  }

  // Closes the file and renames it over target.
  bool PutInPlace(const std::string& target) {
    if (!Close()) return Failed();
    if (!::MoveFileExA(path_.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED)) {
      return Failed();
    }
    path_.clear();
    return true;
  }

  DWORD error() const { return error_; }

 private:
  bool Close() {
    if (handle_ == INVALID_HANDLE_VALUE) return true;
    const bool closed = ::CloseHandle(handle_) != FALSE;
    handle_ = INVALID_HANDLE_VALUE;
    return closed;
  }
  bool Failed() {
    error_ = ::GetLastError();
    return false;
  }

  std::string path_;
  HANDLE handle_ = INVALID_HANDLE_VALUE;
  DWORD error_ = 0;
};

// A message-only window of the capturing thread: the reader tells it when a
// read that outlasted its prompt wait has ended.
class Requester {
 public:
  Requester() {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = ::DefWindowProcA;
    windowClass.hInstance = ::GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kRequesterClass;
    ::RegisterClassA(&windowClass);
    window_ = ::CreateWindowExA(0, kRequesterClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                windowClass.hInstance, nullptr);
  }
  ~Requester() {
    if (window_ != nullptr) ::DestroyWindow(window_);
  }
  Requester(const Requester&) = delete;
  Requester& operator=(const Requester&) = delete;
  HWND window() const { return window_; }

 private:
  HWND window_ = nullptr;
};

std::optional<std::string> RegisteredName(UINT format) {
  if (!IsRegisteredFormat(format)) return std::nullopt;
  // Any atom's name fits in 255 characters; Wine answers 0 for a buffer too
  // small for the name.
  wchar_t name[256] = {};
  const int units = ::GetClipboardFormatNameW(format, name, 256);
  if (units <= 0) return std::nullopt;
  return Utf8OfWide(name, units);
}

// The clipboard's formats in its order; no data is asked for.
bool ClipboardFormats(HWND window, std::vector<CaptureFormat>* formats) {
  if (!OpenClipboardRetrying(window, 1000)) return false;
  for (UINT format = ::EnumClipboardFormats(0); format != 0; format = ::EnumClipboardFormats(format)) {
    formats->push_back(CaptureFormat{format, RegisteredName(format)});
  }
  ::CloseClipboard();
  return true;
}

// What became of one format's read.
enum class ReadEnd : std::uint8_t { Read, LeftOut, Cancelled };
struct FormatRead {
  ReadEnd end = ReadEnd::LeftOut;
  ReadOutcome outcome;
  std::string reason;  // for LeftOut
};

// Takes the messages of the capturing thread; true when the read of ticket
// was reported ended among them.
bool ReadEndedAmongMessages(HWND window, ReadTicket ticket) {
  bool ended = false;
  MSG message;
  while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.hwnd == window && message.message == CRM_READENDED && message.wParam == ticket) {
      ended = true;
    } else {
      ::DispatchMessageA(&message);
    }
  }
  return ended;
}

// Reads one format whole, waiting for as long as its owner may take.
FormatRead ReadFormat(HWND window, CaptureRun& run, std::uint32_t index, CaptureControls& controls,
                      std::uint64_t bytesSoFar) {
  FormatRead result;
  const std::string reading = run.ReadingText(index);
  if (controls.progress != nullptr) controls.progress(controls.context, reading, {}, bytesSoFar);
  ClipboardReadStart start = StartClipboardRead(window, run.FormatAt(index), true);
  if (!start.ended) {
    // Skippable from before the wait is shown: an Esc in answer to it counts.
    controls.waitingFor = index + 1;
    struct NoLongerWaiting {
      CaptureControls& controls;
      ~NoLongerWaiting() { controls.waitingFor = 0; }
    } const noLongerWaiting{controls};
    if (controls.progress != nullptr) {
      controls.progress(controls.context, reading,
                        OwnerWaitText(ClipboardReadOwner(start.ticket), run.ListText(index)), bytesSoFar);
    }
    const ULONGLONG began = ::GetTickCount64();
    for (;;) {
      // What the user asked for comes first, even when the read has just ended.
      const bool cancel = controls.cancel.load();
      const bool skip = controls.skip.load() == index + 1;
      const bool ended = !cancel && !skip && ReadEndedAmongMessages(window, start.ticket);
      if (ended) {
        start.outcome = TakeClipboardRead(start.ticket);
        break;
      }
      const ULONGLONG waited = ::GetTickCount64() - began;
      const bool late = controls.renderLimitMs != INFINITE && waited >= controls.renderLimitMs;
      if (cancel || skip || late) {
        CancelClipboardRead(start.ticket);
        result.end = cancel ? ReadEnd::Cancelled : ReadEnd::LeftOut;
        result.reason = skip ? kSkippedReason : NotRenderedInReason(controls.renderLimitMs / 1000);
        return result;
      }
      const DWORD wait =
          controls.renderLimitMs == INFINITE ? INFINITE : static_cast<DWORD>(controls.renderLimitMs - waited);
      ::MsgWaitForMultipleObjects(controls.wake != nullptr ? 1 : 0, &controls.wake, FALSE, wait, QS_ALLINPUT);
    }
  }
  result.outcome = start.outcome;
  if (!result.outcome.read) {
    result.reason = kReadFailedReason;
  } else if (result.outcome.facts.cut) {
    result.reason = kCutReason;
  } else {
    result.end = ReadEnd::Read;
  }
  return result;
}

// Writes the block of one read format; false when the file refused it.
bool WriteBlock(TemporaryFile& file, const ClpBlockOfSnapshot& block, const std::uint8_t* snapshot) {
  if (!file.Write(block.header.data(), block.header.size())) return false;
  for (const ClpSnapshotSpan& span : block.spans) {
    if (!file.Write(snapshot + span.offset, span.length)) return false;
  }
  return true;
}

class SnapshotBytes {
 public:
  explicit SnapshotBytes(std::uint8_t* bytes) : bytes_(bytes) {}
  ~SnapshotBytes() { FreeSnapshot(bytes_); }
  SnapshotBytes(const SnapshotBytes&) = delete;
  SnapshotBytes& operator=(const SnapshotBytes&) = delete;

 private:
  std::uint8_t* bytes_;
};

CaptureOutcome Failure(std::string sentence) {
  CaptureOutcome outcome;
  outcome.failure = std::move(sentence);
  return outcome;
}

std::string WriteFailure(const TemporaryFile& file) {
  return "The file could not be written: " + SystemText(file.error()) + ". Nothing was changed.";
}

}  // namespace

CaptureOutcome CaptureClipboardToFile(const std::string& path, CaptureControls& controls) {
  char fullPath[MAX_PATH] = {};
  const DWORD fullLength = ::GetFullPathNameA(path.c_str(), MAX_PATH, fullPath, nullptr);
  if (fullLength == 0 || fullLength >= MAX_PATH) return Failure("The file's name is not a usable path.");
  const Requester requester;
  if (requester.window() == nullptr) return Failure("No window could be made to read the clipboard.");
  std::vector<CaptureFormat> formats;
  if (!ClipboardFormats(requester.window(), &formats)) {
    return Failure("The clipboard could not be opened: another program holds it. Nothing was changed.");
  }
  CaptureRun run(std::move(formats));
  TemporaryFile file;
  std::string failure;
  if (!file.Create(fullPath, &failure)) return Failure(failure + " Nothing was changed.");
  // The table's place, filled in once every block is written: at most
  // 65,535 entries, about 11 MiB.
  if (!file.Write(std::vector<std::uint8_t>(static_cast<std::size_t>(run.plan().FirstBlockOffset())).data(),
                  run.plan().FirstBlockOffset())) {
    return Failure(WriteFailure(file));
  }
  for (std::optional<std::uint32_t> index = run.Next(); index; index = run.Next()) {
    FormatRead read = ReadFormat(requester.window(), run, *index, controls, run.plan().End());
    if (read.end == ReadEnd::Cancelled || controls.cancel.load()) {
      FreeSnapshot(read.outcome.bytes);
      CaptureOutcome cancelled;
      cancelled.cancelled = true;
      return cancelled;
    }
    if (read.end == ReadEnd::LeftOut) {
      FreeSnapshot(read.outcome.bytes);
      run.LeftOut(*index, read.reason);
      continue;
    }
    const SnapshotBytes owned(read.outcome.bytes);
    const ClpBlockOfSnapshot block = DescribeClpBlockOfSnapshot(run.FormatAt(*index), read.outcome.bytes,
                                                                read.outcome.length, sizeof(METAFILEPICT));
    if (!block.ok) {
      run.LeftOut(*index, block.refusal);
      continue;
    }
    if (!run.Captured(*index, block.length).placed) continue;
    if (!WriteBlock(file, block, read.outcome.bytes)) return Failure(WriteFailure(file));
  }
  if (!file.WriteAtStart(run.plan().TableBytes()) || !file.PutInPlace(fullPath)) {
    return Failure(WriteFailure(file));
  }
  CaptureOutcome outcome;
  outcome.written = true;
  outcome.message = run.FinalMessage(Utf8OfAnsi(fullPath));
  outcome.notCaptured = run.NotCaptured();
  return outcome;
}
