// When Follow refreshes the format browser's lists after clipboard changes.
//
// The rule: a refresh is due once the clipboard has been quiet for kQuietMs
// since its last change, or kLongestWaitMs after the first change not yet
// refreshed, whichever comes first; but never sooner than kRefreshSpacingMs
// after the previous refresh. A single change is thus shown 50 ms after it; a
// program changing the clipboard a hundred times a second gets a refresh
// every 100 ms (ten a second at most), and no change waits longer than
// 100 ms for its refresh, however long the stream goes on.
#pragma once

#include <cstdint>
#include <optional>

inline constexpr std::uint64_t kQuietMs = 50;
inline constexpr std::uint64_t kLongestWaitMs = 100;
inline constexpr std::uint64_t kRefreshSpacingMs = 100;

struct RefreshPacing {
  bool pending = false;              // a change came that no refresh has shown yet
  std::uint64_t firstPendingMs = 0;  // the first of those changes
  std::uint64_t lastChangeMs = 0;
  bool refreshed = false;  // a refresh happened before
  std::uint64_t lastRefreshMs = 0;
};

void NoteClipboardChange(RefreshPacing* pacing, std::uint64_t nowMs);

// The time the next refresh is due; none when no change waits for one.
std::optional<std::uint64_t> RefreshDueAt(const RefreshPacing& pacing);

void NoteRefresh(RefreshPacing* pacing, std::uint64_t nowMs);
