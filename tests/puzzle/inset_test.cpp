// The corner and edge geometry behind the bevelled piece edges.
#include <cmath>

#include "fixture.h"


TEST(InsetCorner, RightAnglesAndObliqueCorners) {
  // Axis-parallel right angle: (5, 5) in from the corner.
  EXPECT_EQ(InsetCorner({100, 100}, {200, 100}, {100, 200}), (TPoint{105, 105}));
  EXPECT_EQ(InsetCorner({200, 200}, {100, 200}, {200, 100}), (TPoint{195, 195}));
  // An oblique corner: the point lies 5 px from both edges.
  const TPoint P{100, 100}, N{200, 150}, Q{150, 200};
  const TPoint r = InsetCorner(P, N, Q);
  auto distToLine = [](TPoint a, TPoint b, TPoint p) {
    const double dx = b.X - a.X, dy = b.Y - a.Y;
    return std::fabs(dx * (p.Y - a.Y) - dy * (p.X - a.X)) / std::hypot(dx, dy);
  };
  EXPECT_NEAR(distToLine(P, N, r), 5, 0.8);
  EXPECT_NEAR(distToLine(P, Q, r), 5, 0.8);
}

TEST(InsetCorner, StraightOrDegenerateCornersHaveNoInsidePoint) {
  TPoint out;
  EXPECT_FALSE(TryInsetCorner({100, 100}, {200, 150}, {0, 50}, out));     // 180 degrees, oblique
  EXPECT_FALSE(TryInsetCorner({100, 100}, {200, 200}, {300, 300}, out));  // folded back
  TryInsetCorner({INT32_MIN, 5}, {INT32_MAX, 7}, {INT32_MAX, -9}, out);  // no UB on extremes
  EXPECT_EQ(InsetCorner({100, 100}, {200, 150}, {0, 50}), (TPoint{100, 100}));
}

TEST(EdgeAngle, VerticalAndSloped) {
  EXPECT_DOUBLE_EQ(EdgeAngle({5, 0}, {5, 10}), M_PI / 2);
  EXPECT_DOUBLE_EQ(EdgeAngle({0, 0}, {10, 0}), 0.0);
  EXPECT_NEAR(EdgeAngle({0, 0}, {10, 10}), M_PI / 4, 1e-12);
  EXPECT_NEAR(EdgeAngle({10, 10}, {0, 0}), M_PI / 4, 1e-12);
}
