// Capturing the clipboard to a file: every format read whole, one at a time,
// through the clipboard reader, each block written as soon as it is read (at
// most one format's data in memory), the file under a temporary name in the
// target's folder renamed over the target only when complete. A capture that
// fails or is cancelled leaves no file behind and an existing file as it was.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

// How a capture is steered while it runs, from another thread for the
// window, by a time limit for the command line.
struct CaptureControls {
  HANDLE wake = nullptr;                     // set (auto-reset) when cancel or skip is asked; may be none
  std::atomic<bool> cancel{false};           // end the capture; nothing is written
  std::atomic<std::uint32_t> skip{0};        // 1 + the index of the format to skip while it is waited for
  std::atomic<std::uint32_t> waitingFor{0};  // set by the capture: 1 + the index waited for, or 0
  DWORD renderLimitMs = INFINITE;            // how long a format's owner may take to render it
  // Called on the capturing thread whenever there is something new to show.
  void (*progress)(void* context, const std::string& reading, const std::string& waiting,
                   std::uint64_t bytesSoFar) = nullptr;
  void* context = nullptr;
};

struct CaptureOutcome {
  bool written = false;                  // the file is there, complete
  bool cancelled = false;                // ended by cancel: nothing written
  std::string failure;                   // one sentence (UTF-8) when it failed: nothing written
  std::string message;                   // when written: "Captured 12 of 14 formats (3.4 MB) to ..."
  std::vector<std::string> notCaptured;  // "HTML Format(0xC0A1): reason"
};

// The command line's limit for a slow owner, as the platform's own wait.
inline constexpr DWORD kCommandLineRenderLimitMs = 30000;

// Captures the clipboard to path (ANSI) on the calling thread, which must
// not be a window's thread that others wait on: it waits for every read.
CaptureOutcome CaptureClipboardToFile(const std::string& path, CaptureControls& controls);
