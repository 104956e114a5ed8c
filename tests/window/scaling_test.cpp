// The picture in a window of any size: where it goes, how it is filtered, how the pointer
// maps back, and which size a first window takes on a desktop.
#include <gtest/gtest.h>

#include "platform/scaling.h"

using plat::FitPicture;
using plat::PictureBox;
using plat::ScaleFilter;

namespace {

struct FitCase {
  int outW, outH;
  PictureBox want;
};

TEST(FitPicture, WholeFactorsWhereTheWindowAllowsElseTheFittingSizeSmoothed) {
  const FitCase cases[] = {
      {800, 600, {0, 0, 800, 600, 1, ScaleFilter::Nearest}},
      {1600, 1200, {0, 0, 1600, 1200, 2, ScaleFilter::Nearest}},
      {2400, 1800, {0, 0, 2400, 1800, 3, ScaleFilter::Nearest}},
      // A little wider than 2x: sharp 2x with a thin border beats a blurred 2.06x.
      {1650, 1250, {25, 25, 1600, 1200, 2, ScaleFilter::Nearest}},
      // Exactly nine tenths: still whole; one pixel more and the window is filled.
      {888, 666, {44, 33, 800, 600, 1, ScaleFilter::Nearest}},
      {889, 667, {0, 0, 889, 666, 0, ScaleFilter::Linear}},
      // 1.17x: 1x would waste too much of the window; fill it, smoothed.
      {1000, 700, {33, 0, 933, 700, 0, ScaleFilter::Linear}},
      // A full-HD screen: 1.8x, letterboxed left and right.
      {1920, 1080, {240, 0, 1440, 1080, 0, ScaleFilter::Linear}},
      // A tall window: bars above and below.
      {800, 1000, {0, 200, 800, 600, 1, ScaleFilter::Nearest}},
      // Smaller than the picture: scaled down, smoothed.
      {400, 300, {0, 0, 400, 300, 0, ScaleFilter::Linear}},
      {640, 600, {0, 60, 640, 480, 0, ScaleFilter::Linear}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.outW) + "x" + std::to_string(c.outH));
    EXPECT_EQ(FitPicture(c.outW, c.outH), c.want);
  }
}

TEST(FitPicture, ThePictureAlwaysFitsInsideAndKeepsItsProportions) {
  for (int w = 1; w <= 4000; w += 37)
    for (int h = 1; h <= 3000; h += 41) {
      const PictureBox b = FitPicture(w, h);
      ASSERT_GE(b.X, 0);
      ASSERT_GE(b.Y, 0);
      ASSERT_LE(b.X + b.W, w) << w << "x" << h;
      ASSERT_LE(b.Y + b.H, h) << w << "x" << h;
      // 4:3 to within the one pixel the whole-pixel size rounds away.
      ASSERT_LE(std::abs(b.W * 3 - b.H * 4), 4) << w << "x" << h;
      if (b.Filter == ScaleFilter::Nearest) {
        ASSERT_EQ(b.W, b.Factor * 800);
        ASSERT_EQ(b.H, b.Factor * 600);
      }
    }
}

TEST(FitPicture, AnEmptyOrHugeOutputGivesAUsableBox) {
  EXPECT_EQ(FitPicture(0, 0), PictureBox{});
  EXPECT_EQ(FitPicture(-5, 600), PictureBox{});
  const PictureBox huge = FitPicture(2000000000, 1500000000);
  EXPECT_EQ(huge.Filter, ScaleFilter::Nearest);
  EXPECT_EQ(huge.W, huge.Factor * 800);
  EXPECT_LE(huge.W, 2000000000);
}

TEST(OutputToPicture, CornersBarsAndWholeFactorBlocks) {
  const PictureBox two = FitPicture(1650, 1250);  // 2x at (25, 25)
  EXPECT_EQ(plat::OutputToPicture(two, 25, 25), (TPoint{0, 0}));
  EXPECT_EQ(plat::OutputToPicture(two, 26, 26), (TPoint{0, 0}));
  EXPECT_EQ(plat::OutputToPicture(two, 27, 27), (TPoint{1, 1}));
  EXPECT_EQ(plat::OutputToPicture(two, 25 + 1599, 25 + 1199), (TPoint{799, 599}));
  // The bars: the nearest edge of the picture.
  EXPECT_EQ(plat::OutputToPicture(two, 0, 0), (TPoint{0, 0}));
  EXPECT_EQ(plat::OutputToPicture(two, 1649, 1249), (TPoint{799, 599}));
  EXPECT_EQ(plat::OutputToPicture(two, 10, 625), (TPoint{0, 300}));
  EXPECT_EQ(plat::OutputToPicture(two, -100000, 2000000000), (TPoint{0, 599}));
  // At 1x it is the identity inside the picture.
  const PictureBox one = FitPicture(800, 600);
  EXPECT_EQ(plat::OutputToPicture(one, 310, 160), (TPoint{310, 160}));
}

TEST(OutputToPicture, EveryGamePixelIsReachedAndTheMappingNeverGoesBack) {
  for (const auto& out : {std::pair{1000, 700}, {1920, 1080}, {1650, 1250}, {401, 301}, {3000, 2000}}) {
    const PictureBox b = FitPicture(out.first, out.second);
    SCOPED_TRACE(std::to_string(out.first) + "x" + std::to_string(out.second));
    int lastX = -1;
    std::vector<bool> seen(800, false);
    for (int x = b.X; x < b.X + b.W; ++x) {
      const int gx = plat::OutputToPicture(b, x, b.Y).X;
      ASSERT_GE(gx, lastX);
      lastX = gx;
      seen[static_cast<size_t>(gx)] = true;
    }
    // Upscaled, every column of the game has at least one output column.
    if (b.W >= 800) {
      for (int gx = 0; gx < 800; ++gx) ASSERT_TRUE(seen[static_cast<size_t>(gx)]) << gx;
    }
    EXPECT_EQ(lastX, 799);
    EXPECT_EQ(plat::OutputToPicture(b, b.X + b.W - 1, b.Y + b.H - 1), (TPoint{799, 599}));
  }
}

TEST(FirstWindowSize, TheLargestWholeMultipleWithinMostOfTheDesktop) {
  struct Case {
    int dw, dh, w, h;
  };
  const Case cases[] = {
      {1024, 768, 800, 600},     // 1x: 85 % is 870 x 652
      {1920, 1080, 800, 600},    // 2x would need 1200 rows of 918
      {1920, 1200, 800, 600},    // 1020 rows: still short of 1200
      {2560, 1440, 1600, 1200},  // 2176 x 1224
      {3840, 2160, 2400, 1800},  // 3264 x 1836
      {5120, 2880, 3200, 2400},  // 4352 x 2448
      {640, 480, 800, 600},      // never below 1x
      {0, 0, 800, 600},          // desktop unknown
  };
  for (const auto& c : cases) {
    int w = 0, h = 0;
    plat::FirstWindowSize(c.dw, c.dh, w, h);
    EXPECT_EQ(w, c.w) << c.dw << "x" << c.dh;
    EXPECT_EQ(h, c.h) << c.dw << "x" << c.dh;
  }
}

TEST(RememberedSizeFits, KeptWhenItFitsTheDesktopAndIsNotTooSmall) {
  EXPECT_TRUE(plat::RememberedSizeFits(1000, 700, 1920, 1080));
  EXPECT_TRUE(plat::RememberedSizeFits(1920, 1080, 1920, 1080));
  EXPECT_FALSE(plat::RememberedSizeFits(1921, 1080, 1920, 1080));  // from a larger screen
  EXPECT_FALSE(plat::RememberedSizeFits(399, 300, 1920, 1080));
  EXPECT_FALSE(plat::RememberedSizeFits(0, 0, 1920, 1080));          // nothing remembered
  EXPECT_TRUE(plat::RememberedSizeFits(3000, 2000, 0, 0));           // desktop unknown
  EXPECT_FALSE(plat::RememberedSizeFits(20000, 600, 0, 0));
}

}  // namespace
