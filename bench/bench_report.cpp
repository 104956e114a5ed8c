// The performance report: one markdown table of the game's frames, piece-picture builds,
// package loading, start-up and peak memory on the real generated data, and the same pixel
// work done by our drawing, SDL's software blitter and pixman side by side. One core; medians.
#include <SDL.h>
#include <benchmark/benchmark.h>
#include <sched.h>
#include <unistd.h>
#if defined(TANGREL_HAVE_PIXMAN)
#include <pixman.h>
#endif

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/sdl/platform_sdl.h"
#include "app/mainform.h"
#include "app/shell.h"
#include "bench_common.h"
#include "frame_draws.h"
#include "hud/funcs.h"
#include "hud/msgbox.h"
#include "hud/panel.h"
#include "hud/tips.h"
#include "media/music.h"
#include "media/sound.h"
#include "menu/menu.h"
#include "platform/audio.h"
#include "platform/fake/fake_audio.h"
#include "platform/mci.h"
#include "puzzle/pieces.h"
#include "settings/reestr.h"
#include "testkit/testkit.h"

namespace {

using Clock = std::chrono::steady_clock;

// The level the twelve-piece figures use: the first twelve-piece level of the last episode.
constexpr int kTwelvePieceLevel = 94;
constexpr int kStartupRuns = 9;

double MsSince(Clock::time_point t0) {
  return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
}

double Median(std::vector<double> v) {
  if (v.empty()) return NAN;
  std::sort(v.begin(), v.end());
  const size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// --- the game, headless -------------------------------------------------------------------

// Everything a start-up needs besides the folder: the platform, and a silent audio output
// for the timed runs (start-ups use the program's own SDL output on the "dummy" driver).
struct Host {
  bench::QuietPlatform fake;
  plat::FakeAudio audio;
};

// The program's start-up up to the first menu frame drawn: the audio output and music player,
// window and main form, FormCreate (level ratings, packages, settings, menu, panel, effects
// converted, first theme opened on FluidSynth), the first activation (device, 288 picture
// slots, level 0) and the first frame. Returns the milliseconds taken. Without realAudio the
// game runs silent (no effects converted, no music), for the timed runs.
double StartProgram(Host& h, bool realAudio) {
  ResetAllUnits();
  const auto t0 = Clock::now();
  if (realAudio) {
    plat::InstallSdlAudio();
  } else {
    plat::SetAudio(&h.audio);
    plat::SetMediaControl(nullptr);
  }
  if (!StartMainForm()) return NAN;
  MainForm->AppActivate();
  MainForm->FrameTimerTimer(1);
  return MsSince(t0);
}

void EndProgram(bool realAudio) {
  EndMainForm();
  if (realAudio) {
    plat::ShutdownSdlAudio();
  } else {
    plat::SetAudio(nullptr);
  }
}

// Level 94 in play with 3D pieces, every one of its 288 pictures built.
void PlayTwelvePieceLevel() {
  Settings.Use3D = -1;
  Settings.Tips = -1;
  CurrentLevel = kTwelvePieceLevel;
  StartGame();
  ScreenState = scPlaying;
  CursorPos = {420, 250};
  for (int i = 1; i <= NumFig; ++i)
    for (int r = 0; r < 24; ++r) BuildPieceImage(static_cast<uint8_t>(i), static_cast<uint8_t>(r));
}

bool GameReady() {
  return MainForm && MainForm->DrawDevice.CanDraw() && NumFig == 12;
}

// --- the game's own figures -----------------------------------------------------------------

void BM_MenuFrame(benchmark::State& state) {
  if (!GameReady()) return state.SkipWithError("game not started");
  const uint8_t saved = ScreenState;
  ScreenState = scMenu;
  for (int i = 0; i < 30; ++i) MainForm->FrameTimerTimer(16);  // the highlights settle
  for (auto _ : state) {
    MainForm->FrameTimerTimer(16);
    benchmark::DoNotOptimize(MainForm->DrawDevice.Surface.Pixels());
  }
  ScreenState = saved;
}

void BM_PlayingFrame(benchmark::State& state) {
  if (!GameReady()) return state.SkipWithError("game not started");
  ScreenState = scPlaying;
  MainForm->FrameTimerTimer(16);
  for (auto _ : state) {
    TipClock = 0;
    MainForm->FrameTimerTimer(16);
    benchmark::DoNotOptimize(MainForm->DrawDevice.Surface.Pixels());
  }
}

// The dearest frame in play: a piece shows a turn for the first time, so its picture is
// built inside the frame (a different piece each time).
void BM_PlayingFrameWithBuild(benchmark::State& state) {
  if (!GameReady()) return state.SkipWithError("game not started");
  ScreenState = scPlaying;
  int i = 0;
  for (auto _ : state) {
    TPiece& p = PieceTable[i + 1];
    p.Images[p.Angle / 15].Built = 0;
    i = (i + 1) % NumFig;
    TipClock = 0;
    MainForm->FrameTimerTimer(16);
    benchmark::DoNotOptimize(MainForm->DrawDevice.Surface.Pixels());
  }
}

void BM_LevelCompleteFrame(benchmark::State& state) {
  if (!GameReady()) return state.SkipWithError("game not started");
  const auto at = static_cast<uint32_t>(state.range(0));
  ScreenState = scLevelComplete;
  for (auto _ : state) {
    MainForm->AnimClock = at - 1;
    TipClock = 0;
    MainForm->FrameTimerTimer(1);
    benchmark::DoNotOptimize(MainForm->DrawDevice.Surface.Pixels());
  }
  ScreenState = scPlaying;
}

// One picture per iteration, going round all 288 of the level.
void BM_PieceBuild(benchmark::State& state) {
  if (!GameReady()) return state.SkipWithError("game not started");
  const int32_t saved = Settings.Use3D;
  Settings.Use3D = state.range(0) ? -1 : 0;
  int k = 0;
  for (auto _ : state) {
    BuildPieceImage(static_cast<uint8_t>(k / 24 + 1), static_cast<uint8_t>(k % 24));
    k = (k + 1) % (24 * NumFig);
  }
  // Leave the 3D pictures the frames use.
  Settings.Use3D = saved;
  if (state.range(0) == 0)
    for (int i = 1; i <= NumFig; ++i)
      for (int r = 0; r < 24; ++r) BuildPieceImage(static_cast<uint8_t>(i), static_cast<uint8_t>(r));
}

void BM_LoadImages(benchmark::State& state, const char* file) {
  for (auto _ : state) {
    TImageList list;  // as at FormCreate: no device open yet, pictures only
    list.LoadFromFile(file);
    if (list.Count() == 0) return state.SkipWithError("empty package");
    benchmark::DoNotOptimize(list.Items.data());
  }
}

void BM_LoadSounds(benchmark::State& state) {
  // The program's own output converts the effects, as at start-up.
  plat::IAudioOutput* const saved = plat::Audio();
  plat::InstallSdlAudio();
  plat::SetMediaControl(nullptr);
  struct Restore {
    plat::IAudioOutput* audio;
    ~Restore() {
      plat::ShutdownSdlAudio();
      plat::SetAudio(audio);
    }
  } restore{saved};
  TSoundDevice device;
  if (!device.Initialize()) return state.SkipWithError("no audio output");
  for (auto _ : state) {
    TWaveList list(&device);  // every effect converted to the output format
    list.LoadFromFile("Sounds.spk");
    if (list.Count() == 0) return state.SkipWithError("empty package");
    benchmark::DoNotOptimize(list.Items.data());
  }
  device.Finalize();
}

// --- the same pixel work, three ways --------------------------------------------------------

using bench::AddBackground;
using bench::AddPieces;
using bench::AddSpriteAlpha;
using bench::Op;
using bench::RunOurs;

// The smallest rectangle holding every pixel that is not the surface's transparent colour.
TRect OpaqueBox(const TSurface& s) {
  int32_t l = s.Width(), t = s.Height(), r = 0, b = 0;
  for (int32_t y = 0; y < s.Height(); ++y)
    for (int32_t x = 0; x < s.Width(); ++x)
      if (s.Pixels()[static_cast<size_t>(y) * s.Width() + x] != s.TransparentColor) {
        l = std::min(l, x);
        r = std::max(r, x + 1);
        t = std::min(t, y);
        b = std::max(b, y + 1);
      }
  return r > l ? TRect{l, t, r, b} : TRect{0, 0, 0, 0};
}

struct Work {
  std::string name;
  std::vector<Op> ops;
  bool sdlRle = false;  // SDL's run-length acceleration on its colour-keyed sources
};

// The level-complete display's turning, shrinking, fading texture at T ms (T >= 200).
Op CompleteTurn(uint32_t t) {
  TImageItem& x = MainForm->TexList.Item(LevelTexture());
  const double tt = t;
  Op o;
  o.kind = Op::kTurn;
  o.src = &x.Surface();
  o.srcRect = x.PatternRect(0);
  o.x = PieceTable[0].Position.X;
  o.y = PieceTable[0].Position.Y;
  o.w = o.h = 270 - static_cast<int32_t>(std::nearbyint((tt - 200) * 200 / 3800));
  o.angle = static_cast<int32_t>(std::nearbyint((tt - 200) * 256 / 3800));
  o.alpha = static_cast<int32_t>(std::trunc((1 - tt / 4000) * 256));
  o.keyed = x.Transparent;
  return o;
}

std::vector<Work> MakeWorks(TSurface& turnScratch) {
  std::vector<Work> works;
  const uint8_t bg = static_cast<uint8_t>(LevelTexture() + 5);
  {
    Work w{"playing frame's draws (clear, tiles, slot, 12 pieces, panel, pointer)", {}};
    w.ops = bench::PlayingFrameOps();
    works.push_back(std::move(w));
  }
  {
    Work w{"tiled background, 800 x 600 opaque", {}};
    AddBackground(w.ops, bg);
    works.push_back(std::move(w));
  }
  {
    Work w{"twelve keyed piece pictures (ours through their opaque runs, as in play)", {}};
    AddPieces(w.ops);
    works.push_back(std::move(w));
  }
  {
    Work w{"twelve keyed piece pictures, SDL with RLE acceleration (ours: runs)", {}, true};
    AddPieces(w.ops);
    works.push_back(std::move(w));
  }
  {
    // Even the kept box has key-coloured corners: each box trimmed to its opaque pixels, and
    // ours with its plain keyed copy, without the runs.
    Work w{"twelve keyed piece pictures trimmed to their opaque pixels (ours: keyed copy)", {}};
    AddPieces(w.ops);
    for (Op& o : w.ops) {
      const TRect box = OpaqueBox(*o.src);
      o.dst = Bounds(o.dst.Left + box.Left, o.dst.Top + box.Top, box.Right - box.Left, box.Bottom - box.Top);
      o.srcRect = box;
      o.runs = nullptr;  // our plain keyed copy of the trimmed box
    }
    works.push_back(std::move(w));
  }
  {
    Work w;
    AddSpriteAlpha(w.ops, "pan_fortext", PanelButtons[9].Rect(), 0, 255);
    const Op& o = w.ops.back();
    w.name = "stretched keyed sprite (tip box " + std::to_string(o.srcRect.Right - o.srcRect.Left) + " x " +
             std::to_string(o.srcRect.Bottom - o.srcRect.Top) + " to " + std::to_string(o.dst.Right - o.dst.Left) +
             " x " + std::to_string(o.dst.Bottom - o.dst.Top) + ")";
    works.push_back(std::move(w));
  }
  {
    const TPoint k = PieceTable[0].Corners[1];
    Work w{"keyed alpha blend (caption 198 x 100 at alpha 85)", {}};
    AddSpriteAlpha(w.ops, "Complete_52x100", {k.X + 2, k.Y + 50, k.X + 200, k.Y + 150}, 0, 85);
    works.push_back(std::move(w));
  }
  {
    Work w{"turn + scale + fade (level complete, T = 1000 ms)", {CompleteTurn(1000)}};
    works.push_back(std::move(w));
  }
  {
    // The first step of a piece picture: the level texture turned onto 300 x 300.
    const TPicture& tex = MainForm->TexList.Item(LevelTexture()).Picture;
    turnScratch.LoadFromGraphic(tex);
    Op o;
    o.kind = Op::kTurn;
    o.src = &turnScratch;
    o.srcRect = {0, 0, std::min(300, turnScratch.Width()), std::min(300, turnScratch.Height())};
    o.x = o.y = 150;
    o.w = o.h = 300;
    o.angle = 37;
    Work w{"turned opaque texture (picture build step, 300 x 300)", {o}};
    works.push_back(std::move(w));
  }
  return works;
}

// SDL: every draw gets its own surface over the source pixels, with its colour key and alpha
// modulation set once; turns go through the software renderer's RenderCopyEx.
struct SdlWork {
  SDL_Surface* dst = nullptr;
  SDL_Renderer* renderer = nullptr;
  struct Step {
    const Op* op;
    SDL_Surface* src = nullptr;
    SDL_Texture* tex = nullptr;
    SDL_Rect srcRect{}, dstRect{};
  };
  std::vector<Step> steps;
  bool ok = true;

  SdlWork(TSurface& target, const std::vector<Op>& ops, bool rle = false) {
    dst = bench::WrapForSdl(target);
    for (const Op& o : ops) {
      Step s{&o};
      if (o.kind != Op::kFill) {
        s.src = bench::WrapForSdl(const_cast<TSurface&>(*o.src));
        if (!s.src) ok = false;
        if (!s.src) continue;
        if (o.keyed) SDL_SetColorKey(s.src, SDL_TRUE, o.src->TransparentColor);
        if (o.keyed && rle) SDL_SetSurfaceRLE(s.src, 1);
        if (o.alpha < 255) {
          SDL_SetSurfaceAlphaMod(s.src, static_cast<Uint8>(o.alpha));
          SDL_SetSurfaceBlendMode(s.src, SDL_BLENDMODE_BLEND);
        }
        s.srcRect = {o.srcRect.Left, o.srcRect.Top, o.srcRect.Right - o.srcRect.Left,
                     o.srcRect.Bottom - o.srcRect.Top};
        s.dstRect = {o.dst.Left, o.dst.Top, o.dst.Right - o.dst.Left, o.dst.Bottom - o.dst.Top};
      }
      if (o.kind == Op::kTurn) {
        if (!renderer) renderer = SDL_CreateSoftwareRenderer(dst);
        if (renderer) s.tex = SDL_CreateTextureFromSurface(renderer, s.src);
        if (!s.tex) ok = false;
        if (s.tex) {
          SDL_SetTextureScaleMode(s.tex, SDL_ScaleModeNearest);
          SDL_SetTextureAlphaMod(s.tex, static_cast<Uint8>(std::min(o.alpha, 255)));
          SDL_SetTextureBlendMode(s.tex, SDL_BLENDMODE_BLEND);
        }
      }
      steps.push_back(s);
    }
  }
  ~SdlWork() {
    for (Step& s : steps) {
      if (s.tex) SDL_DestroyTexture(s.tex);
      if (s.src) SDL_FreeSurface(s.src);
    }
    if (renderer) SDL_DestroyRenderer(renderer);
    if (dst) SDL_FreeSurface(dst);
  }

  void Run() {
    for (Step& s : steps) {
      const Op& o = *s.op;
      switch (o.kind) {
        case Op::kFill: SDL_FillRect(dst, nullptr, o.colour); break;
        case Op::kCopy: {
          SDL_Rect d = s.dstRect;
          SDL_BlitSurface(s.src, &s.srcRect, dst, &d);
          break;
        }
        case Op::kStretch: {
          SDL_Rect d = s.dstRect;
          if (d.w == s.srcRect.w && d.h == s.srcRect.h)
            SDL_BlitSurface(s.src, &s.srcRect, dst, &d);
          else
            SDL_BlitScaled(s.src, &s.srcRect, dst, &d);
          break;
        }
        case Op::kTurn: {
          const SDL_FRect d{static_cast<float>(o.x - o.cx * o.w), static_cast<float>(o.y - o.cy * o.h),
                            static_cast<float>(o.w), static_cast<float>(o.h)};
          const SDL_FPoint c{static_cast<float>(o.cx * o.w), static_cast<float>(o.cy * o.h)};
          SDL_RenderCopyExF(renderer, s.tex, &s.srcRect, &d, o.angle * 360.0 / 256, &c, SDL_FLIP_NONE);
          break;
        }
      }
    }
    if (renderer) SDL_RenderFlush(renderer);
  }
};

#if defined(TANGREL_HAVE_PIXMAN)
// pixman: opaque sources are x8r8g8b8 images over the source pixels; a keyed source is an
// a8r8g8b8 copy made once with the key as alpha 0 (pixman has no colour key). Fades use a
// solid mask; stretches and turns a nearest-neighbour transform set once per draw.
struct PixmanWork {
  pixman_image_t* dst = nullptr;
  TSurface* target;
  struct Step {
    const Op* op;
    pixman_image_t* src = nullptr;
    pixman_image_t* mask = nullptr;
    pixman_op_t pop = PIXMAN_OP_SRC;
    int srcX = 0, srcY = 0, dstX = 0, dstY = 0, w = 0, h = 0;
  };
  std::vector<Step> steps;
  std::map<const TSurface*, std::vector<uint32_t>> keyedCopies;

  pixman_image_t* SourceImage(const Op& o) {
    const int sw = o.src->Width();
    const TRect& r = o.srcRect;
    const int l = std::max(0, r.Left), t = std::max(0, r.Top);
    const int rr = std::min(sw, r.Right), b = std::min(o.src->Height(), r.Bottom);
    uint32_t* bits = const_cast<uint32_t*>(o.src->Pixels());
    pixman_format_code_t fmt = PIXMAN_x8r8g8b8;
    if (o.keyed) {
      auto& copy = keyedCopies[o.src];
      if (copy.empty()) {
        const uint32_t key = o.src->TransparentColor;
        copy.resize(static_cast<size_t>(sw) * o.src->Height());
        for (size_t i = 0; i < copy.size(); ++i) {
          const uint32_t p = o.src->Pixels()[i];
          copy[i] = p == key ? 0u : (0xFF000000u | p);
        }
      }
      bits = copy.data();
      fmt = PIXMAN_a8r8g8b8;
    }
    return pixman_image_create_bits(fmt, std::max(0, rr - l), std::max(0, b - t),
                                    bits + static_cast<size_t>(t) * sw + l, sw * 4);
  }

  PixmanWork(TSurface& target_, const std::vector<Op>& ops) : target(&target_) {
    dst = pixman_image_create_bits(PIXMAN_x8r8g8b8, target->Width(), target->Height(),
                                   target->Pixels(), target->Pitch() * 4);
    for (const Op& o : ops) {
      Step s{&o};
      if (o.kind == Op::kFill) {
        steps.push_back(s);
        continue;
      }
      s.src = SourceImage(o);
      const int sw = o.srcRect.Right - o.srcRect.Left, sh = o.srcRect.Bottom - o.srcRect.Top;
      if (o.alpha < 255) {
        const pixman_color_t c{0, 0, 0, static_cast<uint16_t>(o.alpha * 257)};
        s.mask = pixman_image_create_solid_fill(&c);
      }
      s.pop = o.keyed || o.alpha < 255 || o.kind == Op::kTurn ? PIXMAN_OP_OVER : PIXMAN_OP_SRC;
      if (o.kind == Op::kCopy || (o.kind == Op::kStretch && o.dst.Right - o.dst.Left == sw &&
                                  o.dst.Bottom - o.dst.Top == sh)) {
        s.dstX = o.dst.Left;
        s.dstY = o.dst.Top;
        s.w = sw;
        s.h = sh;
      } else if (o.kind == Op::kStretch) {
        const double dw = o.dst.Right - o.dst.Left, dh = o.dst.Bottom - o.dst.Top;
        pixman_f_transform ft;
        pixman_f_transform_init_scale(&ft, sw / dw, sh / dh);
        pixman_transform t;
        pixman_transform_from_pixman_f_transform(&t, &ft);
        pixman_image_set_transform(s.src, &t);
        pixman_image_set_filter(s.src, PIXMAN_FILTER_NEAREST, nullptr, 0);
        s.dstX = o.dst.Left;
        s.dstY = o.dst.Top;
        s.w = static_cast<int>(dw);
        s.h = static_cast<int>(dh);
      } else {
        // Destination pixel centre relative to (x, y) -> source pixel: the inverse turn,
        // then the scale, as our turned draw does.
        const double a = o.angle * 2 * M_PI / 256, c = std::cos(a), sn = std::sin(a);
        const double kx = static_cast<double>(sw) / o.w, ky = static_cast<double>(sh) / o.h;
        const double ox = o.cx * o.w, oy = o.cy * o.h;
        pixman_f_transform ft;
        ft.m[0][0] = kx * c;
        ft.m[0][1] = kx * sn;
        ft.m[0][2] = kx * ox;
        ft.m[1][0] = -ky * sn;
        ft.m[1][1] = ky * c;
        ft.m[1][2] = ky * oy;
        ft.m[2][0] = ft.m[2][1] = 0;
        ft.m[2][2] = 1;
        pixman_transform t;
        pixman_transform_from_pixman_f_transform(&t, &ft);
        pixman_image_set_transform(s.src, &t);
        pixman_image_set_filter(s.src, PIXMAN_FILTER_NEAREST, nullptr, 0);
        // The turned rectangle's bounding box, clipped to the target.
        const double r = std::hypot(std::max(ox, o.w - ox), std::max(oy, o.h - oy)) + 1;
        const int x0 = std::max(0, static_cast<int>(std::floor(o.x - r)));
        const int y0 = std::max(0, static_cast<int>(std::floor(o.y - r)));
        const int x1 = std::min(target->Width(), static_cast<int>(std::ceil(o.x + r)));
        const int y1 = std::min(target->Height(), static_cast<int>(std::ceil(o.y + r)));
        s.dstX = x0;
        s.dstY = y0;
        s.srcX = x0 - o.x;
        s.srcY = y0 - o.y;
        s.w = std::max(0, x1 - x0);
        s.h = std::max(0, y1 - y0);
      }
      steps.push_back(s);
    }
  }
  ~PixmanWork() {
    for (Step& s : steps) {
      if (s.src) pixman_image_unref(s.src);
      if (s.mask) pixman_image_unref(s.mask);
    }
    if (dst) pixman_image_unref(dst);
  }

  void Run() {
    for (const Step& s : steps) {
      if (s.op->kind == Op::kFill) {
        pixman_fill(target->Pixels(), target->Pitch(), 32, 0, 0, target->Width(), target->Height(),
                    s.op->colour);
        continue;
      }
      pixman_image_composite32(s.pop, s.src, s.mask, dst, s.srcX, s.srcY, 0, 0, s.dstX, s.dstY, s.w, s.h);
    }
  }
};
#endif

// The target every pixel-work run draws onto: a frame of the level in play.
TSurface PixelTarget;
TSurface TurnScratch;
std::vector<Work> Works;

void ResetTarget() {
  const TSurface& frame = MainForm->DrawDevice.Surface;
  if (PixelTarget.Width() != frame.Width()) PixelTarget.SetSize(frame.Width(), frame.Height());
  std::copy(frame.Pixels(), frame.Pixels() + static_cast<size_t>(frame.Width()) * frame.Height(),
            PixelTarget.Pixels());
}

// CPU time of this thread, in microseconds.
double ThreadCpuUs() {
  timespec ts{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return ts.tv_sec * 1e6 + ts.tv_nsec / 1e3;
}

// Ours and the peers on one work, measured in pairs: every round runs a batch of each back
// to back (the order turning round), so a change in the machine's load falls on all three.
// Medians over the rounds of the per-iteration CPU time and of the per-round ratios.
struct Paired {
  double ours = NAN, sdl = NAN, pixman = NAN, ratioSdl = NAN, ratioPixman = NAN;
  std::string error;
};
constexpr int kPairRounds = 31;

Paired MeasurePaired(const Work& w) {
  Paired r;
  ResetTarget();
  SdlWork sdl(PixelTarget, w.ops, w.sdlRle);
  if (!sdl.ok) r.error = SDL_GetError();
  std::vector<std::function<void()>> run{[&] { RunOurs(PixelTarget, w.ops); }};
  if (sdl.ok) run.push_back([&] { sdl.Run(); });
#if defined(TANGREL_HAVE_PIXMAN)
  PixmanWork pw(PixelTarget, w.ops);
  run.push_back([&] { pw.Run(); });
#endif
  // Batches of about a millisecond each, sized on a warm run.
  std::vector<int> batch;
  for (auto& f : run) {
    f();
    const double t0 = ThreadCpuUs();
    f();
    const double once = std::max(0.05, ThreadCpuUs() - t0);
    batch.push_back(std::clamp(static_cast<int>(1000 / once), 1, 100000));
  }
  std::vector<std::vector<double>> times(run.size());
  std::vector<double> rs, rp;
  for (int round = 0; round < kPairRounds; ++round) {
    std::vector<double> t(run.size());
    for (size_t k = 0; k < run.size(); ++k) {
      const size_t j = (k + static_cast<size_t>(round)) % run.size();
      const double t0 = ThreadCpuUs();
      for (int i = 0; i < batch[j]; ++i) run[j]();
      benchmark::ClobberMemory();
      t[j] = (ThreadCpuUs() - t0) / batch[j];
      times[j].push_back(t[j]);
    }
    if (sdl.ok) rs.push_back(t[0] / t[1]);
    if (run.size() == 3 || (!sdl.ok && run.size() == 2)) rp.push_back(t[0] / t.back());
  }
  r.ours = Median(times[0]);
  if (sdl.ok) {
    r.sdl = Median(times[1]);
    r.ratioSdl = Median(rs);
  }
#if defined(TANGREL_HAVE_PIXMAN)
  r.pixman = Median(times.back());
  r.ratioPixman = Median(rp);
#endif
  return r;
}

// Share of pixels a peer leaves different from ours, after one run from the same frame.
struct Agreement {
  double sdl = NAN, pixman = NAN;
};

double DiffShare(const std::vector<uint32_t>& a, const TSurface& b) {
  size_t n = 0;
  // pixman may fill the unused top byte of an x8r8g8b8 pixel: only the colour counts.
  for (size_t i = 0; i < a.size(); ++i) n += ((a[i] ^ b.Pixels()[i]) & 0xFFFFFF) != 0;
  return a.empty() ? NAN : 100.0 * static_cast<double>(n) / static_cast<double>(a.size());
}

// Runs start from a plain grey target here, so a peer that drew nothing cannot agree.
void GreyTarget() {
  ResetTarget();
  PixelTarget.Fill(0x404850);
}

Agreement Compare(const Work& w) {
  Agreement g;
  GreyTarget();
  RunOurs(PixelTarget, w.ops);
  const std::vector<uint32_t> ours(PixelTarget.Pixels(),
                                   PixelTarget.Pixels() + static_cast<size_t>(PixelTarget.Width()) * PixelTarget.Height());
  GreyTarget();
  {
    SdlWork sdl(PixelTarget, w.ops, w.sdlRle);
    if (sdl.ok) {
      sdl.Run();
      g.sdl = DiffShare(ours, PixelTarget);
    }
  }
#if defined(TANGREL_HAVE_PIXMAN)
  GreyTarget();
  {
    PixmanWork pw(PixelTarget, w.ops);
    pw.Run();
    g.pixman = DiffShare(ours, PixelTarget);
  }
#endif
  return g;
}

// Each draw of a work on its own, ours against pixman: where a difference comes from.
void ExplainWork(const Work& w) {
  for (size_t i = 0; i < w.ops.size(); ++i) {
    const std::vector<Op> one{w.ops[i]};
    const auto time = [](const std::function<void()>& f) {
      std::vector<double> v;
      for (int r = 0; r < 7; ++r) {
        const auto t0 = Clock::now();
        for (int k = 0; k < 200; ++k) f();
        v.push_back(MsSince(t0) * 1000 / 200);
      }
      return Median(v);
    };
    ResetTarget();
    const double ours = time([&] { RunOurs(PixelTarget, one); });
    SdlWork sw(PixelTarget, one);
    const double sdl = time([&] { sw.Run(); });
    double px = NAN;
#if defined(TANGREL_HAVE_PIXMAN)
    PixmanWork pw(PixelTarget, one);
    px = time([&] { pw.Run(); });
#endif
    const Op& o = w.ops[i];
    std::fprintf(stderr, "  op %2zu kind %d src %dx%d rect %d,%d-%d,%d dst %d,%d-%d,%d key %d alpha %d: ours %.1f us, SDL %.1f us, pixman %.1f us\n",
                 i, o.kind, o.src ? o.src->Width() : 0, o.src ? o.src->Height() : 0, o.srcRect.Left,
                 o.srcRect.Top, o.srcRect.Right, o.srcRect.Bottom, o.dst.Left, o.dst.Top, o.dst.Right,
                 o.dst.Bottom, o.keyed, o.alpha, ours, sdl, px);
  }
}

// --- collecting the medians ---------------------------------------------------------------

struct Figure {
  double wallUs = NAN, cpuUs = NAN;
  std::string error;
};
std::map<std::string, Figure> Figures;

class Collector : public benchmark::BenchmarkReporter {
 public:
  bool ReportContext(const Context&) override { return true; }
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& r : runs) {
      std::string name = r.run_name.function_name;
      if (!r.run_name.args.empty()) name += "/" + r.run_name.args;
      if (r.error_occurred) {
        Figures[name].error = r.error_message;
        std::fprintf(stderr, "  %-28s skipped: %s\n", name.c_str(), r.error_message.c_str());
        continue;
      }
      if (r.run_type != Run::RT_Aggregate || r.aggregate_name != "median") continue;
      const double toUs = 1e6 / benchmark::GetTimeUnitMultiplier(r.time_unit);
      Figure& f = Figures[name];
      f.wallUs = r.GetAdjustedRealTime() * toUs;
      f.cpuUs = r.GetAdjustedCPUTime() * toUs;
      std::fprintf(stderr, "  %-28s %10.1f us wall %10.1f us cpu\n", name.c_str(), f.wallUs, f.cpuUs);
    }
  }
};

// --- the table ----------------------------------------------------------------------------

std::string Fmt(double v, const char* fmt) {
  if (std::isnan(v)) return "—";
  char b[64];
  std::snprintf(b, sizeof b, fmt, v);
  return b;
}

std::string Time(double us) {
  if (std::isnan(us)) return "—";
  if (us >= 1000) return Fmt(us / 1000, "%.2f ms");
  return Fmt(us, "%.1f µs");
}

void Row(const std::string& what, const std::string& ours, const std::string& sdl,
         const std::string& pixman, const std::string& rs, const std::string& rp,
         const std::string& target, const std::string& met) {
  std::printf("| %s | %s | %s | %s | %s | %s | %s | %s |\n", what.c_str(), ours.c_str(), sdl.c_str(),
              pixman.c_str(), rs.c_str(), rp.c_str(), target.c_str(), met.c_str());
}

const char* YesNo(bool ok) { return ok ? "yes" : "**no**"; }

std::string CpuModel() {
  std::ifstream in("/proc/cpuinfo");
  std::string line;
  while (std::getline(in, line))
    if (line.rfind("model name", 0) == 0) {
      const size_t c = line.find(':');
      return c == std::string::npos ? line : line.substr(c + 2);
    }
  return "unknown";
}

std::string MemTotal() {
  std::ifstream in("/proc/meminfo");
  std::string key;
  long kb = 0;
  while (in >> key >> kb)
    if (key == "MemTotal:") return Fmt(kb / 1048576.0, "%.1f GiB");
  return "unknown";
}

std::string LoadAverage() {
  double l[3];
  if (getloadavg(l, 3) != 3) return "unknown";
  char b[64];
  std::snprintf(b, sizeof b, "%.2f %.2f %.2f", l[0], l[1], l[2]);
  return b;
}

}  // namespace

int main(int argc, char** argv) {
  // One core: the one we started on.
  const int cpu = sched_getcpu();
  cpu_set_t one;
  CPU_ZERO(&one);
  CPU_SET(cpu < 0 ? 0 : cpu, &one);
  const bool pinned = sched_setaffinity(0, sizeof one, &one) == 0;
  const std::string loadBefore = LoadAverage();

  // Start-ups open the program's own audio output; no sound card is needed.
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  // Repetitions of different benchmarks interleave, so a change in the machine's load
  // falls on ours and the peers alike.
  std::vector<char*> args(argv, argv + argc);
  std::string interleave = "--benchmark_enable_random_interleaving=true";
  bool given = false;
  for (char* a : args) given = given || std::string(a).rfind("--benchmark_enable_random_interleaving", 0) == 0;
  if (!given) args.push_back(interleave.data());
  int nargs = static_cast<int>(args.size());
  benchmark::Initialize(&nargs, args.data());
  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "0");

  // A copy of the game folder to run in.
  testkit::ScratchFolder work;
  if (!work.Enter("bench") || !testkit::CopyGameFolder(TANGREL_GAME_DIR, work.path)) {
    std::fprintf(stderr, "bench_report: cannot copy the game folder %s (build it first)\n", TANGREL_GAME_DIR);
    return 1;
  }
  Host host;
  testkit::StartUnits(host.fake, work.Dir());
  host.fake.programDir = "./";

  // Start-up, the first in this process (nothing warmed up).
  std::fprintf(stderr, "start-up ...\n");
  const double firstStartup = StartProgram(host, true);
  const bool menuShown = MainForm && ScreenState == scMenu && MainForm->DrawDevice.CanDraw();
  char loaded[160] = "nothing";
  if (MainForm)
    std::snprintf(loaded, sizeof loaded, "%d sprites, %d textures, %d effects, sound device %s",
                  MainForm->ImageList.Count(), MainForm->TexList.Count(), MainForm->WaveList.Count(),
                  MainForm->SoundDevice.Initialized() ? "open" : "closed");
  std::fprintf(stderr, "  first start-up %.1f ms: %s\n", firstStartup, loaded);
  for (const std::string& e : host.fake.errors) std::fprintf(stderr, "  reported: %s\n", e.c_str());
  const size_t startupErrors = host.fake.errors.size();
  const long menuHwmKb = bench::ProcStatusKb("VmHWM:");

  // Peak memory, the game as it runs (sound and music on): the twelve-piece level with every
  // picture built and a frame drawn.
  long hwmKb = -1, rssKb = -1, anonKb = -1, fileKb = -1;
  int pictures = 0;
  try {
    PlayTwelvePieceLevel();
    MainForm->FrameTimerTimer(16);
    hwmKb = bench::ProcStatusKb("VmHWM:");
    rssKb = bench::ProcStatusKb("VmRSS:");
    anonKb = bench::ProcStatusKb("RssAnon:");
    fileKb = bench::ProcStatusKb("RssFile:");
    for (int i = 1; i <= NumFig; ++i)
      for (auto& im : PieceTable[i].Images) pictures += im.Built && im.Image;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "bench_report: the twelve-piece level failed: %s\n", e.what());
  }
  EndProgram(true);

  // Start-up again, several times over, from the same folder.
  std::vector<double> startups;
  for (int i = 0; i < kStartupRuns; ++i) {
    startups.push_back(StartProgram(host, true));
    EndProgram(true);
  }
  const double startupMedian = Median(startups);

  // The timed runs: the game silent (no audio thread on our core), level 94 in play.
  StartProgram(host, false);
  try {
    PlayTwelvePieceLevel();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "bench_report: the twelve-piece level failed: %s\n", e.what());
  }
  MainForm->FrameTimerTimer(16);
  Works = MakeWorks(TurnScratch);
  const auto reg = [](const std::string& name, auto fn) {
    return benchmark::RegisterBenchmark(name.c_str(), fn)
        ->Unit(benchmark::kMicrosecond)
        ->MinTime(0.05)
        ->Repetitions(15)
        ->ReportAggregatesOnly(true);
  };
  reg("menu_frame", BM_MenuFrame);
  reg("playing_frame", BM_PlayingFrame);
  reg("playing_frame_build", BM_PlayingFrameWithBuild);
  reg("complete_frame", BM_LevelCompleteFrame)->Arg(1000)->Arg(3000);
  reg("piece_build", BM_PieceBuild)->Arg(1)->Arg(0);
  reg("load_sprites", [](benchmark::State& s) { BM_LoadImages(s, "Sprites.gpk"); })->Repetitions(5);
  reg("load_textures", [](benchmark::State& s) { BM_LoadImages(s, "Textures.gpk"); })->Repetitions(5);
  reg("load_sounds", BM_LoadSounds)->Repetitions(5);
  std::fprintf(stderr, "timed runs (medians of repetitions) ...\n");
  Collector collector;
  benchmark::RunSpecifiedBenchmarks(&collector);
  if (const char* e = std::getenv("TANGREL_BENCH_OPS"))
    ExplainWork(Works[std::min<size_t>(Works.size() - 1, std::strtoul(e, nullptr, 10))]);
  std::fprintf(stderr, "pixel work, ours and peers in pairs ...\n");
  std::vector<Paired> paired;
  for (const Work& w : Works) {
    paired.push_back(MeasurePaired(w));
    const Paired& p = paired.back();
    std::fprintf(stderr, "  %-60.60s ours %8.1f  SDL %8.1f  pixman %8.1f us\n", w.name.c_str(), p.ours, p.sdl,
                 p.pixman);
  }
  std::vector<Agreement> agreement;
  for (const Work& w : Works) agreement.push_back(Compare(w));
  EndProgram(false);
  plat::SetPlatform(nullptr);

  // --- the table ---
  const auto fig = [](const std::string& n) { return Figures.count(n) ? Figures[n] : Figure{}; };
  std::printf("## Tangrel 2.0 performance report\n\n");
  std::printf("| Measure | Ours | SDL | pixman | ours/SDL | ours/pixman | Target | Met |\n");
  std::printf("|---|---:|---:|---:|---:|---:|---|---|\n");
  // Wall time decides a target; the CPU time beside it shows how much of it was the machine.
  const auto wallCpu = [](const Figure& f) {
    return std::isnan(f.wallUs) ? std::string("—") : Time(f.wallUs) + " (CPU " + Time(f.cpuUs) + ")";
  };
  const auto frameRow = [&](const std::string& what, const std::string& n) {
    const Figure f = fig(n);
    const char* met = std::isnan(f.wallUs) ? "—"
                      : f.wallUs <= 1500   ? "yes"
                      : f.cpuUs <= 1500    ? "**no** (CPU time yes)"
                                           : "**no**";
    Row(what, wallCpu(f), "", "", "", "", "≤ 1.5 ms", met);
  };
  frameRow("Menu frame (episode page, first shown)", "menu_frame");
  frameRow("Playing frame, level 94: twelve 3D pieces, panel, tips, clock", "playing_frame");
  frameRow("Playing frame as above that also builds one piece picture (a turn shown first)",
           "playing_frame_build");
  frameRow("Level-complete frame, T = 1000 ms (turning fade)", "complete_frame/1000");
  frameRow("Level-complete frame, T = 3000 ms (turning fade + caption fade)", "complete_frame/3000");
  for (int on = 1; on >= 0; --on) {
    const Figure f = fig(on ? "piece_build/1" : "piece_build/0");
    Row(std::string("Piece picture build, 3D ") + (on ? "on" : "off") + ", one picture (all 288: " +
            Time(f.wallUs * 288) + ")",
        wallCpu(f), "", "", "", "", "", "");
  }
  Row("Package loading: Sprites.gpk", wallCpu(fig("load_sprites")), "", "", "", "", "", "");
  Row("Package loading: Textures.gpk", wallCpu(fig("load_textures")), "", "", "", "", "", "");
  Row("Package loading: Sounds.spk (effects converted)", wallCpu(fig("load_sounds")), "", "", "", "", "", "");
  Row("Start-up to the first menu frame (median of " + std::to_string(kStartupRuns) + ")",
      Fmt(startupMedian, "%.1f ms"), "", "", "", "", "< 300 ms",
      std::isnan(startupMedian) || !menuShown ? "**no**" : YesNo(startupMedian < 300));
  Row("Start-up to the first menu frame (first in the process)", Fmt(firstStartup, "%.1f ms"), "", "",
      "", "", "< 300 ms", std::isnan(firstStartup) || !menuShown ? "**no**" : YesNo(firstStartup < 300));
  Row("Peak memory (VmHWM), level 94 with " + std::to_string(pictures) + " of 288 pictures built",
      Fmt(hwmKb / 1024.0, "%.1f MB"), "", "", "", "", "< 160 MB",
      hwmKb < 0 || pictures != 288 ? "**no**" : YesNo(hwmKb / 1024.0 < 160));
  Row("Peak memory (VmHWM) at the first menu frame", Fmt(menuHwmKb / 1024.0, "%.1f MB"), "", "", "", "", "", "");
  for (size_t i = 0; i < Works.size(); ++i) {
    const Paired& p = paired[i];
    // Within 5 % is within this machine's run-to-run noise: called "par", not "yes".
    const double worst = std::max(p.ratioSdl, std::isnan(p.ratioPixman) ? 0.0 : p.ratioPixman);
    const char* met = std::isnan(worst) ? "—" : worst <= 1.0 ? "yes" : worst <= 1.05 ? "par" : "**no**";
    Row("P" + std::to_string(i + 1) + ". Same pixel work: " + Works[i].name, Time(p.ours), Time(p.sdl),
        Time(p.pixman), Fmt(p.ratioSdl, "%.2f"), Fmt(p.ratioPixman, "%.2f"), "ours ≤ both", met);
  }
  std::printf("\nFrames, builds, loading: medians of %d repetitions, wall time (CPU time beside it). Pixel work "
              "(P rows): ours and the peers run in pairs of batches, %d rounds; medians of CPU time per run "
              "and of the per-round ratios (< 1: ours faster). Pixels left different from ours after one "
              "run (SDL / pixman):",
              15, kPairRounds);
  for (size_t i = 0; i < Works.size(); ++i)
    std::printf(" P%zu %s / %s;", i + 1, Fmt(agreement[i].sdl, "%.2f%%").c_str(),
                Fmt(agreement[i].pixman, "%.2f%%").c_str());
  std::printf("\nAt the peak: VmRSS %s, of it anonymous %s and file-backed (program and libraries) %s. "
              "Start-ups (ms):",
              Fmt(rssKb / 1024.0, "%.1f MB").c_str(), Fmt(anonKb / 1024.0, "%.1f MB").c_str(),
              Fmt(fileKb / 1024.0, "%.1f MB").c_str());
  for (double s : startups) std::printf(" %.1f", s);
  std::printf(". First start-up loaded %s; errors reported: %zu.\n", loaded, startupErrors);
  std::printf("\nMachine: %s, %ld CPUs online, %s RAM; run pinned to CPU %d%s; load average %s before, %s after.\n",
              CpuModel().c_str(), sysconf(_SC_NPROCESSORS_ONLN), MemTotal().c_str(), cpu,
              pinned ? "" : " (pinning failed)", loadBefore.c_str(), LoadAverage().c_str());
  return 0;
}
