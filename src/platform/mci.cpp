// The media-control string interpreter (open/seek/play/stop/close on one aliased
// sequencer), and the holders of the audio output and media control in use.
#include "platform/mci.h"

#include <cctype>
#include <exception>

#include "platform/platform.h"
#include "platform/text.h"

namespace plat {

namespace {
IAudioOutput* gAudio = nullptr;
IMediaControl* gMediaControl = nullptr;

bool SameWord(const std::string& a, const char* b) { return SameText(a, b); }

// The end notice goes to the main loop; with no platform there is nobody to tell.
void PostNotice() {
  try {
    Event e;
    e.Kind = EventKind::MusicNotify;
    Platform().PostEvent(e);
  } catch (const std::exception&) {
  }
}

// A plain decimal number within 32 bits.
int ParsePosition(const std::string& w, uint32_t& value) {
  if (w.empty()) return kMciMissingParameter;
  uint64_t v = 0;
  for (char c : w) {
    if (c < '0' || c > '9') return kMciBadInteger;
    v = v * 10 + static_cast<uint64_t>(c - '0');
    if (v > 0xFFFFFFFFull) return kMciParamOverflow;
  }
  value = static_cast<uint32_t>(v);
  return kMciOk;
}
}  // namespace

IAudioOutput* Audio() { return gAudio; }
void SetAudio(IAudioOutput* audio) { gAudio = audio; }
IMediaControl* MediaControl() { return gMediaControl; }
void SetMediaControl(IMediaControl* control) { gMediaControl = control; }

void InstalledAudio::Install() {
  SetAudio(output.get());
  SetMediaControl(mci.get());
}

InstalledAudio::~InstalledAudio() {
  if (MediaControl() == mci.get()) SetMediaControl(nullptr);
  if (Audio() == output.get()) SetAudio(nullptr);
  mci.reset();     // closes the piece
  music.reset();   // off the stream, then the synthesiser goes
  output.reset();  // closes the stream
}

bool SplitMciWords(const std::string& command, std::vector<std::string>& words) {
  words.clear();
  std::string cur;
  bool inWord = false, quoted = false;
  for (char c : command) {
    if (c == '"') {
      quoted = !quoted;
      inWord = true;  // "" is an (empty) word of its own
    } else if (!quoted && (c == ' ' || c == '\t' || c == '\r' || c == '\n')) {
      if (inWord) words.push_back(cur);
      cur.clear();
      inWord = false;
    } else {
      cur += c;
      inWord = true;
    }
  }
  if (quoted) return false;
  if (inWord) words.push_back(cur);
  return true;
}

struct MciInterpreter::Parsed {
  enum Verb { Open, Seek, Play, Stop, Close } verb = Open;
  std::string device;   // alias (or "all") for everything but open
  std::string element;  // open: the file
  std::string alias;    // open: "alias" given
  bool hasFrom = false;
  uint32_t position = 0;  // seek "to", play "from"
  bool notify = false;
  bool wait = false;
};

MciInterpreter::~MciInterpreter() {
  pending_->store(0);
  if (open_) {
    backend_->Stop();
    backend_->Close();
  }
}

int MciInterpreter::SendString(const std::string& command) {
  std::vector<std::string> w;
  if (!SplitMciWords(command, w)) return kMciMissingParameter;
  if (w.empty()) return kMciMissingCommandString;
  Parsed p;
  size_t i = 2;
  if (SameWord(w[0], "open")) {
    p.verb = Parsed::Open;
    if (w.size() < 2) return kMciMissingParameter;
    const std::string& deviceWord = w[1];
    size_t bang = deviceWord.find('!');
    if (bang != std::string::npos) {
      if (!SameWord(deviceWord.substr(0, bang), "sequencer")) return kMciInvalidDevice;
      p.element = deviceWord.substr(bang + 1);
    } else {
      p.element = deviceWord;
    }
    if (p.element.empty()) return kMciMissingParameter;
  } else if (SameWord(w[0], "seek")) {
    p.verb = Parsed::Seek;
  } else if (SameWord(w[0], "play")) {
    p.verb = Parsed::Play;
  } else if (SameWord(w[0], "stop")) {
    p.verb = Parsed::Stop;
  } else if (SameWord(w[0], "close")) {
    p.verb = Parsed::Close;
  } else {
    return kMciUnrecognizedCommand;
  }
  if (p.verb != Parsed::Open) {
    if (w.size() < 2) return kMciMissingParameter;
    p.device = w[1];
  }
  bool hasTo = false;
  for (; i < w.size(); ++i) {
    const std::string& k = w[i];
    if (SameWord(k, "wait")) {
      p.wait = true;
    } else if (SameWord(k, "notify")) {
      p.notify = true;
    } else if (p.verb == Parsed::Open && SameWord(k, "alias")) {
      if (++i >= w.size() || w[i].empty()) return kMciMissingParameter;
      p.alias = w[i];
    } else if (p.verb == Parsed::Open && SameWord(k, "type")) {
      if (++i >= w.size()) return kMciMissingParameter;
      if (!SameWord(w[i], "sequencer")) return kMciInvalidDevice;
    } else if ((p.verb == Parsed::Seek && SameWord(k, "to")) ||
               (p.verb == Parsed::Play && SameWord(k, "from"))) {
      if (++i >= w.size()) return kMciMissingParameter;
      if (p.verb == Parsed::Seek && SameWord(w[i], "start")) {
        p.position = 0;
      } else {
        int r = ParsePosition(w[i], p.position);
        if (r != kMciOk) return r;
      }
      if (p.verb == Parsed::Seek) hasTo = true; else p.hasFrom = true;
    } else {
      return kMciUnrecognizedKeyword;
    }
  }
  if (p.verb == Parsed::Seek && !hasTo) return kMciMissingParameter;
  // Playing with "wait" would hold the whole program for the length of a piece.
  if (p.verb == Parsed::Play && p.wait) return kMciUnsupportedFunction;
  return Execute(p);
}

void MciInterpreter::EndPendingNotice() {
  if (pending_->exchange(0) != 0) PostNotice();
}

int MciInterpreter::Execute(const Parsed& p) {
  if (p.verb == Parsed::Open) {
    std::string alias = p.alias.empty() ? p.element : p.alias;
    if (open_) return SameText(alias, alias_) ? kMciDuplicateAlias : kMciHardware;
    if (!backend_->Open(NativePath(p.element))) return kMciFileNotFound;
    open_ = true;
    alias_ = alias;
    if (p.notify) PostNotice();
    return kMciOk;
  }
  bool all = p.verb == Parsed::Close && SameWord(p.device, "all");
  if (!all && (!open_ || !SameText(p.device, alias_))) return kMciInvalidDevice;
  switch (p.verb) {
    case Parsed::Seek:
      // Seeking stops the piece: a play waiting for its end notice is ended now.
      backend_->Stop();
      EndPendingNotice();
      if (!backend_->Seek(p.position)) return kMciHardware;
      break;
    case Parsed::Play: {
      backend_->Stop();
      EndPendingNotice();  // the earlier play is replaced
      if (p.hasFrom && !backend_->Seek(p.position)) return kMciHardware;
      if (p.notify) {
        uint64_t token = nextToken_++;
        pending_->store(token);
        std::shared_ptr<std::atomic<uint64_t>> pending = pending_;
        bool ok = backend_->Play([pending, token] {
          uint64_t expected = token;
          if (pending->compare_exchange_strong(expected, 0)) PostNotice();
        });
        if (!ok) {
          pending_->store(0);
          return kMciHardware;
        }
        return kMciOk;
      }
      if (!backend_->Play([] {})) return kMciHardware;
      return kMciOk;
    }
    case Parsed::Stop:
      backend_->Stop();
      EndPendingNotice();
      break;
    case Parsed::Close:
      if (open_) {
        backend_->Stop();
        EndPendingNotice();
        backend_->Close();
        open_ = false;
        alias_.clear();
      }
      break;
    case Parsed::Open:
      break;
  }
  if (p.notify) PostNotice();
  return kMciOk;
}

}  // namespace plat
