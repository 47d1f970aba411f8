#include "formats/caret.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

#include "formats/dates.h"
#include "identify/reading.h"

namespace {

constexpr const char* kPastTheData = "\xE2\x80\x94";  // U+2014

std::string FloatText(double value, int digits) {
  if (std::isnan(value)) return "NaN";
  if (std::isinf(value)) return value < 0 ? "-Infinity" : "Infinity";
  char buffer[64];
  (void)std::snprintf(buffer, sizeof(buffer), "%.*g", digits, value);
  return buffer;
}

std::int64_t SignExtend(std::uint64_t value, std::uint32_t width) {
  if (width == 8) return static_cast<std::int64_t>(value);
  const std::uint64_t sign = 1ull << (8 * width - 1);
  return static_cast<std::int64_t>((value ^ sign) - sign);
}

// "Int16: LE -2, BE 767" style pairs, one line each for signed and unsigned.
void AddIntegers(Lines& lines, const std::uint8_t* data, std::uint32_t length, std::uint32_t caret,
                 std::uint32_t width) {
  const std::string bits = Decimal(std::uint64_t{8} * width);
  if (!Fits(length, caret, width)) {
    AddField(lines, "Int" + bits, kPastTheData);
    AddField(lines, "UInt" + bits, kPastTheData);
    return;
  }
  const std::uint64_t le = LittleEndianAt(data + caret, width);
  const std::uint64_t be = BigEndianAt(data + caret, width);
  if (width == 1) {
    AddField(lines, "Int8", SignedDecimal(SignExtend(le, 1)));
    AddField(lines, "UInt8", Decimal(le) + " (" + Hex(le, 2) + ")");
    return;
  }
  AddField(lines, "Int" + bits,
           "LE " + SignedDecimal(SignExtend(le, width)) + ", BE " + SignedDecimal(SignExtend(be, width)));
  AddField(lines, "UInt" + bits, "LE " + Decimal(le) + ", BE " + Decimal(be));
}

// A float of Float's width read both ways, shown with the digits that tell
// every value of its width apart.
template <class Float, class Bits>
std::string FloatPair(const std::uint8_t* bytes, int digits) {
  const auto le = static_cast<Bits>(LittleEndianAt(bytes, sizeof(Bits)));
  const auto be = static_cast<Bits>(BigEndianAt(bytes, sizeof(Bits)));
  Float a = 0;
  Float b = 0;
  std::memcpy(&a, &le, sizeof(Bits));
  std::memcpy(&b, &be, sizeof(Bits));
  return "LE " + FloatText(a, digits) + ", BE " + FloatText(b, digits);
}

void AddFloats(Lines& lines, const std::uint8_t* data, std::uint32_t length, std::uint32_t caret) {
  AddField(lines, "Float32",
           Fits(length, caret, 4) ? FloatPair<float, std::uint32_t>(data + caret, 9) : kPastTheData);
  AddField(lines, "Float64",
           Fits(length, caret, 8) ? FloatPair<double, std::uint64_t>(data + caret, 17) : kPastTheData);
}

void AddDates(Lines& lines, const std::uint8_t* data, std::uint32_t length, std::uint32_t caret) {
  const std::optional<std::uint64_t> fileTime = ReadU64(data, length, caret);
  std::string fileTimeText = kPastTheData;
  if (fileTime) {
    const std::optional<std::string> date = FileTimeText(*fileTime);
    fileTimeText = date ? *date : "out of range";
  }
  AddField(lines, "FILETIME", fileTimeText);
  const std::optional<std::uint32_t> unixTime = ReadU32(data, length, caret);
  AddField(lines, "Unix time", unixTime ? UnixTimeText(*unixTime) : kPastTheData);
}

}  // namespace

Lines InterpretAtCaret(const std::uint8_t* data, std::uint32_t length, const CaretFacts& caret) {
  Lines lines;
  AddField(lines, "Offset", Hex(caret.caret, 8) + " (" + Decimal(caret.caret) + ")");
  if (caret.hasSelection && caret.selectionFirst <= caret.selectionLast) {
    const std::uint64_t endExclusive = static_cast<std::uint64_t>(caret.selectionLast) + 1;
    AddField(lines, "Selection",
             "start " + Hex(caret.selectionFirst, 1) + " (" + Decimal(caret.selectionFirst) + "), end " +
                 Hex(endExclusive, 1) + " (" + Decimal(endExclusive) + "), length " +
                 Decimal(endExclusive - caret.selectionFirst));
  } else {
    AddField(lines, "Selection", "none");
  }
  for (std::uint32_t width : {1u, 2u, 4u, 8u}) AddIntegers(lines, data, length, caret.caret, width);
  AddFloats(lines, data, length, caret.caret);
  AddDates(lines, data, length, caret.caret);
  return lines;
}
