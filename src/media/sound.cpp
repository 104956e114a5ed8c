// The sound device on the one audio output, the effect list and its items' copy rules.
#include "media/sound.h"

#include <algorithm>
#include <cctype>

#include "app/mainform.h"
#include "media/package.h"
#include "platform/platform.h"
#include "settings/reestr.h"

// --- TSoundDevice ------------------------------------------------------------

TSoundDevice::TSoundDevice() = default;

TSoundDevice::~TSoundDevice() {
  Finalize();
  // A list that outlives its device forgets it rather than call into freed memory.
  for (TWaveList* l : std::vector<TWaveList*>(lists)) l->DeviceGone();
}

bool TSoundDevice::Initialize() {
  if (open) return true;
  plat::IAudioOutput* out = plat::Audio();
  if (!out || !out->Attach(&mixer)) return false;
  output = out;
  open = true;
  for (TWaveList* l : lists) l->DeviceInitialized();
  return true;
}

void TSoundDevice::Finalize() {
  if (!open) return;
  // Off the stream first: after Detach the audio thread never reads a copy again.
  // (Unless the output itself has already been taken down, stream and all.)
  if (plat::Audio() == output) output->Detach(&mixer);
  open = false;
  for (TWaveList* l : lists) l->DeviceFinalized();
  mixer.Buffers.clear();
  buffers.clear();
  output = nullptr;
}

std::shared_ptr<const TWavePcm> TSoundDevice::Convert(const std::vector<uint8_t>& format,
                                                      const std::vector<uint8_t>& data) {
  if (!open || format.size() < 16) return nullptr;
  auto pcm = std::make_shared<TWavePcm>();
  if (!output->ConvertWave(format.data(), format.size(), data.data(), data.size(), pcm->Samples))
    return nullptr;
  pcm->SourceRate = static_cast<uint32_t>(format[4]) | static_cast<uint32_t>(format[5]) << 8 |
                    static_cast<uint32_t>(format[6]) << 16 | static_cast<uint32_t>(format[7]) << 24;
  return pcm;
}

TSoundBuffer* TSoundDevice::CreateBuffer(std::shared_ptr<const TWavePcm> pcm) {
  if (!open || !pcm) return nullptr;
  auto b = std::make_unique<TSoundBuffer>();
  b->Pcm = std::move(pcm);
  TSoundBuffer* raw = b.get();
  buffers.push_back(std::move(b));
  plat::AudioLock lock(output);
  mixer.Buffers.push_back(raw);
  return raw;
}

void TSoundDevice::FreeBuffer(TSoundBuffer* b) {
  if (!b) return;
  {
    plat::AudioLock lock(open ? output : nullptr);
    std::erase(mixer.Buffers, b);
  }
  std::erase_if(buffers, [b](const std::unique_ptr<TSoundBuffer>& p) { return p.get() == b; });
}

void TSoundDevice::Start(TSoundBuffer* b, bool loop, int32_t volume, int32_t pan,
                         int32_t frequency) {
  if (!open || !b) return;
  plat::AudioLock lock(output);
  b->Playing = false;
  b->Pos = 0;
  SetBufferParams(*b, volume, pan, frequency);
  b->Looping = loop;
  b->Playing = true;
}

bool TSoundDevice::IsPlaying(const TSoundBuffer* b) {
  if (!open || !b) return false;
  plat::AudioLock lock(output);
  return b->Playing;
}

int64_t TSoundDevice::FramesLeft(const TSoundBuffer* b) {
  if (!open || !b || !b->Pcm) return 0;
  plat::AudioLock lock(output);
  if (!b->Playing) return 0;
  uint64_t len = static_cast<uint64_t>(b->Pcm->Frames()) << 32;
  if (b->Pos >= len || b->Step == 0) return 0;
  return static_cast<int64_t>((len - b->Pos) / b->Step + 1);
}

uint64_t TSoundDevice::MixedMark() const { return open && output ? output->MixedFrames() : 0; }

bool TSoundDevice::PlayedUpTo(uint64_t mark) const {
  return !open || !output || output->PlayedFrames() >= mark;
}

void TSoundDevice::AddList(TWaveList* l) { lists.push_back(l); }
void TSoundDevice::RemoveList(TWaveList* l) { std::erase(lists, l); }

// --- TWaveItem ---------------------------------------------------------------

TWaveItem::TWaveItem() = default;
TWaveItem::~TWaveItem() { Finalize(); }

void TWaveItem::Initialize(TSoundDevice* d) {
  Finalize();
  device = d;
  if (!device || !device->Initialized()) return;
  pcm = device->Convert(Format, Data);
  if (!pcm) return;  // a wave we cannot play stays silent
  if (TSoundBuffer* b = device->CreateBuffer(pcm)) copies.push_back(b);
}

void TWaveItem::Finalize() {
  if (device)
    for (TSoundBuffer* b : copies) device->FreeBuffer(b);
  copies.clear();
  pcm.reset();
}

void TWaveItem::Play(bool wait) {
  if (copies.empty() || !device || !device->Initialized()) return;
  if (Looped) {
    device->Start(copies.front(), true, Volume, Pan, Frequency);
    return;
  }
  TSoundBuffer* copy = nullptr;
  for (TSoundBuffer* b : copies)
    if (!device->IsPlaying(b)) {
      copy = b;
      break;
    }
  if (!copy) {
    if (MaxPlayingCount > 0 && copies.size() >= static_cast<size_t>(MaxPlayingCount)) {
      copy = copies.front();
      copies.erase(copies.begin());
      copies.push_back(copy);
    } else {
      copy = device->CreateBuffer(pcm);
      if (!copy) return;
      copies.push_back(copy);
    }
  }
  device->Start(copy, false, Volume, Pan, Frequency);
  if (!wait) return;
  // The whole program waits, polling every 10 ms. Should the stream stall, give up a
  // second after the sound ought to have ended rather than hang.
  int64_t limitMs = device->FramesLeft(copy) * 1000 / plat::kAudioRate + 1000;
  int64_t waited = 0;
  for (; device->IsPlaying(copy) && waited <= limitMs; waited += 10) plat::Platform().Sleep(10);
  if (device->IsPlaying(copy)) return;
  // The last sample has left the mixer, but the device still holds a buffer or more of
  // output: the sound has been heard once the device has played everything mixed up to now
  // (closing the program straight after must not cut its end off).
  const uint64_t mark = device->MixedMark();
  for (; !device->PlayedUpTo(mark) && waited <= limitMs; waited += 10) plat::Platform().Sleep(10);
}

// --- TWaveList ---------------------------------------------------------------

TWaveList::TWaveList(TSoundDevice* d) : device(d) {
  if (device) device->AddList(this);
}

TWaveList::~TWaveList() {
  Clear();
  if (device) device->RemoveList(this);
}

void TWaveList::Clear() { Items.clear(); }

TWaveItem& TWaveList::Add(std::unique_ptr<TWaveItem> item) {
  Items.push_back(std::move(item));
  TWaveItem& it = *Items.back();
  it.Initialize(device);
  return it;
}

void TWaveList::LoadFromFile(const std::string& fileName) {
  std::vector<uint8_t> bytes = ReadPackageFile(fileName);  // fails before the list changes
  Clear();
  std::vector<TWaveItemData> read;
  auto take = [this, &read] {
    for (TWaveItemData& d : read) {
      auto item = std::make_unique<TWaveItem>();
      item->Name = std::move(d.Name);
      item->Looped = d.Looped;
      item->MaxPlayingCount = d.MaxPlayingCount;
      item->Format = std::move(d.Format);
      item->Data = std::move(d.Data);
      Add(std::move(item));
    }
    read.clear();
  };
  try {
    ParseWavePackage(bytes.data(), bytes.size(), read);
  } catch (...) {
    take();  // the items read before the failure stay
    throw;
  }
  take();
}

TWaveItem& TWaveList::Find(const std::string& name) {
  for (auto& it : Items) {
    const std::string& n = it->Name;
    if (n.size() == name.size() &&
        std::equal(n.begin(), n.end(), name.begin(), [](char a, char b) {
          return std::tolower(static_cast<unsigned char>(a)) ==
                 std::tolower(static_cast<unsigned char>(b));
        }))
      return *it;
  }
  throw EGameError("Wave '" + name + "' not found");
}

void TWaveList::DeviceInitialized() {
  for (auto& it : Items) it->Initialize(device);
}

void TWaveList::DeviceFinalized() {
  for (auto& it : Items) it->Finalize();
}

void TWaveList::DeviceGone() {
  for (auto& it : Items) it->Initialize(nullptr);
  device = nullptr;
}

// --- start-up ----------------------------------------------------------------

void InitSound(TSoundDevice& device, TWaveList& list) {
  if (Settings.Sounds && !device.Initialize()) {
    Settings.Sounds = 0;
    Settings.Music = 0;
  }
  list.LoadFromFile(plat::Platform().ProgramDir() + "Sounds.spk");
}

void SetEffectsAudible(bool audible) {
  if (MainForm) MainForm->SoundDevice.SetEffectsAudible(audible);
}

void InitSound() {
  if (!MainForm) return;
  InitSound(MainForm->SoundDevice, MainForm->WaveList);
}
