// The FormatPort over the system: locales and code pages from its own
// tables, which answer at once (nothing here waits on the shell, the
// network or another program).
#pragma once

#include "formats/formatport.h"

class SystemFormatPort final : public FormatPort {
 public:
  LocaleFacts LocaleOf(std::uint32_t lcid) override;
  std::string TextInCodePage(std::uint32_t codePage, const std::uint8_t* bytes, std::uint32_t count) override;
};
