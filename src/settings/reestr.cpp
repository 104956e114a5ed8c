// Settings and progress: the six options in the settings store, the record in "Users.dat".
#include "settings/reestr.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/platform.h"
#include "platform/registry.h"
#include "platform/settings_store.h"
#include "settings/window_size.h"

TSettings Settings;
TPlayerRecord PlayerRecord;

namespace {

constexpr int32_t kOn = -1;  // what the game keeps in memory for an option that is on

// Names are one length byte and the characters; the rest of the field stays zero.
void PutName(size_t offset, const char* name) {
  size_t n = std::strlen(name);
  PlayerRecord.Bytes[offset] = static_cast<uint8_t>(n);
  std::memcpy(PlayerRecord.Bytes.data() + offset + 1, name, n);
}

void ReportSaveFailure(const std::string& what, const std::string& why) {
  std::fprintf(stderr, "Tangrel 2.0: cannot save %s: %s\n", what.c_str(), why.c_str());
}

// The store's own error text already names the file and says why.
void ReportStoreFailure(const plat::IRegistry& store) {
  std::fprintf(stderr, "Tangrel 2.0: %s\n", store.ErrorText().c_str());
}

int32_t AsFlag(uint32_t stored) { return stored != 0 ? kOn : 0; }
uint32_t FlagToStore(int32_t flag) { return flag != 0 ? 1u : 0u; }

// Reads a flag when it is there as a DWORD; anything else keeps what we have.
void ReadFlag(const plat::IRegistry& store, const char* name, int32_t& flag) {
  uint32_t v;
  if (store.ReadDword(kSettingsKey, name, v)) flag = AsFlag(v);
}

// The first kPlayerRecordSize bytes of the file go over the leading bytes of the record; a
// longer file is never ours, so its tail is ignored rather than folded over the start.
void ReadProgressFile() {
  std::vector<uint8_t> bytes;
  bool exists = false, overLimit = false;
  std::string error;
  if (!plat::ReadFileLimited(kProgressFile, kPlayerRecordSize, bytes, exists, overLimit, error)) {
    std::fprintf(stderr, "Tangrel 2.0: cannot read %s: %s\n", kProgressFile, error.c_str());
    return;
  }
  if (exists) std::memcpy(PlayerRecord.Bytes.data(), bytes.data(), bytes.size());
}

}  // namespace

void InitPlayerRecord() {
  PlayerRecord.Bytes.fill(0);
  PutName(0, "Name");
  for (int k = 1; k <= 10; ++k) {
    size_t entry = 4756 + 32 * static_cast<size_t>(k - 1);
    PutName(entry, "Name");
    PlayerRecord.SetInt32(entry + 24, 60 - 10 * k);
    PlayerRecord.SetInt32(entry + 28, 600 - 100 * k);
  }
}

std::string SettingsStorePath() { return plat::Platform().ConfigDir() + "user.reg"; }

void ReadRegistrySettings() {
  std::unique_ptr<plat::IRegistry> reg = plat::Platform().OpenUserRegistry();
  plat::IRegistry& store = *reg;
  if (!store.Load())
    std::fprintf(stderr, "Tangrel 2.0: %s; using the default settings\n", store.ErrorText().c_str());
  ReadWindowSize(store);  // under a key of its own: read whether or not the options are there
  if (!store.KeyExists(kSettingsKey)) return;

  ReadFlag(store, "Sounds", Settings.Sounds);
  ReadFlag(store, "Music", Settings.Music);
  ReadFlag(store, "Full", Settings.Full);
  if (store.ValueExists(kSettingsKey, "Tips")) ReadFlag(store, "Tips", Settings.Tips);
  else Settings.Tips = kOn;
  // A key without "3D" is from a version that always drew the 3D look.
  if (store.ValueExists(kSettingsKey, "3D")) ReadFlag(store, "3D", Settings.Use3D);
  else Settings.Use3D = kOn;
  uint32_t difficulty;
  if (store.ReadDword(kSettingsKey, "Difficulty", difficulty) && difficulty <= 255)
    Settings.Difficulty = static_cast<uint8_t>(difficulty);
  else
    Settings.Difficulty = 1;

  // Left over from earlier versions; nothing uses them.
  bool removed = store.DeleteValue(kSettingsKey, "Scoring");
  removed = store.DeleteValue(kSettingsKey, "Random") || removed;
  if (removed && !store.Save()) ReportStoreFailure(store);
}

void LoadSettings() {
  InitPlayerRecord();
  Settings = TSettings{};
  Settings.Sounds = kOn;
  Settings.Music = kOn;
  Settings.Full = kOn;
  Settings.Tips = kOn;
  Settings.Use3D = 0;
  Settings.Difficulty = 1;
  ReadRegistrySettings();
  ReadProgressFile();
}

bool WriteProgressFile() {
  std::string error;
  if (!plat::WriteFileAtomically(kProgressFile, PlayerRecord.Bytes.data(), PlayerRecord.Bytes.size(),
                                 false, error)) {
    ReportSaveFailure(kProgressFile, error);
    return false;
  }
  return true;
}

bool SaveSettings() {
  // Start from what is on disk so other keys and values survive; a store we cannot read
  // is rewritten cleanly with just our key.
  std::unique_ptr<plat::IRegistry> reg = plat::Platform().OpenUserRegistry();
  plat::IRegistry& store = *reg;
  if (!store.Load()) store.Clear();
  store.DeleteValue(kSettingsKey, "Scoring");
  store.DeleteValue(kSettingsKey, "Random");
  const char* names[] = {"Sounds", "Music", "Difficulty", "Full", "Tips", "3D"};
  for (const char* n : names) store.DeleteValue(kSettingsKey, n);  // so they land in this order
  store.CreateKey(kSettingsKey);
  store.WriteDword(kSettingsKey, "Sounds", FlagToStore(Settings.Sounds));
  store.WriteDword(kSettingsKey, "Music", FlagToStore(Settings.Music));
  store.WriteDword(kSettingsKey, "Difficulty", Settings.Difficulty);
  store.WriteDword(kSettingsKey, "Full", FlagToStore(Settings.Full));
  store.WriteDword(kSettingsKey, "Tips", FlagToStore(Settings.Tips));
  store.WriteDword(kSettingsKey, "3D", FlagToStore(Settings.Use3D));
  WriteWindowSize(store);
  bool ok = store.Save();
  if (!ok) ReportStoreFailure(store);
  // The progress is written even when the options could not be.
  return WriteProgressFile() && ok;
}

static uint32_t ReadLE32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
int32_t TPlayerRecord::GetInt32(size_t offset) const {
  if (offset + 4 > Bytes.size()) return 0;
  return static_cast<int32_t>(ReadLE32(Bytes.data() + offset));
}
void TPlayerRecord::SetInt32(size_t offset, int32_t value) {
  if (offset + 4 > Bytes.size()) return;
  uint32_t v = static_cast<uint32_t>(value);
  for (int i = 0; i < 4; ++i) Bytes[offset + i] = static_cast<uint8_t>(v >> (8 * i));
}
int32_t TPlayerRecord::SolvedFlags(int level) const {
  if (level < 0 || level > 99) return 0;
  return GetInt32(kSolvedFlagsOffset + 4 * static_cast<size_t>(level));
}
void TPlayerRecord::SetSolvedFlags(int level, int32_t value) {
  if (level < 0 || level > 99) return;
  SetInt32(kSolvedFlagsOffset + 4 * static_cast<size_t>(level), value);
}
int32_t TPlayerRecord::SolvedCount() const { return GetInt32(kSolvedCountOffset); }
void TPlayerRecord::SetSolvedCount(int32_t value) { SetInt32(kSolvedCountOffset, value); }
