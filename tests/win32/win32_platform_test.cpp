// The Win32 platform under Wine: the letterbox and its pointer mapping, the real registry
// (values, types, the options' rules on it), wave conversion for waveOut, and the clocks.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <process.h>
#include <string>
#include <vector>

#include "platform/fake/fake_platform.h"
#include "platform/win32/platform_win32.h"
#include "settings/reestr.h"

#include <windows.h>

namespace fs = std::filesystem;

namespace {

const char* kScratchKey = "\\Software\\Brenmoor Studio\\Tangrel test";

void RemoveKey(const char* key) { RegDeleteKeyA(HKEY_CURRENT_USER, plat::RegistrySubKey(key).c_str()); }

void SetString(const char* key, const char* name, const char* text) {
  HKEY h = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, plat::RegistrySubKey(key).c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                            &h, nullptr),
            ERROR_SUCCESS);
  RegSetValueExA(h, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), static_cast<DWORD>(strlen(text) + 1));
  RegCloseKey(h);
}

// The type and the number of a value, straight from the registry.
bool RawDword(const char* key, const char* name, DWORD& type, DWORD& value) {
  HKEY h = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, plat::RegistrySubKey(key).c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return false;
  DWORD size = sizeof value;
  LONG r = RegQueryValueExA(h, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
  RegCloseKey(h);
  return r == ERROR_SUCCESS;
}

// The test double, but with the real registry under it.
class RegistryPlatform : public plat::FakePlatform {
 public:
  std::unique_ptr<plat::IRegistry> OpenUserRegistry() override { return plat::CreateWin32Registry(); }
};

}  // namespace

TEST(Letterbox, FitsThePictureAndMapsThePointerBack) {
  // A client area, and the scale and place of the picture in it.
  struct Fit {
    int clientW, clientH;
    double scale;
    int x, y, w, h;
  };
  const Fit fits[] = {
      {800, 600, 1.0, 0, 0, 800, 600},
      {1024, 768, 1.28, 0, 0, 1024, 768},
      {1920, 1080, 1.8, 240, 0, 1440, 1080},  // a wide monitor: bars left and right
      {800, 1000, 1.0, 0, 200, 800, 600},     // a tall window: bars above and below
  };
  for (const Fit& f : fits) {
    SCOPED_TRACE(std::to_string(f.clientW) + " x " + std::to_string(f.clientH));
    const plat::Letterbox box = plat::FitPicture(f.clientW, f.clientH, 800, 600);
    EXPECT_DOUBLE_EQ(box.Scale, f.scale);
    EXPECT_EQ(box.X, f.x);
    EXPECT_EQ(box.Y, f.y);
    EXPECT_EQ(box.W, f.w);
    EXPECT_EQ(box.H, f.h);
  }
  // The picture's own size, and a window with no client area yet, keep scale 1 exactly.
  EXPECT_EQ(plat::FitPicture(800, 600, 800, 600).Scale, 1.0);
  EXPECT_EQ(plat::FitPicture(0, 0, 800, 600).Scale, 1.0);

  const plat::Letterbox wide = plat::FitPicture(1920, 1080, 800, 600);
  EXPECT_EQ(plat::ClientToPicture(wide, 240, 0, 800, 600), (TPoint{0, 0}));
  EXPECT_EQ(plat::ClientToPicture(wide, 240 + 1439, 1079, 800, 600), (TPoint{799, 599}));
  EXPECT_EQ(plat::ClientToPicture(wide, 240 + 720, 540, 800, 600), (TPoint{400, 300}));
  // On the bars and outside the window (a captured drag) the pointer stays on the picture.
  EXPECT_EQ(plat::ClientToPicture(wide, 10, 500, 800, 600), (TPoint{0, 277}));
  EXPECT_EQ(plat::ClientToPicture(wide, 5000, -40, 800, 600), (TPoint{799, 0}));
  const plat::Letterbox tall = plat::FitPicture(800, 1000, 800, 600);
  EXPECT_EQ(plat::ClientToPicture(tall, 0, 199, 800, 600), (TPoint{0, 0}));
}

TEST(Win32Registry, KeyPathsValuesAndTypes) {
  EXPECT_EQ(plat::RegistrySubKey("\\Software\\Brenmoor Studio\\Tangrel"), "Software\\Brenmoor Studio\\Tangrel");
  EXPECT_EQ(plat::RegistrySubKey("Software\\X\\"), "Software\\X");
  RemoveKey(kScratchKey);
  std::unique_ptr<plat::IRegistry> reg = plat::CreateWin32Registry();
  ASSERT_TRUE(reg->Load());
  EXPECT_FALSE(reg->KeyExists(kScratchKey));
  uint32_t v = 7;
  EXPECT_FALSE(reg->ReadDword(kScratchKey, "Full", v));
  EXPECT_EQ(v, 7u);
  reg->WriteDword(kScratchKey, "Full", 1);
  reg->WriteDword(kScratchKey, "Difficulty", 0xFFFFFFFFu);
  EXPECT_TRUE(reg->Save());
  EXPECT_TRUE(reg->KeyExists(kScratchKey));
  EXPECT_TRUE(reg->ReadDword(kScratchKey, "full", v));  // names without regard to case
  EXPECT_EQ(v, 1u);
  EXPECT_TRUE(reg->ReadDword(kScratchKey, "Difficulty", v));
  EXPECT_EQ(v, 0xFFFFFFFFu);
  DWORD type = 0, raw = 0;
  ASSERT_TRUE(RawDword(kScratchKey, "Full", type, raw));
  EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
  // A value of another type exists but is no DWORD.
  SetString(kScratchKey, "Tips", "yes");
  EXPECT_TRUE(reg->ValueExists(kScratchKey, "Tips"));
  EXPECT_FALSE(reg->ReadDword(kScratchKey, "Tips", v));
  // Writing over it makes it one.
  reg->WriteDword(kScratchKey, "Tips", 0);
  EXPECT_TRUE(reg->ReadDword(kScratchKey, "Tips", v));
  EXPECT_EQ(v, 0u);
  EXPECT_TRUE(reg->DeleteValue(kScratchKey, "Tips"));
  EXPECT_FALSE(reg->DeleteValue(kScratchKey, "Tips"));
  EXPECT_FALSE(reg->ValueExists(kScratchKey, "Tips"));
  RemoveKey(kScratchKey);
}

class Win32Settings : public ::testing::Test {
 protected:
  void SetUp() override {
    RemoveKey(kSettingsKey);
    oldDir = fs::current_path();
    dir = fs::temp_directory_path() / ("tangrel-win32-" + std::to_string(_getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    fs::current_path(dir);
    plat::SetPlatform(&platform);
  }
  void TearDown() override {
    plat::SetPlatform(nullptr);
    fs::current_path(oldDir);
    std::error_code ec;
    fs::remove_all(dir, ec);
    RemoveKey(kSettingsKey);
  }
  RegistryPlatform platform;
  fs::path oldDir, dir;
};

TEST_F(Win32Settings, TheOptionsRulesHoldOnTheRealRegistry) {
  // No key at all: the defaults, and the plain look.
  LoadSettings();
  EXPECT_EQ(Settings.Full, -1);
  EXPECT_EQ(Settings.Use3D, 0);
  // A key of an earlier version: no "3D" (the 3D look then), the two old values.
  std::unique_ptr<plat::IRegistry> reg = plat::CreateWin32Registry();
  reg->WriteDword(kSettingsKey, "Sounds", 0);
  reg->WriteDword(kSettingsKey, "Music", 1);
  reg->WriteDword(kSettingsKey, "Full", 0);
  reg->WriteDword(kSettingsKey, "Scoring", 5);
  reg->WriteDword(kSettingsKey, "Random", 1);
  LoadSettings();
  EXPECT_EQ(Settings.Sounds, 0);
  EXPECT_EQ(Settings.Music, -1);
  EXPECT_EQ(Settings.Full, 0);
  EXPECT_EQ(Settings.Tips, -1);
  EXPECT_EQ(Settings.Use3D, -1);
  EXPECT_EQ(Settings.Difficulty, 1);
  EXPECT_FALSE(reg->ValueExists(kSettingsKey, "Scoring"));
  EXPECT_FALSE(reg->ValueExists(kSettingsKey, "Random"));
  // A save writes the six as REG_DWORD, 1 for on, and the 5076-byte progress file.
  Settings.Tips = 0;
  Settings.Difficulty = 0;
  ASSERT_TRUE(SaveSettings());
  const char* names[] = {"Sounds", "Music", "Difficulty", "Full", "Tips", "3D"};
  const DWORD want[] = {0, 1, 0, 0, 0, 1};
  for (int i = 0; i < 6; ++i) {
    DWORD type = 0, v = 99;
    ASSERT_TRUE(RawDword(kSettingsKey, names[i], type, v)) << names[i];
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD)) << names[i];
    EXPECT_EQ(v, want[i]) << names[i];
  }
  EXPECT_EQ(fs::file_size(dir / "Users.dat"), kPlayerRecordSize);
}

TEST(WaveOut, WavesBecomeStereoAtTheOutputRate) {
  plat::InstallWin32Audio();
  plat::IAudioOutput* out = plat::Audio();
  ASSERT_NE(out, nullptr);
  // "fmt " of PCM mono 22050 Hz 16-bit, and 2205 frames of a constant level.
  const uint8_t fmt[16] = {1, 0, 1, 0, 0x22, 0x56, 0, 0, 0x44, 0xAC, 0, 0, 2, 0, 16, 0};
  std::vector<uint8_t> data(2205 * 2);
  for (size_t i = 0; i < data.size(); i += 2) {
    data[i] = 0xE8;  // 1000
    data[i + 1] = 0x03;
  }
  std::vector<int16_t> pcm;
  ASSERT_TRUE(out->ConvertWave(fmt, sizeof fmt, data.data(), data.size(), pcm));
  const size_t frames = pcm.size() / 2;
  EXPECT_NEAR(static_cast<double>(frames), 4410.0, 8.0);  // a tenth of a second at 44.1 kHz
  ASSERT_GT(frames, 100u);
  EXPECT_EQ(pcm[200], pcm[201]);  // mono on both sides
  EXPECT_NEAR(pcm[2 * (frames / 2)], 1000, 40);
  // 8-bit stereo at the output rate needs no converter: 0x80 is silence.
  const uint8_t fmt8[16] = {1, 0, 2, 0, 0x44, 0xAC, 0, 0, 0x88, 0x58, 1, 0, 2, 0, 8, 0};
  const uint8_t data8[4] = {0x80, 0xFF, 0x00, 0x80};
  ASSERT_TRUE(out->ConvertWave(fmt8, sizeof fmt8, data8, sizeof data8, pcm));
  ASSERT_EQ(pcm.size(), 4u);
  EXPECT_EQ(pcm[0], 0);
  EXPECT_EQ(pcm[1], 127 * 256);
  EXPECT_EQ(pcm[2], -128 * 256);
  // What no converter takes: a compressed format, a rate of 0.
  const uint8_t adpcm[16] = {2, 0, 1, 0, 0x22, 0x56, 0, 0, 0, 0, 0, 0, 2, 0, 4, 0};
  EXPECT_FALSE(out->ConvertWave(adpcm, sizeof adpcm, data.data(), data.size(), pcm));
  const uint8_t zeroRate[16] = {1, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 16, 0};
  EXPECT_FALSE(out->ConvertWave(zeroRate, sizeof zeroRate, data.data(), data.size(), pcm));
  plat::ShutdownWin32Audio();
  EXPECT_EQ(plat::Audio(), nullptr);
}

TEST(Win32Clocks, TimeOfDayAndTheUserTimeFormat) {
  std::unique_ptr<plat::IPlatform> p(plat::CreateWin32Platform());
  const double t = p->TimeOfDay();
  EXPECT_GE(t, 0.0);
  EXPECT_LT(t, 1.0);
  const std::string clock = p->LongTimeString();
  EXPECT_GE(clock.size(), 7u) << clock;  // e.g. 9:05:07 or 14:05:09
  EXPECT_NE(clock.find(':'), std::string::npos) << clock;
  EXPECT_EQ(clock.find('\0'), std::string::npos);
  const std::string dir = p->ProgramDir();
  ASSERT_FALSE(dir.empty());
  EXPECT_EQ(dir.back(), '\\');
  p->Randomize();
  for (int i = 0; i < 50; ++i) {
    const int r = p->Random(6);
    EXPECT_GE(r, 0);
    EXPECT_LT(r, 6);
  }
}
