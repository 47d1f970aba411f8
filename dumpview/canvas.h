// The drawing surface that the dump view's painting talks to. The paint and
// erase routines decide what is drawn and in which order; a canvas only
// carries each call out. The Win32 shell implements it on a device context,
// the unit tests with a recorder that models the screen.
//
// Every drawing primitive here is one platform call, so the order in which
// the painting code calls them is the order in which the screen changes:
// later outputs overwrite earlier ones where they overlap. The one primitive
// that draws nothing, ConvertCp932, is the platform's code page 932
// conversion, which the Shift_JIS and EUC-JP text decoders need.
#pragma once

#include <cstdint>

#include "dumpview/dumpviewstate.h"

// A rectangle in client pixels; left and top included, right and bottom
// excluded. A rectangle whose right is not beyond its left (or bottom beyond
// its top) covers nothing.
struct CanvasRect {
  std::int32_t left;
  std::int32_t top;
  std::int32_t right;
  std::int32_t bottom;
};

// How a fill combines with the pixels already there.
enum class MixMode : std::uint8_t {
  Copy,  // the fill replaces the pixels
  Xor,   // every pixel becomes pixel XOR brush colour
};

// A solid brush made by a canvas; opaque to the painting code.
struct CanvasBrush;

// The code unit that code page 932 gives for a byte pair it does not define
// (the katakana middle dot), also answered when no conversion is possible.
inline constexpr char16_t kCp932Undefined = 0x30FB;

class DumpCanvas {
 public:
  // The colour pair used by the text outputs that follow.
  virtual void SetTextColor(ColorRef color) = 0;
  virtual void SetBackColor(ColorRef color) = 0;

  // Opaque text output placed by the top-left corner of its first character
  // box: each character box is filled with the background colour, then the
  // glyph is drawn in the text colour. Narrow text is single-byte characters,
  // wide text UTF-16 code units; count is given explicitly (no terminator).
  virtual void TextNarrow(std::int32_t x, std::int32_t y, const char* text, std::uint32_t count) = 0;
  virtual void TextWide(std::int32_t x, std::int32_t y, const char16_t* text, std::uint32_t count) = 0;

  // A solid brush of one colour, or null when none can be made. Every brush
  // made must be handed back to ReleaseBrush.
  virtual CanvasBrush* CreateBrush(ColorRef color) = 0;
  virtual void ReleaseBrush(CanvasBrush* brush) = 0;

  // Fills rect with brush, combined with the existing pixels by the mix mode
  // in force (Copy unless SetMixMode said otherwise).
  virtual void Fill(const CanvasRect& rect, CanvasBrush* brush) = 0;
  virtual void SetMixMode(MixMode mode) = 0;

  // The first UTF-16 code unit of count (1 or 2) bytes of code page 932
  // (Shift_JIS with the platform's extensions), converted as the platform
  // does, composing characters; kCp932Undefined when nothing converts.
  virtual char16_t ConvertCp932(const std::uint8_t* bytes, std::uint32_t count) = 0;

 protected:
  ~DumpCanvas() = default;
};
