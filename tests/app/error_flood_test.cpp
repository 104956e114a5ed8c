// An error raised in every frame is shown once and counted, not repeated without end.
#include <regex>

#include "app_fixture.h"

using testkit::AppTest;

namespace {

int CountOf(const std::vector<std::string>& v, const std::string& text) {
  int n = 0;
  for (const auto& s : v)
    if (s == text) ++n;
  return n;
}

}  // namespace

class FloodTest : public AppTest {
 protected:
  // A texture list of one item: the menu's backdrop (texture 10) is out of range every frame.
  void OpenWithOneTexture() {
    for (const auto& s : testkit::StandardSprites()) testkit::AddSprite(MainForm->ImageList, s);
    testkit::AddSprite(MainForm->TexList, {"tex", 64, 64, 1, 0x808080});
    BuildMenu();
    InitPanel();
    MainForm->ActivateInstalled = true;
    MainForm->AppActivate();
    ASSERT_TRUE(MainForm->FrameTimerEnabled);
    ASSERT_EQ(ScreenState, scMenu);
  }
  // The counts of the "(repeated N times)" lines; every line must be of that form.
  std::vector<int> RepeatCounts() {
    static const std::regex line("Range check error \\(repeated ([0-9]+) times\\)");
    std::vector<int> counts;
    for (const auto& l : fake.errorLines) {
      std::smatch m;
      EXPECT_TRUE(std::regex_match(l, m, line)) << l;
      if (!m.empty()) counts.push_back(std::stoi(m[1]));
    }
    return counts;
  }
};

TEST_F(FloodTest, AnErrorInEveryFrameIsShownOnceAndCounted) {
  OpenWithOneTexture();
  // 250 frames 10 ms apart: two and a half seconds of failing frames.
  for (int i = 0; i < 250; ++i) Frame(10);
  ASSERT_EQ(fake.errors.size(), 1u);
  EXPECT_EQ(fake.errors[0], "Range check error");
  // At most one line a second: at 1 s and at 2 s.
  std::vector<int> counts = RepeatCounts();
  ASSERT_EQ(counts.size(), 2u);
  EXPECT_EQ(counts[0] + counts[1], 200);

  // At the end the repeats not yet told are told.
  EndMainForm();
  counts = RepeatCounts();
  ASSERT_EQ(counts.size(), 3u);
  EXPECT_EQ(counts[0] + counts[1] + counts[2], 249);
}

TEST_F(FloodTest, AnotherTextIsShownAndTheSameTextAfterAPauseIsShownAgain) {
  OpenWithOneTexture();
  for (int i = 0; i < 20; ++i) Frame(10);
  ASSERT_EQ(fake.errors.size(), 1u);
  // A different failure between the failing frames gets its own message.
  ScreenState = scLoading;  // the loading screen needs no texture
  MainForm->ImageList.Clear();
  for (const auto& sp : testkit::StandardSprites())
    if (std::string(sp.name) != "Loading") testkit::AddSprite(MainForm->ImageList, sp);
  Frame(10);
  ASSERT_EQ(fake.errors.size(), 2u);
  EXPECT_EQ(fake.errors[1], "Image 'Loading' not found");
  ScreenState = scMenu;
  Frame(10);
  EXPECT_EQ(fake.errors.size(), 2u);  // the range error is still running: counted

  // Quiet for more than a second, then the same failure again: a new message, as before.
  fake.ticks += 5000;
  Frame(10);
  ASSERT_EQ(fake.errors.size(), 3u);
  EXPECT_EQ(fake.errors[2], "Range check error");
  // The 20 repeats of the first run were told when it ended.
  std::vector<int> counts = RepeatCounts();
  ASSERT_EQ(counts.size(), 1u);
  EXPECT_EQ(counts[0], 20);
}

TEST_F(FloodTest, NoSecondBoxWhileOneWithTheSameTextIsOpen) {
  OpenWithOneTexture();
  // A box that runs the window's messages while it is open (as a system's modal box does):
  // the frames inside it fail the same way.
  int nested = 0;
  fake.onReportError = [&] {
    if (nested++ < 5) RunOneFrame();
  };
  Frame(10);
  EXPECT_EQ(CountOf(fake.errors, "Range check error"), 1);
  EXPECT_EQ(nested, 1);
}
