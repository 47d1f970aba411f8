#include "clipwatch/refreshpacing.h"

#include <algorithm>

void NoteClipboardChange(RefreshPacing* pacing, std::uint64_t nowMs) {
  if (!pacing->pending) pacing->firstPendingMs = nowMs;
  pacing->pending = true;
  pacing->lastChangeMs = nowMs;
}

std::optional<std::uint64_t> RefreshDueAt(const RefreshPacing& pacing) {
  if (!pacing.pending) return std::nullopt;
  const std::uint64_t byQuiet =
      std::min(pacing.lastChangeMs + kQuietMs, pacing.firstPendingMs + kLongestWaitMs);
  if (!pacing.refreshed) return byQuiet;
  return std::max(byQuiet, pacing.lastRefreshMs + kRefreshSpacingMs);
}

void NoteRefresh(RefreshPacing* pacing, std::uint64_t nowMs) {
  pacing->pending = false;
  pacing->refreshed = true;
  pacing->lastRefreshMs = nowMs;
}
