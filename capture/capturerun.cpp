#include "capture/capturerun.h"

#include <cmath>
#include <utility>

#include "browser/formatnames.h"
#include "formats/lines.h"

namespace {

// Why a format cannot go into a file before anything of it is read.
std::optional<std::string> RefusalBeforeReading(const CaptureFormat& f) {
  if (std::optional<std::string> reason = ClpNotCapturedReason(f.format)) return reason;
  if (!IsRegisteredFormat(f.format)) return std::nullopt;
  if (!f.registeredName || f.registeredName->empty()) {
    return std::string("the system gave no name for it, and a registered format is known by its name");
  }
  return ClpNameRefusal(*f.registeredName);
}

std::uint32_t SlotsFor(const std::vector<CaptureFormat>& formats) {
  std::uint32_t slots = 0;
  for (const CaptureFormat& f : formats) {
    if (!RefusalBeforeReading(f)) ++slots;
  }
  return slots;
}

}  // namespace

std::string NotRenderedInReason(std::uint32_t seconds) {
  return "the owner did not render it in " + Decimal(seconds) + " s";
}

CaptureRun::CaptureRun(std::vector<CaptureFormat> formats)
    : formats_(std::move(formats)), plan_(SlotsFor(formats_)) {}

std::optional<std::uint32_t> CaptureRun::Next() {
  while (next_ < formats_.size()) {
    const std::uint32_t index = next_++;
    if (const std::optional<std::string> refusal = RefusalBeforeReading(formats_[index])) {
      LeftOut(index, *refusal);
      continue;
    }
    return index;
  }
  return std::nullopt;
}

std::string CaptureRun::ListText(std::uint32_t index) const {
  const CaptureFormat& f = formats_[index];
  return AvailableFormatText(
      f.format, f.registeredName ? std::optional<std::string_view>(*f.registeredName) : std::nullopt);
}

std::string CaptureRun::ReadingText(std::uint32_t index) const {
  return "Reading " + Decimal(index + 1) + " of " + Decimal(formats_.size()) + ": " + ListText(index);
}

ClpPlacement CaptureRun::Captured(std::uint32_t index, std::uint32_t length) {
  const CaptureFormat& f = formats_[index];
  ClpPlacement placement = plan_.Place(f.format, f.registeredName.value_or(std::string()), length);
  if (!placement.placed) LeftOut(index, placement.refusal);
  return placement;
}

void CaptureRun::LeftOut(std::uint32_t index, const std::string& reason) {
  notCaptured_.push_back(ListText(index) + ": " + reason);
}

std::string CaptureRun::FinalMessage(const std::string& path) const {
  std::string text = "Captured " + Decimal(CapturedCount()) + " of " + Decimal(FormatCount()) + " formats (" +
                     SizeText(plan_.End()) + ") to " + path + ".";
  if (notCaptured_.empty()) return text;
  text.append(" Not captured:");
  std::uint32_t listed = 0;
  for (const std::string& line : notCaptured_) {
    if (listed == kMostListedLeftOut) break;
    text.append("\n").append(line);
    ++listed;
  }
  if (notCaptured_.size() > listed)
    text.append("\n").append(MoreItemsText(notCaptured_.size() - listed, "formats"));
  return text;
}

std::string SizeText(std::uint64_t bytes) {
  static const char* const kUnits[] = {"KB", "MB", "GB"};
  if (bytes < 1024) return Bytes(bytes);
  double value = static_cast<double>(bytes) / 1024.0;
  std::size_t unit = 0;
  while (value >= 1024.0 && unit + 1 < sizeof(kUnits) / sizeof(kUnits[0])) {
    value /= 1024.0;
    ++unit;
  }
  const auto tenths = static_cast<std::uint64_t>(std::llround(value * 10.0));
  return Decimal(tenths / 10) + "." + Decimal(tenths % 10) + " " + kUnits[unit];
}
