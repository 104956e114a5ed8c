// The heads-up tests share the shell's fixture and lay the panel out from sprites.
#pragma once
#include "../app/app_fixture.h"

namespace testkit {

// The rectangles InitPanel gives with the standard sprites.
inline const TRect kPanelRects[kPanelButtonCount + 1] = {
    {},
    {678, 472, 777, 497}, {678, 562, 777, 587}, {678, 532, 777, 557}, {678, 502, 777, 527},
    {736, 8, 761, 33},    {766, 8, 791, 33},    {4, 4, 94, 34},       {4, 488, 184, 588},
    {200, 488, 600, 588}, {571, 492, 596, 517}, {552, 558, 572, 578},
};

class HudTest : public AppTest {
 protected:
  // Lays the panel out from the sprites, with a real level in play so that releases do not
  // find an empty table complete.
  void LayOutPanel() {
    WriteTwoBarLevel(dir);
    StartGame();
    AddStandardImages(*MainForm);
    InitPanel();
  }
  // The panel laid out and the level on screen, as while playing.
  void PlayWithPanel() {
    LayOutPanel();
    ScreenState = scPlaying;
  }
  void Move(int x, int y) { MainForm->DrawDeviceMouseMove(0, x, y); }
  void Press(int x, int y) { MainForm->DrawDeviceMouseDown(TMouseButton::mbLeft, 0, x, y); }
  void Release(int x, int y) { MainForm->DrawDeviceMouseUp(TMouseButton::mbLeft, 0, x, y); }
};

}  // namespace testkit
