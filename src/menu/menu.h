// The home screen: nine main-menu items, the episode pages, options, help, exit and the
// more-games link.
#pragma once
#include <cstdint>
#include <string>

#include "platform/types.h"

struct TMainMenuItem {
  TRect Rect;
  std::string Name;
  double Glow = 0;
};
extern TMainMenuItem MenuItems[10];  // 1 .. 9
extern uint8_t HoverItem;
extern uint8_t ActiveItem;
extern TPoint MenuMouse;
extern int32_t HoverLevel;

struct TOptionsButton {
  TRect Rect;
  std::string Images[4];  // 1 .. 3
  uint8_t StateCount = 1;
  uint8_t State = 1;
};
extern TOptionsButton OptionButtons[8];  // 1 .. 7
extern uint8_t HoverOption;
extern TRect ExitButtons[3];  // 1 Yes, 2 No
extern uint8_t HoverExitButton;

constexpr const char* kMoreGamesUrl = "https://www.brenmoor-studio.example/games";

uint8_t StateOfFlag(int32_t flag);
int32_t FlagOfState(uint8_t state);

// Called by FormCreate, after the sprite package (the items are measured from their sprites).
void BuildMenu();
// Called by FrameTimerTimer while ScreenState is scMenu.
void DrawMenu();
// Called by DrawDeviceMouseMove and DrawDeviceMouseDown on the menu; a click runs the active
// item's own action from its table entry (options, exit, more games).
void MenuMouseMove(int32_t x, int32_t y);
void MenuClick();

// Back to the values before BuildMenu: empty tables, item 1 hovered and active (tests).
void ResetMenu();
