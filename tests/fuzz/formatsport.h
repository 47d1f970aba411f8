// FormatPorts without the system: two locales, with code pages through
// glibc's iconv (an independent converter, for the unit tests) or byte by
// byte (cheap, for the fuzz target, which needs the interpreters' paths and
// not the converter's).
#pragma once

#include <iconv.h>

#include <cstring>
#include <string>

#include "formats/formatport.h"

class TestFormatPort : public FormatPort {
 public:
  LocaleFacts LocaleOf(std::uint32_t lcid) override {
    if (lcid == 0x0409) return LocaleFacts{true, "en-US", 1252, 437};
    if (lcid == 0x0411) return LocaleFacts{true, "ja-JP", 932, 932};
    return LocaleFacts{false, {}, 0, 0};
  }
};

class IconvFormatPort final : public TestFormatPort {
 public:
  std::string TextInCodePage(std::uint32_t codePage, const std::uint8_t* bytes,
                             std::uint32_t count) override {
    const std::string name = codePage == kSystemAnsiCodePage  ? "CP1252"
                             : codePage == kSystemOemCodePage ? "CP437"
                                                              : "CP" + std::to_string(codePage);
    iconv_t cd = iconv_open("UTF-8", name.c_str());
    if (cd == reinterpret_cast<iconv_t>(-1)) return {};
    std::string out(static_cast<std::size_t>(count) * 4 + 4, '\0');
    char* in = const_cast<char*>(reinterpret_cast<const char*>(bytes));
    std::size_t inLeft = count;
    char* to = out.data();
    std::size_t toLeft = out.size();
    while (inLeft != 0 && iconv(cd, &in, &inLeft, &to, &toLeft) == static_cast<std::size_t>(-1)) {
      // A byte without a character: U+FFFD, as the system's conversion does.
      if (toLeft < 3) break;
      std::memcpy(to, "\xEF\xBF\xBD", 3);
      to += 3;
      toLeft -= 3;
      ++in;
      --inLeft;
    }
    iconv_close(cd);
    out.resize(out.size() - toLeft);
    return out;
  }
};

// Each byte is the character of its own number (ISO 8859-1); a code page
// the system would not know converts to nothing, as a failed conversion does.
class ByteMapFormatPort final : public TestFormatPort {
 public:
  std::string TextInCodePage(std::uint32_t codePage, const std::uint8_t* bytes,
                             std::uint32_t count) override {
    std::string out;
    if (codePage > 1258) return out;
    for (const std::uint8_t* b = bytes; b != bytes + count; ++b) {
      if (*b >= 0x80) out += static_cast<char>(0xC0 | *b >> 6);
      out += static_cast<char>(*b < 0x80 ? *b : 0x80 | (*b & 0x3F));
    }
    return out;
  }
};
