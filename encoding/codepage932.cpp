#include "encoding/codepage932.h"

DecodedChar DecodeCp932(const std::uint8_t* p, std::size_t left, const Cp932Table& table) {
  const std::uint8_t b = p[0];
  if (!IsCp932LeadByte(b)) return DecodedChar{1, 1, {table.single[b], 0}};
  if (left < 2 || !IsCp932TrailByte(p[1])) return DecodedChar{1, 1, {kReplacementChar, 0}};
  return DecodedChar{2, 1, {table.pair[b * 256u + p[1]], 0}};
}

namespace {

bool IsNecSelectedIbmForm(std::uint16_t form) { return form >= 0xED00 && form <= 0xEEFF; }

void Offer(Cp932Forms& forms, char16_t unit, std::uint16_t form) {
  if (unit == kReplacementChar) return;
  std::uint16_t& kept = forms.form[unit];
  if (kept == kNoCp932Form || (IsNecSelectedIbmForm(kept) && !IsNecSelectedIbmForm(form))) kept = form;
}

}  // namespace

void FillCp932Forms(const Cp932Table& table, Cp932Forms& forms) {
  for (std::uint16_t& form : forms.form) form = kNoCp932Form;
  // In ascending order, so that the first form offered is the lowest.
  for (unsigned b = 0; b < 256; ++b) Offer(forms, table.single[b], static_cast<std::uint16_t>(b));
  for (unsigned pair = 0x8100; pair < 0x10000; ++pair)
    Offer(forms, table.pair[pair], static_cast<std::uint16_t>(pair));
}

bool EncodeCp932(const Cp932Forms& forms, const char16_t* text, std::size_t count,
                 std::vector<std::uint8_t>& bytes) {
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint16_t form = forms.form[text[i]];
    if (form == kNoCp932Form) return false;
    if (form > 0xFF) bytes.push_back(static_cast<std::uint8_t>(form >> 8));
    bytes.push_back(static_cast<std::uint8_t>(form & 0xFF));
  }
  return true;
}
