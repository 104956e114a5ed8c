#include "solver.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <set>
#include <string>

#include "rules.h"

namespace levels {
namespace {

constexpr double kDist = 1.5;   // px: two corners this close are one corner
constexpr double kAngle = 1.0;  // degrees: two directions this close are one direction
constexpr double kOverlap = 0.8;// px: overlaps shallower than this are rounding, not overlap

struct V {
  double x, y;
};

double Norm360(double a) {
  a = std::fmod(a, 360.0);
  if (a < 0) a += 360.0;
  return a;
}
double AngDiff(double a, double b) {
  double d = std::fabs(Norm360(a - b));
  return std::min(d, 360.0 - d);
}
double Dir(V a, V b) { return std::atan2(b.y - a.y, b.x - a.x) * 180.0 / M_PI; }

// One turn of one shape: corners relative to the first corner, with each corner's edge
// direction (toward the next corner) and its inner angle.
struct Turned {
  int turn;
  std::vector<V> pts;
  std::vector<double> dir, angle;
  double minx, maxx, miny, maxy;
};

struct Shape {
  std::vector<Turned> turns;  // only the turns that look different
  double minAngle;
  int count;                  // how many pieces of the level have this shape
  double area;
  ShapeKey key;               // ties in area go by shape, so the order of the pieces never counts
};

Turned MakeTurn(const Poly& p, int turn) {
  double a = turn * 15.0 * M_PI / 180.0, c = std::cos(a), s = std::sin(a);
  Turned t;
  t.turn = turn;
  for (const Pt& q : p) t.pts.push_back({double(q.x) * c - double(q.y) * s, double(q.x) * s + double(q.y) * c});
  size_t n = t.pts.size();
  for (size_t i = 0; i < n; ++i) {
    V cur = t.pts[i], next = t.pts[(i + 1) % n], prev = t.pts[(i + n - 1) % n];
    double u = Dir(cur, next), v = Dir(cur, prev);
    t.dir.push_back(Norm360(u));
    t.angle.push_back(Norm360(v - u));
  }
  return t;
}

bool SamePointSet(const std::vector<V>& a, const std::vector<V>& b) {
  if (a.size() != b.size()) return false;
  // Compare around the centre of the corners, so the place of the piece does not count.
  V ca{0, 0}, cb{0, 0};
  for (const V& p : a) ca.x += p.x, ca.y += p.y;
  for (const V& p : b) cb.x += p.x, cb.y += p.y;
  ca.x /= double(a.size()), ca.y /= double(a.size()), cb.x /= double(b.size()), cb.y /= double(b.size());
  for (const V& p : a) {
    bool hit = false;
    for (const V& q : b)
      if (std::hypot((p.x - ca.x) - (q.x - cb.x), (p.y - ca.y) - (q.y - cb.y)) < kDist) hit = true;
    if (!hit) return false;
  }
  return true;
}

struct Placed {
  std::vector<V> pts;
  std::vector<double> dir, angle;
  double minx, maxx, miny, maxy;
};

Placed Place(const Turned& t, size_t corner, V at) {
  Placed p;
  V o = t.pts[corner];
  for (const V& q : t.pts) p.pts.push_back({q.x - o.x + at.x, q.y - o.y + at.y});
  p.dir = t.dir;
  p.angle = t.angle;
  p.minx = p.maxx = p.pts[0].x;
  p.miny = p.maxy = p.pts[0].y;
  for (const V& q : p.pts)
    p.minx = std::min(p.minx, q.x), p.maxx = std::max(p.maxx, q.x), p.miny = std::min(p.miny, q.y),
    p.maxy = std::max(p.maxy, q.y);
  return p;
}

// Separating axes with a little slack: touching along an edge is no overlap.
bool Overlap(const Placed& a, const Placed& b) {
  if (a.maxx < b.minx + kOverlap || b.maxx < a.minx + kOverlap || a.maxy < b.miny + kOverlap ||
      b.maxy < a.miny + kOverlap)
    return false;
  for (const Placed* p : {&a, &b}) {
    size_t n = p->pts.size();
    for (size_t i = 0; i < n; ++i) {
      V e{p->pts[(i + 1) % n].x - p->pts[i].x, p->pts[(i + 1) % n].y - p->pts[i].y};
      double len = std::hypot(e.x, e.y);
      V ax{-e.y / len, e.x / len};
      double lo1 = 1e18, hi1 = -1e18, lo2 = 1e18, hi2 = -1e18;
      for (const V& q : a.pts) {
        double d = q.x * ax.x + q.y * ax.y;
        lo1 = std::min(lo1, d), hi1 = std::max(hi1, d);
      }
      for (const V& q : b.pts) {
        double d = q.x * ax.x + q.y * ax.y;
        lo2 = std::min(lo2, d), hi2 = std::max(hi2, d);
      }
      if (hi1 < lo2 + kOverlap || hi2 < lo1 + kOverlap) return false;
    }
  }
  return true;
}

struct Interval {
  double lo, len;
};

// The directions around point q that a polygon covers (none, a corner's wedge, a half turn
// for a point on an edge, or all round for a point inside).
void Covered(const Placed& p, V q, std::vector<Interval>& out, bool& full) {
  if (q.x < p.minx - kDist || q.x > p.maxx + kDist || q.y < p.miny - kDist || q.y > p.maxy + kDist) return;
  size_t n = p.pts.size();
  for (size_t i = 0; i < n; ++i)
    if (std::hypot(p.pts[i].x - q.x, p.pts[i].y - q.y) < kDist) {
      out.push_back({p.dir[i], p.angle[i]});
      return;
    }
  bool inside = true;
  for (size_t i = 0; i < n; ++i) {
    V a = p.pts[i], b = p.pts[(i + 1) % n];
    double len = std::hypot(b.x - a.x, b.y - a.y);
    double side = ((b.x - a.x) * (q.y - a.y) - (b.y - a.y) * (q.x - a.x)) / len;  // > 0: inner side
    if (side < -kDist) return;  // outside
    if (side < kDist) {
      double along = ((q.x - a.x) * (b.x - a.x) + (q.y - a.y) * (b.y - a.y)) / len;
      if (along > 0 && along < len) {
        out.push_back({Norm360(Dir(a, b)), 180.0});
        return;
      }
      inside = false;
    }
  }
  if (inside) full = true;
}

// The first uncovered direction range around q, as (start, width); width 0 when q is covered.
Interval FreeGap(const std::vector<Interval>& cov) {
  std::vector<Interval> parts;
  for (const Interval& c : cov) {
    double lo = Norm360(c.lo), hi = lo + c.len;
    if (hi <= 360.0) {
      parts.push_back({lo, c.len});
    } else {
      parts.push_back({lo, 360.0 - lo});
      parts.push_back({0.0, hi - 360.0});
    }
  }
  if (parts.empty()) return {0, 360};
  std::sort(parts.begin(), parts.end(), [](const Interval& a, const Interval& b) { return a.lo < b.lo; });
  // Walk around the circle and collect the gaps wider than the slack.
  std::vector<Interval> gaps;
  double reach = parts[0].lo + parts[0].len;
  for (size_t i = 1; i < parts.size(); ++i) {
    if (parts[i].lo > reach + kAngle) gaps.push_back({reach, parts[i].lo - reach});
    reach = std::max(reach, parts[i].lo + parts[i].len);
  }
  double wrap = parts[0].lo + 360.0;
  if (wrap > reach + kAngle) gaps.push_back({reach, wrap - reach});
  if (gaps.empty()) return {0, 0};
  // A gap that starts just below 0 degrees starts at 0 (rounding of the edges).
  for (Interval& g : gaps) {
    g.lo = Norm360(g.lo);
    if (g.lo > 360.0 - kAngle) g.lo -= 360.0;
  }
  return *std::min_element(gaps.begin(), gaps.end(), [](const Interval& a, const Interval& b) { return a.lo < b.lo; });
}

class Search {
 public:
  Search(std::vector<Shape> shapes, const SolveLimits& lim) : shapes_(std::move(shapes)), lim_(lim) {
    Placed slot;
    Poly sq = SlotSquare();
    Turned t = MakeTurn(sq, 0);
    slot = Place(t, 0, {double(sq[0].x), double(sq[0].y)});
    slot_ = slot;
    total_ = 0;
    for (const Shape& s : shapes_) total_ += s.count;
    used_.assign(shapes_.size(), 0);
  }

  void Run() { Step(); }
  SolveResult result;

 private:
  std::vector<Shape> shapes_;
  SolveLimits lim_;
  Placed slot_;
  int total_;
  std::vector<int> used_;
  std::vector<Placed> placed_;
  std::set<std::string> seen_;
  bool stop_ = false;

  bool InSlot(const Placed& p) const {
    return p.minx > kSlotLeft - kDist && p.maxx < kSlotLeft + kSlotSize + kDist && p.miny > kSlotTop - kDist &&
           p.maxy < kSlotTop + kSlotSize + kDist;
  }

  // The uncovered corner highest up, then furthest left, and its first free direction range.
  bool NextCorner(V& at, Interval& gap) const {
    std::vector<V> cands;
    for (const V& q : slot_.pts) cands.push_back(q);
    for (const Placed& p : placed_)
      for (const V& q : p.pts) cands.push_back(q);
    std::sort(cands.begin(), cands.end(), [](V a, V b) {
      if (std::fabs(a.y - b.y) > 0.01) return a.y < b.y;
      return a.x < b.x;
    });
    std::vector<Interval> cov;
    for (size_t k = 0; k < cands.size(); ++k) {
      V q = cands[k];
      if (k > 0 && std::hypot(q.x - cands[k - 1].x, q.y - cands[k - 1].y) < 0.01) continue;
      cov.clear();
      bool full = false;
      // The slot-box covers what lies outside it.
      size_t before = cov.size();
      Covered(slot_, q, cov, full);
      if (full) {
        cov.resize(before);
      } else if (cov.size() > before) {
        Interval in = cov.back();
        cov.back() = {in.lo + in.len, 360.0 - in.len};
      } else {
        continue;  // outside the slot-box
      }
      full = false;
      for (const Placed& p : placed_) {
        Covered(p, q, cov, full);
        if (full) break;
      }
      if (full) continue;
      Interval g = FreeGap(cov);
      if (g.len > kAngle) {
        at = q;
        gap = g;
        return true;
      }
    }
    return false;
  }

  std::string Key() const {
    // The covering as a set of rounded corner sets, the same for every turn or mirror of the square.
    std::string best;
    for (int sym = 0; sym < 8; ++sym) {
      std::vector<std::string> polys;
      for (const Placed& p : placed_) {
        std::vector<std::pair<long, long>> c;
        for (const V& q : p.pts) {
          double x = q.x - 400, y = q.y - 200;
          if (sym & 1) x = -x;
          if (sym & 2) y = -y;
          if (sym & 4) std::swap(x, y);
          c.push_back({std::lround(x / 2), std::lround(y / 2)});
        }
        std::sort(c.begin(), c.end());
        std::string s;
        for (auto& [x, y] : c) s += std::to_string(x) + "," + std::to_string(y) + ";";
        polys.push_back(s);
      }
      std::sort(polys.begin(), polys.end());
      std::string k;
      for (auto& s : polys) k += s + "|";
      if (best.empty() || k < best) best = k;
    }
    return best;
  }

  void Step() {
    if (stop_) return;
    if (int(placed_.size()) == total_) {
      if (!result.found) result.nodesToFirst = result.nodes;
      result.found = true;
      seen_.insert(Key());
      result.coverings = int(seen_.size());
      if (result.coverings >= lim_.maxCoverings) {
        result.coveringsCapped = true;
        stop_ = true;
      }
      return;
    }
    V at{0, 0};
    Interval gap{0, 0};
    if (!NextCorner(at, gap)) return;
    for (size_t s = 0; s < shapes_.size() && !stop_; ++s) {
      if (used_[s] == shapes_[s].count) continue;
      if (shapes_[s].minAngle > gap.len + kAngle) continue;
      for (const Turned& t : shapes_[s].turns) {
        for (size_t c = 0; c < t.pts.size() && !stop_; ++c) {
          if (AngDiff(t.dir[c], gap.lo) > kAngle || t.angle[c] > gap.len + kAngle) continue;
          Placed p = Place(t, c, at);
          if (!InSlot(p)) continue;
          bool clash = false;
          for (const Placed& q : placed_)
            if (Overlap(p, q)) {
              clash = true;
              break;
            }
          if (clash) continue;
          if (++result.nodes >= lim_.maxNodes) {
            result.coveringsCapped = true;
            stop_ = true;
          }
          placed_.push_back(std::move(p));
          ++used_[s];
          Step();
          --used_[s];
          placed_.pop_back();
        }
      }
    }
  }
};

std::vector<Turned> DistinctTurnsOf(const Poly& p) {
  std::vector<Turned> r;
  for (int k = 0; k < 24; ++k) {
    Turned t = MakeTurn(p, k);
    bool dup = false;
    for (const Turned& o : r)
      if (SamePointSet(o.pts, t.pts)) dup = true;
    if (!dup) r.push_back(t);
  }
  return r;
}

}  // namespace

int DistinctTurns(const Poly& piece) { return int(DistinctTurnsOf(Oriented(piece)).size()); }

SolveResult Solve(const std::vector<Poly>& pieces, const SolveLimits& limits) {
  std::vector<Shape> shapes;
  for (const Poly& raw : pieces) {
    Poly p = Oriented(raw);
    Turned t0 = MakeTurn(p, 0);
    bool merged = false;
    for (Shape& s : shapes)
      for (const Turned& t : s.turns)
        if (!merged && SamePointSet(t.pts, t0.pts)) {
          ++s.count;
          merged = true;
        }
    if (merged) continue;
    Shape s;
    s.turns = DistinctTurnsOf(p);
    s.minAngle = *std::min_element(t0.angle.begin(), t0.angle.end());
    s.count = 1;
    s.area = std::fabs(double(Area2(p))) / 2;
    s.key = ShapeOf(p);
    shapes.push_back(std::move(s));
  }
  // Big pieces first, as a player would try them.
  std::sort(shapes.begin(), shapes.end(), [](const Shape& a, const Shape& b) {
    return a.area != b.area ? a.area > b.area : a.key < b.key;
  });
  Search search(shapes, limits);
  search.result.classes = int(shapes.size());
  search.Run();
  return search.result;
}

}  // namespace levels
