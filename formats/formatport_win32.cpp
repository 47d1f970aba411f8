#include "formats/formatport_win32.h"

#include <windows.h>

#include "app/widetext_win32.h"

LocaleFacts SystemFormatPort::LocaleOf(std::uint32_t lcid) {
  LocaleFacts facts{false, {}, 0, 0};
  if (!::IsValidLocale(lcid, LCID_SUPPORTED)) return facts;
  facts.known = true;
  wchar_t name[LOCALE_NAME_MAX_LENGTH] = L"";
  const int units = ::LCIDToLocaleName(lcid, name, LOCALE_NAME_MAX_LENGTH, 0);
  facts.name = Utf8OfWide(name, units > 0 ? units - 1 : 0);
  DWORD ansi = 0;
  DWORD oem = 0;
  ::GetLocaleInfoW(lcid, LOCALE_IDEFAULTANSICODEPAGE | LOCALE_RETURN_NUMBER, reinterpret_cast<LPWSTR>(&ansi),
                   sizeof(ansi) / sizeof(wchar_t));
  ::GetLocaleInfoW(lcid, LOCALE_IDEFAULTCODEPAGE | LOCALE_RETURN_NUMBER, reinterpret_cast<LPWSTR>(&oem),
                   sizeof(oem) / sizeof(wchar_t));
  facts.ansiCodePage = ansi;
  facts.oemCodePage = oem;
  return facts;
}

std::string SystemFormatPort::TextInCodePage(std::uint32_t codePage, const std::uint8_t* bytes,
                                             std::uint32_t count) {
  if (count == 0 || count > 0x7FFFFFFF) return {};
  const auto* text = reinterpret_cast<const char*>(bytes);
  const int size = static_cast<int>(count);
  const int units = ::MultiByteToWideChar(codePage, 0, text, size, nullptr, 0);
  if (units <= 0) return {};
  std::wstring wide(static_cast<std::size_t>(units), L'\0');
  ::MultiByteToWideChar(codePage, 0, text, size, wide.data(), units);
  return Utf8OfWide(wide.data(), units);
}
