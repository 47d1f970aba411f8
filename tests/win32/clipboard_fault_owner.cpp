#include "clipboard_fault_owner.h"

#include <algorithm>
#include <fstream>

#include "app/privateformats.h"
#include "testsupport.h"

namespace faulttest {

namespace {

bool WriteFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  HANDLE file =
      ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const BOOL ok =
      bytes.empty() || ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  ::CloseHandle(file);
  return ok && written == bytes.size();
}

}  // namespace

ForeignOwner::~ForeignOwner() {
  if (process_ != nullptr && !Leave()) ::TerminateProcess(process_, 1);
  for (HANDLE h : {process_, ready_, quit_, release_}) {
    if (h != nullptr) ::CloseHandle(h);
  }
  for (const std::string& file : files_) ::DeleteFileA(file.c_str());
}

bool ForeignOwner::Start(const std::vector<std::string>& command, const char* program) {
  static unsigned counter = 0;
  name_ = "kelvane-owner-" + std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(++counter);
  ready_ = ::CreateEventA(nullptr, TRUE, FALSE, (name_ + "-ready").c_str());
  quit_ = ::CreateEventA(nullptr, TRUE, FALSE, (name_ + "-quit").c_str());
  release_ = ::CreateEventA(nullptr, TRUE, FALSE, (name_ + "-release").c_str());
  char temp[MAX_PATH] = "";
  ::GetTempPathA(MAX_PATH, temp);
  rendersLog_ = std::string(temp) + name_ + "-renders.txt";
  files_.push_back(rendersLog_);
  std::string line = "\"" + testsupport::ProgramBesideTests(program) + "\" " + name_;
  for (const std::string& word : command) line += " \"" + word + "\"";
  STARTUPINFOA startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info = {};
  if (!::CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &info)) {
    return false;
  }
  ::CloseHandle(info.hThread);
  process_ = info.hProcess;
  const HANDLE waits[] = {ready_, process_};
  return ::WaitForMultipleObjects(2, waits, FALSE, 20000) == WAIT_OBJECT_0;
}

bool ForeignOwner::Put(const std::vector<Block>& blocks) {
  std::vector<std::string> command = {"put"};
  for (const Block& block : blocks) {
    files_.push_back(testsupport::TempPath("owner-block"));
    if (!WriteFileBytes(files_.back(), block.bytes)) return false;
    command.push_back(block.format + "=" + files_.back());
  }
  return Start(command);
}

bool ForeignOwner::PromiseLate(DWORD delayMs, const std::vector<std::string>& promises) {
  std::vector<std::string> command = {"late", std::to_string(delayMs)};
  command.insert(command.end(), promises.begin(), promises.end());
  return Start(command);
}

std::vector<UINT> ForeignOwner::Renders() const {
  std::vector<UINT> formats;
  std::ifstream log(rendersLog_);
  for (UINT format = 0; log >> format;) formats.push_back(format);
  return formats;
}

bool ForeignOwner::PromiseAndCount(const std::vector<std::string>& formats) {
  std::vector<std::string> command = {"count"};
  command.insert(command.end(), formats.begin(), formats.end());
  return Start(command);
}

long ForeignOwner::RenderCount() const {
  HANDLE mapping = ::OpenFileMappingA(FILE_MAP_READ, FALSE, (name_ + "-renders").c_str());
  if (mapping == nullptr) return -1;
  const auto* count = static_cast<const LONG*>(::MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, sizeof(LONG)));
  const long value = count != nullptr ? *count : -1;
  ::UnmapViewOfFile(count);
  ::CloseHandle(mapping);
  return value;
}

bool ForeignOwner::Leave(DWORD timeoutMs) {
  if (process_ == nullptr) return true;
  ::SetEvent(quit_);
  // Pump while waiting: the owner's leaving may send to this thread's windows.
  return testsupport::WaitUntil([this] { return !Running(); }, timeoutMs);
}

bool ForeignOwner::Running() const {
  return process_ != nullptr && ::WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

std::vector<HWND> OwnMessageBoxes() {
  std::vector<HWND> boxes;
  for (HWND window : testsupport::OwnWindowsOfClass("#32770")) {
    if (::IsWindowVisible(window) && ::GetWindow(window, GW_OWNER) != nullptr) boxes.push_back(window);
  }
  return boxes;
}

std::vector<std::uint8_t> PlatformBlock(UINT format) {
  std::vector<std::uint8_t> bytes;
  if (!testsupport::OpenClipboardRetry()) return bytes;
  HANDLE data = ::GetClipboardData(format);
  const auto* block = data != nullptr ? static_cast<const std::uint8_t*>(::GlobalLock(data)) : nullptr;
  if (block != nullptr) {
    bytes.assign(block, block + ::GlobalSize(data));
    ::GlobalUnlock(data);
  }
  ::CloseClipboard();
  return bytes;
}

std::vector<std::uint8_t> ExpectedSnapshot(UINT format, const std::vector<std::uint8_t>& block) {
  const std::size_t size = block.size();
  std::size_t length = size;
  if (format == g_binaryDataFormat) {
    if (size >= 4) {
      const std::uint64_t word =
          block[0] | block[1] << 8 | block[2] << 16 | static_cast<std::uint64_t>(block[3]) << 24;
      length = static_cast<std::size_t>(std::min<std::uint64_t>(word + 4, size));
    }
  } else if (format == CF_TEXT || format == CF_OEMTEXT || format == g_fileNameFormat) {
    const auto zero = std::find(block.begin(), block.end(), 0);
    length = zero == block.end() ? size : static_cast<std::size_t>(zero - block.begin()) + 1;
  } else if (format == CF_UNICODETEXT || format == g_fileNameWFormat) {
    for (std::size_t i = 0; i + 1 < size; i += 2) {
      if (block[i] == 0 && block[i + 1] == 0) {
        length = i + 2;
        break;
      }
    }
  } else {
    std::vector<std::uint8_t> window(256, 0);
    std::copy_n(block.begin(), std::min<std::size_t>(size, 256), window.begin());
    return window;
  }
  return std::vector<std::uint8_t>(block.begin(), block.begin() + static_cast<std::ptrdiff_t>(length));
}

}  // namespace faulttest
