// The shell's row layout: every episode shares the same twenty rows.
#include <gtest/gtest.h>

#include "game/state.h"

TEST(Shell, RowRectanglesAreSharedByEpisodes) {
  LayOutLevelRows();
  EXPECT_EQ(LevelCatalogue[25].Row, (TRect{310, 315, 490, 347}));
  EXPECT_EQ(LevelCatalogue[45].Row, (TRect{310, 315, 490, 347}));
  EXPECT_EQ(LevelCatalogue[19].Row, (TRect{530, 439, 710, 471}));
}
