// The level tool:
//   levels-tool generate DIR          writes the four level files (the same bytes every run)
//   levels-tool validate DIR [-q] [--sample N]
//                                     checks every rule a level keeps (with the solver on every
//                                     level, or on every Nth with --sample) and prints the catalogue
//   levels-tool solve DIR             solves every level from its pieces alone and reports
//   levels-tool sheet DIR OUT.png     draws every level's solution with number, family and star
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "classics.h"
#include "families.h"
#include "geometry.h"
#include "levelio.h"
#include "model.h"
#include "repeats.h"
#include "puzzle/level_files.h"
#include "rules.h"
#include "sheet.h"
#include "solver.h"

using namespace levels;

namespace {

const char* kStar[] = {"green", "gold", "red"};

// The shapes alone, each around its own position: all the solver is given.
std::vector<Poly> Shapes(const Level& l) {
  std::vector<Poly> r;
  for (const Piece& pc : l.pieces) r.push_back(pc.offsets);
  return r;
}

Difficulty Measure(const std::vector<Poly>& solved) {
  Level l = ToLevel(0, 0, solved);
  return Rate(solved, Solve(Shapes(l)));
}

struct Rated {
  Design design;
  Difficulty diff;
};

std::vector<Rated> RateAll(std::vector<Design> ds, size_t keep) {
  if (ds.size() > keep) ds.resize(keep);
  std::vector<Rated> r;
  for (Design& d : ds) r.push_back({d, Measure(d.pieces)});
  // Rising challenge: the easiest first.
  std::stable_sort(r.begin(), r.end(), [](const Rated& a, const Rated& b) { return a.diff.medTime < b.diff.medTime; });
  return r;
}

std::string Comment(const Rated& r) { return r.design.family + ": " + r.design.note; }

// The classic dissections exactly as published: these alone are excused from the floors.
bool IsClassicAsPublished(const std::vector<Poly>& pieces) {
  for (const Classic& c : kClassics) {
    std::vector<Poly> ps;
    for (int j = 0; j < c.count; ++j) {
      Poly p;
      for (int i = 0; i < c.pieces[j].n; ++i) p.push_back({kSlotLeft + c.pieces[j].xy[i][0], kSlotTop + c.pieces[j].xy[i][1]});
      ps.push_back(p);
    }
    if (ps.size() != pieces.size()) continue;
    auto key = [](std::vector<Poly> v) {
      for (Poly& p : v) std::sort(p.begin(), p.end(), [](Pt a, Pt b) { return a.x != b.x ? a.x < b.x : a.y < b.y; });
      std::sort(v.begin(), v.end(), [](const Poly& a, const Poly& b) {
        return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                            [](Pt x, Pt y) { return x.x != y.x ? x.x < y.x : x.y < y.y; });
      });
      return v;
    };
    if (key(ps) == key(pieces)) return true;
  }
  return false;
}

// The families' designs, one list per episode, and how many of each an episode takes; the rest
// wait in reserve.
constexpr int kEpisodes = 5;
constexpr size_t kTaken[kEpisodes] = {20, 20, 19, 20, 19};

// The lowest and highest reference time of a star.
int StarFloor(int rating) { return rating == 0 ? 0 : rating == 1 ? 70 : 401; }
int StarCeiling(int rating) { return rating == 0 ? 69 : rating == 1 ? 400 : std::numeric_limits<int>::max(); }

// What a design is, without the words on pieces meant alike.
std::string Kind(const std::string& note) { return note.substr(0, note.find(';')); }

// A level whose pieces repeat another level's (turned, mirrored, or with a piece turned over)
// gives its place to a fresh design from its episode's reserve: the first that repeats no level
// and whose reference time keeps the episode's rising order and the level's star, of a kind the
// episode does not have yet (failing that, the closest: order first, then star, then kind). Every other level keeps its number and its bytes, so a player's solved marks still mean
// the puzzles they solved. Of a pair, a classic as published stays and its copy gives way.
bool ReplaceRepeats(std::vector<FileLevel>& all, std::vector<Design>& placed, const std::vector<Design> (&pools)[kEpisodes]) {
  std::set<int> victims;
  for (const Repeat& r : FindRepeats(all)) {
    if (r.excused || victims.count(r.level) || victims.count(r.earlier)) continue;
    int v = r.level;
    if (placed[size_t(v)].asGiven && !placed[size_t(r.earlier)].asGiven) v = r.earlier;
    if (v == PlayedLevel(49)) v = r.level;  // level 49 plays it: it stays
    victims.insert(v);
  }
  std::set<std::pair<int, size_t>> taken;  // (episode, reserve index)
  std::map<std::pair<int, size_t>, Difficulty> rated;
  for (int v : victims) {
    const int e = v / 20, first = 20 * e, last = first + 19;
    auto mt = [&](int n) { return all[size_t(n)].level.medTime; };
    const int star = RatingOf(mt(v));
    int lo = StarFloor(star), hi = StarCeiling(star);
    for (int n = v - 1; n >= first; --n)
      if (n != 49) {
        lo = mt(n);
        break;
      }
    for (int n = v + 1; n <= last; ++n)
      if (n != 49 && !victims.count(n)) {
        hi = mt(n);
        break;
      }
    const std::vector<Design>& pool = pools[e];
    size_t best = pool.size();
    Difficulty bestDiff;
    long bestMiss = std::numeric_limits<long>::max();
    for (size_t k = kTaken[e]; k < pool.size() && bestMiss > 0; ++k) {
      if (taken.count({e, k})) continue;
      bool repeats = false;
      for (const FileLevel& fl : all)
        if (fl.level.number != v && fl.level.number != 49 && CompareSets(Absolute(fl.level), pool[k].pieces) != SetRepeat::None)
          repeats = true;
      if (repeats) continue;
      auto known = rated.find({e, k});
      if (known == rated.end()) known = rated.emplace(std::make_pair(e, k), Measure(pool[k].pieces)).first;
      const Difficulty& d = known->second;
      // Out of the episode's order weighs most, then another star than the level had, then a
      // kind of design the episode has already.
      auto outside = [&](int a, int b) { return d.medTime < a ? long(a) - d.medTime : d.medTime > b ? long(d.medTime) - b : 0; };
      bool seenKind = false;
      for (int n = first; n <= last; ++n)
        if (n != v && Kind(placed[size_t(n)].note) == Kind(pool[k].note)) seenKind = true;
      long miss = 1000000 * outside(lo, hi) + 10 * outside(StarFloor(star), StarCeiling(star)) + (seenKind ? 1 : 0);
      if (miss < bestMiss) best = k, bestDiff = d, bestMiss = miss;
    }
    if (best == pool.size()) {
      std::fprintf(stderr, "levels-tool: no fresh design left for level %d\n", v);
      return false;
    }
    taken.insert({e, best});
    const size_t oldCount = all[size_t(v)].level.pieces.size();
    const int oldTime = mt(v);
    placed[size_t(v)] = pool[best];
    all[size_t(v)] = {ToLevel(v, bestDiff.medTime, ArrangeForScatter(pool[best].pieces)), Comment({pool[best], bestDiff})};
    std::printf("level %d repeated a puzzle: %zu pieces, MedTime %d %s -> %zu pieces, MedTime %d %s%s (%s)\n", v, oldCount,
                oldTime, kStar[RatingOf(oldTime)], pool[best].pieces.size(), bestDiff.medTime, kStar[RatingOf(bestDiff.medTime)],
                bestMiss >= 1000000 ? ", out of the episode's order" : bestMiss >= 10 ? ", another star" : "", pool[best].note.c_str());
  }
  for (const Repeat& r : FindRepeats(all))
    if (!r.excused) {
      std::fprintf(stderr, "levels-tool: level %d: %s\n", r.level, Describe(r).c_str());
      return false;
    }
  return true;
}

int Generate(const std::string& dir) {
  auto t0 = std::chrono::steady_clock::now();
  std::vector<FileLevel> all(static_cast<size_t>(kLevelCount));
  std::vector<Design> placed(static_cast<size_t>(kLevelCount));
  auto put = [&](int n, const Rated& r) {
    all[size_t(n)] = {ToLevel(n, r.diff.medTime, ArrangeForScatter(r.design.pieces)), Comment(r)};
    placed[size_t(n)] = r.design;
  };
  const std::vector<Design> pools[kEpisodes] = {FirstSteps(), ClassicSquares(), MirrorAndTurn(), FifteenDegrees(), Masters()};
  std::vector<Rated> e1 = RateAll(pools[0], kTaken[0]), e2 = RateAll(pools[1], kTaken[1]),
                     e3 = RateAll(pools[2], kTaken[2]), e4 = RateAll(pools[3], kTaken[3]),
                     e5 = RateAll(pools[4], kTaken[4]);
  if (e1.size() < 20 || e2.size() < 20 || e3.size() < 19 || e4.size() < 20 || e5.size() < 19) {
    std::fprintf(stderr, "levels-tool: too few designs (%zu %zu %zu %zu %zu)\n", e1.size(), e2.size(), e3.size(),
                 e4.size(), e5.size());
    return 1;
  }
  // The bench and the memory measure play level 94 as the twelve-piece level.
  auto twelve = std::find_if(e5.begin() + 10, e5.end(), [](const Rated& r) { return r.design.pieces.size() == 12; });
  if (twelve == e5.end()) twelve = std::find_if(e5.begin(), e5.end(), [](const Rated& r) { return r.design.pieces.size() == 12; });
  if (twelve == e5.end()) {
    std::fprintf(stderr, "levels-tool: no twelve-piece master\n");
    return 1;
  }
  // Move it to place 14 of the episode (level 94), the others keep their order.
  const size_t from = size_t(twelve - e5.begin());
  if (from > 14) std::rotate(e5.begin() + 14, e5.begin() + long(from), e5.begin() + long(from) + 1);
  else std::rotate(e5.begin() + long(from), e5.begin() + long(from) + 1, e5.begin() + 15);
  for (int k = 0; k < 20; ++k) put(k, e1[size_t(k)]), put(20 + k, e2[size_t(k)]), put(60 + k, e4[size_t(k)]);
  for (int k = 0, n = 40; k < 19; ++k, ++n) {
    if (n == 49) ++n;
    put(n, e3[size_t(k)]);
  }
  for (int k = 0; k < 19; ++k) put(80 + k, e5[size_t(k)]);
  Rated last;
  last.design = Stomachion();
  last.diff = Measure(last.design.pieces);
  put(99, last);
  // Level 49 plays level 5; its own section is a copy, so that its star tells the truth.
  all[49] = all[5];
  all[49].level.number = 49;
  all[49].comment = "Level 49 plays level 5 (the game reads section level5 for it); this copy gives it level 5's star";
  placed[49] = placed[5];
  if (!ReplaceRepeats(all, placed, pools)) return 1;
  std::string err;
  if (!WriteFiles(dir, all, err)) {
    std::fprintf(stderr, "levels-tool: %s\n", err.c_str());
    return 1;
  }
  double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  std::printf("wrote the four level files to %s in %.1f s\n", dir.c_str(), s);
  return 0;
}

std::string Family(const std::string& comment) {
  size_t c = comment.find(':');
  if (comment.rfind("Level 49", 0) == 0) return "First steps";
  return c == std::string::npos ? comment : comment.substr(0, c);
}

int Validate(const std::string& dir, bool quiet, int sample) {
  std::vector<FileLevel> all;
  std::string err;
  if (!ReadFiles(dir, all, err)) {
    std::fprintf(stderr, "levels: %s\n", err.c_str());
    return 1;
  }
  int failures = 0;
  int ratings[5][3] = {};
  for (const FileLevel& fl : all) {
    const Level& l = fl.level;
    std::vector<Poly> abs = Absolute(l);
    std::string why;
    for (size_t j = 0; j < l.pieces.size() && why.empty(); ++j)
      for (const Pt& o : l.pieces[j].offsets)
        if (std::hypot(double(o.x), double(o.y)) > kMaxReach) why = "piece " + std::to_string(j + 1) + " reaches too far";
    const bool classic = IsClassicAsPublished(abs);
    if (why.empty()) why = DesignBroken(abs, classic);
    const bool copy49 = l.number == 49;
    if (why.empty() && copy49 && LevelSignature(abs) != LevelSignature(Absolute(all[5].level)))
      why = "level 49's section is not the copy of level 5 it plays";
    // Pieces of one level differ unless the level says they are meant alike.
    if (why.empty() && !classic && fl.comment.find("alike") == std::string::npos) {
      std::set<ShapeKey> keys;
      for (const Poly& p : abs) keys.insert(ShapeOf(p));
      if (keys.size() != abs.size()) why = "two pieces of the same shape";
    }
    if (why.empty() && HiddenReach(abs) > HiddenReach(ArrangeForScatter(abs)) + 1e-9)
      why = "the pieces could wait further from the panels in another order";
    if (why.empty() && Family(fl.comment) == "Fifteen degrees" && !EdgesOnFifteen(abs))
      why = "an edge off the fifteen degree steps";
    if (why.empty() && (sample <= 1 || l.number % sample == 0)) {
      Difficulty d = Rate(abs, Solve(Shapes(l)));
      if (!d.solve.found) why = "the solver finds no covering";
      else if (d.medTime != l.medTime)
        why = "MedTime " + std::to_string(l.medTime) + " but the model gives " + std::to_string(d.medTime);
    }
    if (!why.empty()) {
      std::fprintf(stderr, "level %d: %s\n", l.number, why.c_str());
      ++failures;
    }
    ++ratings[l.number / 20][RatingOf(l.medTime)];
    if (!quiet)
      std::printf("level %2d  pieces %2zu  MedTime %4d  %-5s  %s\n", l.number, l.pieces.size(), l.medTime,
                  kStar[RatingOf(l.medTime)], fl.comment.c_str());
  }
  // No puzzle twice: every pair of levels whose piece sets repeat, up to turning or mirroring.
  int mirrorPairs = 0, repeats = 0;
  for (const Repeat& r : FindRepeats(all)) {
    if (r.excused) {
      ++mirrorPairs;
      if (!quiet) std::printf("level %d: %s, as its comment says\n", r.level, Describe(r).c_str());
      continue;
    }
    std::fprintf(stderr, "level %d: %s\n", r.level, Describe(r).c_str());
    ++repeats;
  }
  if (!quiet) std::printf("%d pairs of levels meant as mirror images (at most %d)\n", mirrorPairs, kMirrorPairsAllowed);
  int total[3] = {};
  for (int e = 0; e < 5; ++e) {
    if (!quiet) std::printf("episode %d: %d green, %d gold, %d red\n", e + 1, ratings[e][0], ratings[e][1], ratings[e][2]);
    for (int r = 0; r < 3; ++r) total[r] += ratings[e][r];
  }
  std::printf("%d levels checked, %d failed, %d pairs repeat a puzzle; ratings: %d green, %d gold, %d red\n", kLevelCount,
              failures, repeats, total[0], total[1], total[2]);
  return failures || repeats ? 1 : 0;
}

int SolveAll(const std::string& dir) {
  std::vector<FileLevel> all;
  std::string err;
  if (!ReadFiles(dir, all, err)) {
    std::fprintf(stderr, "levels: %s\n", err.c_str());
    return 1;
  }
  auto t0 = std::chrono::steady_clock::now();
  int unsolved = 0;
  std::printf("level pieces shapes found coverings  to-first     nodes     ms  lookalike turns MedTime family\n");
  for (const FileLevel& fl : all) {
    auto t1 = std::chrono::steady_clock::now();
    Difficulty d = Rate(Absolute(fl.level), Solve(Shapes(fl.level)));
    double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t1).count();
    if (!d.solve.found) ++unsolved;
    std::printf("%5d %6d %6d %5s %4d%-5s %9lld %9lld %6.0f %9d %5.1f %7d %s\n", fl.level.number, d.pieces,
                d.solve.classes, d.solve.found ? "yes" : "NO", d.solve.coverings, d.solve.coveringsCapped ? "+" : "",
                (long long)d.solve.nodesToFirst, (long long)d.solve.nodes, ms, d.lookAlikes, d.turns, d.medTime,
                Family(fl.comment).c_str());
  }
  double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  std::printf("%d of %d levels solved in %.1f s\n", kLevelCount - unsolved, kLevelCount, s);
  return unsolved ? 1 : 0;
}

int Sheet(const std::string& dir, const std::string& out) {
  std::vector<FileLevel> all;
  std::string err;
  if (!ReadFiles(dir, all, err)) {
    std::fprintf(stderr, "levels: %s\n", err.c_str());
    return 1;
  }
  std::vector<SheetLevel> ls;
  for (const FileLevel& fl : all)
    ls.push_back({fl.level.number, Family(fl.comment), int(RatingOf(fl.level.medTime)), fl.level.medTime, Absolute(fl.level)});
  if (!WriteLevelSheet(out, ls, err)) {
    std::fprintf(stderr, "levels-tool: %s\n", err.c_str());
    return 1;
  }
  std::printf("wrote %s\n", out.c_str());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> a(argv + 1, argv + argc);
  if (a.size() == 2 && a[0] == "generate") return Generate(a[1]);
  if (a.size() >= 2 && a[0] == "validate") {
    bool quiet = false;
    int sample = 1;
    for (size_t i = 2; i < a.size(); ++i) {
      if (a[i] == "-q") quiet = true;
      else if (a[i] == "--sample" && i + 1 < a.size()) sample = std::max(1, std::atoi(a[++i].c_str()));
    }
    return Validate(a[1], quiet, sample);
  }
  if (a.size() == 2 && a[0] == "solve") return SolveAll(a[1]);
  if (a.size() == 3 && a[0] == "sheet") return Sheet(a[1], a[2]);
  std::fprintf(stderr,
               "usage: levels-tool generate DIR | validate DIR [-q] [--sample N] | solve DIR | sheet DIR OUT.png\n");
  return 2;
}
