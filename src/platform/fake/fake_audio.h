// Test doubles of the audio output (runs the mix on demand) and of the media control
// (records the command strings).
#pragma once
#include <string>
#include <vector>

#include "platform/audio.h"

namespace plat {

class FakeAudio : public IAudioOutput {
 public:
  bool Attach(IAudioSource* source) override;
  void Detach(IAudioSource* source) override;
  bool IsOpen() const override { return !sources.empty(); }
  void Lock() override;
  void Unlock() override;
  // Plain copies of 16-bit stereo PCM at 44.1 kHz; every other format fails.
  bool ConvertWave(const uint8_t* fmt, size_t fmtSize, const uint8_t* data, size_t dataSize,
                   std::vector<int16_t>& out) override;

  // Runs the mix as the audio thread would: `frames` stereo frames, clamped to 16 bits.
  std::vector<int16_t> Pump(int frames);
  // Everything pumped is mixed; the device plays it latencyFrames later.
  uint64_t MixedFrames() const override { return mixedFrames; }
  uint64_t PlayedFrames() const override {
    return mixedFrames > latencyFrames ? mixedFrames - latencyFrames : 0;
  }

  uint64_t mixedFrames = 0;
  uint64_t latencyFrames = 0;

  bool failOpen = false;
  std::vector<IAudioSource*> sources;
  int attachCount = 0;
  int detachCount = 0;
  int lockDepth = 0;  // must be 0 outside Lock/Unlock pairs
  bool lockMisuse = false;
};

class FakeMediaControl : public IMediaControl {
 public:
  int SendString(const std::string& command) override {
    commands.push_back(command);
    return result;
  }
  std::vector<std::string> commands;
  int result = 0;
};

}  // namespace plat
