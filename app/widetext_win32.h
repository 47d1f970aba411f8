// UTF-16 text of the system as UTF-8, the portable core's only text, and
// back.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

// units UTF-16 units of text; empty for none.
std::string Utf8OfWide(const wchar_t* text, int units);
std::wstring WideOfUtf8(std::string_view utf8);
