// The modal message box drawn by the game itself.
#pragma once
#include <cstdint>
#include <string>

#include "platform/types.h"

extern std::string MessageLines[8];  // 1 .. 7
extern uint8_t MessageLineCount;
extern TRect MessageRect;
extern TRect OkRect;
extern bool OkHover;
extern uint8_t SavedScreenState;

void ShowMessageBox();
void OpenMessageBox(uint8_t n);
int32_t MessageTextWidth(uint8_t n);
void DrawMessageBox();
void MessageBoxMouseMove(int32_t x, int32_t y);
void CloseMessageBox();
void ResetMessageBox();
