// A whole level played through the mouse entry points: scatter, turn and drag every piece
// home, see the level complete, go on. Also every committed level solves at its solution.
#include <cmath>
#include <filesystem>

#include "fixture.h"

namespace {

constexpr TMouseButton L = TMouseButton::mbLeft, R = TMouseButton::mbRight;

// A point well inside piece n: the average of its corners.
TPoint Inside(int n) {
  const TPiece& p = PieceTable[n];
  int64_t x = 0, y = 0;
  for (int k = 1; k <= p.CornerCount; ++k) {
    x += p.Corners[k].X;
    y += p.Corners[k].Y;
  }
  return {static_cast<int32_t>(x / p.CornerCount), static_cast<int32_t>(y / p.CornerCount)};
}

// Plays the current level home piece by piece, as the player would.
void PlayLevelHome() {
  for (int n = 1; n <= NumFig; ++n) {
    // Turn it upright with wheel notches (right press and release).
    while (PieceTable[n].Angle != 0) {
      const TPoint at = Inside(n);
      GameMouseMove(0, at.X, at.Y);
      ASSERT_EQ(HoverPiece, n);
      GameMouseDown(R, 0, at.X, at.Y);
      GameMouseUp(R, 0, at.X, at.Y);
    }
    const TPoint at = Inside(n);
    GameMouseMove(0, at.X, at.Y);
    ASSERT_EQ(HoverPiece, n);
    GameMouseDown(L, ssLeft, at.X, at.Y);
    const TPoint to{at.X + PieceTable[n].SolutionPos.X - PieceTable[n].Position.X,
                    at.Y + PieceTable[n].SolutionPos.Y - PieceTable[n].Position.Y};
    for (int s = 1; s <= 4; ++s)
      GameMouseMove(ssLeft, at.X + (to.X - at.X) * s / 4, at.Y + (to.Y - at.Y) * s / 4);
    GameMouseUp(L, 0, to.X, to.Y);
    ASSERT_EQ(PieceTable[n].Position, PieceTable[n].SolutionPos);
  }
}

}  // namespace

TEST_F(PuzzleTest, HandmadeLevelsPlayThroughWithTheMouse) {
  WriteFile("Episode0.dat", FourSquares(7) + TwoTriangles(8));
  fake.randomSequence = {5, 17, 0, 23, 11, 3};
  CurrentLevel = 7;
  ChangeLevel(0);
  ScreenState = scPlaying;
  PlayLevelHome();
  EXPECT_TRUE(LevelCompleted);
  EXPECT_EQ(ScreenState, scLevelComplete);
  EXPECT_EQ(MovesCount, 4);
  EXPECT_EQ(PlayerRecord.SolvedFlags(7), -1);
  // The next press goes on to level 8, the two triangles.
  ScreenState = scPlaying;
  GameMouseDown(L, ssLeft, 5, 5);
  EXPECT_EQ(CurrentLevel, 8);
  EXPECT_EQ(NumFig, 2);
  EXPECT_FALSE(LevelCompleted);
  GameMouseUp(L, 0, 5, 5);
  EXPECT_FALSE(LevelCompleted);
  PlayLevelHome();
  EXPECT_TRUE(LevelCompleted);
  EXPECT_EQ(PlayerRecord.SolvedCount(), 2);
}

TEST_F(PuzzleTest, EveryCommittedLevelCompletesAtItsSolution) {
  const std::filesystem::path levels = std::filesystem::path(TANGREL_SOURCE_DIR) / "data" / "levels";
  ASSERT_TRUE(std::filesystem::exists(levels / "Episode0.dat")) << "the level files are missing from data/levels";
  for (const char* f : {"Episode0.dat", "Episode50.dat", "Episode75.dat", "Episode90.dat"})
    std::filesystem::copy_file(levels / f, dir / f, std::filesystem::copy_options::overwrite_existing);
  for (int level = 0; level <= 99; ++level) {
    SCOPED_TRACE(level);
    CurrentLevel = level;
    ASSERT_NO_THROW(SetupLevel(static_cast<uint8_t>(level)));
    ASSERT_GE(NumFig, 1);
    for (int n = 1; n <= NumFig; ++n) {
      PieceTable[n].Position = PieceTable[n].SolutionPos;
      PieceTable[n].Angle = 0;
      UpdateCorners(static_cast<uint8_t>(n));
    }
    EXPECT_TRUE(IsLevelComplete());
  }
}
