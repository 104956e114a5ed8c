// Test scaffolding on the test kit: the whole game headless on the fake platform, started from
// a temporary copy of the generated game folder, with the piece-table invariants the soak and fault tests check.
#pragma once
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <string>
#include <vector>

#include "app/mainform.h"
#include "app/shell.h"
#include "hud/msgbox.h"
#include "hud/panel.h"
#include "hud/tips.h"
#include "media/music.h"
#include "menu/menu.h"
#include "platform/audio.h"
#include "platform/fake/fake_audio.h"
#include "platform/fake/fake_platform.h"
#include "puzzle/pieces.h"
#include "settings/reestr.h"
#include "testkit/testkit.h"

namespace headless {

namespace fs = std::filesystem;

inline std::string ReadAll(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

using testkit::CopyGameFolder;

inline bool GameFolderReady() {
  const fs::path g = TANGREL_GAME_DIR;
  for (const char* f : {"Sprites.gpk", "Textures.gpk", "Sounds.spk", "Episode0.dat", "Episode50.dat",
                        "Episode75.dat", "Episode90.dat"})
    if (!fs::exists(g / f)) return false;
  return true;
}

inline plat::Event Ev(plat::EventKind k, int32_t x = 0, int32_t y = 0) {
  plat::Event e;
  e.Kind = k;
  e.X = x;
  e.Y = y;
  return e;
}

// The game in a folder of its own: working directory = the copied game folder, settings
// store in a separate folder. Start() runs the program's own start-up and the first activation.
class Game {
 public:
  plat::FakePlatform fake;
  plat::FakeAudio audio;
  plat::FakeMediaControl mci;
  fs::path root, gameDir, configDir;

  // workDir: where the game runs (default root/game); it gets the data files unless they are
  // already there.
  void Prepare(const std::string& tag, const fs::path& workDir = {}) {
    oldDir = fs::current_path();
    std::string tmpl = (fs::temp_directory_path() / ("tangrel_" + tag + "_XXXXXX")).string();
    ASSERT_NE(mkdtemp(tmpl.data()), nullptr);
    root = tmpl;
    gameDir = workDir.empty() ? root / "game" : workDir;
    configDir = root / "config";
    ASSERT_TRUE(CopyGameFolder(TANGREL_GAME_DIR, gameDir));
    fs::create_directories(configDir);
  }

  // Installs the doubles, runs start-up and activates the window; the menu is then up.
  void Start() {
    plat::SetPlatform(&fake);
    plat::SetAudio(&audio);
    plat::SetMediaControl(&mci);
    fs::current_path(gameDir);
    fake.programDir = gameDir.string() + "/";
    fake.configDir = configDir.string() + "/";
    ResetAllUnits();
    ASSERT_TRUE(StartMainForm());
    ASSERT_NE(MainForm, nullptr);
    ASSERT_TRUE(fake.errors.empty()) << fake.errors.front();
    fake.events.push_back(Ev(plat::EventKind::Activate));
    ASSERT_TRUE(RunMessageLoopOnce());
    ASSERT_EQ(ScreenState, scMenu);
  }

  // Closes the window the normal way (settings saved) and frees the form.
  void Stop() {
    if (MainForm) {
      fake.events.push_back(Ev(plat::EventKind::Quit));
      RunMessageLoopOnce();
      EndMainForm();
    }
  }

  void Leave() {
    Stop();
    plat::SetMediaControl(nullptr);
    plat::SetAudio(nullptr);
    plat::SetPlatform(nullptr);
    std::error_code ec;
    if (!oldDir.empty()) fs::current_path(oldDir, ec);
  }

  void RemoveFiles() {
    std::error_code ec;
    if (!root.empty()) fs::remove_all(root, ec);
  }

  // One event through the program's own loop (which then draws a frame if frames run).
  void Send(const plat::Event& e, uint32_t lag = 16) {
    fake.events.push_back(e);
    fake.ticks += lag;
    RunMessageLoopOnce();
  }
  void Frames(int n, uint32_t lag = 16) {
    for (int i = 0; i < n; ++i) {
      fake.ticks += lag;
      RunMessageLoopOnce();
    }
  }
  void MoveTo(int32_t x, int32_t y) { Send(Ev(plat::EventKind::MouseMove, x, y)); }
  void Click(int32_t x, int32_t y) {
    MoveTo(x, y);
    Send(Ev(plat::EventKind::MouseDown, x, y));
    Send(Ev(plat::EventKind::MouseUp, x, y));
  }
  void ClickRect(const TRect& r) { Click((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2); }

 private:
  fs::path oldDir;
};

inline int32_t Saturate(int64_t v) {
  if (v > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  if (v < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(v);
}

// Every invariant of the shell's state and the piece table; empty when all hold.
inline std::string BrokenInvariant() {
  if (ScreenState > scAutoSolve) return "ScreenState " + std::to_string(ScreenState);
  if (CurrentLevel < 0 || CurrentLevel > 99) return "CurrentLevel " + std::to_string(CurrentLevel);
  if (NumFig > kMaxPieces) return "NumFig " + std::to_string(NumFig);
  bool seen[kMaxPieces + 1] = {};
  for (int i = 1; i <= NumFig; ++i) {
    const int32_t k = PieceTable[i].StackOrder;
    if (k < 1 || k > NumFig || seen[k])
      return "StackOrder of piece " + std::to_string(i) + " is " + std::to_string(k);
    seen[k] = true;
  }
  for (int i = 0; i <= NumFig; ++i) {
    const TPiece& p = PieceTable[i];
    if (p.Angle < 0 || p.Angle > 345 || p.Angle % 15 != 0)
      return "Angle of piece " + std::to_string(i) + " is " + std::to_string(p.Angle);
    if (p.CornerCount < (i == 0 ? 4 : 3) || p.CornerCount > 8)
      return "CornerCount of piece " + std::to_string(i) + " is " + std::to_string(p.CornerCount);
    for (int k = 1; k <= p.CornerCount; ++k) {
      const TPoint r = RotatePoint(p.Angle, p.Offsets[k]);
      const TPoint want{Saturate(int64_t{p.Position.X} + r.X), Saturate(int64_t{p.Position.Y} + r.Y)};
      if (p.Corners[k] != want)
        return "corner " + std::to_string(k) + " of piece " + std::to_string(i) + " is (" +
               std::to_string(p.Corners[k].X) + ", " + std::to_string(p.Corners[k].Y) + "), not (" +
               std::to_string(want.X) + ", " + std::to_string(want.Y) + ")";
    }
  }
  return {};
}

// Resident memory of this process in bytes.
inline size_t ResidentBytes() {
  std::ifstream in("/proc/self/statm");
  size_t total = 0, resident = 0;
  in >> total >> resident;
  return resident * static_cast<size_t>(sysconf(_SC_PAGESIZE));
}

}  // namespace headless
