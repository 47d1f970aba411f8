#include "browser/formatnames.h"

#include <cstdio>

#include "app/clipboardformats.h"

namespace {

struct StandardName {
  std::uint32_t format;
  const char* text;
};

// Formats 1-17 carry their number in decimal; the display formats in the
// "0x%04X" form, as the system's headers write them.
constexpr StandardName kStandardNames[] = {
    {kFormatText, "CF_TEXT (1)"},
    {kFormatBitmap, "CF_BITMAP (2)"},
    {kFormatMetafilePict, "CF_METAFILEPICT (3)"},
    {kFormatSylk, "CF_SYLK (4)"},
    {kFormatDif, "CF_DIF (5)"},
    {kFormatTiff, "CF_TIFF (6)"},
    {kFormatOemText, "CF_OEMTEXT (7)"},
    {kFormatDib, "CF_DIB (8)"},
    {kFormatPalette, "CF_PALETTE (9)"},
    {kFormatPenData, "CF_PENDATA (10)"},
    {kFormatRiff, "CF_RIFF (11)"},
    {kFormatWave, "CF_WAVE (12)"},
    {kFormatUnicodeText, "CF_UNICODETEXT (13)"},
    {kFormatEnhMetafile, "CF_ENHMETAFILE (14)"},
    {kFormatHDrop, "CF_HDROP (15)"},
    {kFormatLocale, "CF_LOCALE (16)"},
    {kFormatDibV5, "CF_DIBV5 (17)"},
    {kFormatOwnerDisplay, "CF_OWNERDISPLAY (0x0080)"},
    {kFormatDspText, "CF_DSPTEXT (0x0081)"},
    {kFormatDspBitmap, "CF_DSPBITMAP (0x0082)"},
    {kFormatDspMetafilePict, "CF_DSPMETAFILEPICT (0x0083)"},
    {kFormatDspEnhMetafile, "CF_DSPENHMETAFILE (0x008E)"},
};

// "(0x%04X)" of a number: the suffix every non-standard text ends in.
std::string NumberSuffix(std::uint32_t format) {
  char text[20];  // room for the longest, "(0xFFFFFFFF)": the count answered is of no use
  (void)std::snprintf(text, sizeof(text), "(0x%04X)", static_cast<unsigned>(format));
  return text;
}

}  // namespace

const char* StandardFormatName(std::uint32_t format) {
  for (const StandardName& entry : kStandardNames) {
    if (entry.format == format) return entry.text;
  }
  return nullptr;
}

std::string FormatNumberText(std::uint32_t format) {
  char text[16];
  (void)std::snprintf(text, sizeof(text), "0x%04X", static_cast<unsigned>(format));
  return text;
}

std::string PriorityText(std::uint32_t position) {
  char text[16];
  // Signed like the "%d" of the list: positions never come near 2^31.
  (void)std::snprintf(text, sizeof(text), "%d", static_cast<int>(position));
  return text;
}

std::string CutText(std::string_view text, std::size_t maxChars) {
  return std::string(text.substr(0, maxChars));
}

std::string RegisteredNameText(std::string_view systemName) {
  return CutText(systemName, kRegisteredNameMaxChars);
}

std::string UnknownFormatText(std::uint32_t format) {
  // The system reserves 0x0200-0x02FF for formats private to one program
  // and 0x0300-0x03FF for GDI objects that the clipboard deletes itself;
  // naming the range says at least what kind of data it is.
  const char* range = "Unknown";
  if (format >= kFormatPrivateFirst && format <= kFormatPrivateLast) {
    range = "CF_PRIVATE";
  } else if (format >= kFormatGdiObjectFirst && format <= kFormatGdiObjectLast) {
    range = "CF_GDIOBJ";
  }
  return std::string(range) + " " + NumberSuffix(format);
}

std::string AvailableFormatText(std::uint32_t format, const std::optional<std::string_view>& lookedUpName) {
  if (const char* standard = StandardFormatName(format)) return standard;
  // An empty name can't come from the registered scan (it skips nameless
  // numbers); treat it like a failed look-up rather than show a bare suffix.
  if (lookedUpName.has_value() && !lookedUpName->empty()) {
    return CutText(*lookedUpName, kLookedUpNameMaxChars) + NumberSuffix(format);
  }
  return UnknownFormatText(format);
}

std::string FrameStatusText(std::string_view listText) { return CutText(listText, kFrameTextMaxChars); }
