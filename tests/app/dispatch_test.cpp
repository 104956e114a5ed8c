// Input dispatch of the main form by screen state: keys, presses, releases, wheel notches,
// the rotation timer and the window-mode switch.
#include "app_fixture.h"

using testkit::AppTest;

namespace {
constexpr TPoint kOverNext{700, 540};  // on "pan_next" with the standard sprites

void HoverNextByHand() {
  PanelButtons[3] = {678, 532, 777, 557, 1, "pan_next", 255};
}
}  // namespace

TEST_F(AppTest, KeysFollowTheScreenState) {
  ScreenState = scLoading;
  MainForm->FormKeyDown('A', 0);
  EXPECT_EQ(ScreenState, scMenu);

  MainForm->FormKeyDown(VK_SPACE, 0);  // the menu takes no keys
  EXPECT_EQ(ScreenState, scMenu);

  ScreenState = scAutoSolve;
  MainForm->FormKeyDown(VK_SPACE, 0);
  MainForm->FormKeyDown(VK_F1, 0);
  EXPECT_EQ(ScreenState, scAutoSolve);
  EXPECT_TRUE(sounds.empty());

  ScreenState = scPlaying;
  OpenMessageBox(1);
  ASSERT_EQ(ScreenState, scMessageBox);
  MainForm->FormKeyDown('Q', 0);
  EXPECT_EQ(ScreenState, scPlaying);
  EXPECT_EQ(CountSound("beep2"), 1);
}

TEST_F(AppTest, KeysDuringTheLevelCompleteDisplay) {
  // Any other key just ends the display.
  ScreenState = scLevelComplete;
  CurrentLevel = 7;
  MainForm->FormKeyDown('A', 0);
  EXPECT_EQ(ScreenState, scPlaying);
  EXPECT_EQ(CurrentLevel, 7);

  // Space moves on, Backspace goes back; play resumes either way.
  LevelCompleted = true;
  ScreenState = scLevelComplete;
  MainForm->FormKeyDown(VK_SPACE, 0);
  EXPECT_EQ(ScreenState, scPlaying);
  EXPECT_EQ(CurrentLevel, 8);
  LevelCompleted = true;
  ScreenState = scLevelComplete;
  MainForm->FormKeyDown(VK_BACK, 0);
  EXPECT_EQ(ScreenState, scPlaying);
  EXPECT_EQ(CurrentLevel, 7);
}

TEST_F(AppTest, PressDuringTheLevelCompleteDisplayIsAPressInPlay) {
  ScreenState = scLevelComplete;
  HoverNextByHand();
  MainForm->DrawDeviceMouseDown(TMouseButton::mbLeft, 0, kOverNext.X, kOverNext.Y);
  EXPECT_EQ(ScreenState, scPlaying);
  EXPECT_EQ(CountSound("beep1"), 1);  // the panel saw the press
  EXPECT_EQ(PanelButtons[3].State, 0);

  // On the completed level, a press on empty ground goes on to the next level.
  CurrentLevel = 3;
  LevelCompleted = true;
  ScreenState = scLevelComplete;
  MainForm->DrawDeviceMouseDown(TMouseButton::mbLeft, 0, 150, 300);
  EXPECT_EQ(ScreenState, scPlaying);
  EXPECT_EQ(CurrentLevel, 4);
}

TEST_F(AppTest, WheelNotchesActOnlyInPlay) {
  for (uint8_t state : {scLoading, scMenu, scLevelComplete, scMessageBox, scAutoSolve}) {
    SCOPED_TRACE(state);
    ScreenState = state;
    SavedScreenState = state;
    HoverNextByHand();
    MainForm->FormMouseWheelDown(0, kOverNext);
    MainForm->FormMouseWheelUp(ssCtrl, kOverNext);
    EXPECT_EQ(ScreenState, state);
    EXPECT_EQ(PanelButtons[3].State, 1);
    EXPECT_TRUE(sounds.empty());
  }
  // In play a notch is a right press and release: over a panel button it presses it.
  ScreenState = scPlaying;
  RotateCursor = 2;
  MainForm->FormMouseWheelDown(0, kOverNext);
  EXPECT_EQ(CountSound("beep1"), 1);
  EXPECT_EQ(PanelButtons[3].State, 0);
  EXPECT_EQ(RotateCursor, 0);  // the release came too
  HoverNextByHand();
  MainForm->FormMouseWheelUp(0, kOverNext);
  EXPECT_EQ(CountSound("beep1"), 2);
}

TEST_F(AppTest, SpaceOnAnUnsolvedLevelOpensTheMessageBox) {
  // The puzzle core asks through its hook; the main form points that at the message box.
  ScreenState = scPlaying;
  LevelCompleted = false;
  CurrentLevel = 3;
  MainForm->FormKeyDown(VK_SPACE, 0);
  EXPECT_EQ(ScreenState, scMessageBox);
  EXPECT_EQ(SavedScreenState, scPlaying);
  EXPECT_EQ(CurrentLevel, 3);
}

TEST_F(AppTest, MessageBoxTakesEveryPressAndKey) {
  ScreenState = scPlaying;
  ShowMessageBox();
  ASSERT_EQ(ScreenState, scMessageBox);
  // A press far outside the box closes it.
  MainForm->DrawDeviceMouseDown(TMouseButton::mbRight, 0, 5, 5);
  EXPECT_EQ(ScreenState, scPlaying);
  EXPECT_EQ(CountSound("beep2"), 1);

  ShowMessageBox();
  MainForm->FormKeyDown(VK_SPACE, 0);
  EXPECT_EQ(ScreenState, scPlaying);
  EXPECT_EQ(CountSound("beep2"), 2);
}

TEST_F(AppTest, AltEnterWithTheMessageBoxOpenKeepsTheBoxAndRestoresThePlacement) {
  OpenWithImages();
  ScreenState = scPlaying;
  ShowMessageBox();
  fake.placement = {true, 33, 44, 800, 600, false};
  MainForm->FormKeyDown(VK_RETURN, ssAlt);
  EXPECT_EQ(ScreenState, scMessageBox);
  EXPECT_TRUE(MainForm->DrawDevice.FullScreen);
  EXPECT_NE(Settings.Full, 0);

  fake.placement = {true, 0, 0, 1920, 1080, false};  // where full screen put the window
  MainForm->FormKeyDown(VK_RETURN, ssAlt | ssShift);
  EXPECT_EQ(ScreenState, scMessageBox);
  EXPECT_FALSE(MainForm->DrawDevice.FullScreen);
  EXPECT_EQ(Settings.Full, 0);
  EXPECT_FALSE(fake.fullScreen);
  EXPECT_EQ(fake.placement.X, 33);
  EXPECT_EQ(fake.placement.Y, 44);
  EXPECT_EQ(CountSound("beep2"), 0);
  EXPECT_TRUE(MainForm->DrawDevice.Initialized());
  EXPECT_EQ(TMainForm::PieceImageCount(), 288);

  // Enter without Alt is an ordinary key: it closes the box.
  MainForm->FormKeyDown(VK_RETURN, 0);
  EXPECT_EQ(ScreenState, scPlaying);
}

TEST_F(AppTest, ReleasesAndMovesByState) {
  ScreenState = scAutoSolve;
  RotateCursor = 1;
  MainForm->DrawDeviceMouseMove(0, 123, 45);
  MainForm->DrawDeviceMouseUp(TMouseButton::mbLeft, 0, 123, 45);
  EXPECT_EQ(CursorPos, (TPoint{123, 45}));
  EXPECT_EQ(RotateCursor, 0);
  EXPECT_EQ(ScreenState, scAutoSolve);

  // The pointer reaches the panel during the level-complete display too.
  ScreenState = scLevelComplete;
  PanelButtons[4] = {678, 502, 777, 527, 0, "pan_prev", 255};
  MainForm->DrawDeviceMouseMove(0, 700, 510);
  EXPECT_EQ(PanelButtons[4].State, 1);
  EXPECT_EQ(CountSound("menu1"), 1);

  // ...but not in the menu.
  ScreenState = scMenu;
  MainForm->DrawDeviceMouseMove(0, 10, 10);
  EXPECT_EQ(PanelButtons[4].State, 1);
}

TEST_F(AppTest, RotationTimerTurnsTheFirstPressedPiece) {
  testkit::WriteTwoBarLevel(dir);
  Settings.Difficulty = 1;
  StartGame();
  ScreenState = scPlaying;
  const int32_t a1 = PieceTable[1].Angle;
  const int32_t a2 = PieceTable[2].Angle;
  MainForm->RotatingPiece = 1;
  MainForm->TimerRot.Tag = 1;
  MainForm->TimerRot.SetEnabled(true);
  EXPECT_TRUE(fake.timers[kTimerRotId].enabled);
  HoverPiece = 2;  // the pointer has wandered onto another piece

  fake.events.push_back({plat::EventKind::Timer, 0, 0, TMouseButton::mbLeft, 0, 0, kTimerRotId});
  RunMessageLoopOnce();
  EXPECT_EQ(PieceTable[1].Angle, (a1 + 15) % 360);
  EXPECT_EQ(PieceTable[2].Angle, a2);

  // A stray tick after the timer stopped turns nothing.
  MainForm->TimerRot.SetEnabled(false);
  fake.events.push_back({plat::EventKind::Timer, 0, 0, TMouseButton::mbLeft, 0, 0, kTimerRotId});
  RunMessageLoopOnce();
  EXPECT_EQ(PieceTable[1].Angle, (a1 + 15) % 360);
}
