// The solver: fills the slot-box from the pieces alone, the way a player does. It looks at the
// uncovered corner highest up (then furthest left), and tries every piece, turned by any of the
// 24 steps of 15 degrees, with one of its corners in that corner and an edge along the uncovered
// edge there; it never sees where the pieces lie in the level's own solution.
#pragma once
#include <cstdint>
#include <vector>

#include "geometry.h"

namespace levels {

struct SolveLimits {
  int maxCoverings = 24;        // stop counting distinct coverings here
  int64_t maxNodes = 250000;    // stop the whole search after this many placed pieces
};

struct SolveResult {
  bool found = false;
  int coverings = 0;            // distinct up to the square's turns and mirrors
  bool coveringsCapped = false; // counting stopped at a limit: there may be more
  int64_t nodesToFirst = 0;     // pieces placed (and taken back) before the first covering
  int64_t nodes = 0;            // pieces placed in the whole search
  int classes = 0;              // different shapes among the pieces
};

// pieces: each piece's corners relative to any point of its own (only the shape counts).
SolveResult Solve(const std::vector<Poly>& pieces, const SolveLimits& limits = {});

// Number of different turns (of 24) at which the piece looks different: 24 for a piece
// without turning symmetry, 12 for one that looks the same after half a turn, and so on.
int DistinctTurns(const Poly& piece);

}  // namespace levels
