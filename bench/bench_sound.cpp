// Cost of the audio stream: our mixer with 16 copies playing, and FluidSynth rendering a
// theme. Each iteration makes one second of audio; "rt_fraction" is the share of real
// time that second costs.
#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>
#include <vector>

#include "platform/sdl/platform_sdl.h"
#include "media/mixer.h"
#include "platform/fake/fake_audio.h"
#include "platform/mci.h"

namespace {

constexpr int kChunk = 1024;

// One second of audio through a source, in the audio callback's chunks.
void RenderSecond(plat::IAudioSource& src, std::vector<int32_t>& acc) {
  for (int done = 0; done < plat::kAudioRate; done += kChunk) {
    int n = std::min(kChunk, plat::kAudioRate - done);
    std::fill(acc.begin(), acc.begin() + 2 * n, 0);
    src.Mix(acc.data(), n);
    benchmark::DoNotOptimize(acc.data());
  }
}

void SetRealTimeFraction(benchmark::State& state) {
  // Seconds of audio per second of work, inverted: work per second of audio.
  state.counters["rt_fraction"] = benchmark::Counter(
      static_cast<double>(state.iterations()), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_Mixer16Copies(benchmark::State& state) {
  auto pcm = std::make_shared<TWavePcm>();
  pcm->SourceRate = 44100;
  pcm->Samples.resize(2 * 44100);
  for (size_t i = 0; i < pcm->Samples.size(); ++i)
    pcm->Samples[i] = static_cast<int16_t>(8000 * std::sin(static_cast<double>(i) * 0.01));
  std::vector<std::unique_ptr<TSoundBuffer>> copies;
  TMixer mixer;
  for (int i = 0; i < 16; ++i) {
    auto b = std::make_unique<TSoundBuffer>();
    b->Pcm = pcm;
    // A mix of volumes, pans and a few changed frequencies, all looping.
    SetBufferParams(*b, -100 * i, -8000 + 1000 * i, i % 4 == 0 ? 33075 : 0);
    b->Looping = true;
    b->Playing = true;
    mixer.Buffers.push_back(b.get());
    copies.push_back(std::move(b));
  }
  std::vector<int32_t> acc(2 * kChunk);
  for (auto _ : state) RenderSecond(mixer, acc);
  SetRealTimeFraction(state);
}
BENCHMARK(BM_Mixer16Copies)->Unit(benchmark::kMillisecond);

// A busy piece: four-note chords on two instruments every quarter second, two minutes.
std::vector<uint8_t> BusyMidi() {
  std::vector<uint8_t> trk;
  auto ev = [&trk](uint32_t delta, std::initializer_list<uint8_t> bytes) {
    uint8_t buf[5];
    int n = 0;
    buf[n++] = delta & 0x7F;
    while (delta >>= 7) buf[n++] = static_cast<uint8_t>(0x80 | (delta & 0x7F));
    while (n) trk.push_back(buf[--n]);
    trk.insert(trk.end(), bytes);
  };
  ev(0, {0xC0, 0});
  ev(0, {0xC1, 48});
  const int chord[4] = {0, 4, 7, 12};
  for (int beat = 0; beat < 480; ++beat) {
    int root = 48 + (beat / 4) % 12;
    for (int k = 0; k < 4; ++k) ev(0, {0x90, static_cast<uint8_t>(root + chord[k]), 90});
    for (int k = 0; k < 4; ++k) ev(0, {0x91, static_cast<uint8_t>(root + 12 + chord[k]), 70});
    for (int k = 0; k < 4; ++k) ev(k == 0 ? 240 : 0, {0x80, static_cast<uint8_t>(root + chord[k]), 0});
    for (int k = 0; k < 4; ++k) ev(0, {0x81, static_cast<uint8_t>(root + 12 + chord[k]), 0});
  }
  ev(0, {0xFF, 0x2F, 0x00});
  std::vector<uint8_t> f = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0x01, 0xE0, 'M', 'T', 'r', 'k'};
  uint32_t len = static_cast<uint32_t>(trk.size());
  f.insert(f.end(), {static_cast<uint8_t>(len >> 24), static_cast<uint8_t>(len >> 16),
                     static_cast<uint8_t>(len >> 8), static_cast<uint8_t>(len)});
  f.insert(f.end(), trk.begin(), trk.end());
  return f;
}

void BM_MusicSynthesis(benchmark::State& state) {
  namespace fs = std::filesystem;
  fs::path theme = fs::path(TANGREL_GAME_DIR) / "Sounds" / "theme1.mid";
  fs::path tmp;
  if (!fs::exists(theme)) {
    tmp = fs::temp_directory_path() / "tangrel_bench_theme.mid";
    std::vector<uint8_t> m = BusyMidi();
    std::ofstream(tmp, std::ios::binary).write(reinterpret_cast<const char*>(m.data()),
                                               static_cast<std::streamsize>(m.size()));
    theme = tmp;
  }
  plat::FakeAudio audio;
  auto backend = plat::CreateFluidMusicBackend(&audio, TANGREL_SOUNDFONT);
  if (!backend->Open(theme.string()) || !backend->Play([] {}) || audio.sources.empty()) {
    state.SkipWithError("no SoundFont or theme");
    return;
  }
  plat::IAudioSource& synth = *audio.sources.front();
  std::vector<int32_t> acc(2 * kChunk);
  for (auto _ : state) {
    RenderSecond(synth, acc);
  }
  SetRealTimeFraction(state);
  state.SetLabel(tmp.empty() ? "game theme1.mid" : "generated chords");
  backend->Close();
  if (!tmp.empty()) fs::remove(tmp);
}
BENCHMARK(BM_MusicSynthesis)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
