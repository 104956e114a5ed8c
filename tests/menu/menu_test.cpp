// The main menu's model: start-up state, pointer tracking with its hover sounds, clicks on
// items and level rows, and the highlight fade.
#include "menu_fixture.h"

using Sounds = std::vector<std::string>;

TEST_F(MenuTest, BuildTakesItemSizesFromTheirImages) {
  BuildMenu();
  EXPECT_EQ(MenuItems[1].Rect, (TRect{121, 122, 261, 152}));
  EXPECT_EQ(MenuItems[6].Rect, (TRect{105, 336, 255, 366}));
  EXPECT_EQ(MenuItems[9].Rect, (TRect{96, 505, 296, 545}));
  EXPECT_EQ(MenuItems[9].Name, "bsURLactive_16x445");
  for (int i = 1; i <= 9; ++i) EXPECT_EQ(MenuItems[i].Glow, 0) << i;
}

TEST_F(MenuTest, BuildFailsOnAMissingCaption) {
  MainForm->ImageList.Clear();
  EXPECT_THROW(BuildMenu(), std::exception);
}

TEST_F(MenuTest, FirstClickBeforeAnyMoveStartsLevelZero) {
  BuildMenu();
  EXPECT_EQ(HoverItem, 1);
  EXPECT_EQ(ActiveItem, 1);
  EXPECT_EQ(HoverLevel, 0);
  CurrentLevel = 37;
  MenuClick();
  EXPECT_EQ(ScreenState, scPlaying);
  EXPECT_EQ(CurrentLevel, 0);
  EXPECT_EQ(ActiveItem, 1);
  EXPECT_EQ(sounds, (Sounds{"beep1", "NewLevel"}));  // the second from setting the level up
}

TEST_F(MenuTest, AnyButtonPressActsLikeALeftOne) {
  BuildMenu();
  MainForm->DrawDeviceMouseMove(0, Centre(MenuItems[2].Rect).X, Centre(MenuItems[2].Rect).Y);
  MainForm->DrawDeviceMouseDown(TMouseButton::mbRight, ssRight, 0, 0);
  EXPECT_EQ(ActiveItem, 2);
  const TPoint row = Centre(LevelCatalogue[3].Row);
  MainForm->DrawDeviceMouseMove(0, row.X, row.Y);
  MainForm->DrawDeviceMouseDown(TMouseButton::mbMiddle, ssMiddle, row.X, row.Y);
  EXPECT_EQ(CurrentLevel, 23);
  EXPECT_EQ(ScreenState, scPlaying);
  EXPECT_EQ(sounds, (Sounds{"menu1", "beep1", "menu2", "NewLevel"}));
}

TEST_F(MenuTest, PreviewingAnotherEpisodeKeepsTheActiveOne) {
  BuildMenu();
  MoveToItem(3);
  EXPECT_EQ(HoverItem, 3);
  EXPECT_EQ(ActiveItem, 1);
  EXPECT_EQ(HoverLevel, -1);
  EXPECT_EQ(sounds, (Sounds{"menu1"}));

  // Off the item, the rows under the pointer are the active episode's.
  MoveTo(Centre(LevelCatalogue[4].Row));
  EXPECT_EQ(HoverItem, 0);
  EXPECT_EQ(HoverLevel, 4);
  EXPECT_EQ(sounds, (Sounds{"menu1", "menu2"}));
}

TEST_F(MenuTest, SharedStripBetweenRowsBelongsToTheLowerRow) {
  BuildMenu();
  MoveOffEverything();
  // Rows 0 and 1 share y 191 and 192; so do rows 12 and 13 in the right column.
  MenuMouseMove(400, 185);
  EXPECT_EQ(HoverLevel, 0);
  MenuMouseMove(400, 191);
  EXPECT_EQ(HoverLevel, 1);
  MenuMouseMove(400, 192);
  MenuMouseMove(401, 191);
  EXPECT_EQ(HoverLevel, 1);
  EXPECT_EQ(sounds, (Sounds{"menu2", "menu2"}));

  sounds.clear();
  MenuMouseMove(600, 160 + 31 * 3);
  EXPECT_EQ(HoverLevel, 13);
  MenuMouseMove(600, 160 + 31 * 3 + 1);
  EXPECT_EQ(HoverLevel, 13);
  EXPECT_EQ(sounds, (Sounds{"menu2"}));
}

TEST_F(MenuTest, HoverSoundsPlayOncePerEntry) {
  BuildMenu();
  MoveOffEverything();
  const TRect& item2 = MenuItems[2].Rect;
  MenuMouseMove(item2.Left, item2.Top);
  MenuMouseMove(item2.Right, item2.Bottom);  // edges belong to the item
  EXPECT_EQ(sounds, (Sounds{"menu1"}));
  MoveOffEverything();
  MenuMouseMove(item2.Left + 5, item2.Top + 5);
  EXPECT_EQ(sounds, (Sounds{"menu1", "menu1"}));

  sounds.clear();
  MoveTo(Centre(LevelCatalogue[5].Row));
  MoveTo(Centre(LevelCatalogue[6].Row));
  MoveTo(Centre(LevelCatalogue[6].Row));
  MoveOffEverything();
  MoveTo(Centre(LevelCatalogue[6].Row));
  EXPECT_EQ(sounds, (Sounds{"menu2", "menu2", "menu2"}));
  EXPECT_EQ(MenuMouse, Centre(LevelCatalogue[6].Row));
}

TEST_F(MenuTest, ClickOnNothingPlaysAndChangesNothing) {
  BuildMenu();
  OpenItem(4);
  MoveOffEverything();
  sounds.clear();
  CurrentLevel = 12;
  MenuClick();
  EXPECT_TRUE(sounds.empty());
  EXPECT_EQ(ActiveItem, 4);
  EXPECT_EQ(CurrentLevel, 12);
  EXPECT_EQ(ScreenState, scMenu);
}

TEST_F(MenuTest, EpisodeFiveRowsStartLevelsEightyToNinetyNine) {
  BuildMenu();
  OpenItem(5);
  for (int r = 0; r < 20; ++r) {
    MoveTo(Centre(LevelCatalogue[r].Row));
    ASSERT_EQ(HoverLevel, 80 + r);
    ScreenState = scMenu;
    MenuClick();
    EXPECT_EQ(CurrentLevel, 80 + r);
    EXPECT_EQ(ScreenState, scPlaying);
    EXPECT_EQ(ActiveItem, 5);  // the menu reopens on the episode
  }
}

TEST_F(MenuTest, RowsOfAnInactiveEpisodeAreNotClickable) {
  BuildMenu();
  OpenItem(2);
  MoveToItem(3);  // preview episode 3
  MenuClick();    // activates it, no level
  EXPECT_EQ(ActiveItem, 3);
  EXPECT_EQ(ScreenState, scMenu);
  EXPECT_EQ(sounds, (Sounds{"menu1", "beep1"}));
}

TEST_F(MenuTest, GlowRisesInSixFramesAndFadesInThirteen) {
  BuildMenu();
  MoveToItem(3);
  const double rise[] = {50, 100, 150, 200, 250, 255};
  for (double expected : rise) {
    DrawMenu();
    EXPECT_EQ(MenuItems[3].Glow, expected);
  }
  EXPECT_EQ(MenuItems[1].Glow, 255);  // the active item never fades
  MoveOffEverything();
  int frames = 0;
  while (MenuItems[3].Glow > 0 && frames < 100) {
    DrawMenu();
    ++frames;
  }
  EXPECT_EQ(frames, 13);
  EXPECT_EQ(MenuItems[1].Glow, 255);
  EXPECT_EQ(MenuItems[2].Glow, 0);
}

TEST_F(MenuTest, StateSurvivesALevelAndBack) {
  BuildMenu();
  OpenItem(3);
  MoveTo(Centre(LevelCatalogue[7].Row));
  MenuClick();
  ASSERT_EQ(CurrentLevel, 47);
  ScreenState = scMenu;  // the panel's menu button
  EXPECT_EQ(ActiveItem, 3);
  EXPECT_EQ(HoverLevel, 47);
  DrawMenu();
  EXPECT_EQ(MenuItems[3].Glow, 255);
}
