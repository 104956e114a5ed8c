// The desktop platforms' time of day and random numbers.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "platform/clocks.h"

TEST(DayFraction, MidnightNoonAndTheLastMillisecond) {
  EXPECT_EQ(plat::DayFraction(0, 0, 0, 0), 0.0);
  EXPECT_DOUBLE_EQ(plat::DayFraction(12, 0, 0, 0), 0.5);
  EXPECT_DOUBLE_EQ(plat::DayFraction(6, 30, 15, 500), (6 * 3600 + 30 * 60 + 15.5) / 86400.0);
  const double last = plat::DayFraction(23, 59, 59, 999);
  EXPECT_LT(last, 1.0);
  EXPECT_GT(last, 0.99998);
  // A leap second counts as the 59th, so the day never reaches 1.
  EXPECT_EQ(plat::DayFraction(23, 59, 60, 999), last);
  EXPECT_EQ(plat::DayFraction(24, 0, 0, 0), 0.0);
}

TEST(RandomSource, TheSameSequenceUntilSeededAndAlwaysInRange) {
  plat::RandomSource a, b;
  std::mt19937 reference{5489u};
  for (int i = 0; i < 50; ++i) {
    const int v = a.Below(7);
    EXPECT_EQ(v, std::uniform_int_distribution<int>(0, 6)(reference));
    EXPECT_EQ(b.Below(7), v);
  }
  EXPECT_EQ(a.Below(1), 0);
  EXPECT_EQ(a.Below(0), 0);
  EXPECT_EQ(a.Below(-5), 0);
  // Equal seeds give equal sequences; another seed another one.
  a.Seed({1, 2, 3});
  b.Seed({1, 2, 3});
  plat::RandomSource c;
  c.Seed({1, 2, 4});
  std::vector<int> fromA, fromB, fromC;
  for (int i = 0; i < 20; ++i) {
    fromA.push_back(a.Below(1000));
    fromB.push_back(b.Below(1000));
    fromC.push_back(c.Below(1000));
    EXPECT_GE(fromA.back(), 0);
    EXPECT_LT(fromA.back(), 1000);
  }
  EXPECT_EQ(fromA, fromB);
  EXPECT_NE(fromA, fromC);
}
