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

// What the status bar says while a read waits for the clipboard's owner to
// render a format, the format named by its list text:
// "Waiting for owner.exe (process 1234) to render HangFormat(0xC0A1). Esc cancels."
// An owner that is no window or whose program has no name is "the
// clipboard's owner".
std::string OwnerWaitText(const ClipboardWindow& owner, std::string_view formatListText);

// The format browser's title after an Analyze that found the clipboard held
// open: "Kelvane - clipboard held open by owner.exe (process 1234)", or "...
// by another program" when the holder's program cannot be named.
std::string HeldClipboardTitle(const ClipboardWindow& holder);

// The Details pane's problem line (without its mark) for a read that found
// the clipboard held open: "Clipboard held open by owner.exe (process 1234,
// window class Owner)"; the class is left out when unknown, the program is
// "another program" when it cannot be named.
std::string HeldClipboardProblem(const ClipboardWindow& holder);
