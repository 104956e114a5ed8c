// Drawing the playing field: the background tiles, the slot-box, the pieces, and the making
// of each piece's picture (texture, mask, outline and the bevelled 3D edges).
#include <algorithm>
#include <cmath>
#include <vector>

#include "game/state.h"
#include "media/devices.h"
#include "media/imagelist.h"
#include "media/surface.h"
#include "puzzle/internal.h"
#include "puzzle/pieces.h"
#include "settings/reestr.h"

using puzzle_detail::AddSat;
using puzzle_detail::RoundInt;

namespace {

constexpr int32_t kPictureSize = 300;
constexpr uint32_t kMaskPixel = 0xFF00FF;
constexpr int32_t kCornerReach = 1000;

struct TDPoint {
  double X = 0, Y = 0;
};

// The point at length d from p toward x along the edge; an edge parallel to an axis always
// gives the point 10 pixels along it.
TDPoint EdgePoint(TPoint p, TPoint x, double d) {
  if (p.Y == x.Y) return {p.X + 10.0 * (x.X > p.X ? 1 : -1), static_cast<double>(p.Y)};
  if (p.X == x.X) return {static_cast<double>(p.X), p.Y + 10.0 * (x.Y > p.Y ? 1 : -1)};
  const double m = (static_cast<double>(x.Y) - p.Y) / (static_cast<double>(x.X) - p.X);
  const double c = x.Y - x.X * m;
  const double s = x.X > p.X ? 1 : -1;
  const double px = p.X + s * d / std::sqrt(m * m + 1);
  return {px, m * px + c};
}

bool FitsInt(double v) { return std::isfinite(v) && v > -2147483648.0 && v < 2147483647.0; }

}  // namespace

bool TryInsetCorner(TPoint P, TPoint N, TPoint Q, TPoint& result) {
  // Both edges on one line (a straight or folded corner, or a repeated corner) leave no
  // inside point: nothing to divide by.
  if (puzzle_detail::CrossSign(P, N, Q) == 0) return false;
  TDPoint a = EdgePoint(P, N, 200), b = EdgePoint(P, Q, 200);
  const double mx = (a.X + b.X) / 2, my = (a.Y + b.Y) / 2;
  const double r2 = (mx - P.X) * (mx - P.X) + (my - P.Y) * (my - P.Y);
  if (!(r2 > 0) || !std::isfinite(r2)) return false;
  const double k = 40000 / r2;
  if (!(k > 1) || !std::isfinite(k)) return false;
  const double d = 10 * k / (2 * std::sqrt(k - 1));
  if (!std::isfinite(d)) return false;
  a = EdgePoint(P, N, d);
  b = EdgePoint(P, Q, d);
  const double x = (a.X + b.X) / 2, y = (a.Y + b.Y) / 2;
  if (!FitsInt(x) || !FitsInt(y)) return false;
  result = {RoundInt(x), RoundInt(y)};
  return true;
}

TPoint InsetCorner(TPoint P, TPoint N, TPoint Q) {
  TPoint r = P;
  TryInsetCorner(P, N, Q, r);
  return r;
}

double EdgeAngle(TPoint a, TPoint b) {
  if (a.X == b.X) return M_PI / 2;
  return std::atan((static_cast<double>(b.Y) - a.Y) / (static_cast<double>(b.X) - a.X));
}

namespace {

// The part of the picture an edge's shading can touch: the box around its quadrilateral,
// one pixel wider on each side, inside the limits.
TRect QuadBox(const std::vector<TPoint>& q, int32_t w, int32_t h) {
  int64_t l = q[0].X, t = q[0].Y, r = q[0].X, b = q[0].Y;
  for (const TPoint& p : q) {
    l = std::min<int64_t>(l, p.X);
    r = std::max<int64_t>(r, p.X);
    t = std::min<int64_t>(t, p.Y);
    b = std::max<int64_t>(b, p.Y);
  }
  TRect box;
  box.Left = static_cast<int32_t>(std::clamp<int64_t>(l - 1, 0, w));
  box.Top = static_cast<int32_t>(std::clamp<int64_t>(t - 1, 0, h));
  box.Right = static_cast<int32_t>(std::clamp<int64_t>(r + 2, 0, w));
  box.Bottom = static_cast<int32_t>(std::clamp<int64_t>(b + 2, 0, h));
  return box;
}

void FillBox(TSurface& s, const TRect& r, uint32_t value) {
  uint32_t* px = s.Pixels();
  for (int32_t y = r.Top; y < r.Bottom; ++y)
    std::fill(px + static_cast<size_t>(y) * s.Pitch() + r.Left, px + static_cast<size_t>(y) * s.Pitch() + r.Right,
              value);
}

}  // namespace

void BuildPieceImage(uint8_t n, uint8_t r) {
  if (n < 1 || n > kMaxPieces || r > 23) throw ERangeError();
  TPiece& piece = PieceTable[n];
  TPieceImage& slot = piece.Images[r];
  if (!slot.Image || !DevicesPresent()) return;  // no device open: nothing to draw into
  TSurface& img = *slot.Image;
  const int cc = piece.CornerCount > 8 ? 8 : piece.CornerCount;

  piece.Angle = 15 * r;
  int32_t turn = RoundInt(256.0 * r / 24) + piece.TextureTurn;
  while (turn >= 256) turn -= 256;
  const TPoint saved = piece.Position;
  struct RestorePosition {  // the piece goes back where it was, whatever happens below
    TPiece& p;
    TPoint at;
    uint8_t n;
    ~RestorePosition() {
      p.Position = at;
      UpdateCorners(n);
    }
  } restore{piece, saved, n};

  const TPicture& texture = Textures().Item(LevelTexture()).Picture;
  TSurface scratch;
  scratch.LoadFromGraphic(texture);
  piece.Position = {150, 150};
  img.LoadFromGraphic(texture);
  img.DrawRotate(150, 150, kPictureSize, kPictureSize, {0, 0, kPictureSize, kPictureSize}, scratch, 0.5, 0.5,
                 false, turn);
  UpdateCorners(n);
  // A real piece lies well inside its 300 x 300 picture. Corners from a corrupt level can be
  // anywhere in int32; keep them near the picture so the outline and fills stay cheap.
  for (int k = 1; k <= cc; ++k) {
    piece.Corners[k].X = std::clamp(piece.Corners[k].X, -kCornerReach, kPictureSize + kCornerReach);
    piece.Corners[k].Y = std::clamp(piece.Corners[k].Y, -kCornerReach, kPictureSize + kCornerReach);
  }

  if (cc >= 1) {
    // The mask: the outline from its leftmost corner, closed, then round the picture's border;
    // the even-odd fill paints everything between the piece and the border.
    int s = 1;
    for (int k = 2; k <= cc; ++k)
      if (piece.Corners[k].X < piece.Corners[s].X) s = k;
    std::vector<TPoint> q;
    q.reserve(cc + 6);
    for (int k = 0; k < cc; ++k) q.push_back(piece.Corners[(s - 1 + k) % cc + 1]);
    q.push_back(q[0]);
    const std::vector<TPoint> border = {{0, 0}, {kPictureSize, 0}, {kPictureSize, kPictureSize},
                                        {0, kPictureSize}, {0, 0}};
    q.insert(q.end(), border.begin(), border.end());
    TSurfaceCanvas& cv = img.Canvas();
    cv.Brush.Color = clFuchsia;
    cv.Brush.Style = TBrushStyle::bsSolid;
    cv.Pen.Color = clFuchsia;
    cv.Pen.Style = TPenStyle::psSolid;
    cv.Polygon(q);
    cv.Pen.Color = clBlack;
    cv.Polyline(std::vector<TPoint>(q.begin(), q.begin() + cc + 1));
    cv.Release();
  }

  if (Settings.Use3D && cc >= 3) {
    // Each edge is shaded through the scratch surface. Only the box around the edge's
    // quadrilateral can change, so only that box is blended and then wiped back to the mask
    // value; everything outside it stays mask and would be left out of the blend anyway.
    const int32_t w = std::min(kPictureSize, scratch.Width());
    const int32_t h = std::min(kPictureSize, scratch.Height());
    scratch.Fill(kMaskPixel);
    scratch.TransparentColor = kMaskPixel;
    for (int k = 1; k <= cc; ++k) {
      const int k1 = k == cc ? 1 : k + 1;
      const int k2 = k1 == cc ? 1 : k1 + 1;
      const int k0 = k == 1 ? cc : k - 1;
      const TPoint w0 = piece.Corners[k], w1 = piece.Corners[k1];
      TPoint w2, w3;
      if (!TryInsetCorner(w1, piece.Corners[k2], piece.Corners[k], w2) ||
          !TryInsetCorner(w0, piece.Corners[k1], piece.Corners[k0], w3))
        continue;  // a straight or folded corner: this edge stays flat
      const double theta = EdgeAngle(w0, w1);
      const double shade = std::cos(theta + 3 * M_PI / 180);
      const TPoint m{(w0.X + w1.X) / 2 + 5, (w0.Y + w1.Y) / 2 + 5};
      const std::vector<TPoint> quad = {w0, w1, w2, w3};
      TSurfaceCanvas& cv = scratch.Canvas();
      cv.Pen.Style = TPenStyle::psClear;
      cv.Brush.Style = TBrushStyle::bsSolid;
      cv.Brush.Color = PointInPiece(m, n) ? clWhite : clBlack;
      cv.Polygon(quad);
      cv.Release();
      const TRect box = QuadBox(quad, w, h);
      if (box.Right <= box.Left || box.Bottom <= box.Top) continue;
      img.DrawAlpha(box, box, scratch, true, RoundInt(std::fabs(shade) * 80 + 100));
      FillBox(scratch, box, kMaskPixel);
    }
  }

  img.TransparentColor = img.GetPixel(0, 0);
  // Keep only the piece's box: outside it the picture is all mask colour, and the 288
  // whole pictures of a twelve-piece level would hold some 100 MB.
  int32_t l = img.Width(), t = img.Height(), r2 = 0, b = 0;
  for (int k = 1; k <= cc; ++k) {
    l = std::min(l, piece.Corners[k].X), t = std::min(t, piece.Corners[k].Y);
    r2 = std::max(r2, piece.Corners[k].X), b = std::max(b, piece.Corners[k].Y);
  }
  TRect box{std::clamp(l - 2, 0, img.Width()), std::clamp(t - 2, 0, img.Height()), 0, 0};
  box.Right = std::clamp(r2 + 3, box.Left, img.Width());
  box.Bottom = std::clamp(b + 3, box.Top, img.Height());
  // The box is kept as the runs of its visible pixels, drawn from there every frame. The
  // surface itself stays the one the shell made, emptied: 288 pictures of a twelve-piece
  // level then hold only what shows of them, a few MB.
  const uint32_t mask = img.TransparentColor;
  slot.Runs.Build(img, box);
  img.SetSize(0, 0);
  img.TransparentColor = mask;
  slot.Origin = {box.Left, box.Top};
  slot.Built = 1;
}

// --- drawing the playing field ------------------------------------------------------

void DrawBackground(uint8_t t) {
  if (!DevicesPresent()) return;
  TImageItem& item = Textures().Item(t);
  const int32_t w = item.Width(), h = item.Height();
  if (w <= 0 || h <= 0) return;  // an empty texture tiles nothing
  TSurface& surface = BackSurface();
  for (int32_t row = 0; row <= 600 / h + 1; ++row)
    for (int32_t col = 0; col <= 800 / w + 1; ++col) item.Draw(surface, col * w, row * h, 0);
}

void DrawSlot() {
  if (!DevicesPresent()) return;
  TSurface& surface = BackSurface();
  const TPiece& slotBox = PieceTable[0];
  Sprites().Find("Slot").Draw(surface, slotBox.Corners[1].X - 50, slotBox.Corners[1].Y - 50, 0);
  TSurfaceCanvas& cv = surface.Canvas();
  cv.Brush.Color = clBlack;
  cv.Brush.Style = TBrushStyle::bsSolid;
  cv.FrameRect({slotBox.Corners[1].X, slotBox.Corners[1].Y, slotBox.Corners[3].X, slotBox.Corners[3].Y});
  cv.Release();
}

void DrawPieces() {
  if (ScreenState == scAutoSolve) AutoSolveFrame();
  if (!DevicesPresent()) return;
  TSurface& surface = BackSurface();
  for (int k = 1; k <= NumFig && k <= kMaxPieces; ++k) {
    const int32_t i = PieceWithOrder(k);
    if (i < 1 || i > kMaxPieces) continue;
    TPiece& p = PieceTable[i];
    const int32_t r = p.Angle / 15;
    if (r < 0 || r > 23) throw ERangeError();
    TPieceImage& im = p.Images[r];
    if (!im.Built) BuildPieceImage(static_cast<uint8_t>(i), static_cast<uint8_t>(r));
    if (!im.Image) continue;
    // The kept box goes where it lay in the whole picture, centred on the piece's position.
    // A piece dragged to the edge of the coordinate range is off the surface; clamp, don't wrap.
    surface.DrawRuns(AddSat(AddSat(p.Position.X, -150), im.Origin.X),
                     AddSat(AddSat(p.Position.Y, -150), im.Origin.Y), im.Runs);
  }
}

void DrawGame() {
  DrawSlot();
  DrawPieces();
  if (!LevelCompleted) UpdateLevelScore();
}
