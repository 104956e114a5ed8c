// The sound device, its mixer of playing copies, and the effect list.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TSoundDevice {
 public:
  TSoundDevice();
  ~TSoundDevice();
  // Opens the audio output; false when it cannot.
  bool Initialize();
  void Finalize();
  bool Initialized() const;
};

class TWaveItem {
 public:
  std::string Name;
  bool Looped = false;
  int32_t MaxPlayingCount = 0;
  std::vector<uint8_t> Format;  // "fmt " chunk bytes
  std::vector<uint8_t> Data;    // samples
  int32_t Volume = 0;           // 0 full, negative hundredths of a decibel
  int32_t Pan = 0;              // -10000 left .. 10000 right
  int32_t Frequency = 0;        // 0: the wave's own rate
  void Play(bool wait);
};

class TWaveList {
 public:
  explicit TWaveList(TSoundDevice* device = nullptr);
  ~TWaveList();
  std::vector<std::unique_ptr<TWaveItem>> Items;
  void LoadFromFile(const std::string& fileName);
  TWaveItem& Find(const std::string& name);  // "Wave '%s' not found"
  int32_t Count() const { return static_cast<int32_t>(Items.size()); }

 private:
  TSoundDevice* device;
};

// Opens the sound device when Sounds is on (failure turns Sounds and Music off) and loads
// the effects from "Sounds.spk" in the program's folder.
void InitSound();
