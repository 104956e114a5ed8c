// The music rounds and the command strings they send, on a recording media control and
// on the real interpreter with a recording backend.
#include <gtest/gtest.h>

#include <map>

#include "media/music.h"
#include "platform/fake/fake_audio.h"
#include "platform/fake/fake_platform.h"
#include "platform/mci.h"
#include "recording_backend.h"
#include "settings/reestr.h"

namespace {

const std::string kOpen1 = "open sequencer!\"Sounds\\theme1.mid\" alias mainback wait";
const std::string kSeek0 = "seek mainback to 0 wait";
const std::string kPlay = "play mainback notify";
const std::string kStop = "stop mainback wait";
const std::string kClose = "close mainback wait";

class Music : public ::testing::Test {
 protected:
  void SetUp() override {
    fake.programDir = "/game/";
    plat::SetPlatform(&fake);
    plat::SetMediaControl(&mc);
    Settings.Music = -1;
    ResetMusic();
  }
  void TearDown() override {
    plat::SetMediaControl(nullptr);
    plat::SetPlatform(nullptr);
  }
  int ThemeOf(const std::string& file) {
    for (int i = 0; i < 3; ++i)
      if (file == fake.programDir + ThemeFiles[i]) return i;
    return -1;
  }
  plat::FakePlatform fake;
  plat::FakeMediaControl mc;
};

TEST_F(Music, StartMusicSendsTheExactCommands) {
  InitMusicList();
  StartMusic();
  EXPECT_EQ(mc.commands, (std::vector<std::string>{kOpen1, kSeek0, kPlay}));
  mc.commands.clear();
  StopMidi();
  EXPECT_EQ(mc.commands, (std::vector<std::string>{kStop, kClose}));
}

TEST_F(Music, MusicOffSendsNothingAndRestartStops) {
  Settings.Music = 0;
  InitMusicList();
  StartMusic();
  PlayMidi("x.mid", 0);
  OnMusicNotify();
  EXPECT_TRUE(mc.commands.empty());
  RestartMusic();
  EXPECT_EQ(mc.commands, (std::vector<std::string>{kStop, kClose}));
}

TEST_F(Music, PlayMidiSkipsTheSeekForPositionMinusOne) {
  PlayMidi("/a b/c.mid", -1);
  EXPECT_EQ(mc.commands, (std::vector<std::string>{"open sequencer!\"/a b/c.mid\" alias mainback wait", kPlay}));
  mc.commands.clear();
  PlayMidi("", 0);
  EXPECT_TRUE(mc.commands.empty());
}

TEST_F(Music, ThemesPlayInOrderAfterStartUpWhateverTheDraws) {
  for (std::vector<int> seq : {std::vector<int>{0}, {1}, {0, 1}, {1, 0}, {1, 1, 0}}) {
    fake.randomSequence = seq;
    fake.randomPos = 0;
    ResetMusic();
    InitMusicList();
    StartMusic();
    mc.commands.clear();
    OnMusicNotify();  // theme 0 ended
    ASSERT_EQ(mc.commands.size(), 5u);
    EXPECT_EQ(mc.commands[0], kStop);
    EXPECT_EQ(mc.commands[1], kClose);
    EXPECT_EQ(mc.commands[2], "open sequencer!\"/game/Sounds\\theme2.mid\" alias mainback wait");
    EXPECT_EQ(mc.commands[3], kSeek0);
    EXPECT_EQ(mc.commands[4], kPlay);
    EXPECT_EQ(ThemeOf(ChooseTheme()), 2);
    EXPECT_TRUE(ThemesLeft.empty());
  }
}

// Every sequence of eight draws is equally likely; counting the rounds they give yields
// the probabilities of the draw rule.
TEST_F(Music, LaterRoundsFollowTheDrawRule) {
  std::map<int, int> first, secondAfter1;
  int rounds = 0;
  for (int bits = 0; bits < 256; ++bits) {
    fake.randomSequence.clear();
    for (int i = 0; i < 8; ++i) fake.randomSequence.push_back((bits >> i) & 1);
    fake.randomPos = 0;
    ThemesLeft.clear();  // all played: a full round starts
    int a = ThemeOf(ChooseTheme());
    int b = ThemeOf(ChooseTheme());
    int c = ThemeOf(ChooseTheme());
    ASSERT_NE(a, -1);
    EXPECT_EQ((1 << a) | (1 << b) | (1 << c), 7) << "each theme once a round";
    ++first[a];
    if (a == 1) ++secondAfter1[b];
    ++rounds;
  }
  EXPECT_EQ(first[0] * 2, rounds);
  EXPECT_EQ(first[1] * 2, rounds);
  EXPECT_EQ(first[2], 0);
  EXPECT_EQ(secondAfter1[0], secondAfter1[2]);
  EXPECT_EQ(secondAfter1[0] + secondAfter1[2], first[1]);
}

TEST_F(Music, TheNoticeOfTheShutDownStopStartsNothing) {
  InitMusicList();
  StartMusic();
  StopMidi();
  IgnoreNextNotify = true;
  mc.commands.clear();
  OnMusicNotify();
  EXPECT_TRUE(mc.commands.empty());
  EXPECT_FALSE(IgnoreNextNotify);
  OnMusicNotify();  // a later notice plays on again
  EXPECT_EQ(mc.commands.size(), 5u);
}

// Runs the notices waiting in the loop, as the main window would.
int DeliverNotices(plat::FakePlatform& fake) {
  int n = 0;
  plat::Event e;
  while (n < 20 && fake.PollEvent(e))
    if (e.Kind == plat::EventKind::MusicNotify) {
      OnMusicNotify();
      ++n;
    }
  return n;
}

TEST_F(Music, ConfirmedOptionsBringOneNewThemeNotAChase) {
  RecordingBackend backend;
  plat::MciInterpreter mci(&backend);
  plat::SetMediaControl(&mci);
  InitMusicList();
  StartMusic();
  EXPECT_EQ(DeliverNotices(fake), 0);
  RestartMusic();  // theme 0 is replaced, then a new theme follows
  EXPECT_EQ(DeliverNotices(fake), 2);
  EXPECT_EQ(DeliverNotices(fake), 0);
  ASSERT_TRUE(backend.end);
  EXPECT_TRUE(mci.IsOpen());
  int opens = 0;
  for (const std::string& c : backend.calls) opens += c.rfind("open ", 0) == 0;
  EXPECT_EQ(opens, 2);
  // That theme's natural end brings the next one, as always.
  backend.end();
  EXPECT_EQ(DeliverNotices(fake), 1);
  EXPECT_TRUE(backend.end);
}

}  // namespace
