// The level in play survives every closing and reopening of the drawing device: focus lost
// and regained, minimise and restore, Alt+Enter both ways. Only the pictures are made again.
#include "app_fixture.h"

using testkit::AppTest;

namespace {

struct TSnapshot {
  TPoint Position[kMaxPieces + 1];
  int32_t Angle[kMaxPieces + 1];
  int32_t Order[kMaxPieces + 1];
  int32_t Moves, Turns, Level, Pieces;
  double Elapsed;  // the level clock, as the panel shows it
};

TSnapshot Take(const plat::FakePlatform& fake) {
  TSnapshot s{};
  for (int i = 0; i <= kMaxPieces; ++i) {
    s.Position[i] = PieceTable[i].Position;
    s.Angle[i] = PieceTable[i].Angle;
    s.Order[i] = PieceTable[i].StackOrder;
  }
  s.Moves = MovesCount;
  s.Turns = RotatesCount;
  s.Level = CurrentLevel;
  s.Pieces = NumFig;
  s.Elapsed = fake.timeOfDay - StartTime;
  return s;
}

void ExpectSame(const TSnapshot& a, const TSnapshot& b) {
  for (int i = 0; i <= kMaxPieces; ++i) {
    EXPECT_EQ(a.Position[i], b.Position[i]) << "piece " << i;
    EXPECT_EQ(a.Angle[i], b.Angle[i]) << "piece " << i;
    EXPECT_EQ(a.Order[i], b.Order[i]) << "piece " << i;
  }
  EXPECT_EQ(a.Moves, b.Moves);
  EXPECT_EQ(a.Turns, b.Turns);
  EXPECT_EQ(a.Level, b.Level);
  EXPECT_EQ(a.Pieces, b.Pieces);
  EXPECT_NEAR(a.Elapsed, b.Elapsed, 1e-12);
}

class KeepLevelTest : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    testkit::WriteTwoBarLevel(dir);
    fake.timeOfDay = 0.25;
    OpenWithImages();
    ASSERT_TRUE(MainForm->DrawDevice.Initialized());
    // A level row: level 0 set up, its clock started.
    ChangeLevel(0);
    ScreenState = scPlaying;
    ASSERT_EQ(NumFig, 2);
  }

  // Piece 1 dragged by the mouse into the slot's left half, piece 2 turned twice by the wheel.
  void PlaceAndTurn() {
    const TPoint from = PieceTable[1].Position;
    MainForm->DrawDeviceMouseMove(0, from.X, from.Y);
    MainForm->DrawDeviceMouseDown(TMouseButton::mbLeft, ssLeft, from.X, from.Y);
    MainForm->DrawDeviceMouseMove(ssLeft, 352, 203);
    MainForm->DrawDeviceMouseUp(TMouseButton::mbLeft, 0, 352, 203);
    ASSERT_EQ(MovesCount, 1);
    const TPoint p2 = PieceTable[2].Position;
    MainForm->DrawDeviceMouseMove(0, p2.X, p2.Y);
    MainForm->FormMouseWheelDown(0, p2);
    MainForm->FormMouseWheelDown(0, p2);
    ASSERT_EQ(RotatesCount, 2);
    fake.timeOfDay += 0.001;  // some play time
    Frame(16);                // the pictures of both pieces are built
  }

  static int BuiltPictures() {
    int n = 0;
    for (int i = 1; i <= kMaxPieces; ++i)
      for (const auto& im : PieceTable[i].Images) n += im.Built != 0;
    return n;
  }
};

}  // namespace

TEST_F(KeepLevelTest, FocusLostAndRegainedKeepsPiecesCountersAndClock) {
  ASSERT_NO_FATAL_FAILURE(PlaceAndTurn());
  ASSERT_GT(BuiltPictures(), 0);
  const TSnapshot before = Take(fake);
  const int randoms = static_cast<int>(fake.randomPos);

  for (int cycle = 0; cycle < 3; ++cycle) {
    SCOPED_TRACE(cycle);
    DispatchEvent({plat::EventKind::Deactivate});
    ASSERT_FALSE(MainForm->DrawDevice.Initialized());
    fake.timeOfDay += 0.01;  // a quarter of an hour away: the level clock does not run
    fake.ticks += 900000;
    DispatchEvent({plat::EventKind::Activate});
    ASSERT_TRUE(MainForm->DrawDevice.Initialized());
    EXPECT_EQ(ScreenState, scPlaying);
    EXPECT_EQ(TMainForm::PieceImageCount(), 288);
    EXPECT_EQ(BuiltPictures(), 0) << "the pictures are made again on the new surfaces";
    ExpectSame(before, Take(fake));
  }
  EXPECT_EQ(static_cast<int>(fake.randomPos), randoms) << "nothing was scattered again";
  Frame(16);
  EXPECT_GT(BuiltPictures(), 0);
  EXPECT_TRUE(fake.errors.empty()) << fake.errors.front();
}

TEST_F(KeepLevelTest, MinimiseRestoreAndAltEnterKeepTheLevel) {
  ASSERT_NO_FATAL_FAILURE(PlaceAndTurn());
  const TSnapshot before = Take(fake);

  // The panel's minimise button path: the platform minimises, deactivation follows.
  MinimizeWindow();
  EXPECT_TRUE(RunMessageLoopOnce());
  ASSERT_FALSE(MainForm->DrawDevice.Initialized());
  fake.timeOfDay += 0.02;
  fake.Restore();
  DispatchEvent({plat::EventKind::Activate});
  ASSERT_TRUE(MainForm->DrawDevice.Initialized());
  ExpectSame(before, Take(fake));

  for (bool full : {true, false}) {
    SCOPED_TRACE(full);
    DispatchEvent({plat::EventKind::KeyDown, VK_RETURN, ssAlt, TMouseButton::mbLeft, 0, 0, 0});
    ASSERT_EQ(MainForm->DrawDevice.FullScreen, full);
    ASSERT_TRUE(MainForm->DrawDevice.Initialized());
    EXPECT_EQ(ScreenState, scPlaying);
    ExpectSame(before, Take(fake));
  }
  EXPECT_TRUE(fake.errors.empty()) << fake.errors.front();
}

TEST_F(KeepLevelTest, ADragCutOffByTheFocusLossEndsWhereThePieceWas) {
  const TPoint from = PieceTable[1].Position;
  MainForm->DrawDeviceMouseMove(0, from.X, from.Y);
  MainForm->DrawDeviceMouseDown(TMouseButton::mbLeft, ssLeft, from.X, from.Y);
  MainForm->DrawDeviceMouseMove(ssLeft, from.X + 40, from.Y + 10);
  ASSERT_TRUE(Dragging);
  DispatchEvent({plat::EventKind::Deactivate});
  DispatchEvent({plat::EventKind::Activate});
  EXPECT_FALSE(Dragging) << "the release went to another window";
  EXPECT_EQ(PieceTable[1].Position, (TPoint{from.X + 40, from.Y + 10}));
}

TEST_F(KeepLevelTest, LevelsAreStillSetUpAfreshWhereThePlayerAsks) {
  ASSERT_NO_FATAL_FAILURE(PlaceAndTurn());
  DispatchEvent({plat::EventKind::Deactivate});
  DispatchEvent({plat::EventKind::Activate});
  // Backspace, then Space's level-complete path: each sets up a new level with fresh counters.
  MainForm->FormKeyDown(VK_BACK, 0);
  EXPECT_EQ(CurrentLevel, 99);
  EXPECT_EQ(MovesCount, 0);
  EXPECT_EQ(RotatesCount, 0);
  // A level row of the menu sets up level 0 afresh: the dragged piece is back in its waiting place.
  ChangeLevel(0 - CurrentLevel);
  EXPECT_EQ(CurrentLevel, 0);
  EXPECT_NE(PieceTable[1].Position, (TPoint{350, 200}));
  EXPECT_NEAR(fake.timeOfDay - StartTime, 0, 1e-12) << "a new level's clock starts at 0";
}
