// Level files: what a load stores, the level-49 rule, the file per range, range errors and
// the catalogue ratings.
#include "fixture.h"

TEST_F(PuzzleTest, LoadLevelStoresPiecesAndReadsHexMedTime) {
  WriteFile("Episode0.dat", TwoTriangles(3));
  LoadLevel(3);
  EXPECT_EQ(NumFig, 2);
  EXPECT_EQ(MedTime, 500);  // "$1F4"
  EXPECT_EQ(PieceTable[1].CornerCount, 3);
  EXPECT_EQ(PieceTable[1].Offsets[2], (TPoint{134, -66}));
  EXPECT_EQ(PieceTable[2].SolutionPos, (TPoint{433, 233}));
  EXPECT_EQ(LevelFileName, (dir / "Episode0.dat").string());
}

TEST_F(PuzzleTest, MissingSectionGivesTwoDefaultTriangles) {
  LoadLevel(10);  // no file at all
  EXPECT_EQ(NumFig, 2);
  EXPECT_EQ(MedTime, 3000);
  for (int j = 1; j <= 2; ++j) {
    EXPECT_EQ(PieceTable[j].CornerCount, 3);
    EXPECT_EQ(PieceTable[j].SolutionPos, (TPoint{400, 300}));
    EXPECT_EQ(PieceTable[j].Offsets[3], (TPoint{0, 0}));
  }
}

TEST_F(PuzzleTest, Level49PlaysLevel5AndFilesFollowRanges) {
  WriteFile("Episode0.dat", FourSquares(5, 77) + "[level49]\nNumFig=1\nMedTime=9\n");
  LoadLevel(49);
  EXPECT_EQ(NumFig, 4);
  EXPECT_EQ(MedTime, 77);

  WriteFile("Episode50.dat", "[level50]\nNumFig=1\nMedTime=50\n[level74]\nNumFig=0\nMedTime=74\n");
  WriteFile("Episode75.dat", "[level75]\nNumFig=3\nMedTime=75\n");
  WriteFile("Episode90.dat", "[level99]\nNumFig=5\nMedTime=99\n");
  LoadLevel(50);
  EXPECT_EQ(MedTime, 50);
  EXPECT_EQ(NumFig, 1);
  EXPECT_EQ(LevelFileName, (dir / "Episode50.dat").string());
  LoadLevel(74);
  EXPECT_EQ(MedTime, 74);
  EXPECT_EQ(NumFig, 0);
  LoadLevel(75);
  EXPECT_EQ(MedTime, 75);
  LoadLevel(99);
  EXPECT_EQ(MedTime, 99);
  EXPECT_EQ(LevelFileName, (dir / "Episode90.dat").string());
}

TEST_F(PuzzleTest, OutOfRangeCountsStopTheLoadAndLeaveAnEmptyTable) {
  WriteFile("Episode0.dat", FourSquares(1) + "[level2]\nNumFig=13\n[level3]\nNumFig=2\nTip1=4\nTip2=9\n" +
                                "[level4]\nNumFig=-1\n[level6]\nNumFig=3\nTip2=2\n");
  CurrentLevel = 1;
  StartGame();
  ASSERT_EQ(NumFig, 4);
  for (int bad : {2, 3, 4, 6}) {
    CurrentLevel = 1;
    StartGame();
    HoverPiece = 3;
    CurrentLevel = bad;
    EXPECT_THROW(StartGame(), ERangeError) << bad;
    // No stale piece survives: nothing to hit, draw or complete, and the slot-box is intact.
    EXPECT_EQ(NumFig, 0);
    EXPECT_EQ(HoverPiece, 0);
    for (int j = 1; j <= kMaxPieces; ++j) {
      EXPECT_EQ(PieceTable[j].CornerCount, 0);
      EXPECT_EQ(PieceTable[j].Corners[1], (TPoint{}));
    }
    EXPECT_EQ(PieceTable[0].Corners[3], (TPoint{500, 300}));
    EXPECT_EQ(PieceAt({150, 200}), 0);
    EXPECT_FALSE(IsLevelComplete());
    DrawPieces();  // the next frame is harmless
  }
  // The game goes on: the level can be changed away from the broken one.
  CurrentLevel = 2;
  ChangeLevel(-1);
  EXPECT_EQ(CurrentLevel, 1);
  EXPECT_EQ(NumFig, 4);
}

TEST_F(PuzzleTest, CatalogueRatesByMedTime) {
  WriteFile("Episode0.dat",
            "[level0]\nMedTime=69\n[level1]\nMedTime=70\n[level2]\nMedTime=400\n[level3]\nMedTime=401\n"
            "[level5]\nMedTime=10\n[level49]\nMedTime=0x1F4\n");
  WriteFile("Episode75.dat", "[level80]\nMedTime=-5\n");
  RateLevelCatalogue();
  EXPECT_EQ(LevelCatalogue[0].Rating, 0);
  EXPECT_EQ(LevelCatalogue[1].Rating, 1);
  EXPECT_EQ(LevelCatalogue[2].Rating, 1);
  EXPECT_EQ(LevelCatalogue[3].Rating, 2);
  EXPECT_EQ(LevelCatalogue[4].Rating, 2);   // default 1000
  EXPECT_EQ(LevelCatalogue[5].Rating, 0);
  EXPECT_EQ(LevelCatalogue[49].Rating, 2);  // its own section, not level 5's
  EXPECT_EQ(LevelCatalogue[60].Rating, 2);  // missing file
  EXPECT_EQ(LevelCatalogue[80].Rating, 0);
}
