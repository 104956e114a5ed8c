// Settings and progress: the six options in the settings store, the record in "Users.dat".
#include "settings/reestr.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/bytes.h"
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

// The six options as the store keeps them, in the order they are written. A flag is kept
// as 0 or -1 and stored as 0 or 1; Difficulty is a small number. When the key is there but
// a value is not, the value read so far stays, or the fallback is taken where one is given;
// a flag stored as something other than a DWORD always keeps what we have.
enum class TWhenMissing : uint8_t { Keep, Fallback };

struct TSettingEntry {
  const char* Name;                   // the value's name under kSettingsKey
  int32_t TSettings::*Flag;           // an on/off option ...
  uint8_t TSettings::*Number;         // ... or a number from 0 to 255
  int32_t Default;                    // before the store is read
  TWhenMissing WhenMissing;
  int32_t Fallback;                   // with TWhenMissing::Fallback, and for a bad number
};

constexpr TSettingEntry kSettingTable[] = {
    {"Sounds", &TSettings::Sounds, nullptr, kOn, TWhenMissing::Keep, 0},
    {"Music", &TSettings::Music, nullptr, kOn, TWhenMissing::Keep, 0},
    {"Difficulty", nullptr, &TSettings::Difficulty, 1, TWhenMissing::Fallback, 1},
    {"Full", &TSettings::Full, nullptr, kOn, TWhenMissing::Keep, 0},
    {"Tips", &TSettings::Tips, nullptr, kOn, TWhenMissing::Fallback, kOn},
    // A key without "3D" is from a version that always drew the 3D look.
    {"3D", &TSettings::Use3D, nullptr, 0, TWhenMissing::Fallback, kOn},
};

// A TSettings made from nothing holds the table's defaults too (tests and the options
// screen start from it).
constexpr bool StructAgreesWithTable() {
  constexpr TSettings fresh{};
  for (const TSettingEntry& e : kSettingTable) {
    const int32_t v = e.Flag ? fresh.*e.Flag : fresh.*e.Number;
    if (v != e.Default) return false;
  }
  return true;
}
static_assert(StructAgreesWithTable(), "TSettings' initial values differ from kSettingTable");

void Assign(const TSettingEntry& e, int32_t value) {
  if (e.Number)
    Settings.*e.Number = static_cast<uint8_t>(value);
  else
    Settings.*e.Flag = value;
}

void ReadEntry(const plat::IRegistry& store, const TSettingEntry& e) {
  uint32_t v;
  const bool isDword = store.ReadDword(kSettingsKey, e.Name, v);
  if (e.Number) {
    Assign(e, isDword && v <= 255 ? static_cast<int32_t>(v) : e.Fallback);
    return;
  }
  if (isDword)
    Assign(e, AsFlag(v));
  else if (e.WhenMissing == TWhenMissing::Fallback && !store.ValueExists(kSettingsKey, e.Name))
    Assign(e, e.Fallback);
}

uint32_t StoredValue(const TSettingEntry& e) {
  return e.Flag ? FlagToStore(Settings.*e.Flag) : Settings.*e.Number;
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
  // At most the record's size was read; an empty or missing file leaves it as it is.
  std::copy(bytes.begin(), bytes.end(), PlayerRecord.Bytes.begin());
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

void ResetSettings() {
  Settings = TSettings{};
  PlayerRecord = TPlayerRecord{};
}

std::string SettingsStorePath() { return plat::Platform().ConfigDir() + "user.reg"; }

void ReadRegistrySettings() {
  std::unique_ptr<plat::IRegistry> reg = plat::Platform().OpenUserRegistry();
  plat::IRegistry& store = *reg;
  if (!store.Load())
    std::fprintf(stderr, "Tangrel 2.0: %s; using the default settings\n", store.ErrorText().c_str());
  ReadWindowSize(store);  // under a key of its own: read whether or not the options are there
  if (!store.KeyExists(kSettingsKey)) return;

  for (const TSettingEntry& e : kSettingTable) ReadEntry(store, e);

  // Left over from earlier versions; nothing uses them.
  bool removed = store.DeleteValue(kSettingsKey, "Scoring");
  removed = store.DeleteValue(kSettingsKey, "Random") || removed;
  if (removed && !store.Save()) ReportStoreFailure(store);
}

void LoadSettings() {
  InitPlayerRecord();
  for (const TSettingEntry& e : kSettingTable) Assign(e, e.Default);
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
  // Taken out first so they land in the table's order.
  for (const TSettingEntry& e : kSettingTable) store.DeleteValue(kSettingsKey, e.Name);
  store.CreateKey(kSettingsKey);
  for (const TSettingEntry& e : kSettingTable) store.WriteDword(kSettingsKey, e.Name, StoredValue(e));
  WriteWindowSize(store);
  bool ok = store.Save();
  if (!ok) ReportStoreFailure(store);
  // The progress is written even when the options could not be.
  return WriteProgressFile() && ok;
}

int32_t TPlayerRecord::GetInt32(size_t offset) const {
  if (offset + 4 > Bytes.size()) return 0;
  return static_cast<int32_t>(plat::Le32(Bytes.data() + offset));
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
