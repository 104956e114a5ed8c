// The menu's pages beside the episode lists, as the main menu unit calls them: options,
// help, exit confirmation and the more-games link.
#pragma once
#include <cstdint>

#include "platform/types.h"

class TSurface;
class TImageList;

// Menu items with a page of their own.
constexpr uint8_t kItemOptions = 6;
constexpr uint8_t kItemHelp = 7;
constexpr uint8_t kItemExit = 8;
constexpr uint8_t kItemMoreGames = 9;

// Options page (options.cpp).
void BuildOptionButtons();
void DrawOptionsPage(TImageList& sprites, TSurface& surface);
void OptionsMouseMove(TPoint p);
void OptionsClick();

// Help, exit confirmation and the link (pages.cpp).
void BuildExitButtons();
void DrawHelpPage(TImageList& sprites, TSurface& surface);
void DrawExitPage(TImageList& sprites, TSurface& surface);
void DrawMoreGamesPage(TImageList& sprites, TSurface& surface);
void ExitMouseMove(TPoint p);
void ExitClick();
void MoreGamesClick();
