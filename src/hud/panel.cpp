// The navigation panel: its eleven entries, their drawing, hover and press rules.
#include "hud/panel.h"

#include <exception>

#include "game/state.h"
#include "hud/funcs.h"
#include "hud/tips.h"
#include "media/devices.h"
#include "media/effects.h"
#include "media/imagelist.h"
#include "media/surface.h"
#include "platform/platform.h"
#include "puzzle/pieces.h"
#include "settings/reestr.h"

TPanelButton PanelButtons[kPanelButtonCount + 1];

namespace {

void PressMenu() {
  PlaySound("beep1");
  ScreenState = scMenu;
}
void PressNext() {
  PlaySound("beep1");
  ChangeLevel(+1);
}
void PressPrevious() {
  PlaySound("beep1");
  ChangeLevel(-1);
}
void PressClose() {
  PanelButtons[6].State = 0;
  try {
    PlaySoundWait("menu2");
  } catch (const std::exception&) {
    // A missing effect must not keep the game from closing.
  }
  // The normal shut-down runs from the loop, once this press has been handled.
  plat::Platform().RequestClose();
}
void PressCloseTips() {
  PlaySound("beep1");
  Settings.Tips = 0;
  SaveSettings();
}
void PressNextTip() {
  PlaySound("beep1");
  AdvanceTip();
}

// What a press on each entry does; the level display, the clock, the statistics and the
// tip box's backdrop take none.
void (*const kPanelPress[kPanelButtonCount + 1])() = {
    nullptr,       nullptr, PressMenu, PressNext, PressPrevious, MinimizeMainWindow, PressClose,
    nullptr,       nullptr, nullptr,   PressCloseTips, PressNextTip,
};

void Place(int n, const char* image, int32_t left, int32_t top) {
  TImageItem& item = Sprites().Find(image);
  TPanelButton& b = PanelButtons[n];
  b.ImageName = image;
  b.Left = left;
  b.Top = top;
  b.Right = left + item.Width();
  b.Bottom = top + item.Height();
  b.State = 0;
  b.Alpha = 255;
}
}  // namespace

void InitPanel() {
  Place(1, "pan_level", 678, 472);
  // Menu, next and previous climb 30 pixels each above the bottom edge.
  Place(2, "pan_menu", 678, 562);
  Place(3, "pan_next", 678, 532);
  Place(4, "pan_prev", 678, 502);
  Place(5, "pan_minimize", 736, 8);
  Place(6, "pan_close", 766, 8);
  Place(7, "pan_time", 4, 4);
  Place(8, "pan_fortext", 4, 488);
  // The tip box: its backdrop stretched to 400 pixels, close in its top-right corner,
  // next-tip 28 pixels in from the right and 10 up from the bottom.
  Place(9, "pan_fortext", 200, 488);
  PanelButtons[9].Right = 600;
  TImageItem& close = Sprites().Find("pan_close");
  PanelButtons[10] = {596 - close.Width(), 492, 596, 492 + close.Height(), 0, "pan_close", 255};
  TImageItem& next = Sprites().Find("pan_nexttip");
  const int32_t b = PanelButtons[9].Bottom - 10;
  PanelButtons[11] = {572 - next.Width(), b - next.Height(), 572, b, 0, "pan_nexttip", 255};
}

void DrawPanel() {
  TSurface& s = BackSurface();
  TImageList& list = Sprites();
  list.Find("bigpanel").Draw(s, 663, 451, 0);
  list.Find("smalpanel").Draw(s, 723, 2, 0);
  const int last = Settings.Tips ? 11 : 8;
  for (int n = 1; n <= last; ++n) {
    const TPanelButton& b = PanelButtons[n];
    list.Find(b.ImageName).DrawAlpha(s, b.Rect(), b.State, b.Alpha);
  }
  DrawNumber("right", 777, 475, CurrentLevel);

  TSurfaceCanvas& c = s.Canvas();
  c.Font.Name = "Times New Roman";
  c.Font.Size = 12;
  c.Font.Bold = false;
  c.Brush.Style = TBrushStyle::bsClear;
  const std::string clock = plat::Platform().LongTimeString();
  c.Font.Color = clBlack;
  c.TextOut(13, 10, clock);
  c.Font.Color = clWhite;
  c.TextOut(11, 8, clock);

  c.Font.Size = 10;
  const int32_t x = PanelButtons[8].Left + 12;
  const int32_t y = PanelButtons[8].Top + 16;
  c.TextOut(x, y, "figures : " + std::to_string(NumFig));
  c.TextOut(x, y + 15, "moves : " + std::to_string(MovesCount));
  c.TextOut(x, y + 30, "rotates : " + std::to_string(RotatesCount));
  c.TextOut(x, y + 45, "MaximalTime : " + std::to_string(static_cast<int64_t>(MedTime) * 10));
  c.TextOut(x, y + 60, "LevelScore : " + std::to_string(LevelScore));

  if (Settings.Tips) DrawTipText();
  c.Release();
}

void PanelMouseMove(int32_t x, int32_t y) {
  const int order[] = {1, 2, 3, 4, 5, 6, 10, 11};
  for (int n : order) {
    if (n >= 10 && !Settings.Tips) break;  // a hidden tip box keeps its states
    TPanelButton& b = PanelButtons[n];
    const bool was = b.State == 1;
    b.State = PointInRect({x, y}, b.Rect()) ? 1 : 0;
    if (b.State == 1 && !was && n != 1) PlaySound("menu1");
  }
  PanelButtons[1].State = 0;  // the level display never lights up
}

void PanelMouseDown() {
  // In their order, each seeing what the presses before it left.
  for (int n = 1; n <= kPanelButtonCount; ++n)
    if (PanelButtons[n].State == 1 && kPanelPress[n]) kPanelPress[n]();
  for (int n = 1; n <= 10; ++n) PanelButtons[n].State = 0;
}

void ResetPanel() {
  for (auto& b : PanelButtons) b = TPanelButton{};
}
