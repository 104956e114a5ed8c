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

// The sign (-1, 0 or 1) of a * b - c * d, exact, for factors that are differences of two
// int32 values (|x| < 2^32): each product's magnitude then fits in 64 unsigned bits, so the
// two products compare exactly without wider integers.
inline int CrossSign(int64_t a, int64_t b, int64_t c, int64_t d) {
  const auto mag = [](int64_t x) { return x < 0 ? uint64_t{0} - static_cast<uint64_t>(x) : static_cast<uint64_t>(x); };
  const uint64_t ab = mag(a) * mag(b), cd = mag(c) * mag(d);
  const bool negAB = ab != 0 && ((a < 0) != (b < 0));
  const bool negCD = cd != 0 && ((c < 0) != (d < 0));
  if (negAB != negCD) return negAB ? -1 : 1;  // one side below zero, the other not
  if (ab == cd) return 0;
  const bool abLarger = ab > cd;
  return abLarger != negAB ? 1 : -1;
}

// The sign (-1, 0, 1) of the cross product (b - a) x (p - a), exact for any int32 corners.
inline int CrossSign(TPoint a, TPoint b, TPoint p) {
  return CrossSign(static_cast<int64_t>(b.X) - a.X, static_cast<int64_t>(p.Y) - a.Y,
                   static_cast<int64_t>(b.Y) - a.Y, static_cast<int64_t>(p.X) - a.X);
}

// Whether n names a piece of the current level.
bool IsLevelPiece(int32_t n);

}  // namespace puzzle_detail
