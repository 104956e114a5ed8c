// The navigation panel over the playing field: level display, next/previous/menu buttons,
// minimise and close, the clock, the level statistics and the tip box's entries.
#pragma once
#include <cstdint>
#include <string>

#include "platform/types.h"

struct TPanelButton {
  int32_t Left = 0;
  int32_t Top = 0;
  int32_t Right = 0;
  int32_t Bottom = 0;
  int32_t State = 0;  // 0 normal, 1 under the pointer; also the pattern drawn
  std::string ImageName;
  uint8_t Alpha = 255;
  TRect Rect() const { return {Left, Top, Right, Bottom}; }
};

constexpr int kPanelButtonCount = 11;
extern TPanelButton PanelButtons[kPanelButtonCount + 1];  // 1 .. 11

// Lays the entries out from the sprite sizes; after the sprite list has been read.
// Called by FormCreate (and by the tests after their sprites are in place).
void InitPanel();
// Called by FrameTimerTimer over the playing field and the level-complete display.
void DrawPanel();
// Called by DrawDeviceMouseMove (playing, level complete) and DrawDeviceMouseDown (playing,
// before the puzzle sees the press). A press runs the lit entry's action from its table:
// menu, next, previous, minimise (through the devices record), close (asks the platform to
// close, so the loop shuts down normally), tips off, next tip.
void PanelMouseMove(int32_t x, int32_t y);
void PanelMouseDown();
// Back to the start-up values (tests).
void ResetPanel();
