// The Windows audio output: one 44.1 kHz stereo 16-bit waveOut stream. A feeder thread sums
// the attached sources (the effects mixer) into a ring of buffers as the device hands them
// back. Waves are turned into 16-bit stereo by our own code; a change of rate is left to
// the system's converter (msacm32).
#include "platform/win32/platform_win32.h"
#include "platform/mci.h"
#include "platform/wave_samples.h"

// Windows headers after ours: they define the virtual-key names as macros.
#include <windows.h>
#include <mmsystem.h>
#include <mmreg.h>
#include <msacm.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace plat {

namespace {

constexpr int kBufferFrames = 1470;  // a thirtieth of a second
constexpr int kBufferCount = 4;

// The system converts 16-bit stereo from one rate to ours.
bool ChangeRate(const std::vector<int16_t>& in, uint32_t rate, std::vector<int16_t>& out) {
  WAVEFORMATEX src{}, dst{};
  src.wFormatTag = WAVE_FORMAT_PCM;
  src.nChannels = 2;
  src.nSamplesPerSec = rate;
  src.wBitsPerSample = 16;
  src.nBlockAlign = 4;
  src.nAvgBytesPerSec = rate * 4;
  dst = src;
  dst.nSamplesPerSec = kAudioRate;
  dst.nAvgBytesPerSec = kAudioRate * 4;
  HACMSTREAM s = nullptr;
  if (acmStreamOpen(&s, nullptr, &src, &dst, nullptr, 0, 0, ACM_STREAMOPENF_NONREALTIME) != 0) return false;
  const DWORD srcBytes = static_cast<DWORD>(in.size() * 2);
  DWORD dstBytes = 0;
  bool ok = acmStreamSize(s, srcBytes, &dstBytes, ACM_STREAMSIZEF_SOURCE) == 0 && dstBytes <= wave::kMaxConvertedBytes;
  if (ok) {
    out.assign(dstBytes / 2 + 2, 0);
    ACMSTREAMHEADER h{};
    h.cbStruct = sizeof h;
    h.pbSrc = reinterpret_cast<LPBYTE>(const_cast<int16_t*>(in.data()));
    h.cbSrcLength = srcBytes;
    h.pbDst = reinterpret_cast<LPBYTE>(out.data());
    h.cbDstLength = static_cast<DWORD>(out.size() * 2);
    ok = acmStreamPrepareHeader(s, &h, 0) == 0;
    if (ok) {
      ok = acmStreamConvert(s, &h, ACM_STREAMCONVERTF_BLOCKALIGN | ACM_STREAMCONVERTF_START | ACM_STREAMCONVERTF_END) == 0;
      out.resize(ok ? h.cbDstLengthUsed / 4 * 2 : 0);
      h.cbSrcLength = srcBytes;
      h.cbDstLength = static_cast<DWORD>(dstBytes);
      acmStreamUnprepareHeader(s, &h, 0);
    }
  }
  acmStreamClose(s, 0);
  if (!ok) out.clear();
  return ok;
}

class WaveOutOutput : public IAudioOutput {
 public:
  ~WaveOutOutput() override { CloseDevice(); }

  bool Attach(IAudioSource* source) override {
    if (!source) return false;
    if (!dev && !OpenDevice()) return false;
    std::lock_guard<std::mutex> g(lock);
    if (std::find(sources.begin(), sources.end(), source) == sources.end()) sources.push_back(source);
    return true;
  }

  void Detach(IAudioSource* source) override {
    if (!dev) return;
    bool empty;
    {
      std::lock_guard<std::mutex> g(lock);
      std::erase(sources, source);
      empty = sources.empty();
    }
    if (empty) CloseDevice();
  }

  bool IsOpen() const override { return dev != nullptr; }
  void Lock() override { lock.lock(); }
  void Unlock() override { lock.unlock(); }

  bool ConvertWave(const uint8_t* fmt, size_t fmtSize, const uint8_t* data, size_t dataSize,
                   std::vector<int16_t>& out) override {
    out.clear();
    wave::Shape w;
    if (!wave::ReadShape(fmt, fmtSize, data, dataSize, w)) return false;
    if (w.frames == 0) return true;  // an empty sound: plays and ends at once
    if (static_cast<double>(w.frames) * kAudioRate / w.rate * 4 + 4096 > wave::kMaxConvertedBytes) return false;
    // Stereo 16-bit at the wave's rate.
    std::vector<int16_t> stereo(w.frames * 2);
    for (size_t i = 0; i < w.frames; ++i) {
      stereo[2 * i] = wave::SideSample(w, data, i, 0);
      stereo[2 * i + 1] = wave::SideSample(w, data, i, 1);
    }
    if (w.rate == static_cast<uint32_t>(kAudioRate)) {
      out = std::move(stereo);
      return true;
    }
    return ChangeRate(stereo, w.rate, out);
  }

 private:
  bool OpenDevice() {
    if (waveOutGetNumDevs() == 0) return false;
    WAVEFORMATEX f{};
    f.wFormatTag = WAVE_FORMAT_PCM;
    f.nChannels = kAudioChannels;
    f.nSamplesPerSec = kAudioRate;
    f.wBitsPerSample = 16;
    f.nBlockAlign = static_cast<WORD>(kAudioChannels * 2);
    f.nAvgBytesPerSec = kAudioRate * f.nBlockAlign;
    ready = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    if (!ready) return false;
    HWAVEOUT h = nullptr;
    if (waveOutOpen(&h, WAVE_MAPPER, &f, reinterpret_cast<DWORD_PTR>(ready), 0, CALLBACK_EVENT) != MMSYSERR_NOERROR) {
      CloseHandle(ready);
      ready = nullptr;
      return false;
    }
    dev = h;
    pcm.assign(static_cast<size_t>(kBufferCount) * kBufferFrames * 2, 0);
    acc.assign(static_cast<size_t>(kBufferFrames) * 2, 0);
    for (int i = 0; i < kBufferCount; ++i) {
      WAVEHDR& w = headers[i];
      w = WAVEHDR{};
      w.lpData = reinterpret_cast<LPSTR>(pcm.data() + static_cast<size_t>(i) * kBufferFrames * 2);
      w.dwBufferLength = kBufferFrames * 4;
      waveOutPrepareHeader(dev, &w, sizeof w);
      w.dwFlags |= WHDR_DONE;  // free to fill
    }
    quit = false;
    feeder = std::thread([this] { Feed(); });
    return true;
  }

  void CloseDevice() {
    if (dev) {
      quit = true;
      SetEvent(ready);
      if (feeder.joinable()) feeder.join();  // after this nothing reads the sources
      waveOutReset(dev);
      for (WAVEHDR& w : headers) waveOutUnprepareHeader(dev, &w, sizeof w);
      waveOutClose(dev);
      dev = nullptr;
    }
    if (ready) CloseHandle(ready);
    ready = nullptr;
    std::lock_guard<std::mutex> g(lock);
    sources.clear();
  }

  // Fills every buffer the device has given back, then waits for the next.
  void Feed() {
    while (!quit) {
      for (WAVEHDR& w : headers) {
        if (quit) break;
        if (!(w.dwFlags & WHDR_DONE)) continue;
        w.dwFlags &= ~static_cast<DWORD>(WHDR_DONE);
        auto* out = reinterpret_cast<int16_t*>(w.lpData);
        {
          std::lock_guard<std::mutex> g(lock);
          std::fill(acc.begin(), acc.end(), 0);
          for (IAudioSource* s : sources) s->Mix(acc.data(), kBufferFrames);
        }
        for (size_t i = 0; i < acc.size(); ++i) out[i] = static_cast<int16_t>(std::clamp(acc[i], -32768, 32767));
        if (waveOutWrite(dev, &w, sizeof w) != MMSYSERR_NOERROR) w.dwFlags |= WHDR_DONE;
      }
      WaitForSingleObject(ready, 100);
    }
  }

  HWAVEOUT dev = nullptr;
  HANDLE ready = nullptr;
  std::atomic<bool> quit{false};
  std::thread feeder;
  WAVEHDR headers[kBufferCount] = {};
  std::vector<int16_t> pcm;
  std::vector<int32_t> acc;  // feeder thread only
  std::mutex lock;
  std::vector<IAudioSource*> sources;
};

std::unique_ptr<InstalledAudio> gSet;

}  // namespace

void InstallWin32Audio() {
  if (gSet) return;
  gSet = std::make_unique<InstalledAudio>();
  gSet->output = std::make_unique<WaveOutOutput>();
  gSet->mci = CreateWin32MediaControl();
  gSet->Install();
}

void ShutdownWin32Audio() { gSet.reset(); }

}  // namespace plat
