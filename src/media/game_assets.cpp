// The game's sprites, textures and effects, and the check of a package against them.
#include "media/game_assets.h"

#include "platform/text.h"

extern const TSpriteNeed kGameSprites[] = {
    // The shell: loading screen, pointers, level-complete plate.
    {"Loading", 1, 0, 0},
    {"CursorPnt", 1, 0, 0},
    {"RotateCW", 14, 36, 36},  // animated through patterns 0 to 13, centred on the pointer
    {"RotateCCW", 14, 36, 36},
    {"Complete_52x100", 1, 0, 0},
    // The playing field and the panel.
    {"Slot", 1, 0, 0},
    {"pan_numbers", 10, 0, 0},  // the digits 0 to 9
    {"bigpanel", 1, 0, 0},
    {"smalpanel", 1, 0, 0},
    {"pan_level", 1, 0, 0},
    {"pan_menu", 2, 0, 0},
    {"pan_next", 2, 0, 0},
    {"pan_prev", 2, 0, 0},
    {"pan_minimize", 2, 0, 0},
    {"pan_close", 2, 0, 0},
    {"pan_time", 1, 0, 0},
    {"pan_fortext", 1, 0, 0},
    {"pan_nexttip", 2, 0, 0},
    {"btn_OK", 2, 60, 30},  // the message box's button: its hit area is 60 by 30
    // The menu.
    {"menufone", 1, 0, 0},
    {"menu_Episode1_41x62", 1, 0, 0},
    {"menu_Episode2_41x97", 1, 0, 0},
    {"menu_Episode3_41x133", 1, 0, 0},
    {"menu_Episode4_41x169", 1, 0, 0},
    {"menu_Episode5_41x204", 1, 0, 0},
    {"menu_Options_25x276", 1, 0, 0},
    {"menu_Help_25x310", 1, 0, 0},
    {"menu_Exit_25x381", 1, 0, 0},
    {"bsURLactive_16x445", 1, 0, 0},
    {"menu_Legend_226x426", 1, 0, 0},
    {"menu_slot_210x69", 1, 0, 0},
    {"_level", 2, 0, 0},  // level rows: pattern 1 under the pointer
    {"_box", 2, 0, 0},
    {"_checkedbox", 2, 0, 0},
    {"_greenstar", 2, 0, 0},
    {"_goldstar", 2, 0, 0},
    {"_redstar", 2, 0, 0},
    {"0", 2, 0, 0},
    {"1", 2, 0, 0},
    {"2", 2, 0, 0},
    {"3", 2, 0, 0},
    {"4", 2, 0, 0},
    {"5", 2, 0, 0},
    {"6", 2, 0, 0},
    {"7", 2, 0, 0},
    {"8", 2, 0, 0},
    {"9", 2, 0, 0},
    {"menu_headerOptions_303x85", 1, 0, 0},
    {"menu_OptionsItems", 1, 0, 0},
    {"btn_Easy", 2, 0, 0},
    {"btn_Normal", 2, 0, 0},
    {"btn_Yes", 2, 60, 30},  // the exit page's buttons: 60 by 30 hit areas
    {"btn_No", 2, 60, 30},
    {"menu_Help_311x150", 1, 0, 0},
    {"menu_headerExit", 1, 0, 0},
    {"menu_trymoregames", 1, 0, 0},
};

extern const size_t kGameSpriteCount = sizeof(kGameSprites) / sizeof(kGameSprites[0]);

extern const char* const kGameEffects[] = {"menu1", "menu2", "beep1", "beep2", "take", "drop", "rotate",
                                "NewLevel", "end1", "end2", "end3", "end4", "end5", "end6", "exit"};
extern const size_t kGameEffectCount = sizeof(kGameEffects) / sizeof(kGameEffects[0]);

namespace {

const TAssetItem* FindItem(const std::vector<TAssetItem>& items, const std::string& name) {
  for (const TAssetItem& it : items)
    if (plat::SameText(it.Name, name)) return &it;
  return nullptr;
}

}  // namespace

std::vector<std::string> CheckSprites(const std::vector<TAssetItem>& items) {
  std::vector<std::string> problems;
  for (size_t i = 0; i < kGameSpriteCount; ++i) {
    const TSpriteNeed& need = kGameSprites[i];
    const std::string name = need.Name;
    const TAssetItem* it = FindItem(items, name);
    if (!it) {
      problems.push_back(name + " is missing");
      continue;
    }
    if (!it->Usable) {
      problems.push_back(name + " has no picture");
      continue;
    }
    if (it->Patterns < need.Patterns)
      problems.push_back(name + " needs " + std::to_string(need.Patterns) + " pattern" +
                         (need.Patterns == 1 ? "" : "s") + ", has " + std::to_string(it->Patterns));
    if (need.Width > 0 && (it->PatternWidth != need.Width || it->PatternHeight != need.Height))
      problems.push_back(name + " needs patterns of " + std::to_string(need.Width) + " x " +
                         std::to_string(need.Height) + ", has " + std::to_string(it->PatternWidth) +
                         " x " + std::to_string(it->PatternHeight));
  }
  return problems;
}

std::vector<std::string> CheckTextures(const std::vector<TAssetItem>& items) {
  std::vector<std::string> problems;
  if (static_cast<int32_t>(items.size()) < kGameTextureCount)
    problems.push_back("needs " + std::to_string(kGameTextureCount) + " textures, has " +
                       std::to_string(items.size()));
  for (size_t i = 0; i < items.size() && static_cast<int32_t>(i) < kGameTextureCount; ++i)
    if (!items[i].Usable || items[i].Patterns < 1)
      problems.push_back("texture " + std::to_string(i) + " (" + items[i].Name + ") has no picture");
  return problems;
}

std::vector<std::string> CheckEffects(const std::vector<TAssetItem>& items) {
  std::vector<std::string> problems;
  for (size_t i = 0; i < kGameEffectCount; ++i) {
    const std::string name = kGameEffects[i];
    const TAssetItem* it = FindItem(items, name);
    if (!it)
      problems.push_back(name + " is missing");
    else if (!it->Usable)
      problems.push_back(name + " has no wave");
  }
  return problems;
}
