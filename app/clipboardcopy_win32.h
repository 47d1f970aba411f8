// What every copy of the program shares: one block placed on the clipboard
// in place of everything it held, and the warnings the user is given when
// that fails.
#pragma once

#include <windows.h>

#include <cstddef>

inline constexpr const char* kCopyAllocateErrorText = "Memmory Allocate Error!";

// A movable, zeroed global block of size bytes, locked, its memory in
// *memory; none when either step fails (nothing is then left allocated).
HGLOBAL AllocateLockedBlock(std::size_t size, void** memory);

// Empties the clipboard and gives it block in format. Returns nullptr when the
// clipboard took the block over, otherwise the failure's text for the user;
// the block is then still the caller's. The clipboard is open only inside
// this call and closed on every path, so no other program waits while a
// message is shown.
const char* PlaceBlockOnClipboard(HWND owner, UINT format, HGLOBAL block);

// A copy's failure, like every message of the program: owned by the window
// concerned, the system's default caption, a warning icon.
void ShowCopyWarning(HWND owner, const char* text);
