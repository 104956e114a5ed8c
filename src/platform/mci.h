// The media-control string interpreter: parses the music player's command strings and
// drives a music backend, posting the end notice to the main loop. And the sound a platform
// installs at start.
#pragma once
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/audio.h"

namespace plat {

// Error codes returned by SendString (0 is success).
enum MciError : int {
  kMciOk = 0,
  kMciUnrecognizedKeyword = 259,
  kMciUnrecognizedCommand = 261,
  kMciHardware = 262,
  kMciMissingParameter = 273,
  kMciBadInteger = 274,
  kMciFileNotFound = 275,
  kMciParamOverflow = 278,
  kMciDuplicateAlias = 289,
  kMciUnsupportedFunction = 274 + 10,  // 284
  kMciInvalidDevice = 257,
  kMciMissingCommandString = 267,
};

// What actually plays the pieces. Everything but the end callback runs on the main thread.
class IMusicBackend {
 public:
  virtual ~IMusicBackend() = default;
  // Loads a MIDI file (a native path). False when it cannot be read or played.
  virtual bool Open(const std::string& path) = 0;
  // Moves to a position in milliseconds; playing stops.
  virtual bool Seek(uint32_t positionMs) = 0;
  // Plays from the current position. `onEnd` runs once, from any thread, when the piece
  // reaches its end by itself; never after Stop, Close or the next Play has returned.
  virtual bool Play(std::function<void()> onEnd) = 0;
  // Stops where it is (the next Play goes on from there).
  virtual void Stop() = 0;
  virtual void Close() = 0;
};

class MciInterpreter : public IMediaControl {
 public:
  explicit MciInterpreter(IMusicBackend* backend) : backend_(backend) {}
  ~MciInterpreter() override;
  int SendString(const std::string& command) override;

  // For tests and the fuzzer: what is open, under which alias.
  bool IsOpen() const { return open_; }
  const std::string& Alias() const { return alias_; }

 private:
  struct Parsed;
  int Execute(const Parsed& p);
  // Ends a pending "notify" play with its notice (stopped, replaced).
  void EndPendingNotice();

  IMusicBackend* backend_;
  bool open_ = false;
  std::string alias_;
  // Token of the play whose end notice is still owed; 0 when none. Taken atomically by
  // whichever comes first: the piece's own end (audio thread) or a stop/replace (main).
  std::shared_ptr<std::atomic<uint64_t>> pending_ = std::make_shared<std::atomic<uint64_t>>(0);
  uint64_t nextToken_ = 1;
};

// The sound a platform installs at start: its output, the music player behind the media
// control (none where the system plays the music itself) and the media control. Install
// makes the output and the media control the ones in use; the destructor takes them out of
// use again and frees them in the order they depend on each other.
struct InstalledAudio {
  std::unique_ptr<IAudioOutput> output;
  std::unique_ptr<IMusicBackend> music;
  std::unique_ptr<IMediaControl> mci;
  void Install();
  ~InstalledAudio();
};

// Splits a command string into words; double quotes group (and are dropped), also in the
// middle of a word (sequencer!"a b.mid"). False on an unterminated quote.
bool SplitMciWords(const std::string& command, std::vector<std::string>& words);

}  // namespace plat
