// The time of day and the random numbers of the desktop platforms (SDL, Win32), from what
// each system's own clock gives.
#pragma once
#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <random>

namespace plat {

// A local time as a fraction of the day, 0 <= t < 1. A leap second counts as the 59th.
inline double DayFraction(int hour, int minute, int second, int millisecond) {
  const double s = hour * 3600.0 + minute * 60.0 + std::min(second, 59) + millisecond / 1000.0;
  const double t = s / 86400.0;
  return t < 1.0 ? t : 0.0;
}

// The random numbers: the same sequence at every start until Seed is called.
class RandomSource {
 public:
  void Seed(std::initializer_list<uint32_t> values) {
    std::seed_seq seq(values);
    rng_.seed(seq);
  }
  // A uniform whole number 0 .. n-1; 0 when n is 1 or less.
  int Below(int n) {
    if (n <= 1) return 0;
    return std::uniform_int_distribution<int>(0, n - 1)(rng_);
  }

 private:
  std::mt19937 rng_{5489u};
};

}  // namespace plat
