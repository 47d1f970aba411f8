// The clipboard log: one row per change of the clipboard, as the listener
// saw it, the last kLogCapacity of them in a ring. Rows are kept compact
// (format numbers, and the programs named once in a table of their own), so
// that a full log stays far below 8 MiB; their texts are made when shown.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "snapshot/clipboardwindow.h"

inline constexpr std::uint32_t kLogCapacity = 10000;

// The local time of a change, to the millisecond.
struct LogTime {
  std::uint16_t year = 0;
  std::uint8_t month = 0;
  std::uint8_t day = 0;
  std::uint8_t hour = 0;
  std::uint8_t minute = 0;
  std::uint8_t second = 0;
  std::uint16_t millisecond = 0;
};

// A registered format's name as the system gave it (UTF-8).
struct FormatName {
  std::uint32_t format = 0;
  std::string name;
};

// The formats the clipboard enumerated, in its order, and the names of the
// registered ones among them.
struct ClipboardListing {
  std::vector<std::uint32_t> formats;
  std::vector<FormatName> names;
};

// What the listener saw of one change.
struct ClipboardChange {
  LogTime time;
  std::uint32_t sequence = 0;  // the clipboard's sequence number
  ClipboardWindow owner;       // window 0: the clipboard has no owner window
  bool ownChange = false;      // the owner is one of Kelvane's windows
  bool heldOpen = false;       // another window held the clipboard open: nothing was listed yet
  ClipboardWindow holder;      // that window (0: opened without a window)
  ClipboardListing listing;    // when not held open
};

// A program the clipboard named: its process, image file name and window
// class.
struct ClipboardParty {
  std::uint32_t processId = 0;
  std::string program;  // the image's file name, UTF-8; empty when unknown
  std::string windowClass;
};

inline constexpr std::uint32_t kNoParty = 0xFFFFFFFFu;

struct LogRow {
  LogTime time;
  std::uint32_t sequence = 0;
  std::uint32_t owner = kNoParty;   // index into the log's parties
  std::uint32_t holder = kNoParty;  // while heldOpen: who held the clipboard open
  bool ownChange = false;
  bool heldOpen = false;  // the listing found the clipboard held open
  bool listed = false;    // formats holds the clipboard's formats
  std::vector<std::uint32_t> formats;
};

// Whether owner is a window of Kelvane's own process: a copy it made, or a
// saved clipboard it put back.
bool IsKelvaneChange(const ClipboardWindow& owner, std::uint32_t kelvaneProcessId);

// Whether name is one of the formats with which programs ask clipboard
// monitors to leave their data alone.
bool IsMonitorMarkerName(std::string_view name);

// The marker formats' names among a listing, in the clipboard's order.
std::vector<std::string> MonitorMarkersOf(const ClipboardListing& listing);

class ClipboardLog {
 public:
  explicit ClipboardLog(std::uint32_t capacity = kLogCapacity);

  // Whether a change with this sequence number would be a new row: the
  // platform tells of one change several times, and a notification handled
  // late reads a number that was logged already.
  bool IsNewChange(std::uint32_t sequence) const;

  // Appends a row for the change, dropping the oldest row when the log is
  // full; nothing when the sequence number is not new. Whether it appended.
  bool Append(const ClipboardChange& change);

  // Gives the row of sequence, which the listing found held open, the
  // formats listed once the holder let go; false when no such row waits.
  bool CompleteListing(std::uint32_t sequence, const ClipboardListing& listing);

  // Empties the log and forgets the dropped count; the numbers already
  // logged stay known, so a late notification does not bring a row back.
  void Clear();

  std::uint32_t Size() const { return static_cast<std::uint32_t>(rows_.size()); }
  std::uint64_t Dropped() const { return dropped_; }
  // Row 0 is the oldest kept.
  const LogRow& Row(std::uint32_t index) const;
  const ClipboardParty* Party(std::uint32_t index) const;
  // The name the log was given for a registered format, or none.
  const std::string* NameOf(std::uint32_t format) const;

 private:
  std::uint32_t InternParty(const ClipboardWindow& window);
  void KeepNames(const ClipboardListing& listing);

  std::uint32_t capacity_;
  std::vector<LogRow> rows_;  // a ring once full: oldest at first_
  std::uint32_t first_ = 0;
  std::uint64_t dropped_ = 0;
  bool anyLogged_ = false;
  std::uint32_t lastSequence_ = 0;
  std::vector<ClipboardParty> parties_;
  std::map<std::tuple<std::uint32_t, std::string, std::string>, std::uint32_t> partyIndex_;
  std::map<std::uint32_t, std::string> names_;
};
