// Helpers shared by the puzzle's source files (not part of the unit's interface).
#pragma once
#include <cmath>
#include <cstdint>
#include <limits>

#include "platform/types.h"

namespace puzzle_detail {

// Nearest integer, ties to even, saturated into int32; a value that is not a number gives 0.
// Callers keep NaN away; the guard only makes sure nothing undefined can happen.
inline int32_t RoundInt(double v) {
  if (std::isnan(v)) return 0;
  double r = std::nearbyint(v);
  if (r >= 2147483647.0) return std::numeric_limits<int32_t>::max();
  if (r <= -2147483648.0) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(r);
}

// Sum of two coordinates kept inside int32 (corrupt level data can hold any int32).
inline int32_t AddSat(int32_t a, int64_t b) {
  int64_t s = static_cast<int64_t>(a) + b;
  if (s > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  if (s < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(s);
}

// Whether n names a piece of the current level.
bool IsLevelPiece(int32_t n);

}  // namespace puzzle_detail
