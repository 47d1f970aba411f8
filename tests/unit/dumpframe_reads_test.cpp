// The dump window's title over a life of reads ({first read, read made,
// error shown after it}), and which read counts as the first.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "dumpframe/framestate.h"

TEST(FrameReads, TheTitleFollowsEachReadUnlessTheFirstFailedAndAReplacedFirstReadStaysFirst) {
  const std::vector<std::vector<std::array<bool, 3>>> lives = {
      {{true, true, false}, {false, false, true}, {false, true, false}},
      {{true, false, true}, {false, true, true}, {false, true, true}},  // marked for good
      {{true, false, true}, {true, true, false}},                       // the first read replaced
  };
  for (const auto& life : lives) {
    FrameTitleState title;
    for (const auto& [first, read, showsError] : life) {
      title = TitleAfterRead(title, first, read);
      EXPECT_EQ(title.showsReadError, showsError) << &life - lives.data();
    }
  }
  PendingRead waitingFirst{7, 1, false, false, true};
  EXPECT_TRUE(Superseding(waitingFirst, PendingRead{}).first);
  waitingFirst.ticket = kNoRead;
  EXPECT_FALSE(Superseding(waitingFirst, PendingRead{}).first) << "a first read that ended is over";
}
