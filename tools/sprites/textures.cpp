// The texture set: five seamless piece materials, five calm playing-field backgrounds and
// the walnut backdrop of the menu and the message box. Every pattern wraps at its edges.
#include <cmath>

#include "art.h"
#include "generators.h"

namespace {
using namespace art;
constexpr float kTau = 6.2831853f;

float Clamp01(float v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }
float Smooth(float a, float b, float v) {
  float t = Clamp01((v - a) / (b - a));
  return t * t * (3 - 2 * t);
}

// Evaluates fn at every pixel; u and v run from 0 to 1 across the tile.
template <class F>
TPicture Tex(int w, int h, F fn) {
  TPicture p;
  p.Width = w;
  p.Height = h;
  p.Pixels.resize(size_t(w) * size_t(h));
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      RGB c = fn(float(x) / float(w), float(y) / float(h), x, y);
      auto ch = [](float f) {
        long v = std::lround(Clamp01(f) * 255.f);
        return uint32_t(v < 2 ? 2 : v);  // no pure black, never the magenta mask
      };
      uint32_t v = ch(c.r) << 16 | ch(c.g) << 8 | ch(c.b);
      if (v == 0xFF00FFu) v = 0xFE01FEu;
      p.Pixels[size_t(y) * size_t(w) + size_t(x)] = v;
    }
  return p;
}

float Grain(int x, int y, uint32_t seed) {  // per-pixel noise -0.5..0.5
  return float(Hash(uint32_t(x), uint32_t(y), seed) & 0xffff) / 65535.f - 0.5f;
}

// Maple: pale honey wood with wavy grain lines and a soft figure.
TPicture Maple() {
  return Tex(300, 300, [](float u, float v, int x, int y) {
    float warp = PFbm(u * 3, v * 3, 3, 3, 4, 11);
    float wob = PFbm(u * 10, v * 10, 10, 10, 2, 15);
    float g = 24 * v + 1.4f * warp + 0.25f * wob;
    float frac = g - std::floor(g);
    float line = Smooth(0.78f, 0.95f, frac) * (1 - Smooth(0.95f, 1.0f, frac));
    float streak = PFbm(u * 2, v * 60, 2, 60, 3, 12);
    float mott = PFbm(u * 4, v * 4, 4, 4, 3, 13);
    RGB c = Mix(Hex(0xf2d29c), Hex(0xd3a062), Clamp01(0.25f + 0.5f * frac * 0.6f + 0.6f * (streak - 0.5f)));
    c = Mix(c, Hex(0xa86f34), line * 0.55f);
    c = Mix(c, Hex(0xfbe6bf), Smooth(0.55f, 0.8f, mott) * 0.3f);
    return Scale(c, 1 + 0.05f * Grain(x, y, 14));
  });
}

// Green marble: deep green with pale winding veins.
TPicture GreenMarble() {
  return Tex(300, 300, [](float u, float v, int x, int y) {
    float turb = PFbm(u * 2, v * 2, 2, 2, 5, 21);
    float t = std::sin(kTau * (1 * u + 2 * v + 2.4f * turb));
    float vein = std::pow(1 - std::fabs(t), 16.f);
    float halo = std::pow(1 - std::fabs(t), 4.f);
    float t2 = std::sin(kTau * (3 * u - 1 * v + 2.0f * PFbm(u * 3, v * 3, 3, 3, 4, 22)));
    float vein2 = std::pow(1 - std::fabs(t2), 40.f);
    float cloud = PFbm(u * 4, v * 4, 4, 4, 5, 23);
    RGB c = Mix(Hex(0x0c3a22), Hex(0x3a8658), Smooth(0.25f, 0.8f, cloud));
    c = Mix(c, Hex(0x78b88a), halo * 0.35f);
    c = Mix(c, Hex(0xe6f4e4), vein * 0.8f);
    c = Mix(c, Hex(0xb8dcc0), vein2 * 0.35f);
    return Scale(c, 1 + 0.04f * Grain(x, y, 24));
  });
}

// Lapis lazuli: mottled ultramarine with golden pyrite flecks and faint calcite.
TPicture Lapis() {
  return Tex(300, 300, [](float u, float v, int x, int y) {
    float cloud = PFbm(u * 6, v * 6, 6, 6, 5, 31);
    RGB c = Mix(Hex(0x15286e), Hex(0x2f56c4), Smooth(0.25f, 0.8f, cloud));
    float calc = PFbm(u * 4, v * 4, 4, 4, 5, 32);
    c = Mix(c, Hex(0x9fb3d8), Smooth(0.66f, 0.8f, calc) * 0.45f);
    // Pyrite: a fleck in some cells of a 12-pixel grid (25 cells, so it wraps).
    float best = 10;
    int cx0 = x / 12, cy0 = y / 12;
    for (int dy = -1; dy <= 1; ++dy)
      for (int dx = -1; dx <= 1; ++dx) {
        int cx = cx0 + dx, cy = cy0 + dy;
        uint32_t hsh = Hash(uint32_t((cx + 25) % 25), uint32_t((cy + 25) % 25), 33);
        if ((hsh & 255) > 42) continue;
        float fx = float(cx * 12) + 2 + float((hsh >> 8) & 7);
        float fy = float(cy * 12) + 2 + float((hsh >> 11) & 7);
        float r = 0.7f + float((hsh >> 14) & 3) * 0.35f;
        best = std::min(best, std::hypot(float(x) + 0.5f - fx, float(y) + 0.5f - fy) - r);
      }
    float fleck = Clamp01(0.5f - best);
    c = Mix(c, Hex(0xf2cf6a), fleck * 0.9f);
    return Scale(c, 1 + 0.06f * Grain(x, y, 34));
  });
}

// Terracotta: fired clay, warm and grainy with soft mottling.
TPicture Terracotta() {
  return Tex(300, 300, [](float u, float v, int x, int y) {
    float mott = PFbm(u * 5, v * 5, 5, 5, 5, 41);
    float fine = PFbm(u * 30, v * 30, 30, 30, 2, 42);
    RGB c = Mix(Hex(0x8a3a1e), Hex(0xbf5e36), Smooth(0.25f, 0.75f, mott));
    c = Mix(c, Hex(0xe89a66), Smooth(0.6f, 0.9f, fine) * 0.25f);
    float g = Grain(x, y, 43);
    if (g > 0.47f) c = Mix(c, Hex(0xf0c8a0), 0.45f);  // sand grains
    if (g < -0.48f) c = Scale(c, 0.75f);
    return Scale(c, 1 + 0.07f * Grain(x, y, 44));
  });
}

// Copper: hammered sheet, each dimple lit from the top left, with a warm sheen.
TPicture Copper() {
  return Tex(300, 300, [](float u, float v, int x, int y) {
    const int cells = 12;
    const float size = 25.f;
    float px = float(x) + 0.5f, py = float(y) + 0.5f;
    int cx0 = x / 25, cy0 = y / 25;
    float d1 = 1e9f, d2 = 1e9f, vx = 0, vy = 0;
    for (int dy = -1; dy <= 1; ++dy)
      for (int dx = -1; dx <= 1; ++dx) {
        int cx = cx0 + dx, cy = cy0 + dy;
        uint32_t h = Hash(uint32_t((cx + cells) % cells), uint32_t((cy + cells) % cells), 51);
        float fx = (float(cx) + 0.2f + 0.6f * float(h & 255) / 255.f) * size;
        float fy = (float(cy) + 0.2f + 0.6f * float((h >> 8) & 255) / 255.f) * size;
        float d = std::hypot(px - fx, py - fy);
        if (d < d1) {
          d2 = d1;
          d1 = d;
          vx = px - fx;
          vy = py - fy;
        } else if (d < d2) {
          d2 = d;
        }
      }
    float R = 0.5f * (d1 + d2);
    float slope = (vx * -0.707f + vy * -0.707f) / std::max(R, 1.f);
    float ridge = Smooth(0.75f, 1.f, 1 - (d2 - d1) / 4.f);
    float sheen = PFbm(u * 3, v * 3, 3, 3, 4, 52);
    float brush = PFbm(u * 2, v * 60, 2, 60, 2, 53);
    float band = 0.5f + 0.5f * std::sin(kTau * (u + v + 0.5f * sheen));
    RGB c = Mix(Hex(0x86381e), Hex(0xeb9462), Clamp01(0.15f + 0.75f * band + 0.3f * (brush - 0.5f)));
    c = Mix(c, Hex(0xffd6b4), Smooth(0.7f, 1.f, band) * 0.5f);
    c = Scale(c, 1.f - 0.2f * slope * Smooth(0.f, 0.6f, d1 / std::max(R, 1.f)));
    c = Mix(c, Hex(0xffd0aa), ridge * 0.15f);
    return Scale(c, 1 + 0.03f * Grain(x, y, 55));
  });
}

// Felt-like calm background in one colour.
TPicture Felt(uint32_t base, uint32_t lift, uint32_t seed) {
  return Tex(200, 200, [=](float u, float v, int x, int y) {
    float mott = PFbm(u * 4, v * 4, 4, 4, 4, seed);
    float fibre = PFbm(u * 50, v * 50, 50, 50, 2, seed + 1);
    RGB c = Mix(Hex(base), Hex(lift), Smooth(0.15f, 0.85f, mott) * 0.7f);
    c = Scale(c, 0.94f + 0.12f * fibre + 0.06f * Grain(x, y, seed + 2));
    return c;
  });
}

// Leather-like background: fine pebbled grain.
TPicture Leather(uint32_t base, uint32_t lift, uint32_t seed) {
  return Tex(200, 200, [=](float u, float v, int x, int y) {
    float mott = PFbm(u * 3, v * 3, 3, 3, 4, seed);
    float peb = PNoise(u * 40, v * 40, 40, 40, seed + 1);
    float peb2 = PNoise(u * 40 + 0.5f, v * 40 + 0.5f, 40, 40, seed + 3);
    float crease = std::fabs(peb - peb2);
    RGB c = Mix(Hex(base), Hex(lift), Smooth(0.2f, 0.85f, mott));
    c = Scale(c, 0.9f + 0.2f * crease + 0.04f * Grain(x, y, seed + 2));
    return c;
  });
}

// Dark walnut boards for the menu and message box.
TPicture Walnut() {
  return Tex(200, 200, [](float u, float v, int x, int y) {
    float warp = PFbm(u * 2, v * 4, 2, 4, 4, 61);
    float rings = std::sin(kTau * (12 * v + 1.8f * warp));
    float streak = PFbm(u * 2, v * 50, 2, 50, 3, 62);
    RGB c = Mix(Hex(0x4a2d18), Hex(0x24130a), Clamp01(0.45f + 0.3f * rings + 0.6f * (streak - 0.5f)));
    // Board seams every 50 pixels.
    float fy = std::fmod(float(y) + 0.5f, 50.f);
    if (fy < 1.2f) c = Scale(c, 0.45f);
    else if (fy < 2.4f) c = Mix(c, Hex(0x5e3c22), 0.35f);
    return Scale(c, 1 + 0.05f * Grain(x, y, 63));
  });
}
}  // namespace

TPicture WalnutTexture() { return Walnut(); }

std::vector<TImageItemData> BuildTextures() {
  std::vector<TPicture> pics = {
      Maple(),
      GreenMarble(),
      Lapis(),
      Terracotta(),
      Copper(),
      Felt(0x162036, 0x22304e, 70),     // maple pieces on midnight blue felt
      Leather(0x3a1517, 0x4e2022, 80),  // green marble on oxblood leather
      Leather(0x2a1d12, 0x3a2a1a, 90),  // lapis on dark tan leather
      Felt(0x17282a, 0x22393b, 100),    // terracotta on slate teal felt
      Felt(0x0f2a1c, 0x173a28, 110),    // copper on billiard green baize
      Walnut(),
  };
  const char* names[] = {"maple",   "greenmarble", "lapis",    "terracotta", "copper", "bg_maple",
                         "bg_marble", "bg_lapis",  "bg_terracotta", "bg_copper", "backdrop"};
  std::vector<TImageItemData> items;
  for (size_t i = 0; i < pics.size(); ++i) {
    TImageItemData it;
    it.Name = names[i];
    it.Transparent = false;
    it.HasPicture = true;
    it.Picture = std::move(pics[i]);
    items.push_back(std::move(it));
  }
  return items;
}
