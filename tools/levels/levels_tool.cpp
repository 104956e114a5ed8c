// The level generator and validator: `levels-tool generate DIR` writes the four level
// files (seeded, reproducible); `levels-tool validate DIR` checks every rule a level must
// keep and prints the catalogue.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <numeric>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "geometry.h"

using namespace levels;

namespace {

constexpr int kSlotLeft = 300, kSlotTop = 100, kSlotSize = 200;
constexpr double kMinAngle = 14.0;       // degrees, no slivers
constexpr double kMinCornerGap = 12.0;   // corners of one piece
constexpr double kMinVertexGap = 10.5;   // distinct corners anywhere in the solution
constexpr double kMaxReach = 149.0;      // offsets fit the 300 x 300 piece picture

struct FileRange {
  const char* name;
  int first, last;
};
constexpr FileRange kFiles[] = {
    {"Episode0.dat", 0, 49}, {"Episode50.dat", 50, 74}, {"Episode75.dat", 75, 89}, {"Episode90.dat", 90, 99}};

Poly SlotSquare() {
  return {{kSlotLeft, kSlotTop},
          {kSlotLeft + kSlotSize, kSlotTop},
          {kSlotLeft + kSlotSize, kSlotTop + kSlotSize},
          {kSlotLeft, kSlotTop + kSlotSize}};
}

// The integer point that keeps the corners closest (smallest largest distance).
Pt BestPosition(const Poly& p) {
  int64_t minx = p[0].x, maxx = p[0].x, miny = p[0].y, maxy = p[0].y;
  double cx = 0, cy = 0;
  for (const Pt& q : p) {
    minx = std::min(minx, q.x), maxx = std::max(maxx, q.x);
    miny = std::min(miny, q.y), maxy = std::max(maxy, q.y);
    cx += double(q.x), cy += double(q.y);
  }
  cx /= double(p.size()), cy /= double(p.size());
  Pt best{std::llround(cx), std::llround(cy)};
  auto reach = [&](Pt c) {
    double r = 0;
    for (const Pt& q : p) r = std::max(r, Dist(c, q));
    return r;
  };
  double bestR = reach(best);
  // Walk downhill from the corner average; the reach is convex so this settles.
  for (bool moved = true; moved;) {
    moved = false;
    for (int dx = -1; dx <= 1; ++dx)
      for (int dy = -1; dy <= 1; ++dy) {
        Pt c{best.x + dx, best.y + dy};
        double r = reach(c);
        if (r + 1e-9 < bestR) bestR = r, best = c, moved = true;
      }
  }
  return best;
}

double Reach(const Poly& p, Pt c) {
  double r = 0;
  for (const Pt& q : p) r = std::max(r, Dist(c, q));
  return r;
}

// The narrowest width of a convex polygon: over its edges, the farthest corner from the edge's line.
double MinWidth(const Poly& p) {
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

std::string PieceRuleBroken(const Poly& p) {
  if (p.size() < 3 || p.size() > 8) return "corner count " + std::to_string(p.size());
  if (!StrictlyConvex(p)) return "not strictly convex";
  for (size_t i = 0; i < p.size(); ++i)
    if (CornerAngle(p, i) < kMinAngle) return "sliver corner";
  for (size_t i = 0; i < p.size(); ++i)
    for (size_t j = i + 1; j < p.size(); ++j)
      if (Dist(p[i], p[j]) < kMinCornerGap) return "corners too close";
  if (Reach(p, BestPosition(p)) > kMaxReach) return "piece too long for its picture";
  return "";
}

// Distinct corners of all polygons (slot-box included) must be more than 10 px apart.
std::string VertexRuleBroken(const std::vector<Poly>& pieces) {
  std::vector<Pt> all = SlotSquare();
  for (const Poly& p : pieces) all.insert(all.end(), p.begin(), p.end());
  for (size_t i = 0; i < all.size(); ++i)
    for (size_t j = i + 1; j < all.size(); ++j)
      if (!(all[i] == all[j]) && Dist(all[i], all[j]) <= kMinVertexGap) return "corners of different pieces too close";
  return "";
}

// The game's completion rule: every corner has a partner corner (|dx| + |dy| < 10) on another polygon.
bool CompletionRuleHolds(const std::vector<Poly>& pieces) {
  std::vector<Poly> polys{SlotSquare()};
  polys.insert(polys.end(), pieces.begin(), pieces.end());
  for (size_t i = 0; i < polys.size(); ++i)
    for (const Pt& a : polys[i]) {
      bool partner = false;
      for (size_t k = 0; k < polys.size() && !partner; ++k) {
        if (k == i) continue;
        for (const Pt& b : polys[k])
          if (std::llabs(a.x - b.x) + std::llabs(a.y - b.y) < 10) partner = true;
      }
      if (!partner) return false;
    }
  return true;
}

// Exact cover: the areas add up to the square and every sample point lies in exactly one piece.
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

// --- generation ---------------------------------------------------------------

struct Cut {
  size_t edge;
  Pt at;
};

// Lattice points on edge i of p, the start corner included, the end corner left out.
std::vector<Pt> EdgePoints(const Poly& p, size_t i) {
  const Pt& a = p[i];
  const Pt& b = p[(i + 1) % p.size()];
  int64_t dx = b.x - a.x, dy = b.y - a.y;
  int64_t g = std::gcd(std::llabs(dx), std::llabs(dy));
  std::vector<Pt> r;
  for (int64_t k = 0; k < g; ++k) r.push_back({a.x + k * dx / g, a.y + k * dy / g});
  return r;
}

Poly Dedupe(Poly p) {
  Poly r;
  for (const Pt& q : p)
    if (r.empty() || !(r.back() == q)) r.push_back(q);
  while (r.size() > 1 && r.front() == r.back()) r.pop_back();
  return r;
}

// Splits p along the chord from c1 to c2 (c1.edge < c2.edge).
bool Split(const Poly& p, Cut c1, Cut c2, Poly& s1, Poly& s2) {
  if (c1.edge > c2.edge) std::swap(c1, c2);
  if (c1.edge == c2.edge) return false;
  size_t n = p.size();
  s1.clear();
  s2.clear();
  s1.push_back(c1.at);
  for (size_t k = c1.edge + 1; k <= c2.edge; ++k) s1.push_back(p[k]);
  s1.push_back(c2.at);
  s2.push_back(c2.at);
  for (size_t k = c2.edge + 1; k != c1.edge + 1 + n; ++k) s2.push_back(p[k % n]);
  s2.push_back(c1.at);
  s1 = Dedupe(s1);
  s2 = Dedupe(s2);
  return s1.size() >= 3 && s2.size() >= 3 && StrictlyConvex(s1) && StrictlyConvex(s2);
}

bool DirectionAllowed(Pt a, Pt b, int episode) {
  int64_t dx = std::llabs(b.x - a.x), dy = std::llabs(b.y - a.y);
  if (dx == 0 || dy == 0 || dx == dy) return true;
  if (episode == 0) return false;
  if (episode == 1) return dx == 2 * dy || dy == 2 * dx;
  return true;
}

struct Plan {
  int pieces;
  int minArea;
  double minWidth;
};

Plan PlanFor(int level) {
  int e = level / 20, k = level % 20;
  static_assert(true);
  const int lo[5] = {3, 5, 6, 8, 10};
  const int hi[5] = {5, 7, 8, 10, 12};
  int pieces = lo[e] + (k * (hi[e] - lo[e] + 1)) / 20;
  const int minArea[5] = {4000, 3000, 2400, 1900, 1500};
  const double minWidth[5] = {45, 38, 32, 28, 25};
  return {pieces, minArea[e], minWidth[e]};
}

bool GenerateDissection(int level, std::mt19937& rng, std::vector<Poly>& out) {
  Plan plan = PlanFor(level);
  int episode = level / 20;
  std::vector<Poly> pieces{SlotSquare()};
  int attempts = 0;
  while (int(pieces.size()) < plan.pieces) {
    if (++attempts > 20000) return false;
    // Prefer large pieces for the next cut.
    std::vector<double> w;
    for (const Poly& p : pieces) w.push_back(double(std::llabs(Area2(p))));
    std::discrete_distribution<size_t> pick(w.begin(), w.end());
    size_t idx = pick(rng);
    const Poly& p = pieces[idx];
    std::uniform_int_distribution<size_t> edgeDist(0, p.size() - 1);
    size_t e1 = edgeDist(rng), e2 = edgeDist(rng);
    if (e1 == e2) continue;
    std::vector<Pt> c1 = EdgePoints(p, e1), c2 = EdgePoints(p, e2);
    Cut a{e1, c1[std::uniform_int_distribution<size_t>(0, c1.size() - 1)(rng)]};
    Cut b{e2, c2[std::uniform_int_distribution<size_t>(0, c2.size() - 1)(rng)]};
    // Keep cut ends off the very corners most of the time, and on round numbers early on.
    if (episode < 2 && ((a.at.x % 5) || (a.at.y % 5) || (b.at.x % 5) || (b.at.y % 5))) continue;
    if (!DirectionAllowed(a.at, b.at, episode)) continue;
    Poly s1, s2;
    if (!Split(p, a, b, s1, s2)) continue;
    if (std::llabs(Area2(s1)) < 2 * plan.minArea || std::llabs(Area2(s2)) < 2 * plan.minArea) continue;
    if (!PieceRuleBroken(s1).empty() || !PieceRuleBroken(s2).empty()) continue;
    if (MinWidth(s1) < plan.minWidth || MinWidth(s2) < plan.minWidth) continue;
    std::vector<Poly> next = pieces;
    next[idx] = s1;
    next.push_back(s2);
    if (!VertexRuleBroken(next).empty()) continue;
    pieces = next;
  }
  // Mix the order so that neighbours in the file are not neighbours in the square.
  std::shuffle(pieces.begin(), pieces.end(), rng);
  out = pieces;
  return true;
}

int MedTimeFor(int level, const std::vector<Poly>& pieces, std::mt19937& rng) {
  // Reference time grows with the number of pieces and the share of slanted edges.
  int slanted = 0, edges = 0;
  for (const Poly& p : pieces)
    for (size_t i = 0; i < p.size(); ++i) {
      const Pt& a = p[i];
      const Pt& b = p[(i + 1) % p.size()];
      ++edges;
      if (a.x != b.x && a.y != b.y) ++slanted;
    }
  double t = level / 99.0;
  double base = 30 + 650 * std::pow(t, 1.8);
  double n = double(pieces.size());
  base *= 0.8 + 0.05 * n + 0.3 * double(slanted) / double(edges);
  std::uniform_real_distribution<double> jitter(0.9, 1.1);
  return std::max(20, int(std::lround(base * jitter(rng))));
}

Level ToLevel(int number, int medTime, const std::vector<Poly>& pieces) {
  Level l;
  l.number = number;
  l.medTime = medTime;
  for (const Poly& p : pieces) {
    Piece pc;
    pc.pos = BestPosition(p);
    for (const Pt& q : p) pc.offsets.push_back({q.x - pc.pos.x, q.y - pc.pos.y});
    l.pieces.push_back(pc);
  }
  return l;
}

std::vector<Poly> Absolute(const Level& l) {
  std::vector<Poly> r;
  for (const Piece& pc : l.pieces) {
    Poly p;
    for (const Pt& o : pc.offsets) p.push_back({pc.pos.x + o.x, pc.pos.y + o.y});
    r.push_back(p);
  }
  return r;
}

std::string Signature(const Level& l) {
  std::vector<std::string> parts;
  for (const Poly& p : Absolute(l)) {
    Poly q = p;
    std::rotate(q.begin(), std::min_element(q.begin(), q.end(), [](Pt a, Pt b) { return a.x != b.x ? a.x < b.x : a.y < b.y; }), q.end());
    std::string s;
    for (const Pt& v : q) s += std::to_string(v.x) + "," + std::to_string(v.y) + ";";
    parts.push_back(s);
  }
  std::sort(parts.begin(), parts.end());
  std::string r;
  for (auto& s : parts) r += s + "|";
  return r;
}

void WriteFiles(const std::string& dir, const std::vector<Level>& all) {
  for (const FileRange& f : kFiles) {
    std::ofstream out(dir + "/" + f.name, std::ios::binary);
    out << "; Tangrel 2.0 levels " << f.first << " to " << f.last << ", made by tools/levels\r\n";
    for (int n = f.first; n <= f.last; ++n) {
      const Level& l = all[n];
      out << "\r\n[level" << n << "]\r\n";
      out << "NumFig=" << l.pieces.size() << "\r\n";
      out << "MedTime=" << l.medTime << "\r\n";
      for (size_t j = 0; j < l.pieces.size(); ++j) {
        const Piece& pc = l.pieces[j];
        out << "Tip" << j + 1 << "=" << pc.offsets.size() << "\r\n";
        for (size_t i = 0; i < pc.offsets.size(); ++i) {
          out << "Form_" << j + 1 << "_" << i + 1 << "_X=" << pc.offsets[i].x << "\r\n";
          out << "Form_" << j + 1 << "_" << i + 1 << "_Y=" << pc.offsets[i].y << "\r\n";
        }
        out << "Form_" << j + 1 << "_X=" << pc.pos.x << "\r\n";
        out << "Form_" << j + 1 << "_Y=" << pc.pos.y << "\r\n";
      }
    }
  }
}

// --- reading back (a strict reader: the files are ours) ---------------------

bool ReadFiles(const std::string& dir, std::vector<Level>& all, std::string& err) {
  all.assign(100, Level{});
  std::vector<bool> seen(100, false);
  for (const FileRange& f : kFiles) {
    std::ifstream in(dir + "/" + f.name);
    if (!in) {
      err = std::string("missing ") + f.name;
      return false;
    }
    std::map<int, std::map<std::string, long>> sections;
    std::string line;
    int cur = -1;
    while (std::getline(in, line)) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (line.empty() || line[0] == ';') continue;
      if (line[0] == '[') {
        if (line.rfind("[level", 0) != 0 || line.back() != ']') {
          err = std::string(f.name) + ": bad section " + line;
          return false;
        }
        cur = std::atoi(line.substr(6).c_str());
        continue;
      }
      auto eq = line.find('=');
      if (eq == std::string::npos || cur < 0) {
        err = std::string(f.name) + ": bad line " + line;
        return false;
      }
      sections[cur][line.substr(0, eq)] = std::strtol(line.c_str() + eq + 1, nullptr, 10);
    }
    for (auto& [n, keys] : sections) {
      if (n < f.first || n > f.last) {
        err = std::string(f.name) + ": level " + std::to_string(n) + " is outside the file's range";
        return false;
      }
      Level l;
      l.number = n;
      l.medTime = int(keys["MedTime"]);
      long nf = keys["NumFig"];
      for (long j = 1; j <= nf; ++j) {
        Piece pc;
        std::string pj = "Form_" + std::to_string(j);
        long tip = keys["Tip" + std::to_string(j)];
        for (long i = 1; i <= tip; ++i)
          pc.offsets.push_back({keys[pj + "_" + std::to_string(i) + "_X"], keys[pj + "_" + std::to_string(i) + "_Y"]});
        pc.pos = {keys[pj + "_X"], keys[pj + "_Y"]};
        l.pieces.push_back(pc);
      }
      all[n] = l;
      seen[n] = true;
    }
  }
  for (int n = 0; n < 100; ++n)
    if (!seen[n]) {
      err = "level " + std::to_string(n) + " has no section";
      return false;
    }
  return true;
}

int Rating(int medTime) { return medTime < 70 ? 0 : medTime <= 400 ? 1 : 2; }

int Validate(const std::string& dir, bool quiet) {
  std::vector<Level> all;
  std::string err;
  if (!ReadFiles(dir, all, err)) {
    std::fprintf(stderr, "levels: %s\n", err.c_str());
    return 1;
  }
  int failures = 0;
  std::set<std::string> signatures;
  int ratings[3] = {0, 0, 0};
  for (const Level& l : all) {
    std::vector<Poly> abs = Absolute(l);
    std::string why;
    if (l.pieces.empty() || l.pieces.size() > 12) why = "piece count";
    for (size_t j = 0; j < l.pieces.size() && why.empty(); ++j) {
      const Piece& pc = l.pieces[j];
      for (const Pt& o : pc.offsets)
        if (std::hypot(double(o.x), double(o.y)) > kMaxReach) why = "piece " + std::to_string(j + 1) + " reaches too far";
      if (why.empty()) {
        std::string r = PieceRuleBroken(abs[j]);
        if (!r.empty()) why = "piece " + std::to_string(j + 1) + ": " + r;
      }
    }
    if (why.empty()) why = CoverRuleBroken(abs);
    if (why.empty()) why = VertexRuleBroken(abs);
    if (why.empty() && !CompletionRuleHolds(abs)) why = "a corner has no partner";
    if (why.empty() && !signatures.insert(Signature(l)).second) why = "same as an earlier level";
    if (!why.empty()) {
      std::fprintf(stderr, "level %d: %s\n", l.number, why.c_str());
      ++failures;
    }
    ++ratings[Rating(l.medTime)];
    if (!quiet)
      std::printf("level %2d  pieces %2zu  MedTime %4d  rating %s\n", l.number, l.pieces.size(), l.medTime,
                  Rating(l.medTime) == 0 ? "green" : Rating(l.medTime) == 1 ? "gold" : "red");
  }
  std::printf("%d levels checked, %d failed; ratings: %d green, %d gold, %d red\n", 100, failures, ratings[0],
              ratings[1], ratings[2]);
  return failures ? 1 : 0;
}

int Generate(const std::string& dir) {
  std::vector<Level> all;
  std::set<std::string> signatures;
  for (int n = 0; n < 100; ++n) {
    for (uint32_t attempt = 0;; ++attempt) {
      std::mt19937 rng(0x7A6E6700u + uint32_t(n) * 7919u + attempt * 104729u);
      std::vector<Poly> pieces;
      if (!GenerateDissection(n, rng, pieces)) continue;
      Level l = ToLevel(n, MedTimeFor(n, pieces, rng), pieces);
      if (!signatures.insert(Signature(l)).second) continue;
      all.push_back(l);
      break;
    }
  }
  WriteFiles(dir, all);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "generate") return Generate(argv[2]);
  if (argc >= 3 && std::string(argv[1]) == "validate") return Validate(argv[2], argc > 3 && std::string(argv[3]) == "-q");
  std::fprintf(stderr, "usage: levels-tool generate DIR | levels-tool validate DIR [-q]\n");
  return 2;
}
