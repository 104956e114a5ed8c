// Sound in the browser: one WebAudio stream at 44.1 kHz fed by the attached sources (the
// effects mixer) from a script processor, and the music themes rendered at build time,
// played by an audio element behind the media-control interpreter. The browser starts a
// page's audio only after a press or a key: both wait for the first one.
#include <emscripten.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/audio.h"
#include "platform/mci.h"
#include "platform/text.h"
#include "platform/web/platform_web.h"
#include "platform/web/wave_convert.h"

namespace {
constexpr int kBufferFrames = 2048;  // about 46 ms a buffer
}

// Opens the page's audio context and its script processor, which asks for kBufferFrames at
// a time through tw_audio_fill; resumed on the first press or key.
EM_JS(int, tw_audio_open, (int rate, int frames), {
  var AC = window.AudioContext || window.webkitAudioContext;
  if (!AC) return 0;
  var st = Module.twAudio;
  if (!st) {
    var ctx;
    try { ctx = new AC({ sampleRate: rate }); } catch (e) { return 0; }
    if (ctx.sampleRate !== rate) { try { ctx.close(); } catch (e) {} return 0; }
    var node = ctx.createScriptProcessor(frames, 0, 2);
    st = Module.twAudio = { ctx: ctx, node: node };
    node.onaudioprocess = function(ev) {
      var out = ev.outputBuffer;
      var n = out.length;
      var l = out.getChannelData(0), r = out.getChannelData(1);
      var p = _tw_audio_fill(n);
      if (!p) { l.fill(0); r.fill(0); return; }
      var s = HEAP16.subarray(p >> 1, (p >> 1) + 2 * n);
      for (var i = 0; i < n; i++) {
        l[i] = s[2 * i] / 32768;
        r[i] = s[2 * i + 1] / 32768;
      }
    };
    var resume = function() {
      if (st.ctx.state === "suspended") { var q = st.ctx.resume(); if (q && q.catch) q.catch(function() {}); }
    };
    st.resume = resume;
    ["pointerdown", "pointerup", "keydown", "touchend", "mousedown"].forEach(function(t) {
      window.addEventListener(t, resume, true);
    });
  }
  st.node.connect(st.ctx.destination);
  st.resume();
  return 1;
});

EM_JS(void, tw_audio_close, (), {
  var st = Module.twAudio;
  if (st) { try { st.node.disconnect(); } catch (e) {} }
});

// The music: one audio element; the theme's end comes back through tw_music_ended. A play
// the browser refuses before the first press is played on that press.
EM_JS(int, tw_music, (int op, const char* url, double seconds, int token), {
  var m = Module.twMusic;
  if (!m) {
    var a = new Audio();
    a.preload = "auto";
    m = Module.twMusic = { audio: a, token: 0, want: false };
    a.addEventListener("ended", function() {
      var t = m.token;
      m.want = false;
      if (t) _tw_music_ended(t);
    });
    var retry = function() {
      if (m.want && m.audio.paused) { var q = m.audio.play(); if (q && q.catch) q.catch(function() {}); }
    };
    ["pointerup", "keydown", "touchend", "mouseup"].forEach(function(t) { window.addEventListener(t, retry, true); });
  }
  var a = m.audio;
  switch (op) {
    case 0:  // open
      a.src = UTF8ToString(url);
      m.token = 0;
      m.want = false;
      return 1;
    case 1:  // seek
      try { a.currentTime = seconds; } catch (e) {}
      return 1;
    case 2: {  // play
      m.token = token;
      m.want = true;
      var q = a.play();
      if (q && q.catch) q.catch(function() {});
      return 1;
    }
    case 3:  // stop
      m.token = 0;
      m.want = false;
      a.pause();
      return 1;
    case 4:  // close
      m.token = 0;
      m.want = false;
      a.pause();
      a.removeAttribute("src");
      a.load();
      return 1;
  }
  return 0;
});

namespace plat::web {

namespace {

class WebAudioOutput : public IAudioOutput {
 public:
  ~WebAudioOutput() override { Close(); }

  bool Attach(IAudioSource* source) override {
    if (!source) return false;
    if (!open && !Open()) return false;
    if (std::find(sources.begin(), sources.end(), source) == sources.end()) sources.push_back(source);
    return true;
  }
  void Detach(IAudioSource* source) override {
    std::erase(sources, source);
    if (sources.empty()) Close();
  }
  bool IsOpen() const override { return open; }
  // One thread: the page calls the mixer only between the game's own steps.
  void Lock() override {}
  void Unlock() override {}
  bool ConvertWave(const uint8_t* fmt, size_t fmtSize, const uint8_t* data, size_t dataSize,
                   std::vector<int16_t>& out) override {
    return ConvertToOutput(fmt, fmtSize, data, dataSize, out);
  }
  uint64_t MixedFrames() const override { return mixed; }
  uint64_t PlayedFrames() const override { return played; }

  // The next buffer of the stream, 2 * frames samples.
  const int16_t* Fill(int frames) {
    if (!open || frames <= 0) return nullptr;
    // The browser asks for a buffer once it has taken the last: that one is playing now,
    // everything before it has been heard.
    played = mixed - lastBuffer;
    lastBuffer = static_cast<uint64_t>(frames);
    mixed += lastBuffer;
    acc.assign(2 * static_cast<size_t>(frames), 0);
    out.resize(2 * static_cast<size_t>(frames));
    for (IAudioSource* s : sources) s->Mix(acc.data(), frames);
    for (size_t i = 0; i < acc.size(); ++i) out[i] = static_cast<int16_t>(std::clamp(acc[i], -32768, 32767));
    return out.data();
  }

 private:
  bool Open() {
    open = tw_audio_open(kAudioRate, kBufferFrames) != 0;
    return open;
  }
  void Close() {
    if (open) tw_audio_close();
    open = false;
    sources.clear();
  }

  bool open = false;
  std::vector<IAudioSource*> sources;
  std::vector<int32_t> acc;
  std::vector<int16_t> out;
  uint64_t mixed = 0, played = 0, lastBuffer = 0;
};

// "Sounds/theme2.mid" plays as music/theme2.ogg beside the page.
class WebMusic : public IMusicBackend {
 public:
  ~WebMusic() override { Close(); }
  bool Open(const std::string& path) override {
    const std::string url = MusicUrl(path);
    if (url.empty()) return false;
    tw_music(0, url.c_str(), 0, 0);
    return true;
  }
  bool Seek(uint32_t positionMs) override {
    Stop();
    tw_music(1, "", positionMs / 1000.0, 0);
    return true;
  }
  bool Play(std::function<void()> onEnd) override {
    end = std::move(onEnd);
    token = nextToken++;
    tw_music(2, "", 0, static_cast<int>(token));
    return true;
  }
  void Stop() override {
    token = 0;
    end = nullptr;
    tw_music(3, "", 0, 0);
  }
  void Close() override {
    token = 0;
    end = nullptr;
    tw_music(4, "", 0, 0);
  }
  void Ended(uint32_t t) {
    if (t == 0 || t != token) return;
    token = 0;
    std::function<void()> f = std::move(end);
    end = nullptr;
    if (f) f();
  }

  static std::string MusicUrl(const std::string& path) {
    const size_t slash = path.find_last_of("/\\");
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (name.size() < 5 || !SameText(name.substr(name.size() - 4), ".mid")) return {};
    name = name.substr(0, name.size() - 4);
    for (char c : name)
      if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-'))
        return {};
    return "music/" + LowerAscii(name) + ".ogg";
  }

 private:
  std::function<void()> end;
  uint32_t token = 0, nextToken = 1;
};

std::unique_ptr<InstalledAudio> gSet;
WebAudioOutput* gOutput = nullptr;
WebMusic* gMusic = nullptr;

}  // namespace

std::unique_ptr<IMusicBackend> CreateWebMusicBackend() {
  auto m = std::make_unique<WebMusic>();
  gMusic = m.get();
  return m;
}

void InstallWebAudio() {
  if (gSet) return;
  gSet = std::make_unique<InstalledAudio>();
  auto out = std::make_unique<WebAudioOutput>();
  gOutput = out.get();
  gSet->output = std::move(out);
  gSet->music = CreateWebMusicBackend();
  gSet->mci = std::make_unique<MciInterpreter>(gSet->music.get());
  gSet->Install();
}

void ShutdownWebAudio() {
  gSet.reset();
  gOutput = nullptr;
  gMusic = nullptr;
}

}  // namespace plat::web

extern "C" EMSCRIPTEN_KEEPALIVE const int16_t* tw_audio_fill(int frames) {
  return plat::web::gOutput ? plat::web::gOutput->Fill(frames) : nullptr;
}

extern "C" EMSCRIPTEN_KEEPALIVE void tw_music_ended(int token) {
  if (plat::web::gMusic) plat::web::gMusic->Ended(static_cast<uint32_t>(token));
}
