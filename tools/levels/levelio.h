// Writing the four level files, and reading them back through the game's own INI reader.
#pragma once
#include <string>
#include <vector>

#include "geometry.h"

namespace levels {

struct FileLevel {
  Level level;
  std::string comment;  // the level's comment line: family and what the level is
};

// How far the pieces, each turned any way at the spot where the game lays it out when the level
// starts, reach under the panels at the screen's bottom corners or over its top (in px, summed).
double HiddenReach(const std::vector<Poly>& pieces);
// Orders the pieces so that the biggest wait at the roomiest spots: as little hidden as can be.
std::vector<Poly> ArrangeForScatter(std::vector<Poly> pieces);

Level ToLevel(int number, int medTime, const std::vector<Poly>& pieces);
std::vector<Poly> Absolute(const Level& l);

// Writes Episode0.dat .. Episode90.dat into dir (all 100 levels, in order).
bool WriteFiles(const std::string& dir, const std::vector<FileLevel>& all, std::string& err);
// Reads all 100 sections the way the game does; err names the first missing file or section.
bool ReadFiles(const std::string& dir, std::vector<FileLevel>& all, std::string& err);

}  // namespace levels
