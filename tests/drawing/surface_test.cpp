// Surface draws: clipping at every edge, transparency, alpha limits and turned draws.
#include <gtest/gtest.h>

#include <cmath>

#include "media/surface.h"

namespace {

// A w x h surface whose pixel (x, y) holds a value unique to its position (never 0).
void Numbered(TSurface& s, int32_t w, int32_t h) {
  s.SetSize(w, h);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) s.SetPixel(x, y, 0x010000u + static_cast<uint32_t>(y * 1000 + x));
}

uint32_t Num(int32_t x, int32_t y) { return 0x010000u + static_cast<uint32_t>(y * 1000 + x); }

// Counts the pixels of s that differ from v.
int CountNot(const TSurface& s, uint32_t v) {
  int n = 0;
  for (int32_t y = 0; y < s.Height(); ++y)
    for (int32_t x = 0; x < s.Width(); ++x) n += s.GetPixel(x, y) != v;
  return n;
}

}  // namespace

TEST(Surface, SizeFillPixelsAndColorMatch) {
  TSurface s;
  EXPECT_EQ(s.Width(), 0);
  s.SetSize(4, 3);
  EXPECT_EQ(s.ClientRect(), (TRect{0, 0, 4, 3}));
  s.Fill(0x123456);
  EXPECT_EQ(CountNot(s, 0x123456), 0);
  EXPECT_EQ(s.GetPixel(-1, 0), 0u);
  EXPECT_EQ(s.GetPixel(4, 0), 0u);
  s.SetPixel(4, 0, 1);  // ignored outside
  s.SetPixel(-1, 2, 1);
  EXPECT_EQ(CountNot(s, 0x123456), 0);
  EXPECT_EQ(TSurface::ColorMatch(0x0000FF), 0xFF0000u);  // red
  EXPECT_EQ(TSurface::ColorMatch(0xFF00FF), 0xFF00FFu);
  EXPECT_EQ(TSurface::ColorMatch(0x336699), 0x996633u);
  // clNone must never key out a real pixel.
  EXPECT_EQ(TSurface::ColorMatch(0x1FFFFFFF) & 0xFF000000u, 0xFF000000u);
}

TEST(Surface, DrawClipsAtEveryEdge) {
  TSurface src, dst;
  Numbered(src, 300, 300);
  dst.SetSize(800, 600);
  // Top-left: only the bottom-right 200 x 200 shows.
  dst.Draw(-100, -100, src.ClientRect(), src, false);
  EXPECT_EQ(dst.GetPixel(0, 0), Num(100, 100));
  EXPECT_EQ(dst.GetPixel(199, 199), Num(299, 299));
  EXPECT_EQ(dst.GetPixel(200, 0), 0u);
  EXPECT_EQ(dst.GetPixel(0, 200), 0u);
  EXPECT_EQ(CountNot(dst, 0), 200 * 200);
  // Bottom-right corner: the top-left 100 x 50 shows.
  dst.Fill(0);
  dst.Draw(700, 550, src.ClientRect(), src, false);
  EXPECT_EQ(dst.GetPixel(700, 550), Num(0, 0));
  EXPECT_EQ(dst.GetPixel(799, 599), Num(99, 49));
  EXPECT_EQ(CountNot(dst, 0), 100 * 50);
  // Wholly outside on each side: nothing.
  dst.Fill(0);
  dst.Draw(-300, 0, src.ClientRect(), src, false);
  dst.Draw(800, 0, src.ClientRect(), src, false);
  dst.Draw(0, -300, src.ClientRect(), src, false);
  dst.Draw(0, 600, src.ClientRect(), src, false);
  EXPECT_EQ(CountNot(dst, 0), 0);
  // A source rectangle reaching outside the source is cut to it, keeping positions.
  dst.Draw(10, 10, TRect{-5, -5, 5, 5}, src, false);
  EXPECT_EQ(dst.GetPixel(15, 15), Num(0, 0));
  EXPECT_EQ(dst.GetPixel(14, 15), 0u);
  EXPECT_EQ(CountNot(dst, 0), 25);
  // Empty source or destination: nothing, and no crash.
  TSurface empty;
  dst.Fill(0);
  dst.Draw(0, 0, TRect{0, 0, 10, 10}, empty, false);
  dst.Draw(0, 0, TRect{5, 5, 5, 9}, src, false);
  EXPECT_EQ(CountNot(dst, 0), 0);
  empty.Draw(0, 0, src.ClientRect(), src, false);
  empty.DrawAlpha({0, 0, 10, 10}, src.ClientRect(), src, false, 100);
  empty.DrawRotate(0, 0, 10, 10, src.ClientRect(), src, 0.5, 0.5, false, 10);
}

TEST(Surface, TransparentDrawSkipsTheKeyOnly) {
  TSurface src, dst;
  src.SetSize(7, 3);  // odd width exercises the tail after whole blocks
  for (int32_t y = 0; y < 3; ++y)
    for (int32_t x = 0; x < 7; ++x) src.SetPixel(x, y, (x + y) % 2 ? 0xFF00FF : 0x000010u + x);
  src.TransparentColor = 0xFF00FF;
  dst.SetSize(10, 5);
  dst.Fill(0x777777);
  dst.Draw(1, 1, src.ClientRect(), src, true);
  for (int32_t y = 0; y < 3; ++y)
    for (int32_t x = 0; x < 7; ++x)
      EXPECT_EQ(dst.GetPixel(x + 1, y + 1), (x + y) % 2 ? 0x777777u : 0x000010u + x) << x << "," << y;
  dst.Draw(1, 1, src.ClientRect(), src, false);  // transparency off copies the key too
  EXPECT_EQ(dst.GetPixel(2, 1), 0xFF00FFu);
}

TEST(Surface, AlphaLimits) {
  TSurface src, a, b, c;
  Numbered(src, 40, 30);
  src.TransparentColor = Num(10, 3);
  for (TSurface* s : {&a, &b, &c}) {
    s->SetSize(100, 100);
    s->Fill(0x204060);
  }
  const TRect dest{-10, 5, 70, 95};  // stretched two by three, and clipped on the left
  a.DrawAlpha(dest, src.ClientRect(), src, true, 0);
  EXPECT_EQ(CountNot(a, 0x204060), 0);
  a.DrawAlpha(dest, src.ClientRect(), src, true, -5);
  EXPECT_EQ(CountNot(a, 0x204060), 0);
  a.DrawAlpha(dest, src.ClientRect(), src, true, 255);
  b.DrawAlpha(dest, src.ClientRect(), src, true, 256);
  c.DrawAlpha(dest, src.ClientRect(), src, true, 1000);
  for (int32_t y = 0; y < 100; ++y)
    for (int32_t x = 0; x < 100; ++x) {
      ASSERT_EQ(a.GetPixel(x, y), b.GetPixel(x, y));
      ASSERT_EQ(a.GetPixel(x, y), c.GetPixel(x, y));
    }
  // Opaque stretch: nearest pixel, each source pixel two wide and three high.
  EXPECT_EQ(a.GetPixel(0, 5), Num(5, 0));
  EXPECT_EQ(a.GetPixel(69, 94), Num(39, 29));
  EXPECT_EQ(a.GetPixel(70, 50), 0x204060u);
  EXPECT_EQ(a.GetPixel(10, 14), 0x204060u);  // the keyed source pixel (10, 3) stays out
  EXPECT_EQ(a.GetPixel(12, 14), Num(11, 3));
  // Half alpha mixes each channel about halfway, in both directions.
  TSurface w, d;
  w.SetSize(1, 1);
  w.SetPixel(0, 0, 0xFFFFFF);
  d.SetSize(1, 1);
  d.DrawAlpha({0, 0, 1, 1}, w.ClientRect(), w, false, 128);
  EXPECT_EQ(d.GetPixel(0, 0), 0x808080u);
  d.Fill(0xFF0000);
  w.SetPixel(0, 0, 0x0000FF);
  d.DrawAlpha({0, 0, 1, 1}, w.ClientRect(), w, false, 51);  // a fifth of the way
  EXPECT_EQ(d.GetPixel(0, 0), 0xCC0033u);
}

TEST(Surface, RotationFullTurnAndQuarterTurn) {
  TSurface src;
  Numbered(src, 20, 10);
  TSurface r0, r256, r64, rneg;
  for (TSurface* s : {&r0, &r256, &r64, &rneg}) s->SetSize(60, 60);
  r0.DrawRotate(30, 30, 20, 10, src.ClientRect(), src, 0.5, 0.5, false, 0);
  r256.DrawRotate(30, 30, 20, 10, src.ClientRect(), src, 0.5, 0.5, false, 256);
  rneg.DrawRotate(30, 30, 20, 10, src.ClientRect(), src, 0.5, 0.5, false, -192);  // same as 64
  r64.DrawRotate(30, 30, 20, 10, src.ClientRect(), src, 0.5, 0.5, false, 64);
  int differ = 0;
  for (int32_t y = 0; y < 60; ++y)
    for (int32_t x = 0; x < 60; ++x) {
      differ += r0.GetPixel(x, y) != r256.GetPixel(x, y);
      differ += r64.GetPixel(x, y) != rneg.GetPixel(x, y);
    }
  EXPECT_EQ(differ, 0);
  // Angle 0: an exact copy centred on (30, 30).
  EXPECT_EQ(r0.GetPixel(20, 25), Num(0, 0));
  EXPECT_EQ(r0.GetPixel(39, 34), Num(19, 9));
  EXPECT_EQ(CountNot(r0, 0), 200);
  // A quarter turn clockwise: the top edge becomes the right edge, read downwards; the
  // 20 x 10 image stands 10 wide and 20 tall on the same centre, without holes.
  EXPECT_EQ(CountNot(r64, 0), 200);
  EXPECT_EQ(r64.GetPixel(34, 20), Num(0, 0));   // top-left corner goes to the top-right
  EXPECT_EQ(r64.GetPixel(34, 39), Num(19, 0));  // top-right corner to the bottom-right
  EXPECT_EQ(r64.GetPixel(25, 20), Num(0, 9));   // bottom-left corner to the top-left
  EXPECT_EQ(r64.GetPixel(24, 20), 0u);
  EXPECT_EQ(r64.GetPixel(35, 20), 0u);
}

TEST(Surface, RotationScalesCentresAndKeysOut) {
  TSurface src, dst;
  src.SetSize(2, 2);
  src.SetPixel(0, 0, 0x111111);
  src.SetPixel(1, 0, 0x222222);
  src.SetPixel(0, 1, 0x333333);
  src.SetPixel(1, 1, 0xFF00FF);
  src.TransparentColor = 0xFF00FF;
  dst.SetSize(50, 50);
  dst.Fill(0x444444);
  // Scaled to 20 x 20 with its top-left corner (centre 0, 0) on (10, 10).
  dst.DrawRotate(10, 10, 20, 20, src.ClientRect(), src, 0, 0, true, 0);
  EXPECT_EQ(dst.GetPixel(10, 10), 0x111111u);
  EXPECT_EQ(dst.GetPixel(29, 10), 0x222222u);
  EXPECT_EQ(dst.GetPixel(10, 29), 0x333333u);
  EXPECT_EQ(dst.GetPixel(29, 29), 0x444444u);  // keyed out
  EXPECT_EQ(dst.GetPixel(30, 30), 0x444444u);
  // Nothing for zero sizes or zero alpha.
  dst.Fill(0);
  dst.DrawRotate(10, 10, 0, 20, src.ClientRect(), src, 0, 0, false, 5);
  dst.DrawRotate(10, 10, 20, 0, src.ClientRect(), src, 0, 0, false, 5);
  dst.DrawRotateAlpha(10, 10, 20, 20, src.ClientRect(), src, 0, 0, false, 5, 0);
  EXPECT_EQ(CountNot(dst, 0), 0);
  // A turn of 1/8 about a far-off point still clips cleanly.
  dst.DrawRotate(-1000, -1000, 3000, 3000, src.ClientRect(), src, 0.5, 0.5, false, 32);
  EXPECT_EQ(CountNot(dst, 0), 50 * 50);
}

TEST(Surface, BlendedRowsMatchTheRoundedMixEverywhere) {
  // Wide rows go through the block path, their tails pixel by pixel: both must agree.
  TSurface src, dst;
  src.SetSize(13, 2);
  dst.SetSize(13, 2);
  for (int32_t x = 0; x < 13; ++x)
    for (int32_t y = 0; y < 2; ++y) {
      src.SetPixel(x, y, (x * 0x1F3A5Bu * (y + 3)) & 0xFFFFFF);
      dst.SetPixel(x, y, (x * 0x0B7C2Du + 0x405060u * y) & 0xFFFFFF);
    }
  src.SetPixel(2, 0, 0x010203);
  src.TransparentColor = 0x010203;
  for (int32_t alpha : {1, 77, 128, 254}) {
    TSurface d;
    d.SetSize(13, 2);
    for (int32_t y = 0; y < 2; ++y)
      for (int32_t x = 0; x < 13; ++x) d.SetPixel(x, y, dst.GetPixel(x, y));
    d.DrawAlpha(d.ClientRect(), src.ClientRect(), src, true, alpha);
    for (int32_t y = 0; y < 2; ++y)
      for (int32_t x = 0; x < 13; ++x) {
        const uint32_t s = src.GetPixel(x, y), b = dst.GetPixel(x, y);
        uint32_t want = b;
        if (s != src.TransparentColor) {
          want = 0;
          for (int sh = 0; sh < 24; sh += 8) {
            const uint32_t mix = ((s >> sh) & 255) * alpha + ((b >> sh) & 255) * (255 - alpha);
            want |= ((2 * mix + 255) / 510) << sh;
          }
        }
        ASSERT_EQ(d.GetPixel(x, y), want) << "alpha " << alpha << " at " << x << "," << y;
      }
  }
}

TEST(Surface, TurnedDrawFromARectangleReachingOutsideTheSource) {
  // Source rectangle (-2, -2)-(4, 4) of a 4 x 4 surface: only its real part is read.
  TSurface src, dst;
  src.SetSize(4, 4);
  src.Fill(0xABCDEF);
  dst.SetSize(20, 20);
  dst.DrawRotate(0, 0, 6, 6, TRect{-2, -2, 4, 4}, src, 0, 0, false, 0);
  EXPECT_EQ(dst.GetPixel(1, 1), 0u);
  EXPECT_EQ(dst.GetPixel(2, 2), 0xABCDEFu);
  EXPECT_EQ(dst.GetPixel(5, 5), 0xABCDEFu);
  EXPECT_EQ(dst.GetPixel(6, 6), 0u);
  dst.Fill(0);
  dst.DrawRotateAlpha(10, 10, 12, 12, TRect{-2, -2, 4, 4}, src, 0.5, 0.5, false, 77, 128);
  dst.DrawAlpha({0, 0, 12, 12}, TRect{-2, -2, 4, 4}, src, false, 255);
  EXPECT_EQ(dst.GetPixel(3, 3), 0u);
  EXPECT_EQ(dst.GetPixel(4, 4), 0xABCDEFu);
}

namespace {

// A w x h surface of pseudo-random colours where about a third of the pixels, whole rows and
// the edges included, are the key colour.
void Speckled(TSurface& s, int32_t w, int32_t h, uint32_t key, uint32_t seed) {
  s.SetSize(w, h);
  s.TransparentColor = key;
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) {
      seed = seed * 1664525u + 1013904223u;
      const bool hole = (seed >> 28) < 5 || y == 3 || x == 0 || x == w - 1;
      s.SetPixel(x, y, hole ? key : (seed >> 8) & 0xFFFFFF);
    }
}

bool SamePixels(const TSurface& a, const TSurface& b) {
  for (int32_t y = 0; y < a.Height(); ++y)
    for (int32_t x = 0; x < a.Width(); ++x)
      if (a.GetPixel(x, y) != b.GetPixel(x, y)) return false;
  return true;
}

// The turned draw written the slow, obvious way: every destination pixel's centre taken back
// through the turn and the scale to the nearest source pixel.
void TurnedReference(TSurface& dst, int32_t x, int32_t y, int32_t w, int32_t h, const TRect& sr,
                     const TSurface& src, double cx, double cy, bool keyed, int32_t angle) {
  const double t = (((angle % 256) + 256) % 256) * (2.0 * M_PI / 256.0);
  const double c = std::cos(t), s = std::sin(t);
  const double kx = double(sr.Right - sr.Left) / w, ky = double(sr.Bottom - sr.Top) / h;
  for (int32_t py = 0; py < dst.Height(); ++py)
    for (int32_t px = 0; px < dst.Width(); ++px) {
      const double dx = px + 0.5 - x, dy = py + 0.5 - y;
      const double su = (dx * c + dy * s + cx * w) * kx, sv = (-dx * s + dy * c + cy * h) * ky;
      if (su < 0 || sv < 0 || su >= sr.Right - sr.Left || sv >= sr.Bottom - sr.Top) continue;
      const int32_t u = sr.Left + static_cast<int32_t>(su), v = sr.Top + static_cast<int32_t>(sv);
      if (u < 0 || v < 0 || u >= src.Width() || v >= src.Height()) continue;
      const uint32_t p = src.GetPixel(u, v);
      if (!keyed || p != src.TransparentColor) dst.SetPixel(px, py, p);
    }
}

}  // namespace

TEST(Surface, KeyRunsCopyExactlyWhatTheKeyedCopyDoes) {
  TSurface src;
  Speckled(src, 37, 23, 0xFF00FF, 7);
  TKeyRuns runs;
  runs.Build(src);
  EXPECT_EQ(runs.Width(), 37);
  EXPECT_EQ(runs.Height(), 23);
  EXPECT_EQ(runs.Key(), 0xFF00FFu);
  EXPECT_GT(runs.RunCount(), 23u);  // several runs on most rows
  EXPECT_EQ(runs.PixelCount(), static_cast<size_t>(CountNot(src, 0xFF00FF)));  // only what shows
  // Everywhere on and around a 60 x 40 surface: inside, across each edge and corner, off it.
  for (int32_t y : {-30, -23, -22, -5, 0, 8, 17, 39, 40, 70})
    for (int32_t x : {-40, -37, -36, -9, 0, 11, 23, 59, 60, 100}) {
      TSurface want, got;
      Speckled(want, 60, 40, 0x123456, 99);
      Speckled(got, 60, 40, 0x123456, 99);
      want.Draw(x, y, src.ClientRect(), src, true);
      got.DrawRuns(x, y, runs);
      ASSERT_TRUE(SamePixels(want, got)) << "at " << x << "," << y;
    }
  // Runs of a part of the surface draw like a keyed copy of that part; a part off the
  // surface is an empty picture.
  {
    TKeyRuns part;
    part.Build(src, {5, 2, 30, 20});
    EXPECT_EQ(part.Width(), 25);
    EXPECT_EQ(part.Height(), 18);
    TSurface want, got;
    Speckled(want, 60, 40, 0x123456, 5);
    Speckled(got, 60, 40, 0x123456, 5);
    want.Draw(-3, 30, {5, 2, 30, 20}, src, true);
    got.DrawRuns(-3, 30, part);
    EXPECT_TRUE(SamePixels(want, got));
    part.Build(src, {40, 0, 50, 10});
    EXPECT_EQ(part.Width() * part.Height(), 0);
    EXPECT_EQ(part.PixelCount(), 0u);
  }
  // The runs are a copy: the surface may change or go afterwards.
  TSurface want;
  want.SetSize(60, 40);
  want.Draw(5, 6, src.ClientRect(), src, true);
  src.Fill(0x0000FF);
  src.SetSize(0, 0);
  TSurface got;
  got.SetSize(60, 40);
  got.DrawRuns(5, 6, runs);
  EXPECT_TRUE(SamePixels(want, got));
  // An empty surface has no runs, and cleared runs draw nothing.
  runs.Build(src);
  EXPECT_EQ(runs.RunCount(), 0u);
  Speckled(src, 37, 23, 0xFF00FF, 7);
  runs.Build(src);
  runs.Clear();
  EXPECT_EQ(runs.Width(), 0);
  EXPECT_EQ(runs.PixelCount(), 0u);
  got.Fill(0);
  got.DrawRuns(0, 0, runs);
  EXPECT_EQ(CountNot(got, 0), 0);
}

TEST(Surface, TurnedDrawAgreesWithThePerPixelReference) {
  // Stepping along a row in fixed point may pick the neighbouring source pixel where a centre
  // falls within a rounding error of a pixel boundary; nothing more.
  TSurface src;
  Speckled(src, 41, 29, 0xFF00FF, 3);
  struct Case {
    int32_t x, y, w, h;
    TRect sr;
    double cx, cy;
    bool keyed;
    int32_t angle;
  };
  const Case cases[] = {
      {50, 40, 41, 29, {0, 0, 41, 29}, 0.5, 0.5, true, 37},
      {50, 40, 80, 60, {0, 0, 41, 29}, 0.5, 0.5, false, 100},
      {10, 70, 30, 90, {-5, 3, 50, 20}, 0.2, 0.9, true, 200},
      {-20, -10, 140, 100, {0, 0, 41, 29}, 0, 0, false, 17},
      {70, 60, 23, 23, {10, 10, 30, 25}, 1, 1, true, 129},
      {50, 40, 300, 300, {0, 0, 41, 29}, 0.5, 0.5, false, 251},
  };
  for (const Case& k : cases) {
    TSurface want, got;
    want.SetSize(100, 80);
    got.SetSize(100, 80);
    TurnedReference(want, k.x, k.y, k.w, k.h, k.sr, src, k.cx, k.cy, k.keyed, k.angle);
    got.DrawRotate(k.x, k.y, k.w, k.h, k.sr, src, k.cx, k.cy, k.keyed, k.angle);
    int differ = 0, drawn = 0;
    for (int32_t y = 0; y < 80; ++y)
      for (int32_t x = 0; x < 100; ++x) {
        differ += want.GetPixel(x, y) != got.GetPixel(x, y);
        drawn += want.GetPixel(x, y) != 0;
      }
    EXPECT_GT(drawn, 100) << "angle " << k.angle;
    EXPECT_LE(differ * 200, drawn) << "angle " << k.angle;  // at most 0.5 %
  }
  // Absurd shrinks and turning points draw nothing and read nothing outside the source.
  TSurface dst;
  dst.SetSize(64, 64);
  dst.DrawRotate(10, 10, 1, 1, {0, 0, 2000000000, 2000000000}, src, 0.5, 0.5, false, 31);
  dst.DrawRotate(10, 10, 20, 20, src.ClientRect(), src, 1e300, -1e300, false, 31);
  dst.DrawRotateAlpha(10, 10, 20, 20, {-2000000000, -2000000000, 2000000000, 2000000000}, src, 0.5, 0.5,
                      true, 90, 100);
  EXPECT_EQ(CountNot(dst, 0), 0);
  // A huge enlargement covers the whole surface with the pixels round the turning point.
  dst.DrawRotate(10, 10, 2000000000, 2000000000, src.ClientRect(), src, 0.5, 0.5, false, 31);
  EXPECT_EQ(CountNot(dst, 0), 64 * 64);
}

namespace {

TEST(SurfaceRows, DrawingPathFollowsTheBuild) {
#if defined(TANGREL_PORTABLE) || !defined(__SSE2__)
  EXPECT_STREQ(DrawingPath(), "portable");
#else
  EXPECT_STREQ(DrawingPath(), "sse2");
#endif
}

// Rows of every length from 1 to 40 (the wide loops, the four-pixel loop and the tail),
// keyed pixels scattered: whichever loops the build uses, each pixel is the plain formula.
TEST(SurfaceRows, KeyedCopiesAndBlendsGivePlainPixelsAtEveryRowLength) {
  const uint32_t key = 0xFF00FF;
  for (int32_t w = 1; w <= 40; ++w) {
    SCOPED_TRACE(w);
    TSurface src;
    src.SetSize(w, 3);
    for (int32_t y = 0; y < 3; ++y)
      for (int32_t x = 0; x < w; ++x)
        src.SetPixel(x, y, (x * 7 + y) % 5 == 0 ? key : (0x102030u * static_cast<uint32_t>(x + 1) + static_cast<uint32_t>(y) * 0x0A0B0Cu) & 0xFFFFFFu);
    src.TransparentColor = key;
    // Row 0 all key, so the wide loop's skip of sixteen key pixels is taken too.
    for (int32_t x = 0; x < w; ++x) src.SetPixel(x, 0, key);
    auto back = [](int32_t x, int32_t y) { return 0x335577u + static_cast<uint32_t>(x * 3 + y * 11); };
    for (int32_t alpha : {255, 100, 1}) {
      SCOPED_TRACE(alpha);
      TSurface d;
      d.SetSize(w, 3);
      for (int32_t y = 0; y < 3; ++y)
        for (int32_t x = 0; x < w; ++x) d.SetPixel(x, y, back(x, y));
      if (alpha == 255)
        d.Draw(0, 0, {0, 0, w, 3}, src, true);
      else
        d.DrawAlpha({0, 0, w, 3}, {0, 0, w, 3}, src, true, alpha);
      for (int32_t y = 0; y < 3; ++y)
        for (int32_t x = 0; x < w; ++x) {
          const uint32_t s = src.GetPixel(x, y), b = back(x, y);
          uint32_t want = b;
          if (s != key) {
            want = 0;
            for (int sh : {0, 8, 16}) {
              const uint32_t v = ((s >> sh) & 0xFF) * static_cast<uint32_t>(alpha) +
                                 ((b >> sh) & 0xFF) * static_cast<uint32_t>(255 - alpha);
              want |= ((2 * v + 255) / 510) << sh;  // v / 255, rounded
            }
          }
          ASSERT_EQ(d.GetPixel(x, y), want) << x << "," << y;
        }
    }
  }
}

}  // namespace
