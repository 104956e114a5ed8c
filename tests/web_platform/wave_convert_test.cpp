// Waves to the output's 16-bit stereo at 44.1 kHz.
#include <gtest/gtest.h>

#include "platform/audio.h"
#include "platform/web/wave_convert.h"

using plat::web::ConvertToOutput;

namespace {
std::vector<uint8_t> Fmt(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits) {
  const uint16_t align = static_cast<uint16_t>(channels * bits / 8);
  const uint32_t bytesPerSec = rate * align;
  return {static_cast<uint8_t>(tag), static_cast<uint8_t>(tag >> 8), static_cast<uint8_t>(channels), 0,
          static_cast<uint8_t>(rate), static_cast<uint8_t>(rate >> 8), static_cast<uint8_t>(rate >> 16),
          static_cast<uint8_t>(rate >> 24), static_cast<uint8_t>(bytesPerSec), static_cast<uint8_t>(bytesPerSec >> 8),
          static_cast<uint8_t>(bytesPerSec >> 16), static_cast<uint8_t>(bytesPerSec >> 24),
          static_cast<uint8_t>(align), 0, static_cast<uint8_t>(bits), 0};
}
}  // namespace

TEST(WaveConvert, StereoSixteenBitAtTheOutputRateIsKeptAsItIs) {
  const auto fmt = Fmt(1, 2, 44100, 16);
  const std::vector<uint8_t> data = {0x01, 0x00, 0xFF, 0xFF, 0x00, 0x80, 0xFF, 0x7F, 0x99};  // a stray byte
  std::vector<int16_t> out;
  ASSERT_TRUE(ConvertToOutput(fmt.data(), fmt.size(), data.data(), data.size(), out));
  EXPECT_EQ(out, (std::vector<int16_t>{1, -1, -32768, 32767}));
}

TEST(WaveConvert, MonoGoesToBothSidesAtSixteenBitScale) {
  const auto fmt8 = Fmt(1, 1, 44100, 8);
  const std::vector<uint8_t> d8 = {0x80, 0xFF, 0x00};
  std::vector<int16_t> out;
  ASSERT_TRUE(ConvertToOutput(fmt8.data(), fmt8.size(), d8.data(), d8.size(), out));
  EXPECT_EQ(out, (std::vector<int16_t>{0, 0, 127 * 256, 127 * 256, -32768, -32768}));
  // Float: clipped, a NaN is silence.
  const auto fmtF = Fmt(3, 1, 44100, 32);
  const float f[] = {0.5f, 2.0f, -2.0f, std::numeric_limits<float>::quiet_NaN()};
  std::vector<uint8_t> dF(reinterpret_cast<const uint8_t*>(f), reinterpret_cast<const uint8_t*>(f) + sizeof f);
  ASSERT_TRUE(ConvertToOutput(fmtF.data(), fmtF.size(), dF.data(), dF.size(), out));
  EXPECT_EQ(out, (std::vector<int16_t>{16383, 16383, 32767, 32767, -32767, -32767, 0, 0}));
}

TEST(WaveConvert, MoreChannelsKeepTheFirstTwo) {
  const auto fmt = Fmt(1, 4, 44100, 16);
  const std::vector<uint8_t> data = {1, 0, 2, 0, 3, 0, 4, 0};
  std::vector<int16_t> out;
  ASSERT_TRUE(ConvertToOutput(fmt.data(), fmt.size(), data.data(), data.size(), out));
  EXPECT_EQ(out, (std::vector<int16_t>{1, 2}));
}

TEST(WaveConvert, AnotherRateIsInterpolatedToTheOutputsLength) {
  const auto fmt = Fmt(1, 1, 22050, 16);
  const std::vector<uint8_t> data = {0x00, 0x00, 0x00, 0x10, 0x00, 0x20};  // 0, 4096, 8192
  std::vector<int16_t> out;
  ASSERT_TRUE(ConvertToOutput(fmt.data(), fmt.size(), data.data(), data.size(), out));
  ASSERT_EQ(out.size(), 12u);  // twice the frames, stereo
  const int16_t left[] = {0, 2048, 4096, 6144, 8192, 8192};  // the last frame held
  for (int i = 0; i < 6; ++i) EXPECT_EQ(out[2 * i], left[i]) << i;
  // A second of a wave at 8 kHz is a second here.
  const auto fmt8k = Fmt(1, 1, 8000, 8);
  std::vector<uint8_t> second(8000, 0x80);
  ASSERT_TRUE(ConvertToOutput(fmt8k.data(), fmt8k.size(), second.data(), second.size(), out));
  EXPECT_EQ(out.size(), 2u * plat::kAudioRate);
}

TEST(WaveConvert, FormatsItCannotTakeAreRefused) {
  std::vector<int16_t> out{1, 2};
  const std::vector<uint8_t> data(64, 0);
  const std::vector<uint8_t> bad[] = {Fmt(2, 2, 44100, 4), Fmt(1, 0, 44100, 16), Fmt(1, 9, 44100, 16),
                                      Fmt(1, 2, 999, 16),  Fmt(1, 2, 384001, 16), Fmt(1, 2, 44100, 12),
                                      Fmt(3, 2, 44100, 16)};
  for (const auto& f : bad) {
    EXPECT_FALSE(ConvertToOutput(f.data(), f.size(), data.data(), data.size(), out));
    EXPECT_TRUE(out.empty());
  }
  const auto good = Fmt(1, 2, 44100, 16);
  EXPECT_FALSE(ConvertToOutput(good.data(), 15, data.data(), data.size(), out));
  EXPECT_FALSE(ConvertToOutput(nullptr, 16, data.data(), data.size(), out));
  // No samples at all: a sound that ends at once.
  EXPECT_TRUE(ConvertToOutput(good.data(), good.size(), data.data(), 3, out));
  EXPECT_TRUE(out.empty());
}

TEST(WaveConvert, AResultTooLargeToHoldIsRefused) {
  // Eight seconds of silence at 1 kHz would be fine; a rate that multiplies a large wave
  // beyond the limit is not.
  const auto fmt = Fmt(1, 1, 1000, 8);
  std::vector<uint8_t> data(1600000, 0x80);  // 1600 s at 1 kHz: 282 MB at 44.1 kHz stereo
  std::vector<int16_t> out;
  EXPECT_FALSE(ConvertToOutput(fmt.data(), fmt.size(), data.data(), data.size(), out));
  EXPECT_TRUE(out.empty());
}
