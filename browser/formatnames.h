// How the format browser names clipboard formats in its two lists: pure
// functions of a format number and of the name the registered list holds for
// it, kept apart from the window code so they can be checked on their own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Longest registered name shown in column 1 of the registered list.
inline constexpr std::size_t kRegisteredNameMaxChars = 126;
// Longest name taken from the registered list when composing an available
// format's text.
inline constexpr std::size_t kLookedUpNameMaxChars = 127;
// Longest format text handed to a DumpFrame for its status bar.
inline constexpr std::size_t kFrameTextMaxChars = 30;

// The text of one of the 22 standard formats (1-17 and the display formats
// 0x80-0x83, 0x8E), such as "CF_TEXT (1)"; none for any other number.
const char* StandardFormatName(std::uint32_t format);

// "0x" and at least four upper-case hexadecimal digits: "0xC1A0". This is
// the registered list's column 0 and the key by which names are looked up.
std::string FormatNumberText(std::uint32_t format);

// The priority column of the available list: the 1-based position, "%d".
std::string PriorityText(std::uint32_t position);

// The first max characters of text (all of it when shorter).
std::string CutText(std::string_view text, std::size_t maxChars);

// Column 1 of the registered list for a name the system gave.
std::string RegisteredNameText(std::string_view systemName);

// The text of a format that is neither standard nor named in the registered
// list: the name of the number's range and "(0x%04X)", e.g.
// "CF_PRIVATE (0x0205)", "CF_GDIOBJ (0x0305)", "Unknown (0xC0DE)".
std::string UnknownFormatText(std::uint32_t format);

// Column 1 of the available list. lookedUpName is what column 1 of the
// registered list holds for the number, or none when the number isn't there.
// Standard formats use their table text; a named format reads as its name
// directly followed by "(0x%04X)": "Sample(0xC1A0)".
std::string AvailableFormatText(std::uint32_t format, const std::optional<std::string_view>& lookedUpName);

// The status text handed to a DumpFrame for a format's list text.
std::string FrameStatusText(std::string_view listText);
