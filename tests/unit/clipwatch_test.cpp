// The clipboard log's rows, ring, duplicates and texts, and Follow's pacing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "clipwatch/clipboardlog.h"
#include "clipwatch/logtext.h"
#include "clipwatch/refreshpacing.h"
#include "clipwatch/watchcommands.h"

namespace {

ClipboardWindow Window(std::uint64_t handle, std::uint32_t process, const char* exe, const char* windowClass) {
  return ClipboardWindow{handle, windowClass, process, exe};
}

ClipboardChange Change(std::uint32_t sequence, std::vector<std::uint32_t> formats = {1, 16, 7, 13},
                       std::vector<FormatName> names = {}) {
  ClipboardChange change;
  change.time = {2026, 12, 8, 4, 5, 6, 7};
  change.sequence = sequence;
  change.owner = Window(0x1234, 77, "C:\\Program Files\\Owner\\owner.exe", "OwnerClass");
  change.listing = {std::move(formats), std::move(names)};
  return change;
}

std::string Cell(const ClipboardLog& log, std::uint32_t row, LogColumn column) {
  return LogCellText(log, log.Row(row), column);
}

TEST(ClipboardLog, RowTextsNameOwnerFormatsAndCount) {
  ClipboardLog log;
  ASSERT_TRUE(log.Append(Change(41, {0xC1A0, 13, 0x0205}, {{0xC1A0, "Sample"}})));
  ClipboardChange emptied = Change(45, {});
  emptied.owner = {};
  ASSERT_TRUE(log.Append(emptied));

  EXPECT_EQ(Cell(log, 0, kTimeColumn), "2026-12-08 04:05:06.007");
  EXPECT_EQ(Cell(log, 0, kSequenceColumn), "41");
  EXPECT_EQ(Cell(log, 0, kOwnerColumn), "owner.exe (process 77)");
  EXPECT_EQ(Cell(log, 0, kWindowClassColumn), "OwnerClass");
  EXPECT_EQ(Cell(log, 0, kCountColumn), "3");
  EXPECT_EQ(Cell(log, 0, kFormatsColumn), "Sample(0xC1A0), CF_UNICODETEXT (13), CF_PRIVATE (0x0205)");
  EXPECT_EQ(Cell(log, 0, kMarksColumn), "");

  EXPECT_EQ(Cell(log, 1, kOwnerColumn), "(none)");
  EXPECT_EQ(Cell(log, 1, kWindowClassColumn), "");
  EXPECT_EQ(Cell(log, 1, kCountColumn), "0");
  EXPECT_EQ(Cell(log, 1, kFormatsColumn), "(empty)");
}

TEST(ClipboardLog, MarksOwnChangeMonitorMarkersAndHolder) {
  ClipboardLog log;
  ClipboardChange own = Change(10, {13, 0xC100, 0xC101, 0xC102},
                               {{0xC100, "Clipboard Viewer Ignore"},
                                {0xC101, "Not A Marker"},
                                {0xC102, "ExcludeClipboardContentFromMonitorProcessing"}});
  own.ownChange = IsKelvaneChange(own.owner, 77);
  ASSERT_TRUE(own.ownChange);
  EXPECT_FALSE(IsKelvaneChange(ClipboardWindow{0, "", 77, ""}, 77)) << "no owner window is no own change";
  log.Append(own);
  EXPECT_EQ(Cell(log, 0, kMarksColumn),
            "Kelvane's own change; asks to be left alone: Clipboard Viewer Ignore, "
            "ExcludeClipboardContentFromMonitorProcessing");
  EXPECT_EQ(MonitorMarkersOf(own.listing),
            (std::vector<std::string>{"Clipboard Viewer Ignore", "ExcludeClipboardContentFromMonitorProcessing"}));
  for (const char* name : {"CanIncludeInClipboardHistory", "CanUploadToCloudClipboard"}) {
    EXPECT_TRUE(IsMonitorMarkerName(name)) << name;
  }
  EXPECT_FALSE(IsMonitorMarkerName("clipboard viewer ignore"));

  // Held open: named at once, listed once the holder lets go.
  ClipboardChange held = Change(20);
  held.heldOpen = true;
  held.holder = Window(0x99, 500, "C:\\x\\holder.exe", "HolderClass");
  ASSERT_TRUE(log.Append(held));
  EXPECT_EQ(Cell(log, 1, kFormatsColumn), "(not listed)");
  EXPECT_EQ(Cell(log, 1, kCountColumn), "");
  EXPECT_EQ(Cell(log, 1, kMarksColumn), "held open by holder.exe (process 500)");
  EXPECT_TRUE(log.CompleteListing(20, {{1, 16}, {}}));
  EXPECT_FALSE(log.CompleteListing(20, {{1}, {}})) << "a row is listed once";
  EXPECT_EQ(Cell(log, 1, kFormatsColumn), "CF_TEXT (1), CF_LOCALE (16)");
  EXPECT_EQ(Cell(log, 1, kMarksColumn), "held open by holder.exe (process 500)");
  held.sequence = 21;
  held.holder = {};
  log.Append(held);
  EXPECT_EQ(Cell(log, 2, kMarksColumn), "held open by a program without a window");
}

TEST(ClipboardLog, ASequenceNumberIsLoggedOnce) {
  ClipboardLog log;
  EXPECT_TRUE(log.Append(Change(5)));
  EXPECT_FALSE(log.Append(Change(5)));
  EXPECT_FALSE(log.Append(Change(3))) << "a late notification of an older change";
  EXPECT_TRUE(log.Append(Change(9)));
  log.Clear();
  EXPECT_EQ(log.Size(), 0u);
  EXPECT_FALSE(log.IsNewChange(9)) << "clearing does not bring a logged number back";
  // Across the wrap of the 32-bit counter.
  ClipboardLog wrapping;
  EXPECT_TRUE(wrapping.Append(Change(0xFFFFFFFEu)));
  EXPECT_TRUE(wrapping.Append(Change(2)));
  EXPECT_FALSE(wrapping.IsNewChange(0xFFFFFFFFu));
}

TEST(ClipboardLog, KeepsTheLastRowsAndCountsTheDropped) {
  ClipboardLog log(3);
  for (std::uint32_t sequence = 1; sequence <= 5; ++sequence) log.Append(Change(sequence));
  ASSERT_EQ(log.Size(), 3u);
  EXPECT_EQ(log.Dropped(), 2u);
  EXPECT_EQ(log.Row(0).sequence, 3u);
  EXPECT_EQ(log.Row(2).sequence, 5u);
  EXPECT_EQ(LogStatusText(log), "3 rows; 2 older rows were dropped to keep the last 10000");
  log.Clear();
  EXPECT_EQ(LogStatusText(log), "0 rows");

  // A full log of real-sized rows: the rows and their shared names stay far
  // below the 8 MiB the log may take.
  ClipboardLog full;
  for (std::uint32_t sequence = 1; sequence <= kLogCapacity + 10; ++sequence) {
    full.Append(Change(sequence, {13, 0xC0A0, 0xC0A1, 0xC0A2, 0xC0A3, 16, 1, 7},
                       {{0xC0A0, "Rich Text Format"}, {0xC0A1, "Ole Private Data"}}));
  }
  EXPECT_EQ(full.Size(), kLogCapacity);
  EXPECT_EQ(full.Dropped(), 10u);
  EXPECT_LT(kLogCapacity * (sizeof(LogRow) + 8 * sizeof(std::uint32_t)), 1024u * 1024u);
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
  EXPECT_EQ(LogTsv(log, {1, 5}, false), "2026-12-08 04:05:06.007\t8\towner.exe (process 77)\tOwnerClass\t0\t(empty)\t\r\n");
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

TEST(WatchCommands, ShortcutsAndTheSystemMenuRange) {
  EXPECT_EQ(WatchCommandOfKey('F', true, false, false), kFollowCommand);
  EXPECT_EQ(WatchCommandOfKey('L', true, false, false), kClipboardLogCommand);
  EXPECT_EQ(WatchCommandOfKey('L', false, false, false), 0u);
  EXPECT_EQ(WatchCommandOfKey('L', true, true, false), 0u);
  EXPECT_EQ(WatchCommandOfKey('F', true, false, true), 0u);
  EXPECT_TRUE(IsKelvaneSysCommand(0x0112)) << "the system's low four bits";
  EXPECT_FALSE(IsKelvaneSysCommand(0xF060));
}

}  // namespace
