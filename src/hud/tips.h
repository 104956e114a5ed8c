// The tips: their texts, the ten-second rotation, the tip-box text and the two unmarked
// click areas above the statistics box. TipIndex and TipClock live in the shell.
#pragma once
#include <cstdint>
#include <string>

#include "platform/types.h"

struct TTip {
  std::string Line1;  // stored 64 characters long, padded with spaces
  std::string Line2;
};
constexpr int kTipCount = 8;
extern const TTip TipTable[kTipCount + 1];  // 1 .. 8

extern TRect TipAreas[3];  // 1 next tip, 2 tips off; all zeros until the first release in play
extern uint8_t TipAreaHover;  // 0 none, 1 or 2

// One frame's step of the tip clock, given the milliseconds since the previous frame.
void TipTimerStep(int32_t elapsed);  // called by FrameTimerTimer, first thing in a frame
// The tip box's text, drawn by DrawPanel while tips are on, in the canvas font it left.
void DrawTipText();
// Called by DrawDeviceMouseMove and DrawDeviceMouseUp in play.
void TipMouseMove(int32_t x, int32_t y);
void TipMouseUp();
void AdvanceTip();  // 255 is followed by 1
// Back to the start-up values (tests).
void ResetTips();
