// The clipboard reader's rules without its thread: one read at a time, the
// newest of a requester's reads wins, and every outcome is taken once or
// discarded once (each read's bytes stand for a buffer to be freed exactly
// once); then the texts that name the clipboard's owner and holder.
#include <gtest/gtest.h>

#include <set>

#include "snapshot/readschedule.h"

namespace {

constexpr std::uint64_t kFrame = 0x100;
constexpr std::uint64_t kCapture = 0x200;

class Schedule : public ::testing::Test {
 protected:
  ReadTicket Ask(std::uint64_t requester, std::uint32_t format) {
    return schedule_.Ask(ReadRequest{requester, format, false, {}});
  }
  // Begins the next read, which must be of format, and ends it with a buffer
  // of its own.
  ReadEnding Run(std::uint32_t format) {
    const std::optional<ReadJob> job = schedule_.Begin();
    EXPECT_EQ(job.has_value() ? job->request.format : 0, format);
    EXPECT_FALSE(schedule_.Begin().has_value()) << "one read at a time";
    ReadOutcome outcome;
    outcome.bytes = &buffers_[made_++];
    return job.has_value() ? schedule_.End(outcome) : ReadEnding{};
  }
  // Ends the read under way, begun by the test, with the last buffer.
  ReadDelivery EndLate() {
    ReadOutcome late;
    late.bytes = &buffers_[15];
    return schedule_.End(late).delivery;
  }
  // The buffers given up, by number, each as often as it was handed back.
  std::multiset<long> Discarded() {
    std::multiset<long> buffers;
    while (std::optional<ReadOutcome> outcome = schedule_.TakeDiscarded())
      buffers.insert(outcome->bytes - buffers_);
    return buffers;
  }

  ReadSchedule schedule_;
  std::uint8_t buffers_[16] = {};
  int made_ = 0;
};

}  // namespace

// Asked for again while its read hangs: the hung read is abandoned, those
// asked for meanwhile are never made but the newest, the other requester's
// keep their place in turn, an outcome is taken once (a read that ended while
// its requester waited in its call is kept for it, one that ended later is
// reported), and an outcome left untaken goes at the next request.
TEST_F(Schedule, TheNewestReadOfARequesterWins) {
  const ReadTicket hung = Ask(kFrame, 1);
  ASSERT_TRUE(schedule_.Begin().has_value());
  const ReadTicket capture = Ask(kCapture, 9);
  for (std::uint32_t format = 2; format <= 5; ++format) Ask(kFrame, format);
  EXPECT_EQ(EndLate(), ReadDelivery::Discarded);
  EXPECT_EQ(Discarded(), std::multiset<long>{15});
  EXPECT_TRUE(schedule_.NotifyWhenEnded(capture));
  const ReadEnding ending = Run(9);
  EXPECT_EQ(ending.delivery, ReadDelivery::Notify);
  EXPECT_EQ(ending.requester, kCapture);
  EXPECT_EQ(Run(5).delivery, ReadDelivery::Kept);
  EXPECT_FALSE(schedule_.NotifyWhenEnded(capture)) << "ended already";
  EXPECT_EQ(schedule_.Take(capture).bytes, &buffers_[0]);
  EXPECT_TRUE(schedule_.Take(capture).cancelled) << "taken once";
  EXPECT_FALSE(schedule_.Begin().has_value()) << "formats 2 to 4 are never read";
  EXPECT_TRUE(schedule_.Take(hung).cancelled);
  Ask(kFrame, 6);
  EXPECT_EQ(Discarded(), std::multiset<long>{1});
}

// Cancelled, or forgotten with its requester, a read that waits is never
// made, one under way is discarded when it ends, an ended one at once.
TEST_F(Schedule, GivenUpReadsAreDiscardedNeverDelivered) {
  for (const bool cancel : {true, false}) {
    SCOPED_TRACE(cancel ? "cancelled" : "requester gone");
    const auto giveUp = [&](ReadTicket ticket) {
      if (cancel) schedule_.Cancel(ticket);
      if (!cancel) schedule_.ForgetRequesters([](std::uint64_t requester) { return requester == kFrame; });
    };
    made_ = 0;
    const ReadTicket ended = Ask(kFrame, 1);
    Run(1);
    giveUp(ended);
    EXPECT_EQ(Discarded(), std::multiset<long>{0});
    const ReadTicket underWay = Ask(kFrame, 2);
    const ReadTicket other = Ask(kCapture, 3);
    ASSERT_TRUE(schedule_.Begin().has_value());
    giveUp(underWay);
    EXPECT_EQ(EndLate(), ReadDelivery::Discarded);
    const ReadTicket waiting = Ask(kFrame, 4);
    giveUp(waiting);
    Run(3);
    EXPECT_FALSE(schedule_.Begin().has_value()) << "format 4 is never read";
    EXPECT_EQ(Discarded(), std::multiset<long>{15});
    EXPECT_EQ(schedule_.Take(other).bytes, &buffers_[1]);
    for (const ReadTicket gone : {ended, underWay, waiting}) EXPECT_TRUE(schedule_.Take(gone).cancelled);
  }
}

TEST(OwnerTexts, NameTheProgramOrSayWhoInGeneral) {
  const ClipboardWindow named{0x1234, "HangOwner", 1234, "C:\\Program Files\\Owner\\owner.exe"};
  const ClipboardWindow nameless{0x1234, "HangOwner", 1234, ""};
  EXPECT_EQ(OwnerWaitText(named, "HangFormat(0xC0A1)"),
            "Waiting for owner.exe (process 1234) to render HangFormat(0xC0A1). Esc cancels.");
  for (const ClipboardWindow& unnamed : {nameless, ClipboardWindow{}}) {
    EXPECT_EQ(OwnerWaitText(unnamed, "CF_TEXT (1)"),
              "Waiting for the clipboard's owner to render CF_TEXT (1). Esc cancels.");
    EXPECT_EQ(HeldClipboardTitle(unnamed), "Kelvane - clipboard held open by another program");
  }
  EXPECT_EQ(HeldClipboardTitle(named), "Kelvane - clipboard held open by owner.exe (process 1234)");
  EXPECT_EQ(HeldClipboardProblem(named),
            "Clipboard held open by owner.exe (process 1234, window class HangOwner)");
  EXPECT_EQ(HeldClipboardProblem({0x1234, "", 1234, "/x/owner.exe"}),
            "Clipboard held open by owner.exe (process 1234)");
  EXPECT_EQ(HeldClipboardProblem(nameless),
            "Clipboard held open by another program (window class HangOwner)");
  EXPECT_EQ(HeldClipboardProblem({}), "Clipboard held open by another program");
}
