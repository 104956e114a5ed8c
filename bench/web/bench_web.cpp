// The browser's frame figures: the game started on its real data (preloaded at /game) on the
// test double, level 94 in play with its twelve 3D pieces, its playing frame timed; and the
// same pixel work as that frame's draws (clear, tiles, slot, pieces, panel, pointer) timed on
// our surfaces and written out for the page to draw with the browser's own 2D canvas:
//   /out/ops.json    the draws, in order, with their sources, places and alphas
//   /out/srcN.rgba   each source picture as RGBA, its key colour transparent
// Prints one line of JSON with the figures (milliseconds, medians of batches).
#include <emscripten.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <exception>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/loop.h"
#include "app/mainform.h"
#include "app/shell.h"
#include "game/state.h"
#include "hud/funcs.h"
#include "hud/panel.h"
#include "hud/tips.h"
#include "platform/fake/fake_audio.h"
#include "platform/fake/fake_platform.h"
#include "puzzle/pieces.h"
#include "settings/reestr.h"
#include "testkit/testkit.h"
#include "../frame_draws.h"

namespace {

constexpr int kTwelvePieceLevel = 94;

class QuietPlatform : public plat::FakePlatform {
 public:
  bool Present(const uint32_t*, int, int, int) override { return true; }
};

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

// Milliseconds a call takes over `batches` batches of `n` calls each: the median, and the
// fastest batch (the figure least disturbed by other work on a shared machine; the page has
// only wall time).
struct Timing {
  double median = 0, best = 0;
};
template <typename F>
Timing Time(int batches, int n, F&& f) {
  std::vector<double> per;
  for (int b = 0; b < batches; ++b) {
    const double t0 = emscripten_get_now();
    for (int i = 0; i < n; ++i) f();
    per.push_back((emscripten_get_now() - t0) / n);
  }
  return {Median(per), *std::min_element(per.begin(), per.end())};
}

using bench::Op;
using bench::PlayingFrameOps;
using bench::RunOurs;

// The draws and their sources for the page's canvas.
bool WriteForCanvas(const std::vector<Op>& ops) {
  mkdir("/out", 0755);
  std::map<const TSurface*, int> index;
  std::string json = "[";
  for (const Op& o : ops) {
    if (json.size() > 1) json += ",\n";
    if (o.kind == Op::kFill) {
      json += "{\"fill\":0}";
      continue;
    }
    auto [it, fresh] = index.emplace(o.src, static_cast<int>(index.size()));
    if (fresh) {
      std::vector<uint8_t> rgba(static_cast<size_t>(o.src->Width()) * o.src->Height() * 4);
      const uint32_t* px = o.src->Pixels();
      for (size_t i = 0; i < rgba.size() / 4; ++i) {
        const uint32_t c = px[i];
        rgba[4 * i] = static_cast<uint8_t>(c >> 16);
        rgba[4 * i + 1] = static_cast<uint8_t>(c >> 8);
        rgba[4 * i + 2] = static_cast<uint8_t>(c);
        rgba[4 * i + 3] = (o.keyed && c == o.src->TransparentColor) ? 0 : 255;
      }
      std::ofstream f("/out/src" + std::to_string(it->second) + ".rgba", std::ios::binary);
      f.write(reinterpret_cast<const char*>(rgba.data()), static_cast<std::streamsize>(rgba.size()));
      if (!f) return false;
    }
    const TRect& s = o.srcRect;
    const TRect d = o.kind == Op::kStretch ? o.dst : Bounds(o.dst.Left, o.dst.Top, s.Right - s.Left, s.Bottom - s.Top);
    char buf[256];
    std::snprintf(buf, sizeof buf,
                  "{\"src\":%d,\"w\":%d,\"h\":%d,\"sx\":%d,\"sy\":%d,\"sw\":%d,\"sh\":%d,\"dx\":%d,\"dy\":%d,\"dw\":%d,"
                  "\"dh\":%d,\"alpha\":%d}",
                  it->second, o.src->Width(), o.src->Height(), s.Left, s.Top, s.Right - s.Left, s.Bottom - s.Top,
                  d.Left, d.Top, d.Right - d.Left, d.Bottom - d.Top, std::min(o.alpha, 255));
    json += buf;
  }
  json += "]\n";
  std::ofstream f("/out/ops.json");
  f << json;
  return static_cast<bool>(f);
}

}  // namespace

int main() {
  QuietPlatform fake;
  plat::FakeAudio audio;
  if (chdir("/game") != 0) {
    std::printf("{\"error\":\"no game data at /game\"}\n");
    return 1;
  }
  testkit::StartUnits(fake, "/game");
  const double t0 = emscripten_get_now();
  plat::SetAudio(&audio);
  plat::SetMediaControl(nullptr);
  if (!StartMainForm()) {
    std::printf("{\"error\":\"the game did not start\"}\n");
    return 1;
  }
  MainForm->AppActivate();
  MainForm->FrameTimerTimer(1);
  const double startMs = emscripten_get_now() - t0;
  const Timing menu = Time(15, 10, [] { MainForm->FrameTimerTimer(16); });

  Settings.Use3D = -1;
  Settings.Tips = -1;
  CurrentLevel = kTwelvePieceLevel;
  try {
    StartGame();
  } catch (const std::exception& e) {
    std::printf("{\"error\":\"level %d: %s\"}\n", kTwelvePieceLevel, e.what());
    return 1;
  }
  ScreenState = scPlaying;
  CursorPos = {420, 250};
  for (int i = 1; i <= NumFig; ++i)
    for (int r = 0; r < 24; ++r) BuildPieceImage(static_cast<uint8_t>(i), static_cast<uint8_t>(r));
  MainForm->FrameTimerTimer(16);
  const Timing play = Time(25, 20, [] {
    TipClock = 0;
    MainForm->FrameTimerTimer(16);
  });

  const std::vector<Op> ops = PlayingFrameOps();
  TSurface target;
  target.SetSize(800, 600);
  const Timing ours = Time(25, 20, [&] { RunOurs(target, ops); });
  const bool written = WriteForCanvas(ops);
  std::printf(
      "{\"level\":%d,\"pieces\":%d,\"startMs\":%.3f,\"menuFrameMs\":%.4f,\"menuFrameBestMs\":%.4f,"
      "\"playingFrameMs\":%.4f,\"playingFrameBestMs\":%.4f,\"drawsMs\":%.4f,\"drawsBestMs\":%.4f,\"draws\":%zu,"
      "\"written\":%s,\"errors\":%zu}\n",
      kTwelvePieceLevel, static_cast<int>(NumFig), startMs, menu.median, menu.best, play.median, play.best,
      ours.median, ours.best, ops.size(),
      written ? "true" : "false", fake.errors.size());
  std::fflush(stdout);
  return 0;
}
