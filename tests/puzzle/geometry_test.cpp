// Geometry: turning points, the hit test in both windings, picking and stacking, the layout.
#include "fixture.h"
#include "puzzle/internal.h"

TEST(Geometry, RotatePointRoundsToNearest) {
  EXPECT_EQ(RotatePoint(15, {100, 0}), (TPoint{97, 26}));
  EXPECT_EQ(RotatePoint(90, {10, 0}), (TPoint{0, 10}));
  EXPECT_EQ(RotatePoint(180, {10, -3}), (TPoint{-10, 3}));
  EXPECT_EQ(RotatePoint(345, {100, 0}), (TPoint{97, -26}));
  EXPECT_EQ(RotatePoint(0, {-7, 8}), (TPoint{-7, 8}));
  // Extreme offsets from a corrupt file saturate instead of overflowing.
  TPoint big = RotatePoint(45, {INT32_MAX, INT32_MAX});
  EXPECT_EQ(big.Y, INT32_MAX);
}

namespace {
void MakeSquare(int n, TPoint pos, bool clockwise) {
  TPiece& p = PieceTable[n];
  p.CornerCount = 4;
  const TPoint cw[4] = {{-50, -50}, {50, -50}, {50, 50}, {-50, 50}};
  for (int i = 0; i < 4; ++i) p.Offsets[i + 1] = clockwise ? cw[i] : cw[3 - i];
  p.Position = pos;
  p.Angle = 0;
  UpdateCorners(static_cast<uint8_t>(n));
}
}  // namespace

TEST_F(PuzzleTest, HitTestOnEdgesDependsOnWinding) {
  NumFig = 2;
  MakeSquare(1, {100, 100}, true);   // inner points give c > 0
  MakeSquare(2, {400, 100}, false);  // inner points give c < 0
  EXPECT_TRUE(PointInPiece({100, 100}, 1));
  EXPECT_TRUE(PointInPiece({400, 100}, 2));
  EXPECT_FALSE(PointInPiece({100, 100}, 2));
  // On an edge: outside for the clockwise piece, inside for the counter-clockwise one.
  for (TPoint e : {TPoint{50, 100}, TPoint{150, 80}, TPoint{100, 50}, TPoint{120, 150}, TPoint{50, 50}})
    EXPECT_FALSE(PointInPiece(e, 1)) << e.X << "," << e.Y;
  for (TPoint e : {TPoint{350, 100}, TPoint{450, 80}, TPoint{400, 50}, TPoint{420, 150}, TPoint{350, 50}})
    EXPECT_TRUE(PointInPiece({e.X, e.Y}, 2)) << e.X << "," << e.Y;
  EXPECT_FALSE(PointInPiece({451, 100}, 2));
  EXPECT_FALSE(PointInPiece({100, 100}, 3));  // an empty entry covers nothing
}

TEST_F(PuzzleTest, PieceAtPrefersHighestIndexWhateverTheStack) {
  NumFig = 5;
  for (int i = 1; i <= 5; ++i) {
    MakeSquare(i, {100 + 200 * i, 500}, true);
    PieceTable[i].StackOrder = i;
  }
  MakeSquare(2, {300, 300}, true);
  MakeSquare(5, {320, 310}, false);
  PieceTable[2].StackOrder = 5;
  PieceTable[5].StackOrder = 2;
  EXPECT_EQ(PieceAt({310, 300}), 5);
  EXPECT_EQ(PieceAt({260, 290}), 2);
  EXPECT_EQ(PieceAt({10, 10}), 0);
  EXPECT_EQ(PieceWithOrder(5), 2);
  EXPECT_EQ(PieceWithOrder(2), 5);
  EXPECT_EQ(PieceWithOrder(9), 5);  // none: NumFig
}

TEST_F(PuzzleTest, SetupAndScatterLayOutTheLevel) {
  std::string text = "[level0]\nNumFig=7\n";
  WriteFile("Episode0.dat", text);
  fake.randomSequence = {0, 1, 23, 5, 7, 11, 2};
  SetupLevel(0);
  EXPECT_EQ(PieceTable[0].Corners[1], (TPoint{300, 100}));
  EXPECT_EQ(PieceTable[0].Corners[3], (TPoint{500, 300}));
  const TPoint expect[7] = {{150, 120}, {650, 120}, {150, 240}, {650, 240}, {150, 360}, {650, 360}, {150, 480}};
  for (int i = 1; i <= 7; ++i) {
    EXPECT_EQ(PieceTable[i].Position, expect[i - 1]);
    EXPECT_EQ(PieceTable[i].StackOrder, i);
    EXPECT_EQ(PieceTable[i].TextureTurn, 20 * i);
    EXPECT_EQ(PieceTable[i].Angle, 15 * fake.randomSequence[i - 1]);
  }
  // Twelve pieces: spacing 78.
  WriteFile("Episode0.dat", "[level0]\nNumFig=12\n");
  Settings.Difficulty = 0;
  SetupLevel(0);
  EXPECT_EQ(PieceTable[1].Position, (TPoint{150, 78}));
  EXPECT_EQ(PieceTable[12].Position, (TPoint{650, 468}));
  for (int i = 1; i <= 12; ++i) EXPECT_EQ(PieceTable[i].Angle, 0);  // easy: unturned
}

TEST_F(PuzzleTest, StartGameKeepsCountersAndClearsTheHand) {
  WriteFile("Episode0.dat", FourSquares(0));
  MovesCount = 4;
  RotatesCount = 9;
  LevelScore = 33;
  HoverPiece = 2;
  Dragging = RotateMode = true;
  StartGame();
  EXPECT_EQ(MovesCount, 4);
  EXPECT_EQ(RotatesCount, 9);
  EXPECT_EQ(LevelScore, 33);
  EXPECT_EQ(HoverPiece, 0);
  EXPECT_FALSE(Dragging);
  EXPECT_FALSE(RotateMode);
}

TEST(Geometry, CrossSignIsExactAtTheEdgesOfInt32) {
  using puzzle_detail::CrossSign;
  const int64_t M = 4294967295;  // the widest difference of two int32 values
  struct Row {
    int64_t a, b, c, d;
    int sign;
  };
  const Row rows[] = {
      {2, 3, 1, 6, 0},          {2, 3, 1, 5, 1},           {2, 3, 1, 7, -1},
      {0, M, 0, -M, 0},         {0, 5, 1, 1, -1},          {0, 5, -1, 1, 1},
      {M, M, M, M, 0},          {M, M, M, M - 1, 1},       {-M, M, M, -M, 0},
      {-M, M, -M, M - 1, -1},   {M, -M, -M, -M, -1},       {-M, -M, M, -M, 1},
      // Products past 2^63 that differ by one: a 64-bit signed product would overflow and
      // a double would round them together.
      {M, M - 2, M - 1, M - 1, -1}, {-M, -(M - 2), M - 1, M - 1, -1},
      {M - 1, M - 1, M, M - 2, 1},  {M - 1, -(M - 1), M, -(M - 2), -1},
  };
  for (const Row& r : rows)
    EXPECT_EQ(CrossSign(r.a, r.b, r.c, r.d), r.sign) << r.a << " " << r.b << " " << r.c << " " << r.d;
}

TEST_F(PuzzleTest, HitTestOnHugeCornersStaysExact) {
  // A corrupt level's corners at the ends of int32: the point on the long edge is inside,
  // the one a step off it is not.
  NumFig = 1;
  TPiece& p = PieceTable[1];
  p.CornerCount = 3;
  p.Position = {0, 0};
  p.Angle = 0;
  p.Offsets[1] = {INT32_MIN, INT32_MIN};
  p.Offsets[2] = {INT32_MAX, INT32_MAX};
  p.Offsets[3] = {INT32_MIN, INT32_MAX};
  UpdateCorners(1);
  EXPECT_FALSE(PointInPiece({1, 0}, 1));
  EXPECT_TRUE(PointInPiece({-1, 0}, 1));
  EXPECT_TRUE(PointInPiece({-1, 2147483646}, 1));
}
