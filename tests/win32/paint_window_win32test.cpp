// The dump view's painting on a real window, read back from the window's
// pixels: backgrounds of the header band, the cells, the selection, the gaps
// and the area below the data, and the glyphs in the cells in each encoding.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "dumpview/dumpview.h"
#include "dumpview/paint_win32.h"
#include "dumpview_host.h"
#include "testsupport.h"

namespace {

using dumpviewtest::ViewHost;

// Distinct colours, so that every background and glyph tells which pair drew it.
const COLORREF kText = RGB(0x10, 0x10, 0x90);
const COLORREF kBack = RGB(0xF0, 0xF0, 0xE0);
const COLORREF kHeaderText = RGB(0x60, 0x00, 0x00);
const COLORREF kHeaderBack = RGB(0xA0, 0xC0, 0xE0);
const COLORREF kSelText = RGB(0xFF, 0xFF, 0x00);
const COLORREF kSelBack = RGB(0x00, 0x60, 0x00);

// With a 16-pixel font: cells 8 x 16, rows 18 apart, the first row's text at
// y = 28, the header's at y = 4.
constexpr int kCell = 8;
constexpr int RowTop(int k) { return 28 + 18 * k; }
constexpr int ColumnLeft(int c) { return c * kCell; }

using Pixels = testsupport::WindowPixels;

std::string Hex(COLORREF c) {
  char buffer[16];
  wsprintfA(buffer, "#%06lX", static_cast<unsigned long>(c));
  return buffer;
}

class PaintWindow : public ::testing::Test {
 protected:
  PaintWindow() : host_(680, 300, 16) {
    const COLORREF colours[6] = {kText, kBack, kHeaderText, kHeaderBack, kSelText, kSelBack};
    for (WPARAM index = 0; index < 6; ++index) {
      host_.Send(DVM_SETCOLOR, index, static_cast<LPARAM>(colours[index]));
    }
    for (std::size_t n = 0; n < bytes_.size(); ++n) {
      bytes_[n] = static_cast<std::uint8_t>(n < 0x80 ? 0x41 + n % 26 : n);
    }
  }

  // Every pixel of a cell of the grid (column c, visible row k) that is
  // neither of the two colours given.
  static int Others(const Pixels& p, int c, int top, COLORREF a, COLORREF b) {
    int n = 0;
    for (int y = top; y < top + 16; ++y) {
      for (int x = ColumnLeft(c); x < ColumnLeft(c + 1); ++x) {
        const COLORREF pixel = p.At(x, y);
        n += pixel != a && pixel != b;
      }
    }
    return n;
  }

  ViewHost host_;
  std::vector<std::uint8_t> bytes_ = std::vector<std::uint8_t>(300);
};

TEST_F(PaintWindow, HeaderBandAndAddressColumnInTheHeaderColours) {
  host_.SetData(bytes_.data(), 300);
  Pixels p(host_.view());
  ASSERT_GE(p.width(), 640);
  // Above, below and left of the header text; right of the last column.
  EXPECT_EQ(p.Count(0, 0, p.width(), 4, kHeaderBack), p.Area(0, 0, p.width(), 4));
  EXPECT_EQ(p.Count(0, 20, p.width(), 24, kHeaderBack), p.Area(0, 20, p.width(), 24));
  EXPECT_EQ(p.Count(0, 4, ColumnLeft(13), 20, kHeaderBack), p.Area(0, 4, ColumnLeft(13), 20));
  EXPECT_EQ(p.Count(ColumnLeft(78), 4, p.width(), 20, kHeaderBack), p.Area(ColumnLeft(78), 4, p.width(), 20));
  // The header text: its blanks in the header background, its labels in the
  // header text colour over it.
  EXPECT_EQ(Others(p, 15, 4, kHeaderBack, kHeaderBack), 0);  // between "00" and "01"
  EXPECT_EQ(Others(p, 60, 4, kHeaderBack, kHeaderBack), 0);  // the blank before the text labels
  for (int c : {13, 14, 74}) {                               // "0", "0", "C"
    EXPECT_GT(p.Count(ColumnLeft(c), 4, ColumnLeft(c + 1), 20, kHeaderText), 3) << "column " << c;
  }
  // The address " 0x00000000 ": blanks and digits on the header background.
  EXPECT_EQ(Others(p, 0, RowTop(0), kHeaderBack, kHeaderBack), 0);
  EXPECT_GT(p.Count(ColumnLeft(3), RowTop(0), ColumnLeft(11), RowTop(0) + 16, kHeaderText), 20);
  EXPECT_EQ(p.Count(ColumnLeft(3), RowTop(0), ColumnLeft(11), RowTop(0) + 16, kBack), 0);
}

TEST_F(PaintWindow, CellsShowTheirGlyphsOnTheDataBackground) {
  host_.SetData(bytes_.data(), 300);
  Pixels p(host_.view());
  // "41" of byte 0: glyph pixels of the text colour on the data background;
  // the separator after it and the spacer at column 12 are blank.
  const int glyph = p.Count(ColumnLeft(13), RowTop(0), ColumnLeft(15), RowTop(0) + 16, kText);
  const int background = p.Count(ColumnLeft(13), RowTop(0), ColumnLeft(15), RowTop(0) + 16, kBack);
  EXPECT_GT(glyph, 10);
  EXPECT_GT(background, glyph);
  EXPECT_EQ(Others(p, 12, RowTop(0), kBack, kBack), 0);
  EXPECT_EQ(Others(p, 15, RowTop(0), kBack, kBack), 0);
  // "A" in the text cell of byte 0, and the blank columns 60, 61 and 78.
  EXPECT_GT(p.Count(ColumnLeft(62), RowTop(0), ColumnLeft(63), RowTop(0) + 16, kText), 5);
  for (int c : {60, 61, 78}) EXPECT_EQ(Others(p, c, RowTop(0), kBack, kBack), 0) << "column " << c;
  // Row 18 holds bytes 288..299: its last four positions are blank cells.
  Pixels scrolled = [&] {
    host_.Send(WM_VSCROLL, SB_BOTTOM, 0);
    return Pixels(host_.view());
  }();
  const int last = 18 - static_cast<int>(host_.state().vScroll.nPos);
  ASSERT_GE(last, 0);
  EXPECT_GT(scrolled.Count(ColumnLeft(13 + 3 * 11), RowTop(last), ColumnLeft(15 + 3 * 11), RowTop(last) + 16,
                           kText),
            10);
  for (int c = 13 + 3 * 12; c < 60; ++c) EXPECT_EQ(Others(scrolled, c, RowTop(last), kBack, kBack), 0) << c;
}

TEST_F(PaintWindow, SelectedBytesAndTheirSeparators) {
  host_.SetData(bytes_.data(), 300);
  host_.Send(DVM_SETSEL, 6, 3);  // bytes 3..5
  Pixels p(host_.view());
  for (int b = 3; b <= 5; ++b) {
    const int c = 13 + 3 * b;
    EXPECT_EQ(Others(p, c, RowTop(0), kSelBack, kSelText), 0) << "hex cell of byte " << b;
    EXPECT_GT(p.Count(ColumnLeft(c), RowTop(0), ColumnLeft(c + 2), RowTop(0) + 16, kSelText), 10);
    EXPECT_EQ(Others(p, 62 + b, RowTop(0), kSelBack, kSelText), 0) << "text cell of byte " << b;
  }
  EXPECT_EQ(Others(p, 15 + 3 * 3, RowTop(0), kSelBack, kSelBack), 0);  // after byte 3
  EXPECT_EQ(Others(p, 15 + 3 * 4, RowTop(0), kSelBack, kSelBack), 0);  // after byte 4
  EXPECT_EQ(Others(p, 15 + 3 * 5, RowTop(0), kBack, kBack), 0);        // after byte 5
  EXPECT_EQ(Others(p, 15 + 3 * 2, RowTop(0), kBack, kBack), 0);        // before byte 3
  EXPECT_EQ(p.Count(ColumnLeft(13), RowTop(0), ColumnLeft(13 + 3 * 3) - kCell, RowTop(0) + 16, kSelBack), 0);
  EXPECT_EQ(p.Count(0, RowTop(1), p.width(), RowTop(1) + 16, kSelBack), 0);
}

TEST_F(PaintWindow, GapsSplitAtColumnTwelve) {
  host_.SetData(bytes_.data(), 300);
  Pixels p(host_.view());
  // The strips above row 0 and between rows 0 and 1.
  for (int y : {24, 25, 26, 27, RowTop(0) + 16, RowTop(0) + 17}) {
    EXPECT_EQ(p.Count(0, y, ColumnLeft(12), y + 1, kHeaderBack), ColumnLeft(12)) << "y " << y;
    EXPECT_EQ(p.Count(ColumnLeft(12), y, p.width(), y + 1, kBack), p.width() - ColumnLeft(12)) << "y " << y;
  }
  // Narrower, and scrolled one column to the right: the split moves to x = 88.
  host_.ResizeView(500, 300);
  host_.Send(WM_HSCROLL, SB_LINERIGHT, 0);
  ASSERT_EQ(host_.state().hScroll.nPos, 1);
  Pixels q(host_.view());
  EXPECT_EQ(q.At(87, 45), kHeaderBack);
  EXPECT_EQ(q.At(88, 45), kBack);
}

TEST_F(PaintWindow, AreaBelowTheDataAfterTheErase) {
  host_.SetData(bytes_.data(), 40);  // three rows: the text of the last ends at y = 80
  Pixels p(host_.view());
  const int bottom = p.height();
  EXPECT_EQ(p.Count(0, 80, ColumnLeft(12), bottom, kHeaderBack), p.Area(0, 80, ColumnLeft(12), bottom));
  EXPECT_EQ(p.Count(ColumnLeft(12), 80, p.width(), bottom, kBack),
            p.Area(ColumnLeft(12), 80, p.width(), bottom));
  // Row 2 holds bytes 32..39; the rest of it is blank cells.
  EXPECT_GT(p.Count(ColumnLeft(13), RowTop(2), ColumnLeft(15), RowTop(2) + 16, kText), 10);
  EXPECT_EQ(p.Count(ColumnLeft(13 + 3 * 8), RowTop(2), ColumnLeft(60), RowTop(2) + 16, kBack),
            p.Area(ColumnLeft(13 + 3 * 8), RowTop(2), ColumnLeft(60), RowTop(2) + 16));
  // Row 3 lies past the data: blank address, blank cells.
  EXPECT_EQ(Others(p, 5, RowTop(3), kHeaderBack, kHeaderBack), 0);
  EXPECT_EQ(Others(p, 20, RowTop(3), kBack, kBack), 0);
}

TEST_F(PaintWindow, ColourChangeRepaintsEverything) {
  host_.SetData(bytes_.data(), 300);
  const COLORREF green = RGB(0x30, 0xA0, 0x30);
  host_.Send(DVM_SETCOLOR, DVC_BACK, static_cast<LPARAM>(green));
  testsupport::PumpMessages(20);
  Pixels p(host_.view());
  EXPECT_EQ(p.Count(0, 0, p.width(), p.height(), kBack), 0) << Hex(p.At(300, 100));
  EXPECT_EQ(Others(p, 15, RowTop(4), green, green), 0);
}

// The cell font of the view has exactly the cell's advance, so its text goes
// out through TextOutA / TextOutW unchanged.
TEST_F(PaintWindow, CellFontKeepsThePlainTextOutputs) {
  HDC dc = ::GetDC(host_.view());
  HGDIOBJ previous = ::SelectObject(dc, static_cast<HFONT>(host_.state().font));
  GdiCanvas canvas(dc, 8);
  EXPECT_FALSE(canvas.fitsToCells());
  ::SelectObject(dc, previous);
  ::ReleaseDC(host_.view(), dc);
}

// With a font whose characters are 10 pixels wide instead of the cell's 8, the
// characters still stand in their cells: the header's last label over column
// 77 and nothing of the header right of column 78.
TEST_F(PaintWindow, WiderSubstituteFontStaysOnTheCellGrid) {
  HFONT wide = ::CreateFontA(-16, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, PROOF_QUALITY, FIXED_PITCH | FF_MODERN, "Liberation Mono");
  ASSERT_NE(wide, nullptr);
  {
    HDC dc = ::GetDC(host_.view());
    HGDIOBJ previous = ::SelectObject(dc, wide);
    INT advance = 0;
    ::GetCharWidth32W(dc, L'0', L'0', &advance);
    GdiCanvas canvas(dc, 8);
    EXPECT_TRUE(canvas.fitsToCells());
    ::SelectObject(dc, previous);
    ::ReleaseDC(host_.view(), dc);
    ASSERT_NE(advance, 8) << "the substitute font must not fit the cells by itself";
  }
  void* own = host_.state().font;
  host_.state().font = wide;
  host_.SetData(bytes_.data(), 300);
  Pixels p(host_.view());
  host_.state().font = own;
  ::DeleteObject(wide);

  EXPECT_GT(p.Count(ColumnLeft(77), 4, ColumnLeft(78), 20, kHeaderText), 3);  // "F"
  EXPECT_GT(p.Count(ColumnLeft(62), 4, ColumnLeft(63), 20, kHeaderText), 3);  // "0"
  EXPECT_EQ(p.Count(ColumnLeft(79), 0, p.width(), 24, kHeaderText), 0);
  // The text cell of byte 15 ('P') in its cell, the last cell of row 0 blank.
  EXPECT_GT(p.Count(ColumnLeft(77), RowTop(0), ColumnLeft(78) + 2, RowTop(0) + 16, kText), 3);
  EXPECT_EQ(p.Count(ColumnLeft(79), RowTop(0), p.width(), RowTop(0) + 16, kText), 0);
}

// The same character in Shift_JIS, EUC-JP, UTF-16LE and UTF-8, beyond the
// first mebibyte of the data and scrolled into view by the caret: its two
// cells are the same pixels in all four encodings.
TEST_F(PaintWindow, SameCharacterInFourEncodingsDrawsIdenticalCells) {
  struct Encoding {
    UINT codePage;
    std::string blank, character;  // U+0020 and U+3042 in the encoding
  };
  const Encoding encodings[] = {{932, " ", "\x82\xA0"},
                                {51932, " ", "\xA4\xA2"},
                                {1200, std::string(" \0", 2), "\x42\x30"},
                                {65001, " ", "\xE3\x81\x82"}};
  const std::uint32_t at = (1u << 20) + 16 * 5 + 4;  // column 4 of row 65541
  std::vector<std::vector<COLORREF>> cells;
  for (const Encoding& e : encodings) {
    std::vector<std::uint8_t> bytes(at + 64);
    for (std::size_t n = 0; n < bytes.size(); ++n)
      bytes[n] = static_cast<std::uint8_t>(e.blank[n % e.blank.size()]);
    std::copy(e.character.begin(), e.character.end(), bytes.begin() + at);
    host_.SetData(bytes.data(), static_cast<std::uint32_t>(bytes.size()));
    host_.Send(DVM_SETCODEPAGE, e.codePage);
    host_.Send(DVM_SETCARET, at);
    const int k = static_cast<int>(at / 16) - host_.state().vScroll.nPos;
    ASSERT_TRUE(k >= 0 && k < static_cast<int>(host_.state().vScroll.nPage))
        << "row not in view, code page " << e.codePage;
    Pixels p(host_.view());
    std::vector<COLORREF> pixels;
    for (int y = RowTop(k); y < RowTop(k) + 16; ++y)
      for (int x = ColumnLeft(66); x < ColumnLeft(68); ++x) pixels.push_back(p.At(x, y));
    cells.push_back(pixels);
    EXPECT_GT(std::count(pixels.begin(), pixels.end(), kText), 30) << "no glyph, code page " << e.codePage;
  }
  host_.SetData(nullptr, 0);
  for (std::size_t n = 1; n < cells.size(); ++n) EXPECT_EQ(cells[n], cells[0]) << encodings[n].codePage;
}

// あ in bytes 4 and 5 with a selection edge between them: the cell of the
// selected byte in the selection background, the other in the data
// background, the glyph running across both.
TEST_F(PaintWindow, TwoCellCharacterAcrossASelectionEdge) {
  const COLORREF flippedGlyph = kSelText ^ kSelBack ^ kBack;
  const std::pair<UINT, std::string> encodings[] = {{932, std::string("AAAA\x82\xA0"
                                                                      "AAAA")},
                                                    {51932,
                                                     "AAAA\xA4\xA2"
                                                     "AAAA"},
                                                    {1200, std::string("A\0A\0\x42\x30"
                                                                       "A\0",
                                                                       8)}};
  for (const auto& [codePage, text] : encodings) {
    host_.SetData(text.data(), static_cast<std::uint32_t>(text.size()));
    host_.Send(DVM_SETCODEPAGE, codePage);
    for (const bool startsAtSecond : {true, false}) {
      SCOPED_TRACE(testing::Message()
                   << codePage << (startsAtSecond ? " from the second byte" : " to the first byte"));
      if (startsAtSecond) {
        host_.Send(DVM_SETSEL, 7, 5);
      } else {
        host_.Send(DVM_SETSEL, 5, 2);
      }
      Pixels p(host_.view());
      const int selected = startsAtSecond ? 67 : 66, other = startsAtSecond ? 66 : 67;
      EXPECT_EQ(Others(p, selected, RowTop(0), kSelBack, kSelText), 0);
      EXPECT_EQ(Others(p, other, RowTop(0), kBack, flippedGlyph), 0);
      EXPECT_GT(p.Count(ColumnLeft(selected), RowTop(0), ColumnLeft(selected + 1), RowTop(0) + 16, kSelText),
                8);
      EXPECT_GT(p.Count(ColumnLeft(other), RowTop(0), ColumnLeft(other + 1), RowTop(0) + 16, flippedGlyph),
                8);
    }
  }
}

}  // namespace
