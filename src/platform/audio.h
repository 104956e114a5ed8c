// Audio output and media-control interfaces: one mixed 44.1 kHz stereo stream, and the
// command-string interface the music player talks to.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace plat {

// The one output format: 44100 Hz, two interleaved channels, signed 16-bit samples.
constexpr int kAudioRate = 44100;
constexpr int kAudioChannels = 2;

// Something that sounds on the output: the effects mixer, the music synthesiser.
class IAudioSource {
 public:
  virtual ~IAudioSource() = default;
  // Runs on the audio thread with the output locked. Adds `frames` stereo frames, at
  // 16-bit scale, into `acc` (2 * frames values, already holding the other sources).
  virtual void Mix(int32_t* acc, int frames) = 0;
};

class IAudioOutput {
 public:
  virtual ~IAudioOutput() = default;
  // Adds a source to the stream; the output opens with the first one. False when the
  // output cannot be opened (the source is then not attached).
  virtual bool Attach(IAudioSource* source) = 0;
  // Takes a source off the stream. Once this returns the source is never called again;
  // the output closes with the last one.
  virtual void Detach(IAudioSource* source) = 0;
  virtual bool IsOpen() const = 0;
  // Holds the audio thread off while shared state changes. Not re-entrant.
  virtual void Lock() = 0;
  virtual void Unlock() = 0;
  // Converts a wave ("fmt " chunk bytes and sample bytes) once to the output format:
  // interleaved stereo 16-bit at kAudioRate. False for a format it cannot convert.
  virtual bool ConvertWave(const uint8_t* fmt, size_t fmtSize, const uint8_t* data,
                           size_t dataSize, std::vector<int16_t>& out) = 0;
  // Frames mixed since the output opened, and how many of them the device has played. A
  // sound mixed by MixedFrames() = m has been heard once PlayedFrames() reaches m. An output
  // that cannot tell counts them as played the moment they are mixed.
  virtual uint64_t MixedFrames() const { return 0; }
  virtual uint64_t PlayedFrames() const { return MixedFrames(); }
};

// Holds the output lock for a scope; does nothing without an output.
class AudioLock {
 public:
  explicit AudioLock(IAudioOutput* out) : out_(out) {
    if (out_) out_->Lock();
  }
  ~AudioLock() {
    if (out_) out_->Unlock();
  }
  AudioLock(const AudioLock&) = delete;
  AudioLock& operator=(const AudioLock&) = delete;

 private:
  IAudioOutput* out_;
};

// The platform's media-control string interface.
class IMediaControl {
 public:
  virtual ~IMediaControl() = default;
  // Runs one command string; 0 when it succeeded, an error code otherwise.
  virtual int SendString(const std::string& command) = 0;
};

// The output and the media control in use; null until installed (then everything is silent).
IAudioOutput* Audio();
void SetAudio(IAudioOutput* audio);
IMediaControl* MediaControl();
void SetMediaControl(IMediaControl* control);

}  // namespace plat
