#include "encoding/cp932_win32.h"

#include <windows.h>

#include <memory>
#include <new>

const SystemCp932* SystemCp932Conversion() {
  static std::unique_ptr<SystemCp932> conversion;
  if (conversion != nullptr) return conversion.get();
  std::unique_ptr<SystemCp932> built(new (std::nothrow) SystemCp932);
  if (built == nullptr) return nullptr;
  FillCp932Table(built->decoded, [](const std::uint8_t* bytes, std::size_t count) -> char16_t {
    wchar_t unit[2] = {};
    const int n = ::MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, reinterpret_cast<const char*>(bytes),
                                        static_cast<int>(count), unit, 2);
    return n == 1 ? static_cast<char16_t>(unit[0]) : kReplacementChar;
  });
  FillCp932Forms(built->decoded, built->encoded);
  conversion = std::move(built);
  return conversion.get();
}
