// Painting of the dump view on a real window: the GDI side of the paint and
// erase plans in dumpview/paint.h.
#pragma once

#include <windows.h>

#include "dumpview/canvas.h"
#include "dumpview/dumpviewstate.h"

// The dump view's canvas on a device context. It draws with the context as it
// finds it: default alignment (top-left) and the default opaque background
// mode, so every character box is filled with the background colour; the
// mix mode is R2_COPYPEN except within SetMixMode(Xor) .. SetMixMode(Copy).
//
// The layout needs half-width characters exactly cellWidth wide. When the
// font selected into the context has that advance (the cell font does), text
// goes out through TextOutA / TextOutW as it is. With any other font (the
// cell font missing and the system's substitute wider or narrower), each
// character is placed on the cell grid with explicit advances: one cell, or
// two for a character at least one and a half cells wide.
class GdiCanvas final : public DumpCanvas {
 public:
  // dc with the font that the text will use already selected.
  GdiCanvas(HDC dc, std::uint32_t cellWidth);

  void SetTextColor(ColorRef color) override;
  void SetBackColor(ColorRef color) override;
  void TextNarrow(std::int32_t x, std::int32_t y, const char* text, std::uint32_t count) override;
  void TextWide(std::int32_t x, std::int32_t y, const char16_t* text, std::uint32_t count) override;
  CanvasBrush* CreateBrush(ColorRef color) override;
  void ReleaseBrush(CanvasBrush* brush) override;
  void Fill(const CanvasRect& rect, CanvasBrush* brush) override;
  void SetMixMode(MixMode mode) override;
  char16_t ConvertCp932(const std::uint8_t* bytes, std::uint32_t count) override;

  // Whether text is placed with explicit advances.
  bool fitsToCells() const { return fitToCells_; }

 private:
  int CellsOf(char16_t unit) const;

  HDC dc_;
  int cellWidth_;
  bool fitToCells_;
  MixMode mode_ = MixMode::Copy;
};

// WM_PAINT: draws the header, the address column, the hex cells and the text
// column between BeginPaint and EndPaint.
void PaintDumpViewWindow(HWND window, const DumpViewState& state);

// WM_ERASEBKGND on dc: fills the margins, gaps and the area around the cells.
// Returns false when a brush can't be created; the caller then hands the
// message to DefWindowProcA, which erases with the class background.
bool EraseDumpViewWindow(HWND window, const DumpViewState& state, HDC dc);
