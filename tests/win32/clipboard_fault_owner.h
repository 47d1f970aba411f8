// A clipboard owner in another process (tools/win32/clipboard_owner.cpp) for
// the clipboard-fault and reader tests: it holds the clipboard open, promises
// data that it never renders or renders late, or owns blocks written from
// files, until it is told to leave.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace faulttest {

class ForeignOwner {
 public:
  ForeignOwner() = default;
  ~ForeignOwner();
  ForeignOwner(const ForeignOwner&) = delete;
  ForeignOwner& operator=(const ForeignOwner&) = delete;

  // Starts the owner with the command's words and waits until it is in place
  // (or another program beside the tests that signals "<name>-ready" too).
  bool Start(const std::vector<std::string>& command, const char* program = "clipboard_owner.exe");
  bool Hold() { return Start({"hold"}); }
  bool PromiseAndRenderNothing(const std::string& format) { return Start({"delay", format, "nothing"}); }
  bool PromiseAndDie(const std::string& format) { return Start({"delay", format, "die"}); }
  // Puts each block as its format (a number or a name); the bytes go over
  // through temporary files.
  struct Block {
    std::string format;
    std::vector<std::uint8_t> bytes;
  };
  bool Put(const std::vector<Block>& blocks);
  // Promises each "<format>=<file>|seeded:<count>:<seed>" and renders it
  // delayMs after it is asked: a late owner, or with a long delay a hung one
  // until Release, after which it renders at once.
  bool PromiseLate(DWORD delayMs, const std::vector<std::string>& promises);
  void Release() const { ::SetEvent(release_); }
  // The formats the late owner rendered, in order.
  std::vector<UINT> Renders() const;
  DWORD ProcessId() const { return ::GetProcessId(process_); }
  // Promises each format (a number or a name) by delayed rendering and
  // renders real data when asked, counting the requests.
  bool PromiseAndCount(const std::vector<std::string>& formats);
  // The requests to render so far; -1 when the count cannot be read.
  long RenderCount() const;

  // Tells the owner to leave and waits for its process to end; true when it
  // ended within the time.
  bool Leave(DWORD timeoutMs = 10000);
  bool Running() const;
  HANDLE process() const { return process_; }

 private:
  std::string name_;
  HANDLE process_ = nullptr;
  HANDLE ready_ = nullptr;
  HANDLE quit_ = nullptr;
  HANDLE release_ = nullptr;
  std::string rendersLog_;  // the late owner's, one format a line
  std::vector<std::string> files_;
};

// Message boxes (owned #32770 windows) of this process that are shown now.
std::vector<HWND> OwnMessageBoxes();

// The bytes of format's block as the clipboard hands them to this process
// (the platform may change them on the way: Wine ends text from another
// process with a zero), or none when it holds no such block.
std::vector<std::uint8_t> PlatformBlock(UINT format);

// What a snapshot of that block holds, written out from the size rules
// independently of the reader: "BinaryData" its length word plus 4, texts up
// to and including their first zero byte or unit, a registered or other
// format its first 256 bytes padded with zeros; never past the block.
std::vector<std::uint8_t> ExpectedSnapshot(UINT format, const std::vector<std::uint8_t>& block);

}  // namespace faulttest
