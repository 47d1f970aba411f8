// A canvas for fuzzing the dump view's painting: it draws nothing, but checks
// every call against what the painting code promises and counts the calls.
//
//  - Text lands on the cell grid: x is the left edge of one of the 79 grid
//    columns and y the top of the header line or of a row the paint may draw.
//  - Every character handed over is read, so that a count longer than the
//    text's buffer faults under AddressSanitizer.
//  - Brushes are released exactly once and never used afterwards; XOR fills
//    (the cell flip) cover one text cell; the mix mode ends as Copy.
//  - The number of calls stays within a fixed budget per drawable row.
//
// When the canvas interface gains a method, add its override here with the
// same checks (CheckTextPlace and Touch for text of any kind).
#pragma once

#include <cstdint>
#include <limits>
#include <memory>
#include <vector>

#include "dumpview/canvas.h"
#include "dumpview/paint.h"
#include "fuzztarget.h"

namespace fuzz {

// The canvas's own brushes, handed out as the opaque CanvasBrush (the unit
// tests' canvas defines that type; this one keeps its own).
struct Brush {
  ColorRef color;
  bool released;
};

class CheckingCanvas final : public DumpCanvas {
 public:
  // Calls allowed for one row: the address, the spacers and sixteen bytes, each
  // with its colours, hex cell, text cell (a cell flip included) and separator.
  static constexpr std::uint64_t kCallsPerRow = 16 * 24 + 16;
  static constexpr std::uint64_t kCallsPerPaint = 64;

  CheckingCanvas(const DumpViewState& state, ClientSize client, std::uint32_t failBrushNumber)
      : state_(state), failBrushNumber_(failBrushNumber) {
    const std::int64_t m = state.fontHeight;
    cellWidth_ = m / 2;
    rowGap_ = m / 8;
    rowPitch_ = m + rowGap_;
    headerBand_ = 3 * m / 2;
    textInset_ = 2 * rowGap_;
    // The rows whose text can start inside the client, and never more than
    // the page (plus the partly visible one).
    std::int64_t fitting = 0;
    if (client.height >= headerBand_) fitting = (client.height - headerBand_) / rowPitch_;
    const std::int64_t page = PageRows(state);
    maxRows_ = static_cast<std::uint64_t>(page < fitting ? page : fitting) + 1;
  }

  std::uint64_t calls() const { return calls_; }
  std::uint64_t maxRows() const { return maxRows_; }
  std::uint64_t callBudget() const { return kCallsPerPaint + kCallsPerRow * maxRows_; }
  void CheckFinished() const {
    FUZZ_CHECK(mode_ == MixMode::Copy);
    FUZZ_CHECK(calls_ <= callBudget());
    for (const auto& brush : brushes_) FUZZ_CHECK(brush->released);
  }

  // --- DumpCanvas ---
  void SetTextColor(ColorRef) override { Count(); }
  void SetBackColor(ColorRef) override { Count(); }

  void TextNarrow(std::int32_t x, std::int32_t y, const char* text, std::uint32_t count) override {
    Count();
    CheckTextPlace(x, y, count);
    Touch(text, count);
  }
  void TextWide(std::int32_t x, std::int32_t y, const char16_t* text, std::uint32_t count) override {
    Count();
    CheckTextPlace(x, y, count);
    Touch(text, count);
  }

  CanvasBrush* CreateBrush(ColorRef color) override {
    Count();
    if (++brushesMade_ == failBrushNumber_) return nullptr;
    brushes_.push_back(std::make_unique<Brush>(Brush{color, false}));
    return reinterpret_cast<CanvasBrush*>(brushes_.back().get());
  }
  void ReleaseBrush(CanvasBrush* brush) override {
    Count();
    CheckLive(brush);
    reinterpret_cast<Brush*>(brush)->released = true;
  }
  void Fill(const CanvasRect& rect, CanvasBrush* brush) override {
    Count();
    CheckLive(brush);
    if (mode_ == MixMode::Xor) CheckOneTextCell(rect);
  }
  void SetMixMode(MixMode mode) override {
    Count();
    mode_ = mode;
  }
  // One character of code page 932: a lone byte or a lead and its trail,
  // both read so that a pair reaching past the data faults.
  char16_t ConvertCp932(const std::uint8_t* bytes, std::uint32_t count) override {
    Count();
    FUZZ_CHECK(count == 1 || count == 2);
    Touch(bytes, count);
    return count == 1 ? static_cast<char16_t>(0xFF00u | bytes[0]) : static_cast<char16_t>((bytes[0] << 8) | bytes[1]);
  }

 private:
  static constexpr std::int64_t kLow = std::numeric_limits<std::int32_t>::min();
  static constexpr std::int64_t kHigh = std::numeric_limits<std::int32_t>::max();

  static std::int64_t Saturate(std::int64_t v) { return v < kLow ? kLow : (v > kHigh ? kHigh : v); }

  void Count() {
    ++calls_;
    // Checked on the way, so that a paint that runs away stops at once
    // instead of timing out.
    FUZZ_CHECK(calls_ <= callBudget());
  }

  // x of grid column c, exactly as the layout defines it.
  std::int64_t ColumnX(std::int64_t column) const {
    return Saturate((column - static_cast<std::int64_t>(LeftColumn(state_))) * cellWidth_);
  }

  bool OnColumn(std::int32_t x, std::int64_t lastColumn) const {
    const std::int64_t left = LeftColumn(state_);
    if (x == kLow || x == kHigh) {
      return ColumnX(0) == x || ColumnX(lastColumn) == x;  // saturated: off the screen anyway
    }
    if (x % cellWidth_ != 0) return false;
    const std::int64_t column = x / cellWidth_ + left;
    return column >= 0 && column <= lastColumn && ColumnX(column) == x;
  }

  bool OnRow(std::int32_t y) const {
    if (y == textInset_) return true;  // the header line
    const std::int64_t offset = static_cast<std::int64_t>(y) - headerBand_ - textInset_;
    if (offset < 0 || offset % rowPitch_ != 0) return false;
    return static_cast<std::uint64_t>(offset / rowPitch_) < maxRows_;
  }

  void CheckTextPlace(std::int32_t x, std::int32_t y, std::uint32_t count) {
    FUZZ_CHECK(count >= 1 && count <= kGridColumns);
    FUZZ_CHECK(OnColumn(x, kLastGridColumn));
    FUZZ_CHECK(OnRow(y));
  }

  void CheckOneTextCell(const CanvasRect& rect) const {
    FUZZ_CHECK(OnColumn(rect.left, kLastGridColumn));
    // A cell scrolled far off the screen has its left edge saturated; at the
    // high end its right edge then saturates too and the fill covers nothing.
    const std::int64_t width = rect.right - static_cast<std::int64_t>(rect.left);
    FUZZ_CHECK(width == cellWidth_ || (rect.left == kHigh && width == 0));
    FUZZ_CHECK(OnRow(rect.top) && rect.top != textInset_);
    FUZZ_CHECK(rect.bottom - static_cast<std::int64_t>(rect.top) == state_.fontHeight);
  }

  void CheckLive(const CanvasBrush* brush) const {
    FUZZ_CHECK(brush != nullptr);
    const Brush* own = nullptr;
    for (const auto& made : brushes_) {
      if (reinterpret_cast<const CanvasBrush*>(made.get()) == brush) own = made.get();
    }
    FUZZ_CHECK(own != nullptr);
    FUZZ_CHECK(!own->released);
  }

  template <typename Unit>
  void Touch(const Unit* text, std::uint32_t count) {
    std::uint32_t sum = 0;
    for (std::uint32_t n = 0; n < count; ++n) sum += static_cast<std::uint32_t>(text[n]);
    checksum_ += sum;
  }

  const DumpViewState& state_;
  std::uint32_t failBrushNumber_;
  std::int64_t cellWidth_, rowGap_, rowPitch_, headerBand_, textInset_;
  std::uint64_t maxRows_;
  std::uint64_t calls_ = 0;
  std::uint32_t brushesMade_ = 0;
  std::uint64_t checksum_ = 0;
  MixMode mode_ = MixMode::Copy;
  std::vector<std::unique_ptr<Brush>> brushes_;
};

}  // namespace fuzz
