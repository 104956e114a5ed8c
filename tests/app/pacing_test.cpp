// Frames no more often than the display refreshes, and the game's clock-driven timing
// unchanged by it: the pacer's schedule, then the loop through the test double, whose waits
// let their time pass on the clock.
#include <algorithm>

#include "app_fixture.h"

using testkit::AppTest;

namespace {

plat::Event Move(int32_t x, int32_t y) {
  plat::Event e;
  e.Kind = plat::EventKind::MouseMove;
  e.X = x;
  e.Y = y;
  return e;
}

// Runs the pacer as the loop does, one clock step of 1 ms at a time, for `ms` milliseconds;
// the clock readings at which frames ran.
std::vector<uint32_t> PacedFrames(TFramePacer& pacer, uint32_t start, uint32_t ms, int hz) {
  std::vector<uint32_t> at;
  for (uint32_t t = start; t != start + ms; ++t)
    if (pacer.WaitMs(t) == 0) {
      pacer.FrameRan(t, hz);
      at.push_back(t);
    }
  return at;
}

}  // namespace

TEST(FramePacer, KeepsTheDisplaysRateOnAMillisecondClock) {
  for (int hz : {60, 75, 144, 50}) {
    TFramePacer pacer;
    pacer.Restart(1000);
    const std::vector<uint32_t> at = PacedFrames(pacer, 1000, 1000, hz);
    EXPECT_EQ(static_cast<int>(at.size()), hz) << hz << " Hz";
    // Never closer than the whole milliseconds of a refresh, never more than one more.
    for (size_t i = 1; i < at.size(); ++i) {
      EXPECT_GE(at[i] - at[i - 1], static_cast<uint32_t>(1000 / hz)) << hz << " Hz, frame " << i;
      EXPECT_LE(at[i] - at[i - 1], static_cast<uint32_t>(1000 / hz + 1)) << hz << " Hz, frame " << i;
    }
  }
}

TEST(FramePacer, AnUnknownRateCountsAsSixtyAndTheClockMayWrap) {
  EXPECT_EQ(TFramePacer::UsableHz(0), 60);
  EXPECT_EQ(TFramePacer::UsableHz(-5), 60);
  EXPECT_EQ(TFramePacer::UsableHz(1), 60);
  EXPECT_EQ(TFramePacer::UsableHz(240), 240);
  EXPECT_EQ(TFramePacer::UsableHz(100000), 1000);
  TFramePacer pacer;
  const uint32_t start = 0xFFFFFF00u;  // 256 ms before the millisecond clock wraps
  pacer.Restart(start);
  EXPECT_EQ(PacedFrames(pacer, start, 1000, 0).size(), 60u);
}

TEST(FramePacer, ALateFrameStartsTheCountAfreshInsteadOfABurst) {
  TFramePacer pacer;
  pacer.Restart(0);
  ASSERT_EQ(pacer.WaitMs(0), 0);
  pacer.FrameRan(0, 60);
  EXPECT_EQ(pacer.WaitMs(0), 17);  // due at 16 2/3 ms
  EXPECT_EQ(pacer.WaitMs(16), 1);
  EXPECT_EQ(pacer.WaitMs(17), 0);
  // A frame that took 100 ms (a picture built, a sound played with waiting): the next is due
  // a refresh after it, not at once three times over.
  pacer.FrameRan(117, 60);
  EXPECT_EQ(pacer.WaitMs(118), 16);
  const std::vector<uint32_t> at = PacedFrames(pacer, 118, 100, 60);
  ASSERT_FALSE(at.empty());
  EXPECT_GE(at.front(), 117u + 16u);
}

class PacedLoop : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    testkit::WriteTwoBarLevel(dir);
    fake.ticks = 5000;
    fake.refreshRate = 60;
    fake.waitPassesTime = true;
    OpenWithImages();
    ASSERT_TRUE(MainForm->DrawDevice.Initialized());
  }
  // Passes of the program's loop until the clock has moved on by `ms` (at most `passes`);
  // the clock reading at each frame presented.
  std::vector<uint32_t> Run(uint32_t ms, int passes = 20000) {
    std::vector<uint32_t> at;
    const uint32_t end = fake.ticks + ms;
    for (int i = 0; i < passes && static_cast<int32_t>(end - fake.ticks) > 0; ++i) {
      const int before = fake.presentCount;
      EXPECT_TRUE(RunMessageLoopOnce());
      if (fake.presentCount != before) at.push_back(fake.ticks);
    }
    return at;
  }
};

TEST_F(PacedLoop, TheMenuIsDrawnAtTheDisplaysRateAndTheLoopWaitsInThePlatform) {
  const std::vector<uint32_t> at = Run(1000);
  // Without pacing the loop would draw every pass, and the clock would not move at all.
  EXPECT_GE(at.size(), 59u);
  EXPECT_LE(at.size(), 61u);
  for (size_t i = 1; i < at.size(); ++i) EXPECT_GE(at[i] - at[i - 1], 16u) << "frame " << i;
  // The time between frames is spent waiting for events, each wait no longer than the time
  // left to the next frame; nothing sleeps.
  ASSERT_FALSE(fake.waits.empty());
  EXPECT_LE(*std::max_element(fake.waits.begin(), fake.waits.end()), 17);
  EXPECT_GE(*std::min_element(fake.waits.begin(), fake.waits.end()), 1);
  EXPECT_EQ(fake.sleptMs, 0);
}

TEST_F(PacedLoop, InputThatComesWhileTheLoopWaitsIsHandledAtOnce) {
  Run(100);
  // Just after a frame: the next is a refresh away.
  for (int before = fake.presentCount; fake.presentCount == before;) ASSERT_TRUE(RunMessageLoopOnce());
  const int presents = fake.presentCount;
  const uint32_t arrives = fake.ticks + 3;
  fake.arrivals.push_back({arrives, Move(123, 45)});
  EXPECT_TRUE(RunMessageLoopOnce());
  EXPECT_EQ(CursorPos, (TPoint{123, 45}));
  EXPECT_EQ(fake.ticks, arrives);          // handled when it came, not at the next frame
  EXPECT_EQ(fake.presentCount, presents);  // and no frame drawn early for it
}

TEST_F(PacedLoop, TheLevelCompleteDisplayTakesItsFourSecondsOnTheClock) {
  // The display and its turning, shrinking, fading texture are drawn from AnimClock; paced
  // frames still add up the clock's whole time, so the display takes as long as before.
  // The level is completed just after a frame: the display's clock starts there.
  Run(100);
  for (int before = fake.presentCount; fake.presentCount == before;) ASSERT_TRUE(RunMessageLoopOnce());
  ScreenState = scLevelComplete;
  MainForm->AnimClock = 0;
  const uint32_t start = fake.ticks;
  uint32_t doneAt = 0;
  int frames = 0;
  for (int i = 0; i < 20000 && !doneAt; ++i) {
    const int before = fake.presentCount;
    ASSERT_TRUE(RunMessageLoopOnce());
    if (fake.presentCount == before) continue;
    ++frames;
    // Every frame's clock is the whole time since the level was completed.
    ASSERT_EQ(MainForm->AnimClock, fake.ticks - start);
    if (MainForm->AnimClock >= 4000) doneAt = fake.ticks;
  }
  ASSERT_NE(doneAt, 0u) << "the display never ended";
  // The caption stands alone from the first frame at or after 4000 ms: within one refresh.
  EXPECT_GE(doneAt - start, 4000u);
  EXPECT_LT(doneAt - start, 4000u + 17u);
  // At the display's rate, not as many frames as the loop could draw.
  EXPECT_GE(frames, 238);
  EXPECT_LE(frames, 242);
  EXPECT_EQ(Pixel(302, 150), 0x3050F0u);  // "Complete_52x100", opaque over the slot-box
}
