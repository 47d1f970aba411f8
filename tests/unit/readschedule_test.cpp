// The clipboard reader's rules without its thread: one read at a time, the
// newest of a requester's reads wins, and every outcome is either taken once
// or discarded once (each read's bytes stand for a buffer that must be freed
// exactly once); then the texts that name the clipboard's owner and holder.
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
  // Begins the next read and ends it with a buffer of its own; what became
  // of it.
  ReadEnding Run(std::uint32_t expectedFormat) {
    const std::optional<ReadJob> job = schedule_.Begin();
    EXPECT_TRUE(job.has_value());
    if (!job.has_value()) return {};
    EXPECT_EQ(job->request.format, expectedFormat);
    EXPECT_EQ(schedule_.Begin(), std::nullopt) << "one read at a time";
    ReadOutcome outcome;
    outcome.read = true;
    outcome.bytes = &buffers_[made_++ % 8];
    outcome.length = 1;
    return schedule_.End(outcome);
  }
  // The buffers that the schedule gave up, each once.
  std::multiset<std::uint8_t*> Discarded() {
    std::multiset<std::uint8_t*> bytes;
    while (std::optional<ReadOutcome> outcome = schedule_.TakeDiscarded()) bytes.insert(outcome->bytes);
    return bytes;
  }

  ReadSchedule schedule_;
  std::uint8_t buffers_[8] = {};
  unsigned made_ = 0;
};

}  // namespace

// A prompt read: kept for the requester still in its call, taken once.
// Reads of two requesters queue, in order, one at a time.
TEST_F(Schedule, ReadsAreMadeOneAtATimeAndTakenOnce) {
  const ReadTicket frame = Ask(kFrame, 1);
  const ReadTicket capture = Ask(kCapture, 2);
  const ReadEnding ending = Run(1);
  EXPECT_EQ(ending.delivery, ReadDelivery::Kept);
  EXPECT_EQ(ending.requester, kFrame);
  EXPECT_TRUE(schedule_.Ended(frame));
  EXPECT_FALSE(schedule_.NotifyWhenEnded(frame)) << "ended already: taken in the call";
  const ReadOutcome taken = schedule_.Take(frame);
  EXPECT_EQ(taken.ticket, frame);
  EXPECT_EQ(taken.bytes, &buffers_[0]);
  EXPECT_TRUE(schedule_.Take(frame).cancelled);

  EXPECT_TRUE(schedule_.NotifyWhenEnded(capture));
  EXPECT_EQ(Run(2).delivery, ReadDelivery::Notify);
  EXPECT_EQ(schedule_.Take(capture).bytes, &buffers_[1]);
  EXPECT_TRUE(Discarded().empty());
  EXPECT_FALSE(schedule_.UnderWay());
}

// Asked for again while its read hangs: the hung read is abandoned, the reads
// asked for meanwhile never made but the newest, and the other requester's
// read keeps its place.
TEST_F(Schedule, TheNewestReadOfARequesterWins) {
  const ReadTicket hung = Ask(kFrame, 1);
  ASSERT_TRUE(schedule_.Begin().has_value());
  const ReadTicket capture = Ask(kCapture, 9);
  for (std::uint32_t format = 2; format <= 4; ++format) Ask(kFrame, format);
  const ReadTicket newest = Ask(kFrame, 5);
  ReadOutcome late;
  late.bytes = &buffers_[7];
  EXPECT_EQ(schedule_.End(late).delivery, ReadDelivery::Discarded);
  EXPECT_EQ(Discarded(), std::multiset<std::uint8_t*>{&buffers_[7]});
  EXPECT_EQ(Run(9).requester, kCapture);
  EXPECT_EQ(Run(5).ticket, newest);
  EXPECT_FALSE(schedule_.Begin().has_value()) << "formats 2 to 4 are never read";
  EXPECT_TRUE(schedule_.Take(hung).cancelled);
  EXPECT_FALSE(schedule_.Take(capture).cancelled);
  // An outcome left untaken goes when its requester asks again.
  Ask(kFrame, 6);
  EXPECT_EQ(Discarded(), std::multiset<std::uint8_t*>{&buffers_[1]});
}

// Cancelled or forgotten with its requester, a read that waits is never made,
// one under way is discarded when it ends, an ended one at once.
TEST_F(Schedule, CancelledAndForgottenReadsAreDiscardedNeverDelivered) {
  for (const bool cancel : {true, false}) {
    SCOPED_TRACE(cancel ? "cancelled" : "requester gone");
    const auto giveUp = [&](ReadTicket ticket) {
      if (cancel)
        schedule_.Cancel(ticket);
      else
        schedule_.ForgetRequesters([](std::uint64_t requester) { return requester == kFrame; });
    };
    made_ = 0;
    const ReadTicket ended = Ask(kFrame, 1);
    Run(1);
    giveUp(ended);
    EXPECT_EQ(Discarded(), std::multiset<std::uint8_t*>{&buffers_[0]});

    const ReadTicket underWay = Ask(kFrame, 2);
    const ReadTicket other = Ask(kCapture, 3);
    ASSERT_TRUE(schedule_.Begin().has_value());
    giveUp(underWay);
    ReadOutcome late;
    late.bytes = &buffers_[7];
    EXPECT_EQ(schedule_.End(late).delivery, ReadDelivery::Discarded);

    const ReadTicket waiting = Ask(kFrame, 4);
    giveUp(waiting);
    EXPECT_EQ(Run(3).ticket, other);
    EXPECT_FALSE(schedule_.Begin().has_value());
    EXPECT_EQ(Discarded(), std::multiset<std::uint8_t*>{&buffers_[7]});
    EXPECT_EQ(schedule_.Take(other).bytes, &buffers_[1]);
    for (const ReadTicket gone : {ended, underWay, waiting}) EXPECT_TRUE(schedule_.Take(gone).cancelled);
  }
}

TEST(OwnerTexts, NameTheProgramOrSayWhoInGeneral) {
  const ClipboardWindow named{0x1234, "HangOwner", 1234, "C:\\Program Files\\Owner\\owner.exe"};
  const ClipboardWindow nameless{0x1234, "HangOwner", 1234, ""};
  EXPECT_EQ(OwnerWaitText(named, "HangFormat(0xC0A1)"),
            "Waiting for owner.exe (process 1234) to render HangFormat(0xC0A1). Esc cancels.");
  EXPECT_EQ(OwnerWaitText(nameless, "CF_TEXT (1)"),
            "Waiting for the clipboard's owner to render CF_TEXT (1). Esc cancels.");
  EXPECT_EQ(OwnerWaitText({}, "CF_TEXT (1)"),
            "Waiting for the clipboard's owner to render CF_TEXT (1). Esc cancels.");
  EXPECT_EQ(HeldClipboardTitle(named), "Kelvane - clipboard held open by owner.exe (process 1234)");
  EXPECT_EQ(HeldClipboardTitle(nameless), "Kelvane - clipboard held open by another program");
  EXPECT_EQ(HeldClipboardTitle({}), "Kelvane - clipboard held open by another program");
  EXPECT_EQ(HeldClipboardProblem(named),
            "Clipboard held open by owner.exe (process 1234, window class HangOwner)");
  EXPECT_EQ(HeldClipboardProblem({0x1234, "", 1234, "/x/owner.exe"}),
            "Clipboard held open by owner.exe (process 1234)");
  EXPECT_EQ(HeldClipboardProblem(nameless),
            "Clipboard held open by another program (window class HangOwner)");
  EXPECT_EQ(HeldClipboardProblem({}), "Clipboard held open by another program");
}
