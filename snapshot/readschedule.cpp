#include "snapshot/readschedule.h"

#include <algorithm>
#include <utility>

std::vector<ReadSchedule::Entry>::iterator ReadSchedule::Find(ReadTicket ticket) {
  if (ticket == kNoRead) return entries_.end();
  return std::find_if(entries_.begin(), entries_.end(),
                      [ticket](const Entry& e) { return e.ticket == ticket && e.stage != Stage::Discarded; });
}

std::vector<ReadSchedule::Entry>::iterator ReadSchedule::FirstAt(Stage stage) {
  return std::find_if(entries_.begin(), entries_.end(), [stage](const Entry& e) { return e.stage == stage; });
}

void ReadSchedule::GiveUp(std::vector<Entry>::iterator entry) {
  switch (entry->stage) {
    case Stage::Waiting:
      entries_.erase(entry);
      break;
    case Stage::UnderWay:
      // It cannot be stopped: its outcome is discarded when it ends.
      entry->request.requester = 0;
      entry->ticket = kNoRead;
      break;
    case Stage::Ended:
      entry->stage = Stage::Discarded;
      break;
    case Stage::Discarded:
      break;
  }
}

ReadTicket ReadSchedule::Ask(const ReadRequest& request) {
  // Made room for first, so that a failed allocation changes nothing.
  entries_.reserve(entries_.size() + 1);
  for (auto entry = entries_.begin(); entry != entries_.end();) {
    const bool superseded = entry->request.requester == request.requester && entry->ticket != kNoRead &&
                            entry->stage != Stage::Discarded;
    if (superseded && entry->stage == Stage::Waiting) {
      entry = entries_.erase(entry);
      continue;
    }
    if (superseded) GiveUp(entry);
    ++entry;
  }
  if (++lastTicket_ == kNoRead) ++lastTicket_;
  entries_.push_back(Entry{lastTicket_, Stage::Waiting, false, request, ReadOutcome{}});
  return lastTicket_;
}

std::optional<ReadJob> ReadSchedule::Begin() {
  if (UnderWay()) return std::nullopt;
  const auto next = FirstAt(Stage::Waiting);
  if (next == entries_.end()) return std::nullopt;
  // The copy first: should it fail, the read still waits.
  ReadJob job{next->ticket, next->request};
  next->stage = Stage::UnderWay;
  return job;
}

ReadEnding ReadSchedule::End(ReadOutcome outcome) {
  const auto entry = FirstAt(Stage::UnderWay);
  if (entry == entries_.end()) return ReadEnding{};
  outcome.ticket = entry->ticket;
  entry->outcome = std::move(outcome);
  if (entry->ticket == kNoRead) {
    entry->stage = Stage::Discarded;
    return ReadEnding{};
  }
  entry->stage = Stage::Ended;
  return ReadEnding{entry->notify ? ReadDelivery::Notify : ReadDelivery::Kept, entry->request.requester,
                    entry->ticket};
}

bool ReadSchedule::NotifyWhenEnded(ReadTicket ticket) {
  const auto entry = Find(ticket);
  if (entry == entries_.end() || entry->stage == Stage::Ended) return false;
  entry->notify = true;
  return true;
}

bool ReadSchedule::Ended(ReadTicket ticket) const {
  return std::any_of(entries_.begin(), entries_.end(),
                     [ticket](const Entry& e) { return e.ticket == ticket && e.stage == Stage::Ended; });
}

ReadOutcome ReadSchedule::Take(ReadTicket ticket) {
  const auto entry = Find(ticket);
  if (entry == entries_.end() || entry->stage != Stage::Ended) {
    ReadOutcome none;
    none.ticket = ticket;
    none.cancelled = true;
    return none;
  }
  ReadOutcome taken = std::move(entry->outcome);
  entries_.erase(entry);
  return taken;
}

void ReadSchedule::Cancel(ReadTicket ticket) {
  const auto entry = Find(ticket);
  if (entry != entries_.end()) GiveUp(entry);
}

void ReadSchedule::ForgetRequesters(bool (*gone)(std::uint64_t requester)) {
  for (std::size_t i = entries_.size(); i-- > 0;) {
    Entry& entry = entries_[i];
    if (entry.ticket != kNoRead && entry.stage != Stage::Discarded && gone(entry.request.requester)) {
      GiveUp(entries_.begin() + static_cast<std::ptrdiff_t>(i));
    }
  }
}

std::optional<ReadOutcome> ReadSchedule::TakeDiscarded() {
  const auto entry = FirstAt(Stage::Discarded);
  if (entry == entries_.end()) return std::nullopt;
  ReadOutcome discarded = std::move(entry->outcome);
  entries_.erase(entry);
  return discarded;
}

bool ReadSchedule::UnderWay() const {
  return std::any_of(entries_.begin(), entries_.end(),
                     [](const Entry& e) { return e.stage == Stage::UnderWay; });
}

ClipboardWindow ReadSchedule::OwnerOf(ReadTicket ticket) const {
  if (ticket == kNoRead) return {};
  for (const Entry& entry : entries_) {
    if (entry.ticket == ticket && entry.stage != Stage::Discarded) return entry.request.owner;
  }
  return {};
}
