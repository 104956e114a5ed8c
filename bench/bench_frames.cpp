// Frame cost of the playing screen (twelve 3D pieces, panel, tips, clock) and of the
// level-complete display at T = 1000 ms, drawn into the back surface without presenting.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <exception>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/mainform.h"
#include "bench_common.h"
#include "game/state.h"
#include "hud/panel.h"
#include "hud/tips.h"
#include "platform/fake/fake_platform.h"
#include "puzzle/pieces.h"
#include "settings/reestr.h"
#include "testkit/testkit.h"

namespace {

struct Sprite {
  const char* name;
  int w, h, patterns;
};
const Sprite kSprites[] = {
    {"CursorPnt", 16, 16, 1},    {"RotateCW", 36, 36, 14},    {"RotateCCW", 36, 36, 14},
    {"Complete_52x100", 198, 100, 1}, {"Slot", 300, 300, 1}, {"pan_numbers", 15, 20, 10},
    {"bigpanel", 137, 149, 1},   {"smalpanel", 77, 40, 1},    {"pan_level", 99, 25, 2},
    {"pan_menu", 99, 25, 2},     {"pan_next", 99, 25, 2},     {"pan_prev", 99, 25, 2},
    {"pan_minimize", 25, 25, 2}, {"pan_close", 25, 25, 2},    {"pan_time", 90, 30, 1},
    {"pan_fortext", 180, 100, 1}, {"pan_nexttip", 20, 20, 2}, {"Loading", 100, 50, 1},
};

void AddImage(TImageList& list, const std::string& name, int w, int h, int patterns, uint32_t seed) {
  TImageItem& it = list.Add();
  it.Name = name;
  it.Picture.Width = w * patterns;
  it.Picture.Height = h;
  it.Picture.Pixels.resize(static_cast<size_t>(it.Picture.Width) * h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < it.Picture.Width; ++x) {
      // Mostly opaque with a transparent border, as real sprites are.
      const bool edge = (x % w) < 2 || y < 2;
      it.Picture.Pixels[static_cast<size_t>(y) * it.Picture.Width + x] =
          edge ? 0 : (seed * 2654435761u + static_cast<uint32_t>(x * 7 + y * 13)) | 0x010101;
    }
  it.PatternWidth = w;
  it.PatternHeight = h;
}

// Twelve bars, four across and three down, filling the slot-box.
void WriteTwelvePieceLevel(const std::string& dir) {
  std::ofstream o(dir + "/Episode0.dat");
  o << "[level0]\nNumFig=12\nMedTime=300\n";
  const int tops[] = {100, 166, 233, 300};
  int j = 1;
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 4; ++c, ++j) {
      const int l = 300 + 50 * c, t = tops[r], b = tops[r + 1];
      const int px = l + 25, py = (t + b) / 2;
      o << "Tip" << j << "=4\n";
      const int xs[] = {l, l + 50, l + 50, l}, ys[] = {t, t, b, b};
      for (int i = 0; i < 4; ++i)
        o << "Form_" << j << "_" << i + 1 << "_X=" << xs[i] - px << "\nForm_" << j << "_" << i + 1
          << "_Y=" << ys[i] - py << "\n";
      o << "Form_" << j << "_X=" << px << "\nForm_" << j << "_Y=" << py << "\n";
    }
}

struct Scene {
  bench::QuietPlatform fake;
  testkit::ScratchFolder work;
  std::string dir;
  bool ready = false;

  Scene() {
    work.Enter("bench");
    dir = work.Dir();
    testkit::StartUnits(fake, dir);
    WriteTwelvePieceLevel(dir);
    Settings.Full = 0;
    Settings.Use3D = -1;
    Settings.Tips = -1;
    Settings.Sounds = 0;
    MainForm = new TMainForm();
    uint32_t seed = 1;
    for (const Sprite& s : kSprites) AddImage(MainForm->ImageList, s.name, s.w, s.h, s.patterns, seed++);
    for (int i = 0; i < 11; ++i) AddImage(MainForm->TexList, "tex", 128, 128, 1, seed++);
    try {
      InitPanel();
      MainForm->ActivateInstalled = true;
      MainForm->AppActivate();
      ready = MainForm->DrawDevice.CanDraw();
    } catch (const std::exception&) {
      ready = false;
    }
    ScreenState = scPlaying;
    CursorPos = {420, 250};
  }
  ~Scene() {
    delete MainForm;
    MainForm = nullptr;
    work.Leave();
    plat::SetPlatform(nullptr);
  }
};

void BM_PlayingFrame(benchmark::State& state) {
  Scene scene;
  if (!scene.ready || NumFig != 12) {
    state.SkipWithError("drawing layer or puzzle core not available");
    return;
  }
  MainForm->FrameTimerTimer(16);  // builds the piece pictures once
  for (auto _ : state) {
    TipClock = 0;
    MainForm->FrameTimerTimer(16);
    benchmark::DoNotOptimize(MainForm->DrawDevice.Surface.Pixels());
  }
}
BENCHMARK(BM_PlayingFrame)->Unit(benchmark::kMillisecond);

void BM_LevelCompleteFrame(benchmark::State& state) {
  Scene scene;
  if (!scene.ready) {
    state.SkipWithError("drawing layer not available");
    return;
  }
  ScreenState = scLevelComplete;
  for (auto _ : state) {
    MainForm->AnimClock = 999;
    MainForm->FrameTimerTimer(1);  // T = 1000
    benchmark::DoNotOptimize(MainForm->DrawDevice.Surface.Pixels());
  }
}
BENCHMARK(BM_LevelCompleteFrame)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
