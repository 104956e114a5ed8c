#include "rules.h"

#include "puzzle/pieces.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace levels {

Poly SlotSquare() {
  return {{kSlotLeft, kSlotTop},
          {kSlotLeft + kSlotSize, kSlotTop},
          {kSlotLeft + kSlotSize, kSlotTop + kSlotSize},
          {kSlotLeft, kSlotTop + kSlotSize}};
}

namespace {
double Reach(const Poly& p, Pt c) {
  double r = 0;
  for (const Pt& q : p) r = std::max(r, Dist(c, q));
  return r;
}
}  // namespace

Pt BestPosition(const Poly& p) {
  double cx = 0, cy = 0;
  for (const Pt& q : p) cx += double(q.x), cy += double(q.y);
  cx /= double(p.size()), cy /= double(p.size());
  Pt best{std::llround(cx), std::llround(cy)};
  double bestR = Reach(p, best);
  // Walk downhill from the corner average; the reach is convex so this settles.
  for (bool moved = true; moved;) {
    moved = false;
    for (int dx = -1; dx <= 1; ++dx)
      for (int dy = -1; dy <= 1; ++dy) {
        Pt c{best.x + dx, best.y + dy};
        double r = Reach(p, c);
        if (r + 1e-9 < bestR) bestR = r, best = c, moved = true;
      }
  }
  return best;
}

std::string ShapeRuleBroken(const Poly& p) {
  if (p.size() < 3 || p.size() > 8) return "corner count " + std::to_string(p.size());
  if (!StrictlyConvex(p)) return "not strictly convex";
  if (Reach(p, BestPosition(p)) > kMaxReach) return "too long for its picture";
  return "";
}

std::string FloorBroken(const Poly& p) {
  char buf[96];
  if (double a = MinCorner(p); a < kFloorAngle) return std::snprintf(buf, sizeof buf, "corner of %.1f degrees", a), buf;
  if (double f = Fatness(p); f < kFloorFatness) return std::snprintf(buf, sizeof buf, "fatness %.3f", f), buf;
  if (double w = MinWidth(p); w < kFloorWidth) return std::snprintf(buf, sizeof buf, "width %.1f px", w), buf;
  if (double g = MinCornerGap(p); g < kFloorCornerGap) return std::snprintf(buf, sizeof buf, "corners %.1f px apart", g), buf;
  if (double a = std::fabs(double(Area2(p))) / 2; a < kFloorArea) return std::snprintf(buf, sizeof buf, "area %.0f px^2", a), buf;
  return "";
}

std::string VertexRuleBroken(const std::vector<Poly>& pieces) {
  std::vector<Pt> all = SlotSquare();
  for (const Poly& p : pieces) all.insert(all.end(), p.begin(), p.end());
  for (size_t i = 0; i < all.size(); ++i)
    for (size_t j = i + 1; j < all.size(); ++j)
      if (!(all[i] == all[j]) && Dist(all[i], all[j]) <= kMinVertexGap) return "corners of different pieces too close";
  return "";
}

bool CompletionRuleHolds(const std::vector<Poly>& pieces) {
  std::vector<Poly> polys{SlotSquare()};
  polys.insert(polys.end(), pieces.begin(), pieces.end());
  for (size_t i = 0; i < polys.size(); ++i)
    for (const Pt& a : polys[i]) {
      bool partner = false;
      for (size_t k = 0; k < polys.size() && !partner; ++k) {
        if (k == i) continue;
        for (const Pt& b : polys[k])
          if (CornersMeet(a.x, a.y, b.x, b.y)) partner = true;
      }
      if (!partner) return false;
    }
  return true;
}

std::string CoverRuleBroken(const std::vector<Poly>& pieces) {
  int64_t area = 0;
  for (const Poly& p : pieces) {
    area += std::llabs(Area2(p));
    for (const Pt& q : p)
      if (q.x < kSlotLeft || q.x > kSlotLeft + kSlotSize || q.y < kSlotTop || q.y > kSlotTop + kSlotSize)
        return "corner outside the slot-box";
  }
  if (area != 2 * int64_t(kSlotSize) * kSlotSize) return "areas do not add up to the slot-box";
  // Offsets chosen so that no sample can fall on a line through two lattice points.
  const double ox = 0.5 + 0.000731, oy = 0.5 - 0.000419;
  for (int y = 0; y < kSlotSize; ++y)
    for (int x = 0; x < kSlotSize; ++x) {
      double px = kSlotLeft + x + ox, py = kSlotTop + y + oy;
      int n = 0;
      for (const Poly& p : pieces) n += Inside(p, px, py) ? 1 : 0;
      if (n != 1) return "gap or overlap near (" + std::to_string(int(px)) + ", " + std::to_string(int(py)) + ")";
    }
  return "";
}

std::string DesignBroken(const std::vector<Poly>& pieces, bool asGiven) {
  if (pieces.empty() || pieces.size() > 12) return "piece count " + std::to_string(pieces.size());
  for (size_t j = 0; j < pieces.size(); ++j) {
    std::string r = ShapeRuleBroken(pieces[j]);
    if (r.empty() && !asGiven) r = FloorBroken(pieces[j]);
    if (!r.empty()) return "piece " + std::to_string(j + 1) + ": " + r;
  }
  if (std::string r = CoverRuleBroken(pieces); !r.empty()) return r;
  if (std::string r = VertexRuleBroken(pieces); !r.empty()) return r;
  if (!CompletionRuleHolds(pieces)) return "a corner has no partner";
  for (size_t i = 0; i < pieces.size() && !asGiven; ++i)
    for (size_t j = i + 1; j < pieces.size(); ++j)
      if (NearTwins(pieces[i], pieces[j]))
        return "pieces " + std::to_string(i + 1) + " and " + std::to_string(j + 1) + " differ by a few pixels only";
  return "";
}

ShapeKey ShapeOf(const Poly& raw) {
  Poly p = Oriented(raw);
  size_t n = p.size();
  std::vector<long> seq;
  for (size_t i = 0; i < n; ++i) {
    Pt a = p[i], b = p[(i + 1) % n], c = p[(i + 2) % n];
    int64_t ex = b.x - a.x, ey = b.y - a.y, fx = c.x - b.x, fy = c.y - b.y;
    seq.push_back(long(ex * ex + ey * ey));
    seq.push_back(long(ex * fy - ey * fx));
    seq.push_back(long(ex * fx + ey * fy));
  }
  ShapeKey best{seq};
  for (size_t s = 1; s < n; ++s) {
    std::rotate(seq.begin(), seq.begin() + 3, seq.end());
    if (seq < best.code) best.code = seq;
  }
  return best;
}

bool LookAlike(const Poly& a, const Poly& b) {
  if (a.size() != b.size() || ShapeOf(a) == ShapeOf(b)) return false;
  double aa = std::fabs(double(Area2(a))), ab = std::fabs(double(Area2(b)));
  if (std::max(aa, ab) > 1.25 * std::min(aa, ab)) return false;
  Poly pa = Oriented(a), pb = Oriented(b);
  size_t n = pa.size();
  for (size_t s = 0; s < n; ++s) {
    bool close = true;
    for (size_t i = 0; i < n && close; ++i)
      close = std::fabs(CornerAngle(pa, i) - CornerAngle(pb, (i + s) % n)) <= 12.0;
    if (close) return true;
  }
  return false;
}

bool NearTwins(const Poly& a, const Poly& b) {
  if (a.size() != b.size() || ShapeOf(a) == ShapeOf(b)) return false;
  Poly pa = Oriented(a), pb = Oriented(b);
  size_t n = pa.size();
  for (size_t s = 0; s < n; ++s) {
    bool close = true;
    for (size_t i = 0; i < n && close; ++i)
      close = std::fabs(CornerAngle(pa, i) - CornerAngle(pb, (i + s) % n)) <= 4.0 &&
              std::fabs(Dist(pa[i], pa[(i + 1) % n]) - Dist(pb[(i + s) % n], pb[(i + s + 1) % n])) <= 5.0;
    if (close) return true;
  }
  return false;
}

std::string LevelSignature(const std::vector<Poly>& pieces) {
  std::vector<ShapeKey> keys;
  for (const Poly& p : pieces) keys.push_back(ShapeOf(p));
  std::sort(keys.begin(), keys.end());
  std::string s;
  for (const ShapeKey& k : keys) {
    for (long v : k.code) s += std::to_string(v) + ",";
    s += "|";
  }
  return s;
}

PieceForm FormOf(const Poly& raw) {
  const Poly p = Oriented(raw);
  PieceForm f;
  f.corners = p.size();
  f.dist.resize(f.corners * f.corners);
  for (size_t i = 0; i < f.corners; ++i)
    for (size_t j = 0; j < f.corners; ++j) f.dist[i * f.corners + j] = Dist(p[i], p[j]);
  f.perimeter = Perimeter(p);
  return f;
}

PieceForm MirrorForm(const PieceForm& f) {
  PieceForm m = f;
  const size_t n = f.corners;
  for (size_t i = 0; i < n; ++i)
    for (size_t j = 0; j < n; ++j) m.dist[i * n + j] = f.dist[(n - 1 - i) * n + (n - 1 - j)];
  return m;
}

bool SameForm(const PieceForm& a, const PieceForm& b, double tolerance) {
  const size_t n = a.corners;
  if (n != b.corners || n == 0) return false;
  if (std::fabs(a.perimeter - b.perimeter) > double(n) * tolerance) return false;
  for (size_t s = 0; s < n; ++s) {
    bool same = true;
    for (size_t i = 0; i < n && same; ++i)
      for (size_t j = i + 1; j < n && same; ++j)
        same = std::fabs(a.dist[i * n + j] - b.dist[((i + s) % n) * n + (j + s) % n]) <= tolerance;
    if (same) return true;
  }
  return false;
}

namespace {

// Finds a partner in b for piece i of a, moving earlier pairings aside where that frees one.
bool Pair(size_t i, const std::vector<std::vector<size_t>>& fits, std::vector<int>& partnerOfB,
          std::vector<bool>& tried) {
  for (size_t j : fits[i]) {
    if (tried[j]) continue;
    tried[j] = true;
    if (partnerOfB[j] < 0 || Pair(size_t(partnerOfB[j]), fits, partnerOfB, tried)) {
      partnerOfB[j] = int(i);
      return true;
    }
  }
  return false;
}

}  // namespace

bool SameForms(const std::vector<PieceForm>& a, const std::vector<PieceForm>& b, bool turnOver) {
  if (a.size() != b.size()) return false;
  // With a tolerance "the same form" need not be an exact equivalence, so the pieces are paired
  // by a full matching rather than by sorting.
  std::vector<std::vector<size_t>> fits(a.size());
  for (size_t i = 0; i < a.size(); ++i) {
    for (size_t j = 0; j < b.size(); ++j)
      if (SameForm(a[i], b[j]) || (turnOver && SameForm(a[i], MirrorForm(b[j])))) fits[i].push_back(j);
    if (fits[i].empty()) return false;
  }
  std::vector<int> partnerOfB(b.size(), -1);
  for (size_t i = 0; i < a.size(); ++i) {
    std::vector<bool> tried(b.size(), false);
    if (!Pair(i, fits, partnerOfB, tried)) return false;
  }
  return true;
}

SetRepeat CompareSets(const std::vector<Poly>& a, const std::vector<Poly>& b) {
  if (a.size() != b.size()) return SetRepeat::None;
  std::vector<PieceForm> fa, fb, mb;
  for (const Poly& p : a) fa.push_back(FormOf(p));
  for (const Poly& p : b) fb.push_back(FormOf(p)), mb.push_back(MirrorForm(fb.back()));
  if (SameForms(fa, fb)) return SetRepeat::Turned;
  if (SameForms(fa, mb)) return SetRepeat::Mirrored;
  if (SameForms(fa, fb, true)) return SetRepeat::PartlyMirrored;
  return SetRepeat::None;
}

}  // namespace levels
