// A window that the clipboard names (its owner, or the window that holds it
// open) and the program behind it, as seen at one moment. The program may
// have gone since, so the facts are kept rather than looked up again.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

struct ClipboardWindow {
  std::uint64_t window = 0;     // the handle's value; 0 when the clipboard named none
  std::string windowClass;      // empty when unknown
  std::uint32_t processId = 0;  // 0 when unknown
  std::string executable;       // the process image's full path, UTF-8; empty when unknown
};

// The image's file name without its folder: "owner.exe" of
// "C:\\Program Files\\Owner\\owner.exe" (either slash ends a folder).
std::string_view ExecutableFileName(std::string_view path);
