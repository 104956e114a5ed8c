// The difficulty model: a level's reference time ("MedTime") from what the solver measured.
#pragma once
#include <vector>

#include "geometry.h"
#include "solver.h"

namespace levels {

struct Difficulty {
  int pieces = 0;
  int lookAlikes = 0;    // pairs of pieces that look alike but are not the same
  double turns = 0;      // 15 degree steps a player needs on average to turn every piece home
  SolveResult solve;
  double seconds = 0;    // the model's estimate of a first solve, in seconds
  int medTime = 0;       // the same in the level file's unit (0.864 s)
};

Difficulty Rate(const std::vector<Poly>& pieces, const SolveResult& solve);

}  // namespace levels
