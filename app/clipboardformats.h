// Clipboard format numbers that have a meaning of their own, in one place:
// the standard and display formats by the names of their constants, the
// ranges the system sets apart, and the registered range.
#pragma once

#include <cstdint>

// Standard formats.
inline constexpr std::uint32_t kFormatText = 1;
inline constexpr std::uint32_t kFormatBitmap = 2;
inline constexpr std::uint32_t kFormatMetafilePict = 3;
inline constexpr std::uint32_t kFormatSylk = 4;
inline constexpr std::uint32_t kFormatDif = 5;
inline constexpr std::uint32_t kFormatTiff = 6;
inline constexpr std::uint32_t kFormatOemText = 7;
inline constexpr std::uint32_t kFormatDib = 8;
inline constexpr std::uint32_t kFormatPalette = 9;
inline constexpr std::uint32_t kFormatPenData = 10;
inline constexpr std::uint32_t kFormatRiff = 11;
inline constexpr std::uint32_t kFormatWave = 12;
inline constexpr std::uint32_t kFormatUnicodeText = 13;
inline constexpr std::uint32_t kFormatEnhMetafile = 14;
inline constexpr std::uint32_t kFormatHDrop = 15;
inline constexpr std::uint32_t kFormatLocale = 16;
inline constexpr std::uint32_t kFormatDibV5 = 17;

// Display formats: the owner's data shown as another format's.
inline constexpr std::uint32_t kFormatOwnerDisplay = 0x80;
inline constexpr std::uint32_t kFormatDspText = 0x81;
inline constexpr std::uint32_t kFormatDspBitmap = 0x82;
inline constexpr std::uint32_t kFormatDspMetafilePict = 0x83;
inline constexpr std::uint32_t kFormatDspEnhMetafile = 0x8E;

// Formats private to one program, and GDI objects that the clipboard
// deletes itself.
inline constexpr std::uint32_t kFormatPrivateFirst = 0x200;
inline constexpr std::uint32_t kFormatPrivateLast = 0x2FF;
inline constexpr std::uint32_t kFormatGdiObjectFirst = 0x300;
inline constexpr std::uint32_t kFormatGdiObjectLast = 0x3FF;

// Registered formats (names given by programs at run time) take the numbers
// 0xC000 to 0xFFFF; their numbers differ from one session to the next.
inline constexpr std::uint32_t kFirstRegisteredFormat = 0xC000;
inline constexpr std::uint32_t kLastRegisteredFormat = 0xFFFF;

constexpr bool IsRegisteredFormat(std::uint32_t format) {
  return format >= kFirstRegisteredFormat && format <= kLastRegisteredFormat;
}
