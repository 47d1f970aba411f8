// The clipboard log's marks, duplicates and saved text, and Follow's pacing
// (the ring and the other texts are tested through the log window).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "clipwatch/clipboardlog.h"
#include "clipwatch/logtext.h"
#include "clipwatch/refreshpacing.h"

namespace {

ClipboardChange Change(std::uint32_t sequence, std::vector<std::uint32_t> formats = {1, 16, 7, 13},
                       std::vector<FormatName> names = {}) {
  ClipboardChange change;
  change.time = {2026, 12, 8, 4, 5, 6, 7};
  change.sequence = sequence;
  change.owner = {0x1234, "OwnerClass", 77, "C:\\Program Files\\Owner\\owner.exe"};
  change.listing = {std::move(formats), std::move(names)};
  return change;
}

std::string Cell(const ClipboardLog& log, std::uint32_t row, LogColumn column) {
  return LogCellText(log, log.Row(row), column);
}

TEST(ClipboardLog, MarksOwnChangeMonitorMarkersAndAHolderWithoutWindow) {
  ClipboardLog log;
  ClipboardChange own = Change(10, {13, 0xC100, 0xC101, 0xC102},
                               {{0xC100, "Clipboard Viewer Ignore"},
                                {0xC101, "Not A Marker"},
                                {0xC102, "ExcludeClipboardContentFromMonitorProcessing"}});
  own.ownChange = IsKelvaneChange(own.owner, 77);
  EXPECT_FALSE(IsKelvaneChange(ClipboardWindow{0, "", 77, ""}, 77)) << "no owner window is no own change";
  log.Append(own);
  EXPECT_EQ(Cell(log, 0, kMarksColumn),
            "Kelvane's own change; asks to be left alone: Clipboard Viewer Ignore, "
            "ExcludeClipboardContentFromMonitorProcessing");
  EXPECT_TRUE(IsMonitorMarkerName("CanIncludeInClipboardHistory") &&
              IsMonitorMarkerName("CanUploadToCloudClipboard"));
  EXPECT_FALSE(IsMonitorMarkerName("clipboard viewer ignore"));

  ClipboardChange held = Change(20);
  held.heldOpen = true;
  log.Append(held);
  EXPECT_EQ(Cell(log, 1, kMarksColumn), "held open by a program without a window");
}

TEST(ClipboardLog, ASequenceNumberIsLoggedOnce) {
  ClipboardLog log;
  EXPECT_TRUE(log.Append(Change(5)));
  EXPECT_FALSE(log.Append(Change(5)));
  EXPECT_FALSE(log.Append(Change(3))) << "a late notification of an older change";
  EXPECT_TRUE(log.Append(Change(9)));
  log.Clear();
  EXPECT_FALSE(log.IsNewChange(9)) << "clearing does not bring a logged number back";
  // Across the wrap of the 32-bit counter.
  ClipboardLog wrapping;
  EXPECT_TRUE(wrapping.Append(Change(0xFFFFFFFEu)));
  EXPECT_TRUE(wrapping.Append(Change(2)));
  EXPECT_FALSE(wrapping.IsNewChange(0xFFFFFFFFu));
}

TEST(LogTsv, HeaderRowsAndFieldsWithoutTabsOrLineEnds) {
  ClipboardLog log;
  ClipboardChange odd = Change(7, {0xC001}, {{0xC001, "a\tb\r\nc"}});
  odd.owner.windowClass = "Class\tWith\nBreaks";
  log.Append(odd);
  log.Append(Change(8, {}));
  const std::string text = LogTsv(log, {0, 1}, true);
  EXPECT_EQ(text,
            "Time\tSequence\tOwner\tWindow Class\tCount\tFormats\tMarks\r\n"
            "2026-12-08 04:05:06.007\t7\towner.exe (process 77)\tClass With Breaks\t1\ta b  c(0xC001)\t\r\n"
            "2026-12-08 04:05:06.007\t8\towner.exe (process 77)\tOwnerClass\t0\t(empty)\t\r\n");
}

// Times in milliseconds of changes, and the refreshes the rule gives.
std::vector<std::uint64_t> Refreshes(const std::vector<std::uint64_t>& changes, std::uint64_t endMs) {
  RefreshPacing pacing;
  std::vector<std::uint64_t> refreshes;
  std::size_t next = 0;
  for (std::uint64_t now = 0; now <= endMs; ++now) {
    while (next < changes.size() && changes[next] == now) NoteClipboardChange(&pacing, changes[next++]);
    const auto due = RefreshDueAt(pacing);
    if (due.has_value() && *due <= now) {
      NoteRefresh(&pacing, now);
      refreshes.push_back(now);
    }
  }
  return refreshes;
}

TEST(RefreshPacing, QuietTimeBoundedWaitAndAtMostTenASecond) {
  EXPECT_EQ(Refreshes({}, 500), std::vector<std::uint64_t>{});
  EXPECT_EQ(Refreshes({10}, 500), std::vector<std::uint64_t>{60}) << "50 ms after a lone change";
  EXPECT_EQ(Refreshes({10, 40}, 500), std::vector<std::uint64_t>{90}) << "a burst waits for the quiet";
  EXPECT_EQ(Refreshes({10, 80}, 500), (std::vector<std::uint64_t>{60, 160})) << "spaced 100 ms from the last";

  // A hundred changes a second for two seconds.
  std::vector<std::uint64_t> stream;
  for (std::uint64_t t = 0; t < 2000; t += 10) stream.push_back(t);
  const std::vector<std::uint64_t> refreshes = Refreshes(stream, 3000);
  EXPECT_LE(refreshes.size(), 21u);
  EXPECT_GE(refreshes.size(), 19u) << "the stream still refreshes: nothing waits for the quiet forever";
  for (std::size_t i = 1; i < refreshes.size(); ++i) EXPECT_GE(refreshes[i] - refreshes[i - 1], 100u);
  EXPECT_LE(refreshes.back(), 1990u + kLongestWaitMs) << "the last change shown soon after the stream ends";
}

}  // namespace
