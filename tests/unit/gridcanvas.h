// A canvas for the unit tests that keeps what a screen would show after a
// sequence of drawing calls, so that a test can state what the user sees:
//
//  - a pixel model of the background: every pixel holds a colour; opaque text
//    fills its character boxes with the background colour, fills write their
//    brush colour (Copy) or XOR it into the pixels (Xor);
//  - the characters on each text line (keyed by the y of the text's top), one
//    cell per cellWidth pixels, each with the colour its glyph was drawn in;
//  - a log of every call in order, for tests of the order of outputs.
//
// Code page 932 conversions go through glibc's iconv ("CP932"), independent of
// the code under test; for a pair that it rejects the canvas answers
// kCp932Undefined, as the platform's conversion does.
//
// Character boxes are cellWidth wide and textHeight high. Code units of the
// full-width ranges take two cells (the second is marked kWideTail). Text
// and fills are clipped to the client; a fill or text box that covers part of
// a character cell of another line wipes that character, as on a screen.
#pragma once

#include <gtest/gtest.h>
#include <iconv.h>

#include <cstdint>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "dumpview/canvas.h"

struct CanvasBrush {
  ColorRef color;
  bool released;
};

class GridCanvas final : public DumpCanvas {
 public:
  // Colour of pixels that nothing has painted yet.
  static constexpr ColorRef kUnpainted = 0x00FF00FFu;
  // A cell covered by the right half of a full-width character.
  static constexpr char16_t kWideTail = 0xFFFF;

  struct Cell {
    bool drawn = false;
    char16_t unit = 0;
    ColorRef text = 0;
  };

  GridCanvas(std::int32_t width, std::int32_t height, std::int32_t cellWidth, std::int32_t textHeight)
      : width_(width),
        height_(height),
        cellWidth_(cellWidth),
        textHeight_(textHeight),
        columns_((width + cellWidth - 1) / cellWidth),
        pixels_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), kUnpainted) {}

  // --- DumpCanvas ---
  void SetTextColor(ColorRef color) override {
    text_ = color;
    Log("text " + Hex(color));
  }
  void SetBackColor(ColorRef color) override {
    back_ = color;
    Log("back " + Hex(color));
  }
  void TextNarrow(std::int32_t x, std::int32_t y, const char* text, std::uint32_t count) override {
    std::u16string units;
    for (std::uint32_t n = 0; n < count; ++n) units.push_back(static_cast<unsigned char>(text[n]));
    Log("A " + std::to_string(x) + "," + std::to_string(y) + " \"" + std::string(text, count) + "\"");
    Output(x, y, units);
  }
  void TextWide(std::int32_t x, std::int32_t y, const char16_t* text, std::uint32_t count) override {
    std::u16string units(text, count);
    Log("W " + std::to_string(x) + "," + std::to_string(y) + " \"" + Printable(units) + "\"");
    Output(x, y, units);
  }
  CanvasBrush* CreateBrush(ColorRef color) override {
    ++brushesCreated_;
    if (failBrushNumber != 0 && brushesCreated_ == failBrushNumber) {
      Log("brush " + Hex(color) + " failed");
      return nullptr;
    }
    brushes_.push_back(std::make_unique<CanvasBrush>(CanvasBrush{color, false}));
    Log("brush " + Hex(color));
    return brushes_.back().get();
  }
  void ReleaseBrush(CanvasBrush* brush) override {
    EXPECT_NE(brush, nullptr) << "released a null brush";
    if (brush == nullptr) return;
    EXPECT_FALSE(brush->released) << "brush released twice";
    brush->released = true;
    Log("release " + Hex(brush->color));
  }
  void Fill(const CanvasRect& rect, CanvasBrush* brush) override {
    EXPECT_NE(brush, nullptr) << "fill without a brush";
    if (brush == nullptr) return;
    EXPECT_FALSE(brush->released) << "fill with a released brush";
    Log("fill " + std::to_string(rect.left) + "," + std::to_string(rect.top) + "," +
        std::to_string(rect.right) + "," + std::to_string(rect.bottom) + " " + Hex(brush->color) +
        (mode_ == MixMode::Xor ? " xor" : ""));
    if (mode_ == MixMode::Xor) {
      ForPixels(rect, [&](ColorRef& p) { p ^= brush->color; });
      ForCells(rect, -1, [&](Cell& c) { c.text ^= brush->color; });
    } else {
      ForPixels(rect, [&](ColorRef& p) { p = brush->color; });
      ForCells(rect, -1, [](Cell& c) { c.drawn = false; });
    }
  }
  void SetMixMode(MixMode mode) override {
    mode_ = mode;
    Log(mode == MixMode::Xor ? "mix xor" : "mix copy");
  }
  char16_t ConvertCp932(const std::uint8_t* bytes, std::uint32_t count) override {
    EXPECT_TRUE(count == 1 || count == 2) << count;
    const std::string units = Iconv("UTF-16LE", "CP932", std::string(bytes, bytes + count));
    if (units.size() < 2) return kCp932Undefined;
    return static_cast<char16_t>(static_cast<unsigned char>(units[0]) | static_cast<unsigned char>(units[1])
                                                                            << 8);
  }

  // in converted by glibc's iconv, as far as it converts. Each pair of
  // encodings is opened once for the whole run, and never closed.
  static std::string Iconv(const char* to, const char* from, std::string in) {
    static auto* opened = new std::map<std::string, iconv_t>;
    iconv_t& cd = (*opened)[std::string(to) + "<" + from];
    if (cd == nullptr) cd = iconv_open(to, from);
    EXPECT_NE(cd, reinterpret_cast<iconv_t>(-1)) << from << " to " << to;
    if (cd == reinterpret_cast<iconv_t>(-1)) return {};
    std::string out(in.size() * 4 + 8, '\0');
    char* inPointer = in.data();
    char* outPointer = out.data();
    std::size_t inLeft = in.size(), outLeft = out.size();
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    iconv(cd, &inPointer, &inLeft, &outPointer, &outLeft);
    out.resize(out.size() - outLeft);
    return out;
  }

  // --- what the screen shows ---
  // The characters of the text line whose top is y, one per cell from x = 0:
  // '_' where nothing is drawn, '~' for the right half of a full-width
  // character and '?' for a code unit outside ASCII.
  std::string Text(std::int32_t y) const {
    std::string s(static_cast<std::size_t>(columns_), '_');
    auto line = lines_.find(y);
    if (line == lines_.end()) return s;
    for (std::int32_t c = 0; c < columns_; ++c) {
      const Cell& cell = line->second[static_cast<std::size_t>(c)];
      if (!cell.drawn) continue;
      s[static_cast<std::size_t>(c)] =
          cell.unit == kWideTail ? '~' : (cell.unit < 0x80 ? static_cast<char>(cell.unit) : '?');
    }
    return s;
  }

  // Text(y) from cell first, count cells long.
  std::string Text(std::int32_t y, std::int32_t first, std::int32_t count) const {
    return Text(y).substr(static_cast<std::size_t>(first), static_cast<std::size_t>(count));
  }

  // The cell at column c of line y.
  Cell CellAt(std::int32_t y, std::int32_t c) const {
    auto line = lines_.find(y);
    if (line == lines_.end() || c < 0 || c >= columns_) return Cell{};
    return line->second[static_cast<std::size_t>(c)];
  }

  // The colour pairs of line y as letters: for each cell, the letter of the
  // legend entry whose text and background colours the cell shows ('_' for
  // no character, '?' for a pair not in the legend). The background is the
  // pixel at the cell's top-left corner.
  struct Pair {
    char letter;
    ColorRef text;
    ColorRef back;
  };
  std::string Pairs(std::int32_t y, const std::vector<Pair>& legend) const {
    std::string s(static_cast<std::size_t>(columns_), '_');
    for (std::int32_t c = 0; c < columns_; ++c) {
      const Cell cell = CellAt(y, c);
      if (!cell.drawn) continue;
      const ColorRef back = PixelAt(c * cellWidth_, y);
      char letter = '?';
      for (const Pair& p : legend) {
        if (p.text == cell.text && p.back == back) letter = p.letter;
      }
      s[static_cast<std::size_t>(c)] = letter;
    }
    return s;
  }

  ColorRef PixelAt(std::int32_t x, std::int32_t y) const {
    EXPECT_TRUE(x >= 0 && x < width_ && y >= 0 && y < height_) << "pixel " << x << "," << y;
    if (x < 0 || x >= width_ || y < 0 || y >= height_) return kUnpainted;
    return pixels_[Index(x, y)];
  }

  // How many pixels of rect (clipped) do not hold color.
  std::int64_t PixelsOtherThan(const CanvasRect& rect, ColorRef color) const {
    std::int64_t n = 0;
    const CanvasRect r = Clip(rect);
    for (std::int32_t y = r.top; y < r.bottom; ++y)
      for (std::int32_t x = r.left; x < r.right; ++x) n += pixels_[Index(x, y)] != color;
    return n;
  }

  // Paints every pixel one colour, as a window shows before an erase.
  void Clear(ColorRef color) {
    for (ColorRef& p : pixels_) p = color;
    lines_.clear();
  }

  const std::vector<std::string>& log() const { return log_; }
  void ClearLog() { log_.clear(); }

  // Brushes made and not yet released.
  int LiveBrushes() const {
    int n = 0;
    for (const auto& b : brushes_) n += !b->released;
    return n;
  }
  MixMode mixMode() const { return mode_; }

  // Makes the n-th brush request (1-based) fail; 0 never.
  int failBrushNumber = 0;

  static std::string Hex(ColorRef color) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "#%06X", static_cast<unsigned>(color));
    return buffer;
  }

  // Whether the code unit takes two cells in the cell font.
  static bool IsFullWidth(char16_t u) {
    return (u >= 0x1100 && u <= 0x115F) || (u >= 0x2E80 && u <= 0xA4CF) || (u >= 0xAC00 && u <= 0xD7A3) ||
           (u >= 0xF900 && u <= 0xFAFF) || (u >= 0xFE30 && u <= 0xFE4F) || (u >= 0xFF00 && u <= 0xFF60) ||
           (u >= 0xFFE0 && u <= 0xFFE6);
  }

 private:
  std::size_t Index(std::int32_t x, std::int32_t y) const {
    return static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x);
  }

  CanvasRect Clip(const CanvasRect& r) const {
    CanvasRect c = r;
    if (c.left < 0) c.left = 0;
    if (c.top < 0) c.top = 0;
    if (c.right > width_) c.right = width_;
    if (c.bottom > height_) c.bottom = height_;
    if (c.right < c.left) c.right = c.left;
    if (c.bottom < c.top) c.bottom = c.top;
    return c;
  }

  template <typename F>
  void ForPixels(const CanvasRect& rect, F f) {
    const CanvasRect r = Clip(rect);
    for (std::int32_t y = r.top; y < r.bottom; ++y)
      for (std::int32_t x = r.left; x < r.right; ++x) f(pixels_[Index(x, y)]);
  }

  // Cells of every line except skipLine whose box meets rect.
  template <typename F>
  void ForCells(const CanvasRect& rect, std::int32_t skipLine, F f) {
    const CanvasRect r = Clip(rect);
    if (r.left >= r.right || r.top >= r.bottom) return;
    for (auto& [top, cells] : lines_) {
      if (top == skipLine && skipLine >= 0) continue;
      if (top + textHeight_ <= r.top || top >= r.bottom) continue;
      for (std::int32_t c = 0; c < columns_; ++c) {
        if ((c + 1) * cellWidth_ <= r.left || c * cellWidth_ >= r.right) continue;
        f(cells[static_cast<std::size_t>(c)]);
      }
    }
  }

  void Output(std::int32_t x, std::int32_t y, const std::u16string& units) {
    EXPECT_EQ(x % cellWidth_, 0) << "text off the cell grid at x " << x;
    std::int32_t cells = 0;
    for (char16_t u : units) cells += IsFullWidth(u) ? 2 : 1;
    const CanvasRect box{x, y, x + cells * cellWidth_, y + textHeight_};
    ForPixels(box, [&](ColorRef& p) { p = back_; });
    ForCells(box, y, [](Cell& c) { c.drawn = false; });
    auto& line = lines_[y];
    if (line.empty()) line.resize(static_cast<std::size_t>(columns_));
    std::int32_t c = x / cellWidth_;
    for (char16_t u : units) {
      Put(line, c++, u);
      if (IsFullWidth(u)) Put(line, c++, kWideTail);
    }
  }

  void Put(std::vector<Cell>& line, std::int32_t c, char16_t unit) {
    if (c < 0 || c >= columns_) return;
    line[static_cast<std::size_t>(c)] = Cell{true, unit, text_};
  }

  void Log(std::string entry) { log_.push_back(std::move(entry)); }

  static std::string Printable(const std::u16string& units) {
    std::string s;
    for (char16_t u : units) {
      if (u >= 0x20 && u < 0x7F) {
        s.push_back(static_cast<char>(u));
      } else {
        char buffer[16];
        std::snprintf(buffer, sizeof buffer, "\\u%04X", static_cast<unsigned>(u));
        s += buffer;
      }
    }
    return s;
  }

  std::int32_t width_;
  std::int32_t height_;
  std::int32_t cellWidth_;
  std::int32_t textHeight_;
  std::int32_t columns_;
  std::vector<ColorRef> pixels_;
  std::map<std::int32_t, std::vector<Cell>> lines_;
  std::vector<std::unique_ptr<CanvasBrush>> brushes_;
  std::vector<std::string> log_;
  ColorRef text_ = 0;
  ColorRef back_ = 0xFFFFFF;
  MixMode mode_ = MixMode::Copy;
  int brushesCreated_ = 0;
};
