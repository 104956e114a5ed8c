#include "families.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <iterator>
#include <numeric>
#include <random>
#include <set>

#include "classics.h"
#include "rules.h"

namespace levels {
namespace {

using Rng = std::mt19937;

int Pick(Rng& rng, int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }

Poly Dedupe(Poly p) {
  Poly r;
  for (const Pt& q : p)
    if (r.empty() || !(r.back() == q)) r.push_back(q);
  while (r.size() > 1 && r.front() == r.back()) r.pop_back();
  return r;
}

// The edge of p that holds q (q on [p[i], p[i+1]), the start corner included), or -1.
int EdgeHolding(const Poly& p, Pt q) {
  for (size_t i = 0; i < p.size(); ++i) {
    Pt a = p[i], b = p[(i + 1) % p.size()];
    if (Cross(a, b, q) != 0) continue;
    if (q.x < std::min(a.x, b.x) || q.x > std::max(a.x, b.x) || q.y < std::min(a.y, b.y) || q.y > std::max(a.y, b.y))
      continue;
    if (q == b) continue;
    return int(i);
  }
  return -1;
}

// Splits p along the chord a-b (both on its boundary, the chord through its inside).
bool Split(const Poly& p, Pt a, Pt b, Poly& s1, Poly& s2) {
  int ea = EdgeHolding(p, a), eb = EdgeHolding(p, b);
  if (ea < 0 || eb < 0 || ea == eb) return false;
  if (!Inside(p, (double(a.x) + double(b.x)) / 2, (double(a.y) + double(b.y)) / 2)) return false;
  if (ea > eb) std::swap(ea, eb), std::swap(a, b);
  size_t n = p.size();
  s1 = {a};
  for (size_t k = size_t(ea) + 1; k <= size_t(eb); ++k) s1.push_back(p[k]);
  s1.push_back(b);
  s2 = {b};
  for (size_t k = size_t(eb) + 1; k != size_t(ea) + 1 + n; ++k) s2.push_back(p[k % n]);
  s2.push_back(a);
  s1 = Dedupe(s1);
  s2 = Dedupe(s2);
  return s1.size() >= 3 && s2.size() >= 3 && StrictlyConvex(s1) && StrictlyConvex(s2);
}

// Applies the chord to whichever piece it crosses.
bool Cut(std::vector<Poly>& pieces, Pt a, Pt b) {
  for (size_t i = 0; i < pieces.size(); ++i) {
    Poly s1, s2;
    if (!Split(pieces[i], a, b, s1, s2)) continue;
    pieces[i] = s1;
    pieces.push_back(s2);
    return true;
  }
  return false;
}

// The generated families hold themselves to more than the floors: no strips.
constexpr double kDesignFatness = 0.45, kDesignWidth = 34.0;

bool PieceOk(const Poly& p) {
  return ShapeRuleBroken(p).empty() && FloorBroken(p).empty() && Fatness(p) >= kDesignFatness &&
         MinWidth(p) >= kDesignWidth;
}

// Pieces i and j are new: they keep the floors and are no near twin of any other piece.
bool NewPiecesOk(const std::vector<Poly>& pieces, size_t i, size_t j) {
  if (!PieceOk(pieces[i]) || !PieceOk(pieces[j])) return false;
  for (size_t k = 0; k < pieces.size(); ++k)
    if ((k != i && NearTwins(pieces[i], pieces[k])) || (k != j && NearTwins(pieces[j], pieces[k]))) return false;
  return VertexRuleBroken(pieces).empty();
}

bool PiecesOk(const std::vector<Poly>& pieces) {
  for (const Poly& p : pieces)
    if (!PieceOk(p)) return false;
  for (size_t i = 0; i < pieces.size(); ++i)
    for (size_t j = i + 1; j < pieces.size(); ++j)
      if (NearTwins(pieces[i], pieces[j])) return false;
  return VertexRuleBroken(pieces).empty();
}

bool AllDistinct(const std::vector<Poly>& pieces) {
  std::set<ShapeKey> k;
  for (const Poly& p : pieces) k.insert(ShapeOf(p));
  return k.size() == pieces.size();
}

int LookAlikePairs(const std::vector<Poly>& pieces) {
  int n = 0;
  for (size_t i = 0; i < pieces.size(); ++i)
    for (size_t j = i + 1; j < pieces.size(); ++j) n += LookAlike(pieces[i], pieces[j]) ? 1 : 0;
  return n;
}

std::vector<Pt> BoundaryPoints(const Poly& p, int step) {
  std::vector<Pt> r;
  for (size_t i = 0; i < p.size(); ++i) {
    Pt a = p[i], b = p[(i + 1) % p.size()];
    int64_t dx = b.x - a.x, dy = b.y - a.y, g = std::gcd(std::llabs(dx), std::llabs(dy));
    for (int64_t k = 0; k < g; ++k) {
      Pt q{a.x + k * dx / g, a.y + k * dy / g};
      if ((q.x - kSlotLeft) % step == 0 && (q.y - kSlotTop) % step == 0) r.push_back(q);
    }
  }
  return r;
}

size_t PickPiece(const std::vector<Poly>& pieces, Rng& rng) {
  std::vector<double> w;
  for (const Poly& p : pieces) w.push_back(std::pow(double(std::llabs(Area2(p))), 1.5));
  std::discrete_distribution<size_t> d(w.begin(), w.end());
  return d(rng);
}

// Grid chords: both ends on grid points of the piece's outline, in one of the given slopes.
bool GridChord(const Poly& p, Rng& rng, int step, const std::vector<std::pair<int, int>>& slopes, Pt& a, Pt& b) {
  std::vector<Pt> pts = BoundaryPoints(p, step);
  if (pts.size() < 2) return false;
  for (int tries = 0; tries < 40; ++tries) {
    a = pts[size_t(Pick(rng, 0, int(pts.size()) - 1))];
    b = pts[size_t(Pick(rng, 0, int(pts.size()) - 1))];
    if (a == b) continue;
    int64_t dx = std::llabs(b.x - a.x), dy = std::llabs(b.y - a.y);
    for (auto [sx, sy] : slopes)
      if (dx * sy == dy * sx) return true;
  }
  return false;
}

// Fifteen-degree chords: from a point of an upright edge (or a corner) at a multiple of 15
// degrees to the nearest pixel of the upright edge it meets.
bool FifteenChord(const Poly& p, Rng& rng, Pt& a, Pt& b) {
  std::vector<Pt> starts;
  for (size_t i = 0; i < p.size(); ++i) {
    Pt s = p[i], e = p[(i + 1) % p.size()];
    starts.push_back(s);
    if (s.x == e.x || s.y == e.y) {
      for (int k = 1; k < 8; ++k) {
        Pt q{s.x + (e.x - s.x) * k / 8, s.y + (e.y - s.y) * k / 8};
        q.x = kSlotLeft + (q.x - kSlotLeft) / 5 * 5;
        q.y = kSlotTop + (q.y - kSlotTop) / 5 * 5;
        if (EdgeHolding(p, q) >= 0) starts.push_back(q);
      }
    }
  }
  static const int kDirs[] = {15, 30, 60, 75, 105, 120, 150, 165, 195, 210, 240, 255, 285, 300, 330, 345,
                              0,  90, 180, 270, 45, 135, 225, 315};
  for (int tries = 0; tries < 40; ++tries) {
    a = starts[size_t(Pick(rng, 0, int(starts.size()) - 1))];
    int d = kDirs[Pick(rng, 0, tries < 30 ? 15 : 23)];
    double ux = std::cos(d * M_PI / 180), uy = std::sin(d * M_PI / 180);
    // The ray's exit from the piece.
    double best = 1e18;
    size_t edge = 0;
    for (size_t i = 0; i < p.size(); ++i) {
      Pt s = p[i], e = p[(i + 1) % p.size()];
      double ex = double(e.x - s.x), ey = double(e.y - s.y);
      double den = ux * ey - uy * ex;
      if (std::fabs(den) < 1e-9) continue;
      double wx = double(s.x - a.x), wy = double(s.y - a.y);
      double t = (wx * ey - wy * ex) / den, u = (wx * uy - wy * ux) / den;
      if (t > 1.0 && u >= -1e-9 && u <= 1 + 1e-9 && t < best) best = t, edge = i;
    }
    if (best > 1e17) continue;
    Pt s = p[edge], e = p[(edge + 1) % p.size()];
    double hx = double(a.x) + ux * best, hy = double(a.y) + uy * best;
    if (s.y == e.y) {
      b = {std::llround(hx), s.y};
    } else if (s.x == e.x) {
      b = {s.x, std::llround(hy)};
    } else {
      b = {std::llround(hx), std::llround(hy)};
      if (!(b == s) && !(b == e)) continue;  // a slanted edge takes a chord only at its corners
    }
    double got = std::atan2(double(b.y - a.y), double(b.x - a.x)) * 180 / M_PI;
    double off = std::fabs(std::remainder(got - d, 360.0));
    if (off > 0.8) continue;
    return true;
  }
  return false;
}

using Chooser = std::function<bool(const Poly&, Rng&, Pt&, Pt&)>;

// Cuts piece i in two along a chord from `choose`; the cut is kept only when both halves keep
// every floor.
bool SplitPiece(std::vector<Poly>& pieces, size_t i, const Chooser& choose, Rng& rng) {
  Pt a, b;
  if (!choose(pieces[i], rng, a, b)) return false;
  Poly s1, s2;
  if (!Split(pieces[i], a, b, s1, s2)) return false;
  std::vector<Poly> next = pieces;
  next[i] = s1;
  next.push_back(s2);
  if (!NewPiecesOk(next, i, next.size() - 1)) return false;
  pieces = std::move(next);
  return true;
}

// Cuts the square into `count` pieces with chords from `choose`, keeping every floor.
bool Grow(Rng& rng, int count, const Chooser& choose, std::vector<Poly>& out) {
  std::vector<Poly> pieces{SlotSquare()};
  for (int attempts = 0; int(pieces.size()) < count; ++attempts) {
    if (attempts > 1500) return false;
    SplitPiece(pieces, PickPiece(pieces, rng), choose, rng);
  }
  out = pieces;
  return true;
}

Design Finish(std::string family, std::string note, std::vector<Poly> pieces, Rng& rng) {
  // Mix the order so that neighbours in the file are not neighbours in the square.
  std::shuffle(pieces.begin(), pieces.end(), rng);
  Design d;
  d.family = std::move(family);
  d.note = std::move(note);
  d.pieces = std::move(pieces);
  return d;
}

// Keeps the designs that pass every rule and differ from those kept before.
void Keep(std::vector<Design>& out, std::set<std::string>& seen, Design d) {
  if (!DesignBroken(d.pieces, d.asGiven).empty()) return;
  if (!seen.insert(LevelSignature(d.pieces)).second) return;
  out.push_back(std::move(d));
}

Poly FromClassic(const ClassicPiece& c) {
  Poly p;
  for (int i = 0; i < c.n; ++i) p.push_back({kSlotLeft + c.xy[i][0], kSlotTop + c.xy[i][1]});
  return p;
}

std::vector<Poly> ClassicPieces(const Classic& c) {
  std::vector<Poly> r;
  for (int j = 0; j < c.count; ++j) r.push_back(FromClassic(c.pieces[j]));
  return r;
}

std::vector<Poly> Mirrored(std::vector<Poly> ps) {
  for (Poly& p : ps)
    for (Pt& q : p) q.x = 2 * kSlotLeft + kSlotSize - q.x;
  return ps;
}

// The convex union of two pieces that share a whole edge, if there is one.
bool Merge(const Poly& pa, const Poly& pb, Poly& out) {
  const Poly a = Oriented(pa), b = Oriented(pb);
  for (size_t i = 0; i < a.size(); ++i)
    for (size_t j = 0; j < b.size(); ++j) {
      Pt a0 = a[i], a1 = a[(i + 1) % a.size()], b0 = b[j], b1 = b[(j + 1) % b.size()];
      if (!(a0 == b1 && a1 == b0)) continue;
      Poly u;
      for (size_t k = 0; k < a.size(); ++k) u.push_back(a[(i + 1 + k) % a.size()]);  // a1 .. a0
      for (size_t k = 2; k < b.size(); ++k) u.push_back(b[(j + k) % b.size()]);      // after b1=a0 .. before b0
      // Drop corners that became straight.
      for (bool again = true; again && u.size() > 3;) {
        again = false;
        for (size_t k = 0; k < u.size(); ++k)
          if (Cross(u[(k + u.size() - 1) % u.size()], u[k], u[(k + 1) % u.size()]) == 0) {
            u.erase(u.begin() + long(k));
            again = true;
            break;
          }
      }
      if (StrictlyConvex(u)) return out = u, true;
    }
  return false;
}

std::string Count(size_t n) { return std::to_string(n) + " pieces"; }

}  // namespace

bool EdgesOnFifteen(const std::vector<Poly>& pieces) {
  for (const Poly& p : pieces)
    for (size_t i = 0; i < p.size(); ++i) {
      Pt a = p[i], b = p[(i + 1) % p.size()];
      double d = std::atan2(double(b.y - a.y), double(b.x - a.x)) * 180 / M_PI;
      if (std::fabs(std::remainder(d, 15.0)) > 1.0) return false;
    }
  return true;
}

std::vector<Design> FirstSteps() {
  std::vector<Design> out;
  std::set<std::string> seen;
  const std::vector<std::pair<int, int>> slopes{{1, 0}, {0, 1}, {1, 1}};
  Chooser grid = [&](const Poly& p, Rng& rng, Pt& a, Pt& b) { return GridChord(p, rng, 50, slopes, a, b); };
  // The episode takes the first twenty; the rest wait in reserve for a level that has to give
  // way (each count has its own seeds, so a design added here changes none before it).
  const int counts[] = {3, 3, 3, 3, 3, 3, 3, 4, 4, 4, 4, 4, 4, 4, 4, 4, 5, 5, 5, 5, 5, 5, 5, 5,
                        3, 3, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5};
  for (int k = 0; k < int(std::size(counts)); ++k)
    for (uint32_t seed = 0; seed < 200; ++seed) {
      Rng rng(0x51E95000u + uint32_t(k) * 977u + seed);
      std::vector<Poly> pieces;
      if (!Grow(rng, counts[k], grid, pieces) || !AllDistinct(pieces)) continue;
      size_t before = out.size();
      Keep(out, seen, Finish("First steps", Count(pieces.size()) + " on a 50 px grid, cut straight and at 45 degrees", pieces, rng));
      if (out.size() > before) break;
    }
  return out;
}

namespace {

// Every set made from base by merging two pieces that share a whole edge into one convex piece.
std::vector<std::vector<Poly>> Merges(const std::vector<Poly>& base) {
  std::vector<std::vector<Poly>> r;
  for (size_t i = 0; i < base.size(); ++i)
    for (size_t j = i + 1; j < base.size(); ++j) {
      Poly u;
      if (!Merge(base[i], base[j], u)) continue;
      std::vector<Poly> ps;
      for (size_t k = 0; k < base.size(); ++k)
        if (k != i && k != j) ps.push_back(base[k]);
      ps.push_back(u);
      r.push_back(ps);
    }
  return r;
}

// Every set made from base by cutting one piece along the line of an edge of another piece
// (where that line crosses the piece's outline at whole pixels), up to eight pieces.
std::vector<std::vector<Poly>> ReCuts(const std::vector<Poly>& base) {
  std::vector<std::vector<Poly>> r;
  for (size_t i = 0; i < base.size(); ++i)
    for (size_t j = 0; j < base.size(); ++j) {
      if (i == j) continue;
      for (size_t e = 0; e < base[j].size(); ++e) {
        Pt a = base[j][e], b = base[j][(e + 1) % base[j].size()];
        // Where the line a-b crosses piece i's outline at lattice points.
        std::vector<Pt> hits;
        for (Pt q : BoundaryPoints(base[i], 1))
          if (Cross(a, b, q) == 0) hits.push_back(q);
        if (hits.size() < 2) continue;
        Poly s1, s2;
        if (!Split(base[i], hits.front(), hits.back(), s1, s2)) continue;
        std::vector<Poly> ps = base;
        ps[i] = s1;
        ps.push_back(s2);
        if (ps.size() > 8) continue;
        r.push_back(ps);
      }
    }
  return r;
}

}  // namespace

std::vector<Design> ClassicSquares() {
  std::vector<Design> out;
  std::set<std::string> seen;
  Rng rng(0xC1A55000u);
  const int order[] = {0, 1, 3, 4, 5};  // the Stomachion is a master
  auto alike = [](const std::vector<Poly>& ps) {
    return AllDistinct(ps) ? std::string() : std::string("; the pieces of one shape are meant alike, as in the original");
  };
  // As published, then mirrored.
  for (int c : order) {
    Design d = Finish("Classic squares", std::string(kClassics[c].name) + " as published" + alike(ClassicPieces(kClassics[c])),
                      ClassicPieces(kClassics[c]), rng);
    d.asGiven = true;
    Keep(out, seen, d);
  }
  for (int c : order)
    Keep(out, seen, Finish("Classic squares", std::string(kClassics[c].name) + ", mirrored" + alike(ClassicPieces(kClassics[c])),
                           Mirrored(ClassicPieces(kClassics[c])), rng));
  // Merged and re-cut variants, taken in turn from each classic (plain and mirrored).
  std::vector<std::vector<Design>> variants(5);
  for (int ci = 0; ci < 5; ++ci) {
    const Classic& cl = kClassics[order[ci]];
    for (int mirror = 0; mirror < 2; ++mirror) {
      std::vector<Poly> base = ClassicPieces(cl);
      if (mirror) base = Mirrored(base);
      std::string name = std::string(cl.name) + (mirror ? " mirrored" : "");
      for (const std::vector<Poly>& ps : Merges(base))
        variants[size_t(ci)].push_back(Finish("Classic squares", name + " with two pieces merged" + alike(ps), ps, rng));
      // Re-cut: a piece cut along the line of an edge of the design.
      for (const std::vector<Poly>& ps : ReCuts(base))
        variants[size_t(ci)].push_back(Finish("Classic squares", name + " re-cut along a line of the design" + alike(ps), ps, rng));
    }
  }
  for (size_t round = 0; round < 40; ++round)
    for (auto& v : variants)
      if (round < v.size()) Keep(out, seen, v[round]);
  // Deeper variants after all of those (so that the designs above stay as they were): pieces
  // merged again and again down to three, one merge and one re-cut, and two re-cuts.
  std::vector<std::vector<Design>> deeper(5);
  for (int ci = 0; ci < 5; ++ci) {
    const Classic& cl = kClassics[order[ci]];
    const std::string name = cl.name;
    std::set<std::string> made;
    std::vector<std::vector<Poly>> level{ClassicPieces(cl)};
    for (int merges = 1; !level.empty(); ++merges) {
      std::vector<std::vector<Poly>> next;
      for (const std::vector<Poly>& base : level)
        for (std::vector<Poly>& ps : Merges(base))
          if (ps.size() >= 3 && made.insert(LevelSignature(ps)).second) next.push_back(std::move(ps));
      if (merges >= 2)
        for (const std::vector<Poly>& ps : next)
          deeper[size_t(ci)].push_back(Finish("Classic squares", name + " with neighbours merged down to " + Count(ps.size()) + alike(ps), ps, rng));
      level = std::move(next);
    }
    for (const std::vector<Poly>& merged : Merges(ClassicPieces(cl)))
      for (const std::vector<Poly>& ps : ReCuts(merged))
        deeper[size_t(ci)].push_back(
            Finish("Classic squares", name + " with two pieces merged and one re-cut along a line of the design" + alike(ps), ps, rng));
    for (const std::vector<Poly>& once : ReCuts(ClassicPieces(cl)))
      for (const std::vector<Poly>& ps : ReCuts(once))
        if (made.insert(LevelSignature(ps)).second)
          deeper[size_t(ci)].push_back(Finish("Classic squares", name + " re-cut twice along lines of the design" + alike(ps), ps, rng));
  }
  for (size_t round = 0;; ++round) {
    bool any = false;
    for (auto& v : deeper)
      if (round < v.size()) Keep(out, seen, v[round]), any = true;
    if (!any) break;
  }
  return out;
}

std::vector<Design> MirrorAndTurn() {
  std::vector<Design> out;
  std::set<std::string> seen;
  using Map = std::function<Pt(Pt)>;
  const int cx = kSlotLeft + kSlotSize / 2, cy = kSlotTop + kSlotSize / 2;
  Map quarter = [=](Pt p) { return Pt{cx - (p.y - cy), cy + (p.x - cx)}; };
  Map mirrorV = [=](Pt p) { return Pt{2 * cx - p.x, p.y}; };
  Map mirrorD = [=](Pt p) { return Pt{cx + (p.y - cy), cy + (p.x - cx)}; };
  struct Group {
    const char* name;
    std::vector<Map> maps;
  };
  auto compose = [](Map f, int times) {
    return Map([=](Pt p) {
      for (int k = 0; k < times; ++k) p = f(p);
      return p;
    });
  };
  const Group groups[] = {
      {"a quarter turn maps the cuts onto themselves", {compose(quarter, 1), compose(quarter, 2), compose(quarter, 3)}},
      {"mirrored left to right", {mirrorV}},
      {"mirrored across the diagonal", {mirrorD}},
      {"a half turn maps the cuts onto themselves", {compose(quarter, 2)}},
  };
  const std::vector<std::pair<int, int>> slopes{{1, 0}, {0, 1}, {1, 1}, {1, 2}, {2, 1}};
  for (int k = 0; k < 60 && out.size() < 32; ++k) {
    const Group& g = groups[k % 4];
    int lo = 5 + (k / 4) % 4, hi = lo + 1;
    for (uint32_t seed = 0; seed < 300; ++seed) {
      Rng rng(0x5E770000u + uint32_t(k) * 7919u + seed);
      std::vector<Poly> pieces{SlotSquare()};
      for (int step = 0; step < 40 && int(pieces.size()) < lo; ++step) {
        size_t i = PickPiece(pieces, rng);
        Pt a, b;
        if (!GridChord(pieces[i], rng, 25, slopes, a, b)) continue;
        std::vector<Poly> next = pieces;
        if (!Cut(next, a, b)) continue;
        std::set<std::pair<std::pair<int64_t, int64_t>, std::pair<int64_t, int64_t>>> done;
        auto key = [](Pt p, Pt q) {
          auto x = std::make_pair(p.x, p.y), y = std::make_pair(q.x, q.y);
          return x < y ? std::make_pair(x, y) : std::make_pair(y, x);
        };
        done.insert(key(a, b));
        bool ok = true;
        for (const Map& m : g.maps) {
          Pt ma = m(a), mb = m(b);
          if (!done.insert(key(ma, mb)).second) continue;
          if (!Cut(next, ma, mb)) ok = false;
        }
        if (!ok || int(next.size()) > hi || !PiecesOk(next)) continue;
        pieces = next;
      }
      if (int(pieces.size()) < lo) continue;
      std::string note = Count(pieces.size()) + ", " + g.name;
      if (!AllDistinct(pieces)) note += "; the pieces that the symmetry maps onto each other are meant alike";
      size_t before = out.size();
      Keep(out, seen, Finish("Mirror and turn", note, pieces, rng));
      if (out.size() > before) break;
    }
  }
  return out;
}

namespace {

// Bands across the square, each cut by slanted lines at 45, 60, 75 or 90 degrees (one line
// leaning left, the next right makes a triangle, two leaning alike a trapezoid), the line ends
// placed on the nearest pixel of the band's edges.
bool Bands(Rng& rng, std::vector<Poly>& out) {
  static const std::vector<std::vector<int>> heights{{100, 100}, {90, 110}, {80, 120}, {115, 85}, {60, 80, 60},
                                                     {70, 60, 70}, {65, 70, 65}, {75, 125}};
  std::vector<int> hs = heights[size_t(Pick(rng, 0, int(heights.size()) - 1))];
  const int angles[] = {45, 60, 75, 90, 60, 75};
  const bool across = Pick(rng, 0, 1) == 0;  // bands across, or (turned) down the square
  std::vector<Poly> pieces;
  int top = 0;
  for (int h : hs) {
    struct CutLine {
      double t, b;
    };
    std::vector<CutLine> cuts{{0, 0}};
    for (int guard = 0; guard < 20; ++guard) {
      const CutLine& last = cuts.back();
      int a = angles[Pick(rng, 0, 5)];
      double run = a == 90 ? 0 : double(h) / std::tan(double(a) * M_PI / 180);
      int sign = Pick(rng, 0, 1) ? 1 : -1;
      CutLine c;
      // Share a corner with the last line now and then: that makes a triangle.
      int mode = Pick(rng, 0, 2);
      if (mode == 0 && sign < 0 && run > 0) {
        c.b = last.b;
        c.t = last.b + run;
      } else if (mode == 1 && sign > 0 && run > 0) {
        c.t = last.t;
        c.b = last.t + run;
      } else {
        c.t = std::max(last.t, last.b) + double(Pick(rng, 40, 90));
        c.b = c.t + sign * run;
      }
      c.t = double(std::lround(c.t));
      c.b = double(std::lround(c.b));
      if (c.t > 185 || c.b > 185 || c.b < 0) break;
      if (c.t < last.t || c.b < last.b || (c.t == last.t && c.b == last.b)) continue;
      cuts.push_back(c);
    }
    cuts.push_back({200, 200});
    for (size_t i = 0; i + 1 < cuts.size(); ++i) {
      Poly p{{int64_t(cuts[i].t), top}, {int64_t(cuts[i + 1].t), top}, {int64_t(cuts[i + 1].b), top + h},
             {int64_t(cuts[i].b), top + h}};
      p = Dedupe(p);
      if (p.size() < 3 || !StrictlyConvex(p)) return false;
      for (Pt& q : p) q = across ? Pt{kSlotLeft + q.x, kSlotTop + q.y} : Pt{kSlotLeft + q.y, kSlotTop + q.x};
      pieces.push_back(p);
    }
    top += h;
  }
  if (!PiecesOk(pieces)) return false;
  out = pieces;
  return true;
}

}  // namespace

std::vector<Design> FifteenDegrees() {
  std::vector<Design> out;
  std::set<std::string> seen;
  for (int k = 0; k < 60 && out.size() < 30; ++k) {
    int lo = 6 + k % 4;
    for (uint32_t seed = 0; seed < 400; ++seed) {
      Rng rng(0xF1F7EE00u + uint32_t(k) * 6151u + seed);
      std::vector<Poly> pieces;
      if (!Bands(rng, pieces)) continue;
      // One more line at a multiple of 15 degrees through one of the pieces, now and then.
      if (int(pieces.size()) < lo && Pick(rng, 0, 1) == 0) {
        for (int tries = 0; tries < 30 && int(pieces.size()) < lo; ++tries) {
          SplitPiece(pieces, PickPiece(pieces, rng), FifteenChord, rng);
        }
      }
      if (int(pieces.size()) < lo || pieces.size() > 9 || !AllDistinct(pieces) || !EdgesOnFifteen(pieces)) continue;
      size_t before = out.size();
      Keep(out, seen,
           Finish("Fifteen degrees", Count(pieces.size()) + " in bands cut at 45, 60, 75 and 90 degrees", pieces, rng));
      if (out.size() > before) break;
    }
  }
  return out;
}

namespace {

// A chord from a corner of the piece to a point (on the 5 px grid) of an edge not next to it.
bool CornerChord(const Poly& p, Rng& rng, Pt& a, Pt& b) {
  size_t n = p.size();
  for (int tries = 0; tries < 20; ++tries) {
    size_t c = size_t(Pick(rng, 0, int(n) - 1));
    a = p[c];
    std::vector<Pt> ends;
    for (size_t e = 0; e < n; ++e) {
      if (e == c || (e + 1) % n == c) continue;
      for (Pt q : BoundaryPoints(Poly{p[e], p[(e + 1) % n]}, 5))
        if (EdgeHolding(p, q) == int(e)) ends.push_back(q);
    }
    if (ends.empty()) continue;
    b = ends[size_t(Pick(rng, 0, int(ends.size()) - 1))];
    if (!(a == b)) return true;
  }
  return false;
}

// A wall of rectangles whose sides all differ by at least 10 px, some of them cut from a corner:
// rectangles and triangles that look alike and are not the same.
bool GridMaster(Rng& rng, int count, std::vector<Poly>& out) {
  static const std::vector<std::vector<int>> cols{{50, 70, 80}, {55, 65, 80}, {45, 75, 80}, {50, 65, 85}, {40, 70, 90}};
  static const std::vector<std::vector<int>> rows{{35, 45, 55, 65}, {40, 75, 85}, {35, 60, 105}, {45, 65, 90}};
  std::vector<int> w = cols[size_t(Pick(rng, 0, int(cols.size()) - 1))];
  std::vector<int> h = rows[size_t(Pick(rng, 0, int(rows.size()) - 1))];
  std::shuffle(w.begin(), w.end(), rng);
  std::shuffle(h.begin(), h.end(), rng);
  std::vector<Poly> pieces;
  int y = kSlotTop;
  for (int hh : h) {
    int x = kSlotLeft;
    for (int ww : w) {
      pieces.push_back({{x, y}, {x + ww, y}, {x + ww, y + hh}, {x, y + hh}});
      x += ww;
    }
    y += hh;
  }
  // Merge a few neighbours (side by side or one over the other) into longer rectangles.
  int merges = Pick(rng, 0, 2);
  for (int m = 0, tries = 0; m < merges && tries < 20; ++tries) {
    size_t i = size_t(Pick(rng, 0, int(pieces.size()) - 1)), j = size_t(Pick(rng, 0, int(pieces.size()) - 1));
    if (i == j) continue;
    Poly u;
    if (!Merge(pieces[i], pieces[j], u) || u.size() != 4) continue;
    pieces[std::min(i, j)] = u;
    pieces.erase(pieces.begin() + long(std::max(i, j)));
    ++m;
  }
  for (int attempts = 0; int(pieces.size()) < count; ++attempts) {
    if (attempts > 400) return false;
    SplitPiece(pieces, size_t(Pick(rng, 0, int(pieces.size()) - 1)), CornerChord, rng);
  }
  if (int(pieces.size()) != count || !PiecesOk(pieces)) return false;
  out = pieces;
  return true;
}

}  // namespace

std::vector<Design> Masters() {
  std::vector<Design> out;
  std::set<std::string> seen;
  const std::vector<std::pair<int, int>> slopes{{1, 0}, {0, 1}, {1, 1}, {1, 2}, {2, 1}};
  Chooser mixed = [&](const Poly& p, Rng& rng, Pt& a, Pt& b) {
    if (Pick(rng, 0, 1) == 0) return FifteenChord(p, rng, a, b);
    return GridChord(p, rng, 10, slopes, a, b);
  };
  for (int k = 0; k < 40 && out.size() < 24; ++k) {
    int count = k % 5 == 4 ? 12 : 10 + k % 3;
    bool wall = k % 3 == 0;
    Design best;
    int bestAlike = -1;
    for (uint32_t seed = 0; seed < 60; ++seed) {
      Rng rng(0x3A57E500u + uint32_t(k) * 4099u + seed);
      std::vector<Poly> pieces;
      if (wall ? !GridMaster(rng, count, pieces) : !Grow(rng, count, mixed, pieces)) continue;
      if (!AllDistinct(pieces)) continue;
      int alike = LookAlikePairs(pieces);
      if (alike <= bestAlike) continue;
      bestAlike = alike;
      best = Finish("Masters",
                    Count(pieces.size()) + (wall ? " in a wall of near-equal rectangles, " : " cut freely, ") +
                        std::to_string(alike) + " pairs of look-alikes that differ",
                    pieces, rng);
      if (alike >= 4) break;
    }
    if (bestAlike >= 3) Keep(out, seen, best);
  }
  return out;
}

Design Stomachion() {
  Rng rng(0x570AC000u);
  Design d = Finish("Classic squares", "Archimedes' Stomachion as published (two pairs merged to stay within 12)",
                    ClassicPieces(kClassics[2]), rng);
  d.asGiven = true;
  return d;
}

}  // namespace levels
