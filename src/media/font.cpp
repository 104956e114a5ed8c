// Canvas text: "Times New Roman" is Liberation Serif, "Arial" Liberation Sans, sizes in points
// at 96 dpi; the build's rasteriser makes the glyphs, cached here by face, size and character.
#include "media/font.h"

#include <algorithm>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "platform/font_raster.h"
#include "platform/text.h"

namespace font {
namespace {

using raster::kSans;
using raster::kSerif;
using Glyph = raster::GlyphBitmap;

constexpr size_t kMaxCachedGlyphs = 8192;

struct Metrics {
  int32_t ascent = 0;
  int32_t descent = 0;
};

// Everything the text code keeps between calls; freed by Shutdown or at exit.
struct FontState {
  std::unordered_map<uint64_t, Glyph> glyphs;
  std::unordered_map<uint64_t, Metrics> metrics;

  void Free() {
    glyphs.clear();
    metrics.clear();
    raster::Shutdown();
  }
  // At exit the rasteriser frees its own faces; which static goes first is not ours to say.
  ~FontState() = default;
};

FontState gFontCache;

uint32_t FaceIndex(const TFont& f) {
  const bool sans = plat::SameText(f.Name, "Arial");
  return (sans ? kSans : kSerif) + (f.Bold ? 1 : 0);
}

// Points, kept to a sane range so that a stray value cannot ask for giant bitmaps.
int32_t PointSize(const TFont& f) { return std::clamp(f.Size, 1, 400); }

uint64_t Key(uint32_t idx, int32_t pt, uint32_t cp) {
  return (static_cast<uint64_t>(idx) << 56) | (static_cast<uint64_t>(pt) << 32) | cp;
}

const Metrics* GetMetrics(uint32_t idx, int32_t pt) {
  const uint64_t key = Key(idx, pt, 0xFFFFFFFFu);
  auto it = gFontCache.metrics.find(key);
  if (it != gFontCache.metrics.end()) return &it->second;
  Metrics m;
  if (!raster::FaceMetrics(idx, pt, m.ascent, m.descent)) return nullptr;
  return &gFontCache.metrics.emplace(key, m).first->second;
}

const Glyph* GetGlyph(uint32_t idx, int32_t pt, uint32_t cp) {
  const uint64_t key = Key(idx, pt, cp);
  auto it = gFontCache.glyphs.find(key);
  if (it != gFontCache.glyphs.end()) return &it->second;
  Glyph g;
  if (!raster::RenderGlyph(idx, pt, cp, g)) return nullptr;
  // The game's texts use a few hundred glyphs; odd text must not grow the cache for ever.
  if (gFontCache.glyphs.size() >= kMaxCachedGlyphs) gFontCache.glyphs.clear();
  return &gFontCache.glyphs.emplace(key, std::move(g)).first->second;
}

// Next character of a UTF-8 string; a byte that starts no valid sequence stands for itself
// (Latin-1), so any text draws something sensible.
uint32_t NextChar(const std::string& s, size_t& i) {
  const auto b = [&](size_t k) { return static_cast<uint8_t>(s[k]); };
  const uint8_t c = b(i);
  if (c < 0x80) { ++i; return c; }
  int n = 0;
  uint32_t cp = 0;
  if ((c & 0xE0) == 0xC0) { n = 1; cp = c & 0x1F; }
  else if ((c & 0xF0) == 0xE0) { n = 2; cp = c & 0x0F; }
  else if ((c & 0xF8) == 0xF0) { n = 3; cp = c & 0x07; }
  if (n == 0 || i + n >= s.size()) { ++i; return c; }
  for (int k = 1; k <= n; ++k) {
    if ((b(i + k) & 0xC0) != 0x80) { ++i; return c; }
    cp = (cp << 6) | (b(i + k) & 0x3F);
  }
  if (cp > 0x10FFFF || (n == 1 && cp < 0x80) || (n == 2 && cp < 0x800) || (n == 3 && cp < 0x10000)) {
    ++i;
    return c;
  }
  i += static_cast<size_t>(n) + 1;
  return cp;
}

}  // namespace

int32_t TextWidth(const TFont& f, const std::string& text) {
  const uint32_t idx = FaceIndex(f);
  const int32_t pt = PointSize(f);
  int64_t w = 0;
  for (size_t i = 0; i < text.size();) {
    const Glyph* g = GetGlyph(idx, pt, NextChar(text, i));
    if (!g) return 0;
    w += g->advance;
  }
  return static_cast<int32_t>(std::min<int64_t>(w, INT32_MAX));
}

int32_t TextHeight(const TFont& f) {
  const Metrics* m = GetMetrics(FaceIndex(f), PointSize(f));
  return m ? m->ascent + m->descent : 0;
}

void DrawText(TSurface& dest, int32_t x, int32_t y, const TFont& f, const std::string& text) {
  const uint32_t idx = FaceIndex(f);
  const int32_t pt = PointSize(f);
  const Metrics* m = GetMetrics(idx, pt);
  if (!m) return;
  const uint32_t colour = TSurface::ColorMatch(f.Color);
  const uint32_t cRB = colour & 0xFF00FF, cG = colour & 0xFF00;
  const int32_t W = dest.Width(), H = dest.Height();
  uint32_t* pix = dest.Pixels();
  int64_t penX = x;
  const int64_t baseline = static_cast<int64_t>(y) + m->ascent;
  for (size_t i = 0; i < text.size();) {
    const Glyph* g = GetGlyph(idx, pt, NextChar(text, i));
    if (!g) return;
    const int64_t gx = penX + g->left, gy = baseline - g->top;
    penX += g->advance;
    if (g->coverage.empty() || gx >= W || gy >= H || gx + g->width <= 0 || gy + g->rows <= 0) continue;
    const int32_t c0 = static_cast<int32_t>(std::max<int64_t>(0, -gx));
    const int32_t c1 = static_cast<int32_t>(std::min<int64_t>(g->width, W - gx));
    const int32_t r0 = static_cast<int32_t>(std::max<int64_t>(0, -gy));
    const int32_t r1 = static_cast<int32_t>(std::min<int64_t>(g->rows, H - gy));
    for (int32_t r = r0; r < r1; ++r) {
      const uint8_t* cov = g->coverage.data() + static_cast<size_t>(r) * g->width;
      uint32_t* d = pix + (gy + r) * W + gx;
      for (int32_t cc = c0; cc < c1; ++cc) {
        const uint32_t a = cov[cc];
        if (a == 0) continue;
        if (a == 255) { d[cc] = colour; continue; }
        const uint32_t p = d[cc], ia = 255 - a;
        uint32_t rb = cRB * a + (p & 0xFF00FF) * ia + 0x800080;
        rb = ((rb + ((rb >> 8) & 0xFF00FF)) >> 8) & 0xFF00FF;
        uint32_t gg = cG * a + (p & 0xFF00) * ia + 0x8000;
        gg = ((gg + ((gg >> 8) & 0xFF00)) >> 8) & 0xFF00;
        d[cc] = rb | gg;
      }
    }
  }
}

void Shutdown() { gFontCache.Free(); }

}  // namespace font
