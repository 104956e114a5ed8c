#include "sheet.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <exception>

#include "media/freetype_faces.h"
#include "rules.h"
#include "toolkit.h"

namespace levels {
namespace {

constexpr int kTileW = 240, kTileH = 262, kCols = 10;
constexpr int kSquareX = 20, kSquareY = 50;

struct Image {
  int w, h;
  std::vector<uint8_t> rgb;
  void Set(int x, int y, uint32_t c, double a = 1.0) {
    if (x < 0 || y < 0 || x >= w || y >= h) return;
    uint8_t* p = &rgb[(size_t(y) * size_t(w) + size_t(x)) * 3];
    const uint8_t col[3] = {uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c)};
    for (int k = 0; k < 3; ++k) p[k] = uint8_t(std::lround(p[k] * (1 - a) + col[k] * a));
  }
};

// Piece colours: warm and cool woods that neighbours can tell apart.
const uint32_t kPalette[] = {0xE0B060, 0x8FB8DE, 0xC98A5B, 0x9CCB8A, 0xD9A0C0, 0xE8D58A,
                             0x7FA6A0, 0xC7B299, 0xA99BD6, 0xE39A7A, 0xB5C96A, 0x92C3E8};
const uint32_t kStarColour[] = {0x3AAA3A, 0xD8A020, 0xD03030};

void FillPoly(Image& im, int ox, int oy, const Poly& p, uint32_t c) {
  int64_t minx = p[0].x, maxx = p[0].x, miny = p[0].y, maxy = p[0].y;
  for (const Pt& q : p) minx = std::min(minx, q.x), maxx = std::max(maxx, q.x), miny = std::min(miny, q.y), maxy = std::max(maxy, q.y);
  for (int64_t y = miny; y < maxy; ++y)
    for (int64_t x = minx; x < maxx; ++x)
      if (Inside(p, double(x) + 0.5, double(y) + 0.5)) im.Set(ox + int(x - kSlotLeft), oy + int(y - kSlotTop), c);
}

void Line(Image& im, double x0, double y0, double x1, double y1, uint32_t c) {
  int steps = int(std::max(std::fabs(x1 - x0), std::fabs(y1 - y0)) * 2) + 1;
  for (int i = 0; i <= steps; ++i) {
    double t = double(i) / steps;
    im.Set(int(std::lround(x0 + (x1 - x0) * t)), int(std::lround(y0 + (y1 - y0) * t)), c);
  }
}

// The star shapes of the menu: green a round dot, gold a five-pointed star, red a square
// standing on its corner, so they differ without their colours.
void Marker(Image& im, int cx, int cy, int rating) {
  for (int y = -9; y <= 9; ++y)
    for (int x = -9; x <= 9; ++x) {
      bool in = false;
      if (rating == 0) in = x * x + y * y <= 64;
      else if (rating == 2) in = std::abs(x) + std::abs(y) <= 8;
      else {
        double a = std::atan2(double(x), double(-y)), r = std::hypot(double(x), double(y));
        double k = std::fmod(a + 2 * M_PI, 2 * M_PI / 5) / (2 * M_PI / 5);
        double edge = 3.8 + 5.2 * std::fabs(1 - 2 * k);
        in = r <= edge;
      }
      if (in) im.Set(cx + x, cy + y, kStarColour[rating]);
    }
}

// The captions, in Liberation Sans Bold from the game's one FreeType set-up.
class Text {
 public:
  static constexpr const char* kFont = "LiberationSans-Bold.ttf";
  bool ok = font::freetype::Open(kFont) != nullptr;
  void Draw(Image& im, int x, int y, const std::string& s, int px, uint32_t c) {
    FT_Face face = ok ? font::freetype::AtPixels(kFont, px) : nullptr;
    if (!face) return;
    for (char ch : s) {
      if (FT_Load_Char(face, FT_ULong(uint8_t(ch)), FT_LOAD_RENDER)) continue;
      FT_GlyphSlot g = face->glyph;
      for (unsigned r = 0; r < g->bitmap.rows; ++r)
        for (unsigned q = 0; q < g->bitmap.width; ++q) {
          uint8_t a = g->bitmap.buffer[r * unsigned(g->bitmap.pitch) + q];
          if (a) im.Set(x + g->bitmap_left + int(q), y - g->bitmap_top + int(r), c, a / 255.0);
        }
      x += int(g->advance.x >> 6);
    }
  }
};

}  // namespace

bool WriteLevelSheet(const std::string& path, const std::vector<SheetLevel>& levels, std::string& err) {
  int rows = int((levels.size() + kCols - 1) / kCols);
  Image im{kTileW * kCols, kTileH * rows, {}};
  im.rgb.assign(size_t(im.w) * size_t(im.h) * 3, 0x2A);
  Text text;
  if (!text.ok) return err = "cannot load the sheet's font", false;
  for (size_t k = 0; k < levels.size(); ++k) {
    const SheetLevel& l = levels[k];
    int tx = int(k % kCols) * kTileW, ty = int(k / kCols) * kTileH;
    int ox = tx + kSquareX, oy = ty + kSquareY;
    for (int y = oy - 2; y < oy + 202; ++y)
      for (int x = ox - 2; x < ox + 202; ++x) im.Set(x, y, 0x101820);
    for (size_t j = 0; j < l.pieces.size(); ++j) FillPoly(im, ox, oy, l.pieces[j], kPalette[j % 12]);
    for (const Poly& p : l.pieces)
      for (size_t i = 0; i < p.size(); ++i) {
        const Pt& a = p[i];
        const Pt& b = p[(i + 1) % p.size()];
        Line(im, double(ox + a.x - kSlotLeft), double(oy + a.y - kSlotTop), double(ox + b.x - kSlotLeft),
             double(oy + b.y - kSlotTop), 0x202020);
      }
    Marker(im, tx + 30, ty + 22, l.rating);
    text.Draw(im, tx + 46, ty + 30, std::to_string(l.number), 22, 0xFFFFFF);
    text.Draw(im, tx + 90, ty + 22, l.family, 13, 0xE8E0C8);
    const char* star[] = {"green", "gold", "red"};
    text.Draw(im, tx + 90, ty + 40, std::string(star[l.rating]) + "  MedTime " + std::to_string(l.medTime) + "  " +
                                        std::to_string(l.pieces.size()) + " pieces", 12, kStarColour[l.rating]);
  }
  // Written through the package toolkit's one PNG writer (RGB).
  TPicture pic;
  pic.Width = im.w;
  pic.Height = im.h;
  pic.Pixels.resize(size_t(im.w) * size_t(im.h));
  for (size_t i = 0; i < pic.Pixels.size(); ++i)
    pic.Pixels[i] = uint32_t(im.rgb[i * 3]) << 16 | uint32_t(im.rgb[i * 3 + 1]) << 8 | im.rgb[i * 3 + 2];
  try {
    toolkit::WritePNG(path, pic);
  } catch (const std::exception& e) {
    return err = e.what(), false;
  }
  return true;
}

}  // namespace levels
