// No puzzle twice: two levels whose pieces are the same set, each piece turned and moved as the
// player likes, are one puzzle; so are two whose sets are each other's mirror image, or the same
// once some pieces are turned over (a player sees the same pieces, one of them flipped).
#pragma once
#include <string>
#include <vector>

#include "levelio.h"
#include "rules.h"

namespace levels {

// At most this many pairs of levels may be mirror images (whole or in part), and only where the
// later one's comment says so in the words "the mirror image of level N"; a set repeated as it
// is, only turned, is never excused.
constexpr int kMirrorPairsAllowed = 2;

struct Repeat {
  int level = 0;    // the later level
  int earlier = 0;  // the level it repeats
  SetRepeat kind = SetRepeat::None;
  bool excused = false;  // a mirrored pair its comment declares, within the allowance
};

// The level a comment declares itself the mirror image of, or -1.
int DeclaredMirrorOf(const std::string& comment);

// Every pair of levels that repeat each other, by level number, the later level first. Level 49
// plays level 5's pieces (its section is a copy): it is left out, its copy is checked apart.
std::vector<Repeat> FindRepeats(const std::vector<FileLevel>& all);

// One line for the report: "the same pieces as level 23", "the mirror images of the pieces of
// level 20", "the pieces of level 34, some of them turned over".
std::string Describe(const Repeat& r);

}  // namespace levels
