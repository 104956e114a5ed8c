// Test doubles of the audio output and of the media control.
#include "platform/fake/fake_audio.h"

#include <algorithm>

namespace plat {

bool FakeAudio::Attach(IAudioSource* source) {
  if (failOpen || !source) return false;
  if (std::find(sources.begin(), sources.end(), source) == sources.end()) sources.push_back(source);
  ++attachCount;
  return true;
}

void FakeAudio::Detach(IAudioSource* source) {
  std::erase(sources, source);
  ++detachCount;
}

void FakeAudio::Lock() {
  if (lockDepth != 0) lockMisuse = true;
  ++lockDepth;
}

void FakeAudio::Unlock() {
  if (lockDepth != 1) lockMisuse = true;
  --lockDepth;
}

bool FakeAudio::ConvertWave(const uint8_t* fmt, size_t fmtSize, const uint8_t* data, size_t dataSize,
                            std::vector<int16_t>& out) {
  out.clear();
  if (!fmt || fmtSize < 16) return false;
  unsigned tag = static_cast<unsigned>(fmt[0] | fmt[1] << 8);
  unsigned channels = static_cast<unsigned>(fmt[2] | fmt[3] << 8);
  unsigned rate = static_cast<unsigned>(fmt[4] | fmt[5] << 8 | fmt[6] << 16) | static_cast<unsigned>(fmt[7]) << 24;
  unsigned bits = static_cast<unsigned>(fmt[14] | fmt[15] << 8);
  if (tag != 1 || channels != 2 || rate != static_cast<unsigned>(kAudioRate) || bits != 16) return false;
  size_t n = data ? dataSize / 4 * 2 : 0;
  out.resize(n);
  for (size_t i = 0; i < n; ++i)
    out[i] = static_cast<int16_t>(static_cast<uint16_t>(data[2 * i] | data[2 * i + 1] << 8));
  return true;
}

std::vector<int16_t> FakeAudio::Pump(int frames) {
  std::vector<int32_t> acc(2 * static_cast<size_t>(frames), 0);
  for (IAudioSource* s : sources) s->Mix(acc.data(), frames);
  if (frames > 0) mixedFrames += static_cast<uint64_t>(frames);
  std::vector<int16_t> out(acc.size());
  for (size_t i = 0; i < acc.size(); ++i) out[i] = static_cast<int16_t>(std::clamp(acc[i], -32768, 32767));
  return out;
}

}  // namespace plat
