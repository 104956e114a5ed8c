// Drawing speed: a playing-field-like frame, and our draws against SDL's software blits
// (colour-keyed SDL_BlitSurface, SDL_BlitScaled) on the same pixels.
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "bench_common.h"
#include "media/surface.h"

namespace {

constexpr uint32_t kMask = 0xFF00FF;

// A 300 x 300 piece picture: textured diamond-ish piece on a magenta surround.
void MakePiece(TSurface& s, uint32_t seed) {
  s.SetSize(300, 300);
  uint32_t r = seed;
  for (int32_t y = 0; y < 300; ++y)
    for (int32_t x = 0; x < 300; ++x) {
      r = r * 1664525u + 1013904223u;
      const int32_t dx = x - 150, dy = y - 150;
      const bool inside = (dx < 0 ? -dx : dx) + (dy < 0 ? -dy : dy) < 130;
      s.SetPixel(x, y, inside ? (r >> 8) & 0xFFFFFF : kMask);
    }
  s.TransparentColor = kMask;
}

void MakeTexture(TSurface& s, int32_t w, int32_t h, uint32_t seed) {
  s.SetSize(w, h);
  uint32_t r = seed;
  for (int32_t i = 0; i < w * h; ++i) {
    r = r * 1664525u + 1013904223u;
    s.Pixels()[i] = (r >> 8) & 0xFEFEFE;  // never the mask colour
  }
  s.TransparentColor = kMask;
}

struct Scene {
  TSurface back, texture, panel, button, tip;
  TSurface pieces[12];
  Scene() {
    back.SetSize(800, 600);
    MakeTexture(texture, 150, 150, 1);
    MakeTexture(panel, 800, 40, 2);
    MakeTexture(button, 40, 40, 3);
    MakeTexture(tip, 300, 100, 4);
    for (int i = 0; i < 12; ++i) MakePiece(pieces[i], 10 + i);
  }
};

void DrawFrame(Scene& s) {
  s.back.Fill(0);
  for (int32_t y = 0; y < 600; y += 150)
    for (int32_t x = 0; x < 800; x += 150) s.back.Draw(x, y, s.texture.ClientRect(), s.texture, false);
  for (int i = 0; i < 12; ++i)
    s.back.Draw(40 + (i % 4) * 160, 20 + (i / 4) * 140, s.pieces[i].ClientRect(), s.pieces[i], true);
  // Panel and its buttons are alpha draws at 255; the tip box and a fading picture blend.
  s.back.DrawAlpha({0, 0, 800, 40}, s.panel.ClientRect(), s.panel, true, 255);
  for (int i = 0; i < 6; ++i)
    s.back.DrawAlpha(Bounds(200 + i * 45, 0, 40, 40), s.button.ClientRect(), s.button, true, 255);
  s.back.DrawAlpha(Bounds(480, 480, 300, 100), s.tip.ClientRect(), s.tip, true, 180);
  s.back.DrawAlpha(Bounds(300, 150, 200, 100), s.tip.ClientRect(), s.tip, true, 128);
  s.back.DrawAlpha(Bounds(0, 560, 400, 40), s.panel.ClientRect(), s.panel, true, 200);
}

SDL_Surface* Wrap(TSurface& s) { return bench::WrapForSdl(s); }

void BM_Frame(benchmark::State& st) {
  Scene s;
  for (auto _ : st) {
    DrawFrame(s);
    benchmark::DoNotOptimize(s.back.Pixels());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_Frame)->Unit(benchmark::kMicrosecond)->Repetitions(7)->ReportAggregatesOnly(true);

// Twelve transparent 300 x 300 piece draws onto the back surface.
void BM_OurKeyedDraw(benchmark::State& st) {
  Scene s;
  for (auto _ : st) {
    for (int i = 0; i < 12; ++i)
      s.back.Draw(40 + (i % 4) * 160, 20 + (i / 4) * 140, s.pieces[i].ClientRect(), s.pieces[i], true);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_OurKeyedDraw)->Unit(benchmark::kMicrosecond)->Repetitions(7)->ReportAggregatesOnly(true);

void BM_SdlKeyedBlit(benchmark::State& st) {
  Scene s;
  SDL_Surface* dst = Wrap(s.back);
  SDL_Surface* src[12];
  for (int i = 0; i < 12; ++i) {
    src[i] = Wrap(s.pieces[i]);
    SDL_SetColorKey(src[i], SDL_TRUE, kMask);
  }
  for (auto _ : st) {
    for (int i = 0; i < 12; ++i) {
      SDL_Rect r{40 + (i % 4) * 160, 20 + (i / 4) * 140, 300, 300};
      SDL_BlitSurface(src[i], nullptr, dst, &r);
    }
    benchmark::ClobberMemory();
  }
  for (SDL_Surface* p : src) SDL_FreeSurface(p);
  SDL_FreeSurface(dst);
}
BENCHMARK(BM_SdlKeyedBlit)->Unit(benchmark::kMicrosecond)->Repetitions(7)->ReportAggregatesOnly(true);

// The tiled background: 24 opaque 150 x 150 copies.
void BM_OurTiles(benchmark::State& st) {
  Scene s;
  for (auto _ : st) {
    for (int32_t y = 0; y < 600; y += 150)
      for (int32_t x = 0; x < 800; x += 150) s.back.Draw(x, y, s.texture.ClientRect(), s.texture, false);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_OurTiles)->Unit(benchmark::kMicrosecond)->Repetitions(7)->ReportAggregatesOnly(true);

void BM_SdlTiles(benchmark::State& st) {
  Scene s;
  SDL_Surface* dst = Wrap(s.back);
  SDL_Surface* tex = Wrap(s.texture);
  for (auto _ : st) {
    for (int y = 0; y < 600; y += 150)
      for (int x = 0; x < 800; x += 150) {
        SDL_Rect r{x, y, 150, 150};
        SDL_BlitSurface(tex, nullptr, dst, &r);
      }
    benchmark::ClobberMemory();
  }
  SDL_FreeSurface(tex);
  SDL_FreeSurface(dst);
}
BENCHMARK(BM_SdlTiles)->Unit(benchmark::kMicrosecond)->Repetitions(7)->ReportAggregatesOnly(true);

// A stretched keyed draw: 300 x 100 onto 450 x 150, at alpha 255 (opaque) on our side.
void BM_OurStretch(benchmark::State& st) {
  Scene s;
  for (auto _ : st) {
    s.back.DrawAlpha(Bounds(100, 100, 450, 150), s.tip.ClientRect(), s.tip, true, 255);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_OurStretch)->Unit(benchmark::kMicrosecond)->Repetitions(7)->ReportAggregatesOnly(true);

void BM_SdlBlitScaled(benchmark::State& st) {
  Scene s;
  SDL_Surface* dst = Wrap(s.back);
  SDL_Surface* src = Wrap(s.tip);
  SDL_SetColorKey(src, SDL_TRUE, kMask);
  for (auto _ : st) {
    SDL_Rect r{100, 100, 450, 150};
    SDL_BlitScaled(src, nullptr, dst, &r);
    benchmark::ClobberMemory();
  }
  SDL_FreeSurface(src);
  SDL_FreeSurface(dst);
}
BENCHMARK(BM_SdlBlitScaled)->Unit(benchmark::kMicrosecond)->Repetitions(7)->ReportAggregatesOnly(true);

// Blends and turns, done per pixel.
void BM_OurAlphaBlend(benchmark::State& st) {
  Scene s;
  for (auto _ : st) {
    s.back.DrawAlpha(Bounds(480, 480, 300, 100), s.tip.ClientRect(), s.tip, true, 180);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_OurAlphaBlend)->Unit(benchmark::kMicrosecond)->Repetitions(7)->ReportAggregatesOnly(true);

void BM_OurRotate300(benchmark::State& st) {
  Scene s;
  TSurface tex;
  MakeTexture(tex, 300, 300, 7);
  TSurface dst;
  dst.SetSize(300, 300);
  for (auto _ : st) {
    dst.DrawRotate(150, 150, 300, 300, tex.ClientRect(), tex, 0.5, 0.5, false, 37);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_OurRotate300)->Unit(benchmark::kMicrosecond)->Repetitions(7)->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
