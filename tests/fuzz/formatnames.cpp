// Naming and cutting of format names over any number and any name the system
// might give back (any bytes, embedded zeros included, any length).
#include <algorithm>
#include <optional>
#include <string>
#include <string_view>

#include "browser/formatnames.h"
#include "fuzztarget.h"

namespace {

bool StartsWith(const std::string& text, std::string_view prefix) {
  return text.size() >= prefix.size() && text.compare(0, prefix.size(), prefix) == 0;
}

bool EndsWith(const std::string& text, std::string_view suffix) {
  return text.size() >= suffix.size() &&
         text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

std::uint32_t ParseHex(std::string_view digits) {
  std::uint64_t value = 0;
  for (char c : digits) {
    const int digit = c >= '0' && c <= '9' ? c - '0' : (c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1);
    FUZZ_CHECK(digit >= 0);  // upper-case hexadecimal only
    value = value * 16 + static_cast<std::uint64_t>(digit);
  }
  FUZZ_CHECK(value <= 0xFFFFFFFFu);
  return static_cast<std::uint32_t>(value);
}

// "0x" and at least four upper-case digits that read back as the number.
void CheckNumberText(std::uint32_t format) {
  const std::string text = FormatNumberText(format);
  FUZZ_CHECK(StartsWith(text, "0x"));
  FUZZ_CHECK(text.size() >= 6 && text.size() <= 10);
  FUZZ_CHECK(ParseHex(std::string_view(text).substr(2)) == format);
}

void CheckCuts(std::string_view name, std::size_t maxChars) {
  const std::string cut = CutText(name, maxChars);
  FUZZ_CHECK(cut.size() == std::min(name.size(), maxChars));
  FUZZ_CHECK(name.substr(0, cut.size()) == cut);
  const std::string registered = RegisteredNameText(name);
  FUZZ_CHECK(registered.size() <= kRegisteredNameMaxChars && StartsWith(std::string(name), registered));
  const std::string status = FrameStatusText(name);
  FUZZ_CHECK(status.size() <= kFrameTextMaxChars && StartsWith(std::string(name), status));
}

// Every text of the available list ends in the number; a looked-up name
// stands before it cut to 127 characters, with nothing in between.
void CheckAvailableText(std::uint32_t format, std::string_view name, bool found) {
  const std::optional<std::string_view> lookedUp =
      found ? std::optional<std::string_view>(name) : std::nullopt;
  const std::string text = AvailableFormatText(format, lookedUp);
  if (const char* standard = StandardFormatName(format)) {
    FUZZ_CHECK(text == standard);
    return;
  }
  const std::string number = FormatNumberText(format);
  const std::string suffix = "(" + number + ")";
  FUZZ_CHECK(EndsWith(text, suffix));
  if (found && !name.empty()) {
    const std::size_t kept = std::min(name.size(), kLookedUpNameMaxChars);
    FUZZ_CHECK(text.size() == kept + suffix.size());
    FUZZ_CHECK(text.compare(0, kept, name.substr(0, kept)) == 0);
  } else {
    FUZZ_CHECK(text == UnknownFormatText(format));
    FUZZ_CHECK(text.size() > suffix.size() + 1 && text[text.size() - suffix.size() - 1] == ' ');
  }
}

}  // namespace

KELVANE_FUZZ_TARGET(formatnames) {
  fuzz::Input in(data, size);
  const std::uint32_t format = in.U8() % 2 == 0 ? in.U16() : in.U32();
  const std::size_t maxChars = in.U16();
  const bool found = in.Bit();
  const std::string_view name(reinterpret_cast<const char*>(in.rest()), in.restSize());

  CheckNumberText(format);
  const std::string priority = PriorityText(format);
  FUZZ_CHECK(priority == std::to_string(static_cast<int>(format)));
  CheckCuts(name, maxChars);
  CheckAvailableText(format, name, found);
}
