// Checks the built picture packages: every sprite the game looks up exists with a size that
// fits where it is drawn, and the texture list has its eleven textures. Skips when not built.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "art.h"
#include "generators.h"
#include "media/package.h"
#include "platform/text.h"
#include "sprite_list.h"
#include "testkit/checks.h"

namespace {

std::string Lower(const std::string& s) { return plat::LowerAscii(s); }

// Loads a package from the game folder; empty when it is absent or not readable yet.
std::vector<TImageItemData> Load(const std::string& file) {
  std::string path = std::string(TANGREL_GAME_DIR) + "/" + file;
  std::vector<TImageItemData> items;
  if (!std::filesystem::exists(path)) return items;
  std::vector<uint8_t> bytes = ReadPackageFile(path);
  if (bytes.empty()) return items;
  ParseImagePackage(bytes.data(), bytes.size(), items);
  return items;
}

struct Size {
  int w = 0, h = 0, patterns = 0;
};

// Pattern size and count as the image list works them out.
Size PatternsOf(const TImageItemData& it) {
  Size s;
  s.w = it.PatternWidth > 0 ? it.PatternWidth : it.Picture.Width;
  s.h = it.PatternHeight > 0 ? it.PatternHeight : it.Picture.Height;
  if (s.w == it.Picture.Width && s.h == it.Picture.Height) {
    s.patterns = 1;
  } else {
    int cols = (it.Picture.Width + it.SkipWidth) / (s.w + it.SkipWidth);
    int rows = (it.Picture.Height + it.SkipHeight) / (s.h + it.SkipHeight);
    s.patterns = cols * rows;
  }
  return s;
}

uint32_t KeyOf(const TImageItemData& it) {  // $00BBGGRR -> 0x00RRGGBB
  TColor c = it.TransparentColor;
  return ((c & 0xff) << 16) | (c & 0xff00) | ((c >> 16) & 0xff);
}

uint32_t Pixel(const TImageItemData& it, int x, int y) {
  return it.Picture.Pixels[size_t(y) * size_t(it.Picture.Width) + size_t(x)];
}

// The generator's items, made once for the whole run.
std::vector<TImageItemData> gSprites, gTextures;
const std::vector<TImageItemData>& Generated(bool textures) {
  if (gSprites.empty()) {
    art::InitFonts();
    gSprites = BuildSprites();
    gTextures = BuildTextures();
    art::DoneFonts();
  }
  return textures ? gTextures : gSprites;
}

// The sprites as the game reads them from Sprites.gpk, or the generator's own when the
// package is not built (or the package reader is not available yet).
class Pictures : public ::testing::Test {
 protected:
  void SetUp() override {
    std::vector<TImageItemData> items = Load("Sprites.gpk");
    if (items.empty()) items = Generated(false);
    for (auto& it : items) sprites[Lower(it.Name)] = it;
  }
  const TImageItemData* Find(const std::string& name) {
    auto it = sprites.find(Lower(name));
    return it == sprites.end() ? nullptr : &it->second;
  }
  std::map<std::string, TImageItemData> sprites;
};

TEST_F(Pictures, EverySpriteOfTheGameFitsWhereItIsDrawn) {
  for (const TSpriteListEntry& e : kSpriteList) {
    SCOPED_TRACE(e.Name);
    const TImageItemData* it = Find(e.Name);
    ASSERT_NE(it, nullptr) << "missing sprite";
    ASSERT_TRUE(it->HasPicture);
    Size s = PatternsOf(*it);
    EXPECT_EQ(s.w, e.Width);
    EXPECT_EQ(s.h, e.Height);
    EXPECT_EQ(s.patterns, e.Patterns);
    EXPECT_GT(s.w, 0);
    EXPECT_GT(s.h, 0);
    EXPECT_LE(s.w, e.MaxWidth);
    EXPECT_LE(s.h, e.MaxHeight);
  }
  // Where the game needs one exact size, the list says so.
  const struct {
    const char* name;
    int w, h;
  } exact[] = {{"RotateCW", 36, 36}, {"RotateCCW", 36, 36}, {"Complete_52x100", 198, 100},
               {"Slot", 300, 300},   {"btn_OK", 60, 30},    {"menufone", 800, 600}};
  for (const auto& x : exact) {
    const TImageItemData* it = Find(x.name);
    ASSERT_NE(it, nullptr) << x.name;
    EXPECT_EQ(PatternsOf(*it).w, x.w) << x.name;
    EXPECT_EQ(PatternsOf(*it).h, x.h) << x.name;
  }
  for (char d = '0'; d <= '9'; ++d) {
    const TImageItemData* it = Find(std::string(1, d));
    ASSERT_NE(it, nullptr) << "missing digit image " << d;
    Size s = PatternsOf(*it);
    EXPECT_LE(s.w, 20) << d;  // tens and units stand 20 pixels apart
    EXPECT_LE(s.h, 32) << d;
    EXPECT_GE(s.patterns, 2) << d;
  }
  // The btn_Ok of the options page is the same picture (names ignore letter case).
  EXPECT_NE(Find("btn_Ok"), nullptr);
}

TEST_F(Pictures, DigitsFollowTheFifteenPixelPitch) {
  const TImageItemData* it = Find("pan_numbers");
  ASSERT_NE(it, nullptr);
  Size s = PatternsOf(*it);
  EXPECT_EQ(s.w + it->SkipWidth, 15);
  EXPECT_EQ(s.patterns, 10);
}

// The pixels of a sprite's first pattern that are not its transparent colour.
std::vector<bool> Silhouette(const TImageItemData& it, Size& s) {
  s = PatternsOf(it);
  std::vector<bool> in(size_t(s.w) * size_t(s.h));
  for (int y = 0; y < s.h; ++y)
    for (int x = 0; x < s.w; ++x) in[size_t(y) * size_t(s.w) + size_t(x)] = Pixel(it, x, y) != KeyOf(it);
  return in;
}

TEST_F(Pictures, TheThreeRatingMarksDifferInShape) {
  // Without their colours (a colour-blind player) the marks must still differ: compare outlines.
  const char* names[3] = {"_greenstar", "_goldstar", "_redstar"};
  std::vector<bool> shapes[3];
  Size sizes[3];
  for (int k = 0; k < 3; ++k) {
    const TImageItemData* it = Find(names[k]);
    ASSERT_NE(it, nullptr) << names[k];
    shapes[k] = Silhouette(*it, sizes[k]);
  }
  for (int a = 0; a < 3; ++a)
    for (int b = a + 1; b < 3; ++b) {
      ASSERT_EQ(sizes[a].w, sizes[b].w);
      ASSERT_EQ(sizes[a].h, sizes[b].h);
      size_t both = 0, either = 0;
      for (size_t i = 0; i < shapes[a].size(); ++i) {
        both += shapes[a][i] && shapes[b][i];
        either += shapes[a][i] || shapes[b][i];
      }
      ASSERT_GT(either, 0u);
      // Outlines that share less than four fifths of their pixels are different shapes.
      EXPECT_LT(double(both) / double(either), 0.8) << names[a] << " and " << names[b];
    }
}

TEST_F(Pictures, TwoDigitNumbersReadAsOneNumber) {
  // The menu sets the tens 20 px left of the units. The gap between the inks of "1" and "0"
  // (the widest gap of any two digits) stays within what separates letters of a word.
  auto inkColumns = [&](char d, int& lo, int& hi) {
    const TImageItemData* it = Find(std::string(1, d));
    ASSERT_NE(it, nullptr);
    Size s;
    std::vector<bool> in = Silhouette(*it, s);
    ASSERT_EQ(s.w, 20);
    lo = s.w, hi = -1;
    for (int y = 0; y < s.h; ++y)
      for (int x = 0; x < s.w; ++x)
        if (in[size_t(y) * size_t(s.w) + size_t(x)]) lo = std::min(lo, x), hi = std::max(hi, x);
  };
  int lo1, hi1, lo0, hi0;
  inkColumns('1', lo1, hi1);
  inkColumns('0', lo0, hi0);
  EXPECT_GE(hi0 - lo0 + 1, 16) << "the widest digit fills its cell";
  EXPECT_LE((20 + lo0) - hi1 - 1, 5) << "gap between the 1 and the 0 of 10";
}

TEST_F(Pictures, SlotOpeningIsClearAndItsFrameIsSolid) {
  const TImageItemData* it = Find("Slot");
  ASSERT_NE(it, nullptr);
  ASSERT_EQ(it->Picture.Width, 300);
  uint32_t key = KeyOf(*it);
  ASSERT_TRUE(it->Transparent);
  for (int y = 50; y < 250; ++y) {
    for (int x = 50; x < 250; ++x) {
      ASSERT_EQ(Pixel(*it, x, y), key) << x << "," << y;
    }
  }
  for (int k = 40; k < 260; ++k) {  // the ring just outside the opening is frame
    EXPECT_NE(Pixel(*it, k, 49), key);
    EXPECT_NE(Pixel(*it, k, 250), key);
    EXPECT_NE(Pixel(*it, 49, k), key);
    EXPECT_NE(Pixel(*it, 250, k), key);
  }
}

TEST_F(Pictures, PointerHotSpotIsTheTopLeftPixel) {
  const TImageItemData* it = Find("CursorPnt");
  ASSERT_NE(it, nullptr);
  EXPECT_NE(Pixel(*it, 0, 0), KeyOf(*it));
}

TEST_F(Pictures, MenuBackdropIsWhole) {
  // The menu picture covers the screen: no holes where the backdrop would show through.
  const TImageItemData* it = Find("menufone");
  ASSERT_NE(it, nullptr);
  uint32_t key = KeyOf(*it);
  size_t holes = size_t(std::count(it->Picture.Pixels.begin(), it->Picture.Pixels.end(), key));
  EXPECT_EQ(holes, 0u);
}

TEST(Textures, ElevenTexturesWithSeamlessMaterials) {
  std::vector<TImageItemData> tex = Load("Textures.gpk");
  if (tex.empty()) tex = Generated(true);
  ASSERT_GE(tex.size(), 11u);
  for (size_t i = 0; i < 11; ++i) {
    SCOPED_TRACE(i);
    ASSERT_TRUE(tex[i].HasPicture);
    EXPECT_GT(tex[i].Picture.Width, 0);
    if (i < 5) {
      EXPECT_GE(tex[i].Picture.Width, 300);
      EXPECT_GE(tex[i].Picture.Height, 300);
    }
    // Seamless: the colour step across the wrap is no bigger than the steps inside.
    const TPicture& p = tex[i].Picture;
    auto diff = [&](int x0, int y0, int x1, int y1) {
      uint32_t a = p.Pixels[size_t(y0) * size_t(p.Width) + size_t(x0)];
      uint32_t b = p.Pixels[size_t(y1) * size_t(p.Width) + size_t(x1)];
      int d = 0;
      for (int sh = 0; sh <= 16; sh += 8) d += std::abs(int((a >> sh) & 255) - int((b >> sh) & 255));
      return d;
    };
    long wrap = 0, inside = 0;
    for (int y = 0; y < p.Height; ++y) {
      wrap += diff(p.Width - 1, y, 0, y);
      inside += diff(p.Width / 2 - 1, y, p.Width / 2, y);
    }
    for (int x = 0; x < p.Width; ++x) {
      wrap += diff(x, p.Height - 1, x, 0);
      inside += diff(x, p.Height / 2 - 1, x, p.Height / 2);
    }
    EXPECT_LT(wrap, inside * 2 + 1000);
  }
  // The five materials differ clearly from each other in their mean colour.
  std::vector<std::array<double, 3>> means;
  for (size_t i = 0; i < 5; ++i) {
    std::array<double, 3> m{0, 0, 0};
    for (uint32_t v : tex[i].Picture.Pixels)
      for (int c = 0; c < 3; ++c) m[size_t(c)] += double((v >> (16 - 8 * c)) & 255);
    for (auto& c : m) c /= double(tex[i].Picture.Pixels.size());
    means.push_back(m);
  }
  for (size_t a = 0; a < 5; ++a)
    for (size_t b = a + 1; b < 5; ++b) {
      double d = 0;
      for (size_t c = 0; c < 3; ++c) d += std::abs(means[a][c] - means[b][c]);
      EXPECT_GT(d, 40.0) << "textures " << a << " and " << b << " look alike";
    }
}

// The packages hold exactly what the generator draws: same names, looks and pixels.
TEST(Packages, MatchTheGeneratorByteForByte) {
  for (bool textures : {false, true}) {
    std::vector<TImageItemData> built = Load(textures ? "Textures.gpk" : "Sprites.gpk");
    if (built.empty()) GTEST_SKIP() << "packages not built (or not readable) in " << TANGREL_GAME_DIR;
    const auto& gen = Generated(textures);
    ASSERT_EQ(built.size(), gen.size());
    for (size_t i = 0; i < gen.size(); ++i) EXPECT_TRUE(testkit::SameImageItem(built[i], gen[i])) << gen[i].Name;
  }
}

}  // namespace
