// The tips: texts, the ten-second clock, wrapping and the two unmarked areas.
#include <filesystem>

#include "hud_fixture.h"

using testkit::HudTest;

TEST(Tips, TableTexts) {
  for (int i = 1; i <= kTipCount; ++i) EXPECT_EQ(TipTable[i].Line1.size(), 64u) << i;
  EXPECT_EQ(TipTable[1].Line1, "Hello! Welcome to the Tangrel 2 challenge. Use left mouse button");
  EXPECT_EQ(TipTable[1].Line2, "to move pieces. Just drag-and-drop them into the slot-box.");
  EXPECT_EQ(TipTable[6].Line1.substr(0, 59), std::string(27, ' ') + "Solution exists! Try to find it.");
  EXPECT_EQ(TipTable[6].Line1.find_first_not_of(' '), 27u);
  EXPECT_TRUE(TipTable[6].Line2.empty());
  EXPECT_TRUE(TipTable[8].Line2.empty());
  EXPECT_EQ(TipTable[8].Line1.substr(0, 54), "If you tied press F1. Puzzle will solve automatically.");
  EXPECT_EQ(TipTable[8].Line1.substr(54), std::string(10, ' '));
}

TEST_F(HudTest, TipClockDropsTheSurplus) {
  Settings.Tips = -1;
  TipIndex = 1;
  TipClock = 0;
  TipTimerStep(9999);
  TipTimerStep(1);
  EXPECT_EQ(TipIndex, 1);  // exactly 10000 is not yet above
  TipTimerStep(700);
  EXPECT_EQ(TipIndex, 2);
  EXPECT_EQ(TipClock, 0);
  TipTimerStep(25000);  // a long stall still moves one tip
  EXPECT_EQ(TipIndex, 3);
  EXPECT_EQ(TipClock, 0);

  Settings.Tips = 0;
  TipTimerStep(20000);
  EXPECT_EQ(TipIndex, 3);
  EXPECT_EQ(TipClock, 0);

  Settings.Tips = -1;
  TipIndex = 0;  // tip 0 gathers no time
  TipTimerStep(20000);
  EXPECT_EQ(TipClock, 0);
}

TEST_F(HudTest, AfterTipEightComesTipOne) {
  TipIndex = 8;
  AdvanceTip();
  EXPECT_EQ(TipIndex, 9);
  DrawTipText();
  EXPECT_EQ(TipIndex, 1);
  TipIndex = 255;
  AdvanceTip();
  EXPECT_EQ(TipIndex, 1);
  // A release with the index past the end wraps it and does not arm the areas.
  TipIndex = 9;
  TipMouseUp();
  EXPECT_EQ(TipIndex, 1);
  EXPECT_EQ(TipAreas[1], TRect{});
}

TEST_F(HudTest, AreasAreArmedOnlyAfterTheFirstRelease) {
  PlayWithPanel();
  TipIndex = 2;
  Move(50, 460);
  EXPECT_EQ(TipAreaHover, 0);
  Release(50, 460);
  EXPECT_EQ(TipIndex, 2);
  EXPECT_EQ(TipAreas[1], (TRect{20, 450, 100, 470}));
  EXPECT_EQ(TipAreas[2], (TRect{180, 450, 260, 470}));
  Move(50, 460);
  EXPECT_EQ(TipAreaHover, 1);
  Release(50, 460);  // a drop inside area 1 advances the tip
  EXPECT_EQ(TipIndex, 3);
  EXPECT_TRUE(sounds.empty());  // the areas are silent
}

TEST_F(HudTest, DropInsideAreaTwoTurnsTipsOffUntilTheNextSave) {
  PlayWithPanel();
  Release(0, 0);  // arms the areas
  Move(260, 470);  // the corner counts
  EXPECT_EQ(TipAreaHover, 2);
  Release(260, 470);
  EXPECT_EQ(Settings.Tips, 0);
  const std::string store = SettingsStorePath();
  if (!store.empty()) {
    EXPECT_FALSE(std::filesystem::exists(store));  // not saved yet
  }

  // Off, the box is no longer hovered either.
  Move(580, 500);
  EXPECT_EQ(PanelButtons[10].State, 0);
}

TEST_F(HudTest, TipClockRunsInEveryScreen) {
  OpenWithImages();
  ScreenState = scMenu;
  TipIndex = 8;
  TipClock = 9990;
  Frame(11);
  EXPECT_EQ(TipIndex, 9);  // carried past the end in the menu...
  ScreenState = scPlaying;
  Frame(1);
  EXPECT_EQ(TipIndex, 1);  // ...the first playing frame shows tip 1
}
