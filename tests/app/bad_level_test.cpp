// Bad level data at the opening of the drawing device: it never leaves a black window.
#include "app_fixture.h"

using testkit::AppTest;

namespace {

// Level 0 claims thirteen pieces; the other levels of the file are fine (defaults).
void WriteBadLevelZero(const std::string& dir) {
  std::ofstream o(dir + "/Episode0.dat");
  o << "[level0]\nNumFig=13\nMedTime=300\n";
}

// Opens the device the way the first activation does, with the menu built.
void OpenWithMenu() {
  testkit::AddStandardImages(*MainForm);
  BuildMenu();
  InitPanel();
  MainForm->ActivateInstalled = true;
  MainForm->AppActivate();
}

}  // namespace

TEST_F(AppTest, ABadLevelAtStartUpIsReportedOnceAndTheMenuShows) {
  WriteBadLevelZero(dir);
  OpenWithMenu();
  ASSERT_EQ(fake.errors.size(), 1u);
  EXPECT_EQ(fake.errors[0], "Range check error");
  // The opening went on: frames run, the pointers are known, the menu is up.
  EXPECT_TRUE(MainForm->DrawDevice.Initialized());
  EXPECT_TRUE(MainForm->FrameTimerEnabled);
  EXPECT_NE(MainForm->RotateCWImage, nullptr);
  EXPECT_NE(MainForm->RotateCCWImage, nullptr);
  EXPECT_EQ(TMainForm::PieceImageCount(), 288);
  EXPECT_EQ(ScreenState, scMenu);
  EXPECT_EQ(NumFig, 0);  // the bad level stands with no pieces
  const int presents = fake.presentCount;
  Frame(16);
  EXPECT_EQ(fake.presentCount, presents + 1);
  EXPECT_EQ(fake.errors.size(), 1u) << fake.errors.back();
  EXPECT_EQ(Pixel(790, 590), 0x102030u);  // the menu's backdrop, not a black window

  // The playing field shows the bad level: background, panel, slot-box, no piece.
  ScreenState = scPlaying;
  Frame(16);
  EXPECT_EQ(fake.errors.size(), 1u);
  EXPECT_NE(Pixel(5, 300), 0u);
  EXPECT_EQ(Pixel(700, 460), 0x101080u);  // "bigpanel"

  // Backspace moves away from it.
  MainForm->FormKeyDown(VK_BACK, 0);
  EXPECT_EQ(CurrentLevel, 99);
  EXPECT_EQ(NumFig, 2);
}

TEST_F(AppTest, ThePanelAndTheMenuMoveAwayFromABadLevel) {
  WriteBadLevelZero(dir);
  OpenWithMenu();
  ScreenState = scPlaying;
  // "pan_next" goes on to level 1.
  MainForm->DrawDeviceMouseMove(0, 700, 540);
  MainForm->DrawDeviceMouseDown(TMouseButton::mbLeft, 0, 700, 540);
  EXPECT_EQ(CurrentLevel, 1);
  EXPECT_EQ(NumFig, 2);
  EXPECT_EQ(ScreenState, scPlaying);
  // Back onto the bad level through the panel: reported like any failed load, play goes on.
  MainForm->DrawDeviceMouseMove(0, 700, 510);
  DispatchEvent({plat::EventKind::MouseDown, 0, 0, TMouseButton::mbLeft, 700, 510, 0});
  EXPECT_EQ(CurrentLevel, 0);
  EXPECT_EQ(NumFig, 0);
  EXPECT_EQ(fake.errors.size(), 2u);
  // "pan_menu" returns to the menu.
  MainForm->DrawDeviceMouseMove(0, 700, 570);
  MainForm->DrawDeviceMouseDown(TMouseButton::mbLeft, 0, 700, 570);
  EXPECT_EQ(ScreenState, scMenu);
}

TEST_F(AppTest, EveryLaterOpeningOfTheDeviceGoesOnPastABadLevel) {
  WriteBadLevelZero(dir);
  OpenWithMenu();
  ASSERT_EQ(fake.errors.size(), 1u);
  ScreenState = scPlaying;

  // Switching to another program and back: the level is kept as it stands, not read again,
  // so its fault is not reported a second time.
  MainForm->AppDeactivate();
  EXPECT_FALSE(MainForm->FrameTimerEnabled);
  MainForm->AppActivate();
  EXPECT_EQ(fake.errors.size(), 1u);
  EXPECT_EQ(NumFig, 0);
  EXPECT_TRUE(MainForm->FrameTimerEnabled);
  EXPECT_EQ(ScreenState, scPlaying);
  Frame(16);
  EXPECT_EQ(Pixel(700, 460), 0x101080u);

  // Both ways of the screen-mode switch, as the key arrives from the loop.
  for (bool full : {true, false}) {
    SCOPED_TRACE(full);
    const size_t before = fake.errors.size();
    fake.ticks += 2000;  // seconds apart, as a player switches
    DispatchEvent({plat::EventKind::KeyDown, VK_RETURN, ssAlt, TMouseButton::mbLeft, 0, 0, 0});
    EXPECT_EQ(MainForm->DrawDevice.FullScreen, full);
    EXPECT_EQ(fake.errors.size(), before);
    EXPECT_TRUE(MainForm->DrawDevice.Initialized());
    EXPECT_TRUE(MainForm->FrameTimerEnabled);
    EXPECT_EQ(ScreenState, scPlaying);
    Frame(16);
    EXPECT_EQ(Pixel(700, 460), 0x101080u);
  }
}
