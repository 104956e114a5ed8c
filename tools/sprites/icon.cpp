// The desktop icon: a small tangram of the five piece materials in a walnut frame.
#include "icon.h"

#include <cmath>

#include "art.h"

using namespace art;

bool WriteIcon(const std::string& path, const std::vector<TImageItemData>& textures) {
  const int size = 64;
  Img img(size, size);
  // The walnut frame with a brass rim.
  PaintFlat(img, MaskOf(size, size, [&](float x, float y) { return SdRoundRect(x, y, 1, 1, 63, 63, 10); }),
            Hex(0x5a3a22));
  PaintFlat(img, Minus(MaskOf(size, size, [&](float x, float y) { return SdRoundRect(x, y, 3, 3, 61, 61, 8); }),
                       MaskOf(size, size, [&](float x, float y) { return SdRoundRect(x, y, 5, 5, 59, 59, 6); })),
            Hex(0xd8b060));
  // A square of 44 px cut into five pieces, each in its own material.
  const float o = 10, s = 44;
  const std::vector<std::vector<std::pair<float, float>>> pieces = {
      {{o, o}, {o + s, o}, {o + s / 2, o + s / 2}},
      {{o, o}, {o + s / 2, o + s / 2}, {o, o + s}},
      {{o + s, o}, {o + s, o + s / 2}, {o + 3 * s / 4, o + 3 * s / 4}, {o + s / 2, o + s / 2}},
      {{o, o + s}, {o + s / 2, o + s / 2}, {o + 3 * s / 4, o + 3 * s / 4}, {o + s / 2, o + s}},
      {{o + s / 2, o + s}, {o + 3 * s / 4, o + 3 * s / 4}, {o + s, o + s / 2}, {o + s, o + s}},
  };
  for (size_t k = 0; k < pieces.size(); ++k) {
    const TPicture* tex = k < textures.size() && textures[k].HasPicture ? &textures[k].Picture : nullptr;
    ColorFn color = [&](int x, int y) {
      if (!tex || tex->Empty()) return Hex(0xc09060);
      uint32_t p = tex->Pixels[size_t((y * 5) % tex->Height) * size_t(tex->Width) + size_t((x * 5) % tex->Width)];
      return Hex(p);
    };
    Mask m = MaskOf(size, size, [&](float x, float y) { return SdPolygon(x, y, pieces[k]); }, -0.6f);
    Paint(img, m, color);
  }
  std::vector<uint32_t> px(size_t(size) * size);
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      RGB c = img.ColorAt(x, y);
      auto ch = [](float v) { return uint32_t(std::lround(std::fmax(0.f, std::fmin(1.f, v)) * 255.f)); };
      px[size_t(y) * size + size_t(x)] = ch(c.r) << 16 | ch(c.g) << 8 | ch(c.b);
    }
  return WritePng(path, size, size, px);
}
