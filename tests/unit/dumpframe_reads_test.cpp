// The dump window's title over a life of reads, and which read counts as
// its first when a newer one replaces it before it ended.
#include <gtest/gtest.h>

#include "dumpframe/framestate.h"

TEST(FrameReads, TheTitleFollowsEachReadUnlessTheFirstFailed) {
  struct Step {
    bool first, read, showsError;
  };
  const struct {
    const char* life;
    std::vector<Step> steps;
  } lives[] = {
      {"first read good, a failure, a good read", {{true, true, false}, {false, false, true}, {false, true, false}}},
      {"first read failed: marked for good", {{true, false, true}, {false, true, true}, {false, true, true}}},
      {"a failed first read replaced by a good first read", {{true, false, true}, {true, true, false}}},
  };
  for (const auto& life : lives) {
    SCOPED_TRACE(life.life);
    FrameTitleState title;
    for (const Step& step : life.steps) {
      title = TitleAfterRead(title, step.first, step.read);
      EXPECT_EQ(title.showsReadError, step.showsError);
    }
  }
}

TEST(FrameReads, AReadThatReplacesAWaitingFirstReadIsTheFirst) {
  PendingRead waitingFirst;
  waitingFirst.ticket = 7;
  waitingFirst.first = true;
  PendingRead ended = waitingFirst;
  ended.ticket = kNoRead;
  PendingRead next;
  next.format = 13;
  EXPECT_TRUE(Superseding(waitingFirst, next).first);
  EXPECT_FALSE(Superseding(ended, next).first) << "a first read that ended is over";
  EXPECT_EQ(Superseding(waitingFirst, next).format, 13u);
}
