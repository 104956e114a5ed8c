// The table of what the game uses from its packages is complete: with exactly the sprites
// it lists and its textures, every screen draws without a missing picture, and every effect
// the game plays is listed.
#include <set>

#include "app_fixture.h"
#include "media/game_assets.h"

using testkit::AppTest;

TEST_F(AppTest, EveryScreenDrawsFromTheListedSpritesAlone) {
  for (size_t i = 0; i < kGameSpriteCount; ++i) {
    const TSpriteNeed& n = kGameSprites[i];
    testkit::AddSprite(MainForm->ImageList, {n.Name, n.Width ? n.Width : 24, n.Height ? n.Height : 24,
                                             n.Patterns, 0x404040u + static_cast<uint32_t>(i)});
  }
  for (int i = 0; i < kGameTextureCount; ++i) testkit::AddSprite(MainForm->TexList, {"tex", 64, 64, 1, 0x500000});
  testkit::WriteTwoBarLevel(dir);
  BuildMenu();
  InitPanel();
  Settings.Tips = -1;
  for (int i = 0; i < 100; ++i) {  // every star and both boxes
    LevelCatalogue[i].Rating = i % 3;
    PlayerRecord.SetSolvedFlags(i, i % 2 ? -1 : 0);
  }
  MainForm->ActivateInstalled = true;
  MainForm->AppActivate();
  ASSERT_TRUE(fake.errors.empty()) << fake.errors.front();

  ScreenState = scLoading;
  Frame(16);
  ScreenState = scMenu;
  for (uint8_t item = 1; item <= 9; ++item) {
    ActiveItem = item;
    for (int32_t y = 0; y < 600; y += 15) {  // every row and button under the pointer once
      MainForm->DrawDeviceMouseMove(0, 420, y);
      MainForm->DrawDeviceMouseMove(0, 600, y);
      MainForm->DrawDeviceMouseMove(0, 120, y);
      Frame(40);
    }
  }
  ScreenState = scPlaying;
  for (int32_t y = 0; y < 600; y += 10) {
    for (int32_t x : {10, 300, 560, 700, 750, 780}) MainForm->DrawDeviceMouseMove(0, x, y);
    for (int k = 0; k < 14; ++k) {  // the pointer sprites' every pattern
      RotateCursor = static_cast<uint8_t>(1 + k % 2);
      Frame(16);
    }
  }
  RotateCursor = 0;
  ScreenState = scLevelComplete;
  for (int t = 0; t < 5000; t += 100) Frame(100);
  ScreenState = scPlaying;
  ShowMessageBox();
  MainForm->DrawDeviceMouseMove(0, 400, 378);
  Frame(16);
  EXPECT_TRUE(fake.errors.empty()) << fake.errors.front();
  EXPECT_EQ(ScreenState, scMessageBox);
}

TEST_F(AppTest, EveryEffectPlayedIsListed) {
  std::set<std::string> listed;
  for (size_t i = 0; i < kGameEffectCount; ++i) listed.insert(kGameEffects[i]);
  // A level played through with the sounds on, with every other screen visited on the way.
  testkit::AddStandardImages(*MainForm);
  testkit::WriteTwoBarLevel(dir);
  BuildMenu();
  InitPanel();
  Settings.Sounds = -1;
  MainForm->ActivateInstalled = true;
  MainForm->AppActivate();
  ScreenState = scPlaying;
  MainForm->FormKeyDown(VK_SPACE, 0);  // the message box
  MainForm->FormKeyDown(VK_SPACE, 0);
  for (int i = 0; i < 4; ++i) DispatchEvent({plat::EventKind::KeyDown, VK_F1, 0, TMouseButton::mbLeft, 0, 0, 0});
  for (int i = 0; i < 200 && ScreenState == scAutoSolve; ++i) Frame(16);
  MainForm->DrawDeviceMouseUp(TMouseButton::mbLeft, 0, 10, 10);
  MainForm->FormKeyDown(VK_SPACE, 0);
  ASSERT_FALSE(sounds.empty());
  for (const auto& s : sounds) EXPECT_TRUE(listed.count(s.first)) << s.first;
}
