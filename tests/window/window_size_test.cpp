// The remembered window size: stored beside the six options without touching them, applied
// at start-up against the desktop, taken from the window at shut-down.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>

#include "../app/app_fixture.h"
#include "platform/settings_store.h"
#include "settings/window_size.h"
#include "testkit/checks.h"

namespace fs = std::filesystem;
using testkit::AppTest;

namespace {

std::string ReadText(const fs::path& p) {
  std::ifstream f(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(f), {});
}

class WindowSizeTest : public AppTest {
 protected:
  fs::path StorePath() const { return fs::path(dir) / "user.reg"; }
  void WriteStore(const std::string& text) {
    std::ofstream(StorePath(), std::ios::binary | std::ios::trunc) << text;
  }
  // The real start-up: window, FormCreate (settings read, size applied).
  void Start() {
    testkit::WritePackages(dir);
    delete MainForm;
    MainForm = nullptr;
    ASSERT_TRUE(StartMainForm());
  }
  void Stop() { EndMainForm(); }
  void SetDesktop(int w, int h) {
    fake.desktopW = w;
    fake.desktopH = h;
  }
  // The desktop turns w x h while the game runs; then it shuts down and starts again.
  void RestartOnDesktop(int w, int h) {
    SetDesktop(w, h);
    Stop();
    Start();
  }
  // The window's client size in window mode.
  std::pair<int, int> Windowed() const { return {fake.windowedW, fake.windowedH}; }
};

const char* kOptions =
    "[\\Software\\Brenmoor Studio\\Tangrel]\n\"Sounds\"=dword:00000000\n\"Music\"=dword:00000000\n"
    "\"Full\"=dword:00000000\n";

TEST_F(WindowSizeTest, AFirstWindowOnALargeDesktopOpensAtTheLargestWholeMultiple) {
  SetDesktop(2560, 1440);
  Start();
  EXPECT_EQ(Windowed(), std::make_pair(1600, 1200));
  // What the window had is what the next start finds, even on a larger desktop.
  RestartOnDesktop(3840, 2160);
  EXPECT_EQ(Windowed(), std::make_pair(1600, 1200));
}

TEST_F(WindowSizeTest, TheSizeThePlayerGaveTheWindowComesBackAndTheOptionsStayAsTheyWere) {
  WriteStore(kOptions);
  SetDesktop(1920, 1080);
  Start();
  EXPECT_EQ(fake.windowedW, 800);  // 2x does not fit in 85 % of 1080 rows
  fake.windowedW = 1000;           // the player drags the border
  fake.windowedH = 700;
  Stop();
  const std::string text = ReadText(StorePath());
  EXPECT_NE(text.find("[\\Software\\Brenmoor Studio\\Tangrel\\Window]\n\"Width\"=dword:000003e8\n"
                      "\"Height\"=dword:000002bc\n"),
            std::string::npos)
      << text;
  // The six options keep their key, their order and their rules: a key without "3D" still
  // turns the 3D look on, whatever the window key holds.
  EXPECT_NE(text.find("[\\Software\\Brenmoor Studio\\Tangrel]\n\"Sounds\"=dword:00000000\n\"Music\"=dword:00000000\n"
                      "\"Difficulty\"=dword:00000001\n\"Full\"=dword:00000000\n\"Tips\"=dword:00000001\n"
                      "\"3D\"=dword:00000001\n"),
            std::string::npos)
      << text;

  fake.windowedW = fake.windowedH = 0;
  Start();
  EXPECT_EQ(Windowed(), std::make_pair(1000, 700));
  // A desktop now too small for it: the first-start choice instead.
  RestartOnDesktop(900, 650);
  EXPECT_EQ(Windowed(), std::make_pair(800, 600));
}

TEST_F(WindowSizeTest, AWindowKeyAloneLeavesTheFirstRunDefaults) {
  // Only the window's key: the options are still those of a first run (3D look off).
  WriteStore("[\\Software\\Brenmoor Studio\\Tangrel\\Window]\n\"Width\"=dword:00000500\n\"Height\"=dword:000003c0\n");
  LoadSettings();
  EXPECT_TRUE(testkit::OptionsAre(testkit::kFirstRunOptions));
  EXPECT_EQ(WindowSize.Width, 1280);
  EXPECT_EQ(WindowSize.Height, 960);
}

TEST_F(WindowSizeTest, BrokenWindowValuesAreIgnored) {
  const char* bad[] = {
      "\"Width\"=dword:00000000\n\"Height\"=dword:000003c0\n",  // zero
      "\"Width\"=dword:00004001\n\"Height\"=dword:000003c0\n",  // beyond any screen
      "\"Width\"=dword:ffffffff\n\"Height\"=dword:ffffffff\n",  // negative as a signed number
      "\"Width\"=\"1280\"\n\"Height\"=dword:000003c0\n",        // not a DWORD
      "\"Height\"=dword:000003c0\n",                            // half of it
  };
  for (const char* values : bad) {
    SCOPED_TRACE(values);
    WriteStore(std::string("[\\Software\\Brenmoor Studio\\Tangrel\\Window]\n") + values);
    WindowSize = {1234, 567};
    LoadSettings();
    EXPECT_EQ(WindowSize.Width, 0);
    EXPECT_EQ(WindowSize.Height, 0);
    // Nothing remembered and no desktop known: the window stays at 800 x 600.
    fake.windowedW = fake.windowedH = 1;
    ApplyWindowSize();
    EXPECT_EQ(Windowed(), std::make_pair(800, 600));
  }
}

TEST_F(WindowSizeTest, NothingIsWrittenWhileNoSizeIsKnown) {
  LoadSettings();
  ASSERT_TRUE(SaveSettings());
  EXPECT_EQ(ReadText(StorePath()).find("Window"), std::string::npos);
}

}  // namespace
