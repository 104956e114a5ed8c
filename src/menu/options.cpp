// The Options page: six settings shown as buttons that flip on click, written and saved
// together by OK.
#include <algorithm>

#include "hud/funcs.h"
#include "media/effects.h"
#include "media/imagelist.h"
#include "media/music.h"
#include "media/surface.h"
#include "menu/menu.h"
#include "menu/menu_pages.h"
#include "settings/reestr.h"

TOptionsButton OptionButtons[8];
uint8_t HoverOption = 0;

namespace {

constexpr uint8_t kButtonCount = 7;
constexpr uint8_t kButtonDifficulty = 1;
constexpr uint8_t kButtonOk = 7;

struct TButtonPlace {
  TRect Rect;
  uint8_t StateCount;
  const char* First;
  const char* Second;
};

// Top to bottom: difficulty, full screen, tips, 3D look, music, sounds, OK.
const TButtonPlace kButtonPlaces[8] = {
    {{0, 0, 0, 0}, 0, "", ""},
    {{530, 210, 636, 242}, 2, "btn_Easy", "btn_Normal"},
    {{552, 251, 612, 281}, 2, "btn_Yes", "btn_No"},
    {{552, 292, 612, 322}, 2, "btn_Yes", "btn_No"},
    {{552, 333, 612, 363}, 2, "btn_Yes", "btn_No"},
    {{503, 389, 563, 419}, 2, "btn_Yes", "btn_No"},
    {{503, 430, 563, 460}, 2, "btn_Yes", "btn_No"},
    {{460, 476, 530, 506}, 1, "btn_Ok", ""},
};

}  // namespace

uint8_t StateOfFlag(int32_t flag) { return flag != 0 ? 1 : 2; }

int32_t FlagOfState(uint8_t state) { return state == 1 ? -1 : 0; }

void BuildOptionButtons() {
  for (uint8_t i = 1; i <= kButtonCount; ++i) {
    TOptionsButton& button = OptionButtons[i];
    const TButtonPlace& place = kButtonPlaces[i];
    button.Rect = place.Rect;
    button.Images[0].clear();
    button.Images[1] = place.First;
    button.Images[2] = place.Second;
    button.Images[3].clear();
    button.StateCount = place.StateCount;
  }
  // A stored difficulty beyond Normal has no picture of its own; show it as Normal.
  OptionButtons[1].State = static_cast<uint8_t>(std::min<int>(Settings.Difficulty, 1) + 1);
  OptionButtons[2].State = StateOfFlag(Settings.Full);
  OptionButtons[3].State = StateOfFlag(Settings.Tips);
  OptionButtons[4].State = StateOfFlag(Settings.Use3D);
  OptionButtons[5].State = StateOfFlag(Settings.Music);
  OptionButtons[6].State = StateOfFlag(Settings.Sounds);
  OptionButtons[kButtonOk].State = 1;
  HoverOption = 0;
}

void DrawOptionsPage(TImageList& sprites, TSurface& surface) {
  sprites.Find("menu_headerOptions_303x85").Draw(surface, 383, 145, 0);
  sprites.Find("menu_OptionsItems").Draw(surface, 360, 210, 0);
  for (uint8_t i = 1; i <= kButtonCount; ++i) {
    const TOptionsButton& button = OptionButtons[i];
    if (button.State < 1 || button.State > 3) throw ERangeError();
    sprites.Find(button.Images[button.State])
        .Draw(surface, button.Rect.Left, button.Rect.Top, i == HoverOption ? 1 : 0);
  }
}

void OptionsMouseMove(TPoint p) {
  const uint8_t old = HoverOption;
  HoverOption = 0;
  if (ActiveItem == kItemOptions) {
    for (uint8_t i = 1; i <= kButtonCount; ++i) {
      if (PointInRect(p, OptionButtons[i].Rect)) HoverOption = i;
    }
  }
  if (HoverOption != 0 && HoverOption != old) PlaySound("menu2");
}

void OptionsClick() {
  // A click only changes what the button shows; the settings wait for OK.
  for (uint8_t i = 1; i <= kButtonCount; ++i) {
    TOptionsButton& button = OptionButtons[i];
    if (i == HoverOption) {
      ++button.State;
      PlaySound("beep2");
    }
    if (button.State > button.StateCount) button.State = 1;
  }
  if (HoverOption != kButtonOk) return;

  // OK's own click is heard before a Sounds switched off takes effect.
  PlaySound("beep2");
  Settings.Difficulty = static_cast<uint8_t>(OptionButtons[kButtonDifficulty].State - 1);
  Settings.Full = FlagOfState(OptionButtons[2].State);
  Settings.Tips = FlagOfState(OptionButtons[3].State);
  Settings.Use3D = FlagOfState(OptionButtons[4].State);
  Settings.Music = FlagOfState(OptionButtons[5].State);
  Settings.Sounds = FlagOfState(OptionButtons[6].State);
  SaveSettings();
  RestartMusic();
  ActiveItem = 1;
}
