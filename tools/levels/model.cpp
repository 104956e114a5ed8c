#include "model.h"

#include <cmath>

#include "rules.h"

namespace levels {

// The model (README.md explains it):
//   work     = pieces + turns / 12        (six turning steps take about half a piece's time)
//   search   = 1 + b * ln(1 + nodes / pieces)   (how many tries per piece the solver needed)
//   MedTime  = k * work^a * search * (1 + c * look-alike pairs)
namespace {
constexpr double kScale = 0.142;
constexpr double kWorkPower = 2.5;
constexpr double kSearchWeight = 1.0;
constexpr double kPerLookAlike = 0.05;
constexpr double kUnit = 0.864;  // seconds per MedTime unit
}  // namespace

Difficulty Rate(const std::vector<Poly>& pieces, const SolveResult& solve) {
  Difficulty d;
  d.pieces = int(pieces.size());
  d.solve = solve;
  for (size_t i = 0; i < pieces.size(); ++i) {
    for (size_t j = i + 1; j < pieces.size(); ++j) d.lookAlikes += LookAlike(pieces[i], pieces[j]) ? 1 : 0;
    // From a random start the nearest turn that looks right lies a quarter of the piece's
    // period away on average (6 steps for a piece without turning symmetry).
    d.turns += double(DistinctTurns(pieces[i])) / 4.0;
  }
  double work = double(d.pieces) + d.turns / 12.0;
  double search = 1.0 + kSearchWeight * std::log(1.0 + double(solve.nodes) / double(d.pieces));
  double units = kScale * std::pow(work, kWorkPower) * search * (1.0 + kPerLookAlike * d.lookAlikes);
  d.medTime = int(std::lround(units));
  d.seconds = units * kUnit;
  return d;
}

}  // namespace levels
