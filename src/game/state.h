// The game's shared session state: which screen shows, the level in play, the level
// catalogue, the pointer sprite, the tip rotation and where the window stood before full
// screen. Every screen reads and writes it; it depends on nothing but the platform's types.
#pragma once
#include <cstdint>

#include "platform/platform.h"
#include "platform/types.h"

enum : uint8_t {
  scLoading = 0,
  scMenu = 1,
  scPlaying = 2,
  scLevelComplete = 3,
  scMessageBox = 4,
  scAutoSolve = 5,
};

extern uint8_t ScreenState;
extern int32_t CurrentLevel;  // 0 .. 99

struct TLevelCatalogueEntry {
  int32_t Rating = 0;  // 0 green, 1 gold, 2 red
  TRect Row;           // the level's row on its episode page
};
extern TLevelCatalogueEntry LevelCatalogue[100];

extern TPoint CursorPos;
extern uint8_t RotateCursor;  // 0 normal pointer, 1 clockwise, 2 counter-clockwise
extern int32_t CursorFrame;
extern uint8_t TipIndex;
extern int32_t TipClock;
// Where the window stood before the last switch to full screen (ToggleFullScreen).
extern plat::WindowPlacement SavedPlacement;

// The texture set of the level in play, 0 .. 4: a new set every five levels, round again
// every twenty-five.
uint8_t LevelTexture();
// Lays down the twenty row rectangles shared by the five episodes.
void LayOutLevelRows();
// The session state back to its start-up values (ResetAllUnits, tests).
void ResetGameState();
