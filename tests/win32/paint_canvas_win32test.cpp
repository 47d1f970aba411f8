// The GDI canvas of the dump view on a bitmap: the cell flip's XOR fills
// combine with the pixels, opaque text fills its boxes, and the erase's fills
// copy.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>

#include "dumpview/paint_win32.h"
#include "dumpview/textcell.h"

namespace {

// A 32-bit top-down bitmap selected into a memory DC.
class Bitmap {
 public:
  Bitmap(int width, int height) : width_(width) {
    dc_ = ::CreateCompatibleDC(nullptr);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    bitmap_ = ::CreateDIBSection(dc_, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
    previous_ = ::SelectObject(dc_, bitmap_);
  }
  ~Bitmap() {
    ::SelectObject(dc_, previous_);
    ::DeleteObject(bitmap_);
    ::DeleteDC(dc_);
  }
  HDC dc() const { return dc_; }
  COLORREF At(int x, int y) const {
    ::GdiFlush();
    const std::uint32_t bgr = bits_[y * width_ + x];
    return RGB((bgr >> 16) & 0xFF, (bgr >> 8) & 0xFF, bgr & 0xFF);
  }
  void Set(int x, int y, COLORREF c) {
    ::GdiFlush();
    bits_[y * width_ + x] = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
  }

 private:
  int width_;
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ previous_;
  std::uint32_t* bits_ = nullptr;
};

DumpViewState FlipState() {
  DumpViewState s{};
  s.fontHeight = 16;
  s.hScroll.nPos = 62;  // text column 62 at x = 0
  s.backColor = RGB(0xF0, 0xF0, 0xE0);
  s.selBackColor = RGB(0x00, 0x60, 0x00);
  s.textColor = RGB(0x10, 0x10, 0x90);
  s.selTextColor = RGB(0xFF, 0xFF, 0x00);
  return s;
}

TEST(PaintCanvas, CellFlipXorsThePixelsOfOneCell) {
  Bitmap bitmap(48, 40);
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 48; ++x) bitmap.Set(x, y, RGB(x * 5, y * 6, (x * y) & 0xFF));
  COLORREF before[40][48];
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 48; ++x) before[y][x] = bitmap.At(x, y);

  const DumpViewState state = FlipState();
  GdiCanvas canvas(bitmap.dc(), 8);
  TextCellPaint paint{canvas, state, GeometryOf(state), SelectionSpanOf(state), {0, 0}};
  FlipTextCell(paint, 2, 10);  // x 16..24, y 10..26

  for (int y = 0; y < 40; ++y) {
    for (int x = 0; x < 48; ++x) {
      const bool inside = x >= 16 && x < 24 && y >= 10 && y < 26;
      const COLORREF expected = inside ? (before[y][x] ^ state.selBackColor ^ state.backColor) : before[y][x];
      ASSERT_EQ(bitmap.At(x, y), expected) << x << "," << y;
    }
  }
  EXPECT_EQ(::GetROP2(bitmap.dc()), R2_COPYPEN);
}

TEST(PaintCanvas, FlippedSelectionCellShowsTheDataBackground) {
  Bitmap bitmap(48, 40);
  const DumpViewState state = FlipState();
  GdiCanvas canvas(bitmap.dc(), 8);
  ::SelectObject(bitmap.dc(), ::GetStockObject(ANSI_FIXED_FONT));
  TextCellPaint paint{canvas, state, GeometryOf(state), SelectionSpanOf(state), {0, 0}};
  // The cells' full height in the selection background, as a 16-pixel font
  // would leave it.
  CanvasBrush* brush = canvas.CreateBrush(state.selBackColor);
  canvas.Fill({0, 10, 16, 26}, brush);
  canvas.ReleaseBrush(brush);
  SwitchToSelectionPair(paint);
  const char16_t wide[] = u"  ";
  DrawTextUnits(paint, 0, 10, wide, 2);  // opaque: the boxes take the selection background
  EXPECT_EQ(bitmap.At(1, 11), state.selBackColor);
  EXPECT_EQ(bitmap.At(9, 11), state.selBackColor);
  FlipTextCell(paint, 1, 10);
  EXPECT_EQ(bitmap.At(1, 11), state.selBackColor);
  EXPECT_EQ(bitmap.At(9, 11), state.backColor);
  EXPECT_EQ(bitmap.At(15, 25), state.backColor);
}

TEST(PaintCanvas, CopyFillsReplaceThePixels) {
  Bitmap bitmap(16, 16);
  GdiCanvas canvas(bitmap.dc(), 8);
  CanvasBrush* brush = canvas.CreateBrush(RGB(1, 2, 3));
  ASSERT_NE(brush, nullptr);
  canvas.Fill({2, 2, 6, 6}, brush);
  canvas.Fill({10, 10, 8, 12}, brush);  // right before left: nothing
  canvas.ReleaseBrush(brush);
  EXPECT_EQ(bitmap.At(2, 2), RGB(1, 2, 3));
  EXPECT_EQ(bitmap.At(5, 5), RGB(1, 2, 3));
  EXPECT_NE(bitmap.At(6, 6), RGB(1, 2, 3));
  EXPECT_NE(bitmap.At(9, 10), RGB(1, 2, 3));
}

}  // namespace
