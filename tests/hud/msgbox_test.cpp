// The message box: layout by line count, hover, closing and its drawing.
#include "hud_fixture.h"

using testkit::HudTest;

TEST_F(HudTest, MessageBoxLayoutByLineCount) {
  const struct {
    uint8_t n;
    int32_t top, bottom;
  } cases[] = {{1, 232, 368}, {4, 187, 413}, {7, 142, 458}};
  for (int i = 1; i <= 7; ++i) MessageLines[i] = "Line number " + std::to_string(i);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.n);
    ScreenState = scPlaying;
    OpenMessageBox(c.n);
    EXPECT_EQ(MessageRect.Top, c.top);
    EXPECT_EQ(MessageRect.Bottom, c.bottom);
    const int32_t w = MessageTextWidth(c.n);
    EXPECT_EQ(MessageRect.Left, 300 - w / 2);
    EXPECT_EQ(MessageRect.Right, 800 - MessageRect.Left);
    EXPECT_EQ(OkRect, (TRect{370, c.bottom - 50, 430, c.bottom - 20}));
    EXPECT_EQ(MessageLineCount, c.n);
    EXPECT_EQ(SavedScreenState, scPlaying);
    EXPECT_EQ(ScreenState, scMessageBox);
  }
  EXPECT_THROW(OpenMessageBox(0), ERangeError);
  EXPECT_THROW(OpenMessageBox(8), ERangeError);
}

TEST_F(HudTest, ShowMessageBoxUsesTheFourLines) {
  ScreenState = scPlaying;
  ShowMessageBox();
  EXPECT_EQ(MessageLines[1], "Please complete this level.");
  EXPECT_EQ(MessageLines[4], "the current level.");
  EXPECT_EQ(OkRect, (TRect{370, 363, 430, 393}));
  CloseMessageBox();
  EXPECT_EQ(ScreenState, scPlaying);
  EXPECT_EQ(CountSound("beep2"), 1);
}

TEST_F(HudTest, OkHoverSoundsOncePerEntry) {
  ScreenState = scPlaying;
  ShowMessageBox();
  Move(400, 380);
  Move(410, 385);
  EXPECT_TRUE(OkHover);
  EXPECT_EQ(CountSound("menu2"), 1);
  Move(400, 300);
  EXPECT_FALSE(OkHover);
  Move(430, 393);  // the corner counts
  EXPECT_EQ(CountSound("menu2"), 2);
  // Hover is not cleared by closing and opening again.
  MainForm->FormKeyDown('X', 0);
  ShowMessageBox();
  EXPECT_TRUE(OkHover);
}

TEST_F(HudTest, MessageBoxDrawing) {
  OpenWithImages();
  ScreenState = scPlaying;
  ShowMessageBox();
  OkHover = true;
  CursorPos = {790, 590};
  Frame(16);
  const TRect r = MessageRect;
  EXPECT_EQ(Pixel(10, 10), 0u);
  EXPECT_EQ(Pixel(r.Left, r.Top), 0xFFFFFFu);
  EXPECT_EQ(Pixel(r.Right - 1, r.Bottom - 1), 0xFFFFFFu);
  EXPECT_EQ(Pixel(r.Right, r.Bottom), 0u);
  EXPECT_EQ(Pixel(r.Left + 3, r.Bottom - 3), testkit::TextureColor(10));  // the backdrop
  EXPECT_EQ(Pixel(371, 364), 0x20A010u + 1);  // OK, lit
  bool gold = false;
  for (int y = r.Top + 30; y < r.Top + 60 && !gold; ++y)
    for (int x = r.Left; x < r.Right && !gold; ++x) gold = Pixel(x, y) == 0xFFD900u;
  EXPECT_TRUE(gold);
}
