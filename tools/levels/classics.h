// The classic square dissections, scaled to the 200 x 200 slot-box (corner (0, 0) is the
// slot-box's top-left). Each is convex, covers the square exactly and meets corner to corner.
#pragma once

namespace levels {

struct ClassicPiece {
  int n;
  int xy[8][2];
};

struct Classic {
  const char* name;
  const char* source;
  int count;
  ClassicPiece pieces[12];
};

inline constexpr Classic kClassics[] = {
    {"Tangram",
     "Classic tangram in its square layout (J. Slocum, The Tangram Book, 2003).",
     7,
     {
      {3, {{0, 0}, {200, 0}, {100, 100}}},
      {3, {{0, 0}, {100, 100}, {0, 200}}},
      {3, {{200, 100}, {200, 200}, {100, 200}}},
      {4, {{100, 100}, {150, 50}, {200, 100}, {150, 150}}},
      {4, {{0, 200}, {50, 150}, {150, 150}, {100, 200}}},
      {3, {{100, 100}, {150, 150}, {50, 150}}},
      {3, {{200, 0}, {200, 100}, {150, 50}}},
     }},
    {"Chie no Ita",
     "Sei Shonagon Chie no Ita, first printed 1742 (Fox-Epstein, Katsumata and Uehara, IEICE Trans. E99-A(6), 2016).",
     7,
     {
      {4, {{0, 0}, {100, 0}, {150, 50}, {150, 150}}},
      {3, {{100, 0}, {200, 0}, {200, 100}}},
      {4, {{150, 50}, {200, 100}, {200, 200}, {150, 150}}},
      {4, {{100, 100}, {200, 200}, {100, 200}, {50, 150}}},
      {3, {{0, 200}, {0, 100}, {100, 200}}},
      {4, {{0, 100}, {50, 50}, {100, 100}, {50, 150}}},
      {3, {{0, 100}, {0, 0}, {50, 50}}},
     }},
    {"Stomachion",
     "Archimedes' Stomachion (14 pieces on a 12 x 12 grid) with two pairs of neighbouring pieces merged into convex pieces, to stay within 12.",
     12,
     {
      {3, {{0, 0}, {66, 67}, {200, 0}}},
      {3, {{0, 0}, {0, 100}, {66, 67}}},
      {3, {{0, 100}, {100, 100}, {66, 67}}},
      {4, {{0, 100}, {100, 150}, {133, 133}, {100, 100}}},
      {4, {{0, 100}, {0, 200}, {67, 200}, {100, 150}}},
      {3, {{67, 200}, {100, 200}, {100, 150}}},
      {3, {{100, 150}, {100, 200}, {200, 200}}},
      {3, {{100, 150}, {200, 200}, {133, 133}}},
      {3, {{133, 133}, {200, 200}, {200, 100}}},
      {3, {{100, 100}, {133, 133}, {200, 100}}},
      {5, {{200, 50}, {100, 50}, {66, 67}, {100, 100}, {200, 100}}},
      {3, {{100, 50}, {200, 50}, {200, 0}}},
     }},
    {"Bhaskara",
     "Bhaskara II's square of four 3-4-5 right triangles around a small square (G. Frederickson, Dissections: Plane & Fancy, 1997, ch. 4).",
     5,
     {
      {3, {{0, 0}, {200, 0}, {128, 96}}},
      {3, {{200, 0}, {200, 200}, {104, 128}}},
      {3, {{200, 200}, {0, 200}, {72, 104}}},
      {3, {{0, 200}, {0, 0}, {96, 72}}},
      {4, {{96, 72}, {128, 96}, {104, 128}, {72, 104}}},
     }},
    {"Perigal",
     "Perigal's dissection (1873) for a 3-4-5 triangle: four congruent quadrilaterals around a square (Frederickson 1997, ch. 4).",
     5,
     {
      {4, {{0, 0}, {100, 0}, {112, 16}, {0, 100}}},
      {4, {{200, 0}, {200, 100}, {184, 112}, {100, 0}}},
      {4, {{200, 200}, {100, 200}, {88, 184}, {200, 100}}},
      {4, {{0, 200}, {0, 100}, {16, 88}, {100, 200}}},
      {4, {{112, 16}, {184, 112}, {88, 184}, {16, 88}}},
     }},
    {"Dudeney",
     "Dudeney's haberdasher's puzzle, square side (The Canterbury Puzzles, 1907, no. 26); corners rounded to whole pixels.",
     4,
     {
      {4, {{50, 143}, {100, 0}, {0, 0}, {0, 86}}},
      {4, {{100, 0}, {50, 143}, {200, 114}, {200, 0}}},
      {4, {{200, 114}, {50, 143}, {100, 200}, {200, 200}}},
      {3, {{0, 86}, {0, 200}, {100, 200}}},
     }},
};

}  // namespace levels
