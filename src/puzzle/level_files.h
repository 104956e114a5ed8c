// Which level lives in which of the four level files, which section level 49 plays, where the
// pieces wait when a level starts, and how a level's reference time becomes its star. The game
// and the level tool both use these.
#pragma once
#include <cstdint>

struct TLevelFile {
  const char* Name;
  int First, Last;  // level numbers, both included
};

constexpr int kLevelCount = 100;
constexpr TLevelFile kLevelFiles[] = {
    {"Episode0.dat", 0, 49}, {"Episode50.dat", 50, 74}, {"Episode75.dat", 75, 89}, {"Episode90.dat", 90, 99}};

// The file that holds level n's section (n below 0 counts as the first file, above 99 as the last).
const TLevelFile& LevelFileOf(int n);
// The section a level plays: level 49 plays the pieces, solution and reference time of level 5.
int PlayedLevel(int n);
// Where piece i (1 .. numFig) waits when a level starts: odd pieces on the left at x 150, even
// ones on the right at x 650, down the screen at an even spacing.
struct TScatterSpot {
  int X, Y;
};
TScatterSpot ScatterSpot(int i, int numFig);
// The star of a reference time: 0 green below 70, 1 gold from 70 to 400, 2 red above 400.
int32_t RatingOf(int32_t medTime);
