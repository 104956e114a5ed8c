// The effect list on a fake audio output: copy rules, waiting, gating, the mixer's
// volume, pan and frequency, and a clean shut-down.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "media/effects.h"
#include "media/package.h"
#include "media/sound.h"
#include "platform/fake/fake_audio.h"
#include "platform/fake/fake_platform.h"
#include "settings/reestr.h"
#include "wave_util.h"

namespace {

// A platform whose sleeping lets the audio thread run: 10 ms of output per 10 ms slept.
class PumpingPlatform : public plat::FakePlatform {
 public:
  plat::FakeAudio* audio = nullptr;
  void Sleep(int ms) override {
    FakePlatform::Sleep(ms);
    if (audio) audio->Pump(plat::kAudioRate * ms / 1000);
  }
};

class Effects : public ::testing::Test {
 protected:
  void SetUp() override {
    fake.audio = &audio;
    plat::SetPlatform(&fake);
    plat::SetAudio(&audio);
    Settings.Sounds = -1;
    Settings.Music = -1;
  }
  void TearDown() override {
    plat::SetAudio(nullptr);
    plat::SetPlatform(nullptr);
  }
  TWaveItem& AddItem(const std::string& name, int frames, int16_t value, bool looped = false,
                     int32_t maxPlaying = 0) {
    auto it = std::make_unique<TWaveItem>();
    it->Name = name;
    it->Looped = looped;
    it->MaxPlayingCount = maxPlaying;
    it->Format = PcmFormat(2, 44100, 16);
    it->Data = ConstantStereo16(frames, value);
    return list.Add(std::move(it));
  }
  bool Playing(const TSoundBuffer* b) { return device.IsPlaying(b); }

  PumpingPlatform fake;
  plat::FakeAudio audio;
  TSoundDevice device;
  TWaveList list{&device};
};

TEST_F(Effects, QuickPlaysSoundTogetherOnTheirOwnCopies) {
  ASSERT_TRUE(device.Initialize());
  TWaveItem& drop = AddItem("drop", 1000, 1000);
  ASSERT_EQ(drop.Copies().size(), 1u);  // the main buffer, made at load
  drop.Play(false);
  drop.Play(false);
  ASSERT_EQ(drop.Copies().size(), 2u);
  EXPECT_TRUE(Playing(drop.Copies()[0]));
  EXPECT_TRUE(Playing(drop.Copies()[1]));
  std::vector<int16_t> out = audio.Pump(10);
  EXPECT_EQ(out[0], 2000);
  EXPECT_EQ(out[1], 2000);
  audio.Pump(1000);
  EXPECT_FALSE(Playing(drop.Copies()[0]));
  // Idle copies are used again before any new one is made.
  drop.Play(false);
  EXPECT_EQ(drop.Copies().size(), 2u);
  EXPECT_TRUE(Playing(drop.Copies()[0]));
  EXPECT_FALSE(Playing(drop.Copies()[1]));
  EXPECT_FALSE(audio.lockMisuse);
}

TEST_F(Effects, MaxPlayingCountReusesTheOldestCopy) {
  ASSERT_TRUE(device.Initialize());
  TWaveItem& one = AddItem("rotate", 1000, 100, false, 1);
  one.Play(false);
  audio.Pump(600);
  one.Play(false);  // restarts the same copy from the start
  ASSERT_EQ(one.Copies().size(), 1u);
  audio.Pump(600);
  EXPECT_TRUE(Playing(one.Copies()[0]));  // 1000 frames from the restart, not 400
  audio.Pump(400);
  EXPECT_FALSE(Playing(one.Copies()[0]));

  TWaveItem& two = AddItem("take", 1000, 100, false, 2);
  two.Play(false);
  two.Play(false);
  TSoundBuffer* first = two.Copies()[0];
  TSoundBuffer* second = two.Copies()[1];
  two.Play(false);
  ASSERT_EQ(two.Copies().size(), 2u);
  EXPECT_EQ(two.Copies()[0], second);  // the oldest moved to the end
  EXPECT_EQ(two.Copies()[1], first);
}

TEST_F(Effects, LoopedItemRestartsItsMainBuffer) {
  ASSERT_TRUE(device.Initialize());
  TWaveItem& hum = AddItem("hum", 100, 300, true);
  hum.Play(false);
  hum.Play(false);
  ASSERT_EQ(hum.Copies().size(), 1u);
  std::vector<int16_t> out = audio.Pump(1000);
  EXPECT_TRUE(Playing(hum.Copies()[0]));
  EXPECT_EQ(out[2 * 999], 300);
}

TEST_F(Effects, PlayWithWaitReturnsWhenTheCopyEnds) {
  ASSERT_TRUE(device.Initialize());
  TWaveItem& exitSound = AddItem("exit", 4410, 100);
  exitSound.Play(true);
  EXPECT_FALSE(Playing(exitSound.Copies()[0]));
  EXPECT_GE(fake.sleptMs, 100);

  // A stalled stream does not hold the game for ever.
  fake.audio = nullptr;
  fake.sleptMs = 0;
  exitSound.Play(true);
  EXPECT_TRUE(Playing(exitSound.Copies()[0]));
  EXPECT_LE(fake.sleptMs, 1200);
}

TEST_F(Effects, PlayWithWaitReturnsOnceTheOutputHasPlayedTheSound) {
  ASSERT_TRUE(device.Initialize());
  audio.latencyFrames = 4410;  // 100 ms from the mix to the speaker
  TWaveItem& exitSound = AddItem("exit", 4410, 100);
  exitSound.Play(true);
  // The last sample left the mixer at frame 4410; the device played it 100 ms later.
  EXPECT_GE(audio.PlayedFrames(), 4410u);
  EXPECT_GE(fake.sleptMs, 200);
  EXPECT_LE(fake.sleptMs, 220);

  // An output that never gets there holds the game no longer than before.
  audio.latencyFrames = 1u << 30;
  fake.sleptMs = 0;
  exitSound.Play(true);
  EXPECT_GE(fake.sleptMs, 1000);
  EXPECT_LE(fake.sleptMs, 1200);
  EXPECT_FALSE(audio.lockMisuse);
}

TEST_F(Effects, NothingPlaysOrWaitsWithSoundsOffOrNoDevice) {
  Settings.Sounds = 0;
  PlaySoundWait("exit");  // absent name, but sounds are off: no error, no wait
  EXPECT_EQ(fake.sleptMs, 0);

  TWaveItem& silent = AddItem("exit", 4410, 100);  // device never opened
  silent.Play(true);
  EXPECT_TRUE(silent.Copies().empty());
  EXPECT_EQ(fake.sleptMs, 0);
}

TEST_F(Effects, MutedWhileInactiveButCopiesPlayOn) {
  ASSERT_TRUE(device.Initialize());
  TWaveItem& beep = AddItem("beep1", 500, 1000);
  device.SetEffectsAudible(false);
  beep.Play(false);
  std::vector<int16_t> out = audio.Pump(400);
  EXPECT_TRUE(std::all_of(out.begin(), out.end(), [](int16_t s) { return s == 0; }));
  device.SetEffectsAudible(true);
  out = audio.Pump(200);
  EXPECT_EQ(out[0], 1000);
  EXPECT_EQ(out[2 * 150], 0);  // it ended 100 frames in, as if heard all along
}

TEST_F(Effects, VolumePanAndFrequency) {
  ASSERT_TRUE(device.Initialize());
  TWaveItem& b = AddItem("beep2", 1000, 10000);
  b.Pan = 10000;  // full right
  b.Volume = -600;
  b.Play(false);
  std::vector<int16_t> out = audio.Pump(1);
  EXPECT_EQ(out[0], 0);
  EXPECT_NEAR(out[1], 10000 * std::pow(10.0, -0.3), 2);
  audio.Pump(2000);

  b.Pan = 0;
  b.Volume = 0;
  b.Frequency = 88200;  // twice the wave's own rate: over in half the time
  b.Play(false);
  audio.Pump(499);
  EXPECT_TRUE(Playing(b.Copies()[0]));
  audio.Pump(2);
  EXPECT_FALSE(Playing(b.Copies()[0]));
}

TEST_F(Effects, UnconvertibleWaveStaysSilent) {
  ASSERT_TRUE(device.Initialize());
  auto it = std::make_unique<TWaveItem>();
  it->Name = "odd";
  it->Format = PcmFormat(1, 22050, 8);  // the fake output converts only its own format
  it->Data.assign(100, 128);
  TWaveItem& odd = list.Add(std::move(it));
  odd.Play(false);
  EXPECT_TRUE(odd.Copies().empty());
}

TEST_F(Effects, FindIgnoresCaseAndNamesTheMissingWave) {
  AddItem("NewLevel", 10, 1);
  EXPECT_EQ(&list.Find("newlevel"), list.Items[0].get());
  try {
    list.Find("end7");
    FAIL() << "no error";
  } catch (const EGameError& e) {
    EXPECT_STREQ(e.what(), "Wave 'end7' not found");
  }
}

TEST_F(Effects, FinalizeTakesTheMixerOffTheStreamBeforeFreeing) {
  ASSERT_TRUE(device.Initialize());
  TWaveItem& drop = AddItem("drop", 1000, 1000);
  drop.Play(false);
  drop.Play(false);
  device.Finalize();
  EXPECT_TRUE(audio.sources.empty());
  EXPECT_EQ(audio.detachCount, 1);
  EXPECT_TRUE(drop.Copies().empty());
  drop.Play(false);  // closed: nothing, no crash
  EXPECT_TRUE(drop.Copies().empty());
  EXPECT_FALSE(audio.lockMisuse);
}

TEST_F(Effects, InitSoundTurnsSoundAndMusicOffWhenTheDeviceFails) {
  audio.failOpen = true;
  std::string missing = "/nonexistent-dir/";
  fake.programDir = missing;
  bool placeholderReader = true;
  try {
    ReadPackageFile(missing + "Sounds.spk");
  } catch (const EGameError&) {
    placeholderReader = false;
  }
  try {
    InitSound(device, list);
    EXPECT_TRUE(placeholderReader) << "a missing package must fail";
  } catch (const EGameError& e) {
    EXPECT_EQ(std::string(e.what()), "Cannot open file " + missing + "Sounds.spk");
  }
  EXPECT_EQ(Settings.Sounds, 0);
  EXPECT_EQ(Settings.Music, 0);
  EXPECT_FALSE(device.Initialized());
}

TEST_F(Effects, InitSoundLeavesTheDeviceClosedWithSoundsOff) {
  Settings.Sounds = 0;
  try {
    InitSound(device, list);
  } catch (const EGameError&) {
  }
  EXPECT_FALSE(device.Initialized());
  EXPECT_EQ(audio.attachCount, 0);
  EXPECT_EQ(Settings.Music, -1);
}

}  // namespace

namespace {

TEST(EffectsLifetime, ListOutlivingItsDeviceIsSafe) {
  plat::FakePlatform fake;
  plat::FakeAudio audio;
  plat::SetPlatform(&fake);
  plat::SetAudio(&audio);
  auto device = std::make_unique<TSoundDevice>();
  TWaveList list{device.get()};
  ASSERT_TRUE(device->Initialize());
  auto it = std::make_unique<TWaveItem>();
  it->Name = "drop";
  it->Format = PcmFormat(2, 44100, 16);
  it->Data = ConstantStereo16(100, 5);
  TWaveItem& drop = list.Add(std::move(it));
  drop.Play(false);
  device.reset();
  EXPECT_TRUE(audio.sources.empty());
  drop.Play(false);
  EXPECT_TRUE(drop.Copies().empty());
  plat::SetAudio(nullptr);
  plat::SetPlatform(nullptr);
}

}  // namespace
