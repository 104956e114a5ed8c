// The level tool: the floors and rules a level keeps, the solver, the families, the order
// in which a level's pieces are written and the level sheet.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <tuple>

#include "classics.h"
#include "families.h"
#include "levelio.h"
#include "model.h"
#include "repeats.h"
#include "rules.h"
#include "sheet.h"
#include "solver.h"
#include "testkit/testkit.h"
#include "toolkit.h"

using namespace levels;

namespace {

Poly Rect(int x, int y, int w, int h) { return {{x, y}, {x + w, y}, {x + w, y + h}, {x, y + h}}; }

Poly Shifted(Poly p, int dx, int dy) {
  for (Pt& q : p) q.x += dx, q.y += dy;
  return p;
}

std::vector<Poly> Tangram() {
  std::vector<Poly> r;
  const Classic& c = kClassics[0];
  for (int j = 0; j < c.count; ++j) {
    Poly p;
    for (int i = 0; i < c.pieces[j].n; ++i) p.push_back({kSlotLeft + c.pieces[j].xy[i][0], kSlotTop + c.pieces[j].xy[i][1]});
    r.push_back(p);
  }
  return r;
}

// The piece turned by `degrees` about (cx, cy), corners rounded to whole pixels as a level file keeps them.
Poly Turned(const Poly& p, double degrees, double cx = 400, double cy = 200) {
  const double c = std::cos(degrees * M_PI / 180), s = std::sin(degrees * M_PI / 180);
  Poly r;
  for (const Pt& q : p) {
    double x = double(q.x) - cx, y = double(q.y) - cy;
    r.push_back({std::llround(cx + c * x - s * y), std::llround(cy + s * x + c * y)});
  }
  return r;
}

Poly MirroredPiece(Poly p) {
  for (Pt& q : p) q.x = -q.x;
  return p;
}

FileLevel Numbered(int n, std::vector<Poly> pieces, std::string comment = "") {
  return {ToLevel(n, 0, pieces), std::move(comment)};
}

}  // namespace

TEST(LevelFloors, ThinSmallOrCrowdedPiecesFailAndAFairOnePasses) {
  EXPECT_EQ(FloorBroken(Rect(0, 0, 100, 60)), "");
  EXPECT_NE(FloorBroken(Poly{{0, 0}, {200, 0}, {200, 40}}), "");   // an 11 degree corner
  EXPECT_NE(FloorBroken(Rect(0, 0, 200, 25)), "");                  // narrower than 30 px
  EXPECT_NE(FloorBroken(Rect(0, 0, 29, 29)), "");                   // too small to grab
  EXPECT_NE(FloorBroken(Poly{{0, 0}, {100, 0}, {100, 100}, {10, 100}, {0, 90}}), "");  // corners 14 px apart
  // A strip passes the width floor but not the fatness floor.
  EXPECT_NE(FloorBroken(Rect(0, 0, 240, 32)).find("fatness"), std::string::npos);
}

TEST(LevelRules, ExactCoverAndTheCornerRule) {
  std::vector<Poly> halves{Rect(300, 100, 100, 200), Rect(400, 100, 100, 200)};
  EXPECT_EQ(DesignBroken(halves, false), "");
  std::vector<Poly> gap{Rect(300, 100, 100, 200), Rect(410, 100, 90, 200)};
  EXPECT_NE(DesignBroken(gap, false), "");
  std::vector<Poly> overlap{Rect(300, 100, 110, 200), Rect(400, 100, 100, 200)};
  EXPECT_NE(DesignBroken(overlap, false), "");
  // A corner alone in the middle of another piece's edge has no partner.
  std::vector<Poly> tee{Rect(300, 100, 200, 100), Rect(300, 200, 120, 100), Rect(420, 200, 80, 100)};
  EXPECT_EQ(DesignBroken(tee, false), "");  // both lower pieces share the corner on the edge
  // The tangram breaks no floor; its two big triangles are alike, as published.
  EXPECT_EQ(DesignBroken(Tangram(), true), "");
}

TEST(LevelRules, ShapesAreTheSameUnderTurnsAndPlacesButNotMirrors) {
  Poly p{{0, 0}, {120, 0}, {60, 70}, {0, 70}};
  Poly turned{{0, 0}, {0, 120}, {-70, 60}, {-70, 0}};  // a quarter turn
  Poly mirrored{{0, 0}, {-120, 0}, {-60, 70}, {0, 70}};
  EXPECT_EQ(ShapeOf(p), ShapeOf(Shifted(turned, 333, 44)));
  EXPECT_FALSE(ShapeOf(p) == ShapeOf(mirrored));
  EXPECT_EQ(LevelSignature({p, Rect(0, 0, 50, 60)}), LevelSignature({Rect(5, 5, 60, 50), Shifted(turned, 1, 2)}));
  EXPECT_NE(LevelSignature({p}), LevelSignature({mirrored}));
}

TEST(LevelRules, LookAlikesAndNearTwins) {
  EXPECT_TRUE(LookAlike(Rect(0, 0, 60, 65), Rect(0, 0, 65, 70)));
  EXPECT_FALSE(LookAlike(Rect(0, 0, 60, 65), Rect(0, 0, 60, 65)));  // the same shape
  EXPECT_FALSE(LookAlike(Rect(0, 0, 60, 65), Rect(0, 0, 60, 130)));  // twice the size
  EXPECT_FALSE(LookAlike(Rect(0, 0, 60, 60), Poly{{0, 0}, {60, 0}, {0, 60}}));
  EXPECT_TRUE(NearTwins(Rect(0, 0, 100, 100), Rect(0, 0, 100, 103)));
  EXPECT_FALSE(NearTwins(Rect(0, 0, 100, 100), Rect(0, 0, 100, 110)));
  EXPECT_FALSE(NearTwins(Rect(0, 0, 100, 100), Rect(9, 9, 100, 100)));
}

TEST(Solver, FindsTheTangramFromItsShapesAlone) {
  std::vector<Poly> shapes;
  // Each piece handed over around a point of its own, far from its place in the square.
  for (const Poly& p : Tangram()) shapes.push_back(Shifted(p, -p[0].x + 7, -p[0].y - 3));
  SolveResult r = Solve(shapes);
  EXPECT_TRUE(r.found);
  EXPECT_GE(r.coverings, 1);
  EXPECT_GT(r.nodes, 0);
  EXPECT_LE(r.nodesToFirst, r.nodes);
  EXPECT_EQ(r.classes, 5);  // two pairs of alike triangles
}

TEST(Solver, TurnsPiecesHomeAndCountsCoveringsUpToTheSquaresSymmetry) {
  // Two half-square triangles handed over a quarter turn and an eighth turn away from home.
  Poly a{{0, 0}, {0, 200}, {-200, 200}};
  Poly b{{0, 0}, {141, 141}, {0, 283}};  // (0,0) (200,0) (200,200) turned 45 degrees, rounded
  SolveResult r = Solve({a, b});
  EXPECT_TRUE(r.found);
  EXPECT_EQ(r.coverings, 1);  // both diagonals are one covering turned
  // A long half and two squares: the half lies along any side, all one covering turned.
  r = Solve({Rect(0, 0, 100, 200), Rect(0, 0, 100, 100), Rect(0, 0, 100, 100)});
  EXPECT_TRUE(r.found);
  EXPECT_EQ(r.coverings, 1);
  EXPECT_EQ(r.classes, 2);
  // Four different strips 50 px wide side by side: 24 orders, each the mirror of another.
  r = Solve({Rect(0, 0, 40, 200), Rect(0, 0, 50, 200), Rect(0, 0, 50, 200), Rect(0, 0, 60, 200)});
  EXPECT_TRUE(r.found);
  EXPECT_EQ(r.coverings, 6);  // 4!/2 arrangements of 40, 50, 50, 60, halved by the mirror
}

TEST(Solver, ReportsWhenNothingCoversAndStopsAtItsLimits) {
  EXPECT_FALSE(Solve({Rect(0, 0, 100, 200), Rect(0, 0, 90, 200)}).found);    // too small
  EXPECT_FALSE(Solve({Rect(0, 0, 100, 200), Rect(0, 0, 70, 200), Rect(0, 0, 30, 30)}).found);
  // The right area, but no way to fit: the long half leaves 100 px, too narrow for the square.
  EXPECT_FALSE(Solve({Rect(0, 0, 110, 110), Rect(0, 0, 100, 200), Rect(0, 0, 100, 79)}).found);
  SolveLimits lim;
  lim.maxCoverings = 2;
  SolveResult r = Solve({Rect(0, 0, 40, 200), Rect(0, 0, 50, 200), Rect(0, 0, 50, 200), Rect(0, 0, 60, 200)}, lim);
  EXPECT_EQ(r.coverings, 2);
  EXPECT_TRUE(r.coveringsCapped);
  lim = {};
  lim.maxNodes = 3;
  r = Solve(Tangram(), lim);
  EXPECT_LE(r.nodes, 3);
  EXPECT_TRUE(r.coveringsCapped);
}

TEST(Solver, PieceOrderDoesNotChangeTheEffort) {
  std::vector<Poly> t = Tangram();
  SolveResult a = Solve(t);
  std::reverse(t.begin(), t.end());
  SolveResult b = Solve(t);
  EXPECT_EQ(a.nodes, b.nodes);
  EXPECT_EQ(a.coverings, b.coverings);
}

TEST(DifficultyModel, MorePiecesAndMoreSearchTakeLonger) {
  SolveResult easy, hard;
  easy.found = hard.found = true;
  easy.nodes = 10;
  hard.nodes = 10000;
  std::vector<Poly> two{Rect(300, 100, 100, 200), Rect(400, 100, 100, 200)};
  EXPECT_LT(Rate(two, easy).medTime, Rate(two, hard).medTime);
  EXPECT_LT(Rate(two, easy).medTime, Rate(Tangram(), easy).medTime);
  // A square looks the same after a quarter turn: it needs fewer turning steps than a rectangle.
  EXPECT_EQ(DistinctTurns(Rect(0, 0, 50, 50)), 6);
  EXPECT_EQ(DistinctTurns(Rect(0, 0, 50, 60)), 12);
  EXPECT_EQ(DistinctTurns(Poly{{0, 0}, {70, 0}, {0, 50}}), 24);
}

TEST(ScatterOrder, TheBiggestPiecesWaitWhereThereIsMostRoom) {
  std::vector<Poly> ps{Rect(0, 0, 40, 40), Rect(0, 0, 150, 150), Rect(0, 0, 60, 60), Rect(0, 0, 45, 45),
                       Rect(0, 0, 100, 100), Rect(0, 0, 30, 90), Rect(0, 0, 70, 70)};
  std::vector<Poly> arranged = ArrangeForScatter(ps);
  ASSERT_EQ(arranged.size(), ps.size());
  EXPECT_LE(HiddenReach(arranged), HiddenReach(ps));
  // With seven pieces the fourth row (pieces 7) sits just above the counters box: the smallest waits there.
  EXPECT_EQ(arranged[6], Rect(0, 0, 40, 40));
  EXPECT_EQ(LevelSignature(arranged), LevelSignature(ps));
}

TEST(Families, GeneratedDesignsKeepTheirFamilysRules) {
  for (const Design& d : FirstSteps()) {
    SCOPED_TRACE(d.note);
    EXPECT_EQ(DesignBroken(d.pieces, false), "");
    EXPECT_GE(d.pieces.size(), 3u);
    EXPECT_LE(d.pieces.size(), 5u);
    for (const Poly& p : d.pieces)
      for (const Pt& q : p) EXPECT_TRUE((q.x - kSlotLeft) % 50 == 0 && (q.y - kSlotTop) % 50 == 0);
  }
  for (const Design& d : FifteenDegrees()) {
    SCOPED_TRACE(d.note);
    EXPECT_EQ(DesignBroken(d.pieces, false), "");
    EXPECT_TRUE(EdgesOnFifteen(d.pieces));
  }
  // Symmetric designs: the cut pattern maps onto itself under a quarter turn, a half turn or a mirror.
  auto patternKey = [](const std::vector<Poly>& ps, int sym) {
    std::set<std::vector<std::pair<int64_t, int64_t>>> k;
    for (const Poly& p : ps) {
      std::vector<std::pair<int64_t, int64_t>> c;
      for (const Pt& q : p) {
        int64_t x = q.x - 400, y = q.y - 200;
        if (sym == 1) std::swap(x, y), x = -x;                     // quarter turn
        if (sym == 2) x = -x, y = -y;                               // half turn
        if (sym == 3) x = -x;                                       // mirror left to right
        if (sym == 4) std::swap(x, y);                              // mirror across the diagonal
        c.push_back({x, y});
      }
      std::sort(c.begin(), c.end());
      k.insert(c);
    }
    return k;
  };
  for (const Design& d : MirrorAndTurn()) {
    SCOPED_TRACE(d.note);
    EXPECT_EQ(DesignBroken(d.pieces, false), "");
    bool symmetric = false;
    for (int sym = 1; sym <= 4; ++sym) symmetric = symmetric || patternKey(d.pieces, sym) == patternKey(d.pieces, 0);
    EXPECT_TRUE(symmetric);
  }
}

TEST(LevelSheet, DrawsATileALevelWithItsCaptionsIntoAnRgbPng) {
  testkit::ScratchFolder scratch;
  ASSERT_TRUE(scratch.Enter("sheet"));
  std::vector<SheetLevel> ls;
  for (int k = 0; k < 3; ++k) ls.push_back({k, "tangram", k, 30 + k, Tangram()});
  std::string err;
  ASSERT_TRUE(WriteLevelSheet("sheet.png", ls, err)) << err;
  const TPicture pic = toolkit::ReadPNG("sheet.png");
  ASSERT_EQ(pic.Width, 2400);  // ten tiles of 240 a row
  ASSERT_EQ(pic.Height, 262);
  auto at = [&](int x, int y) { return pic.Pixels[size_t(y) * 2400 + size_t(x)]; };
  auto any = [&](int x0, int y0, int x1, int y1, auto pred) {
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x)
        if (pred(at(x, y))) return true;
    return false;
  };
  auto whiteish = [](uint32_t c) { return (c >> 16 & 0xFF) > 200 && (c >> 8 & 0xFF) > 200 && (c & 0xFF) > 200; };
  for (int k = 0; k < 3; ++k) {
    const int tx = 240 * k;
    EXPECT_EQ(at(tx + 5, 5), 0x2A2A2Au) << k;              // the sheet's ground
    EXPECT_NE(at(tx + 120, 150), 0x2A2A2Au) << k;          // the square holds the pieces
    EXPECT_TRUE(any(tx + 44, 8, tx + 80, 32, whiteish)) << k;  // the level's number
    EXPECT_TRUE(any(tx + 88, 8, tx + 230, 26, [](uint32_t c) { return c == 0xE8E0C8u; })) << k;  // the family
  }
  EXPECT_FALSE(any(720, 0, 2400, 262, [](uint32_t c) { return c != 0x2A2A2Au; }));  // no fourth level
  EXPECT_FALSE(WriteLevelSheet("no such folder/sheet.png", ls, err));
  EXPECT_NE(err.find("no such folder/sheet.png"), std::string::npos) << err;
}

TEST(PieceSets, TheSameSetTurnedShuffledAndMovedIsTheSamePuzzle) {
  std::vector<Poly> t = Tangram();
  // Every piece turned its own way (by steps of 15 degrees and by any angle at all), rounded to
  // whole pixels, moved, and the order shuffled.
  std::vector<Poly> other;
  const double turns[] = {15, 90, 37, 180, 255, 300, 0};
  for (size_t j = 0; j < t.size(); ++j) other.push_back(Shifted(Turned(t[j], turns[j]), int(j) * 40 - 90, 17));
  std::rotate(other.begin(), other.begin() + 3, other.end());
  std::swap(other[0], other[5]);
  EXPECT_EQ(CompareSets(t, other), SetRepeat::Turned);
  EXPECT_EQ(CompareSets(other, t), SetRepeat::Turned);
  // The corners of a piece may be listed from any corner and either way round.
  Poly back = t[3];
  std::reverse(back.begin(), back.end());
  std::rotate(back.begin(), back.begin() + 1, back.end());
  EXPECT_TRUE(SameForm(FormOf(t[3]), FormOf(back)));
}

TEST(PieceSets, AMirroredSetIsTheSameOnlyInTheMirrorCheck) {
  // The tangram's parallelogram has no mirror of its own: the mirrored tangram is another set,
  // but its mirror image is the tangram.
  std::vector<Poly> t = Tangram(), m;
  for (const Poly& p : t) m.push_back(Shifted(MirroredPiece(p), 900, 0));
  EXPECT_EQ(CompareSets(t, m), SetRepeat::Mirrored);
  EXPECT_FALSE(SameForm(FormOf(t[4]), FormOf(m[4])));
  EXPECT_TRUE(SameForm(FormOf(t[4]), MirrorForm(FormOf(m[4]))));
  // Also when the mirrored set is turned as well (a mirror across a slanted line), each piece its own way.
  std::vector<Poly> mt;
  for (size_t j = 0; j < m.size(); ++j) mt.push_back(Turned(m[j], 45.0 * double(j)));
  EXPECT_EQ(CompareSets(mt, t), SetRepeat::Mirrored);
  // Two pieces without a mirror of their own, one of them turned over: not the mirrored set, but
  // the same pieces once one is flipped.
  Poly slanted = t[4], scalene{{0, 0}, {160, 0}, {0, 120}};
  std::vector<Poly> two{slanted, scalene}, flipped{MirroredPiece(scalene), slanted};
  EXPECT_EQ(CompareSets(two, flipped), SetRepeat::PartlyMirrored);
  EXPECT_EQ(CompareSets(two, {MirroredPiece(scalene), MirroredPiece(slanted)}), SetRepeat::Mirrored);
  // Pieces that are their own mirror images (rectangles, the right isosceles triangles) make a
  // mirrored set that is simply the same set.
  std::vector<Poly> plain{Rect(300, 100, 120, 200), Rect(420, 100, 80, 200)};
  EXPECT_EQ(CompareSets(plain, {MirroredPiece(plain[1]), MirroredPiece(plain[0])}), SetRepeat::Turned);
  // A 3-4-5 triangle is not its own mirror image.
  EXPECT_FALSE(SameForm(FormOf(scalene), FormOf(MirroredPiece(scalene))));
  EXPECT_TRUE(SameForm(FormOf(scalene), MirrorForm(FormOf(MirroredPiece(scalene)))));
}

TEST(PieceSets, ANearMissOrAnotherCountIsAnotherPuzzle) {
  std::vector<Poly> t = Tangram();
  // One corner of the square piece five pixels off (its edges 3.5 px longer or shorter): more
  // than rounding can do.
  std::vector<Poly> near = t;
  near[3][1].x += 5;
  EXPECT_EQ(CompareSets(t, near), SetRepeat::None);
  // One piece three pixels longer and wider.
  std::vector<Poly> a{Rect(0, 0, 100, 60), Rect(0, 0, 70, 70)}, b{Rect(0, 0, 103, 63), Rect(0, 0, 70, 70)};
  EXPECT_EQ(CompareSets(a, b), SetRepeat::None);
  // Two pixels, as two roundings of one outline can differ, is the same.
  std::vector<Poly> c{Rect(5, 5, 102, 62), Rect(0, 0, 70, 71)};
  EXPECT_EQ(CompareSets(a, c), SetRepeat::Turned);
  // The worst two roundings can do: each corner half a pixel off in x and y, the other way in
  // the other drawing.
  Poly lo{{0, 0}, {120, 0}, {0, 90}}, hi{{-1, -1}, {121, -1}, {-1, 91}};
  EXPECT_TRUE(SameForm(FormOf(lo), FormOf(hi)));
  // The same shapes in other numbers: two A and one B is not one A and two B, nor two A.
  Poly pa = Rect(0, 0, 100, 60), pb{{0, 0}, {90, 0}, {0, 70}};
  EXPECT_EQ(CompareSets({pa, pa, pb}, {pa, pb, pb}), SetRepeat::None);
  EXPECT_EQ(CompareSets({pa, pa, pb}, {pa, pa}), SetRepeat::None);
  EXPECT_EQ(CompareSets({pa, pb, pa}, {pb, pa, Shifted(pa, 3, 3)}), SetRepeat::Turned);
  // The same corner distances in another winding order is no match without the mirror.
  EXPECT_NE(CompareSets({pb}, {MirroredPiece(pb)}), SetRepeat::Turned);
}

TEST(PieceSets, RepeatsAreReportedByLevelNumberAndOnlyDeclaredMirrorsAreExcused) {
  std::vector<Poly> t = Tangram(), m, turned;
  for (const Poly& p : t) m.push_back(Shifted(MirroredPiece(p), 800, 0)), turned.push_back(Turned(p, 90));
  std::vector<Poly> halves{Rect(300, 100, 100, 200), Rect(400, 100, 100, 200)};
  std::vector<Poly> thirds{Rect(300, 100, 200, 70), Rect(300, 170, 200, 60), Rect(300, 230, 200, 70)};
  std::vector<FileLevel> all{Numbered(0, t),         Numbered(1, halves),
                             Numbered(2, m, "Tangram, the mirror image of level 0"),
                             Numbered(3, turned, "the mirror image of level 0"),  // a turned repeat is never excused
                             Numbered(4, m),  // the undeclared mirror of 0 and 3, and the same set as 2
                             Numbered(5, thirds)};
  std::vector<Repeat> r = FindRepeats(all);
  ASSERT_EQ(r.size(), 6u);
  using Seen = std::tuple<int, int, SetRepeat, bool>;  // level, earlier, kind, excused
  std::vector<Seen> seen;
  for (const Repeat& x : r) seen.emplace_back(x.level, x.earlier, x.kind, x.excused);
  EXPECT_EQ(seen, (std::vector<Seen>{{2, 0, SetRepeat::Mirrored, true},
                                     {3, 0, SetRepeat::Turned, false},
                                     {3, 2, SetRepeat::Mirrored, false},
                                     {4, 0, SetRepeat::Mirrored, false},
                                     {4, 2, SetRepeat::Turned, false},
                                     {4, 3, SetRepeat::Mirrored, false}}));
  EXPECT_EQ(Describe(r[1]), "the same pieces as level 0");
  EXPECT_EQ(Describe(r[0]), "the mirror images of the pieces of level 0");
  EXPECT_EQ(Describe({35, 34, SetRepeat::PartlyMirrored, false}), "the pieces of level 34, some of them turned over");
}

TEST(PieceSets, AtMostTwoMirrorPairsAreExcusedAndLevel49IsLeftToItsOwnCheck) {
  std::vector<FileLevel> all;
  for (int k = 0; k < 3; ++k) {
    // Three chiral sets, each followed by its declared mirror image.
    std::vector<Poly> base{Rect(300, 100, 200, 60 + 10 * k), Rect(300, 160 + 10 * k, 200, 140 - 10 * k),
                           Poly{{0, 0}, {90 + 10 * k, 0}, {0, 70}}};
    all.push_back(Numbered(2 * k, base));
    std::vector<Poly> mirrored;
    for (const Poly& p : base) mirrored.push_back(MirroredPiece(p));
    all.push_back(Numbered(2 * k + 1, mirrored, "the mirror image of level " + std::to_string(2 * k)));
  }
  std::vector<Repeat> r = FindRepeats(all);
  ASSERT_EQ(r.size(), 3u);
  EXPECT_TRUE(r[0].excused);
  EXPECT_TRUE(r[1].excused);
  EXPECT_FALSE(r[2].excused);
  EXPECT_EQ(r[2].level, 5);
  // Level 49 carries a copy of level 5: the pair is not a repeat.
  std::vector<FileLevel> copy{Numbered(5, Tangram()), Numbered(49, Tangram())};
  EXPECT_TRUE(FindRepeats(copy).empty());
  EXPECT_EQ(DeclaredMirrorOf("Classic squares: Tangram, the mirror image of level 20"), 20);
  EXPECT_EQ(DeclaredMirrorOf("Classic squares: Tangram, mirrored"), -1);
}
