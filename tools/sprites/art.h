// Painting kit of the picture generators: float RGBA layers, coverage masks, anti-aliased
// shapes, seamless noise, FreeType captions, and key-colour flattening (PNG files
// are written by the package toolkit).
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "media/picture.h"

namespace art {

struct RGB {
  float r = 0, g = 0, b = 0;
};
RGB Hex(uint32_t rrggbb);
RGB Mix(RGB a, RGB b, float t);
RGB Scale(RGB a, float k);

// A coverage mask, 0..1 per pixel.
struct Mask {
  int w = 0, h = 0;
  std::vector<float> v;
  Mask() = default;
  Mask(int w_, int h_) : w(w_), h(h_), v(size_t(w_) * size_t(h_), 0.f) {}
  float at(int x, int y) const {
    return (x < 0 || y < 0 || x >= w || y >= h) ? 0.f : v[size_t(y) * size_t(w) + size_t(x)];
  }
  float& ref(int x, int y) { return v[size_t(y) * size_t(w) + size_t(x)]; }
};

// A layer with premultiplied colour.
struct Img {
  int w = 0, h = 0;
  std::vector<float> r, g, b, a;
  Img() = default;
  Img(int w_, int h_);
  size_t idx(int x, int y) const { return size_t(y) * size_t(w) + size_t(x); }
  void Over(int x, int y, RGB c, float alpha);  // paint colour c with coverage alpha over
  RGB ColorAt(int x, int y) const;               // un-premultiplied
};

using SdfFn = std::function<float(float, float)>;  // signed distance, negative inside
using ColorFn = std::function<RGB(int, int)>;

// Shapes as signed distances of a pixel-centre point.
float SdRoundRect(float px, float py, float x0, float y0, float x1, float y1, float radius);
float SdCircle(float px, float py, float cx, float cy, float radius);
float SdPolygon(float px, float py, const std::vector<std::pair<float, float>>& pts);
float SdSegment(float px, float py, float ax, float ay, float bx, float by);

Mask MaskOf(int w, int h, const SdfFn& sd, float grow = 0.f);
Mask Blur(const Mask& m, int radius);  // three box passes, close to a gaussian
Mask Dilate(const Mask& m, float radius);
Mask Shift(const Mask& m, int dx, int dy);
Mask Minus(const Mask& a, const Mask& b);
Mask Times(const Mask& a, float k);
Mask Union(const Mask& a, const Mask& b);

void Paint(Img& img, const Mask& m, const ColorFn& color, float opacity = 1.f);
void PaintFlat(Img& img, const Mask& m, RGB color, float opacity = 1.f);
// Paints a mask whose top-left lies at (ox, oy) of the image.
void PaintAt(Img& img, const Mask& m, int ox, int oy, const ColorFn& color, float opacity = 1.f);
void Blit(Img& dst, const Img& src, int x, int y);  // src over dst
Img Crop(const Img& src, int x, int y, int w, int h);

// Seamless noise: value noise on a lattice that wraps every `period` cells.
// The lattice wraps every px cells across and py cells down.
float PNoise(float x, float y, int px, int py, uint32_t seed);  // 0..1
float PFbm(float x, float y, int px, int py, int octaves, uint32_t seed);  // 0..1
uint32_t Hash(uint32_t x, uint32_t y, uint32_t seed);

// FreeType text. Fonts: "serif", "serif-bold", "sans", "sans-bold", "serif-italic".
void InitFonts();
void DoneFonts();
int TextWidth(const std::string& font, int px, const std::string& text);
// Renders text with the left of its cell at x and the baseline at y.
Mask TextMask(int w, int h, const std::string& font, int px, const std::string& text, float x,
              float y);
int Ascent(const std::string& font, int px);

// Caption looks.
enum class Look { Gold, GoldLit, Cream, CreamLit, White };
void Caption(Img& img, const std::string& font, int px, const std::string& text, float x,
             float baseline, Look look);
void CaptionCentered(Img& img, const std::string& font, int px, const std::string& text,
                     float cx, float baseline, Look look);

// Flattens to a key-coloured picture. Pixels with coverage below `threshold` become the key;
// the rest are blended over `matte` and kept clear of the key value.
TPicture Flatten(const Img& img, uint32_t key, RGB matte, float threshold = 0.5f);
// Stacks patterns of the same size into one picture, side by side or one under another.
TPicture StackH(const std::vector<TPicture>& pats);
TPicture StackV(const std::vector<TPicture>& pats);

}  // namespace art
