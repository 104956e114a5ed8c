// The sound device, its mixer of playing copies, and the effect list.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "media/mixer.h"

class TWaveList;

class TSoundDevice {
 public:
  TSoundDevice();
  ~TSoundDevice();
  TSoundDevice(const TSoundDevice&) = delete;
  TSoundDevice& operator=(const TSoundDevice&) = delete;
  // Opens the audio output (plat::Audio()); false when it cannot. The lists bound to the
  // device get their buffers.
  bool Initialize();
  // Stops the mixer on the audio stream first, then frees every buffer.
  void Finalize();
  bool Initialized() const { return open; }
  // Effects are heard only while the game's window is active (AppActivate/AppDeactivate).
  void SetEffectsAudible(bool audible) { mixer.Audible.store(audible); }
  bool EffectsAudible() const { return mixer.Audible.load(); }

  // --- for the effect list ----------------------------------------------------
  // Converts a wave to the output format; null when the device is closed or the format
  // cannot be converted.
  std::shared_ptr<const TWavePcm> Convert(const std::vector<uint8_t>& format,
                                          const std::vector<uint8_t>& data);
  // A new idle copy on the mixer; null when the device is closed.
  TSoundBuffer* CreateBuffer(std::shared_ptr<const TWavePcm> pcm);
  void FreeBuffer(TSoundBuffer* b);
  // Stops b, rewinds it, gives it the parameters and starts it.
  void Start(TSoundBuffer* b, bool loop, int32_t volume, int32_t pan, int32_t frequency);
  bool IsPlaying(const TSoundBuffer* b);
  // Frames of output the copy still has to play (for a bounded wait).
  int64_t FramesLeft(const TSoundBuffer* b);
  // Whether the device has played everything mixed so far (what the output has heard of a
  // sound that just left the mixer). Marks come from MixedMark.
  uint64_t MixedMark() const;
  bool PlayedUpTo(uint64_t mark) const;

  void AddList(TWaveList* l);
  void RemoveList(TWaveList* l);

  TMixer& Mixer() { return mixer; }

 private:
  TMixer mixer;
  bool open = false;
  plat::IAudioOutput* output = nullptr;
  std::vector<std::unique_ptr<TSoundBuffer>> buffers;
  std::vector<TWaveList*> lists;
};

class TWaveItem {
 public:
  TWaveItem();
  ~TWaveItem();
  TWaveItem(const TWaveItem&) = delete;
  TWaveItem& operator=(const TWaveItem&) = delete;

  std::string Name;
  bool Looped = false;
  int32_t MaxPlayingCount = 0;
  std::vector<uint8_t> Format;  // "fmt " chunk bytes
  std::vector<uint8_t> Data;    // samples
  int32_t Volume = 0;           // 0 full, negative hundredths of a decibel
  int32_t Pan = 0;              // -10000 left .. 10000 right
  int32_t Frequency = 0;        // 0: the wave's own rate
  void Play(bool wait);

  // The playing copies, oldest first; the first is the main buffer. Empty while the
  // device is closed or when the wave could not be converted.
  const std::vector<TSoundBuffer*>& Copies() const { return copies; }
  // Makes the main buffer when the device is open (done by the list).
  void Initialize(TSoundDevice* device);
  // Frees the copies (the device is closing, or the item goes).
  void Finalize();

 private:
  TSoundDevice* device = nullptr;
  std::shared_ptr<const TWavePcm> pcm;
  std::vector<TSoundBuffer*> copies;
};

class TWaveList {
 public:
  explicit TWaveList(TSoundDevice* device = nullptr);
  ~TWaveList();
  TWaveList(const TWaveList&) = delete;
  TWaveList& operator=(const TWaveList&) = delete;
  std::vector<std::unique_ptr<TWaveItem>> Items;
  // Replaces all items with those of a wave package; "Cannot open file %s" leaves them.
  void LoadFromFile(const std::string& fileName);
  TWaveItem& Find(const std::string& name);  // "Wave '%s' not found"
  int32_t Count() const { return static_cast<int32_t>(Items.size()); }
  // Adds an item at the end; it gets its buffer when the device is open.
  TWaveItem& Add(std::unique_ptr<TWaveItem> item);
  void Clear();

  // Called by the device when it opens and closes, and when it goes before the list.
  void DeviceInitialized();
  void DeviceFinalized();
  void DeviceGone();

 private:
  TSoundDevice* device;
};

// Effects are heard only while the game's window is active: AppActivate and
// AppDeactivate switch the main form's sound device with this.
void SetEffectsAudible(bool audible);

// Opens the sound device when Sounds is on (failure turns Sounds and Music off) and loads
// the effects from "Sounds.spk" in the program's folder.
void InitSound();
// The same on a given device and list.
void InitSound(TSoundDevice& device, TWaveList& list);
