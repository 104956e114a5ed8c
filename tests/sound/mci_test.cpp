// The media-control string interpreter: every command form, the end notices, and
// malformed strings.
#include <gtest/gtest.h>

#include "platform/fake/fake_platform.h"
#include "platform/mci.h"
#include "recording_backend.h"

namespace {

class Mci : public ::testing::Test {
 protected:
  void SetUp() override { plat::SetPlatform(&fake); }
  void TearDown() override { plat::SetPlatform(nullptr); }
  int Notices() {
    int n = 0;
    plat::Event e;
    while (fake.PollEvent(e)) n += e.Kind == plat::EventKind::MusicNotify;
    return n;
  }
  plat::FakePlatform fake;
  RecordingBackend backend;
  plat::MciInterpreter mci{&backend};
};

TEST_F(Mci, EachCommandFormDrivesTheBackend) {
  EXPECT_EQ(mci.SendString("open sequencer!\"/music/My Themes\\theme1.mid\" alias mainback wait"), 0);
  EXPECT_TRUE(mci.IsOpen());
  EXPECT_EQ(mci.Alias(), "mainback");
  EXPECT_EQ(mci.SendString("seek mainback to 0 wait"), 0);
  EXPECT_EQ(mci.SendString("play mainback notify"), 0);
  EXPECT_EQ(Notices(), 0);
  EXPECT_EQ(mci.SendString("stop mainback wait"), 0);
  EXPECT_EQ(Notices(), 1);  // the stopped play ends with its notice
  EXPECT_EQ(mci.SendString("close mainback wait"), 0);
  EXPECT_FALSE(mci.IsOpen());
  EXPECT_EQ(backend.calls, (std::vector<std::string>{"open /music/My Themes/theme1.mid", "stop", "seek 0",
                                                     "stop", "play", "stop", "stop", "close"}));
  EXPECT_EQ(Notices(), 0);
}

TEST_F(Mci, KeywordsIgnoreCaseAndDeviceMayBeBare) {
  EXPECT_EQ(mci.SendString("OPEN Sequencer!x.mid ALIAS MainBack WAIT"), 0);
  EXPECT_EQ(mci.SendString("Seek mainback TO start"), 0);
  EXPECT_EQ(mci.SendString("play MAINBACK from 250"), 0);
  EXPECT_EQ(mci.SendString("close all"), 0);
  EXPECT_EQ(mci.SendString("open y.mid type sequencer"), 0);
  EXPECT_EQ(mci.Alias(), "y.mid");
}

TEST_F(Mci, OneNoticePerPlayWhetherItEndsIsStoppedOrReplaced) {
  ASSERT_EQ(mci.SendString("open sequencer!\"a.mid\" alias mainback wait"), 0);
  ASSERT_EQ(mci.SendString("play mainback notify"), 0);
  std::function<void()> firstEnd = backend.end;
  ASSERT_EQ(mci.SendString("play mainback notify"), 0);  // replaces the first
  EXPECT_EQ(Notices(), 1);
  firstEnd();  // a stale end of the replaced play says nothing
  EXPECT_EQ(Notices(), 0);
  backend.end();  // the piece ends by itself
  EXPECT_EQ(Notices(), 1);
  EXPECT_EQ(mci.SendString("stop mainback wait"), 0);  // nothing pending any more
  EXPECT_EQ(Notices(), 0);
  // Seeking an open piece rewinds it: the running play ends with a notice.
  ASSERT_EQ(mci.SendString("play mainback notify"), 0);
  EXPECT_EQ(mci.SendString("seek mainback to 0 wait"), 0);
  EXPECT_EQ(Notices(), 1);
  // A play without notify owes nothing.
  ASSERT_EQ(mci.SendString("play mainback"), 0);
  backend.end();
  EXPECT_EQ(mci.SendString("close mainback wait"), 0);
  EXPECT_EQ(Notices(), 0);
}

TEST_F(Mci, OpenFailuresAndCommandsOnNothing) {
  ASSERT_EQ(mci.SendString("open sequencer!\"a.mid\" alias mainback wait"), 0);
  EXPECT_EQ(mci.SendString("open sequencer!\"b.mid\" alias mainback wait"), plat::kMciDuplicateAlias);
  EXPECT_EQ(mci.SendString("open sequencer!\"b.mid\" alias other wait"), plat::kMciHardware);
  EXPECT_EQ(mci.SendString("close mainback wait"), 0);
  backend.openResult = false;
  EXPECT_EQ(mci.SendString("open sequencer!\"missing.mid\" alias mainback wait"), plat::kMciFileNotFound);
  EXPECT_FALSE(mci.IsOpen());
  EXPECT_EQ(mci.SendString("seek mainback to 0 wait"), plat::kMciInvalidDevice);
  EXPECT_EQ(mci.SendString("play mainback notify"), plat::kMciInvalidDevice);
  EXPECT_EQ(mci.SendString("stop mainback wait"), plat::kMciInvalidDevice);
  EXPECT_EQ(mci.SendString("close mainback wait"), plat::kMciInvalidDevice);
  backend.openResult = true;
  backend.playResult = false;
  ASSERT_EQ(mci.SendString("open sequencer!\"a.mid\" alias mainback wait"), 0);
  EXPECT_NE(mci.SendString("play mainback notify"), 0);
  EXPECT_EQ(mci.SendString("stop mainback wait"), 0);
  EXPECT_EQ(Notices(), 0);  // a play that never started owes no notice
}

TEST_F(Mci, MalformedStringsFailWithoutEffect) {
  const char* bad[] = {
      "", "   ", "open", "open sequencer!", "open sequencer!\"\"", "open sequencer!\"unterminated",
      "open cdaudio!x.mid alias a", "open x.mid type waveaudio", "open x.mid alias", "open x.mid bogus",
      "frobnicate mainback", "seek", "seek mainback", "play", "stop", "close",
  };
  for (const char* s : bad) {
    EXPECT_NE(mci.SendString(s), 0) << s;
    EXPECT_FALSE(mci.IsOpen()) << s;
  }
  ASSERT_EQ(mci.SendString("open sequencer!\"a.mid\" alias mainback wait"), 0);
  backend.calls.clear();
  const char* badOpen[] = {
      "seek mainback to", "seek mainback to -1", "seek mainback to 12x", "seek mainback to 99999999999",
      "seek mainback wait", "seek mainback to end", "play mainback wait", "play mainback to 5",
      "play other notify", "stop mainback now", "play mainback \"notify",
  };
  for (const char* s : badOpen) EXPECT_NE(mci.SendString(s), 0) << s;
  EXPECT_TRUE(backend.calls.empty());
  EXPECT_EQ(mci.SendString("seek mainback to 4294967295 wait"), 0);
}

TEST(MciWords, QuotesGroupEvenInsideAWord) {
  std::vector<std::string> w;
  ASSERT_TRUE(plat::SplitMciWords("open sequencer!\"C:\\My Games\\a.mid\"  alias mainback\twait", w));
  EXPECT_EQ(w, (std::vector<std::string>{"open", "sequencer!C:\\My Games\\a.mid", "alias", "mainback", "wait"}));
  EXPECT_FALSE(plat::SplitMciWords("open \"x", w));
}

}  // namespace
