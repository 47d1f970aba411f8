#include "dumpview/search_win32.h"

#include <climits>
#include <cstdint>
#include <memory>
#include <new>

#include "dumpview/dumpview.h"
#include "dumpview/viewport_win32.h"
#include "encoding/cp932_win32.h"

static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 code units are handed to the system unchanged");

namespace {

// Code pages that refuse both the report of a default character and
// WC_NO_BEST_FIT_CHARS (WideCharToMultiByte fails with
// ERROR_INVALID_PARAMETER when given them).
bool RefusesDefaultCharReport(UINT codePage) {
  switch (codePage) {
    case 42:
    case 50220:
    case 50221:
    case 50222:
    case 50225:
    case 50227:
    case 50229:
    case 65000:
    case CP_UTF8:
      return true;
    default:
      return codePage >= 57002 && codePage <= 57011;
  }
}

// The match index as the message's result: -1 for none, so that a parent
// may test for -1 or for 0xFFFFFFFF in the low 32 bits on either build.
LRESULT Answer(const SearchResult& result) {
  ::SetLastError(result.lastError);
  return static_cast<LRESULT>(static_cast<std::int32_t>(result.index));
}

LRESULT Malformed() { return Answer(SearchResult{kNoIndex, DV_ERROR_BAD_REQUEST}); }

// The caller's ANSI text in UTF-16, zero-terminated; null when it can't be
// widened, with the last-error code that the widening left. Bytes that are
// no character of the ANSI code page fail rather than turn into the
// replacement character, which would then be searched for.
std::unique_ptr<char16_t[]> Widen(const char* text) {
  const int count = ::MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text, -1, nullptr, 0);
  if (count <= 0) return nullptr;
  std::unique_ptr<char16_t[]> wide(new (std::nothrow) char16_t[static_cast<std::size_t>(count)]);
  if (!wide) {
    ::SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  if (::MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text, -1, reinterpret_cast<wchar_t*>(wide.get()),
                            count) != count) {
    return nullptr;
  }
  return wide;
}

}  // namespace

bool Win32TextEncoder::Encode(NarrowCodePage target, const char16_t* text, std::size_t count,
                              std::vector<std::uint8_t>& bytes) {
  if (count == 0 || count > static_cast<std::size_t>(INT_MAX)) return false;
  if (target == NarrowCodePage::ShiftJis) {
    // The table the column is drawn through: what is found is what is shown.
    const SystemCp932* cp932 = SystemCp932Conversion();
    bytes.clear();
    return cp932 != nullptr && EncodeCp932(cp932->encoded, text, count, bytes);
  }
  const UINT codePage = ::GetACP();
  const bool reports = !RefusesDefaultCharReport(codePage);
  const DWORD flags = reports ? WC_NO_BEST_FIT_CHARS : (codePage == CP_UTF8 ? WC_ERR_INVALID_CHARS : 0);
  const auto* units = reinterpret_cast<const wchar_t*>(text);
  const int unitCount = static_cast<int>(count);

  BOOL usedDefault = FALSE;
  const int size = ::WideCharToMultiByte(codePage, flags, units, unitCount, nullptr, 0, nullptr,
                                         reports ? &usedDefault : nullptr);
  if (size <= 0 || usedDefault) return false;
  bytes.assign(static_cast<std::size_t>(size), 0);
  const int written =
      ::WideCharToMultiByte(codePage, flags, units, unitCount, reinterpret_cast<char*>(bytes.data()), size,
                            nullptr, reports ? &usedDefault : nullptr);
  return written == size && !usedDefault;
}

LRESULT OnFindBytes(HWND window, DumpViewState& state, WPARAM flags, LPARAM request) {
  const auto* find = reinterpret_cast<const DumpFindBytes*>(request);
  if (find == nullptr || find->size != sizeof(DumpFindBytes) || find->pattern == nullptr) return Malformed();
  Win32DumpViewPort port(window, state);
  return Answer(FindBytes(port, state, static_cast<std::uint32_t>(flags), find->start, find->end,
                          find->pattern, find->length));
}

namespace {

// The text search on a UTF-16 text, whichever message brought it.
LRESULT FindWideText(HWND window, DumpViewState& state, WPARAM flags, const char16_t* text, UINT start,
                     UINT end) {
  Win32DumpViewPort port(window, state);
  Win32TextEncoder encoder;
  try {
    return Answer(FindText(port, state, encoder, text, start, end, static_cast<std::uint32_t>(flags)));
  } catch (const std::bad_alloc&) {
    // The text's pattern did not fit in memory: nothing was searched.
    ::SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return static_cast<LRESULT>(-1);
  }
}

}  // namespace

LRESULT OnFindText(HWND window, DumpViewState& state, WPARAM flags, LPARAM request) {
  const auto* find = reinterpret_cast<const DumpFindText*>(request);
  if (find == nullptr || find->size != sizeof(DumpFindText) || find->text == nullptr) return Malformed();
  const std::unique_ptr<char16_t[]> wide = Widen(find->text);
  if (!wide) return static_cast<LRESULT>(-1);
  return FindWideText(window, state, flags, wide.get(), find->start, find->end);
}

LRESULT OnFindTextW(HWND window, DumpViewState& state, WPARAM flags, LPARAM request) {
  const auto* find = reinterpret_cast<const DumpFindTextW*>(request);
  if (find == nullptr || find->size != sizeof(DumpFindTextW) || find->text == nullptr) return Malformed();
  return FindWideText(window, state, flags, reinterpret_cast<const char16_t*>(find->text), find->start,
                      find->end);
}
