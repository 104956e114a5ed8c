// The Options page, the exit confirmation and the more-games link.
#include "menu_fixture.h"

using Sounds = std::vector<std::string>;

namespace {
constexpr int kOptions = 6;
constexpr int kExit = 8;
constexpr int kLink = 9;
constexpr int kOk = 7;  // the Options page's OK button
}  // namespace

TEST(MenuFlags, StateAndFlagConvert) {
  EXPECT_EQ(StateOfFlag(-1), 1);
  EXPECT_EQ(StateOfFlag(1), 1);
  EXPECT_EQ(StateOfFlag(0), 2);
  EXPECT_EQ(FlagOfState(1), -1);
  EXPECT_EQ(FlagOfState(2), 0);
  EXPECT_EQ(FlagOfState(0), 0);
  EXPECT_EQ(FlagOfState(3), 0);
}

TEST_F(MenuTest, OptionButtonsTakeTheSettingsAtBuild) {
  Settings = {0, -1, 0, -1, 0, -1};  // Full, Tips, Difficulty, Sounds, Music, Use3D
  BuildMenu();
  EXPECT_EQ(OptionButtons[1].State, 1);  // Easy
  EXPECT_EQ(OptionButtons[2].State, 2);  // full screen off
  EXPECT_EQ(OptionButtons[3].State, 1);
  EXPECT_EQ(OptionButtons[4].State, 1);  // 3D
  EXPECT_EQ(OptionButtons[5].State, 2);  // music
  EXPECT_EQ(OptionButtons[6].State, 1);  // sounds
  EXPECT_EQ(OptionButtons[kOk].State, 1);
  EXPECT_EQ(OptionButtons[kOk].StateCount, 1);
  EXPECT_EQ(OptionButtons[1].Rect, (TRect{530, 210, 636, 242}));
  EXPECT_EQ(OptionButtons[1].Images[2], "btn_Normal");
  EXPECT_EQ(HoverOption, 0);
}

TEST_F(MenuTest, StoredDifficultyBeyondNormalShowsNormal) {
  Settings.Difficulty = 7;
  BuildMenu();
  EXPECT_EQ(OptionButtons[1].State, 2);
  OpenItem(kOptions);
  ClickOption(kOk);
  EXPECT_EQ(Settings.Difficulty, 1);
}

TEST_F(MenuTest, OptionButtonsReactOnlyOnTheirPage) {
  BuildMenu();
  OpenItem(2);
  MoveToItem(kOptions);  // preview
  MoveToOption(3);  // over a level row of episode 2 too
  EXPECT_EQ(HoverOption, 0);
  sounds.clear();
  MoveToItem(kOptions);
  MenuClick();
  EXPECT_EQ(ActiveItem, kOptions);
  EXPECT_EQ(sounds, (Sounds{"menu1", "beep1"}));
  sounds.clear();
  MoveToOption(3);
  MoveToOption(3);
  EXPECT_EQ(HoverOption, 3);
  EXPECT_EQ(sounds, (Sounds{"menu2"}));
}

TEST_F(MenuTest, SwitchClickedTwiceReturnsAndSettingsWaitForOk) {
  BuildMenu();
  OpenItem(kOptions);
  MoveToOption(3);
  sounds.clear();
  MenuClick();
  EXPECT_EQ(OptionButtons[3].State, 2);
  EXPECT_EQ(Settings.Tips, -1);  // untouched until OK
  MenuClick();
  EXPECT_EQ(OptionButtons[3].State, 1);
  EXPECT_EQ(sounds, (Sounds{"beep2", "beep2"}));

  // The difficulty flips both ways too.
  ClickOption(1);
  EXPECT_EQ(OptionButtons[1].State, 1);
  MenuClick();
  EXPECT_EQ(OptionButtons[1].State, 2);
  EXPECT_EQ(ActiveItem, kOptions);
}

TEST_F(MenuTest, OkWithoutChangeStillSavesAndReturnsToEpisodeOne) {
  BuildMenu();
  OpenItem(kOptions);
  MoveToOption(kOk);
  sounds.clear();
  MenuClick();
  EXPECT_EQ(sounds, (Sounds{"beep2", "beep2"}));  // the button's click and OK's own
  EXPECT_EQ(OptionButtons[kOk].State, 1);
  EXPECT_EQ(ActiveItem, 1);
  const TSettings built{};
  EXPECT_EQ(Settings.Difficulty, built.Difficulty);
  EXPECT_EQ(Settings.Music, built.Music);

  // What OK saved comes back from the store.
  const TSettings written = Settings;
  Settings = {0, 0, 0, 0, 0, 0};
  ReadRegistrySettings();
  EXPECT_EQ(Settings.Full != 0, written.Full != 0);
  EXPECT_EQ(Settings.Tips != 0, written.Tips != 0);
  EXPECT_EQ(Settings.Difficulty, written.Difficulty);
  EXPECT_EQ(Settings.Sounds != 0, written.Sounds != 0);
  EXPECT_EQ(Settings.Music != 0, written.Music != 0);
  EXPECT_EQ(Settings.Use3D != 0, written.Use3D != 0);
  EXPECT_TRUE(std::filesystem::exists(scratch / kProgressFile));
  EXPECT_EQ(mci.commands.back(), "play mainback notify");  // a new theme
}

TEST_F(MenuTest, OkWithMusicOffStopsIt) {
  BuildMenu();
  OpenItem(kOptions);
  ClickOption(5);
  EXPECT_TRUE(mci.commands.empty());  // a click alone changes nothing yet
  ClickOption(kOk);
  EXPECT_EQ(Settings.Music, 0);
  EXPECT_EQ(mci.commands, (std::vector<std::string>{"stop mainback wait", "close mainback wait"}));
}

TEST_F(MenuTest, OkWritesEverySwitchAsShown) {
  Settings = {-1, -1, 1, -1, -1, 0};
  BuildMenu();
  OpenItem(kOptions);
  for (int b = 1; b <= 5; ++b) {  // everything but Sounds, so the clicks stay audible
    ClickOption(b);
  }
  ClickOption(kOk);
  EXPECT_EQ(Settings.Difficulty, 0);
  EXPECT_EQ(Settings.Full, 0);
  EXPECT_EQ(Settings.Tips, 0);
  EXPECT_EQ(Settings.Use3D, -1);
  EXPECT_EQ(Settings.Music, 0);
  EXPECT_EQ(Settings.Sounds, -1);
}

TEST_F(MenuTest, OkHearsItsOwnClickBeforeSoundsGoOff) {
  BuildMenu();
  OpenItem(kOptions);
  ClickOption(6);
  ASSERT_EQ(OptionButtons[6].State, 2);
  sounds.clear();
  ClickOption(kOk);
  EXPECT_EQ(sounds, (Sounds{"menu2", "beep2", "beep2"}));
  EXPECT_EQ(Settings.Sounds, 0);
  sounds.clear();
  MoveToItem(3);
  MenuClick();
  EXPECT_TRUE(sounds.empty());
}

TEST_F(MenuTest, FullButtonKeepsTheStartUpValue) {
  Settings.Full = 0;
  BuildMenu();
  Settings.Full = -1;  // the display-mode key switched to full screen meanwhile
  EXPECT_EQ(OptionButtons[2].State, 2);
  OpenItem(kOptions);
  ClickOption(kOk);
  EXPECT_EQ(Settings.Full, 0);
}

TEST_F(MenuTest, LeavingOptionsWithoutOkKeepsTheButtonsOnly) {
  BuildMenu();
  OpenItem(kOptions);
  ClickOption(4);
  OpenItem(2);
  EXPECT_EQ(Settings.Use3D, 0);
  EXPECT_EQ(HoverOption, 0);
  EXPECT_EQ(OptionButtons[4].State, 1);  // 3D was off (state 2), now shows on
}

TEST_F(MenuTest, ExitNoReturnsToEpisodeOne) {
  BuildMenu();
  OpenItem(3);
  MoveToItem(kExit);
  MenuClick();  // opening the question answers nothing
  EXPECT_EQ(ActiveItem, kExit);
  EXPECT_EQ(HoverExitButton, 0);
  EXPECT_FALSE(MainForm->Closed);
  EXPECT_EQ(sounds, (Sounds{"menu1", "beep1"}));
  sounds.clear();
  MoveTo(Centre(ExitButtons[2]));
  EXPECT_EQ(HoverExitButton, 2);
  MenuClick();
  EXPECT_EQ(sounds, (Sounds{"menu2", "beep2"}));
  EXPECT_EQ(ActiveItem, 1);
}

TEST_F(MenuTest, ExitButtonsReactOnlyOnTheirPage) {
  BuildMenu();
  OpenItem(2);
  MoveToItem(kExit);
  MoveTo(Centre(ExitButtons[1]));
  EXPECT_EQ(HoverExitButton, 0);
  MenuClick();
  EXPECT_EQ(ActiveItem, 2);
  EXPECT_FALSE(MainForm->Closed);
}

TEST_F(MenuTest, ClickingTheExitItemAgainIsNeverYes) {
  Settings.Sounds = 0;
  BuildMenu();
  OpenItem(kExit);
  MoveTo(Centre(ExitButtons[1]));
  ASSERT_EQ(HoverExitButton, 1);
  MoveToItem(kExit);
  MenuClick();
  EXPECT_FALSE(MainForm->Closed);
  EXPECT_EQ(ActiveItem, kExit);
}

TEST_F(MenuTest, ExitYesWithSoundsOffClosesAtOnce) {
  LoadSettings();  // as start-up does; the closing save writes only what was read
  Settings.Sounds = 0;
  BuildMenu();
  OpenItem(kExit);
  MoveTo(Centre(ExitButtons[1]));
  MenuClick();
  EXPECT_TRUE(MainForm->Closed);
  EXPECT_TRUE(sounds.empty());
  EXPECT_TRUE(std::filesystem::exists(scratch / kProgressFile));  // shut-down saved
}

TEST_F(MenuTest, ExitYesWithoutTheFarewellSoundKeepsTheGameOpen) {
  BuildMenu();
  OpenItem(kExit);
  MoveTo(Centre(ExitButtons[1]));
  sounds.clear();
  EXPECT_THROW(MenuClick(), std::exception);  // no "exit" in the wave list
  EXPECT_EQ(sounds, (Sounds{"exit"}));
  EXPECT_FALSE(MainForm->Closed);
}

TEST_F(MenuTest, LinkMinimisesOpensTheAddressAndReturns) {
  BuildMenu();
  OpenItem(4);
  MoveToItem(kLink);
  MenuClick();
  EXPECT_EQ(sounds, (Sounds{"menu1", "beep1", "beep2"}));
  EXPECT_TRUE(fake.minimized);
  EXPECT_EQ(fake.urls, (std::vector<std::string>{kMoreGamesUrl}));
  EXPECT_EQ(ActiveItem, 1);
}

TEST_F(MenuTest, LinkThatCannotOpenChangesNothingElse) {
  fake.openUrlResult = false;
  BuildMenu();
  OpenItem(kLink);
  EXPECT_EQ(fake.urls.size(), 1u);
  EXPECT_EQ(ActiveItem, 1);
  EXPECT_EQ(ScreenState, scMenu);
}
