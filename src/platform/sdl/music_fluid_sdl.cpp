// The music backend: FluidSynth's MIDI player with a General MIDI SoundFont, rendered
// into our audio stream next to the effects.
#include <fluidsynth.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/sdl/platform_sdl.h"
#include "platform/audio.h"
#include "platform/mci.h"

namespace plat {

namespace {

constexpr size_t kMaxMidiBytes = 16u << 20;
constexpr int kRenderFrames = 1024;

// A whole file, at most `limit` bytes; false when it cannot be read or is larger.
bool ReadSmallFile(const std::string& path, size_t limit, std::vector<uint8_t>& bytes) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return false;
  bytes.clear();
  uint8_t buf[65536];
  size_t n;
  bool ok = true;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) {
    if (bytes.size() + n > limit) {
      ok = false;
      break;
    }
    bytes.insert(bytes.end(), buf, buf + n);
  }
  if (std::ferror(f)) ok = false;
  std::fclose(f);
  return ok;
}

std::once_flag gQuietLog;

class FluidMusic : public IMusicBackend, public IAudioSource {
 public:
  FluidMusic(IAudioOutput* out, std::string soundFont)
      : output(out), soundFontPath(std::move(soundFont)), pcm(2 * kRenderFrames) {}

  ~FluidMusic() override {
    Close();
    if (synth) delete_fluid_synth(synth);
    if (settings) delete_fluid_settings(settings);
  }

  bool Open(const std::string& path) override {
    Close();
    std::vector<uint8_t> bytes;
    if (!ReadSmallFile(path, kMaxMidiBytes, bytes)) return false;
    // A standard MIDI file: "MThd", header length, format, tracks, division.
    if (bytes.size() < 14 || bytes[0] != 'M' || bytes[1] != 'T' || bytes[2] != 'h' || bytes[3] != 'd')
      return false;
    if (!EnsureSynth()) return false;
    unsigned div = static_cast<unsigned>(bytes[12] << 8 | bytes[13]);
    division = (div & 0x8000) || div == 0 ? 0 : div;
    midi = std::move(bytes);
    startTick = 0;
    return true;
  }

  bool Seek(uint32_t positionMs) override {
    if (midi.empty()) return false;
    Stop();
    // Milliseconds to ticks at the file's opening tempo (120 beats a minute unless the
    // player says otherwise); the game only ever seeks to 0.
    uint64_t ppq = division ? division : 480;
    startTick = static_cast<int>(std::min<uint64_t>(uint64_t{positionMs} * ppq * 2 / 1000, 0x7FFFFFFF));
    return true;
  }

  bool Play(std::function<void()> onEnd) override {
    if (midi.empty() || !synth) return false;
    Stop();
    if (!attached) {
      if (!output || !output->Attach(this)) return false;
      attached = true;
    }
    AudioLock lock(output);
    player = new_fluid_player(synth);
    if (!player) return false;
    if (fluid_player_add_mem(player, midi.data(), midi.size()) != FLUID_OK ||
        fluid_player_play(player) != FLUID_OK) {
      delete_fluid_player(player);
      player = nullptr;
      return false;
    }
    // Going on from a stop: where the player refuses the position (past the end, or not
    // known before the file is loaded) the piece plays from the start.
    if (startTick > 0) fluid_player_seek(player, startTick);
    endCallback = std::move(onEnd);
    playing = true;
    return true;
  }

  void Stop() override {
    if (!player) return;
    AudioLock lock(attached ? output : nullptr);
    int tick = fluid_player_get_current_tick(player);
    if (playing && tick > 0) startTick = tick;
    playing = false;
    endCallback = nullptr;
    delete_fluid_player(player);
    player = nullptr;
    fluid_synth_all_sounds_off(synth, -1);
  }

  void Close() override {
    Stop();
    midi.clear();
    startTick = 0;
    if (attached) {
      output->Detach(this);
      attached = false;
    }
  }

  void Mix(int32_t* acc, int frames) override {
    if (!synth) return;
    while (frames > 0) {
      int n = std::min(frames, kRenderFrames);
      fluid_synth_write_s16(synth, n, pcm.data(), 0, 2, pcm.data(), 1, 2);
      for (int i = 0; i < 2 * n; ++i) acc[i] += pcm[i];
      acc += 2 * n;
      frames -= n;
    }
    if (playing && player && fluid_player_get_status(player) == FLUID_PLAYER_DONE) {
      playing = false;
      startTick = 0;
      std::function<void()> cb = std::move(endCallback);
      endCallback = nullptr;
      if (cb) cb();
    }
  }

 private:
  bool EnsureSynth() {
    if (synth) return true;
    if (soundFontFailed) return false;
    std::call_once(gQuietLog, [] {
      fluid_set_log_function(FLUID_WARN, nullptr, nullptr);
      fluid_set_log_function(FLUID_INFO, nullptr, nullptr);
      fluid_set_log_function(FLUID_DBG, nullptr, nullptr);
    });
    std::FILE* f = std::fopen(soundFontPath.c_str(), "rb");
    if (!f) {
      soundFontFailed = true;
      return false;
    }
    std::fclose(f);
    settings = new_fluid_settings();
    if (!settings) return Fail();
    fluid_settings_setnum(settings, "synth.sample-rate", kAudioRate);
    fluid_settings_setnum(settings, "synth.gain", 0.5);
    fluid_settings_setstr(settings, "player.timing-source", "sample");
    // Load an instrument's samples when a theme first picks it, not the whole SoundFont:
    // the themes use a handful of instruments, and the font's samples are several MB.
    fluid_settings_setint(settings, "synth.dynamic-sample-loading", 1);
    synth = new_fluid_synth(settings);
    if (!synth) return Fail();
    if (fluid_synth_sfload(synth, soundFontPath.c_str(), 1) == FLUID_FAILED) return Fail();
    return true;
  }

  bool Fail() {
    if (synth) delete_fluid_synth(synth);
    if (settings) delete_fluid_settings(settings);
    synth = nullptr;
    settings = nullptr;
    soundFontFailed = true;
    return false;
  }

  IAudioOutput* output;
  std::string soundFontPath;
  bool soundFontFailed = false;
  fluid_settings_t* settings = nullptr;
  fluid_synth_t* synth = nullptr;
  fluid_player_t* player = nullptr;
  std::vector<uint8_t> midi;
  unsigned division = 0;
  int startTick = 0;
  bool attached = false;
  // Read and written by the audio thread under the output lock.
  bool playing = false;
  std::function<void()> endCallback;
  std::vector<int16_t> pcm;
};

}  // namespace

std::unique_ptr<IMusicBackend> CreateFluidMusicBackend(IAudioOutput* out, const std::string& soundFont) {
  return std::make_unique<FluidMusic>(out, soundFont);
}

}  // namespace plat
