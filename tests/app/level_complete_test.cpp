// The level-complete display's timeline, probed in the back surface.
#include <cstdlib>

#include "app_fixture.h"

using testkit::AppTest;

namespace {
constexpr uint32_t kComplete = 0x3050F0;

int Channel(uint32_t p, int shift) { return static_cast<int>((p >> shift) & 0xFF); }
bool Near(uint32_t a, uint32_t b, int tol) {
  for (int s : {0, 8, 16})
    if (std::abs(Channel(a, s) - Channel(b, s)) > tol) return false;
  return true;
}
}  // namespace

class LevelCompleteTest : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    testkit::WriteTwoBarLevel(dir);
    OpenWithImages();
    ASSERT_TRUE(MainForm->DrawDevice.Initialized());
    ScreenState = scLevelComplete;
    CursorPos = {790, 590};
  }
  // A frame that ends with AnimClock at t.
  void FrameAt(uint32_t t) {
    MainForm->AnimClock = t - 1;
    MainForm->FrameTimerTimer(1);
    ASSERT_EQ(MainForm->AnimClock, t);
  }
};

TEST_F(LevelCompleteTest, Timeline) {
  const uint32_t tex = testkit::TextureColor(0);  // level 0's own texture
  ASSERT_EQ(PieceTable[0].Position, (TPoint{400, 200}));

  // 199: 270 x 270, opaque, unturned: x 265 .. 534.
  FrameAt(199);
  EXPECT_EQ(Pixel(266, 200), tex);
  EXPECT_EQ(Pixel(533, 330), tex);
  EXPECT_NE(Pixel(263, 200), tex);

  // 200: same size, alpha 243: close to the texture but not it.
  FrameAt(200);
  EXPECT_NE(Pixel(266, 200), tex);
  EXPECT_TRUE(Near(Pixel(266, 200), tex, 24));
  EXPECT_NE(Pixel(400, 200), kComplete);

  // 2500: the caption starts at alpha 0, so it does not show yet.
  FrameAt(2500);
  EXPECT_NE(Pixel(303, 151), kComplete);

  // 3999: the caption is all but opaque, the texture all but gone.
  FrameAt(3999);
  EXPECT_TRUE(Near(Pixel(303, 151), kComplete, 2));

  // 4000 on: only the caption, opaque at (302, 150), over the slot-box.
  FrameAt(4000);
  EXPECT_EQ(Pixel(302, 150), kComplete);
  EXPECT_EQ(Pixel(499, 249), kComplete);
  EXPECT_NE(Pixel(301, 150), kComplete);
  EXPECT_NE(Pixel(500, 150), kComplete);
  FrameAt(9000);
  EXPECT_EQ(Pixel(302, 150), kComplete);
}
