// A whole level played through the main form's event loop alone: start-up, menu, panel,
// tips, the message box, F1 solving piece by piece, the level-complete display, shut-down.
#include <filesystem>
#include <fstream>

#include "app_fixture.h"

using testkit::AppTest;

namespace {
plat::Event Ev(plat::EventKind k, int x = 0, int y = 0, uint16_t key = 0, TShiftState sh = 0) {
  plat::Event e;
  e.Kind = k;
  e.X = x;
  e.Y = y;
  e.Key = key;
  e.Shift = sh;
  return e;
}
TPoint Centre(const TRect& r) { return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2}; }
}  // namespace

class PlayThrough : public AppTest {
 protected:
  void Send(const plat::Event& e, uint32_t lag = 16) {
    fake.events.push_back(e);
    fake.ticks += lag;
    ASSERT_TRUE(RunMessageLoopOnce());
  }
  void Frames(int n, uint32_t lag = 16) {
    for (int i = 0; i < n; ++i) {
      fake.ticks += lag;
      ASSERT_TRUE(RunMessageLoopOnce());
    }
  }
  void Click(int x, int y, TMouseButton b = TMouseButton::mbLeft) {
    using K = plat::EventKind;
    Send(Ev(K::MouseMove, x, y));
    plat::Event d = Ev(K::MouseDown, x, y);
    d.Button = b;
    Send(d);
    plat::Event u = Ev(K::MouseUp, x, y);
    u.Button = b;
    Send(u);
  }
};

TEST_F(PlayThrough, ALevelFromStartToFinish) {
  using K = plat::EventKind;
  testkit::WritePackages(dir);
  testkit::WriteTwoBarLevel(dir);
  delete MainForm;
  MainForm = nullptr;
  ASSERT_TRUE(StartMainForm());
  ASSERT_TRUE(fake.errors.empty()) << fake.errors.front();
  Settings.Tips = -1;
  Settings.Difficulty = 1;
  Settings.Sounds = -1;  // no audio here turned them off; the sound tap still listens

  // The window shows: the device opens and the menu comes up.
  Send(Ev(K::Activate));
  ASSERT_EQ(ScreenState, scMenu);
  Frames(3);
  EXPECT_GT(fake.presentCount, 0);

  // Episode 1, level 0.
  const TPoint row = Centre(LevelCatalogue[0].Row);
  Click(row.X, row.Y);
  ASSERT_EQ(ScreenState, scPlaying);
  ASSERT_EQ(CurrentLevel, 0);
  ASSERT_EQ(NumFig, 2);
  Frames(3);

  // The panel lights up and the tips turn over on their own.
  Send(Ev(K::MouseMove, 700, 540));
  EXPECT_EQ(CountSound("menu1"), 1);
  Send(Ev(K::MouseMove, 100, 300));
  const uint8_t tip = TipIndex;
  Frames(1, 10001);
  EXPECT_EQ(TipIndex, tip + 1);

  // A wheel notch over piece 1 turns it; Space on the unsolved level brings the box up.
  const int32_t rotates = RotatesCount;
  Send(Ev(K::WheelDown, PieceTable[1].Position.X, PieceTable[1].Position.Y));
  Frames(2);
  EXPECT_GT(RotatesCount, rotates);
  Send(Ev(K::KeyDown, 0, 0, VK_SPACE));
  ASSERT_EQ(ScreenState, scMessageBox);
  Frames(2);
  Send(Ev(K::KeyDown, 0, 0, 'A'));
  ASSERT_EQ(ScreenState, scPlaying);
  EXPECT_EQ(CurrentLevel, 0);

  // F1 moves the misplaced pieces home one at a time.
  for (int guard = 0; guard < 10; ++guard) {
    Send(Ev(K::KeyDown, 0, 0, VK_F1));
    if (ScreenState != scAutoSolve) break;
    for (int f = 0; f < 200 && ScreenState == scAutoSolve; ++f) Frames(1);
    ASSERT_EQ(ScreenState, scPlaying);
  }
  for (int i = 1; i <= NumFig; ++i) EXPECT_EQ(PieceTable[i].Position, PieceTable[i].SolutionPos);

  // The next release finds the slot covered.
  Click(100, 300);
  ASSERT_EQ(ScreenState, scLevelComplete);
  EXPECT_LE(MainForm->AnimClock, 16u);  // restarted by the release, one frame since
  EXPECT_NE(PlayerRecord.SolvedFlags(0), 0);
  Frames(42, 100);
  EXPECT_EQ(MainForm->DrawDevice.Surface.GetPixel(302, 150), 0x3050F0u);

  // A press goes on to the next level.
  Send(Ev(K::MouseDown, 100, 300));
  Send(Ev(K::MouseUp, 100, 300));
  EXPECT_EQ(ScreenState, scPlaying);
  EXPECT_EQ(CurrentLevel, 1);
  Frames(2);

  // Closing saves the progress.
  fake.events.push_back(Ev(K::Quit));
  EXPECT_FALSE(RunMessageLoopOnce());
  std::ifstream in(dir + "/Users.dat", std::ios::binary);
  std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_EQ(bytes.size(), 5076u);
  EXPECT_EQ(bytes[432], 1);
  EXPECT_NE(bytes[24], 0);  // level 0 solved
}
