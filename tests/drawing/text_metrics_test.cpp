// Text measures the same in the Linux and the Windows build: the widths and cell heights of
// the texts the game lays out, at the sizes it uses, agree within a pixel with the values
// the Linux build's rasteriser gives (this table), whichever rasteriser runs the test.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "media/surface.h"

namespace {

struct Measured {
  const char* text;
  int32_t size;
  bool bold;
  int32_t width;
};

// What the message box, the panel clock and the statistics measure (Liberation Serif).
const Measured kTexts[] = {
    {"You can't switch to another", 20, true, 324},
    {"level until do not complete", 20, true, 308},
    {"the current level.", 20, true, 198},
    {"14:05:09", 12, false, 56},
    {"figures : 12", 10, false, 61},
    {"MaximalTime : 30000", 10, false, 122},
    {"LevelScore : 123456", 10, false, 113},
    {"Level complete", 14, false, 117},
};

struct Cell {
  int32_t size;
  bool bold;
  int32_t height;
};
const Cell kCells[] = {{10, false, 15}, {12, false, 19}, {20, true, 30}, {20, false, 30}};

// A canvas with the game's text face, at the size and weight each case sets.
class TextMetrics : public ::testing::Test {
 protected:
  void SetUp() override {
    s.SetSize(8, 8);
    s.Canvas().Font.Name = "Times New Roman";
  }
  TSurfaceCanvas& Font(int32_t size, bool bold) {
    TSurfaceCanvas& c = s.Canvas();
    c.Font.Size = size;
    c.Font.Bold = bold;
    return c;
  }
  // With TANGREL_PRINT_METRICS set, each case prints as a table row (to renew the tables).
  static bool Printing() { return std::getenv("TANGREL_PRINT_METRICS") != nullptr; }

  TSurface s;
};

}  // namespace

TEST_F(TextMetrics, WidthsAgreeWithTheLinuxBuildWithinAPixel) {
  for (const Measured& m : kTexts) {
    const int32_t w = Font(m.size, m.bold).TextWidth(m.text);
    if (Printing()) std::printf("{\"%s\", %d, %s, %d},\n", m.text, m.size, m.bold ? "true" : "false", w);
    EXPECT_LE(std::abs(w - m.width), 1) << m.text << " at " << m.size << " pt: " << w << " px";
  }
}

TEST_F(TextMetrics, CellHeightsAgreeWithTheLinuxBuildWithinAPixel) {
  for (const Cell& k : kCells) {
    const int32_t h = Font(k.size, k.bold).TextHeight("Xg");
    if (Printing()) std::printf("{%d, %s, %d},\n", k.size, k.bold ? "true" : "false", h);
    EXPECT_LE(std::abs(h - k.height), 1) << k.size << " pt: " << h << " px";
  }
}
