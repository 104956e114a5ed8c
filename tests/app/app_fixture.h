// Shared test scaffolding for the shell and the heads-up units: a fake platform, a temporary
// working folder, a fresh main form, captured sounds and in-memory sprites.
#pragma once
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "app/mainform.h"
#include "app/shell.h"
#include "hud/funcs.h"
#include "hud/msgbox.h"
#include "hud/panel.h"
#include "hud/tips.h"
#include "media/effects.h"
#include "media/music.h"
#include "media/package.h"
#include "menu/menu.h"
#include "platform/fake/fake_platform.h"
#include "puzzle/pieces.h"
#include "settings/reestr.h"

namespace testkit {

// Sprite colours: base + pattern index, never black (black is the transparent colour).
struct SpriteSpec {
  const char* name;
  int w, h, patterns;
  uint32_t color;  // 0x00RRGGBB of pattern 0
};

inline const std::vector<SpriteSpec> kStandardSprites = {
      {"Loading", 100, 50, 1, 0x404040},      {"CursorPnt", 10, 10, 1, 0xFFFF00},
      {"RotateCW", 36, 36, 14, 0x00A000},      {"RotateCCW", 36, 36, 14, 0x00B000},
      {"Complete_52x100", 198, 100, 1, 0x3050F0}, {"Slot", 300, 300, 1, 0x202020},
      {"pan_numbers", 15, 20, 10, 0xC0C0C0},   {"bigpanel", 137, 149, 1, 0x101080},
      {"smalpanel", 77, 40, 1, 0x101081},      {"pan_level", 99, 25, 2, 0x201010},
      {"pan_menu", 99, 25, 2, 0x202010},       {"pan_next", 99, 25, 2, 0x203010},
      {"pan_prev", 99, 25, 2, 0x204010},       {"pan_minimize", 25, 25, 2, 0x205010},
      {"pan_close", 25, 25, 2, 0x206010},      {"pan_time", 90, 30, 1, 0x207010},
      {"pan_fortext", 180, 100, 1, 0x208010},  {"pan_nexttip", 20, 20, 2, 0x209010},
      {"btn_OK", 60, 30, 2, 0x20A010},         {"menufone", 800, 600, 1, 0x102030},
      // The menu's pictures, small and plain.
      {"menu_Episode1_41x62", 150, 30, 1, 0x301010}, {"menu_Episode2_41x97", 150, 30, 1, 0x301011},
      {"menu_Episode3_41x133", 150, 30, 1, 0x301012}, {"menu_Episode4_41x169", 150, 30, 1, 0x301013},
      {"menu_Episode5_41x204", 150, 30, 1, 0x301014}, {"menu_Options_25x276", 150, 30, 1, 0x301015},
      {"menu_Help_25x310", 150, 30, 1, 0x301016},  {"menu_Exit_25x381", 150, 30, 1, 0x301017},
      {"bsURLactive_16x445", 150, 20, 1, 0x301018}, {"menu_Legend_226x426", 200, 30, 1, 0x301019},
      {"menu_slot_210x69", 400, 300, 1, 0x30101A}, {"_level", 60, 20, 2, 0x30101B},
      {"_box", 20, 20, 2, 0x30101C},               {"_checkedbox", 20, 20, 2, 0x30101D},
      {"_greenstar", 20, 20, 2, 0x30101E},         {"_goldstar", 20, 20, 2, 0x30101F},
      {"_redstar", 20, 20, 2, 0x301020},           {"0", 20, 20, 2, 0x301021},
      {"1", 20, 20, 2, 0x301023},                  {"2", 20, 20, 2, 0x301025},
      {"3", 20, 20, 2, 0x301027},                  {"4", 20, 20, 2, 0x301029},
      {"5", 20, 20, 2, 0x30102B},                  {"6", 20, 20, 2, 0x30102D},
      {"7", 20, 20, 2, 0x30102F},                  {"8", 20, 20, 2, 0x301031},
      {"9", 20, 20, 2, 0x301033},                  {"menu_headerOptions_303x85", 200, 40, 1, 0x301035},
      {"menu_OptionsItems", 200, 200, 1, 0x301036}, {"btn_Easy", 60, 30, 2, 0x301037},
      {"btn_Normal", 60, 30, 2, 0x301039},         {"btn_Yes", 60, 30, 2, 0x30103B},
      {"btn_No", 60, 30, 2, 0x30103D},             {"menu_Help_311x150", 300, 250, 1, 0x30103F},
      {"menu_headerExit", 200, 40, 1, 0x301040},   {"menu_trymoregames", 200, 40, 1, 0x301041},
};
inline const std::vector<SpriteSpec>& StandardSprites() { return kStandardSprites; }

// Texture i is a 64 x 64 square of one colour.
inline uint32_t TextureColor(int i) { return 0x500000u + static_cast<uint32_t>(i) * 0x000F0Fu + 0x10; }

inline TPicture MakePicture(const SpriteSpec& s) {
  TPicture p;
  p.Width = s.w * s.patterns;
  p.Height = s.h;
  p.Pixels.resize(static_cast<size_t>(p.Width) * p.Height);
  for (int y = 0; y < p.Height; ++y)
    for (int x = 0; x < p.Width; ++x)
      p.Pixels[static_cast<size_t>(y) * p.Width + x] = s.color + static_cast<uint32_t>(x / s.w);
  return p;
}

inline void AddSprite(TImageList& list, const SpriteSpec& s) {
  TImageItem& it = list.Add();
  it.Name = s.name;
  it.Picture = MakePicture(s);
  it.PatternWidth = s.w;
  it.PatternHeight = s.h;
  it.Transparent = true;
  it.TransparentColor = clBlack;
}

inline void AddStandardImages(TMainForm& f) {
  for (const auto& s : StandardSprites()) AddSprite(f.ImageList, s);
  for (int i = 0; i < 11; ++i) {
    SpriteSpec t{"tex", 64, 64, 1, TextureColor(i)};
    AddSprite(f.TexList, t);
  }
}

inline void WritePackages(const std::string& dir) {
  std::vector<TImageItemData> sprites, textures;
  for (const auto& s : StandardSprites()) {
    TImageItemData d;
    d.Name = s.name;
    d.PatternWidth = s.w;
    d.PatternHeight = s.h;
    d.Transparent = true;
    d.HasPicture = true;
    d.Picture = MakePicture(s);
    sprites.push_back(std::move(d));
  }
  for (int i = 0; i < 11; ++i) {
    TImageItemData d;
    d.Name = "tex" + std::to_string(i);
    d.HasPicture = true;
    d.Picture = MakePicture({"tex", 64, 64, 1, TextureColor(i)});
    textures.push_back(std::move(d));
  }
  auto write = [&](const std::string& name, const std::vector<uint8_t>& bytes) {
    std::ofstream o(dir + "/" + name, std::ios::binary);
    o.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  };
  write("Sprites.gpk", WriteImagePackage(sprites));
  write("Textures.gpk", WriteImagePackage(textures));
  write("Sounds.spk", WriteWavePackage({}));
}

// Level 0: two 100 x 200 bars that fill the slot-box side by side.
inline void WriteTwoBarLevel(const std::string& dir) {
  std::ofstream o(dir + "/Episode0.dat");
  o << "[level0]\nNumFig=2\nMedTime=300\n"
       "Tip1=4\nForm_1_1_X=-50\nForm_1_1_Y=-100\nForm_1_2_X=50\nForm_1_2_Y=-100\n"
       "Form_1_3_X=50\nForm_1_3_Y=100\nForm_1_4_X=-50\nForm_1_4_Y=100\nForm_1_X=350\nForm_1_Y=200\n"
       "Tip2=4\nForm_2_1_X=-50\nForm_2_1_Y=-100\nForm_2_2_X=50\nForm_2_2_Y=-100\n"
       "Form_2_3_X=50\nForm_2_3_Y=100\nForm_2_4_X=-50\nForm_2_4_Y=100\nForm_2_X=450\nForm_2_Y=200\n";
}

class AppTest : public ::testing::Test {
 protected:
  plat::FakePlatform fake;
  std::string dir;
  std::filesystem::path oldDir;
  std::vector<std::pair<std::string, bool>> sounds;

  void SetUp() override {
    plat::SetPlatform(&fake);
    oldDir = std::filesystem::current_path();
    char tmpl[] = "/tmp/tangrel_app_XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir = tmpl;
    std::filesystem::current_path(dir);
    fake.configDir = dir + "/";
    fake.programDir = dir + "/";
    ResetShellState();
    ResetPuzzleState();
    ResetPanel();
    ResetTips();
    ResetMessageBox();
    Settings = TSettings{};
    Settings.Full = 0;
    SoundTap = [this](const std::string& n, bool wait) { sounds.emplace_back(n, wait); };
    MainForm = new TMainForm();
  }

  void TearDown() override {
    delete MainForm;
    MainForm = nullptr;
    SoundTap = nullptr;
    std::filesystem::current_path(oldDir);
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
    plat::SetPlatform(nullptr);
  }

  int CountSound(const std::string& name) const {
    int n = 0;
    for (const auto& s : sounds)
      if (s.first == name) ++n;
    return n;
  }

  // Opens the device on in-memory images the way the first activation does.
  void OpenWithImages() {
    AddStandardImages(*MainForm);
    InitPanel();
    MainForm->ActivateInstalled = true;
    MainForm->AppActivate();
  }

  // One frame of lag ms through the loop's own frame path.
  void Frame(uint32_t lag) {
    fake.ticks += lag;
    RunOneFrame();
  }

  uint32_t Pixel(int x, int y) const { return MainForm->DrawDevice.Surface.GetPixel(x, y); }
};

}  // namespace testkit
