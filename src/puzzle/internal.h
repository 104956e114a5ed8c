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

// The sign (-1, 0, 1) of the cross product (b - a) x (p - a), exact for any int32 corners:
// the products of 33-bit differences need 66 bits, which no 32-bit target has as one
// integer type, so the magnitudes are multiplied out in 32-bit halves.
inline int CrossSign(TPoint a, TPoint b, TPoint p) {
  const int64_t ux = static_cast<int64_t>(b.X) - a.X, uy = static_cast<int64_t>(b.Y) - a.Y;
  const int64_t vx = static_cast<int64_t>(p.X) - a.X, vy = static_cast<int64_t>(p.Y) - a.Y;
  struct Wide {
    int sign;
    uint64_t hi, lo;
  };
  const auto mul = [](int64_t x, int64_t y) {
    const int sign = x == 0 || y == 0 ? 0 : ((x < 0) == (y < 0) ? 1 : -1);
    const uint64_t mx = x < 0 ? 0 - static_cast<uint64_t>(x) : static_cast<uint64_t>(x);
    const uint64_t my = y < 0 ? 0 - static_cast<uint64_t>(y) : static_cast<uint64_t>(y);
    const uint64_t x0 = mx & 0xFFFFFFFFu, x1 = mx >> 32, y0 = my & 0xFFFFFFFFu, y1 = my >> 32;
    const uint64_t p00 = x0 * y0, p01 = x0 * y1, p10 = x1 * y0, p11 = x1 * y1;
    const uint64_t mid = (p00 >> 32) + (p01 & 0xFFFFFFFFu) + (p10 & 0xFFFFFFFFu);
    return Wide{sign, p11 + (p01 >> 32) + (p10 >> 32) + (mid >> 32), (mid << 32) | (p00 & 0xFFFFFFFFu)};
  };
  const Wide l = mul(ux, vy), r = mul(uy, vx);  // the sign of l - r
  if (l.sign != r.sign) return l.sign > r.sign ? 1 : -1;
  if (l.sign == 0) return 0;
  const int magnitude = l.hi != r.hi ? (l.hi > r.hi ? 1 : -1) : (l.lo != r.lo ? (l.lo > r.lo ? 1 : -1) : 0);
  return l.sign > 0 ? magnitude : -magnitude;
}

// Whether n names a piece of the current level.
bool IsLevelPiece(int32_t n);

}  // namespace puzzle_detail
