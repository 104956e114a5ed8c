// Waves to 16-bit stereo at the output's rate.
#include "platform/web/wave_convert.h"

#include <algorithm>
#include <cstring>

#include "platform/audio.h"
#include "platform/bytes.h"

namespace plat::web {

namespace {

// A converted effect larger than this is refused (a hostile rate or length).
constexpr size_t kMaxConvertedBytes = 256u << 20;

int16_t Sample(const uint8_t* p, unsigned tag, unsigned bits) {
  if (tag == 1 && bits == 8) return static_cast<int16_t>((static_cast<int>(p[0]) - 128) * 256);
  if (tag == 1 && bits == 16) return static_cast<int16_t>(p[0] | p[1] << 8);
  if (tag == 1 && bits == 24) return static_cast<int16_t>(p[1] | p[2] << 8);
  if (tag == 1 && bits == 32) return static_cast<int16_t>(p[2] | p[3] << 8);
  float f;
  const uint32_t u = Le32(p);
  std::memcpy(&f, &u, sizeof f);
  if (!(f == f)) f = 0;  // NaN
  return static_cast<int16_t>(std::clamp(f, -1.0f, 1.0f) * 32767.0f);
}

}  // namespace

bool ConvertToOutput(const uint8_t* fmt, size_t fmtSize, const uint8_t* data, size_t dataSize,
                     std::vector<int16_t>& out) {
  out.clear();
  if (!fmt || fmtSize < 16) return false;
  unsigned tag = Le16(fmt), channels = Le16(fmt + 2), bits = Le16(fmt + 14);
  const uint32_t rate = Le32(fmt + 4);
  if (tag == 0xFFFE && fmtSize >= 26) tag = Le16(fmt + 24);  // extensible: the sub-format
  const bool known = (tag == 1 && (bits == 8 || bits == 16 || bits == 24 || bits == 32)) || (tag == 3 && bits == 32);
  if (!known || channels < 1 || channels > 8 || rate < 1000 || rate > 384000) return false;
  const size_t sampleBytes = bits / 8, frameBytes = channels * sampleBytes;
  const size_t frames = data ? dataSize / frameBytes : 0;
  if (frames == 0) return true;  // an empty sound: plays and ends at once
  if (frames * frameBytes > kMaxConvertedBytes) return false;
  const uint64_t outFrames = (static_cast<uint64_t>(frames) * kAudioRate + rate - 1) / rate;
  if (outFrames * 4 > kMaxConvertedBytes) return false;
  auto at = [&](size_t i, int side) {
    const uint8_t* f = data + i * frameBytes;
    return Sample(side && channels > 1 ? f + sampleBytes : f, tag, bits);
  };
  out.resize(static_cast<size_t>(outFrames) * 2);
  if (rate == static_cast<uint32_t>(kAudioRate)) {
    for (size_t i = 0; i < frames; ++i) {
      out[2 * i] = at(i, 0);
      out[2 * i + 1] = at(i, 1);
    }
    return true;
  }
  // Output frame j lies at source position j * rate / kAudioRate: between two source frames.
  for (uint64_t j = 0; j < outFrames; ++j) {
    const uint64_t num = j * rate;
    const size_t i = static_cast<size_t>(num / kAudioRate);
    const int64_t frac = static_cast<int64_t>(num % kAudioRate);
    const size_t k = std::min(i + 1, frames - 1);
    for (int side = 0; side < 2; ++side) {
      const int64_t a = at(i, side), b = at(k, side);
      out[2 * j + side] = static_cast<int16_t>(a + (b - a) * frac / kAudioRate);
    }
  }
  return true;
}

}  // namespace plat::web
