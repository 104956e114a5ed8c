// The rules every level keeps: exact cover of the slot-box, convex pieces, the floors that keep
// pieces pleasant to handle, the corner rule of the completion test, and likeness of pieces.
#pragma once
#include <string>
#include <vector>

#include "geometry.h"

namespace levels {

constexpr int kSlotLeft = 300, kSlotTop = 100, kSlotSize = 200;

// The floors of a piece.
constexpr double kFloorAngle = 25.0;     // degrees, smallest corner
constexpr double kFloorFatness = 0.35;   // 4 pi area / perimeter^2
constexpr double kFloorWidth = 30.0;     // px, narrowest width
constexpr double kFloorCornerGap = 15.0; // px, between two corners of one piece
constexpr double kFloorArea = 900.0;     // px^2
// Distinct corners anywhere in the solution stay further apart than a snap reaches.
constexpr double kMinVertexGap = 10.5;
// Offsets fit the 300 x 300 piece picture.
constexpr double kMaxReach = 149.0;

Poly SlotSquare();

// The integer point that keeps the corners closest (smallest largest distance).
Pt BestPosition(const Poly& p);

// Empty when the piece keeps the hard rules (3..8 corners, strictly convex, fits its picture).
std::string ShapeRuleBroken(const Poly& p);
// Empty when the piece keeps the floors.
std::string FloorBroken(const Poly& p);
// Exact cover of the slot-box, corners inside it.
std::string CoverRuleBroken(const std::vector<Poly>& pieces);
std::string VertexRuleBroken(const std::vector<Poly>& pieces);
// The game's completion rule: every corner has a partner (|dx| + |dy| < 10) on another polygon.
bool CompletionRuleHolds(const std::vector<Poly>& pieces);
// Everything above, the floors unless asGiven; empty when the design is a valid level.
std::string DesignBroken(const std::vector<Poly>& pieces, bool asGiven);

// A piece's shape, the same for every turn and place: its edges and corners in order.
struct ShapeKey {
  std::vector<long> code;
  friend bool operator==(const ShapeKey&, const ShapeKey&) = default;
  friend auto operator<=>(const ShapeKey&, const ShapeKey&) = default;
};
ShapeKey ShapeOf(const Poly& p);
// Two pieces a player can tell apart only by a close look: same corner count, corners within
// 12 degrees of each other in order, areas within 25 percent, and yet not the same shape.
bool LookAlike(const Poly& a, const Poly& b);
// Two pieces that match within a few pixels under some turn without being the same: a player
// cannot tell them apart, and the game's corner test would take either in the other's place.
bool NearTwins(const Poly& a, const Poly& b);
// The level's pieces as a multiset of exact shapes (the same corners to the pixel, turned by
// quarter turns or moved): what the families use to drop a design they made twice.
std::string LevelSignature(const std::vector<Poly>& pieces);

// A piece's form, which no turn by any angle and no move changes: its corners wound clockwise on
// the screen, and the distance between every two of them.
struct PieceForm {
  size_t corners = 0;
  std::vector<double> dist;  // corners x corners, row i column j: corner i to corner j
  double perimeter = 0;
};
PieceForm FormOf(const Poly& p);
// The form of the piece seen in a mirror: the same distances, the corners the other way round.
PieceForm MirrorForm(const PieceForm& f);
// A corner rounded to whole pixels lies within 0.71 px of where it belongs, so a distance between
// two corners is off by at most 1.42 px, and between two roundings of one outline by at most
// 2.83 px. Beyond that two pieces differ.
constexpr double kSameShapeTolerance = 2.9;
// The same shape up to turning and moving: counted from some corner on, every distance agrees
// within the tolerance (the winding keeps a piece apart from its mirror image).
bool SameForm(const PieceForm& a, const PieceForm& b, double tolerance = kSameShapeTolerance);

// How two levels' pieces compare as sets (each piece turned and moved as it likes).
enum class SetRepeat {
  None,            // another puzzle
  Turned,          // the same pieces: each of one set is a piece of the other, turned and moved
  Mirrored,        // the mirror images of the other set's pieces: the same puzzle seen in a mirror
  PartlyMirrored,  // the same pieces once some of them are turned over, the rest as they are
};
// Turned is checked first, then the whole set mirrored, then each piece on its own turned over or not.
SetRepeat CompareSets(const std::vector<Poly>& a, const std::vector<Poly>& b);
// The same multisets of forms: every piece of a paired with its own piece of b of the same form
// (or, with turnOver, of the same form or of its mirror image).
bool SameForms(const std::vector<PieceForm>& a, const std::vector<PieceForm>& b, bool turnOver = false);

}  // namespace levels
