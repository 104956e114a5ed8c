// The player's hand: stacking, snapping, the turning table in both difficulties, counters
// and sounds; completion, level changes, keys, the clock and the automatic solution.
#include <cmath>

#include "fixture.h"
#include "hud/msgbox.h"

namespace {
constexpr TMouseButton L = TMouseButton::mbLeft, R = TMouseButton::mbRight, M = TMouseButton::mbMiddle;
}

class PlayTest : public PuzzleTest {
 protected:
  void SetUp() override {
    PuzzleTest::SetUp();
    WriteFile("Episode0.dat", FourSquares(0) + FourSquares(1) + TwoTriangles(2));
    fake.randomSequence = {0};  // every piece starts unturned
    CurrentLevel = 0;
    StartGame();
    ScreenState = scPlaying;
    sounds.clear();
  }
  // The shell's tick of the rotation timer.
  void Tick() { RotatePiece(static_cast<uint8_t>(form.RotatingPiece), static_cast<int8_t>(form.TimerRot.Tag)); }
  void Over(int piece) {
    const TPoint p = PieceTable[piece].Position;
    GameMouseMove(0, p.X, p.Y);
    ASSERT_EQ(HoverPiece, piece);
  }
  void Press(TMouseButton b, TShiftState s, int piece) {
    const TPoint p = PieceTable[piece].Position;
    GameMouseDown(b, s, p.X, p.Y);
  }
  void Release(TMouseButton b, int piece) {
    const TPoint p = PieceTable[piece].Position;
    GameMouseUp(b, 0, p.X, p.Y);
  }
  void Drag(int piece, TPoint to) {
    Over(piece);
    const TPoint from = PieceTable[piece].Position;
    GameMouseDown(L, ssLeft, from.X, from.Y);
    GameMouseMove(ssLeft, (from.X + to.X) / 2, (from.Y + to.Y) / 2);
    GameMouseMove(ssLeft, to.X, to.Y);
    GameMouseUp(L, 0, to.X, to.Y);
  }
};

TEST_F(PlayTest, PressBringsPieceToTopWithAnyButton) {
  Over(1);
  Press(M, ssMiddle, 1);
  Release(M, 1);
  EXPECT_EQ(PieceTable[1].StackOrder, 4);
  EXPECT_EQ(PieceTable[4].StackOrder, 1);
  Over(3);
  Press(R, ssRight, 3);
  Release(R, 3);
  EXPECT_EQ(PieceTable[3].StackOrder, 4);
  EXPECT_EQ(PieceTable[1].StackOrder, 3);
  EXPECT_EQ(PieceWithOrder(4), 3);
  // A press on empty space does nothing, not even with the right button.
  GameMouseMove(0, 400, 580);
  GameMouseDown(R, ssRight, 400, 580);
  EXPECT_FALSE(RotateMode);
  EXPECT_FALSE(form.TimerRot.Enabled());
  GameMouseUp(R, 0, 400, 580);
  EXPECT_EQ(RotatesCount, 1);
}

TEST_F(PlayTest, DragMovesCountsAndPlaysSounds) {
  Drag(1, {150, 560});
  EXPECT_EQ(PieceTable[1].Position, (TPoint{150, 560}));
  EXPECT_EQ(PieceTable[1].Corners[1], (TPoint{100, 510}));
  EXPECT_EQ(MovesCount, 1);
  EXPECT_EQ(CountSound("take"), 1);
  EXPECT_EQ(CountSound("drop"), 1);
  EXPECT_FALSE(Dragging);
  // Pieces may be dragged partly off the surface, and dropped on each other.
  Drag(1, {-20, 700});
  EXPECT_EQ(PieceTable[1].Position, (TPoint{-20, 700}));
}

TEST_F(PlayTest, SnapWithinTenPixelsButNotEleven) {
  // Corner 1 of piece 1 is its top-left (-50,-50). The slot-box corner is (300, 100).
  Drag(1, {350 + 6, 150 + 8});  // 10 px away: snaps
  EXPECT_EQ(PieceTable[1].Position, (TPoint{350, 150}));
  Drag(1, {150, 200});
  Drag(1, {350 + 11, 150});  // 11 px: stays
  EXPECT_EQ(PieceTable[1].Position, (TPoint{361, 150}));
}

TEST_F(PlayTest, SnapPrefersSlotBoxThenLowerPieces) {
  Drag(2, {200, 500});  // corners x 150..250, y 450..550
  Drag(3, {312, 500});  // corners x 262..362: 12 px from piece 2, no snap
  ASSERT_EQ(PieceTable[3].Position, (TPoint{312, 500}));
  // Piece 4's left corners land at x 257: 7 px from piece 2, 5 px from piece 3.
  Drag(4, {307, 500});
  EXPECT_EQ(PieceTable[4].Corners[1], (TPoint{250, 450}));  // the lower piece wins
  // Piece 1 lies 2 px right of home; piece 2 dropped with a corner exactly on piece 1's
  // corner and another 2 px from the slot-box's corner: the slot-box wins.
  PieceTable[1].Position = {352, 150};
  UpdateCorners(1);
  Drag(2, {452, 150});
  EXPECT_EQ(PieceTable[2].Position, (TPoint{450, 150}));
}

TEST_F(PlayTest, TurningTableNormalDifficulty) {
  const struct {
    const char* name;
    bool holdRight;
    TMouseButton press;
    TShiftState shift;
    int angleAfterPress;  // from 0, counting the held right press's own step
    int tickStep;
    uint8_t cursor;
  } rows[] = {
      {"right press", false, R, 0, 15, 15, 1},
      {"ctrl right press", false, R, ssCtrl, 345, -15, 2},
      {"left while right held", true, L, 0, 0, -15, 2},
      {"ctrl left while right held", true, L, ssCtrl, 30, 15, 1},
      {"middle while right held", true, M, 0, 30, 15, 1},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    CurrentLevel = 0;
    StartGame();
    RotatesCount = 0;
    Over(1);
    if (row.holdRight) {
      Press(R, ssRight, 1);  // one clockwise step
      EXPECT_EQ(PieceTable[1].Angle, 15);
    }
    Press(row.press, row.shift, 1);
    EXPECT_EQ(PieceTable[1].Angle, row.angleAfterPress);
    EXPECT_EQ(RotateCursor, row.cursor);
    EXPECT_TRUE(form.TimerRot.Enabled());
    EXPECT_EQ(form.RotatingPiece, 1);
    EXPECT_FALSE(Dragging);
    Tick();
    EXPECT_EQ(PieceTable[1].Angle, (row.angleAfterPress + row.tickStep + 360) % 360);
    Release(R, 1);
    EXPECT_FALSE(form.TimerRot.Enabled());
    EXPECT_FALSE(RotateMode);
    EXPECT_EQ(RotatesCount, row.holdRight ? 3 : 2);
    EXPECT_EQ(MovesCount, 0);
    EXPECT_EQ(CountSound("drop"), 0);
  }
}

TEST_F(PlayTest, WheelNotchesTurnExactlyOneStep) {
  Over(2);
  // Notch down: right press and release without modifiers.
  Press(R, 0, 2);
  Release(R, 2);
  EXPECT_EQ(PieceTable[2].Angle, 15);
  EXPECT_FALSE(form.TimerRot.Enabled());
  // Notch up: the same with Ctrl.
  Press(R, ssCtrl, 2);
  Release(R, 2);
  Press(R, ssCtrl, 2);
  Release(R, 2);
  EXPECT_EQ(PieceTable[2].Angle, 345);
  EXPECT_EQ(RotatesCount, 3);
  EXPECT_EQ(CountSound("rotate"), 3);
  EXPECT_EQ(MovesCount, 0);
  // Round the full circle and back over 345/0.
  for (int i = 0; i < 24; ++i) {
    Press(R, 0, 2);
    Release(R, 2);
  }
  EXPECT_EQ(PieceTable[2].Angle, 345);
  Press(R, 0, 2);
  Release(R, 2);
  EXPECT_EQ(PieceTable[2].Angle, 0);
  EXPECT_EQ(RotatesCount, 28);
}

TEST_F(PlayTest, EasyDifficultyNeverTurns) {
  Settings.Difficulty = 0;
  Over(1);
  Press(R, ssRight, 1);  // takes the piece like a left press
  EXPECT_TRUE(Dragging);
  EXPECT_FALSE(RotateMode);
  EXPECT_EQ(CountSound("take"), 1);
  GameMouseMove(ssRight, 356, 155);
  GameMouseUp(R, 0, 356, 155);
  EXPECT_EQ(PieceTable[1].Position, (TPoint{350, 150}));  // snapped
  EXPECT_EQ(MovesCount, 0);  // a right-button drop is not a move
  EXPECT_EQ(CountSound("drop"), 0);
  // Wheel notches: "take", and the release snaps where the piece lies.
  Over(1);
  Press(R, ssCtrl, 1);
  Release(R, 1);
  EXPECT_EQ(PieceTable[1].Angle, 0);
  EXPECT_EQ(CountSound("take"), 2);
  EXPECT_EQ(RotatesCount, 0);
  // A timer step in easy mode lands on 0 but still counts.
  RotatePiece(1, 1);
  EXPECT_EQ(PieceTable[1].Angle, 0);
  EXPECT_EQ(RotatesCount, 1);
}

TEST_F(PlayTest, HeldTurnKeepsTurningFirstPieceWhileHoverMoves) {
  Over(1);
  Press(R, ssRight, 1);
  GameMouseMove(ssRight, PieceTable[3].Position.X, PieceTable[3].Position.Y);
  EXPECT_EQ(HoverPiece, 3);
  Tick();
  EXPECT_EQ(PieceTable[1].Angle, 30);
  EXPECT_EQ(PieceTable[3].Angle, 0);
}

TEST_F(PlayTest, CompletionCountsOnceAndNextPressMovesOn) {
  const TPoint home[4] = {{350, 150}, {450, 150}, {350, 250}, {450, 250}};
  for (int i = 1; i <= 3; ++i) Drag(i, home[i - 1]);
  EXPECT_FALSE(LevelCompleted);
  EXPECT_EQ(ScreenState, scPlaying);
  Drag(4, {home[3].X + 3, home[3].Y - 4});
  EXPECT_TRUE(LevelCompleted);
  EXPECT_EQ(ScreenState, scLevelComplete);
  EXPECT_EQ(PlayerRecord.SolvedFlags(0), -1);
  EXPECT_EQ(PlayerRecord.SolvedCount(), 1);
  int ends = 0;
  for (auto& s : sounds) ends += s.size() == 4 && s.rfind("end", 0) == 0 && s[3] >= '1' && s[3] <= '6';
  EXPECT_EQ(ends, 1);
  // Solve the same level again: no second count.
  ScreenState = scPlaying;
  CurrentLevel = 0;
  StartGame();
  LevelCompleted = false;
  for (int i = 1; i <= 4; ++i) Drag(i, home[i - 1]);
  EXPECT_TRUE(LevelCompleted);
  EXPECT_EQ(PlayerRecord.SolvedCount(), 1);
  // The press after completion goes to the next level.
  ScreenState = scPlaying;
  sounds.clear();
  GameMouseDown(L, ssLeft, 10, 10);
  EXPECT_EQ(CurrentLevel, 1);
  EXPECT_FALSE(LevelCompleted);
  EXPECT_EQ(CountSound("NewLevel"), 1);
}

TEST_F(PlayTest, ChangeLevelWrapsAndResetsCounters) {
  fake.timeOfDay = 0.25;
  MovesCount = 5;
  RotatesCount = 6;
  LevelScore = 7;
  LevelCompleted = true;
  CurrentLevel = 0;
  GameKeyDown(VK_BACK);
  EXPECT_EQ(CurrentLevel, 99);
  EXPECT_EQ(MovesCount, 0);
  EXPECT_EQ(RotatesCount, 0);
  EXPECT_EQ(LevelScore, 0);
  EXPECT_FALSE(LevelCompleted);
  EXPECT_DOUBLE_EQ(StartTime, 0.25);
  LevelCompleted = true;
  GameKeyDown(VK_SPACE);
  EXPECT_EQ(CurrentLevel, 0);
  EXPECT_EQ(ScreenState, scPlaying);  // not changed by the level change
  ChangeLevel(0);
  EXPECT_EQ(CurrentLevel, 0);
}

TEST_F(PlayTest, SpaceOnUnsolvedLevelChangesNothing) {
  CurrentLevel = 1;
  StartGame();
  GameKeyDown(VK_SPACE);
  EXPECT_EQ(CurrentLevel, 1);
  EXPECT_EQ(CountSound("NewLevel"), 0);
  GameKeyDown('A');
  EXPECT_EQ(CurrentLevel, 1);
}

TEST_F(PlayTest, LevelClockUnderFixedTimeOfDay) {
  fake.timeOfDay = 0.5;
  ChangeLevel(0);
  fake.timeOfDay = 0.5 + 1234.0 / 1000000;
  DrawPieces();
  UpdateLevelScore();
  EXPECT_EQ(LevelScore, 1234);
  LevelCompleted = true;
  fake.timeOfDay = 0.9;
  // DrawGame leaves a frozen clock alone (DrawSlot needs the sprite; call the score step rule).
  if (!LevelCompleted) UpdateLevelScore();
  EXPECT_EQ(LevelScore, 1234);
}

TEST_F(PlayTest, F1MovesMisplacedPieceHomeAndSetsClock) {
  fake.timeOfDay = 0.6;
  MedTime = 120;  // from the level
  Over(1);
  Press(R, ssRight, 1);
  Release(R, 1);
  GameKeyDown(VK_F1);
  EXPECT_EQ(ScreenState, scAutoSolve);
  EXPECT_EQ(SolvingPiece, 1);
  UpdateLevelScore();
  EXPECT_EQ(LevelScore, 1200);  // MaximalTime
  int frames = 0;
  while (ScreenState == scAutoSolve && frames < 1000) {
    DrawPieces();
    ++frames;
    EXPECT_EQ(PieceTable[1].Angle, 0);
  }
  EXPECT_EQ(ScreenState, scPlaying);
  EXPECT_EQ(PieceTable[1].Position, PieceTable[1].SolutionPos);
  const double dist = std::hypot(350 - 150, 150 - 200);
  EXPECT_LE(frames, static_cast<int>(std::ceil(dist / 10)) + 1);
}

TEST_F(PlayTest, F1WithAllPiecesHomeOnlySetsClock) {
  const TPoint home[4] = {{350, 150}, {450, 150}, {350, 250}, {450, 250}};
  for (int i = 1; i <= 4; ++i) {
    PieceTable[i].Position = home[i - 1];
    PieceTable[i].Angle = i == 2 ? 90 : 0;  // a turned piece at home is never corrected
    UpdateCorners(static_cast<uint8_t>(i));
  }
  fake.timeOfDay = 0.3;
  StartTime = 0.29;
  GameKeyDown(VK_F1);
  EXPECT_EQ(ScreenState, scPlaying);
  EXPECT_EQ(PieceTable[2].Angle, 90);
  UpdateLevelScore();
  EXPECT_EQ(LevelScore, 1200);
}

TEST(StepToward, ArrivesFromEveryDirection) {
  const TPoint b{400, 300};
  int checked = 0;
  for (int dx = -260; dx <= 260; dx += 7) {
    for (int dy = -260; dy <= 260; dy += 3) {
      TPoint a{b.X + dx, b.Y + dy};
      const double dist = std::hypot(dx, dy);
      int frames = 0;
      while (a != b && frames < 200) {
        TPoint n = StepToward(a, b);
        // Every step comes closer.
        EXPECT_LT(std::hypot(n.X - b.X, n.Y - b.Y), std::hypot(a.X - b.X, a.Y - b.Y));
        a = n;
        ++frames;
      }
      ASSERT_EQ(a, b) << "from " << dx << "," << dy;
      // The rounded x step makes a step between about 6.7 and 20 pixels long.
      EXPECT_LE(frames, static_cast<int>(dist / 6.5) + 2) << dx << "," << dy;
      ++checked;
    }
  }
  EXPECT_GT(checked, 5000);
}

TEST(StepToward, SpecialCases) {
  EXPECT_EQ(StepToward({400, 200}, {400, 300}), (TPoint{400, 210}));
  EXPECT_EQ(StepToward({500, 300}, {400, 300}), (TPoint{490, 300}));
  EXPECT_EQ(StepToward({406, 308}, {400, 300}), (TPoint{400, 300}));  // 10 px: lands at once
  // 100 px straight above: ten frames.
  TPoint a{400, 200};
  int frames = 0;
  while (a != TPoint{400, 300}) {
    a = StepToward(a, {400, 300});
    ++frames;
  }
  EXPECT_EQ(frames, 10);
  // Steep: one pixel across, 200 down; the rounded x step would be 0.
  TPoint s = StepToward({401, 100}, {400, 300});
  EXPECT_NE(s, (TPoint{401, 100}));
  EXPECT_NEAR(std::hypot(s.X - 401, s.Y - 100), 10, 1);
}
