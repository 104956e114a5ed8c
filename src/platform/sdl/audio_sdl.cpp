// The SDL audio output: one 44.1 kHz stereo 16-bit stream whose callback sums the
// attached sources (effects mixer, music synthesiser); wave conversion by SDL.
#include <SDL.h>

#include <algorithm>
#include <atomic>
#include <memory>

#include "platform/sdl/platform_sdl.h"
#include "platform/audio.h"
#include "platform/bytes.h"
#include "platform/mci.h"

#ifndef TANGREL_SOUNDFONT
#define TANGREL_SOUNDFONT "/usr/share/sounds/sf2/TimGM6mb.sf2"
#endif

namespace plat {

namespace {

constexpr int kChunkFrames = 4096;
// A converted effect larger than this is refused (a hostile rate or length).
constexpr size_t kMaxConvertedBytes = 256u << 20;

class SdlAudioOutput : public IAudioOutput {
 public:
  SdlAudioOutput() : acc(2 * kChunkFrames) {}
  ~SdlAudioOutput() override { CloseDevice(); }

  bool Attach(IAudioSource* source) override {
    if (!source) return false;
    if (!dev && !OpenDevice()) return false;
    SDL_LockAudioDevice(dev);
    if (std::find(sources.begin(), sources.end(), source) == sources.end()) sources.push_back(source);
    SDL_UnlockAudioDevice(dev);
    return true;
  }

  void Detach(IAudioSource* source) override {
    if (!dev) return;
    SDL_LockAudioDevice(dev);
    std::erase(sources, source);
    bool empty = sources.empty();
    SDL_UnlockAudioDevice(dev);
    if (empty) CloseDevice();
  }

  bool IsOpen() const override { return dev != 0; }
  uint64_t MixedFrames() const override { return mixed.load(std::memory_order_acquire); }
  uint64_t PlayedFrames() const override { return played.load(std::memory_order_acquire); }
  void Lock() override {
    if (dev) SDL_LockAudioDevice(dev);
  }
  void Unlock() override {
    if (dev) SDL_UnlockAudioDevice(dev);
  }

  bool ConvertWave(const uint8_t* fmt, size_t fmtSize, const uint8_t* data, size_t dataSize,
                   std::vector<int16_t>& out) override {
    out.clear();
    if (!fmt || fmtSize < 16) return false;
    unsigned tag = Le16(fmt), channels = Le16(fmt + 2), bits = Le16(fmt + 14);
    uint32_t rate = Le32(fmt + 4);
    if (tag == 0xFFFE && fmtSize >= 26) tag = Le16(fmt + 24);  // extensible: the sub-format
    SDL_AudioFormat f;
    if (tag == 1 && bits == 8)
      f = AUDIO_U8;
    else if (tag == 1 && bits == 16)
      f = AUDIO_S16LSB;
    else if (tag == 1 && bits == 32)
      f = AUDIO_S32LSB;
    else if (tag == 3 && bits == 32)
      f = AUDIO_F32LSB;
    else
      return false;
    if (channels < 1 || channels > 8 || rate < 1000 || rate > 384000) return false;
    size_t frameBytes = channels * bits / 8;
    size_t frames = data ? dataSize / frameBytes : 0;
    if (frames == 0) return true;  // an empty sound: plays and ends at once
    if (frames * frameBytes > kMaxConvertedBytes) return false;
    if (static_cast<double>(frames) * kAudioRate / rate * 4 + 4096 > kMaxConvertedBytes) return false;
    SDL_AudioStream* s = SDL_NewAudioStream(f, static_cast<Uint8>(channels), static_cast<int>(rate),
                                            AUDIO_S16SYS, 2, kAudioRate);
    if (!s) return false;
    bool ok = SDL_AudioStreamPut(s, data, static_cast<int>(frames * frameBytes)) == 0 &&
              SDL_AudioStreamFlush(s) == 0;
    if (ok) {
      int avail = SDL_AudioStreamAvailable(s);
      out.resize(static_cast<size_t>(avail) / 4 * 2);
      int got = avail > 0 ? SDL_AudioStreamGet(s, out.data(), static_cast<int>(out.size() * 2)) : 0;
      if (got < 0) ok = false;
      else out.resize(static_cast<size_t>(got) / 4 * 2);
    }
    SDL_FreeAudioStream(s);
    if (!ok) out.clear();
    return ok;
  }

 private:
  bool OpenDevice() {
    if (!SDL_WasInit(SDL_INIT_AUDIO)) {
      if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
      ownSubsystem = true;
    }
    SDL_AudioSpec want{}, have{};
    want.freq = kAudioRate;
    want.format = AUDIO_S16SYS;
    want.channels = kAudioChannels;
    want.samples = 1024;
    want.callback = &SdlAudioOutput::Callback;
    want.userdata = this;
    // No allowed changes: SDL converts to whatever the hardware wants.
    dev = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (!dev) return false;
    SDL_PauseAudioDevice(dev, 0);
    return true;
  }

  void CloseDevice() {
    if (dev) {
      // Waits for the callback to finish; after this nothing reads the sources.
      SDL_CloseAudioDevice(dev);
      dev = 0;
    }
    sources.clear();
    if (ownSubsystem) {
      SDL_QuitSubSystem(SDL_INIT_AUDIO);
      ownSubsystem = false;
    }
  }

  static void SDLCALL Callback(void* user, Uint8* stream, int len) {
    auto* self = static_cast<SdlAudioOutput*>(user);
    auto* out = reinterpret_cast<int16_t*>(stream);
    int frames = len / 4;
    // SDL asks for the next buffer once the device has taken the last one, so everything
    // before that last buffer has been played.
    const uint64_t before = self->mixed.load(std::memory_order_relaxed);
    self->played.store(before - self->lastBuffer, std::memory_order_release);
    self->lastBuffer = static_cast<uint64_t>(frames > 0 ? frames : 0);
    self->mixed.store(before + self->lastBuffer, std::memory_order_release);
    while (frames > 0) {
      int n = std::min(frames, kChunkFrames);
      std::fill(self->acc.begin(), self->acc.begin() + 2 * n, 0);
      for (IAudioSource* s : self->sources) s->Mix(self->acc.data(), n);
      for (int i = 0; i < 2 * n; ++i) out[i] = static_cast<int16_t>(std::clamp(self->acc[i], -32768, 32767));
      out += 2 * n;
      frames -= n;
    }
  }

  SDL_AudioDeviceID dev = 0;
  bool ownSubsystem = false;
  std::vector<IAudioSource*> sources;
  std::vector<int32_t> acc;
  // Frames handed to the device, and of those the ones it has played (audio thread writes).
  std::atomic<uint64_t> mixed{0};
  std::atomic<uint64_t> played{0};
  uint64_t lastBuffer = 0;  // audio thread only
};

std::unique_ptr<InstalledAudio> gSet;

// At exit: the music stops and the stream closes before anything it reads goes.
struct ShutdownAtExit {
  ~ShutdownAtExit() { ShutdownSdlAudio(); }
} gShutdownAtExit;

}  // namespace

void InstallSdlAudio() {
  if (gSet) return;
  gSet = std::make_unique<InstalledAudio>();
  gSet->output = std::make_unique<SdlAudioOutput>();
  gSet->music = CreateFluidMusicBackend(gSet->output.get(), TANGREL_SOUNDFONT);
  gSet->mci = std::make_unique<MciInterpreter>(gSet->music.get());
  gSet->Install();
}

void ShutdownSdlAudio() { gSet.reset(); }

}  // namespace plat
