// The main menu: its nine items, the highlight fade, the episode pages with their level
// rows, pointer tracking and the click dispatch to the pages.
#include "menu/menu.h"

#include <cmath>
#include <string>

#include "game/state.h"
#include "hud/funcs.h"
#include "media/devices.h"
#include "media/effects.h"
#include "media/imagelist.h"
#include "media/surface.h"
#include "menu/menu_pages.h"
#include "puzzle/pieces.h"
#include "settings/reestr.h"

TMainMenuItem MenuItems[10];
uint8_t HoverItem = 1;
uint8_t ActiveItem = 1;
TPoint MenuMouse;
int32_t HoverLevel = 0;

namespace {

struct TItemPlace {
  const char* Name;
  int32_t X;
  int32_t Y;
  // The item's own page inside the frame (episodes draw their level lists instead) ...
  void (*DrawPage)(TImageList& sprites, TSurface& surface);
  // ... and what a click does while the item is active, after the level rows had their turn.
  void (*Click)();
};

// The captions were laid out on a 640 x 480 screen; the menu sits at (80, 60) on ours.
const TItemPlace kItemPlaces[10] = {
    {"", 0, 0, nullptr, nullptr},
    {"menu_Episode1_41x62", 121, 122, nullptr, nullptr},
    {"menu_Episode2_41x97", 121, 157, nullptr, nullptr},
    {"menu_Episode3_41x133", 121, 193, nullptr, nullptr},
    {"menu_Episode4_41x169", 121, 229, nullptr, nullptr},
    {"menu_Episode5_41x204", 121, 264, nullptr, nullptr},
    {"menu_Options_25x276", 105, 336, DrawOptionsPage, OptionsClick},
    {"menu_Help_25x310", 105, 370, DrawHelpPage, nullptr},
    {"menu_Exit_25x381", 105, 441, DrawExitPage, ExitClick},
    {"bsURLactive_16x445", 96, 505, DrawMoreGamesPage, MoreGamesClick},
};

constexpr uint8_t kItemCount = 9;
constexpr uint8_t kEpisodeCount = 5;
constexpr int32_t kLevelsPerEpisode = 20;

// A hovered caption brightens by 50 a frame, a released one dims by 20.
constexpr double kGlowRise = 50;
constexpr double kGlowFall = 20;
constexpr double kGlowFull = 255;

bool IsEpisode(uint8_t item) { return item >= 1 && item <= kEpisodeCount; }

int32_t FirstLevelOf(uint8_t episode) { return kLevelsPerEpisode * (episode - 1); }

void FadeHighlights() {
  for (uint8_t i = 1; i <= kItemCount; ++i) {
    double& glow = MenuItems[i].Glow;
    if (i == HoverItem) {
      if (glow < kGlowFull) glow += kGlowRise;
    } else if (glow > 0) {
      glow -= kGlowFall;
    }
    if (glow < 0) glow = 0;
    if (glow > kGlowFull) glow = kGlowFull;
  }
  // The page the player chose stays lit.
  MenuItems[ActiveItem].Glow = kGlowFull;
}

const char* StarOf(int32_t rating) {
  switch (rating) {
    case 0: return "_greenstar";
    case 1: return "_goldstar";
    default: return "_redstar";
  }
}

std::string DigitName(int32_t d) { return std::string(1, static_cast<char>('0' + d)); }

void DrawEpisodePage(TImageList& sprites, TSurface& surface, uint8_t episode) {
  sprites.Find("menu_Legend_226x426").Draw(surface, 306, 486, 0);
  const int32_t first = FirstLevelOf(episode);
  for (int32_t i = first; i < first + kLevelsPerEpisode; ++i) {
    const TRect& row = LevelCatalogue[i].Row;
    const int32_t l = row.Left;
    const int32_t t = row.Top;
    const int32_t p = i == HoverLevel ? 1 : 0;
    sprites.Find(StarOf(LevelCatalogue[i].Rating)).Draw(surface, l, t - 3, p);
    sprites.Find(PlayerRecord.SolvedFlags(i) != 0 ? "_checkedbox" : "_box")
        .Draw(surface, l + 30, t - 6, p);
    sprites.Find("_level").Draw(surface, l + 61, t, p);
    // The number shown is the catalogue index itself: the first level reads 0.
    if (i < 10) {
      sprites.Find(DigitName(i)).Draw(surface, l + 130, t, p);
    } else {
      sprites.Find(DigitName(i / 10)).Draw(surface, l + 130, t, p);
      sprites.Find(DigitName(i % 10)).Draw(surface, l + 150, t, p);
    }
  }
}

}  // namespace

void BuildMenu() {
  TImageList& sprites = Sprites();
  for (uint8_t i = 1; i <= kItemCount; ++i) {
    TMainMenuItem& item = MenuItems[i];
    const TItemPlace& place = kItemPlaces[i];
    item.Name = place.Name;
    // Sizes are measured once; the captions never change during a run.
    const TImageItem& image = sprites.Find(item.Name);
    item.Rect = Bounds(place.X, place.Y, image.Width(), image.Height());
    item.Glow = 0;
  }
  HoverItem = 1;
  ActiveItem = 1;
  HoverLevel = 0;
  BuildOptionButtons();
  BuildExitButtons();
}

void ResetMenu() {
  for (auto& item : MenuItems) item = {};
  for (auto& button : OptionButtons) button = {};
  for (auto& button : ExitButtons) button = {};
  HoverItem = 1;
  ActiveItem = 1;
  MenuMouse = {};
  HoverLevel = 0;
  HoverOption = 0;
  HoverExitButton = 0;
}

void DrawMenu() {
  FadeHighlights();
  DrawBackground(10);
  TImageList& sprites = Sprites();
  TSurface& surface = BackSurface();
  sprites.Find("menufone").Draw(surface, 0, 0, 0);
  for (uint8_t i = 1; i <= kItemCount; ++i) {
    const TMainMenuItem& item = MenuItems[i];
    if (item.Glow == 0) continue;
    // Ties go to the even neighbour, as the default rounding mode does.
    const auto alpha = static_cast<int32_t>(std::nearbyint(item.Glow));
    sprites.Find(item.Name).DrawAlpha(surface, item.Rect, 0, alpha);
  }

  const uint8_t page = HoverItem != 0 ? HoverItem : ActiveItem;
  if (IsEpisode(page)) {
    DrawEpisodePage(sprites, surface, page);
    return;
  }
  // The non-list pages sit inside one frame.
  sprites.Find("menu_slot_210x69").Draw(surface, 290, 129, 0);
  if (page <= kItemCount && kItemPlaces[page].DrawPage) kItemPlaces[page].DrawPage(sprites, surface);
}

void MenuMouseMove(int32_t x, int32_t y) {
  MenuMouse = {x, y};

  // Items: the last one containing the point wins.
  const uint8_t oldItem = HoverItem;
  HoverItem = 0;
  for (uint8_t i = 1; i <= kItemCount; ++i) {
    if (PointInRect(MenuMouse, MenuItems[i].Rect)) HoverItem = i;
  }
  if (HoverItem != 0 && HoverItem != oldItem) PlaySound("menu1");

  // Level rows of the active episode; in the strip two rows share, the lower one wins.
  const int32_t oldLevel = HoverLevel;
  HoverLevel = -1;
  if (IsEpisode(ActiveItem)) {
    const int32_t first = FirstLevelOf(ActiveItem);
    for (int32_t i = first; i < first + kLevelsPerEpisode; ++i) {
      if (PointInRect(MenuMouse, LevelCatalogue[i].Row)) HoverLevel = i;
    }
  }
  if (HoverLevel != -1 && HoverLevel != oldLevel) PlaySound("menu2");

  ExitMouseMove(MenuMouse);
  OptionsMouseMove(MenuMouse);
}

void MenuClick() {
  // Each step sees what the steps before it left.
  if (HoverItem != 0) {
    ActiveItem = HoverItem;
    PlaySound("beep1");
  }
  if (IsEpisode(ActiveItem) && HoverLevel != -1) {
    // The episode stays active, so the menu reopens on it.
    CurrentLevel = HoverLevel;
    ScreenState = scPlaying;
    ChangeLevel(0);
  }
  if (ActiveItem <= kItemCount && kItemPlaces[ActiveItem].Click) kItemPlaces[ActiveItem].Click();
}
