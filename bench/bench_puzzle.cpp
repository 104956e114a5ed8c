// Speed of the puzzle's heavy parts: piece pictures (3 and 8 corners, 3D off and on), every
// rotation step of a twelve-piece level, and one playing-field frame with twelve pieces.
#include <benchmark/benchmark.h>

#include <cmath>

#include "app/mainform.h"
#include "game/state.h"
#include "platform/fake/fake_platform.h"
#include "puzzle/pieces.h"
#include "settings/reestr.h"
#include "testkit/testkit.h"

namespace {

struct Scene {
  plat::FakePlatform fake;
  TMainForm form;
  Scene() {
    plat::SetPlatform(&fake);
    MainForm = &form;
    ResetPuzzleState();
    CurrentLevel = 0;
    TImageItem& tex = form.TexList.Add();
    tex.Name = "tex0";
    tex.Picture.Width = tex.Picture.Height = 320;
    tex.Picture.Pixels.resize(320 * 320);
    for (int y = 0; y < 320; ++y)
      for (int x = 0; x < 320; ++x)
        tex.Picture.Pixels[y * 320 + x] = static_cast<uint32_t>(((x * 7) & 0xFF) << 16 | ((y * 5) & 0xFF) << 8 | 0x40);
    testkit::AddGreySlot(form.ImageList);
    testkit::OpenDrawDeviceAlone(form);
    // Twelve pieces, alternately triangles and octagons of radius 80, at their scatter places.
    NumFig = 12;
    for (int i = 0; i <= 12; ++i) {
      TPiece& p = PieceTable[i];
      const int corners = i == 0 ? 4 : (i % 2 ? 3 : 8);
      p.CornerCount = static_cast<uint8_t>(corners);
      for (int k = 1; k <= corners; ++k) {
        const double a = 2 * M_PI * (k - 1) / corners + 0.3;
        p.Offsets[k] = {static_cast<int32_t>(std::lround(80 * std::cos(a))),
                        static_cast<int32_t>(std::lround(80 * std::sin(a)))};
      }
      testkit::PlacePiece(i, {i % 2 ? 150 : 650, ((i + 1) / 2) * 78});
    }
    PieceTable[0].Position = {400, 200};
  }
  ~Scene() {
    ResetPuzzleState();
    MainForm = nullptr;
    plat::SetPlatform(nullptr);
  }
};

void BuildOne(benchmark::State& state, int piece, bool use3D) {
  Scene scene;
  Settings.Use3D = use3D ? -1 : 0;
  for (auto _ : state) {
    BuildPieceImage(static_cast<uint8_t>(piece), 1);
    benchmark::DoNotOptimize(PieceTable[piece].Images[1].Image->Pixels());
  }
}

void BM_BuildPieceImage3Corners(benchmark::State& s) { BuildOne(s, 1, s.range(0) != 0); }
void BM_BuildPieceImage8Corners(benchmark::State& s) { BuildOne(s, 2, s.range(0) != 0); }
BENCHMARK(BM_BuildPieceImage3Corners)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BuildPieceImage8Corners)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// Every rotation step of every piece of a twelve-piece level, as a full held turn shows them.
void BM_AllStepsTwelvePieces(benchmark::State& state) {
  Scene scene;
  Settings.Use3D = state.range(0) ? -1 : 0;
  for (auto _ : state)
    for (int i = 1; i <= 12; ++i)
      for (int r = 0; r < 24; ++r) BuildPieceImage(static_cast<uint8_t>(i), static_cast<uint8_t>(r));
}
BENCHMARK(BM_AllStepsTwelvePieces)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_DrawGameTwelvePieces(benchmark::State& state) {
  Scene scene;
  Settings.Use3D = -1;
  ScreenState = scPlaying;
  DrawGame();  // builds the pictures once
  for (auto _ : state) {
    DrawGame();
    benchmark::DoNotOptimize(MainForm->DrawDevice.Surface.Pixels());
  }
}
BENCHMARK(BM_DrawGameTwelvePieces)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
