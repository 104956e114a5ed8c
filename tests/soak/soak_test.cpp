// Soak: the whole game headless, fed a long seeded random stream of input, timer ticks, frames,
// activations and screen-mode switches, with every invariant checked after every event.
//
//   TANGREL_SOAK_SEED=<n>    the stream's seed (printed at the start of every run)
//   TANGREL_SOAK_EVENTS=<n>  how many events (default 200000; 100000 in the sanitizer build)
//   TANGREL_SOAK_FRAME_EVERY=<n>  one drawn frame per about n events (default 400)
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <random>
#include <string>

#include "headless_game.h"

namespace {

using headless::Ev;
using K = plat::EventKind;

constexpr uint64_t kDefaultSeed = 20261208;
// The sanitizer build runs about ten times slower; its default stays well under a minute on
// this two-core machine under load, with the same stream (a prefix of it) as the normal build.
#if defined(__SANITIZE_ADDRESS__)
constexpr long kDefaultEvents = 100000;
#else
constexpr long kDefaultEvents = 200000;
#endif
constexpr long kDefaultFrameEvery = 400;
// Milliseconds between frames: a fast machine, a slow one, a stall, a long sleep.
constexpr uint32_t kLags[] = {0, 1, 1, 15, 16, 16, 17, 33, 50, 100, 250, 1000, 4000, 10001};
// Space three times in ten, Backspace once in forty (each is a level load), the rest ignored
// keys: Escape, letters, Enter without Alt, F2, Tab, arrows, the modifier keys themselves.
constexpr uint16_t kKeys[] = {VK_SPACE, VK_SPACE, VK_SPACE, VK_SPACE, VK_SPACE, VK_SPACE, VK_BACK,
                              VK_ESCAPE, 'A', 'Z', 'X', '1', 'P', VK_RETURN, 113, 9, 37, 39, 16, 17,
                              VK_SPACE, VK_SPACE, VK_SPACE, VK_SPACE, VK_SPACE, VK_SPACE, 'Q',
                              VK_ESCAPE, 'B', 'C', 'D', '2', 'E', VK_RETURN, 114, 9, 38, 40, 16, 18};

long EnvNumber(const char* name, long fallback) {
  const char* v = std::getenv(name);
  if (!v || !*v) return fallback;
  char* end = nullptr;
  const long n = std::strtol(v, &end, 10);
  return (end && *end == 0 && n > 0) ? n : fallback;
}

struct Counts {
  long moves = 0, presses = 0, releases = 0, clicks = 0, keys = 0, wheels = 0, ticks = 0;
  long frames = 0, loopPasses = 0, activations = 0, deactivations = 0, modeSwitches = 0;
  long notifies = 0, pumps = 0, handSolves = 0, guarded = 0, refusedModes = 0;
  long levelChanges = 0, completions = 0, minimises = 0, optionSaves = 0;
  long inState[6] = {};  // checked steps spent on each screen
};

class Soak : public ::testing::Test {
 protected:
  headless::Game game;
  std::mt19937_64 rng;
  Counts n;
  long eventIndex = 0;
  int32_t lastLevel = 0;
  uint8_t lastState = scMenu;

  void SetUp() override {
    ASSERT_TRUE(headless::GameFolderReady()) << "the game folder has not been generated";
    game.Prepare("soak");
  }
  void TearDown() override {
    game.Leave();
    game.RemoveFiles();
  }

  int R(int n) { return static_cast<int>(rng() % static_cast<uint64_t>(n)); }
  bool Chance(int percentTimes10) { return R(1000) < percentTimes10; }

  // --- where to point --------------------------------------------------------------------

  TPoint InRect(const TRect& r) {
    const int32_t w = r.Right - r.Left, h = r.Bottom - r.Top;
    if (w <= 0 || h <= 0) return {r.Left, r.Top};
    return {r.Left + R(w + 1), r.Top + R(h + 1)};
  }

  // A point inside piece i (or near it), found the way a player aims: at its middle, or a
  // little way from the middle towards a corner.
  TPoint OnPiece(int i) {
    const TPiece& p = PieceTable[i];
    if (p.CornerCount == 0 || R(4) == 0) return p.Position;
    const TPoint c = p.Corners[1 + R(p.CornerCount)];
    const int f = R(95);
    return {headless::Saturate(p.Position.X + (int64_t{c.X} - p.Position.X) * f / 100),
            headless::Saturate(p.Position.Y + (int64_t{c.Y} - p.Position.Y) * f / 100)};
  }

  TPoint Place() {
    switch (R(12)) {
      case 0:
        if (R(50) == 0) {
          // A pointer captured during a drag reports where it is on the desktop, far outside.
          if (R(20) == 0) return {R(2) ? INT32_MAX : INT32_MIN, R(2) ? INT32_MAX : INT32_MIN};
          return {R(40001) - 20000, R(40001) - 20000};
        }
        [[fallthrough]];
      case 1:
        return {R(900) - 50, R(700) - 50};  // anywhere, a little outside the surface too
      case 2:
      case 3:
      case 4:
        if (NumFig > 0) return OnPiece(1 + R(NumFig));
        return PieceTable[0].Corners[1 + R(4)];
      case 5:
        return InRect(PanelButtons[1 + R(kPanelButtonCount)].Rect());
      case 6:
        return InRect(MenuItems[1 + R(9)].Rect);
      case 7:
        return InRect(LevelCatalogue[R(100)].Row);
      case 8:
        return InRect(OptionButtons[1 + R(7)].Rect);
      case 9:
        return R(3) ? InRect(ExitButtons[2]) : InRect(ExitButtons[1]);
      case 10:
        return R(2) ? InRect(OkRect) : InRect(TipAreas[1 + R(2)]);
      default: {
        const TPoint c = PieceTable[0].Corners[1 + R(4)];
        return {headless::Saturate(int64_t{c.X} + R(21) - 10), headless::Saturate(int64_t{c.Y} + R(21) - 10)};
      }
    }
  }

  TMouseButton Button() {
    const int b = R(10);
    return b < 6 ? TMouseButton::mbLeft : (b < 9 ? TMouseButton::mbRight : TMouseButton::mbMiddle);
  }
  TShiftState Mods() { return R(3) == 0 ? static_cast<TShiftState>(R(64)) : TShiftState{0}; }

  // --- delivering events ------------------------------------------------------------------

  // A press now would close the window (the panel's close button or the exit page's Yes under
  // the pointer): the soak must go on, so the pointer moves off it instead.
  bool PressWouldEnd() const {
    return PanelButtons[6].State == 1 || (ScreenState == scMenu && HoverExitButton == 1);
  }

  // Hands one event to the main form as the message loop does, with its error guard.
  void Deliver(const plat::Event& e) {
    if (e.Kind == plat::EventKind::Quit) FAIL() << "the game asked to close at event " << eventIndex;
    DispatchEvent(e);
    // What the handlers queued themselves (a minimise's deactivation) comes next.
    plat::Event queued;
    while (!HasFatalFailure() && game.fake.PollEvent(queued)) {
      if (queued.Kind == K::Deactivate) ++n.minimises;
      Deliver(queued);
    }
  }

  // Direct delivery for cheap events; now and then through the program's loop, which also
  // draws a frame when frames run.
  void Send(const plat::Event& e, bool viaLoop) {
    if (viaLoop) {
      game.fake.events.push_back(e);
      ++n.loopPasses;
      if (MainForm->FrameTimerEnabled) ++n.frames;
      ASSERT_TRUE(RunMessageLoopOnce()) << "the game closed at event " << eventIndex;
    } else {
      Deliver(e);
    }
  }

  void Press(TPoint p, TMouseButton b, TShiftState s, bool viaLoop) {
    if (PressWouldEnd()) {
      ++n.guarded;
      Send(Ev(K::MouseMove, 300, 300), viaLoop);
      return;
    }
    plat::Event e = Ev(K::MouseDown, p.X, p.Y);
    e.Button = b;
    e.Shift = s;
    ++n.presses;
    Send(e, viaLoop);
  }

  void Release(TPoint p, TMouseButton b, TShiftState s, bool viaLoop) {
    plat::Event e = Ev(K::MouseUp, p.X, p.Y);
    e.Button = b;
    e.Shift = s;
    ++n.releases;
    Send(e, viaLoop);
  }

  void Move(TPoint p, TShiftState s, bool viaLoop) {
    plat::Event e = Ev(K::MouseMove, p.X, p.Y);
    e.Shift = s;
    ++n.moves;
    Send(e, viaLoop);
  }

  void Wheel(TPoint p, bool up, bool viaLoop) {
    if (PressWouldEnd()) {
      ++n.guarded;
      Send(Ev(K::MouseMove, 300, 300), viaLoop);
      return;
    }
    plat::Event e = Ev(up ? K::WheelUp : K::WheelDown, p.X, p.Y);
    e.Shift = Mods();
    ++n.wheels;
    Send(e, viaLoop);
  }

  void Key(uint16_t key, TShiftState s, bool viaLoop) {
    plat::Event e = Ev(K::KeyDown);
    e.Key = key;
    e.Shift = s;
    ++n.keys;
    if ((s & ssAlt) && key == VK_RETURN) ++n.modeSwitches;
    Send(e, viaLoop);
  }

  void Frame() {
    game.fake.ticks += kLags[R(static_cast<int>(std::size(kLags)))];
    if (MainForm->FrameTimerEnabled && MainForm->DrawDevice.CanDraw()) ++n.frames;
    RunOneFrame();
  }

  // --- a player who knows the answer ------------------------------------------------------

  // A point where the hit test finds piece i, or false.
  bool AimAt(int i, TPoint& out) {
    for (int tries = 0; tries < 12; ++tries) {
      const TPoint p = OnPiece(i);
      if (PieceAt(p) == i) {
        out = p;
        return true;
      }
    }
    return false;
  }

  // Turns every piece upright with the wheel and drags it home with the left button, the
  // way a player would; stops when anything else happens (a panel button under the pointer,
  // the level completing).
  void SolveByHand() {
    ++n.handSolves;
    const int32_t level = CurrentLevel;
    auto stillOn = [&] { return ScreenState == scPlaying && CurrentLevel == level && !HasFatalFailure(); };
    for (int i = 1; i <= NumFig && stillOn(); ++i) {
      TPoint p;
      for (int guard = 0; guard < 24 && PieceTable[i].Angle != 0 && Settings.Difficulty != 0 && stillOn();
           ++guard) {
        if (!AimAt(i, p)) break;
        Move(p, 0, false);
        Check();
        Wheel(p, PieceTable[i].Angle <= 180, Chance(20));
        Check();
      }
      if (!stillOn() || !AimAt(i, p)) continue;
      const TPiece& pc = PieceTable[i];
      const int64_t dx = int64_t{pc.SolutionPos.X} - pc.Position.X;
      const int64_t dy = int64_t{pc.SolutionPos.Y} - pc.Position.Y;
      const TPoint half{headless::Saturate(p.X + dx / 2), headless::Saturate(p.Y + dy / 2)};
      const TPoint home{headless::Saturate(p.X + dx), headless::Saturate(p.Y + dy)};
      Move(p, 0, false);
      Check();
      Press(p, TMouseButton::mbLeft, 0, false);
      Check();
      Move(half, 0, Chance(100));
      Check();
      Move(home, 0, false);
      Check();
      Release(home, TMouseButton::mbLeft, 0, Chance(100));
      Check();
    }
  }

  // --- the stream -------------------------------------------------------------------------

  void Check() {
    if (HasFatalFailure()) return;
    ++eventIndex;
    ASSERT_NE(MainForm, nullptr);
    ASSERT_FALSE(MainForm->Closed) << "closed at event " << eventIndex;
    // The one failure the stream provokes on purpose: a display that refuses full screen.
    for (const std::string& e : game.fake.errors) {
      ASSERT_EQ(e.rfind("Display mode cannot be changed", 0), 0u) << "event " << eventIndex << ": " << e;
      ++n.refusedModes;
    }
    game.fake.errors.clear();
    const std::string broken = headless::BrokenInvariant();
    ASSERT_TRUE(broken.empty()) << "event " << eventIndex << " (screen " << int(ScreenState)
                                << ", level " << CurrentLevel << "): " << broken;
    ++n.inState[ScreenState];
    if (CurrentLevel != lastLevel) ++n.levelChanges;
    if (ScreenState == scLevelComplete && lastState != scLevelComplete) ++n.completions;
    lastLevel = CurrentLevel;
    lastState = ScreenState;
  }

  void OneEvent(long frameEvery) {
    const bool viaLoop = R(static_cast<int>(frameEvery)) == 0;
    const int w = R(10000);  // weights in hundredths of a percent
    if (w < 3000) {
      Move(Place(), Mods(), viaLoop);
    } else if (w < 3800) {
      Press(Place(), Button(), Mods(), viaLoop);
    } else if (w < 4700) {
      Release(R(4) ? CursorPos : Place(), Button(), Mods(), viaLoop);
    } else if (w < 5600) {
      // A click at one of the places that mean something.
      const TPoint p = Place();
      const TMouseButton b = Button();
      const TShiftState s = Mods();
      ++n.clicks;
      Move(p, s, false);
      Check();
      Press(p, b, s, false);
      Check();
      Release(p, b, s, viaLoop);
    } else if (w < 6400) {
      uint16_t key = R(4) ? kKeys[R(static_cast<int>(std::size(kKeys)))] : static_cast<uint16_t>(R(256));
      if (key == VK_F1) key = 0;  // F1 has its own, smaller share below
      TShiftState s = Mods();
      if (key == VK_RETURN) s &= static_cast<TShiftState>(~ssAlt);  // screen switches are counted below
      Key(key, s, viaLoop);
    } else if (w < 7000) {
      Wheel(R(2) ? CursorPos : Place(), R(2) == 0, viaLoop);
    } else if (w < 7800) {
      ++n.ticks;
      plat::Event e = Ev(K::Timer);
      e.TimerId = R(10) ? kTimerRotId : 2;
      Send(e, viaLoop);
    } else if (w < 9600) {
      // Frames: the costly part, drawn only now and then. The automatic solution moves a piece
      // 10 pixels a frame and takes no input meanwhile, so there the frames come thick.
      if (R(static_cast<int>(frameEvery)) < 4) Frame();
    } else if (w < 9610) {
      Key(VK_RETURN, ssAlt | (R(2) ? ssShift : TShiftState{0}), viaLoop);
    } else if (w < 9625) {
      ++n.deactivations;
      Send(Ev(K::Deactivate), viaLoop);
    } else if (w < 9740) {
      ++n.activations;
      Send(Ev(K::Activate), viaLoop);
    } else if (w < 9760) {
      ++n.notifies;
      Send(Ev(K::MusicNotify), viaLoop);
    } else if (w < 9860) {
      // The audio thread runs the mix.
      ++n.pumps;
      game.audio.Pump(64 + R(512));
    } else if (w < 9900) {
      // The wall clock moves on, now and then over midnight.
      game.fake.timeOfDay = R(1000) / 1000.0;
    } else if (w < 9903) {
      // Now and then the display refuses (or allows again) the switch to full screen.
      if (R(4) == 0) game.fake.failFullScreen = !game.fake.failFullScreen;
    } else if (w < 9920) {
      game.fake.ticks += static_cast<uint32_t>(R(300));
    } else if (w < 9926) {
      if (ScreenState == scPlaying) SolveByHand();
    } else if (w < 9927 && R(2) == 0) {
      // F1: the automatic solution then wants about thirty frames per piece.
      Key(VK_F1, 0, viaLoop);
    } else {
      game.fake.ticks += static_cast<uint32_t>(R(300));
    }
    Check();
    if (ScreenState == scAutoSolve && R(2) == 0 && !HasFatalFailure()) {
      Frame();
      Check();
    }
  }
};

TEST_F(Soak, RandomStreamKeepsEveryInvariant) {
  const uint64_t seed = static_cast<uint64_t>(EnvNumber("TANGREL_SOAK_SEED", kDefaultSeed));
  const long events = EnvNumber("TANGREL_SOAK_EVENTS", kDefaultEvents);
  const long frameEvery = EnvNumber("TANGREL_SOAK_FRAME_EVERY", kDefaultFrameEvery);
  std::printf("soak: seed %llu, %ld events, a frame per about %ld events "
              "(TANGREL_SOAK_SEED / TANGREL_SOAK_EVENTS / TANGREL_SOAK_FRAME_EVERY)\n",
              static_cast<unsigned long long>(seed), events, frameEvery);
  std::fflush(stdout);
  rng.seed(seed);

  // The game's own random numbers (scatter angles, end sounds) follow the seed too.
  for (int i = 0; i < 4096; ++i) game.fake.randomSequence.push_back(static_cast<int>(rng() % 1000003));
  ASSERT_NO_FATAL_FAILURE(game.Start());
  lastLevel = CurrentLevel;
  lastState = ScreenState;

  const auto t0 = std::chrono::steady_clock::now();
  const long warmUp = events / 10;
  size_t rssWarm = 0, rssPeak = 0;
  for (long i = 0; i < events; ++i) {
    ASSERT_NO_FATAL_FAILURE(OneEvent(frameEvery)) << "seed " << seed << ", event " << eventIndex;
    // Keep the stream from resting on the menu or a closed device for long stretches.
    if (!MainForm->DrawDevice.Initialized() && R(50) == 0) {
      ++n.activations;
      Send(Ev(K::Activate), false);
    }
    if (ScreenState == scMenu && R(200) == 0) {
      if (R(2) == 0) {
        // By way of the options: one or two of them flipped, then OK, which saves them.
        ++n.optionSaves;
        for (const int b : {0, 1 + R(6), 1 + R(6), 7}) {
          Move(b == 0 ? InRect(MenuItems[6].Rect) : InRect(OptionButtons[b].Rect), 0, false);
          Check();
          Press(CursorPos, TMouseButton::mbLeft, 0, false);
          Check();
        }
      }
      // Straight into an episode page and a level: a player does not idle in the menu.
      Move(InRect(MenuItems[1 + R(5)].Rect), 0, false);
      Check();
      Press(CursorPos, TMouseButton::mbLeft, 0, false);
      Check();
      Move(InRect(LevelCatalogue[R(20)].Row), 0, false);
      Check();
      Press(CursorPos, TMouseButton::mbLeft, 0, false);
      Check();
      ASSERT_FALSE(HasFatalFailure());
    }
    if (i == warmUp) rssWarm = headless::ResidentBytes();
    if (i > warmUp) {
      if ((i & 1023) == 0) rssPeak = std::max(rssPeak, headless::ResidentBytes());
    }
  }
  const size_t rssEnd = headless::ResidentBytes();
  rssPeak = std::max(rssPeak, rssEnd);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();

  std::printf("soak: %ld events in %.1f s (%ld checked steps)\n", events, seconds, eventIndex);
  std::printf("soak: moves %ld, presses %ld, releases %ld, clicks %ld, keys %ld, wheel notches %ld, "
              "rotation ticks %ld\n",
              n.moves, n.presses, n.releases, n.clicks, n.keys, n.wheels, n.ticks);
  std::printf("soak: frames %ld (%ld through the loop), activations %ld, deactivations %ld "
              "(%ld by minimising), screen switches %ld, music notices %ld, audio pumps %ld\n",
              n.frames, n.loopPasses, n.activations, n.deactivations, n.minimises, n.modeSwitches,
              n.notifies, n.pumps);
  std::printf("soak: level changes %ld, levels completed %ld, hand solves %ld, presses held off "
              "the close buttons %ld, refused full-screen switches %ld, presented %d\n",
              n.levelChanges, n.completions, n.handSolves, n.guarded, n.refusedModes,
              game.fake.presentCount);
  std::printf("soak: steps on the loading screen %ld, menu %ld, playing %ld, level complete %ld, "
              "message box %ld, automatic solution %ld\n",
              n.inState[0], n.inState[1], n.inState[2], n.inState[3], n.inState[4], n.inState[5]);
  std::printf("soak: settings at the end: Full %d, Tips %d, Difficulty %d, Sounds %d, Music %d, 3D %d; "
              "%ld visits to the options with OK; settings store %s\n",
              Settings.Full, Settings.Tips, Settings.Difficulty, Settings.Sounds, Settings.Music,
              Settings.Use3D, n.optionSaves,
              std::filesystem::exists(game.configDir / "user.reg") ? "written" : "never written");
  std::printf("soak: resident memory after warm-up %.1f MB, peak after %.1f MB, at the end %.1f MB\n",
              rssWarm / 1048576.0, rssPeak / 1048576.0, rssEnd / 1048576.0);

  // The stream has to have gone everywhere for the run to mean something.
  EXPECT_GT(n.levelChanges, 10);
  EXPECT_GT(n.frames, 100);
  EXPECT_GT(n.modeSwitches, 0);

  // Memory stays flat once every kind of event has been seen: no growth per level, frame or
  // switch beyond the allocator's slack. The sanitizer's quarantine holds freed blocks back
  // by design, so there the leak checker has the last word instead.
#if defined(__SANITIZE_ADDRESS__)
  constexpr size_t kSlack = 300u << 20;
#else
  constexpr size_t kSlack = 24u << 20;
#endif
  EXPECT_LT(rssEnd, rssWarm + kSlack) << "resident memory grew from " << rssWarm << " to " << rssEnd;

  // The progress record counts each solved level once, however often it was solved.
  int solved = 0;
  for (int level = 0; level < 100; ++level) solved += PlayerRecord.SolvedFlags(level) != 0;
  EXPECT_EQ(PlayerRecord.SolvedCount(), solved);
  EXPECT_GT(solved, 0);

  // The normal close saves it whole.
  const std::string record(PlayerRecord.Bytes.begin(), PlayerRecord.Bytes.end());
  game.Stop();
  EXPECT_EQ(headless::ReadAll(game.gameDir / "Users.dat"), record);
}

}  // namespace

namespace {

// A drag to the far end of the coordinate range and back: the piece's corners follow it, and
// the frames drawn meanwhile stay within the arithmetic (the sanitizer build checks).
TEST(SoakCases, DragToTheEndOfTheRangeAndBack) {
  ASSERT_TRUE(headless::GameFolderReady()) << "the game folder has not been generated";
  headless::Game game;
  game.Prepare("fardrag");
  ASSERT_NO_FATAL_FAILURE(game.Start());
  game.ClickRect(MenuItems[1].Rect);
  game.ClickRect(LevelCatalogue[0].Row);
  ASSERT_EQ(ScreenState, scPlaying);
  const TPoint p = PieceTable[1].Position;
  game.MoveTo(p.X, p.Y);
  ASSERT_EQ(HoverPiece, 1);
  game.Send(Ev(K::MouseDown, p.X, p.Y));
  for (const TPoint q : {TPoint{INT32_MAX, INT32_MAX}, TPoint{INT32_MIN, INT32_MIN}, TPoint{300, 300}}) {
    game.MoveTo(q.X, q.Y);  // each move draws a frame, the piece wherever it now is
    EXPECT_EQ(headless::BrokenInvariant(), "") << "after a move to " << q.X << ", " << q.Y;
  }
  game.Send(Ev(K::MouseUp, 300, 300));
  EXPECT_EQ(headless::BrokenInvariant(), "");

  // The turning pointer drawn at the far corner of the range.
  TPoint r{};
  for (int i = 1; i <= NumFig && PieceAt(r) == 0; ++i) r = PieceTable[i].Position;
  ASSERT_NE(PieceAt(r), 0);
  game.MoveTo(r.X, r.Y);
  plat::Event right = Ev(K::MouseDown, r.X, r.Y);
  right.Button = TMouseButton::mbRight;
  game.Send(right);
  ASSERT_NE(RotateCursor, 0);
  game.MoveTo(INT32_MIN, INT32_MIN);
  game.Frames(2);
  EXPECT_TRUE(game.fake.errors.empty());
  game.Leave();
  game.RemoveFiles();
}

}  // namespace
