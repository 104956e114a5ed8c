// tangrel-pack as a program: list, extract, build and check, exit codes and error lines.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "media/game_assets.h"
#include "media/package.h"
#include "toolkit.h"

namespace fs = std::filesystem;

namespace {

class PackTool : public ::testing::Test {
 protected:
  fs::path dir;
  std::string out, err;

  void SetUp() override {
    dir = fs::temp_directory_path() / ("tangrel_pack_test_" + std::to_string(getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
  }
  void TearDown() override { fs::remove_all(dir); }

  std::string P(const std::string& name) const { return (dir / name).string(); }

  static std::string Slurp(const std::string& file) {
    std::ifstream f(file, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
  }

  // Runs the tool with the arguments as given (already shell-safe); returns the exit status.
  int Run(const std::string& args) {
    std::string cmd = std::string(TANGREL_PACK_BIN) + " " + args + " >" + P("stdout") + " 2>" + P("stderr");
    int status = std::system(cmd.c_str());
    out = Slurp(P("stdout"));
    err = Slurp(P("stderr"));
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  static TPicture Picture(int w, int h) {
    TPicture p;
    p.Width = w;
    p.Height = h;
    for (int i = 0; i < w * h; ++i) p.Pixels.push_back(static_cast<uint32_t>(i * 2654435761u) & 0xFFFFFF);
    return p;
  }
};

}  // namespace

TEST_F(PackTool, ListPrintsTheItemsAsJson) {
  std::vector<TImageItemData> items(2);
  items[0].Name = "Loading";
  items[0].HasPicture = true;
  items[0].Picture = Picture(200, 100);
  items[0].PatternWidth = 50;
  items[0].PatternHeight = 50;
  items[0].TransparentColor = clFuchsia;
  items[1].Name = "q\"\\\x01";
  items[1].Transparent = false;
  items[1].SystemMemory = true;
  items[1].TransparentColor = 0x8000000F;
  toolkit::WriteFileBytes(P("s.gpk"), WriteImagePackage(items));
  ASSERT_EQ(Run("list " + P("s.gpk")), 0) << err;
  EXPECT_EQ(out,
            "{\"kind\":\"image\",\"items\":["
            "{\"index\":0,\"name\":\"Loading\",\"width\":200,\"height\":100,\"patternWidth\":50,"
            "\"patternHeight\":50,\"skipWidth\":0,\"skipHeight\":0,\"patterns\":8,"
            "\"transparent\":true,\"transparentColor\":16711935,\"systemMemory\":false,"
            "\"hasPicture\":true},"
            "{\"index\":1,\"name\":\"q\\\"\\\\\\u0001\",\"width\":0,\"height\":0,\"patternWidth\":0,"
            "\"patternHeight\":0,\"skipWidth\":0,\"skipHeight\":0,\"patterns\":0,"
            "\"transparent\":false,\"transparentColor\":2147483663,\"systemMemory\":true,"
            "\"hasPicture\":false}]}\n");

  std::vector<TWaveItemData> waves(2);
  waves[0].Name = "take";
  waves[0].HasWave = true;
  waves[0].Format = toolkit::PcmFormat(1, 22050, 16);
  waves[0].Data.assign(1234, 7);
  waves[1].Name = "none";
  waves[1].Looped = true;
  toolkit::WriteFileBytes(P("s.spk"), WriteWavePackage(waves));
  EXPECT_EQ(Run("list " + P("s.spk")), 0);
  EXPECT_EQ(out,
            "{\"kind\":\"wave\",\"items\":["
            "{\"index\":0,\"name\":\"take\",\"looped\":false,\"maxPlayingCount\":0,\"formatTag\":1,"
            "\"channels\":1,\"samplesPerSec\":22050,\"bitsPerSample\":16,\"dataBytes\":1234},"
            "{\"index\":1,\"name\":\"none\",\"looped\":true,\"maxPlayingCount\":0,\"formatTag\":0,"
            "\"channels\":0,\"samplesPerSec\":0,\"bitsPerSample\":0,\"dataBytes\":0}]}\n");
  // --kind overrides the extension.
  fs::copy_file(P("s.spk"), P("s.bin"));
  EXPECT_EQ(Run("list --kind wave " + P("s.bin")), 0);
  EXPECT_NE(out.find("\"dataBytes\":1234"), std::string::npos);
}

TEST_F(PackTool, ExtractWritesPngAndWav) {
  std::vector<TImageItemData> items(3);
  items[0].HasPicture = true;
  items[0].Picture = Picture(7, 5);
  items[2].HasPicture = true;
  items[2].Picture = Picture(300, 2);
  toolkit::WriteFileBytes(P("t.gpk"), WriteImagePackage(items));
  ASSERT_EQ(Run("extract " + P("t.gpk") + " " + P("x")), 0) << err;
  EXPECT_FALSE(fs::exists(P("x/001.png")));
  TPicture a = toolkit::ReadPNG(P("x/000.png"));
  TPicture c = toolkit::ReadPNG(P("x/002.png"));
  EXPECT_EQ(a.Pixels, items[0].Picture.Pixels);
  EXPECT_EQ(c.Pixels, items[2].Picture.Pixels);
  EXPECT_EQ(Slurp(P("x/000.png")).substr(24, 2), std::string("\x08\x02", 2));  // 8-bit RGB

  std::vector<TWaveItemData> waves(1);
  waves[0].HasWave = true;
  waves[0].Format = toolkit::PcmFormat(2, 44100, 8);
  waves[0].Data = {1, 2, 3};
  toolkit::WriteFileBytes(P("t.spk"), WriteWavePackage(waves));
  ASSERT_EQ(Run("extract " + P("t.spk") + " " + P("x")), 0) << err;
  TWaveItemData w = toolkit::ReadWAV(P("x/000.wav"));
  EXPECT_EQ(w.Format, waves[0].Format);
  EXPECT_EQ(w.Data, waves[0].Data);
}

TEST_F(PackTool, BuildFromAManifest) {
  toolkit::WritePNG(P("a.png"), Picture(16, 8));
  // A .bmp file: the 14-byte file header in front of a packed bitmap.
  std::vector<uint8_t> dib = EncodeDIB(Picture(3, 3));
  std::vector<uint8_t> bmp{'B', 'M'};
  for (int i = 0; i < 12; ++i) bmp.push_back(0);
  bmp.insert(bmp.end(), dib.begin(), dib.end());
  toolkit::WriteFileBytes(P("b.bmp"), bmp);
  TWaveItemData w;
  w.Format = toolkit::PcmFormat(1, 11025, 8);
  w.Data = {9, 8, 7};
  toolkit::WriteWAV(P("c.wav"), w);
  std::ofstream(P("m.txt")) << "# sprites\nitem Loading\npicture a.png\nPatternWidth 8\n"
                               "transparentcolor clFuchsia\n\nitem digits\npicture b.bmp\n"
                               "transparent false\ntransparentcolor $0000FF\nskipheight -3\n";
  ASSERT_EQ(Run("build " + P("m.txt") + " " + P("o.gpk")), 0) << err;
  std::vector<uint8_t> bytes = toolkit::ReadFileBytes(P("o.gpk"));
  std::vector<TImageItemData> items;
  ParseImagePackage(bytes.data(), bytes.size(), items);
  ASSERT_EQ(items.size(), 2u);
  EXPECT_EQ(items[0].Name, "Loading");
  EXPECT_EQ(items[0].PatternWidth, 8);
  EXPECT_EQ(items[0].TransparentColor, clFuchsia);
  EXPECT_EQ(items[0].Picture.Pixels, Picture(16, 8).Pixels);
  EXPECT_EQ(items[1].Picture.Pixels, Picture(3, 3).Pixels);
  EXPECT_FALSE(items[1].Transparent);
  EXPECT_EQ(items[1].TransparentColor, 0x0000FFu);
  EXPECT_EQ(items[1].SkipHeight, -3);

  std::ofstream(P("w.txt")) << "item take\nwave c.wav\nlooped true\nmaxplayingcount 4\n";
  ASSERT_EQ(Run("build " + P("w.txt") + " " + P("o.spk")), 0) << err;
  bytes = toolkit::ReadFileBytes(P("o.spk"));
  std::vector<TWaveItemData> waves;
  ParseWavePackage(bytes.data(), bytes.size(), waves);
  ASSERT_EQ(waves.size(), 1u);
  EXPECT_TRUE(waves[0].Looped);
  EXPECT_EQ(waves[0].MaxPlayingCount, 4);
  EXPECT_EQ(waves[0].Data, w.Data);

  std::ofstream(P("bad.txt")) << "item x\ncolour red\n";
  EXPECT_EQ(Run("build " + P("bad.txt") + " " + P("o.gpk")), 1);
  EXPECT_EQ(err, "tangrel-pack: " + P("bad.txt") + ":2: unknown statement colour\n");
}

TEST_F(PackTool, FailuresAndUsage) {
  EXPECT_EQ(Run("list " + P("missing.gpk")), 1);
  EXPECT_EQ(err, "tangrel-pack: Cannot open file " + P("missing.gpk") + "\n");
  EXPECT_TRUE(out.empty());

  std::vector<uint8_t> bytes = WriteImagePackage({});
  bytes[0] = 0;
  toolkit::WriteFileBytes(P("bad.gpk"), bytes);
  EXPECT_EQ(Run("list " + P("bad.gpk")), 1);
  EXPECT_EQ(err, "tangrel-pack: Invalid stream format\n");
  bytes = WriteImagePackage({TImageItemData{}});
  bytes.pop_back();
  toolkit::WriteFileBytes(P("cut.gpk"), bytes);
  EXPECT_EQ(Run("extract " + P("cut.gpk") + " " + P("y")), 1);
  EXPECT_EQ(err, "tangrel-pack: Stream read error\n");

  EXPECT_EQ(Run(""), 2);
  EXPECT_NE(err.find("usage: tangrel-pack"), std::string::npos);
  EXPECT_EQ(Run("list"), 2);
  EXPECT_EQ(Run("list " + P("a.txt")), 2);  // no kind from the extension
  EXPECT_EQ(Run("list --kind sound " + P("a.gpk")), 2);
  EXPECT_EQ(Run("extract " + P("a.gpk")), 2);
  EXPECT_EQ(Run("frobnicate x"), 2);
  EXPECT_EQ(Run("--help"), 0);
  EXPECT_NE(out.find("Manifest"), std::string::npos);
}

namespace {

TImageItemData Sprite(const std::string& name, int w, int h, int patterns) {
  TImageItemData d;
  d.Name = name;
  d.HasPicture = true;
  d.PatternWidth = w;
  d.PatternHeight = h;
  TPicture p;
  p.Width = w * patterns;
  p.Height = h;
  p.Pixels.assign(static_cast<size_t>(p.Width) * h, 0x808080);
  d.Picture = p;
  return d;
}

}  // namespace

TEST_F(PackTool, CheckFindsWhatASpritePackageLacks) {
  // Every sprite the game uses, as the game needs it ...
  std::vector<TImageItemData> items;
  for (size_t i = 0; i < kGameSpriteCount; ++i) {
    const TSpriteNeed& n = kGameSprites[i];
    items.push_back(Sprite(n.Name, n.Width ? n.Width : 20, n.Height ? n.Height : 10, n.Patterns));
  }
  toolkit::WriteFileBytes(P("Sprites.gpk"), WriteImagePackage(items));
  EXPECT_EQ(Run("check " + P("Sprites.gpk")), 0);
  EXPECT_EQ(out, P("Sprites.gpk") + ": holds all the sprites the game uses\n");

  // ... then a modder's version: too few pointer patterns, a wrong button size, one sprite
  // gone, one without a picture. Letter case of the names does not matter.
  for (TImageItemData& d : items) {
    if (d.Name == "RotateCW") d = Sprite("rotatecw", 36, 36, 10);
    if (d.Name == "btn_OK") d = Sprite("btn_OK", 64, 30, 2);
    if (d.Name == "Loading") d.Name = "Loadign";
    if (d.Name == "menufone") d.HasPicture = false;
  }
  toolkit::WriteFileBytes(P("mod.gpk"), WriteImagePackage(items));
  EXPECT_EQ(Run("check " + P("mod.gpk")), 1);
  for (const char* line : {": Loading is missing\n", ": RotateCW needs 14 patterns, has 10\n",
                           ": btn_OK needs patterns of 60 x 30, has 64 x 30\n",
                           ": menufone has no picture\n", ": 4 problems\n"})
    EXPECT_NE(out.find(P("mod.gpk") + line), std::string::npos) << line << out;
}

TEST_F(PackTool, CheckCountsTexturesAndNamesEffects) {
  std::vector<TImageItemData> tex;
  for (int i = 0; i < 10; ++i) tex.push_back(Sprite("t" + std::to_string(i), 64, 64, 1));
  toolkit::WriteFileBytes(P("Textures.gpk"), WriteImagePackage(tex));
  EXPECT_EQ(Run("check " + P("Textures.gpk")), 1);
  EXPECT_NE(out.find(": needs 11 textures, has 10\n"), std::string::npos) << out;
  tex.push_back(Sprite("t10", 64, 64, 1));
  toolkit::WriteFileBytes(P("Textures.gpk"), WriteImagePackage(tex));
  EXPECT_EQ(Run("check " + P("Textures.gpk")), 0) << out;

  std::vector<TWaveItemData> waves;
  for (size_t i = 0; i < kGameEffectCount; ++i) {
    TWaveItemData w;
    w.Name = kGameEffects[i];
    w.HasWave = true;
    w.Format = {1, 0, 2, 0, 0x44, 0xAC, 0, 0, 0x10, 0xB1, 2, 0, 4, 0, 16, 0};
    w.Data = {0, 0, 0, 0};
    if (w.Name != "exit") waves.push_back(w);
  }
  toolkit::WriteFileBytes(P("Sounds.spk"), WriteWavePackage(waves));
  EXPECT_EQ(Run("check " + P("Sounds.spk")), 1);
  EXPECT_EQ(out, P("Sounds.spk") + ": exit is missing\n" + P("Sounds.spk") + ": 1 problem\n");

  EXPECT_EQ(Run("check " + P("missing.spk")), 1);
  EXPECT_EQ(err, "tangrel-pack: Cannot open file " + P("missing.spk") + "\n");
  EXPECT_EQ(Run("check"), 2);
}

TEST_F(PackTool, TheGamesOwnPackagesPassTheCheck) {
  for (const char* f : {"Sprites.gpk", "Textures.gpk", "Sounds.spk"}) {
    const std::string path = std::string(TANGREL_GAME_DIR) + "/" + f;
    if (!fs::exists(path)) GTEST_SKIP() << "no game data in " << TANGREL_GAME_DIR;
    EXPECT_EQ(Run("check " + path), 0) << out;
  }
}
