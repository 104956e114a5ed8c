// Canvas: rectangle edges, the even-odd fill of a piece mask, polylines and real text widths.
#include <gtest/gtest.h>

#include <cmath>

#include "media/surface.h"

namespace {

constexpr uint32_t kRed = 0xFF0000;  // device value of TColor 0x0000FF

int Count(const TSurface& s, uint32_t v) {
  int n = 0;
  for (int32_t y = 0; y < s.Height(); ++y)
    for (int32_t x = 0; x < s.Width(); ++x) n += s.GetPixel(x, y) == v;
  return n;
}

}  // namespace

TEST(Canvas, FillAndFrameRectLeaveOutRightAndBottom) {
  TSurface s;
  s.SetSize(20, 20);
  TSurfaceCanvas& c = s.Canvas();
  EXPECT_EQ(&c, &s.Canvas());  // one canvas per surface
  c.Brush.Color = 0x0000FF;
  c.FillRect({2, 3, 6, 8});
  EXPECT_EQ(Count(s, kRed), 4 * 5);
  EXPECT_EQ(s.GetPixel(5, 7), kRed);
  EXPECT_EQ(s.GetPixel(6, 7), 0u);
  EXPECT_EQ(s.GetPixel(5, 8), 0u);
  s.Fill(0);
  c.FrameRect({2, 3, 6, 8});
  EXPECT_EQ(Count(s, kRed), 2 * 4 + 2 * 3);
  EXPECT_EQ(s.GetPixel(2, 3), kRed);
  EXPECT_EQ(s.GetPixel(5, 7), kRed);
  EXPECT_EQ(s.GetPixel(3, 4), 0u);  // inside stays
  // Clipped at the edges and safe far outside.
  s.Fill(0);
  c.FillRect({-5, -5, 100, 2});
  EXPECT_EQ(Count(s, kRed), 20 * 2);
  c.FrameRect({-1000000, -1000000, 1000000, 1000000});
  c.Release();
  c.Release();  // releasing an idle canvas does nothing
}

TEST(Canvas, RectangleOutlinesWithPenAndFillsWithBrush) {
  TSurface s;
  s.SetSize(20, 20);
  TSurfaceCanvas& c = s.Canvas();
  c.Brush.Color = 0x0000FF;  // red fill
  c.Pen.Color = 0xFFFFFF;    // white outline
  c.Rectangle(2, 2, 8, 7);
  EXPECT_EQ(Count(s, 0xFFFFFF), 2 * 6 + 2 * 3);
  EXPECT_EQ(Count(s, kRed), 4 * 3);
  EXPECT_EQ(s.GetPixel(7, 6), 0xFFFFFFu);
  EXPECT_EQ(s.GetPixel(8, 6), 0u);
  EXPECT_EQ(s.GetPixel(7, 7), 0u);
  // Clear brush: outline only; clear pen: fill only.
  s.Fill(0);
  c.Brush.Style = TBrushStyle::bsClear;
  c.Rectangle(2, 2, 8, 7);
  EXPECT_EQ(Count(s, kRed), 0);
  EXPECT_EQ(Count(s, 0xFFFFFF), 18);
  s.Fill(0);
  c.Brush.Style = TBrushStyle::bsSolid;
  c.Pen.Style = TPenStyle::psClear;
  c.Rectangle(2, 2, 8, 7);
  EXPECT_EQ(Count(s, 0xFFFFFF), 0);
  EXPECT_EQ(Count(s, kRed), 6 * 5);
}

TEST(Canvas, EvenOddMaskLeavesThePieceUnfilled) {
  // The piece-picture mask: the outline, its first point again, then round the border.
  TSurface s;
  s.SetSize(300, 300);
  s.Fill(0x123456);
  TSurfaceCanvas& c = s.Canvas();
  const std::vector<TPoint> outline = {{100, 150}, {150, 100}, {200, 150}, {150, 200}};
  std::vector<TPoint> q = outline;
  q.push_back(outline[0]);
  for (TPoint p : {TPoint{0, 0}, {300, 0}, {300, 300}, {0, 300}, {0, 0}}) q.push_back(p);
  c.Brush.Color = 0xFF00FF;
  c.Pen.Color = 0xFF00FF;
  c.Polygon(q);
  c.Pen.Color = 0x000000;
  c.Polyline(std::vector<TPoint>(q.begin(), q.begin() + 5));
  c.Release();
  EXPECT_EQ(s.GetPixel(150, 150), 0x123456u);  // inside the piece: untouched
  EXPECT_EQ(s.GetPixel(120, 150), 0x123456u);
  EXPECT_EQ(s.GetPixel(5, 5), 0xFF00FFu);      // between piece and border: masked
  EXPECT_EQ(s.GetPixel(299, 299), 0xFF00FFu);
  EXPECT_EQ(s.GetPixel(0, 299), 0xFF00FFu);
  EXPECT_EQ(s.GetPixel(250, 150), 0xFF00FFu);
  EXPECT_EQ(s.GetPixel(100, 150), 0u);  // the black outline, corners included
  EXPECT_EQ(s.GetPixel(150, 100), 0u);
  EXPECT_EQ(s.GetPixel(175, 125), 0u);
  EXPECT_EQ(s.GetPixel(150, 200), 0u);
  EXPECT_EQ(s.GetPixel(0, 0), s.GetPixel(5, 5));  // the picture's corner is the mask colour
  // Along a row through the piece: mask, outline, inside, outline, mask, nothing else.
  int changes = 0;
  for (int32_t x = 1; x < 300; ++x) changes += s.GetPixel(x, 150) != s.GetPixel(x - 1, 150);
  EXPECT_EQ(changes, 4);
}

TEST(Canvas, PolygonWithClearPenFillsByPixelCentres) {
  TSurface s;
  s.SetSize(20, 20);
  TSurfaceCanvas& c = s.Canvas();
  c.Pen.Style = TPenStyle::psClear;
  c.Brush.Color = 0xFFFFFF;
  c.Polygon({{2, 2}, {10, 2}, {10, 6}, {2, 6}});
  EXPECT_EQ(Count(s, 0xFFFFFF), 8 * 4);  // centres inside [2,10) x [2,6), no antialiasing
  EXPECT_EQ(s.GetPixel(9, 5), 0xFFFFFFu);
  EXPECT_EQ(s.GetPixel(10, 5), 0u);
  // Self-overlapping: the doubly covered middle stays empty under the alternate rule.
  s.Fill(0);
  c.Polygon({{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}, {5, 0}, {5, 10}, {15, 10}, {15, 0}, {5, 0}});
  EXPECT_EQ(s.GetPixel(2, 5), 0xFFFFFFu);
  EXPECT_EQ(s.GetPixel(7, 5), 0u);
  EXPECT_EQ(s.GetPixel(12, 5), 0xFFFFFFu);
}

TEST(Canvas, PolylineLeavesOutItsLastPoint) {
  TSurface s;
  s.SetSize(20, 20);
  TSurfaceCanvas& c = s.Canvas();
  c.Pen.Color = 0xFFFFFF;
  c.Polyline({{1, 1}, {5, 1}, {5, 4}});
  EXPECT_EQ(Count(s, 0xFFFFFF), 4 + 3);
  EXPECT_EQ(s.GetPixel(5, 1), 0xFFFFFFu);
  EXPECT_EQ(s.GetPixel(5, 3), 0xFFFFFFu);
  EXPECT_EQ(s.GetPixel(5, 4), 0u);
  // Diagonal and steep lines are one pixel per step, and lines off the surface are clipped.
  s.Fill(0);
  c.Polyline({{-5, -5}, {5, 5}});
  EXPECT_EQ(Count(s, 0xFFFFFF), 5);
  s.Fill(0);
  c.Polyline({{3, 0}, {4, 10}});
  EXPECT_EQ(Count(s, 0xFFFFFF), 10);
}

TEST(Canvas, TextWidthWithTheRealFont) {
  TSurface s;
  s.SetSize(400, 100);
  TSurfaceCanvas& c = s.Canvas();
  c.Font.Name = "Times New Roman";
  c.Font.Size = 10;
  const int32_t shortW = c.TextWidth("Level");
  const int32_t longW = c.TextWidth("Level complete");
  EXPECT_GT(shortW, 10);
  EXPECT_GT(longW, shortW);
  EXPECT_EQ(c.TextWidth(""), 0);
  c.Font.Size = 20;
  const int32_t big = c.TextWidth("Level complete");
  EXPECT_GT(big, longW * 3 / 2);
  c.Font.Bold = true;
  EXPECT_GT(c.TextWidth("Level complete"), big);
  EXPECT_GT(c.TextHeight("Xg"), 20);  // 20 pt is about 27 px at 96 dpi
  c.Font.Bold = false;
  c.Font.Name = "Arial";  // a different face, so a different width
  EXPECT_NE(c.TextWidth("Level complete"), big);
}

TEST(Canvas, TextOutDrawsInTheCellWithOrWithoutBackground) {
  TSurface s;
  s.SetSize(200, 60);
  s.Fill(0x000080);
  TSurfaceCanvas& c = s.Canvas();
  c.Font.Size = 20;
  c.Font.Color = 0x00FFFF;  // yellow
  c.Brush.Style = TBrushStyle::bsClear;
  c.TextOut(10, 10, "Hello");
  const int32_t w = c.TextWidth("Hello"), h = c.TextHeight("Hello");
  int yellow = 0, outside = 0;
  for (int32_t y = 0; y < 60; ++y)
    for (int32_t x = 0; x < 200; ++x) {
      const bool inCell = x >= 10 && x < 10 + w + 2 && y >= 10 && y < 10 + h;
      const uint32_t p = s.GetPixel(x, y);
      if (p == 0xFFFF00) ++yellow;
      if (!inCell && p != 0x000080) ++outside;
    }
  EXPECT_GT(yellow, 20);
  EXPECT_EQ(outside, 0);
  EXPECT_EQ(s.GetPixel(10, 10), 0x000080u);  // clear background: the cell corner is as before
  // A solid brush fills the cell first.
  c.Brush.Style = TBrushStyle::bsSolid;
  c.Brush.Color = 0x000000;
  c.TextOut(10, 10, "Hello");
  EXPECT_EQ(s.GetPixel(10, 10), 0u);
  EXPECT_EQ(s.GetPixel(10 + w - 1, 10 + h - 1), 0u);
  EXPECT_EQ(s.GetPixel(10 + w, 10 + h), 0x000080u);
  // Text running off the surface is clipped, not a crash.
  c.TextOut(-30, -10, "Clipped text running off the surface");
  c.TextOut(150, 50, "Clipped text running off the surface");
}

TEST(Canvas, TurnedPieceMasksLeaveNoGapBetweenOutlineAndInside) {
  // Pieces of several shapes at every 15-degree step: after the mask and the black outline,
  // no untouched (inside) pixel may touch a mask pixel, or the background would show
  // through between the texture and the outline.
  const std::vector<std::vector<TPoint>> shapes = {
      {{-50, -50}, {50, -50}, {50, 50}, {-50, 50}},
      {{-70, 40}, {0, -60}, {70, 40}},
      {{-30, -80}, {40, -60}, {60, 10}, {10, 70}, {-55, 30}}};
  for (size_t si = 0; si < shapes.size(); ++si)
    for (int r = 0; r < 24; ++r) {
      const double t = r * 15 * M_PI / 180;
      std::vector<TPoint> corners;
      for (TPoint p : shapes[si])
        corners.push_back({static_cast<int32_t>(std::lround(150 + p.X * std::cos(t) - p.Y * std::sin(t))),
                           static_cast<int32_t>(std::lround(150 + p.X * std::sin(t) + p.Y * std::cos(t)))});
      size_t s = 0;
      for (size_t k = 1; k < corners.size(); ++k)
        if (corners[k].X < corners[s].X) s = k;
      std::vector<TPoint> q;
      for (size_t k = 0; k < corners.size(); ++k) q.push_back(corners[(s + k) % corners.size()]);
      q.push_back(q[0]);
      for (TPoint p : {TPoint{0, 0}, {300, 0}, {300, 300}, {0, 300}, {0, 0}}) q.push_back(p);
      TSurface img;
      img.SetSize(300, 300);
      img.Fill(0x123456);
      TSurfaceCanvas& c = img.Canvas();
      c.Brush.Color = 0xFF00FF;
      c.Pen.Color = 0xFF00FF;
      c.Polygon(q);
      c.Pen.Color = 0;
      c.Polyline(std::vector<TPoint>(q.begin(), q.begin() + static_cast<long>(corners.size()) + 1));
      int gaps = 0, inside = 0;
      for (int32_t y = 1; y < 299; ++y)
        for (int32_t x = 1; x < 299; ++x) {
          if (img.GetPixel(x, y) != 0x123456u) continue;
          ++inside;
          for (TPoint d : {TPoint{1, 0}, {-1, 0}, {0, 1}, {0, -1}})
            gaps += img.GetPixel(x + d.X, y + d.Y) == 0xFF00FFu;
        }
      EXPECT_EQ(gaps, 0) << "shape " << si << " step " << r;
      EXPECT_GT(inside, 3000) << "shape " << si << " step " << r;
      EXPECT_EQ(img.GetPixel(0, 0), 0xFF00FFu);
    }
}
