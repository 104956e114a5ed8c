// Small drawing helpers shared by the screens: the hit test and sprite-digit numbers.
#include "hud/funcs.h"

#include <cmath>
#include <cstdlib>

#include "media/devices.h"
#include "media/imagelist.h"
#include "media/surface.h"

bool PointInRect(TPoint p, const TRect& r) {
  return r.Left <= p.X && p.X <= r.Right && r.Top <= p.Y && p.Y <= r.Bottom;
}

int32_t DigitCount(int32_t v) {
  int32_t n = 1;
  if (v > 9) n = 2;
  if (v > 99) n = 3;
  if (v > 999) n = 4;
  if (v > 9999) n = 5;
  if (v > 99999) n = 6;
  return n;
}

int32_t DigitAt(uint8_t pos, int32_t v) {
  const int32_t n = DigitCount(v);
  if (pos < 1 || pos > n) return 0;
  int64_t p10 = 1;
  for (int32_t i = 0; i < n - pos; ++i) p10 *= 10;
  const int64_t q = static_cast<int64_t>(v) / p10;
  if (pos > 1) return static_cast<int32_t>(q % 10);
  // The leading digit is taken whole; for a value outside 0 .. 999 999 that is no single
  // digit, so keep its last decimal digit (the number shows its low six digits, a negative
  // one its last digit).
  return static_cast<int32_t>(std::llabs(q) % 10);
}

void DrawNumber(const std::string& align, int32_t x, int32_t y, int32_t v) {
  if (align != "left" && align != "right" && align != "center") return;
  if (!DevicesPresent()) return;
  const int32_t n = DigitCount(v);
  for (int32_t i = 1; i <= n; ++i) {
    const int32_t d = DigitAt(static_cast<uint8_t>(i), v);
    int32_t px;
    if (align == "left")
      px = x + (i - 1) * 15;
    else if (align == "right")
      px = x - (n - i + 1) * 15;
    else
      px = static_cast<int32_t>(std::nearbyint(x - (n / 2.0 - i + 1) * 15));
    Sprites().Find("pan_numbers").Draw(BackSurface(), px, y, d);
  }
}
