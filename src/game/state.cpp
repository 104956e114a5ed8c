// The game's shared session state.
#include "game/state.h"

uint8_t ScreenState = scLoading;
int32_t CurrentLevel = 0;
TLevelCatalogueEntry LevelCatalogue[100];
TPoint CursorPos{400, 300};
uint8_t RotateCursor = 0;
int32_t CursorFrame = 0;
uint8_t TipIndex = 1;
int32_t TipClock = 0;
plat::WindowPlacement SavedPlacement;

void LayOutLevelRows() {
  for (int n = 0; n < 20; ++n) {
    TRect& r = LevelCatalogue[n].Row;
    r.Left = n < 10 ? 310 : 530;
    r.Top = 160 + 31 * (n % 10);
    r.Right = r.Left + 180;
    r.Bottom = r.Top + 32;
  }
  for (int n = 20; n < 100; ++n) LevelCatalogue[n].Row = LevelCatalogue[n - 20].Row;
}

uint8_t LevelTexture() {
  int32_t q = CurrentLevel / 5;
  while (q >= 5) q -= 5;
  if (q < 0) q = ((q % 5) + 5) % 5;  // only a level outside 0 .. 99 gets here
  return static_cast<uint8_t>(q);
}

void ResetGameState() {
  ScreenState = scLoading;
  CurrentLevel = 0;
  for (auto& e : LevelCatalogue) e = {};
  CursorPos = {400, 300};
  RotateCursor = 0;
  CursorFrame = 0;
  TipIndex = 1;
  TipClock = 0;
  SavedPlacement = {};
}
