// The modal message box: layout for one to seven lines, its drawing, OK hover and closing.
#include "hud/msgbox.h"

#include "game/state.h"
#include "hud/funcs.h"
#include "media/devices.h"
#include "media/effects.h"
#include "media/imagelist.h"
#include "media/surface.h"
#include "puzzle/pieces.h"

std::string MessageLines[8];
uint8_t MessageLineCount = 0;
TRect MessageRect;
TRect OkRect;
bool OkHover = false;
uint8_t SavedScreenState = 0;

namespace {
constexpr TColor kGold = 0x00D9FF;  // red 255, green 217, blue 0 as $00BBGGRR

TSurfaceCanvas& Canvas() { return BackSurface().Canvas(); }
}  // namespace

void ShowMessageBox() {
  MessageLines[1] = "Please complete this level.";
  MessageLines[2] = "You can't switch to another";
  MessageLines[3] = "level until do not complete";
  MessageLines[4] = "the current level.";
  OpenMessageBox(4);
}

int32_t MessageTextWidth(uint8_t n) {
  if (n < 1 || n > 7) throw ERangeError();
  TSurfaceCanvas& c = Canvas();
  c.Font.Name = "Times New Roman";
  c.Font.Size = 20;
  c.Font.Bold = true;
  int32_t w = c.TextWidth(MessageLines[1]);
  for (int i = 2; i <= n; ++i) {
    const int32_t wi = c.TextWidth(MessageLines[i]);
    if (wi > w) w = wi;
  }
  c.Font.Bold = false;
  return w;
}

void OpenMessageBox(uint8_t n) {
  if (n < 1 || n > 7) throw ERangeError();
  MessageLineCount = n;
  const int32_t w = MessageTextWidth(n);
  MessageRect.Left = 300 - w / 2;
  MessageRect.Right = 800 - MessageRect.Left;
  MessageRect.Top = (495 - 30 * n) / 2;
  MessageRect.Bottom = 600 - MessageRect.Top;
  OkRect = {370, MessageRect.Bottom - 50, 430, MessageRect.Bottom - 20};
  SavedScreenState = ScreenState;
  ScreenState = scMessageBox;
}

void DrawMessageBox() {
  TSurface& s = BackSurface();
  DrawBackground(10);
  TSurfaceCanvas& c = s.Canvas();
  const TRect& r = MessageRect;
  c.Brush.Color = clBlack;
  c.Brush.Style = TBrushStyle::bsSolid;
  c.FillRect({0, 0, 800, r.Top});
  c.FillRect({0, r.Bottom, 800, 600});
  c.FillRect({0, 0, r.Left, 600});
  c.FillRect({r.Right, 0, 800, 600});
  c.Brush.Style = TBrushStyle::bsClear;
  c.Pen.Color = clWhite;
  c.Pen.Style = TPenStyle::psSolid;
  c.Rectangle(r.Left, r.Top, r.Right, r.Bottom);

  c.Font.Name = "Times New Roman";
  c.Font.Bold = true;
  c.Font.Size = 20;
  // A light edge above left, a shadow below right, the gold text on top.
  struct Pass {
    TColor color;
    int dx, dy;
  };
  const Pass passes[] = {{clWhite, -1, -1}, {clBlack, 1, 1}, {kGold, 0, 0}};
  const int count = MessageLineCount > 7 ? 7 : MessageLineCount;
  for (const Pass& p : passes) {
    c.Font.Color = p.color;
    for (int i = 1; i <= count; ++i) {
      const int32_t x = (800 - c.TextWidth(MessageLines[i])) / 2 + p.dx;
      c.TextOut(x, r.Top + 30 * i + p.dy, MessageLines[i]);
    }
  }
  c.Font.Bold = false;
  c.Release();
  Sprites().Find("btn_OK").Draw(s, OkRect.Left, OkRect.Top, OkHover ? 1 : 0);
}

void MessageBoxMouseMove(int32_t x, int32_t y) {
  const bool was = OkHover;
  OkHover = PointInRect({x, y}, OkRect);
  if (OkHover && !was) PlaySound("menu2");
}

void CloseMessageBox() {
  PlaySound("beep2");
  ScreenState = SavedScreenState;
}

void ResetMessageBox() {
  for (auto& l : MessageLines) l.clear();
  MessageLineCount = 0;
  MessageRect = {};
  OkRect = {};
  OkHover = false;
  SavedScreenState = 0;
}
