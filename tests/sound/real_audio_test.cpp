// The real output: SDL's disk audio driver writes the mixed stream to a file, in which an
// effect and a FluidSynth theme must both be heard.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "platform/sdl/platform_sdl.h"
#include "media/music.h"
#include "media/sound.h"
#include "platform/fake/fake_audio.h"
#include "platform/fake/fake_platform.h"
#include "platform/mci.h"
#include "settings/reestr.h"
#include "wave_util.h"

namespace fs = std::filesystem;

namespace {

// The test double, but its sleeps take real time so the audio thread runs meanwhile.
class SleepingPlatform : public plat::FakePlatform {
 public:
  void Sleep(int ms) override {
    FakePlatform::Sleep(ms);
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
  }
};

int PeakOfFile(const fs::path& p) {
  std::ifstream f(p, std::ios::binary);
  std::vector<char> bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
  int peak = 0;
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    int16_t s = static_cast<int16_t>(static_cast<uint8_t>(bytes[i]) | static_cast<uint8_t>(bytes[i + 1]) << 8);
    peak = std::max(peak, std::abs(static_cast<int>(s)));
  }
  return peak;
}

bool WaitForNotice(plat::FakePlatform& fake, int ms) {
  for (int t = 0; t < ms; t += 10) {
    {
      std::lock_guard<std::mutex> lock(fake.postLock);
      for (const plat::Event& e : fake.events)
        if (e.Kind == plat::EventKind::MusicNotify) return true;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

TEST(RealAudio, EffectAndThemeReachTheStream) {
  fs::path dir = fs::temp_directory_path() / ("tangrel_sound_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  fs::path out = dir / "out.raw";
  setenv("SDL_AUDIODRIVER", "disk", 1);
  setenv("SDL_DISKAUDIOFILE", out.c_str(), 1);
  SleepingPlatform fake;
  plat::SetPlatform(&fake);
  plat::InstallSdlAudio();
  ASSERT_NE(plat::Audio(), nullptr);
  Settings.Sounds = -1;
  Settings.Music = -1;

  {
    // An 8-bit mono wave at 22.05 kHz: SDL converts it to the stream's format.
    TSoundDevice device;
    TWaveList list{&device};
    ASSERT_TRUE(device.Initialize());
    auto item = std::make_unique<TWaveItem>();
    item->Name = "beep1";
    item->Format = PcmFormat(1, 22050, 8);
    for (int i = 0; i < 22050 / 5; ++i)
      item->Data.push_back(static_cast<uint8_t>(128 + 100 * std::sin(i * 2 * M_PI * 440 / 22050)));
    TWaveItem& beep = list.Add(std::move(item));
    ASSERT_EQ(beep.Copies().size(), 1u);
    beep.Play(true);
    EXPECT_FALSE(device.IsPlaying(beep.Copies()[0]));
    device.Finalize();  // the last source: the stream closes and the file is complete
  }
  EXPECT_GT(PeakOfFile(out), 4000);

  // A second of piano, played through the command strings.
  fs::path midi = dir / "tiny.mid";
  {
    std::vector<uint8_t> m = TinyMidi({60, 64, 67, 72}, 240);
    std::ofstream f(midi, std::ios::binary);
    f.write(reinterpret_cast<const char*>(m.data()), static_cast<std::streamsize>(m.size()));
  }
  ResetMusic();
  PlayMidi(midi.string(), 0);
  EXPECT_TRUE(WaitForNotice(fake, 5000)) << "the piece's end notice";
  StopMidi();
  IgnoreNextNotify = true;
  plat::IMediaControl* mc = plat::MediaControl();
  ASSERT_NE(mc, nullptr);
  EXPECT_NE(mc->SendString("open sequencer!\"" + (dir / "missing.mid").string() + "\" alias mainback wait"), 0);
  EXPECT_NE(mc->SendString("play mainback notify"), 0);
  plat::ShutdownSdlAudio();  // closes the stream: the file is complete
  EXPECT_GT(PeakOfFile(out), 1000);

  plat::SetPlatform(nullptr);
  fs::remove_all(dir);
}

TEST(RealAudio, MissingSoundFontMeansNoMusicNotACrash) {
  plat::FakePlatform fake;
  plat::SetPlatform(&fake);
  plat::FakeAudio audio;
  fs::path midi = fs::temp_directory_path() / ("tangrel_sf_" + std::to_string(::getpid()) + ".mid");
  {
    std::vector<uint8_t> m = TinyMidi({60}, 240);
    std::ofstream f(midi, std::ios::binary);
    f.write(reinterpret_cast<const char*>(m.data()), static_cast<std::streamsize>(m.size()));
  }
  {
    auto backend = plat::CreateFluidMusicBackend(&audio, "/nonexistent/TimGM6mb.sf2");
    plat::MciInterpreter mci(backend.get());
    EXPECT_EQ(mci.SendString("open sequencer!\"" + midi.string() + "\" alias mainback wait"), plat::kMciFileNotFound);
    EXPECT_NE(mci.SendString("play mainback notify"), 0);
    EXPECT_TRUE(audio.sources.empty());
  }
  fs::remove(midi);
  plat::SetPlatform(nullptr);
}

}  // namespace
