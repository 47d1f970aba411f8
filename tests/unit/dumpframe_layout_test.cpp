// The frame's portable rules: the encoding table, the view's placement above
// the status bar, and which save outcomes are reported.
#include <gtest/gtest.h>

#include "app/resource.h"
#include "dumpframe/framelayout.h"

TEST(EncodingCommands, EachSelectsItsCodePage) {
  EXPECT_EQ(CodePageOfEncodingCommand(ID_ENCODING_CP1252), 1252);
  EXPECT_EQ(CodePageOfEncodingCommand(ID_ENCODING_SHIFT_JIS), 932);
  EXPECT_EQ(CodePageOfEncodingCommand(ID_ENCODING_EUC_JP), 51932);
  EXPECT_EQ(CodePageOfEncodingCommand(ID_ENCODING_UTF16LE), 1200);
  EXPECT_EQ(CodePageOfEncodingCommand(ID_ENCODING_UTF8), 65001);
  // The neighbours are not encodings.
  EXPECT_EQ(CodePageOfEncodingCommand(ID_SAVE), 0);
  EXPECT_EQ(CodePageOfEncodingCommand(ID_CLOSE), 0);
  EXPECT_EQ(CodePageOfEncodingCommand(0), 0);
}

TEST(ViewPlacement, FillsTheClientAboveTheStatusBar) {
  const ViewPlacement p = ViewPlacementOf(634, 241, 23);
  EXPECT_EQ(p.x, 0);
  EXPECT_EQ(p.y, 0);
  EXPECT_EQ(p.width, 634);
  EXPECT_EQ(p.height, 218);
}

TEST(ViewPlacement, NeverNegative) {
  EXPECT_EQ(ViewPlacementOf(100, 23, 23).height, 0);
  EXPECT_EQ(ViewPlacementOf(100, 10, 23).height, 0);
  EXPECT_EQ(ViewPlacementOf(0, 0, 23).height, 0);
  EXPECT_EQ(ViewPlacementOf(0, 0, 23).width, 0);
  EXPECT_EQ(ViewPlacementOf(65535, 65535, 0).height, 65535);
}

TEST(SaveOutcome, OnlyAWholeSuccessfulWriteIsSilent) {
  EXPECT_EQ(SaveWriteErrorText(true, 256, 256), nullptr);
  EXPECT_EQ(SaveWriteErrorText(true, 0, 0), nullptr);  // no snapshot: an empty file
  EXPECT_STREQ(SaveWriteErrorText(true, 255, 256), "File Write Error !!");
  EXPECT_STREQ(SaveWriteErrorText(false, 0, 256), "File Write Error !!");
  EXPECT_STREQ(SaveWriteErrorText(false, 256, 256), "File Write Error !!");
}
