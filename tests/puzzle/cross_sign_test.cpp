// The exact cross-product sign behind the hit test and the corner inset: right at the
// extremes of int32 corners, on every compiler (the 32-bit Windows one has no 128-bit type).
#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <random>

#include "puzzle/internal.h"

using puzzle_detail::CrossSign;

TEST(CrossSign, KnownCasesAndTheExtremes) {
  EXPECT_EQ(CrossSign({0, 0}, {10, 0}, {5, 5}), 1);    // below the edge (y down): clockwise side
  EXPECT_EQ(CrossSign({0, 0}, {10, 0}, {5, -5}), -1);
  EXPECT_EQ(CrossSign({0, 0}, {10, 0}, {20, 0}), 0);   // on the line
  EXPECT_EQ(CrossSign({3, 3}, {3, 3}, {9, -4}), 0);    // a repeated corner
  const int32_t lo = INT32_MIN, hi = INT32_MAX;
  // Differences of 2^32 - 1 make products of almost 2^64 that must not wrap.
  EXPECT_EQ(CrossSign({lo, lo}, {hi, lo}, {hi, hi}), 1);
  EXPECT_EQ(CrossSign({lo, lo}, {hi, lo}, {lo, lo + 1}), 1);
  EXPECT_EQ(CrossSign({lo, hi}, {hi, lo}, {hi, hi}), 1);
  EXPECT_EQ(CrossSign({lo, hi}, {hi, lo}, {lo, lo}), -1);
  // Two products equal in their high halves, different by one in the low: (2^32-1)^2 vs
  // (2^32-1)^2 - 1.
  EXPECT_EQ(CrossSign({0, 0}, {hi, 0}, {0, hi}), 1);
  EXPECT_EQ(CrossSign({lo, lo}, {hi, hi}, {hi - 1, hi}), 1);
  EXPECT_EQ(CrossSign({lo, lo}, {hi, hi}, {hi, hi - 1}), -1);
  EXPECT_EQ(CrossSign({lo, lo}, {hi, hi}, {0, 0}), 0);
}

#if defined(__SIZEOF_INT128__)
TEST(CrossSign, AgreesWithWideArithmeticOnRandomCorners) {
  const uint32_t seed = std::random_device{}();
  std::printf("CrossSign seed %u\n", seed);
  std::mt19937 rng(seed);
  std::uniform_int_distribution<int32_t> any(INT32_MIN, INT32_MAX), near(-3, 3);
  for (int i = 0; i < 200000; ++i) {
    const bool small = i % 2 == 0;  // near-collinear small cases hit 0 often
    auto pick = [&] { return small ? near(rng) : any(rng); };
    const TPoint a{pick(), pick()}, b{pick(), pick()}, p{pick(), pick()};
    using Wide = __int128;
    const Wide c = Wide(static_cast<int64_t>(b.X) - a.X) * (static_cast<int64_t>(p.Y) - a.Y) -
                   Wide(static_cast<int64_t>(b.Y) - a.Y) * (static_cast<int64_t>(p.X) - a.X);
    ASSERT_EQ(CrossSign(a, b, p), (c > 0) - (c < 0)) << "seed " << seed << " case " << i;
  }
}
#endif
