// A canvas for fuzzing the dump view's painting: it draws nothing, but checks
// every call against what the painting code promises and counts the calls.
//
//  - Text lands on the cell grid: x is the left edge of one of the 79 grid
//    columns and y the top of the header line or of a row the paint may draw.
//  - Every character handed over is read, so that a count longer than the
//    text's buffer faults under AddressSanitizer.
//  - Brushes are released exactly once and never used afterwards; the mix
//    mode ends as Copy.
//  - The cell flip (XOR fills) happens only while Selecting, only for the
//    decoders that draw two-byte characters (932, 51932, 1200), and covers
//    one text cell of a byte inside the data that borders the selection
//    (the byte before its first or after its last byte); its fills together
//    turn the selection background into the data background, or nothing.
//  - The default decoder draws each byte's own value, one code unit a cell;
//    only the Shift_JIS and EUC-JP decoders ask for code page 932.
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
    const std::uint16_t cp = state.codePage;
    pairDecoder_ = cp == 932 || cp == 51932;
    flipDecoder_ = pairDecoder_ || cp == 1200;
    plainDecoder_ = !flipDecoder_ && cp != 65001;
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
    if (plainDecoder_) CheckPlainTextCell(x, y, text, count);
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
    if (mode_ != MixMode::Xor) return;
    CheckOneTextCell(rect);
    CheckFlippedByte(rect);
    if (flipFills_++ == 0) flipRect_ = rect;
    FUZZ_CHECK(rect.left == flipRect_.left && rect.top == flipRect_.top);
    flipColors_ ^= reinterpret_cast<Brush*>(brush)->color;
  }
  void SetMixMode(MixMode mode) override {
    Count();
    FUZZ_CHECK(mode != mode_);
    if (mode == MixMode::Xor) {
      FUZZ_CHECK((state_.flags & Selecting) != 0 && flipDecoder_);
      flipFills_ = 0;
      flipColors_ = 0;
    } else {
      FUZZ_CHECK(flipColors_ == 0 || flipColors_ == (state_.selBackColor ^ state_.backColor));
    }
    mode_ = mode;
  }
  // One character of code page 932: a lone byte or a lead and its trail,
  // both read so that a pair reaching past the data faults.
  char16_t ConvertCp932(const std::uint8_t* bytes, std::uint32_t count) override {
    Count();
    FUZZ_CHECK(pairDecoder_);
    FUZZ_CHECK(count == 1 || count == 2);
    Touch(bytes, count);
    return count == 1 ? static_cast<char16_t>(0xFF00u | bytes[0])
                      : static_cast<char16_t>((bytes[0] << 8) | bytes[1]);
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

  // The byte whose text cell lies at x in the data row whose text top is y,
  // or -1 when x or y is saturated (far off the screen) or no text cell.
  std::int64_t TextCellByte(std::int32_t x, std::int32_t y) const {
    if (x == kLow || x == kHigh || y == kLow || y == kHigh || x % cellWidth_ != 0) return -1;
    const std::int64_t column = x / cellWidth_ + static_cast<std::int64_t>(LeftColumn(state_));
    const std::int64_t k = (static_cast<std::int64_t>(y) - headerBand_ - textInset_) / rowPitch_;
    if (column < TextColumn(0) || column > TextColumn(15) || y == textInset_) return -1;
    return (static_cast<std::int64_t>(TopRow(state_)) + k) * 16 + (column - TextColumn(0));
  }

  void CheckPlainTextCell(std::int32_t x, std::int32_t y, const char16_t* text, std::uint32_t count) const {
    const std::int64_t byte = TextCellByte(x, y);
    if (byte < 0) return;
    FUZZ_CHECK(count == 1 && byte < state_.dataLength);
    FUZZ_CHECK(text[0] == state_.data[byte]);
  }

  // The flipped cell is that of a byte in the data just outside the
  // selection: before its first byte or after its last (with nothing
  // selected, the span is 1..0, so bytes 0 and 1).
  void CheckFlippedByte(const CanvasRect& rect) const {
    const std::int64_t byte = TextCellByte(rect.left, rect.top);
    if (byte < 0) return;
    FUZZ_CHECK(byte < state_.dataLength);
    std::int64_t selStart = 1, selEnd = 0;
    if (state_.anchor != state_.caret) {
      selStart = state_.anchor < state_.caret ? state_.anchor : state_.caret;
      selEnd = static_cast<std::int64_t>(state_.anchor < state_.caret ? state_.caret : state_.anchor) - 1;
    }
    FUZZ_CHECK(byte + 1 == selStart || byte == selEnd + 1);
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
  bool pairDecoder_, flipDecoder_, plainDecoder_;
  std::uint32_t flipFills_ = 0;
  ColorRef flipColors_ = 0;
  CanvasRect flipRect_{};
  std::vector<std::unique_ptr<Brush>> brushes_;
};

}  // namespace fuzz
