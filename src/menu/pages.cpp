// The Help page, the exit confirmation and the link to more games.
#include <exception>

#include "hud/funcs.h"
#include "media/devices.h"
#include "media/effects.h"
#include "media/imagelist.h"
#include "media/surface.h"
#include "menu/menu.h"
#include "menu/menu_pages.h"
#include "platform/platform.h"

TRect ExitButtons[3];
uint8_t HoverExitButton = 0;

namespace {
constexpr uint8_t kButtonYes = 1;
constexpr uint8_t kButtonNo = 2;
}  // namespace

void BuildExitButtons() {
  ExitButtons[0] = {};
  ExitButtons[kButtonYes] = {408, 330, 468, 360};
  ExitButtons[kButtonNo] = {548, 330, 608, 360};
  HoverExitButton = 0;
}

void DrawHelpPage(TImageList& sprites, TSurface& surface) {
  // The help picture's name does not match its place; it goes at (314, 150).
  sprites.Find("menu_Help_311x150").Draw(surface, 314, 150, 0);
}

void DrawExitPage(TImageList& sprites, TSurface& surface) {
  sprites.Find("menu_headerExit").Draw(surface, 345, 215, 0);
  sprites.Find("btn_Yes").Draw(surface, ExitButtons[kButtonYes].Left, ExitButtons[kButtonYes].Top,
                               HoverExitButton == kButtonYes ? 1 : 0);
  sprites.Find("btn_No").Draw(surface, ExitButtons[kButtonNo].Left, ExitButtons[kButtonNo].Top,
                              HoverExitButton == kButtonNo ? 1 : 0);
}

void DrawMoreGamesPage(TImageList& sprites, TSurface& surface) {
  sprites.Find("menu_trymoregames").Draw(surface, 315, 145, 0);
}

void ExitMouseMove(TPoint p) {
  const uint8_t old = HoverExitButton;
  HoverExitButton = 0;
  if (ActiveItem == kItemExit) {
    if (PointInRect(p, ExitButtons[kButtonYes])) HoverExitButton = kButtonYes;
    if (PointInRect(p, ExitButtons[kButtonNo])) HoverExitButton = kButtonNo;
  }
  if (HoverExitButton != 0 && HoverExitButton != old) PlaySound("menu2");
}

void ExitClick() {
  // The click on the Exit item itself leaves HoverExitButton at 0 and so answers nothing.
  if (HoverExitButton == kButtonYes) {
    // Let the farewell finish before the window goes; a missing sound keeps the game open.
    PlaySoundWait("exit");
    CloseMainWindow();
  } else if (HoverExitButton == kButtonNo) {
    PlaySound("beep2");
    ActiveItem = 1;
  }
}

void MoreGamesClick() {
  PlaySound("beep2");
  MinimizeMainWindow();
  // Whether the browser starts or not, the game carries on as before.
  try {
    plat::Platform().OpenURL(kMoreGamesUrl);
  } catch (const std::exception&) {
  }
  ActiveItem = 1;
}
