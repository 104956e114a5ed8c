// The level families. Each makes its designs from its own rules (seeded, so the same every run):
//   "First steps"     levels  0..19: a 50 px grid cut straight and at 45 degrees, 3 to 5 pieces
//   "Classic squares" levels 20..39: tangram, Chie no Ita, Bhaskara, Perigal and Dudeney as
//                     published, mirrored, with pieces merged, or re-cut along design lines
//                     (levels-tool generate replaces a design that repeats another level's
//                     pieces, a mirrored one among them, by one from the reserve)
//   "Mirror and turn" levels 40..59: cut patterns that a quarter turn or a mirror maps onto
//                     themselves (level 49 plays level 5 and keeps its copy)
//   "Fifteen degrees" levels 60..79: every edge at a multiple of the game's 15 degree turn
//   "Masters"         levels 80..99: 10 to 12 pieces, several of them look-alikes that are not
//                     the same; the last is Archimedes' Stomachion as published
#pragma once
#include <vector>

#include "geometry.h"

namespace levels {

// Candidate designs of one episode (more than twenty for the generated families; the caller
// rates them and picks), already checked against every rule.
std::vector<Design> FirstSteps();
std::vector<Design> ClassicSquares();
std::vector<Design> MirrorAndTurn();
std::vector<Design> FifteenDegrees();
std::vector<Design> Masters();
Design Stomachion();

// Every edge of every piece runs within a degree of a multiple of 15 degrees.
bool EdgesOnFifteen(const std::vector<Poly>& pieces);

}  // namespace levels
