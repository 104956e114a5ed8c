// Integer polygon geometry shared by the level generator and the level validator.
#pragma once
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace levels {

struct Pt {
  int64_t x = 0, y = 0;
  friend bool operator==(const Pt&, const Pt&) = default;
};
using Poly = std::vector<Pt>;

inline int64_t Cross(Pt o, Pt a, Pt b) { return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x); }
inline int64_t Area2(const Poly& p) {
  int64_t s = 0;
  for (size_t i = 0; i < p.size(); ++i) {
    const Pt& a = p[i];
    const Pt& b = p[(i + 1) % p.size()];
    s += a.x * b.y - b.x * a.y;
  }
  return s;
}
inline double Dist(Pt a, Pt b) { return std::hypot(double(a.x - b.x), double(a.y - b.y)); }

// Interior angle at corner i in degrees (the polygon is convex).
inline double CornerAngle(const Poly& p, size_t i) {
  const Pt& prev = p[(i + p.size() - 1) % p.size()];
  const Pt& cur = p[i];
  const Pt& next = p[(i + 1) % p.size()];
  double ax = double(prev.x - cur.x), ay = double(prev.y - cur.y);
  double bx = double(next.x - cur.x), by = double(next.y - cur.y);
  double c = (ax * bx + ay * by) / (std::hypot(ax, ay) * std::hypot(bx, by));
  if (c > 1) c = 1;
  if (c < -1) c = -1;
  return std::acos(c) * 180.0 / M_PI;
}

// Strictly convex in either winding: every turn has the same sign and none is straight.
inline bool StrictlyConvex(const Poly& p) {
  if (p.size() < 3) return false;
  int sign = 0;
  for (size_t i = 0; i < p.size(); ++i) {
    int64_t c = Cross(p[i], p[(i + 1) % p.size()], p[(i + 2) % p.size()]);
    if (c == 0) return false;
    int s = c > 0 ? 1 : -1;
    if (sign == 0) sign = s;
    if (s != sign) return false;
  }
  return true;
}

// Point strictly inside a convex polygon (either winding).
inline bool Inside(const Poly& p, double x, double y) {
  int sign = 0;
  for (size_t i = 0; i < p.size(); ++i) {
    const Pt& a = p[i];
    const Pt& b = p[(i + 1) % p.size()];
    double c = double(b.x - a.x) * (y - double(a.y)) - double(b.y - a.y) * (x - double(a.x));
    if (c == 0) return false;
    int s = c > 0 ? 1 : -1;
    if (sign == 0) sign = s;
    if (s != sign) return false;
  }
  return true;
}

inline double Perimeter(const Poly& p) {
  double s = 0;
  for (size_t i = 0; i < p.size(); ++i) s += Dist(p[i], p[(i + 1) % p.size()]);
  return s;
}

// 4 pi area / perimeter squared: 1 for a circle, 0.785 for a square, small for a sliver.
inline double Fatness(const Poly& p) {
  double per = Perimeter(p);
  return per > 0 ? 4 * M_PI * (std::fabs(double(Area2(p))) / 2) / (per * per) : 0;
}

// The narrowest width of a convex polygon: over its edges, the farthest corner from the edge's line.
inline double MinWidth(const Poly& p) {
  double best = 1e18;
  for (size_t i = 0; i < p.size(); ++i) {
    const Pt& a = p[i];
    const Pt& b = p[(i + 1) % p.size()];
    double len = Dist(a, b), far = 0;
    for (const Pt& q : p) far = std::max(far, std::fabs(double(Cross(a, b, q))) / len);
    best = std::min(best, far);
  }
  return best;
}

inline double MinCorner(const Poly& p) {
  double m = 180;
  for (size_t i = 0; i < p.size(); ++i) m = std::min(m, CornerAngle(p, i));
  return m;
}

inline double MinCornerGap(const Poly& p) {
  double m = 1e18;
  for (size_t i = 0; i < p.size(); ++i)
    for (size_t j = i + 1; j < p.size(); ++j) m = std::min(m, Dist(p[i], p[j]));
  return m;
}

// Clockwise on the screen (y down) gives a positive Area2; the solver keeps pieces that way.
inline Poly Oriented(Poly p) {
  if (Area2(p) < 0) std::reverse(p.begin(), p.end());
  return p;
}

// A piece as the level file stores it: a position and corner offsets from it.
struct Piece {
  Pt pos;
  std::vector<Pt> offsets;
};

struct Level {
  int number = 0;
  int medTime = 0;
  std::vector<Piece> pieces;
};

// A level as designed: its pieces in solution place (slot-box x 300..500, y 100..300).
struct Design {
  std::string family;   // the family's name as the sheet and the comments show it
  std::string note;     // one line for the level's comment (what it is, pieces meant alike)
  bool asGiven = false; // a classic dissection exactly as published: the floors do not apply
  std::vector<Poly> pieces;
};

}  // namespace levels
