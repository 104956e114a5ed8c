// Surfaces and the drawing device: clipped block copies, colour-keyed copies, alpha blends,
// scaled and turned draws onto 32-bit 0x00RRGGBB pixels, and the opening of the display.
#include "media/surface.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "media/imagelist.h"
#include "platform/platform.h"

// SSE2 where the compiler targets it; TANGREL_PORTABLE keeps to the plain loops, which give
// the same pixels on every architecture.
#if defined(__SSE2__) && !defined(TANGREL_PORTABLE)
#define TANGREL_SSE2 1
#include <emmintrin.h>
#endif

namespace {

// Scratch tables reused by the scaled draws, so a frame does not allocate.
std::vector<int32_t> columnTable;
std::vector<uint32_t> selfCopy;
std::vector<uint32_t> rowBuffer;

// Windows' default system colours, by index, as 0x00RRGGBB.
constexpr uint32_t kSystemColours[29] = {
    0xC8C8C8, 0x000000, 0x99B4D1, 0xBFCDDB, 0xF0F0F0, 0xFFFFFF, 0x646464, 0x000000,
    0x000000, 0x000000, 0xB4B4B4, 0xF4F7FC, 0xABABAB, 0x3399FF, 0xFFFFFF, 0xF0F0F0,
    0xA0A0A0, 0x6D6D6D, 0x000000, 0x434E54, 0xFFFFFF, 0x696969, 0xE3E3E3, 0x000000,
    0xFFFFE1, 0x000000, 0x0066CC, 0xB9D1EA, 0xD7E4F2};

// Mixes s over d with weight a (1..254): (s*a + d*(255-a)) / 255, rounded, per channel.
// Red and blue travel together in one 32-bit word, green alone.
inline uint32_t Blend(uint32_t s, uint32_t d, uint32_t a) {
  const uint32_t ia = 255 - a;
  uint32_t rb = (s & 0xFF00FF) * a + (d & 0xFF00FF) * ia + 0x800080;
  rb = ((rb + ((rb >> 8) & 0xFF00FF)) >> 8) & 0xFF00FF;
  uint32_t g = (s & 0xFF00) * a + (d & 0xFF00) * ia + 0x8000;
  g = ((g + ((g >> 8) & 0xFF00)) >> 8) & 0xFF00;
  return rb | g;
}

#if defined(TANGREL_SSE2)
// Copies four pixels, leaving out those equal to the key k.
inline void KeyedQuad(uint32_t* d, const uint32_t* s, __m128i k) {
  __m128i sv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s));
  __m128i mask = _mm_cmpeq_epi32(sv, k);  // all ones where transparent
  int m = _mm_movemask_epi8(mask);
  if (m == 0) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d), sv);
  } else if (m != 0xFFFF) {
    __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d));
    __m128i r = _mm_or_si128(_mm_and_si128(mask, dv), _mm_andnot_si128(mask, sv));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d), r);
  }
}
#endif

// Copies n pixels, leaving out those equal to key.
inline void KeyedRow(uint32_t* d, const uint32_t* s, int32_t n, uint32_t key) {
  int32_t i = 0;
#if defined(TANGREL_SSE2)
  const __m128i k = _mm_set1_epi32(static_cast<int32_t>(key));
  for (; i + 16 <= n; i += 16) {
    // Piece pictures are mostly key colour: pass over sixteen such pixels with one test.
    const __m128i a = _mm_cmpeq_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i)), k);
    const __m128i b = _mm_cmpeq_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i + 4)), k);
    const __m128i c = _mm_cmpeq_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i + 8)), k);
    const __m128i e = _mm_cmpeq_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i + 12)), k);
    if (_mm_movemask_epi8(_mm_and_si128(_mm_and_si128(a, b), _mm_and_si128(c, e))) == 0xFFFF) continue;
    for (int32_t j = i; j < i + 16; j += 4) KeyedQuad(d + j, s + j, k);
  }
  for (; i + 4 <= n; i += 4) KeyedQuad(d + i, s + i, k);
#endif
  for (; i < n; ++i) {
    const uint32_t p = s[i];
    if (p != key) d[i] = p;
  }
}

// Copies the source pixels s[cols[0]], s[cols[1]], ... to d[0], d[1], ..., leaving out the key
// when asked. Four are gathered into one register and stored together.
inline void GatherRow(uint32_t* d, const uint32_t* s, const int32_t* cols, int32_t n, bool keyed,
                      uint32_t key) {
  int32_t i = 0;
#if defined(TANGREL_SSE2)
  const __m128i k = _mm_set1_epi32(static_cast<int32_t>(key));
  for (; i + 4 <= n; i += 4) {
    const __m128i sv = _mm_set_epi32(static_cast<int32_t>(s[cols[i + 3]]), static_cast<int32_t>(s[cols[i + 2]]),
                                     static_cast<int32_t>(s[cols[i + 1]]), static_cast<int32_t>(s[cols[i]]));
    if (!keyed) {
      _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), sv);
      continue;
    }
    const __m128i mask = _mm_cmpeq_epi32(sv, k);
    const int m = _mm_movemask_epi8(mask);
    if (m == 0) {
      _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), sv);
    } else if (m != 0xFFFF) {
      const __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), _mm_or_si128(_mm_and_si128(mask, dv), _mm_andnot_si128(mask, sv)));
    }
  }
#endif
  for (; i < n; ++i) {
    const uint32_t p = s[cols[i]];
    if (!keyed || p != key) d[i] = p;
  }
}

// Blends n pixels of s over d at weight a (1..254), leaving out the key when asked.
inline void BlendRow(uint32_t* d, const uint32_t* s, int32_t n, uint32_t a, bool keyed,
                     uint32_t key) {
  int32_t i = 0;
#if defined(TANGREL_SSE2)
  const __m128i zero = _mm_setzero_si128();
  const __m128i va = _mm_set1_epi16(static_cast<int16_t>(a));
  const __m128i via = _mm_set1_epi16(static_cast<int16_t>(255 - a));
  const __m128i half = _mm_set1_epi16(128);
  const __m128i k = _mm_set1_epi32(static_cast<int32_t>(key));
  for (; i + 4 <= n; i += 4) {
    const __m128i sv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
    const __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
    __m128i lo = _mm_add_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(sv, zero), va),
                               _mm_mullo_epi16(_mm_unpacklo_epi8(dv, zero), via));
    __m128i hi = _mm_add_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(sv, zero), va),
                               _mm_mullo_epi16(_mm_unpackhi_epi8(dv, zero), via));
    lo = _mm_add_epi16(lo, half);
    hi = _mm_add_epi16(hi, half);
    lo = _mm_srli_epi16(_mm_add_epi16(lo, _mm_srli_epi16(lo, 8)), 8);
    hi = _mm_srli_epi16(_mm_add_epi16(hi, _mm_srli_epi16(hi, 8)), 8);
    __m128i r = _mm_packus_epi16(lo, hi);
    if (keyed) {
      const __m128i mask = _mm_cmpeq_epi32(sv, k);
      r = _mm_or_si128(_mm_and_si128(mask, dv), _mm_andnot_si128(mask, r));
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), r);
  }
#endif
  for (; i < n; ++i) {
    const uint32_t p = s[i];
    if (!keyed || p != key) d[i] = Blend(p, d[i], a);
  }
}

// Inclusive-exclusive intersection of two ranges, written back into [lo, hi).
inline void Intersect(int32_t& lo, int32_t& hi, int32_t a, int32_t b) {
  lo = std::max(lo, a);
  hi = std::min(hi, b);
}

// Narrows [i0, i1) to the steps i at which start + i * step lies in [lo, hi) (all 16.16).
// The value moves in one direction along a row, so the steps inside form one run.
inline int64_t FloorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }
inline int64_t CeilDiv(int64_t a, int64_t b) { return -FloorDiv(-a, b); }
inline void StepRange(int64_t start, int64_t step, int64_t lo, int64_t hi, int64_t& i0, int64_t& i1) {
  if (step == 0) {
    if (start < lo || start >= hi) i1 = i0;
    return;
  }
  int64_t first, last;  // inclusive
  if (step > 0) {
    first = CeilDiv(lo - start, step);
    last = FloorDiv(hi - 1 - start, step);
  } else {
    first = CeilDiv(hi - 1 - start, step);
    last = FloorDiv(lo - start, step);
  }
  i0 = std::max(i0, first);
  i1 = std::min(i1, last + 1);
}

}  // namespace

const char* DrawingPath() {
#if defined(TANGREL_SSE2)
  return "sse2";
#else
  return "portable";
#endif
}

// --- TSurface ------------------------------------------------------------------------------

TSurface::TSurface() = default;
TSurface::~TSurface() = default;

void TSurface::SetSize(int32_t w, int32_t h) {
  if (w <= 0 || h <= 0) w = h = 0;
  width = w;
  height = h;
  const size_t n = static_cast<size_t>(w) * static_cast<size_t>(h);
  // A surface made much smaller gives its memory back (piece pictures shrink to their box).
  if (n < pixels.capacity() / 2)
    std::vector<uint32_t>(n, 0).swap(pixels);
  else
    pixels.assign(n, 0);
}

void TSurface::Fill(uint32_t value) {
  // Every frame starts by clearing to black: a plain memset is several times faster.
  if (value == 0) {
    if (!pixels.empty()) std::memset(pixels.data(), 0, pixels.size() * sizeof(uint32_t));
    return;
  }
  std::fill(pixels.begin(), pixels.end(), value);
}

void TSurface::Draw(int32_t x, int32_t y, const TRect& srcRect, const TSurface& source,
                    bool transparent) {
  // Clip the source rectangle to the source, moving the destination with it.
  int64_t sl = srcRect.Left, st = srcRect.Top, sr = srcRect.Right, sb = srcRect.Bottom;
  int64_t dx = x, dy = y;
  if (sl < 0) { dx -= sl; sl = 0; }
  if (st < 0) { dy -= st; st = 0; }
  sr = std::min<int64_t>(sr, source.width);
  sb = std::min<int64_t>(sb, source.height);
  if (sr <= sl || sb <= st) return;
  // Then to the destination.
  if (dx < 0) { sl -= dx; dx = 0; }
  if (dy < 0) { st -= dy; dy = 0; }
  sr = std::min<int64_t>(sr, sl + (width - dx));
  sb = std::min<int64_t>(sb, st + (height - dy));
  if (sr <= sl || sb <= st) return;

  const int32_t w = static_cast<int32_t>(sr - sl);
  const int32_t h = static_cast<int32_t>(sb - st);
  const uint32_t* src = source.pixels.data() + st * source.width + sl;
  int32_t srcPitch = source.width;
  if (&source == this) {  // overlapping draw onto itself: copy the block out first
    selfCopy.resize(static_cast<size_t>(w) * h);
    for (int32_t r = 0; r < h; ++r)
      std::memcpy(selfCopy.data() + static_cast<size_t>(r) * w, src + static_cast<size_t>(r) * srcPitch,
                  sizeof(uint32_t) * w);
    src = selfCopy.data();
    srcPitch = w;
  }
  uint32_t* dst = pixels.data() + dy * width + dx;
  if (transparent) {
    const uint32_t key = source.TransparentColor;
    for (int32_t r = 0; r < h; ++r, src += srcPitch, dst += width) KeyedRow(dst, src, w, key);
  } else {
    for (int32_t r = 0; r < h; ++r, src += srcPitch, dst += width)
      std::memcpy(dst, src, sizeof(uint32_t) * w);
  }
}

void TSurface::DrawRuns(int32_t x, int32_t y, const TKeyRuns& runs) {
  // Rows of the picture that land on this surface.
  const int64_t r0 = std::max<int64_t>(0, -static_cast<int64_t>(y));
  const int64_t r1 = std::min<int64_t>(runs.height, static_cast<int64_t>(height) - y);
  if (r1 <= r0 || runs.rowStart.size() != static_cast<size_t>(runs.height) + 1) return;
  const uint32_t* data = runs.packed.data();
  const TKeyRuns::Run* run = runs.runs.data() + runs.rowStart[static_cast<size_t>(r0)];
  if (x >= 0 && static_cast<int64_t>(x) + runs.width <= width) {
    // Wholly inside across: every run goes as it is.
    for (int64_t r = r0; r < r1; ++r) {
      uint32_t* drow = pixels.data() + (r + y) * width + x;
      for (const TKeyRuns::Run* end = runs.runs.data() + runs.rowStart[static_cast<size_t>(r) + 1]; run < end; ++run)
        std::memcpy(drow + run->x, data + run->at, sizeof(uint32_t) * static_cast<size_t>(run->n));
    }
    return;
  }
  const int64_t lo = -static_cast<int64_t>(x), hi = static_cast<int64_t>(width) - x;  // source columns shown
  for (int64_t r = r0; r < r1; ++r) {
    uint32_t* drow = pixels.data() + (r + y) * width;
    for (const TKeyRuns::Run* end = runs.runs.data() + runs.rowStart[static_cast<size_t>(r) + 1]; run < end; ++run) {
      const int64_t a = std::max<int64_t>(run->x, lo);
      const int64_t b = std::min<int64_t>(static_cast<int64_t>(run->x) + run->n, hi);
      if (b > a) std::memcpy(drow + (x + a), data + run->at + (a - run->x), sizeof(uint32_t) * static_cast<size_t>(b - a));
    }
  }
}

void TKeyRuns::Build(const TSurface& source) { Build(source, source.ClientRect()); }

void TKeyRuns::Build(const TSurface& source, const TRect& area) {
  Clear();
  int32_t l = area.Left, r1 = area.Right, t = area.Top, b = area.Bottom;
  Intersect(l, r1, 0, source.Width());
  Intersect(t, b, 0, source.Height());
  width = std::max(0, r1 - l);
  height = std::max(0, b - t);
  if (width == 0 || height == 0) width = height = 0;
  key = source.TransparentColor;
  rowStart.reserve(static_cast<size_t>(height) + 1);
  const uint32_t* px = source.Pixels();
  for (int32_t r = 0; r < height; ++r) {
    rowStart.push_back(static_cast<uint32_t>(runs.size()));
    const uint32_t* row = px + static_cast<size_t>(r + t) * source.Width() + l;
    for (int32_t i = 0; i < width;) {
      while (i < width && row[i] == key) ++i;
      const int32_t start = i;
      while (i < width && row[i] != key) ++i;
      if (i == start) continue;
      runs.push_back({start, i - start, static_cast<uint32_t>(packed.size())});
      packed.insert(packed.end(), row + start, row + i);
    }
  }
  rowStart.push_back(static_cast<uint32_t>(runs.size()));
  runs.shrink_to_fit();
  packed.shrink_to_fit();
}

void TKeyRuns::Clear() {
  width = height = 0;
  key = 0;
  // Give the memory back: a cleared picture holds nothing.
  std::vector<uint32_t>().swap(rowStart);
  std::vector<Run>().swap(runs);
  std::vector<uint32_t>().swap(packed);
}

void TSurface::DrawAlpha(const TRect& destRect, const TRect& srcRect, const TSurface& source,
                         bool transparent, int32_t alpha) {
  if (alpha <= 0) return;
  const int64_t dw = static_cast<int64_t>(destRect.Right) - destRect.Left;
  const int64_t dh = static_cast<int64_t>(destRect.Bottom) - destRect.Top;
  const int64_t sw = static_cast<int64_t>(srcRect.Right) - srcRect.Left;
  const int64_t sh = static_cast<int64_t>(srcRect.Bottom) - srcRect.Top;
  if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0 || width == 0 || source.width == 0) return;
  if (alpha >= 255 && dw == sw && dh == sh && &source != this) {
    Draw(destRect.Left, destRect.Top, srcRect, source, transparent);
    return;
  }
  // Destination area after clipping.
  int32_t x0 = destRect.Left, x1 = destRect.Right, y0 = destRect.Top, y1 = destRect.Bottom;
  Intersect(x0, x1, 0, width);
  Intersect(y0, y1, 0, height);
  if (x1 <= x0 || y1 <= y0) return;

  // Nearest source column of each destination column, by pixel centres. The mapping grows
  // with x, so the columns that land inside the source form one run: keep only that run.
  columnTable.clear();
  int32_t first = x1;
  // (2k + 1) sw / 2dw for k = x - destRect.Left, stepped as a quotient and remainder.
  const int64_t den = 2 * dw;
  const int64_t m0 = 2 * (static_cast<int64_t>(x0) - destRect.Left) + 1;
  if (m0 > INT64_MAX / sw) return;  // only for rectangles near the ends of the coordinate range
  const int64_t num0 = m0 * sw;
  int64_t q = num0 / den, rem = num0 % den;
  const int64_t qStep = (2 * sw) / den, rStep = (2 * sw) % den;
  for (int32_t x = x0; x < x1; ++x) {
    const int64_t sx = srcRect.Left + q;
    q += qStep;
    rem += rStep;
    if (rem >= den) ++q, rem -= den;
    if (sx < 0) continue;
    if (sx >= source.width) break;
    if (first == x1) first = x;
    columnTable.push_back(static_cast<int32_t>(sx));
  }
  if (columnTable.empty()) return;
  x0 = first;
  const int32_t n = static_cast<int32_t>(columnTable.size());
  const bool unscaled = dw == sw;  // then the run is a plain slice of the source row

  const TSurface* srcSurf = &source;
  TSurface copy;
  if (&source == this) {  // blending a surface onto itself: read from a snapshot
    copy.SetSize(width, height);
    copy.pixels = pixels;
    srcSurf = &copy;
  }
  const uint32_t key = source.TransparentColor;
  const int32_t* cols = columnTable.data();
  const uint32_t a = static_cast<uint32_t>(std::min(alpha, 255));
  if (!unscaled) rowBuffer.resize(static_cast<size_t>(n));
  if (2 * (static_cast<int64_t>(y1) - destRect.Top) > INT64_MAX / sh) return;  // ends of the range only
  for (int32_t y = y0; y < y1; ++y) {
    const int64_t k = static_cast<int64_t>(y) - destRect.Top;
    const int64_t sy = srcRect.Top + ((2 * k + 1) * sh) / (2 * dh);
    if (sy < 0 || sy >= source.height) continue;
    const uint32_t* srow = srcSurf->pixels.data() + sy * source.width;
    uint32_t* drow = pixels.data() + static_cast<int64_t>(y) * width + x0;
    const uint32_t* run;
    if (unscaled) {
      run = srow + cols[0];
    } else if (a >= 255) {  // a plain stretch: gather straight onto the row
      GatherRow(drow, srow, cols, n, transparent, key);
      continue;
    } else {
      GatherRow(rowBuffer.data(), srow, cols, n, false, key);
      run = rowBuffer.data();
    }
    if (a < 255)
      BlendRow(drow, run, n, a, transparent, key);
    else if (transparent)
      KeyedRow(drow, run, n, key);
    else
      std::memcpy(drow, run, sizeof(uint32_t) * static_cast<size_t>(n));
  }
}

void TSurface::DrawRotate(int32_t x, int32_t y, int32_t width_, int32_t height_,
                          const TRect& srcRect, const TSurface& source, double centerX,
                          double centerY, bool transparent, int32_t angle) {
  DrawRotateAlpha(x, y, width_, height_, srcRect, source, centerX, centerY, transparent, angle,
                  255);
}

void TSurface::DrawRotateAlpha(int32_t x, int32_t y, int32_t w, int32_t h, const TRect& srcRect,
                               const TSurface& source, double centerX, double centerY,
                               bool transparent, int32_t angle, int32_t alpha) {
  if (alpha <= 0 || w <= 0 || h <= 0) return;
  const int64_t sw = static_cast<int64_t>(srcRect.Right) - srcRect.Left;
  const int64_t sh = static_cast<int64_t>(srcRect.Bottom) - srcRect.Top;
  if (sw <= 0 || sh <= 0 || width == 0 || source.width == 0) return;
  if (!std::isfinite(centerX) || !std::isfinite(centerY)) return;

  // Only angle mod 256 counts; the quarter turns get exact sines so they stay clean.
  const int32_t a256 = ((angle % 256) + 256) % 256;
  double c, s;
  switch (a256) {
    case 0: c = 1; s = 0; break;
    case 64: c = 0; s = 1; break;
    case 128: c = -1; s = 0; break;
    case 192: c = 0; s = -1; break;
    default: {
      const double t = a256 * (2.0 * M_PI / 256.0);
      c = std::cos(t);
      s = std::sin(t);
    }
  }
  // Image point (u, v) relative to the turning point lands on (x + u c - v s, y + u s + v c):
  // clockwise on a screen whose y axis points down.
  const double ox = centerX * w, oy = centerY * h;  // turning point inside the scaled image
  double minX = 1e300, maxX = -1e300, minY = 1e300, maxY = -1e300;
  const double cu[4] = {-ox, w - ox, w - ox, -ox};
  const double cv[4] = {-oy, -oy, h - oy, h - oy};
  for (int i = 0; i < 4; ++i) {
    const double px = x + cu[i] * c - cv[i] * s;
    const double py = y + cu[i] * s + cv[i] * c;
    minX = std::min(minX, px);
    maxX = std::max(maxX, px);
    minY = std::min(minY, py);
    maxY = std::max(maxY, py);
  }
  const double bx0 = std::max(std::floor(minX), 0.0), bx1 = std::min(std::ceil(maxX), double(width));
  const double by0 = std::max(std::floor(minY), 0.0), by1 = std::min(std::ceil(maxY), double(height));
  if (!(bx1 > bx0) || !(by1 > by0)) return;
  const int32_t x0 = static_cast<int32_t>(bx0), x1 = static_cast<int32_t>(bx1);
  const int32_t y0 = static_cast<int32_t>(by0), y1 = static_cast<int32_t>(by1);

  const TSurface* srcSurf = &source;
  TSurface copy;
  if (&source == this) {
    copy.SetSize(width, height);
    copy.pixels = pixels;
    srcSurf = &copy;
  }
  const double kx = static_cast<double>(sw) / w, ky = static_cast<double>(sh) / h;
  const uint32_t key = source.TransparentColor;
  const uint32_t a = static_cast<uint32_t>(std::min(alpha, 255));
  const uint32_t* spix = srcSurf->pixels.data();
  const int32_t spitch = source.width;
  const int64_t sL = srcRect.Left, sT = srcRect.Top;
  // Walk each row in source pixels: the inverse turn, then the scale, stepped per pixel in
  // 16.16 fixed point. Only source pixels inside both the source rectangle and the source
  // itself are read; on each row those form one run of destination pixels, found up front.
  const int64_t suLo = std::max<int64_t>(0, -sL), suHi = std::min<int64_t>(sw, source.width - sL);
  const int64_t svLo = std::max<int64_t>(0, -sT), svHi = std::min<int64_t>(sh, source.height - sT);
  if (suHi <= suLo || svHi <= svLo) return;
  const double du = c * kx, dv = -s * ky;
  // Steps of 2^15 source pixels (a whole source side) per destination pixel or more, or
  // starting points beyond 2^40, only come from absurd scales or turning points: they draw
  // nothing, and the 16.16 arithmetic below stays far from overflowing.
  constexpr double kMaxStep = 32768.0, kMaxStart = 1099511627776.0;
  if (!(std::fabs(du) < kMaxStep) || !(std::fabs(dv) < kMaxStep)) return;
  const int64_t duF = std::llround(du * 65536.0), dvF = std::llround(dv * 65536.0);
  const int64_t sbase = sT * spitch + sL;  // may be negative; every index read is not
  const double dx0 = x0 + 0.5 - x;
  const int32_t n = x1 - x0;
  const bool direct = a >= 255 && !transparent;
  if (!direct) rowBuffer.resize(static_cast<size_t>(n));
  for (int32_t py = y0; py < y1; ++py) {
    const double dy = py + 0.5 - y;
    const double su = (dx0 * c + dy * s + ox) * kx;
    const double sv = (-dx0 * s + dy * c + oy) * ky;
    if (!(std::fabs(su) < kMaxStart) || !(std::fabs(sv) < kMaxStart)) continue;
    const int64_t suF = std::llround(su * 65536.0), svF = std::llround(sv * 65536.0);
    int64_t i0 = 0, i1 = n;
    StepRange(suF, duF, suLo << 16, suHi << 16, i0, i1);
    StepRange(svF, dvF, svLo << 16, svHi << 16, i0, i1);
    if (i1 <= i0) continue;
    int64_t u = suF + i0 * duF, v = svF + i0 * dvF;
    const int32_t cnt = static_cast<int32_t>(i1 - i0);
    uint32_t* drow = pixels.data() + static_cast<int64_t>(py) * width + x0 + i0;
    uint32_t* out = direct ? drow : rowBuffer.data();
    for (int32_t i = 0; i < cnt; ++i, u += duF, v += dvF) out[i] = spix[sbase + (v >> 16) * spitch + (u >> 16)];
    if (direct) continue;
    if (a < 255)
      BlendRow(drow, out, cnt, a, transparent, key);
    else
      KeyedRow(drow, out, cnt, key);
  }
}

TSurfaceCanvas& TSurface::Canvas() {
  if (!canvas) canvas = std::make_unique<TSurfaceCanvas>(*this);
  return *canvas;
}

void TSurface::LoadFromGraphic(const TPicture& picture) {
  if (picture.Empty() ||
      picture.Pixels.size() < static_cast<size_t>(picture.Width) * static_cast<size_t>(picture.Height)) {
    SetSize(0, 0);
    return;
  }
  SetSize(picture.Width, picture.Height);
  std::copy(picture.Pixels.begin(), picture.Pixels.begin() + static_cast<ptrdiff_t>(pixels.size()),
            pixels.begin());
}

uint32_t TSurface::GetPixel(int32_t x, int32_t y) const {
  if (x < 0 || y < 0 || x >= width || y >= height) return 0;
  return pixels[static_cast<size_t>(y) * width + x];
}

void TSurface::SetPixel(int32_t x, int32_t y, uint32_t value) {
  if (x < 0 || y < 0 || x >= width || y >= height) return;
  pixels[static_cast<size_t>(y) * width + x] = value;
}

uint32_t TSurface::ColorMatch(TColor rgb) {
  if (rgb & 0xFF000000u) {
    // System colours take the usual desktop defaults; clNone, clDefault and anything else
    // odd become a value no 0x00RRGGBB pixel can equal, so nothing is keyed out by it.
    const uint32_t idx = rgb & 0x00FFFFFFu;
    if ((rgb & 0xFF000000u) == 0x80000000u && idx < 29) return kSystemColours[idx];
    return 0xFF000000u;
  }
  return ((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF);
}

// --- TDrawDevice ---------------------------------------------------------------------------

TDrawDevice::TDrawDevice() = default;

TDrawDevice::~TDrawDevice() {
  // Lists outliving the device must not call back into it.
  for (TImageList* l : lists) l->DetachDevice();
  lists.clear();
}

void TDrawDevice::Initialize() {
  Finalize();
  if (!plat::Platform().SetFullScreen(FullScreen)) {
    char buf[96];
    std::snprintf(buf, sizeof buf, "Display mode cannot be changed (%dx%d %dbit)", DisplayWidth,
                  DisplayHeight, DisplayBits);
    throw EGameError(buf);
  }
  Surface.SetSize(800, 600);
  open = true;
  try {
    if (OnInitialize) OnInitialize();
  } catch (...) {
    // The device is open and its frames may run: the pictures must be there to draw.
    for (TImageList* l : lists) l->RestoreAll();
    throw;
  }
  for (TImageList* l : lists) l->RestoreAll();
}

void TDrawDevice::Finalize() {
  if (!open) return;
  // The handler runs while the surfaces still exist, so it can free its own.
  if (OnFinalize) OnFinalize();
  open = false;
  Surface.SetSize(0, 0);
  for (TImageList* l : lists) l->ReleaseAll();
}

bool TDrawDevice::CanDraw() const { return open && Surface.Width() > 0 && Surface.Height() > 0; }

void TDrawDevice::Flip() {
  if (!CanDraw()) return;
  plat::Platform().Present(Surface.Pixels(), Surface.Width(), Surface.Height(), Surface.Pitch());
}

void TDrawDevice::Bind(TImageList* list) {
  if (list && std::find(lists.begin(), lists.end(), list) == lists.end()) lists.push_back(list);
}

void TDrawDevice::Unbind(TImageList* list) {
  lists.erase(std::remove(lists.begin(), lists.end(), list), lists.end());
}
