// The dump view's search messages on a real window, and the system's
// code-page conversions that the search's text patterns need.
#pragma once

#include <windows.h>

#include "dumpview/dumpviewstate.h"
#include "dumpview/search.h"

// Code page 932 through the system's table (encoding/cp932_win32.h); the
// ANSI code page with WideCharToMultiByte, buffers sized by asking the
// conversion first. A character
// without an exact form fails the conversion: look-alike substitutes are
// refused, and so is the default character where the code page reports it
// (a UTF-8 ANSI code page refuses that report; there an unpaired surrogate
// fails instead).
class Win32TextEncoder final : public TextEncoder {
 public:
  bool Encode(NarrowCodePage target, const char16_t* text, std::size_t count,
              std::vector<std::uint8_t>& bytes) override;
};

// DVM_FINDBYTES, DVM_FINDTEXT and DVM_FINDTEXTW: check the request record,
// search, set the thread's last-error code and answer the match index
// (0xFFFFFFFF, as the LRESULT -1, for none).
LRESULT OnFindBytes(HWND window, DumpViewState& state, WPARAM flags, LPARAM request);
LRESULT OnFindText(HWND window, DumpViewState& state, WPARAM flags, LPARAM request);
LRESULT OnFindTextW(HWND window, DumpViewState& state, WPARAM flags, LPARAM request);
