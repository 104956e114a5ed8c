// A headless menu on the test kit: a main form with sprites made in memory (small, so that
// nothing the tests probe is drawn over by a neighbour), the effects heard, the music's
// command strings and a scratch working folder with the level files.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "app/mainform.h"
#include "game/state.h"
#include "media/music.h"
#include "menu/menu.h"
#include "platform/fake/fake_audio.h"
#include "platform/fake/fake_platform.h"
#include "puzzle/pieces.h"
#include "settings/reestr.h"
#include "testkit/testkit.h"

struct TSpriteShape {
  const char* Name;
  int32_t Width;   // of one pattern
  int32_t Height;  // of one pattern; the picture holds two, one above the other
};

// Sizes small enough that nothing the tests probe is drawn over by a neighbour.
inline const std::vector<TSpriteShape> kMenuSprites = {
      {"menufone", 10, 10},
      {"menu_Episode1_41x62", 140, 30},
      {"menu_Episode2_41x97", 140, 30},
      {"menu_Episode3_41x133", 140, 30},
      {"menu_Episode4_41x169", 140, 30},
      {"menu_Episode5_41x204", 140, 30},
      {"menu_Options_25x276", 150, 30},
      {"menu_Help_25x310", 150, 30},
      {"menu_Exit_25x381", 150, 30},
      {"bsURLactive_16x445", 200, 40},
      {"menu_Legend_226x426", 50, 10},
      {"menu_slot_210x69", 20, 10},
      {"_greenstar", 25, 20},
      {"_goldstar", 25, 20},
      {"_redstar", 25, 20},
      {"_checkedbox", 25, 20},
      {"_box", 25, 20},
      {"_level", 60, 20},
      {"0", 18, 20}, {"1", 18, 20}, {"2", 18, 20}, {"3", 18, 20}, {"4", 18, 20},
      {"5", 18, 20}, {"6", 18, 20}, {"7", 18, 20}, {"8", 18, 20}, {"9", 18, 20},
      {"menu_headerOptions_303x85", 30, 20},
      {"menu_OptionsItems", 30, 20},
      {"btn_Easy", 106, 32},
      {"btn_Normal", 106, 32},
      {"btn_Yes", 60, 30},
      {"btn_No", 60, 30},
      {"btn_Ok", 70, 30},
      {"menu_Help_311x150", 40, 20},
      {"menu_headerExit", 40, 20},
      {"menu_trymoregames", 40, 20},
};

// Every sprite pattern is one flat colour of its own, never black (black is transparent).
inline uint32_t SpriteColour(const std::string& name, int pattern) {
  const auto& sprites = kMenuSprites;
  for (size_t k = 0; k < sprites.size(); ++k) {
    if (name == sprites[k].Name) return (pattern == 0 ? 0x400000u : 0x800000u) | uint32_t(k + 1) << 8;
  }
  ADD_FAILURE() << "no sprite " << name;
  return 0;
}

constexpr uint32_t kTextureColour = 0x0000A0;  // texture 10, the menu's background

class MenuTest : public ::testing::Test {
 protected:
  plat::FakePlatform fake;
  plat::FakeMediaControl mci;  // the music's command strings
  testkit::ScratchFolder work;
  testkit::SoundLog heard;
  std::vector<std::string>& sounds = heard.names;
  std::filesystem::path scratch;

  void SetUp() override {
    ASSERT_TRUE(work.Enter("menu_test"));
    scratch = work.path;
    testkit::StartUnits(fake, work.Dir());
    plat::SetMediaControl(&mci);
    // The level files, so that a started level can load.
    testkit::CopyLevelFiles(scratch);

    LayOutLevelRows();
    Settings.Sounds = -1;
    ScreenState = scMenu;

    MainForm = new TMainForm;
    AddSprites();
    heard.Listen();
  }

  void TearDown() override {
    heard.Stop();
    plat::SetMediaControl(nullptr);
    delete MainForm;
    MainForm = nullptr;
    work.Leave();
    plat::SetPlatform(nullptr);
  }

  void AddSprites() {
    for (const auto& s : kMenuSprites) {
      TImageItem& item = MainForm->ImageList.Add();
      item.Name = s.Name;
      item.PatternWidth = s.Width;
      item.PatternHeight = s.Height;
      item.Picture.Width = s.Width;
      item.Picture.Height = 2 * s.Height;
      item.Picture.Pixels.assign(size_t(s.Width) * s.Height, SpriteColour(s.Name, 0));
      item.Picture.Pixels.resize(size_t(s.Width) * s.Height * 2, SpriteColour(s.Name, 1));
    }
    for (int t = 0; t <= 10; ++t) {
      TImageItem& item = MainForm->TexList.Add();
      item.Name = "texture" + std::to_string(t);
      item.Picture.Width = 16;
      item.Picture.Height = 16;
      item.Picture.Pixels.assign(256, t == 10 ? kTextureColour : 0x000010u + uint32_t(t));
    }
  }

  // The centre of an item, a level row or a button.
  static TPoint Centre(const TRect& r) { return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2}; }
  static void MoveTo(TPoint p) { MenuMouseMove(p.X, p.Y); }
  static void MoveToItem(int i) { MoveTo(Centre(MenuItems[i].Rect)); }
  // Clicks an item with the pointer on it, as the player does to open its page.
  void OpenItem(int i) {
    MoveToItem(i);
    MenuClick();
    sounds.clear();
  }
  static void MoveOffEverything() { MenuMouseMove(790, 590); }
  static void MoveToOption(int b) { MoveTo(Centre(OptionButtons[b].Rect)); }
  // Clicks an Options button with the pointer on it.
  static void ClickOption(int b) {
    MoveToOption(b);
    MenuClick();
  }
};
