// Painting kit of the picture generators: layers, masks, shapes, noise, text and output.
#include "art.h"


#include <algorithm>
#include <cmath>
#include <cstdio>
#include <stdexcept>

#include "media/freetype_faces.h"

namespace art {

RGB Hex(uint32_t c) {
  return {float((c >> 16) & 255) / 255.f, float((c >> 8) & 255) / 255.f, float(c & 255) / 255.f};
}
RGB Mix(RGB a, RGB b, float t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}
RGB Scale(RGB a, float k) { return {a.r * k, a.g * k, a.b * k}; }

Img::Img(int w_, int h_) : w(w_), h(h_) {
  size_t n = size_t(w_) * size_t(h_);
  r.assign(n, 0.f);
  g.assign(n, 0.f);
  b.assign(n, 0.f);
  a.assign(n, 0.f);
}

void Img::Over(int x, int y, RGB c, float alpha) {
  if (x < 0 || y < 0 || x >= w || y >= h || alpha <= 0.f) return;
  alpha = std::min(alpha, 1.f);
  size_t i = idx(x, y);
  float k = 1.f - alpha;
  r[i] = c.r * alpha + r[i] * k;
  g[i] = c.g * alpha + g[i] * k;
  b[i] = c.b * alpha + b[i] * k;
  a[i] = alpha + a[i] * k;
}

RGB Img::ColorAt(int x, int y) const {
  size_t i = idx(x, y);
  if (a[i] <= 1e-6f) return {0, 0, 0};
  return {r[i] / a[i], g[i] / a[i], b[i] / a[i]};
}

float SdRoundRect(float px, float py, float x0, float y0, float x1, float y1, float radius) {
  float cx = (x0 + x1) / 2, cy = (y0 + y1) / 2;
  float hx = (x1 - x0) / 2 - radius, hy = (y1 - y0) / 2 - radius;
  float qx = std::fabs(px - cx) - hx, qy = std::fabs(py - cy) - hy;
  float ox = std::max(qx, 0.f), oy = std::max(qy, 0.f);
  return std::sqrt(ox * ox + oy * oy) + std::min(std::max(qx, qy), 0.f) - radius;
}

float SdCircle(float px, float py, float cx, float cy, float radius) {
  return std::hypot(px - cx, py - cy) - radius;
}

float SdSegment(float px, float py, float ax, float ay, float bx, float by) {
  float pax = px - ax, pay = py - ay, bax = bx - ax, bay = by - ay;
  float l = bax * bax + bay * bay;
  float t = l > 0 ? std::clamp((pax * bax + pay * bay) / l, 0.f, 1.f) : 0.f;
  return std::hypot(pax - bax * t, pay - bay * t);
}

float SdPolygon(float px, float py, const std::vector<std::pair<float, float>>& v) {
  size_t n = v.size();
  float d = 1e9f;
  bool inside = false;
  for (size_t i = 0, j = n - 1; i < n; j = i++) {
    d = std::min(d, SdSegment(px, py, v[j].first, v[j].second, v[i].first, v[i].second));
    float yi = v[i].second, yj = v[j].second;
    if ((yi > py) != (yj > py)) {
      float xc = v[j].first + (py - yj) * (v[i].first - v[j].first) / (yi - yj);
      if (px < xc) inside = !inside;
    }
  }
  return inside ? -d : d;
}

Mask MaskOf(int w, int h, const SdfFn& sd, float grow) {
  Mask m(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      float d = sd(float(x) + 0.5f, float(y) + 0.5f) - grow;
      m.ref(x, y) = std::clamp(0.5f - d, 0.f, 1.f);
    }
  return m;
}

static void BoxPass(const std::vector<float>& in, std::vector<float>& out, int w, int h, int r,
                    bool horizontal) {
  int len = horizontal ? w : h, lines = horizontal ? h : w;
  float norm = 1.f / float(2 * r + 1);
  for (int l = 0; l < lines; ++l) {
    auto at = [&](int k) -> float {
      if (k < 0 || k >= len) return 0.f;
      return horizontal ? in[size_t(l) * size_t(w) + size_t(k)]
                        : in[size_t(k) * size_t(w) + size_t(l)];
    };
    float sum = 0;
    for (int k = -r; k <= r; ++k) sum += at(k);
    for (int k = 0; k < len; ++k) {
      float v = sum * norm;
      if (horizontal)
        out[size_t(l) * size_t(w) + size_t(k)] = v;
      else
        out[size_t(k) * size_t(w) + size_t(l)] = v;
      sum += at(k + r + 1) - at(k - r);
    }
  }
}

Mask Blur(const Mask& m, int radius) {
  if (radius <= 0) return m;
  Mask out = m;
  std::vector<float> tmp(out.v.size());
  for (int pass = 0; pass < 3; ++pass) {
    BoxPass(out.v, tmp, m.w, m.h, radius, true);
    BoxPass(tmp, out.v, m.w, m.h, radius, false);
  }
  return out;
}

Mask Dilate(const Mask& m, float radius) {
  Mask out(m.w, m.h);
  int r = int(std::ceil(radius + 0.5f));
  std::vector<std::pair<std::pair<int, int>, float>> taps;
  for (int dy = -r; dy <= r; ++dy)
    for (int dx = -r; dx <= r; ++dx) {
      float wgt = std::clamp(radius + 0.5f - std::hypot(float(dx), float(dy)), 0.f, 1.f);
      if (wgt > 0) taps.push_back({{dx, dy}, wgt});
    }
  for (int y = 0; y < m.h; ++y)
    for (int x = 0; x < m.w; ++x) {
      float best = 0;
      for (auto& t : taps) best = std::max(best, m.at(x + t.first.first, y + t.first.second) * t.second);
      out.ref(x, y) = best;
    }
  return out;
}

Mask Shift(const Mask& m, int dx, int dy) {
  Mask out(m.w, m.h);
  for (int y = 0; y < m.h; ++y)
    for (int x = 0; x < m.w; ++x) out.ref(x, y) = m.at(x - dx, y - dy);
  return out;
}

Mask Minus(const Mask& a, const Mask& b) {
  Mask out = a;
  for (size_t i = 0; i < out.v.size(); ++i) out.v[i] = std::max(0.f, a.v[i] - b.v[i]);
  return out;
}

Mask Times(const Mask& a, float k) {
  Mask out = a;
  for (auto& f : out.v) f = std::min(1.f, f * k);
  return out;
}

Mask Union(const Mask& a, const Mask& b) {
  Mask out = a;
  for (size_t i = 0; i < out.v.size(); ++i) out.v[i] = std::max(a.v[i], b.v[i]);
  return out;
}

void Paint(Img& img, const Mask& m, const ColorFn& color, float opacity) {
  for (int y = 0; y < std::min(img.h, m.h); ++y)
    for (int x = 0; x < std::min(img.w, m.w); ++x) {
      float c = m.at(x, y) * opacity;
      if (c > 0) img.Over(x, y, color(x, y), c);
    }
}

void PaintFlat(Img& img, const Mask& m, RGB color, float opacity) {
  Paint(img, m, [&](int, int) { return color; }, opacity);
}

void Blit(Img& dst, const Img& src, int ox, int oy) {
  for (int y = 0; y < src.h; ++y)
    for (int x = 0; x < src.w; ++x) {
      int dx = x + ox, dy = y + oy;
      if (dx < 0 || dy < 0 || dx >= dst.w || dy >= dst.h) continue;
      size_t s = src.idx(x, y), d = dst.idx(dx, dy);
      float k = 1.f - src.a[s];
      dst.r[d] = src.r[s] + dst.r[d] * k;
      dst.g[d] = src.g[s] + dst.g[d] * k;
      dst.b[d] = src.b[s] + dst.b[d] * k;
      dst.a[d] = src.a[s] + dst.a[d] * k;
    }
}

Img Crop(const Img& src, int ox, int oy, int w, int h) {
  Img out(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      int sx = x + ox, sy = y + oy;
      if (sx < 0 || sy < 0 || sx >= src.w || sy >= src.h) continue;
      size_t s = src.idx(sx, sy), d = out.idx(x, y);
      out.r[d] = src.r[s];
      out.g[d] = src.g[s];
      out.b[d] = src.b[s];
      out.a[d] = src.a[s];
    }
  return out;
}

uint32_t Hash(uint32_t x, uint32_t y, uint32_t seed) {
  uint32_t h = x * 0x8da6b343u ^ y * 0xd8163841u ^ seed * 0xcb1ab31fu;
  h ^= h >> 15;
  h *= 0x2c1b3c6du;
  h ^= h >> 12;
  h *= 0x297a2d39u;
  h ^= h >> 15;
  return h;
}

static float Lattice(int x, int y, int perX, int perY, uint32_t seed) {
  int px = ((x % perX) + perX) % perX, py = ((y % perY) + perY) % perY;
  return float(Hash(uint32_t(px), uint32_t(py), seed) & 0xffffff) / float(0xffffff);
}

float PNoise(float x, float y, int perX, int perY, uint32_t seed) {
  float fx = std::floor(x), fy = std::floor(y);
  int ix = int(fx), iy = int(fy);
  float tx = x - fx, ty = y - fy;
  tx = tx * tx * tx * (tx * (tx * 6 - 15) + 10);
  ty = ty * ty * ty * (ty * (ty * 6 - 15) + 10);
  float a = Lattice(ix, iy, perX, perY, seed), b = Lattice(ix + 1, iy, perX, perY, seed);
  float c = Lattice(ix, iy + 1, perX, perY, seed), d = Lattice(ix + 1, iy + 1, perX, perY, seed);
  return (a + (b - a) * tx) + ((c + (d - c) * tx) - (a + (b - a) * tx)) * ty;
}

float PFbm(float x, float y, int perX, int perY, int octaves, uint32_t seed) {
  float sum = 0, amp = 1, norm = 0;
  for (int o = 0; o < octaves; ++o) {
    sum += PNoise(x, y, perX, perY, seed + uint32_t(o) * 101u) * amp;
    norm += amp;
    amp *= 0.5f;
    x *= 2;
    y *= 2;
    perX *= 2;
    perY *= 2;
  }
  return sum / norm;
}

// --- text -------------------------------------------------------------------

namespace {
// The caption fonts and their files in the system's font folder.
constexpr std::pair<const char*, const char*> kFonts[] = {
    {"serif", "LiberationSerif-Regular.ttf"}, {"serif-bold", "LiberationSerif-Bold.ttf"},
    {"serif-italic", "LiberationSerif-Italic.ttf"}, {"sans", "LiberationSans-Regular.ttf"},
    {"sans-bold", "LiberationSans-Bold.ttf"}};

const char* FontFile(const std::string& font) {
  for (const auto& f : kFonts)
    if (font == f.first) return f.second;
  throw std::runtime_error("unknown font " + font);
}

// The face set to px pixels high.
FT_Face Face(const std::string& font, int px) {
  const char* file = FontFile(font);
  FT_Face face = font::freetype::AtPixels(file, px);
  if (!face) throw std::runtime_error("Cannot open font " + font::freetype::FontPath(file));
  return face;
}

std::vector<uint32_t> Utf8(const std::string& s) {
  std::vector<uint32_t> out;
  for (size_t i = 0; i < s.size();) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    uint32_t cp = c;
    int extra = 0;
    if (c >= 0xF0) {
      cp = c & 7;
      extra = 3;
    } else if (c >= 0xE0) {
      cp = c & 15;
      extra = 2;
    } else if (c >= 0xC0) {
      cp = c & 31;
      extra = 1;
    }
    ++i;
    for (int k = 0; k < extra && i < s.size(); ++k, ++i)
      cp = (cp << 6) | (static_cast<unsigned char>(s[i]) & 63);
    out.push_back(cp);
  }
  return out;
}

// Lays the text out; calls put(bitmap, left, top) per glyph. Returns the advance in pixels.
template <class F>
float Layout(const std::string& font, int px, const std::string& text, F put) {
  FT_Face face = Face(font, px);
  float pen = 0;
  FT_UInt prev = 0;
  for (uint32_t cp : Utf8(text)) {
    FT_UInt gi = FT_Get_Char_Index(face, cp);
    if (prev && gi && FT_HAS_KERNING(face)) {
      FT_Vector k;
      FT_Get_Kerning(face, prev, gi, FT_KERNING_DEFAULT, &k);
      pen += float(k.x) / 64.f;
    }
    if (FT_Load_Glyph(face, gi, FT_LOAD_RENDER | FT_LOAD_TARGET_LIGHT) == 0) {
      FT_GlyphSlot s = face->glyph;
      put(s->bitmap, std::lround(pen) + s->bitmap_left, s->bitmap_top);
      pen += float(s->advance.x) / 64.f;
    }
    prev = gi;
  }
  return pen;
}
}  // namespace

void InitFonts() {
  for (const auto& f : kFonts)
    if (!font::freetype::Open(f.second))
      throw std::runtime_error("Cannot open font " + font::freetype::FontPath(f.second));
}

void DoneFonts() { font::freetype::CloseAll(); }

int TextWidth(const std::string& font, int px, const std::string& text) {
  return int(std::lround(Layout(font, px, text, [](const FT_Bitmap&, long, int) {})));
}

int Ascent(const std::string& font, int px) {
  return int(Face(font, px)->size->metrics.ascender / 64);
}

Mask TextMask(int w, int h, const std::string& font, int px, const std::string& text, float x,
              float y) {
  Mask m(w, h);
  int ox = int(std::lround(x)), oy = int(std::lround(y));
  Layout(font, px, text, [&](const FT_Bitmap& bm, long left, int top) {
    for (unsigned r = 0; r < bm.rows; ++r)
      for (unsigned c = 0; c < bm.width; ++c) {
        int X = ox + int(left) + int(c), Y = oy - top + int(r);
        if (X < 0 || Y < 0 || X >= w || Y >= h) continue;
        float v = float(bm.buffer[size_t(r) * size_t(std::abs(bm.pitch)) + c]) / 255.f;
        m.ref(X, Y) = std::max(m.ref(X, Y), v);
      }
  });
  return m;
}

void PaintAt(Img& img, const Mask& m, int ox, int oy, const ColorFn& color, float opacity) {
  for (int y = 0; y < m.h; ++y)
    for (int x = 0; x < m.w; ++x) {
      float c = m.at(x, y) * opacity;
      if (c > 0) img.Over(x + ox, y + oy, color(x + ox, y + oy), c);
    }
}

void Caption(Img& img, const std::string& font, int px, const std::string& text, float x,
             float baseline, Look look) {
  // Work on a patch around the text only; the effects reach at most `margin` pixels out.
  const int margin = 4 + std::max(3, px / 5) * 3;
  int ox = int(std::floor(x)) - margin, oy = int(std::floor(baseline)) - px * 5 / 4 - margin;
  int w = TextWidth(font, px, text) + 2 * margin + 4, h = px * 7 / 4 + 2 * margin;
  Mask m = TextMask(w, h, font, px, text, x - float(ox), baseline - float(oy));
  auto flat = [&](const Mask& mk, RGB col, float op) {
    PaintAt(img, mk, ox, oy, [col](int, int) { return col; }, op);
  };
  bool lit = look == Look::GoldLit || look == Look::CreamLit;
  float edge = px >= 20 ? 1.4f : 1.0f;
  Mask outline = Dilate(m, edge);
  flat(Blur(Shift(outline, 1, 2), px >= 20 ? 2 : 1), Hex(0x0a0603), 0.8f);
  if (lit) {
    int r = std::max(3, px / 5);
    flat(Times(Blur(Dilate(m, 2.f), r), 1.7f), Hex(0xff9a1e), 0.85f);
    flat(Times(Blur(m, std::max(1, r / 2)), 1.4f), Hex(0xffd860), 0.7f);
  }
  flat(outline, Hex(lit ? 0x3a1c04 : 0x241206), 1.f);
  float top = baseline - float(Ascent(font, px)) * 0.8f;
  float span = baseline - top;
  RGB g0, g1, g2;
  switch (look) {
    case Look::Gold: g0 = Hex(0xfff0b0); g1 = Hex(0xe8b73c); g2 = Hex(0x9a6414); break;
    case Look::GoldLit: g0 = Hex(0xffffff); g1 = Hex(0xffe27a); g2 = Hex(0xf0a838); break;
    case Look::Cream: g0 = Hex(0xfaf0da); g1 = Hex(0xeadcbc); g2 = Hex(0xc9b48c); break;
    case Look::CreamLit: g0 = Hex(0xffffff); g1 = Hex(0xfff4d4); g2 = Hex(0xffd98a); break;
    case Look::White: g0 = g1 = g2 = Hex(0xf4f0e8); break;
  }
  PaintAt(img, m, ox, oy, [&](int, int yy) {
    float t = std::clamp((float(yy) + 0.5f - top) / span, 0.f, 1.2f);
    if (t < 0.5f) return Mix(g0, g1, t * 2);
    return Mix(g1, g2, std::min(1.f, (t - 0.5f) * 2));
  }, 1.f);
}

void CaptionCentered(Img& img, const std::string& font, int px, const std::string& text, float cx,
                     float baseline, Look look) {
  Caption(img, font, px, text, std::round(cx - float(TextWidth(font, px, text)) / 2), baseline,
          look);
}

// --- output -------------------------------------------------------------------

TPicture Flatten(const Img& img, uint32_t key, RGB matte, float threshold) {
  TPicture p;
  p.Width = img.w;
  p.Height = img.h;
  p.Pixels.resize(size_t(img.w) * size_t(img.h));
  for (int y = 0; y < img.h; ++y)
    for (int x = 0; x < img.w; ++x) {
      size_t i = img.idx(x, y);
      float a = img.a[i];
      if (a < threshold) {
        p.Pixels[i] = key;
        continue;
      }
      float k = 1.f - std::min(a, 1.f);
      auto ch = [&](float c, float m) {
        return uint32_t(std::clamp(std::lround((c + m * k) * 255.f), 0L, 255L));
      };
      uint32_t v = ch(img.r[i], matte.r) << 16 | ch(img.g[i], matte.g) << 8 | ch(img.b[i], matte.b);
      if (v == key) v = key == 0 ? 0x010101u : (v ^ 0x010001u);
      // Keyed pictures are drawn with black as a hole by default: no opaque pure black.
      if (v == 0) v = 0x010101u;
      p.Pixels[i] = v;
    }
  return p;
}

TPicture StackH(const std::vector<TPicture>& pats) {
  TPicture p;
  if (pats.empty()) return p;
  int w = pats[0].Width, h = pats[0].Height;
  p.Width = w * int(pats.size());
  p.Height = h;
  p.Pixels.resize(size_t(p.Width) * size_t(h));
  for (size_t k = 0; k < pats.size(); ++k)
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        p.Pixels[size_t(y) * size_t(p.Width) + k * size_t(w) + size_t(x)] =
            pats[k].Pixels[size_t(y) * size_t(w) + size_t(x)];
  return p;
}

TPicture StackV(const std::vector<TPicture>& pats) {
  TPicture p;
  if (pats.empty()) return p;
  p.Width = pats[0].Width;
  p.Height = pats[0].Height * int(pats.size());
  for (auto& q : pats) p.Pixels.insert(p.Pixels.end(), q.Pixels.begin(), q.Pixels.end());
  return p;
}

}  // namespace art
