// The level sheet: every level's solution in one PNG, with its number, family and star.
#pragma once
#include <string>
#include <vector>

#include "geometry.h"

namespace levels {

struct SheetLevel {
  int number;
  std::string family;
  int rating;  // 0 green, 1 gold, 2 red
  int medTime;
  std::vector<Poly> pieces;  // in solution place
};

bool WriteLevelSheet(const std::string& path, const std::vector<SheetLevel>& levels, std::string& err);

}  // namespace levels
