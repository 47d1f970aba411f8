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

// The Details pane beside the view: two-fifths by default, at least 200
// pixels while the view keeps its 120, the splitter between, and whatever
// the user's share, nothing negative and nothing past the client.
TEST(DetailsPlacement, PaneViewAndSplitterShareTheWidth) {
  const DetailsGeometry g{5, 200, 120};
  const struct {
    int width;
    int share;
    int view;
    int pane;
  } cases[] = {
      {1000, kDefaultPaneShare, 595, 400},  // two-fifths
      {400, kDefaultPaneShare, 195, 200},   // the minimum width
      {300, kDefaultPaneShare, 120, 175},   // the view keeps its own minimum first
      {100, kDefaultPaneShare, 95, 0},      // no room for a pane
      {1000, kFullShare, 120, 875},         // dragged to the far left
      {1000, 0, 795, 200},                  // dragged to the far right: the minimum holds
  };
  for (const auto& c : cases) {
    const DetailsPlacement p = DetailsPlacementOf(c.width, 300, 20, c.share, g);
    EXPECT_EQ(p.view.width, c.view) << c.width << " " << c.share;
    EXPECT_EQ(p.pane.width, c.pane) << c.width << " " << c.share;
    EXPECT_EQ(p.splitter.x, p.view.width);
    EXPECT_EQ(p.pane.x + p.pane.width, c.width);
    EXPECT_EQ(p.pane.height, 280);
  }
  // The splitter's middle follows the pointer.
  EXPECT_EQ(DetailsPlacementOf(1000, 300, 20, PaneShareAt(700, 1000, g), g).splitter.x, 697);
}
