// The clipboard reader's rules, apart from its thread: which read is made
// when, and what becomes of each outcome. A read may call into the
// clipboard's owner, another program that may be slow or hung, so reads are
// made one at a time on a thread of their own; this schedule decides, and a
// test can drive it without any thread.
//
//   - One read at a time. A read asked for while one is under way waits.
//   - Newest wins: a requester has at most one read. Asking again drops its
//     read that waits, abandons the one under way (it cannot be stopped, it
//     only finishes) and discards an outcome it did not take.
//   - A cancelled, superseded or abandoned read's outcome is discarded, never
//     delivered; so is every outcome of a requester that has gone.
//   - Discarded outcomes wait in the schedule until the shell takes them to
//     free their bytes, so that nothing here allocates on the way to a
//     discard.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "snapshot/snapshotfacts.h"

// Names one read. 0 is no read; the numbers do not repeat until they wrap.
using ReadTicket = std::uint32_t;
constexpr ReadTicket kNoRead = 0;

struct ReadRequest {
  std::uint64_t requester = 0;  // the window that asked, as its handle's value
  std::uint32_t format = 0;
  bool wholeData = false;
  ClipboardWindow owner;  // the clipboard's owner when the read was asked: whom a long wait names
};

// What a read gave. bytes belong to whoever holds the outcome, until it hands
// them on or frees them (FreeSnapshot).
struct ReadOutcome {
  ReadTicket ticket = kNoRead;
  bool read = false;              // a snapshot was made; bytes is none for an empty block
  std::uint8_t* bytes = nullptr;  // none exactly when length is 0
  std::uint32_t length = 0;
  SnapshotFacts facts;     // what the read saw, a clipboard held open by another window included
  bool cancelled = false;  // there was nothing to deliver: cancelled, superseded, or asked for twice
};

struct ReadJob {
  ReadTicket ticket = kNoRead;
  ReadRequest request;
};

// What becomes of a read's outcome when it ends.
enum class ReadDelivery : std::uint8_t {
  Kept,       // the requester is still waiting in its call: it takes the outcome there
  Notify,     // the requester returned from its call: tell it by message, then it takes the outcome
  Discarded,  // nobody wants it: TakeDiscarded hands it over for freeing
};

struct ReadEnding {
  ReadDelivery delivery = ReadDelivery::Discarded;
  std::uint64_t requester = 0;
  ReadTicket ticket = kNoRead;
};

class ReadSchedule {
 public:
  // A new read; supersedes the requester's earlier one.
  ReadTicket Ask(const ReadRequest& request);
  // The read to make now: the oldest that waits, when none is under way. It
  // is under way from then on.
  std::optional<ReadJob> Begin();
  // The read under way (Begin gave it) ended with outcome; its ticket is set
  // here. With none under way the outcome stays the caller's.
  ReadEnding End(ReadOutcome outcome);
  // The requester stops waiting in its call: from now on its read ends with
  // Notify. False when the read has ended already (take it now) or is gone.
  bool NotifyWhenEnded(ReadTicket ticket);
  bool Ended(ReadTicket ticket) const;
  // An ended read's outcome, once; otherwise an outcome marked cancelled.
  ReadOutcome Take(ReadTicket ticket);
  void Cancel(ReadTicket ticket);
  // Forgets every read of each requester for which gone(requester) is true.
  void ForgetRequesters(bool (*gone)(std::uint64_t requester));
  // One discarded outcome, to be freed; none when there is no more.
  std::optional<ReadOutcome> TakeDiscarded();
  bool UnderWay() const;
  // The clipboard's owner as seen when the read was asked; empty for a
  // read that is gone.
  ClipboardWindow OwnerOf(ReadTicket ticket) const;

 private:
  enum class Stage : std::uint8_t { Waiting, UnderWay, Ended, Discarded };
  struct Entry {
    ReadTicket ticket;
    Stage stage;
    bool notify;  // the requester returned from its call
    ReadRequest request;
    ReadOutcome outcome;  // once ended
  };
  std::vector<Entry>::iterator Find(ReadTicket ticket);
  std::vector<Entry>::iterator FirstAt(Stage stage);
  // Drops, abandons or discards one entry, as nobody wants it any more.
  void GiveUp(std::vector<Entry>::iterator entry);

  std::vector<Entry> entries_;
  ReadTicket lastTicket_ = kNoRead;
};
