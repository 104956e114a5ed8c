// The tips: texts, rotation clock, the tip-box text and the two unmarked areas.
#include "hud/tips.h"

#include "game/state.h"
#include "hud/funcs.h"
#include "media/devices.h"
#include "media/surface.h"
#include "settings/reestr.h"

namespace {
std::string Pad64(std::string s) {
  if (s.size() < 64) s.append(64 - s.size(), ' ');
  return s;
}

constexpr TRect kArea1{20, 450, 100, 470};
constexpr TRect kArea2{180, 450, 260, 470};
}  // namespace

const TTip TipTable[kTipCount + 1] = {
    {"", ""},
    {Pad64("Hello! Welcome to the Tangrel 2 challenge. Use left mouse button"),
     "to move pieces. Just drag-and-drop them into the slot-box."},
    {Pad64("The mouse wheel is the most convenient tool for pieces rotation."),
     "You can use the right mouse button to rotate pieces."},
    {Pad64("To rotate piece counterclockwise direction hold the right button"),
     "then the left mouse button."},
    {Pad64("Figures rotation does not allowed in the easy game mode. Medium"),
     "difficulty includes figures rotation and shaking."},
    {Pad64("One more way to fast pieces rotation: hold CTRL button and"),
     "click right mouse button."},
    {Pad64(std::string(27, ' ') + "Solution exists! Try to find it."), ""},
    {Pad64("At slow computers pieces can freeze during rotate."),
     "If so, disable 3D buttons in the Options menu."},
    {Pad64("If you tied press F1. Puzzle will solve automatically."), ""},
};

TRect TipAreas[3];
uint8_t TipAreaHover = 0;

void AdvanceTip() { TipIndex = TipIndex == 255 ? 1 : static_cast<uint8_t>(TipIndex + 1); }

void TipTimerStep(int32_t elapsed) {
  if (!Settings.Tips) return;
  if (TipIndex != 0) {
    // Gathered in 64 bits so a huge gap in the clock cannot overflow.
    int64_t c = static_cast<int64_t>(TipClock) + elapsed;
    TipClock = c > 10001 ? 10001 : static_cast<int32_t>(c);
  }
  if (TipClock > 10000) {
    TipClock = 0;  // the surplus is dropped
    AdvanceTip();
  }
}

void DrawTipText() {
  if (TipIndex > kTipCount) TipIndex = 1;
  if (!DevicesPresent()) return;
  TSurfaceCanvas& c = BackSurface().Canvas();
  c.TextOut(228, 498, "Tips");
  c.TextOut(218, 504, std::string(49, '_'));
  c.TextOut(218, 522, TipTable[TipIndex].Line1);
  c.TextOut(218, 540, TipTable[TipIndex].Line2);
}

void TipMouseMove(int32_t x, int32_t y) {
  TipAreaHover = 0;
  for (uint8_t a = 1; a <= 2; ++a)
    if (PointInRect({x, y}, TipAreas[a])) TipAreaHover = a;
}

void TipMouseUp() {
  if (TipAreaHover == 2) Settings.Tips = 0;  // saved with the next SaveSettings
  if (TipAreaHover == 1) AdvanceTip();
  if (TipIndex > kTipCount) {
    TipIndex = 1;
  } else {
    TipAreas[1] = kArea1;
    TipAreas[2] = kArea2;
  }
}

void ResetTips() {
  TipAreas[1] = TipAreas[2] = TRect{};
  TipAreaHover = 0;
}
