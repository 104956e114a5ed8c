// Our mixer of playing sound copies (runs on the audio thread).
#include "media/mixer.h"

#include <algorithm>
#include <cmath>

namespace {
int32_t DecibelGain(int32_t hundredths) {
  if (hundredths >= 0) return 65536;
  if (hundredths <= -10000) return 0;
  return static_cast<int32_t>(std::lround(65536.0 * std::pow(10.0, hundredths / 2000.0)));
}
}  // namespace

void SetBufferParams(TSoundBuffer& b, int32_t volume, int32_t pan, int32_t frequency) {
  int32_t v = DecibelGain(volume);
  pan = std::clamp(pan, -10000, 10000);
  int64_t l = static_cast<int64_t>(v) * DecibelGain(pan > 0 ? -pan : 0) / 65536;
  int64_t r = static_cast<int64_t>(v) * DecibelGain(pan < 0 ? pan : 0) / 65536;
  b.GainL = static_cast<int32_t>(l);
  b.GainR = static_cast<int32_t>(r);
  uint32_t src = b.Pcm ? b.Pcm->SourceRate : 0;
  if (frequency <= 0 || src == 0) {
    b.Step = 1ull << 32;
  } else {
    // DirectSound's range of buffer frequencies.
    uint64_t f = static_cast<uint64_t>(std::clamp(frequency, 100, 200000));
    b.Step = (f << 32) / src;
  }
}

void TMixer::Mix(int32_t* acc, int frames) {
  bool audible = Audible.load(std::memory_order_relaxed);
  for (TSoundBuffer* b : Buffers) {
    if (!b->Playing || !b->Pcm) continue;
    const int16_t* s = b->Pcm->Samples.data();
    const uint64_t len = static_cast<uint64_t>(b->Pcm->Frames());
    if (len == 0) {
      b->Playing = false;
      continue;
    }
    const int32_t gl = b->GainL, gr = b->GainR;
    uint64_t pos = b->Pos;
    const uint64_t step = b->Step;
    for (int i = 0; i < frames; ++i) {
      uint64_t idx = pos >> 32;
      if (idx >= len) {
        if (!b->Looping) {
          b->Playing = false;
          break;
        }
        pos -= (idx / len * len) << 32;
        idx = pos >> 32;
      }
      if (audible) {
        acc[2 * i] += (s[2 * idx] * gl) >> 16;
        acc[2 * i + 1] += (s[2 * idx + 1] * gr) >> 16;
      }
      pos += step;
      // Done the moment its last sample is out, so a wait ends with the sound.
      if (!b->Looping && (pos >> 32) >= len) {
        b->Playing = false;
        break;
      }
    }
    b->Pos = pos;
  }
}
