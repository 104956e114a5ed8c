// Our mixer of playing sound copies: each copy plays a converted wave with its own
// volume, pan and frequency, summed into the one audio stream.
#pragma once
#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/audio.h"

// A wave converted once to the output format (interleaved stereo 16-bit, 44.1 kHz).
struct TWavePcm {
  std::vector<int16_t> Samples;
  uint32_t SourceRate = 0;  // the wave's own rate, for frequency changes
  int64_t Frames() const { return static_cast<int64_t>(Samples.size() / 2); }
};

// One playing copy of a wave (a sound buffer). The audio thread reads it under the
// output lock; the main thread changes it only under that lock.
struct TSoundBuffer {
  std::shared_ptr<const TWavePcm> Pcm;
  uint64_t Pos = 0;              // in frames, 32.32 fixed point
  uint64_t Step = 1ull << 32;    // frames per output frame, 32.32
  int32_t GainL = 65536;         // 16.16
  int32_t GainR = 65536;
  bool Playing = false;
  bool Looping = false;
};

// Gains and step of a copy from DirectSound-style values: volume in hundredths of a
// decibel (0 full, -10000 silent), pan -10000 (left) .. 10000 (right), frequency in Hz
// (0: the wave's own).
void SetBufferParams(TSoundBuffer& b, int32_t volume, int32_t pan, int32_t frequency);

class TMixer : public plat::IAudioSource {
 public:
  void Mix(int32_t* acc, int frames) override;
  // Copies the audio thread walks; changed only under the output lock.
  std::vector<TSoundBuffer*> Buffers;
  // Effects are heard only while the game's window is active; muted copies play on.
  std::atomic<bool> Audible{true};
};
