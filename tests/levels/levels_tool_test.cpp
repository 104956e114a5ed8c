// The level tool: the floors and rules a level keeps, the solver, the families, the order
// in which a level's pieces are written and the level sheet.
#include <gtest/gtest.h>

#include <set>

#include "classics.h"
#include "families.h"
#include "levelio.h"
#include "model.h"
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
