// The dump view's search messages on a real window, and the system's
// code-page conversions that the search's text patterns need.
#pragma once

#include <windows.h>

#include "dumpview/dumpviewstate.h"
#include "dumpview/search.h"

// Conversions with WideCharToMultiByte: code page 932, or the ANSI code
// page. Buffers are sized by asking the conversion first. A character
// without an exact form fails the conversion: look-alike substitutes are
// refused, and so is the default character where the code page reports it
// (a UTF-8 ANSI code page refuses that report; there an unpaired surrogate
// fails instead).
class Win32TextEncoder final : public TextEncoder {
 public:
  bool Encode(NarrowCodePage target, const char16_t* text, std::size_t count,
              std::vector<std::uint8_t>& bytes) override;
};

// DVM_FINDBYTES and DVM_FINDTEXT: check the request record, search, set the
// thread's last-error code and answer the match index (0xFFFFFFFF, as the
// LRESULT -1, for none).
LRESULT OnFindBytes(HWND window, DumpViewState& state, WPARAM flags, LPARAM request);
LRESULT OnFindText(HWND window, DumpViewState& state, WPARAM flags, LPARAM request);
