// Image lists read from package files: items and patterns, surfaces built when the device is
// open, a missing file, and a file cut short.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <unistd.h>

#include "media/imagelist.h"
#include "media/package.h"
#include "platform/fake/fake_platform.h"

namespace {

TImageItemData Data(const std::string& name, int32_t w, int32_t h, int32_t pw = 0, int32_t ph = 0) {
  TImageItemData d;
  d.Name = name;
  d.PatternWidth = pw;
  d.PatternHeight = ph;
  d.TransparentColor = 0xFF00FF;
  d.HasPicture = true;
  d.Picture.Width = w;
  d.Picture.Height = h;
  d.Picture.Pixels.assign(static_cast<size_t>(w) * h, 0x123456);
  return d;
}

class PackageFile : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::SetPlatform(&fake);
    path = testing::TempDir() + "drawing_test_" + std::to_string(getpid()) + ".gpk";
  }
  void TearDown() override {
    std::remove(path.c_str());
    plat::SetPlatform(nullptr);
  }
  void Write(const std::vector<uint8_t>& bytes) {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
  plat::FakePlatform fake;
  std::string path;
};

}  // namespace

TEST_F(PackageFile, LoadsItemsAndBuildsSurfacesWhenOpen) {
  const std::vector<TImageItemData> items = {Data("Loading", 40, 30), Data("pan_numbers", 200, 100, 50, 50),
                                             Data("Slot", 20, 20)};
  const std::vector<uint8_t> bytes = WriteImagePackage(items);
  ASSERT_FALSE(bytes.empty());
  Write(bytes);

  TDrawDevice dev;
  TImageList list(&dev);
  list.Add().Name = "old";
  list.LoadFromFile(path);  // device closed: items only
  ASSERT_EQ(list.Count(), 3);
  EXPECT_EQ(list.FindOrNull("old"), nullptr);
  EXPECT_FALSE(list.Find("LOADING").HasSurface());
  EXPECT_EQ(list.Find("Pan_Numbers").PatternCount(), 8);
  EXPECT_EQ(list.Item(2).Name, "Slot");

  dev.Initialize();
  EXPECT_TRUE(list.Find("slot").HasSurface());
  list.LoadFromFile(path);  // device open: built at once
  EXPECT_TRUE(list.Find("loading").HasSurface());
  EXPECT_EQ(list.Find("loading").Surface().TransparentColor, 0xFF00FFu);
  TSurface& back = dev.Surface;
  list.Find("pan_numbers").Draw(back, 0, 0, 7);
  EXPECT_EQ(back.GetPixel(49, 49), 0x123456u);
  EXPECT_EQ(back.GetPixel(50, 50), 0u);
}

TEST_F(PackageFile, MissingFileLeavesTheListAsItWas) {
  TImageList list;
  list.Add().Name = "Keep";
  const std::string missing = path + ".missing";
  try {
    list.LoadFromFile(missing);
    FAIL();
  } catch (const EGameError& e) {
    EXPECT_EQ(std::string(e.what()), "Cannot open file " + missing);
  }
  ASSERT_EQ(list.Count(), 1);
  EXPECT_EQ(list.Find("keep").Name, "Keep");
}

TEST_F(PackageFile, FileCutShortKeepsTheItemsReadBeforeTheFault) {
  std::vector<TImageItemData> items;
  for (int i = 0; i < 4; ++i) items.push_back(Data("item" + std::to_string(i), 64, 64));
  std::vector<uint8_t> bytes = WriteImagePackage(items);
  ASSERT_GT(bytes.size(), 1000u);
  bytes.resize(bytes.size() * 3 / 4);  // inside the last item
  Write(bytes);
  TImageList list;
  list.Add().Name = "old";
  EXPECT_THROW(list.LoadFromFile(path), EGameError);
  EXPECT_EQ(list.FindOrNull("old"), nullptr);
  EXPECT_GE(list.Count(), 1);
  EXPECT_LT(list.Count(), 4);
  EXPECT_EQ(list.Find("ITEM0").Picture.Width, 64);
}
