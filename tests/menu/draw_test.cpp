// The menu's frames, probed pixel by pixel: the episode rows with their stars, marks and
// numbers, the glowing items, and the pages of Options, Help and Exit.
#include "menu_fixture.h"

namespace {

class MenuDrawTest : public MenuTest {
 protected:
  void SetUp() override {
    MenuTest::SetUp();
    MainForm->DrawDevice.OnInitialize = nullptr;  // no level set-up, only the surfaces
    MainForm->DrawDevice.Initialize();
    ASSERT_TRUE(MainForm->DrawDevice.CanDraw());
  }
  void TearDown() override {
    MainForm->DrawDevice.OnFinalize = nullptr;
    MainForm->DrawDevice.Finalize();
    MenuTest::TearDown();
  }
  static uint32_t At(int32_t x, int32_t y) { return MainForm->DrawDevice.Surface.GetPixel(x, y); }
  // The pixel one in from an image's top-left corner.
  static uint32_t Inside(int32_t x, int32_t y) { return At(x + 1, y + 1); }
};

// What row r of the page shows at its star, mark, caption and number places.
struct TRowProbe {
  int Row;
  int Pattern;
  const char* Star;
  const char* Mark;
  const char* Tens;  // nullptr for a one-digit number
  const char* Units;
};

void ExpectRow(const TRowProbe& p) {
  const TRect& r = LevelCatalogue[p.Row].Row;
  auto at = [](int32_t x, int32_t y) { return MainForm->DrawDevice.Surface.GetPixel(x + 1, y + 1); };
  SCOPED_TRACE("row " + std::to_string(p.Row));
  EXPECT_EQ(at(r.Left, r.Top - 3), SpriteColour(p.Star, p.Pattern));
  EXPECT_EQ(at(r.Left + 30, r.Top - 6), SpriteColour(p.Mark, p.Pattern));
  EXPECT_EQ(at(r.Left + 61, r.Top), SpriteColour("_level", p.Pattern));
  if (p.Tens) {
    EXPECT_EQ(at(r.Left + 130, r.Top), SpriteColour(p.Tens, p.Pattern));
    EXPECT_EQ(at(r.Left + 150, r.Top), SpriteColour(p.Units, p.Pattern));
  } else {
    EXPECT_EQ(at(r.Left + 130, r.Top), SpriteColour(p.Units, p.Pattern));
    EXPECT_NE(at(r.Left + 150, r.Top), SpriteColour(p.Units, p.Pattern));
  }
}

}  // namespace

TEST_F(MenuDrawTest, FirstFrameShowsEpisodeOneWithLevelZeroLit) {
  LevelCatalogue[1].Rating = 1;
  LevelCatalogue[2].Rating = 2;
  LevelCatalogue[4].Rating = 7;
  PlayerRecord.SetSolvedFlags(3, -1);
  PlayerRecord.SetSolvedFlags(15, 1);
  BuildMenu();
  DrawMenu();

  EXPECT_EQ(At(790, 20), kTextureColour);
  EXPECT_EQ(Inside(0, 0), SpriteColour("menufone", 0));
  EXPECT_EQ(At(130, 130), SpriteColour("menu_Episode1_41x62", 0));  // active: full glow
  EXPECT_EQ(At(130, 165), kTextureColour);                          // item 2 dark
  EXPECT_EQ(Inside(306, 486), SpriteColour("menu_Legend_226x426", 0));

  ExpectRow({0, 1, "_greenstar", "_box", nullptr, "0"});
  ExpectRow({1, 0, "_goldstar", "_box", nullptr, "1"});
  ExpectRow({2, 0, "_redstar", "_box", nullptr, "2"});
  ExpectRow({3, 0, "_greenstar", "_checkedbox", nullptr, "3"});
  ExpectRow({4, 0, "_redstar", "_box", nullptr, "4"});
  ExpectRow({15, 0, "_greenstar", "_checkedbox", "1", "5"});
  ExpectRow({19, 0, "_greenstar", "_box", "1", "9"});
}

TEST_F(MenuDrawTest, PreviewedEpisodeShowsItsRowsUnlit) {
  BuildMenu();
  MoveToItem(3);
  DrawMenu();
  ExpectRow({0, 0, "_greenstar", "_box", "4", "0"});
  ExpectRow({19, 0, "_greenstar", "_box", "5", "9"});
  // Both items glow: the active one opaque, the hovered one partly blended.
  EXPECT_EQ(At(130, 130), SpriteColour("menu_Episode1_41x62", 0));
  const uint32_t glow = At(130, 200);
  EXPECT_NE(glow, kTextureColour);
  EXPECT_NE(glow, SpriteColour("menu_Episode3_41x133", 0));
}

TEST_F(MenuDrawTest, EpisodeFiveNumbersHaveTwoDigits) {
  BuildMenu();
  OpenItem(5);
  MoveTo(Centre(LevelCatalogue[12].Row));
  DrawMenu();
  ExpectRow({0, 0, "_greenstar", "_box", "8", "0"});
  ExpectRow({12, 1, "_greenstar", "_box", "9", "2"});
  ExpectRow({19, 0, "_greenstar", "_box", "9", "9"});
}

TEST_F(MenuDrawTest, OptionsPageShowsButtonsByState) {
  Settings.Difficulty = 7;
  Settings.Tips = 0;
  BuildMenu();
  OpenItem(6);
  MoveToOption(3);
  DrawMenu();
  EXPECT_EQ(Inside(290, 129), SpriteColour("menu_slot_210x69", 0));
  EXPECT_EQ(Inside(383, 145), SpriteColour("menu_headerOptions_303x85", 0));
  EXPECT_EQ(Inside(360, 210), SpriteColour("menu_OptionsItems", 0));
  EXPECT_EQ(Inside(530, 210), SpriteColour("btn_Normal", 0));  // stored 7 shows Normal
  EXPECT_EQ(Inside(552, 251), SpriteColour("btn_Yes", 0));
  EXPECT_EQ(Inside(552, 292), SpriteColour("btn_No", 1));  // tips off, under the pointer
  EXPECT_EQ(Inside(460, 476), SpriteColour("btn_Ok", 0));
  EXPECT_EQ(Inside(306, 486), kTextureColour);  // no legend off the episode pages
}

TEST_F(MenuDrawTest, PreviewedPagesHighlightNoButton) {
  BuildMenu();
  OpenItem(2);
  MoveToItem(6);
  DrawMenu();
  EXPECT_EQ(Inside(460, 476), SpriteColour("btn_Ok", 0));
  MoveToItem(8);
  DrawMenu();
  EXPECT_EQ(Inside(345, 215), SpriteColour("menu_headerExit", 0));
  EXPECT_EQ(Inside(408, 330), SpriteColour("btn_Yes", 0));
  EXPECT_EQ(Inside(548, 330), SpriteColour("btn_No", 0));
  MoveToItem(7);
  DrawMenu();
  EXPECT_EQ(Inside(314, 150), SpriteColour("menu_Help_311x150", 0));
  EXPECT_EQ(Inside(408, 330), kTextureColour);
  MoveToItem(9);
  DrawMenu();
  EXPECT_EQ(Inside(315, 145), SpriteColour("menu_trymoregames", 0));
}

TEST_F(MenuDrawTest, ExitButtonLightsUnderThePointer) {
  BuildMenu();
  OpenItem(8);
  MoveTo(Centre(ExitButtons[2]));
  DrawMenu();
  EXPECT_EQ(Inside(408, 330), SpriteColour("btn_Yes", 0));
  EXPECT_EQ(Inside(548, 330), SpriteColour("btn_No", 1));
  EXPECT_EQ(At(110, 450), SpriteColour("menu_Exit_25x381", 0));
}

TEST_F(MenuDrawTest, MissingImageStopsTheFrame) {
  BuildMenu();
  MainForm->ImageList.Clear();
  EXPECT_THROW(DrawMenu(), std::exception);
}
