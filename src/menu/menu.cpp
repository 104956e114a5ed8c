// Placeholder until this unit is built; replaced by the real one.
#include "menu/menu.h"

TMainMenuItem MenuItems[10];
uint8_t HoverItem = 1;
uint8_t ActiveItem = 1;
TPoint MenuMouse;
int32_t HoverLevel = 0;
TOptionsButton OptionButtons[8];
uint8_t HoverOption = 0;
TRect ExitButtons[3];
uint8_t HoverExitButton = 0;

uint8_t StateOfFlag([[maybe_unused]] int32_t flag) { return {}; }
int32_t FlagOfState([[maybe_unused]] uint8_t state) { return {}; }
void BuildMenu() { }
void DrawMenu() { }
void MenuMouseMove([[maybe_unused]] int32_t x, [[maybe_unused]] int32_t y) { }
void MenuClick() { }
