// Placeholder until this unit is built; replaced by the real one.
#include "hud/msgbox.h"

std::string MessageLines[8];
uint8_t MessageLineCount = 0;
TRect MessageRect;
TRect OkRect;
bool OkHover = false;
uint8_t SavedScreenState = 0;

void ShowMessageBox() { }
void OpenMessageBox([[maybe_unused]] uint8_t n) { }
int32_t MessageTextWidth([[maybe_unused]] uint8_t n) { return {}; }
void DrawMessageBox() { }
void MessageBoxMouseMove([[maybe_unused]] int32_t x, [[maybe_unused]] int32_t y) { }
void CloseMessageBox() { }
void ResetMessageBox() { }
