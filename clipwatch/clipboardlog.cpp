#include "clipwatch/clipboardlog.h"

#include <algorithm>

namespace {

// The names programs register to ask monitors not to keep, show or send on
// what they put on the clipboard (password managers, for one).
constexpr std::string_view kMonitorMarkers[] = {
    "ExcludeClipboardContentFromMonitorProcessing",
    "Clipboard Viewer Ignore",
    "CanIncludeInClipboardHistory",
    "CanUploadToCloudClipboard",
};

}  // namespace

bool IsKelvaneChange(const ClipboardWindow& owner, std::uint32_t kelvaneProcessId) {
  return owner.window != 0 && owner.processId == kelvaneProcessId;
}

bool IsMonitorMarkerName(std::string_view name) {
  return std::find(std::begin(kMonitorMarkers), std::end(kMonitorMarkers), name) != std::end(kMonitorMarkers);
}

std::vector<std::string> MonitorMarkersOf(const ClipboardListing& listing) {
  std::vector<std::string> markers;
  for (const std::uint32_t format : listing.formats) {
    for (const FormatName& named : listing.names) {
      if (named.format == format && IsMonitorMarkerName(named.name)) markers.push_back(named.name);
    }
  }
  return markers;
}

ClipboardLog::ClipboardLog(std::uint32_t capacity) : capacity_(std::max<std::uint32_t>(capacity, 1)) {}

bool ClipboardLog::IsNewChange(std::uint32_t sequence) const {
  // Sequence numbers only grow; the difference read as signed keeps that
  // true across their wrap at 2^32.
  return !anyLogged_ || static_cast<std::int32_t>(sequence - lastSequence_) > 0;
}

bool ClipboardLog::Append(const ClipboardChange& change) {
  if (!IsNewChange(change.sequence)) return false;
  LogRow row;
  row.time = change.time;
  row.sequence = change.sequence;
  row.owner = change.owner.window != 0 ? InternParty(change.owner) : kNoParty;
  row.ownChange = change.ownChange;
  row.heldOpen = change.heldOpen;
  if (change.heldOpen) {
    row.holder = change.holder.window != 0 ? InternParty(change.holder) : kNoParty;
  } else {
    row.listed = true;
    row.formats = change.listing.formats;
    KeepNames(change.listing);
  }
  if (rows_.size() < capacity_) {
    rows_.push_back(std::move(row));
  } else {
    rows_[first_] = std::move(row);
    first_ = (first_ + 1) % capacity_;
    ++dropped_;
  }
  anyLogged_ = true;
  lastSequence_ = change.sequence;
  return true;
}

bool ClipboardLog::CompleteListing(std::uint32_t sequence, const ClipboardListing& listing) {
  for (std::uint32_t index = Size(); index-- > 0;) {
    LogRow& row = rows_[(first_ + index) % rows_.size()];
    if (row.sequence != sequence) continue;
    if (row.listed) return false;
    row.formats = listing.formats;
    row.listed = true;
    KeepNames(listing);
    return true;
  }
  return false;
}

void ClipboardLog::Clear() {
  rows_.clear();
  first_ = 0;
  dropped_ = 0;
  parties_.clear();
  partyIndex_.clear();
}

const LogRow& ClipboardLog::Row(std::uint32_t index) const { return rows_[(first_ + index) % rows_.size()]; }

const ClipboardParty* ClipboardLog::Party(std::uint32_t index) const {
  return index < parties_.size() ? &parties_[index] : nullptr;
}

const std::string* ClipboardLog::NameOf(std::uint32_t format) const {
  const auto found = names_.find(format);
  return found != names_.end() ? &found->second : nullptr;
}

// A program that changes the clipboard often is named once, however many
// rows name it.
std::uint32_t ClipboardLog::InternParty(const ClipboardWindow& window) {
  ClipboardParty party{window.processId, std::string(ExecutableFileName(window.executable)),
                       window.windowClass};
  auto key = std::make_tuple(party.processId, party.program, party.windowClass);
  const auto found = partyIndex_.find(key);
  if (found != partyIndex_.end()) return found->second;
  const auto index = static_cast<std::uint32_t>(parties_.size());
  parties_.push_back(std::move(party));
  partyIndex_.emplace(std::move(key), index);
  return index;
}

// A registered format keeps its name for the session: the first name given
// for a number is the one.
void ClipboardLog::KeepNames(const ClipboardListing& listing) {
  for (const FormatName& named : listing.names) names_.emplace(named.format, named.name);
}
