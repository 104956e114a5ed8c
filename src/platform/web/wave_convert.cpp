// Waves to 16-bit stereo at the output's rate.
#include "platform/web/wave_convert.h"

#include <algorithm>

#include "platform/audio.h"
#include "platform/wave_samples.h"

namespace plat::web {

bool ConvertToOutput(const uint8_t* fmt, size_t fmtSize, const uint8_t* data, size_t dataSize,
                     std::vector<int16_t>& out) {
  out.clear();
  wave::Shape w;
  if (!wave::ReadShape(fmt, fmtSize, data, dataSize, w)) return false;
  const uint32_t rate = w.rate;
  const size_t frames = w.frames;
  if (frames == 0) return true;  // an empty sound: plays and ends at once
  const uint64_t outFrames = (static_cast<uint64_t>(frames) * kAudioRate + rate - 1) / rate;
  if (outFrames * 4 > wave::kMaxConvertedBytes) return false;
  auto at = [&](size_t i, int side) { return wave::SideSample(w, data, i, side); };
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
