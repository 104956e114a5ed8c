// Image lists and the drawing device: pattern arithmetic, lookup, pattern range, opening and
// closing the device.
#include <gtest/gtest.h>

#include "media/imagelist.h"
#include "platform/fake/fake_platform.h"

namespace {

TPicture Picture(int32_t w, int32_t h, uint32_t base = 0x100000) {
  TPicture p;
  p.Width = w;
  p.Height = h;
  p.Pixels.resize(static_cast<size_t>(w) * h);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) p.Pixels[static_cast<size_t>(y) * w + x] = base + y * 1000 + x;
  return p;
}

int CountNot(const TSurface& s, uint32_t v) {
  int n = 0;
  for (int32_t y = 0; y < s.Height(); ++y)
    for (int32_t x = 0; x < s.Width(); ++x) n += s.GetPixel(x, y) != v;
  return n;
}

class DeviceTest : public ::testing::Test {
 protected:
  void SetUp() override { plat::SetPlatform(&fake); }
  void TearDown() override { plat::SetPlatform(nullptr); }
  plat::FakePlatform fake;
};

}  // namespace

TEST(ImageItem, PatternArithmetic) {
  TImageItem a;
  a.Picture = Picture(200, 100);
  a.PatternWidth = 50;
  a.PatternHeight = 50;
  EXPECT_EQ(a.Width(), 50);
  EXPECT_EQ(a.PatternCount(), 8);
  EXPECT_EQ(a.PatternRect(5), (TRect{50, 50, 100, 100}));
  EXPECT_EQ(a.PatternRect(7), (TRect{150, 50, 200, 100}));

  TImageItem b;
  b.Picture = Picture(52, 16);
  b.PatternWidth = b.PatternHeight = 16;
  b.SkipWidth = b.SkipHeight = 2;
  EXPECT_EQ(b.PatternCount(), 3);  // (52 + 2) div 18 columns, one row
  EXPECT_EQ(b.PatternRect(2), (TRect{36, 0, 52, 16}));

  TImageItem whole;  // pattern size 0: the whole picture, one pattern
  whole.Picture = Picture(30, 20);
  EXPECT_EQ(whole.Width(), 30);
  EXPECT_EQ(whole.Height(), 20);
  EXPECT_EQ(whole.PatternCount(), 1);
  EXPECT_EQ(whole.PatternRect(0), (TRect{0, 0, 30, 20}));

  TImageItem odd;  // patterns bigger than the picture, or gaps that cancel the step
  odd.Picture = Picture(30, 20);
  odd.PatternWidth = 40;
  EXPECT_EQ(odd.PatternCount(), 0);
  odd.PatternWidth = 10;
  odd.SkipWidth = -10;
  EXPECT_EQ(odd.PatternCount(), 0);
  TImageItem none;
  EXPECT_EQ(none.PatternCount(), 0);
}

TEST(ImageItem, DrawsRespectPatternRangeSurfacesAndTransparency) {
  TImageItem a;
  a.Picture = Picture(200, 100);
  a.Picture.Pixels[0] = 0x0000FF;  // TColor red, as a device pixel
  a.PatternWidth = a.PatternHeight = 50;
  a.TransparentColor = 0xFF0000;   // TColor blue ... matches device 0x0000FF
  TSurface dst;
  dst.SetSize(100, 100);
  a.Draw(dst, 0, 0, 0);  // no surface yet: nothing
  EXPECT_EQ(CountNot(dst, 0), 0);
  a.Restore();
  ASSERT_TRUE(a.HasSurface());
  EXPECT_EQ(a.Surface().TransparentColor, 0x0000FFu);
  a.Draw(dst, 0, 0, 8);
  a.Draw(dst, 0, 0, -1);
  a.DrawAlpha(dst, {0, 0, 50, 50}, 8, 200);
  a.DrawRotate(dst, 50, 50, 50, 50, -1, 0.5, 0.5, 0);
  a.DrawRotateAlpha(dst, 50, 50, 50, 50, 8, 0.5, 0.5, 0, 100);
  EXPECT_EQ(CountNot(dst, 0), 0);
  a.Draw(dst, 10, 10, 5);
  EXPECT_EQ(dst.GetPixel(10, 10), 0x100000u + 50 * 1000 + 50);
  EXPECT_EQ(CountNot(dst, 0), 50 * 50);
  dst.Fill(0);
  a.Draw(dst, 0, 0, 0);  // the key colour at (0, 0) is left out
  EXPECT_EQ(dst.GetPixel(0, 0), 0u);
  EXPECT_EQ(dst.GetPixel(1, 0), 0x100001u);
  a.Transparent = false;
  a.Draw(dst, 0, 0, 0);
  EXPECT_EQ(dst.GetPixel(0, 0), 0x0000FFu);
  a.Release();
  dst.Fill(0);
  a.Draw(dst, 0, 0, 0);
  EXPECT_EQ(CountNot(dst, 0), 0);
}

TEST(ImageItem, DrawAtMinusHundredShowsBottomRight) {
  TImageItem a;
  a.Picture = Picture(300, 300);
  a.Restore();
  TSurface dst;
  dst.SetSize(800, 600);
  a.Draw(dst, -100, -100, 0);
  EXPECT_EQ(CountNot(dst, 0), 200 * 200);
  EXPECT_EQ(dst.GetPixel(0, 0), 0x100000u + 100 * 1000 + 100);
  EXPECT_EQ(dst.GetPixel(199, 199), 0x100000u + 299 * 1000 + 299);
}

TEST(ImageList, FindIgnoresCaseAndItemChecksRange) {
  TImageList list;
  list.Add().Name = "Loading";
  list.Add().Name = "btn_OK";
  EXPECT_EQ(&list.Find("LOADING"), list.Items[0].get());
  EXPECT_EQ(&list.Find("btn_Ok"), list.Items[1].get());
  EXPECT_EQ(list.FindOrNull("missing"), nullptr);
  try {
    list.Find("Missing");
    FAIL();
  } catch (const EGameError& e) {
    EXPECT_STREQ(e.what(), "Image 'Missing' not found");
  }
  list.Items[0]->Name = "Renamed";  // a rename after indexing is still found
  EXPECT_EQ(list.FindOrNull("loading"), nullptr);
  EXPECT_EQ(&list.Find("renamed"), list.Items[0].get());
  list.Add().Name = "btn_ok";  // duplicates: the first one wins
  EXPECT_EQ(&list.Find("BTN_OK"), list.Items[1].get());
  EXPECT_EQ(&list.Item(2), list.Items[2].get());
  EXPECT_THROW(list.Item(3), ERangeError);
  EXPECT_THROW(list.Item(-1), ERangeError);
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.FindOrNull("renamed"), nullptr);
}

TEST_F(DeviceTest, InitializeBuildsListsAndFinalizeDropsThem) {
  TDrawDevice dev;
  TImageList list(&dev);
  TImageItem& item = list.Add();
  item.Name = "Loading";
  item.Picture = Picture(10, 10);
  int inits = 0, finals = 0;
  bool surfaceDuringFinal = false;
  dev.OnInitialize = [&] { ++inits; };
  dev.OnFinalize = [&] {
    ++finals;
    surfaceDuringFinal = dev.Surface.Width() == 800;
  };
  EXPECT_FALSE(dev.CanDraw());
  dev.Flip();  // closed: nothing shown
  EXPECT_EQ(fake.presentCount, 0);
  dev.Finalize();  // closed: nothing
  EXPECT_EQ(finals, 0);

  dev.Initialize();
  EXPECT_TRUE(dev.CanDraw());
  EXPECT_EQ(dev.Surface.Width(), 800);
  EXPECT_EQ(dev.Surface.Height(), 600);
  EXPECT_EQ(inits, 1);
  EXPECT_TRUE(item.HasSurface());
  dev.Surface.Fill(0x123456);
  dev.Flip();
  EXPECT_EQ(fake.presentCount, 1);
  ASSERT_EQ(fake.lastFrame.size(), 800u * 600u);
  EXPECT_EQ(fake.lastFrame[0], 0x123456u);

  dev.Initialize();  // re-opening closes first
  EXPECT_EQ(finals, 1);
  EXPECT_EQ(inits, 2);
  dev.Finalize();
  EXPECT_EQ(finals, 2);
  EXPECT_TRUE(surfaceDuringFinal);
  EXPECT_FALSE(dev.CanDraw());
  EXPECT_FALSE(item.HasSurface());

  dev.FullScreen = true;
  fake.failFullScreen = true;
  try {
    dev.Initialize();
    FAIL();
  } catch (const EGameError& e) {
    EXPECT_STREQ(e.what(), "Display mode cannot be changed (800x600 16bit)");
  }
  EXPECT_FALSE(dev.Initialized());
  EXPECT_FALSE(dev.CanDraw());
}

TEST_F(DeviceTest, ListsAndDeviceMayDieInEitherOrder) {
  auto dev = std::make_unique<TDrawDevice>();
  auto a = std::make_unique<TImageList>(dev.get());
  {
    TImageList b(dev.get());  // unbinds itself when it goes
  }
  dev->Initialize();
  dev.reset();  // the list forgets the device
  EXPECT_EQ(a->Device(), nullptr);
  a.reset();
}
