#include "puzzle/level_files.h"

const TLevelFile& LevelFileOf(int n) {
  for (const TLevelFile& f : kLevelFiles)
    if (n <= f.Last) return f;
  return kLevelFiles[3];
}

int PlayedLevel(int n) { return n == 49 ? 5 : n; }

int32_t RatingOf(int32_t medTime) { return medTime < 70 ? 0 : (medTime <= 400 ? 1 : 2); }
