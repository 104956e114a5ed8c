// The surface canvas: rectangles, even-odd polygons, one-pixel lines and text, drawn
// straight into the surface's pixels, without antialiasing (text aside).
#include <algorithm>
#include <cmath>

#include "media/font.h"
#include "media/surface.h"

namespace {

// Edge crossings of the scan line being filled, reused between polygons.
std::vector<double> crossings;

void FillClipped(TSurface& s, int64_t l, int64_t t, int64_t r, int64_t b, uint32_t v) {
  l = std::max<int64_t>(l, 0);
  t = std::max<int64_t>(t, 0);
  r = std::min<int64_t>(r, s.Width());
  b = std::min<int64_t>(b, s.Height());
  if (r <= l || b <= t) return;
  uint32_t* row = s.Pixels() + t * s.Pitch() + l;
  const int64_t n = r - l;
  for (int64_t y = t; y < b; ++y, row += s.Pitch()) std::fill(row, row + n, v);
}

// The one-pixel outline of [l, r) x [t, b).
void Frame(TSurface& s, int64_t l, int64_t t, int64_t r, int64_t b, uint32_t v) {
  if (r <= l || b <= t) return;
  FillClipped(s, l, t, r, t + 1, v);
  FillClipped(s, l, b - 1, r, b, v);
  FillClipped(s, l, t, l + 1, b, v);
  FillClipped(s, r - 1, t, r, b, v);
}

// Bresenham from a to b, leaving out b itself (the platform's line convention).
void Line(TSurface& s, TPoint a, TPoint b, uint32_t v) {
  int64_t x = a.X, y = a.Y;
  const int64_t x1 = b.X, y1 = b.Y;
  const int64_t W = s.Width(), H = s.Height();
  // A line wholly to one side of the surface draws nothing; skip its walk.
  if ((x < 0 && x1 < 0) || (y < 0 && y1 < 0) || (x >= W && x1 >= W) || (y >= H && y1 >= H)) return;
  const int64_t dx = std::llabs(x1 - x), dy = -std::llabs(y1 - y);
  const int64_t sx = x < x1 ? 1 : -1, sy = y < y1 ? 1 : -1;
  int64_t err = dx + dy;
  uint32_t* pix = s.Pixels();
  while (x != x1 || y != y1) {
    if (x >= 0 && y >= 0 && x < W && y < H) pix[y * W + x] = v;
    const int64_t e2 = 2 * err;
    if (e2 >= dy) { err += dy; x += sx; }
    if (e2 <= dx) { err += dx; y += sy; }
  }
}

// Alternate-rule fill: a pixel is inside when a ray from its sample point crosses the outline
// an odd number of times. Pixel (x, y) samples the point (x, y), the same grid the lines walk
// on, so an outline drawn over the fill meets it without a gap; points on a left or top edge
// count as inside, on a right or bottom edge as outside.
void FillEvenOdd(TSurface& s, const std::vector<TPoint>& pts, uint32_t v) {
  const size_t n = pts.size();
  if (n < 3 || s.Width() == 0) return;
  int64_t minY = pts[0].Y, maxY = pts[0].Y;
  for (const TPoint& p : pts) {
    minY = std::min<int64_t>(minY, p.Y);
    maxY = std::max<int64_t>(maxY, p.Y);
  }
  minY = std::max<int64_t>(minY, 0);
  maxY = std::min<int64_t>(maxY, s.Height());
  const int64_t W = s.Width();
  for (int64_t y = minY; y < maxY; ++y) {
    const double yc = static_cast<double>(y);
    crossings.clear();
    for (size_t i = 0; i < n; ++i) {
      const TPoint& a = pts[i];
      const TPoint& b = pts[(i + 1) % n];
      if (a.Y == b.Y) continue;
      const double ya = a.Y, yb = b.Y;
      if ((yc < ya) == (yc < yb)) continue;  // the scan line misses this edge (top in, bottom out)
      crossings.push_back(a.X + (yc - ya) * (static_cast<double>(b.X) - a.X) / (yb - ya));
    }
    std::sort(crossings.begin(), crossings.end());
    uint32_t* row = s.Pixels() + y * W;
    for (size_t k = 0; k + 1 < crossings.size(); k += 2) {
      // Pixels whose x lies in [xa, xb).
      const double xa = std::ceil(crossings[k]), xb = std::ceil(crossings[k + 1]);
      const int64_t l = static_cast<int64_t>(std::max(xa, 0.0));
      const int64_t r = static_cast<int64_t>(std::min(xb, static_cast<double>(W)));
      if (r > l) std::fill(row + l, row + r, v);
    }
  }
}

}  // namespace

TSurfaceCanvas::TSurfaceCanvas(TSurface& owner) : surface(owner) {}
TSurfaceCanvas::~TSurfaceCanvas() = default;

// FillRect and FrameRect take the brush colour whatever its style: callers that set a clear
// brush for text and then a colour to fill with still get their fill.
void TSurfaceCanvas::FillRect(const TRect& r) {
  FillClipped(surface, r.Left, r.Top, r.Right, r.Bottom, TSurface::ColorMatch(Brush.Color));
}

void TSurfaceCanvas::FrameRect(const TRect& r) {
  Frame(surface, r.Left, r.Top, r.Right, r.Bottom, TSurface::ColorMatch(Brush.Color));
}

void TSurfaceCanvas::Rectangle(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  if (left > right) std::swap(left, right);
  if (top > bottom) std::swap(top, bottom);
  if (Brush.Style == TBrushStyle::bsSolid)
    FillClipped(surface, left, top, right, bottom, TSurface::ColorMatch(Brush.Color));
  if (Pen.Style == TPenStyle::psSolid)
    Frame(surface, left, top, right, bottom, TSurface::ColorMatch(Pen.Color));
}

void TSurfaceCanvas::Polygon(const std::vector<TPoint>& points) {
  if (points.empty()) return;
  if (Brush.Style == TBrushStyle::bsSolid)
    FillEvenOdd(surface, points, TSurface::ColorMatch(Brush.Color));
  if (Pen.Style == TPenStyle::psSolid) {
    const uint32_t v = TSurface::ColorMatch(Pen.Color);
    const size_t n = points.size();
    if (n == 1) {
      surface.SetPixel(points[0].X, points[0].Y, v);
      return;
    }
    for (size_t i = 0; i < n; ++i) Line(surface, points[i], points[(i + 1) % n], v);
  }
}

void TSurfaceCanvas::Polyline(const std::vector<TPoint>& points) {
  if (Pen.Style != TPenStyle::psSolid) return;
  const uint32_t v = TSurface::ColorMatch(Pen.Color);
  for (size_t i = 0; i + 1 < points.size(); ++i) Line(surface, points[i], points[i + 1], v);
}

void TSurfaceCanvas::TextOut(int32_t x, int32_t y, const std::string& text) {
  if (text.empty()) return;
  if (Brush.Style == TBrushStyle::bsSolid) {
    const int64_t w = font::TextWidth(Font, text), h = font::TextHeight(Font);
    FillClipped(surface, x, y, x + w, y + h, TSurface::ColorMatch(Brush.Color));
  }
  font::DrawText(surface, x, y, Font, text);
}

int32_t TSurfaceCanvas::TextWidth(const std::string& text) { return font::TextWidth(Font, text); }

int32_t TSurfaceCanvas::TextHeight(const std::string& text) {
  (void)text;  // every cell of a font has the same height
  return font::TextHeight(Font);
}

// Canvas drawing goes straight into the surface's pixels, so there is nothing to hand back.
void TSurfaceCanvas::Release() {}
