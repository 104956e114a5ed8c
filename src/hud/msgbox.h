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

// Called by GameKeyDown when Space asks for the next level before this one is solved.
void ShowMessageBox();
// Lays out and shows the first n of MessageLines; ScreenState becomes scMessageBox and the
// state it replaced is kept in SavedScreenState.
void OpenMessageBox(uint8_t n);
int32_t MessageTextWidth(uint8_t n);
// Called by FrameTimerTimer, DrawDeviceMouseMove, and FormKeyDown / DrawDeviceMouseDown (any
// key or press closes it) while ScreenState is scMessageBox.
void DrawMessageBox();
void MessageBoxMouseMove(int32_t x, int32_t y);
void CloseMessageBox();
void ResetMessageBox();
