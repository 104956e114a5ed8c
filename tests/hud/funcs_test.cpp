// Drawing helpers: the hit test, digit counting and picking, and the texture set per level.
#include <gtest/gtest.h>

#include "game/state.h"
#include "hud/funcs.h"

TEST(Funcs, PointInRectCountsAllFourEdges) {
  const TRect r{10, 20, 30, 40};
  EXPECT_TRUE(PointInRect({10, 20}, r));
  EXPECT_TRUE(PointInRect({30, 40}, r));
  EXPECT_FALSE(PointInRect({31, 40}, r));
  EXPECT_FALSE(PointInRect({30, 41}, r));
  EXPECT_FALSE(PointInRect({9, 25}, r));
  EXPECT_FALSE(PointInRect({15, 19}, r));
}

TEST(Funcs, DigitCountThresholds) {
  const struct {
    int32_t v, n;
  } rows[] = {{-5, 1},     {0, 1},       {9, 1},       {10, 2},      {99, 2},       {100, 3},
              {999, 3},    {1000, 4},    {9999, 4},    {10000, 5},   {99999, 5},    {100000, 6},
              {999999, 6}, {1000000, 6}, {INT32_MIN, 1}, {INT32_MAX, 6}};
  for (auto& r : rows) EXPECT_EQ(DigitCount(r.v), r.n) << r.v;
}

TEST(Funcs, DigitAtPicksFromTheLeft) {
  EXPECT_EQ(DigitAt(1, 305), 3);
  EXPECT_EQ(DigitAt(2, 305), 0);
  EXPECT_EQ(DigitAt(3, 305), 5);
  EXPECT_EQ(DigitAt(1, 0), 0);
  EXPECT_EQ(DigitAt(6, 987654), 4);
  EXPECT_EQ(DigitAt(1, 987654), 9);
}

TEST(Funcs, DigitAtStaysADigitOutsideTheShownRange) {
  for (int32_t v : {-1, -42, -999999, INT32_MIN, 1000000, 1234567, INT32_MAX})
    for (int pos = 0; pos <= 7; ++pos) {
      const int32_t d = DigitAt(static_cast<uint8_t>(pos), v);
      EXPECT_GE(d, 0) << v << " " << pos;
      EXPECT_LE(d, 9) << v << " " << pos;
    }
  EXPECT_EQ(DigitAt(1, 1234567), 2);  // shows the low six digits
  EXPECT_EQ(DigitAt(1, -7), 7);
}

TEST(Funcs, LevelTextureCyclesEveryTwentyFive) {
  const struct {
    int level, set;
  } rows[] = {{0, 0}, {4, 0}, {5, 1}, {24, 4}, {25, 0}, {49, 4}, {50, 0}, {99, 4}};
  for (auto& r : rows) {
    CurrentLevel = r.level;
    EXPECT_EQ(LevelTexture(), r.set) << r.level;
  }
  CurrentLevel = 0;
}
