// The few things the interpreters ask the system: what a locale is called
// and which code pages it converts text through, and text of a code page.
// Each answer is the system's own tables, never the shell, the network or
// another program, so that the pane never waits. The Win32 shell answers
// them (formatport_win32.cpp); tests and the fuzz target give a port of
// their own.
#pragma once

#include <cstdint>
#include <string>

struct LocaleFacts {
  bool known;        // the system knows the LCID
  std::string name;  // "en-US"; empty when the system gives none
  std::uint32_t ansiCodePage;
  std::uint32_t oemCodePage;
};

// Code page numbers with a meaning of their own.
constexpr std::uint32_t kSystemAnsiCodePage = 0;  // the system's ANSI code page
constexpr std::uint32_t kSystemOemCodePage = 1;   // the system's OEM code page
constexpr std::uint32_t kUtf8CodePage = 65001;

class FormatPort {
 public:
  virtual ~FormatPort() = default;
  virtual LocaleFacts LocaleOf(std::uint32_t lcid) = 0;
  // count bytes of text in codePage as UTF-8; empty when the system cannot
  // convert them.
  virtual std::string TextInCodePage(std::uint32_t codePage, const std::uint8_t* bytes,
                                     std::uint32_t count) = 0;
};
