// The desktop icon: a small tangram of the five piece materials in a walnut frame, drawn
// afresh at each size the desktop asks for, with its lines laid on whole pixels; on Windows
// the same drawings make one .ico.
#include "icon.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "art.h"
#include "ico.h"
#include "toolkit.h"

using namespace art;

namespace {

// The mean colour of a texture: at the smallest sizes a material reads as its colour only.
RGB MeanColor(const TPicture* tex, RGB fallback) {
  if (!tex || tex->Empty()) return fallback;
  double r = 0, g = 0, b = 0;
  for (uint32_t p : tex->Pixels) {
    r += (p >> 16) & 0xff;
    g += (p >> 8) & 0xff;
    b += p & 0xff;
  }
  const double n = 255.0 * double(tex->Pixels.size());
  return {float(r / n), float(g / n), float(b / n)};
}

}  // namespace

TPicture DrawIcon(const std::vector<TImageItemData>& textures, int size) {
  const float u = float(size) / 64.f;  // the design is laid out on a 64 px grid
  // Widths in whole pixels, so small icons stay crisp rather than grey at the edges.
  const float rim = std::max(1.f, std::round(2.f * u));
  const float margin = std::max(1.f, std::round(1.f * u));
  const float radius = std::max(2.f, std::round(10.f * u));
  const float outer0 = margin, outer1 = float(size) - outer0;
  Img img(size, size);
  // The walnut frame with a brass rim.
  PaintFlat(img, MaskOf(size, size, [&](float x, float y) { return SdRoundRect(x, y, outer0, outer0, outer1, outer1, radius); }),
            Hex(0x5a3a22));
  // Below 32 px the brass is the frame's outer line; above it sits a little inside.
  const float r0 = size < 32 ? outer0 : outer0 + std::round(2.f * u);
  const float r1 = r0 + rim;
  PaintFlat(img,
            Minus(MaskOf(size, size, [&](float x, float y) { return SdRoundRect(x, y, r0, r0, size - r0, size - r0, std::max(1.f, radius - (r0 - outer0))); }),
                  MaskOf(size, size, [&](float x, float y) { return SdRoundRect(x, y, r1, r1, size - r1, size - r1, std::max(1.f, radius - (r1 - outer0))); })),
            Hex(0xd8b060));
  // A square cut into five pieces, each in its own material. The square fills more of the
  // small icons, where the frame would otherwise leave little of it to see.
  const float o = size <= 24 ? r1 + 1.f : std::round(10.f * u), s = float(size) - 2.f * o;
  const std::vector<std::vector<std::pair<float, float>>> pieces = {
      {{o, o}, {o + s, o}, {o + s / 2, o + s / 2}},
      {{o, o}, {o + s / 2, o + s / 2}, {o, o + s}},
      {{o + s, o}, {o + s, o + s / 2}, {o + 3 * s / 4, o + 3 * s / 4}, {o + s / 2, o + s / 2}},
      {{o, o + s}, {o + s / 2, o + s / 2}, {o + 3 * s / 4, o + 3 * s / 4}, {o + s / 2, o + s}},
      {{o + s / 2, o + s}, {o + 3 * s / 4, o + 3 * s / 4}, {o + s, o + s / 2}, {o + s, o + s}},
  };
  // Seams between the pieces: 0.6 px each side at 64 px; hairlines on the smallest icons,
  // where a whole dark pixel would eat the pieces.
  const float seam = size < 32 ? 0.25f : std::max(0.5f, 0.6f * u);
  // The grain is sampled so one texel of the 64 px icon's look covers the same share of
  // every size; below 32 px a material shows as its mean colour.
  const float step = 5.f / u;
  for (size_t k = 0; k < pieces.size(); ++k) {
    const TPicture* tex = k < textures.size() && textures[k].HasPicture ? &textures[k].Picture : nullptr;
    const RGB flat = MeanColor(tex, Hex(0xc09060));
    ColorFn color = [&](int x, int y) {
      if (size < 32 || !tex || tex->Empty()) return flat;
      const auto tx = size_t(int(float(x) * step) % tex->Width);
      const auto ty = size_t(int(float(y) * step) % tex->Height);
      return Hex(tex->Pixels[ty * size_t(tex->Width) + tx]);
    };
    Mask m = MaskOf(size, size, [&](float x, float y) { return SdPolygon(x, y, pieces[k]); }, -seam);
    Paint(img, m, color);
  }
  // From 48 px up the pieces catch a little light along their top-left edges.
  if (size >= 48) {
    for (const auto& pc : pieces) {
      Mask in = MaskOf(size, size, [&](float x, float y) { return SdPolygon(x, y, pc); }, -seam);
      Mask lit = Minus(in, Shift(in, int(std::round(u)), int(std::round(u))));
      PaintFlat(img, lit, Hex(0xffffff), 0.35f);
    }
  }
  TPicture icon;
  icon.Width = size;
  icon.Height = size;
  icon.Pixels.resize(size_t(size) * size_t(size));
  auto ch = [](float v) { return uint32_t(std::lround(std::fmax(0.f, std::fmin(1.f, v)) * 255.f)); };
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      RGB c = img.ColorAt(x, y);
      const uint32_t a = ch(img.a[img.idx(x, y)]);
      icon.Pixels[size_t(y) * size_t(size) + size_t(x)] = a << 24 | ch(c.r) << 16 | ch(c.g) << 8 | ch(c.b);
    }
  return icon;
}

bool WriteIcon(const std::string& path, const std::vector<TImageItemData>& textures, int size) {
  if (size < 16 || size > 1024) return false;
  toolkit::WritePNG(path, DrawIcon(textures, size), true);
  return true;
}

void WriteWindowsIcon(const std::string& path, const std::vector<TImageItemData>& textures) {
  std::vector<TIconImage> images;
  for (int n : kWindowsIconSizes) {
    TIconImage im;
    im.Picture = DrawIcon(textures, n);
    // The 256 px image is kept as PNG, as Windows expects; the PNG goes through a file of
    // its own beside the icon.
    if (n == 256) {
      const std::string png = path + ".256.png";
      toolkit::WritePNG(png, im.Picture, true);
      im.Png = toolkit::ReadFileBytes(png);
      std::remove(png.c_str());
      im.AsPng = true;
    }
    images.push_back(std::move(im));
  }
  toolkit::WriteFileBytes(path, IcoFile(images));
}
