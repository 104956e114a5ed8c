// The navigation panel: layout, hover sounds, the button actions and what shows.
#include <fstream>
#include <sstream>

#include "hud_fixture.h"

using testkit::HudTest;

TEST_F(HudTest, PanelLayoutFollowsTheSpriteSizes) {
  LayOutPanel();
  for (int n = 1; n <= kPanelButtonCount; ++n) {
    SCOPED_TRACE(n);
    EXPECT_EQ(PanelButtons[n].Rect(), testkit::kPanelRects[n]);
    EXPECT_EQ(PanelButtons[n].State, 0);
    EXPECT_EQ(PanelButtons[n].Alpha, 255);
  }
  EXPECT_EQ(PanelButtons[9].ImageName, "pan_fortext");
  EXPECT_EQ(PanelButtons[10].ImageName, "pan_close");
}

TEST_F(HudTest, HoverSoundPlaysOncePerEntry) {
  PlayWithPanel();
  Move(700, 540);  // onto "pan_next"
  Move(705, 545);
  Move(760, 550);
  EXPECT_EQ(CountSound("menu1"), 1);
  EXPECT_EQ(PanelButtons[3].State, 1);
  Move(700, 510);  // straight onto "pan_prev"
  EXPECT_EQ(CountSound("menu1"), 2);
  EXPECT_EQ(PanelButtons[3].State, 0);
  Move(700, 480);  // the level display never lights up nor sounds
  EXPECT_EQ(CountSound("menu1"), 2);
  EXPECT_EQ(PanelButtons[1].State, 0);
  Move(700, 510);
  EXPECT_EQ(CountSound("menu1"), 3);
}

TEST_F(HudTest, NextAndPreviousWrapAround) {
  PlayWithPanel();
  CurrentLevel = 0;
  Move(700, 510);
  Press(700, 510);
  EXPECT_EQ(CountSound("beep1"), 1);
  EXPECT_EQ(PanelButtons[4].State, 0);  // presses clear the hover
  Move(700, 540);
  Press(700, 540);
  EXPECT_EQ(CountSound("beep1"), 2);
  CurrentLevel = 0;
  Move(700, 480);
  Move(700, 510);
  Press(700, 510);
  EXPECT_EQ(CurrentLevel, 99);
  Move(700, 480);
  Move(700, 540);
  Press(700, 540);
  EXPECT_EQ(CurrentLevel, 0);
}

TEST_F(HudTest, MenuAndMinimiseButtons) {
  PlayWithPanel();
  Move(700, 570);
  Press(700, 570);
  EXPECT_EQ(ScreenState, scMenu);
  EXPECT_EQ(CountSound("beep1"), 1);

  ScreenState = scPlaying;
  sounds.clear();
  Move(740, 10);
  Press(740, 10);
  EXPECT_TRUE(fake.minimized);
  EXPECT_EQ(CountSound("beep1"), 0);
}

TEST_F(HudTest, TipBoxIsNeitherHoveredNorPressedWhileTipsAreOff) {
  PlayWithPanel();
  Settings.Tips = 0;
  Move(580, 500);  // tip-box close
  Move(560, 570);  // next tip
  EXPECT_EQ(PanelButtons[10].State, 0);
  EXPECT_EQ(PanelButtons[11].State, 0);
  EXPECT_TRUE(sounds.empty());
  // A state left from before the tips went off stays as it was.
  PanelButtons[11].State = 1;
  Move(10, 300);
  EXPECT_EQ(PanelButtons[11].State, 1);
}

TEST_F(HudTest, TipBoxCloseSavesAtOnceAndNextTipStaysLit) {
  PlayWithPanel();
  TipIndex = 3;
  Move(560, 570);
  EXPECT_EQ(CountSound("menu1"), 1);
  Press(560, 570);
  Press(560, 570);  // no move between: it is still lit and advances again
  EXPECT_EQ(TipIndex, 5);
  EXPECT_EQ(PanelButtons[11].State, 1);

  Move(580, 500);
  Press(580, 500);
  EXPECT_EQ(Settings.Tips, 0);
  EXPECT_EQ(CountSound("beep1"), 3);
  const std::string store = SettingsStorePath();
  if (!store.empty()) {
    std::ifstream in(store);
    std::stringstream ss;
    ss << in.rdbuf();
    EXPECT_NE(ss.str().find("\"Tips\"=dword:00000000"), std::string::npos) << ss.str();
  }
}

TEST_F(HudTest, PanelDrawing) {
  LayOutPanel();
  MainForm->ActivateInstalled = true;
  MainForm->AppActivate();
  ScreenState = scPlaying;
  CurrentLevel = 7;
  TSurface& s = MainForm->DrawDevice.Surface;
  s.Fill(0);
  DrawPanel();
  // One digit 7 from x = 762.
  EXPECT_EQ(s.GetPixel(762, 476), 0xC0C0C0u + 7);
  EXPECT_EQ(s.GetPixel(776, 476), 0xC0C0C0u + 7);
  EXPECT_NE(s.GetPixel(761, 476), 0xC0C0C0u + 7);
  // The tip box backdrop stretched to 400 pixels, only while tips are on.
  EXPECT_EQ(s.GetPixel(595, 585), 0x208010u);
  Settings.Tips = 0;
  s.Fill(0);
  DrawPanel();
  EXPECT_EQ(s.GetPixel(595, 585), 0u);
  EXPECT_EQ(s.GetPixel(100, 585), 0x208010u);  // the statistics backdrop stays
}
