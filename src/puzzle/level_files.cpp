#include "puzzle/level_files.h"

const TLevelFile& LevelFileOf(int n) {
  for (const TLevelFile& f : kLevelFiles)
    if (n <= f.Last) return f;
  return kLevelFiles[3];
}

int PlayedLevel(int n) { return n == 49 ? 5 : n; }

TScatterSpot ScatterSpot(int i, int numFig) {
  const int divisor = (numFig + 1) / 2 + 1;
  const int spacing = (numFig > 8 ? 550 : 600) / divisor;
  return {i % 2 == 1 ? 150 : 650, ((i + 1) / 2) * spacing};
}

int32_t RatingOf(int32_t medTime) { return medTime < 70 ? 0 : (medTime <= 400 ? 1 : 2); }
