// UTF-8 text, as the portable core gives it, for the platform's "W" calls,
// and back.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

std::wstring WideFromUtf8(std::string_view utf8);
std::string Utf8FromWide(std::wstring_view wide);
