#include "formats/caret.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

#include "formats/dates.h"
#include "formats/reading.h"

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

void AddFloats(Lines& lines, const std::uint8_t* data, std::uint32_t length, std::uint32_t caret) {
  if (Fits(length, caret, 4)) {
    const auto le = static_cast<std::uint32_t>(LittleEndianAt(data + caret, 4));
    const auto be = static_cast<std::uint32_t>(BigEndianAt(data + caret, 4));
    float a = 0;
    float b = 0;
    std::memcpy(&a, &le, 4);
    std::memcpy(&b, &be, 4);
    AddField(lines, "Float32", "LE " + FloatText(a, 9) + ", BE " + FloatText(b, 9));
  } else {
    AddField(lines, "Float32", kPastTheData);
  }
  if (Fits(length, caret, 8)) {
    const std::uint64_t le = LittleEndianAt(data + caret, 8);
    const std::uint64_t be = BigEndianAt(data + caret, 8);
    double a = 0;
    double b = 0;
    std::memcpy(&a, &le, 8);
    std::memcpy(&b, &be, 8);
    AddField(lines, "Float64", "LE " + FloatText(a, 17) + ", BE " + FloatText(b, 17));
  } else {
    AddField(lines, "Float64", kPastTheData);
  }
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
