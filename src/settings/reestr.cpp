// Settings and progress: the six options in the settings store, the record in "Users.dat".
#include "settings/reestr.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
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

bool gLoaded = false;          // LoadSettings has run: what is written was read first
bool gProgressBlocked = false;  // a damaged Users.dat could not be moved aside: never write over it
bool gToldCannotSave = false;   // the player has been told that progress cannot be saved

constexpr size_t kNameField = 24;      // a length byte and up to 23 characters
constexpr size_t kEntriesOffset = 4756;
constexpr size_t kStartMarkOffset = 432;

int32_t MarkAt(const uint8_t* b, int level) {
  return static_cast<int32_t>(plat::Le32(b + kSolvedFlagsOffset + 4 * static_cast<size_t>(level)));
}
int32_t MarksIn(const uint8_t* b) {
  int32_t n = 0;
  for (int l = 0; l < 100; ++l) n += MarkAt(b, l) != 0;
  return n;
}

// What is wrong with a record image of the right size; empty when nothing is. The count is
// left out when checkCount is false (a record pieced together from a short file).
std::string RecordFault(const uint8_t* b, bool checkCount) {
  if (b[0] >= kNameField) return "the player's name is longer than its field";
  for (int l = 0; l < 100; ++l) {
    const int32_t m = MarkAt(b, l);
    if (m != 0 && m != -1 && m != 1)
      return "the mark of level " + std::to_string(l) + " is neither solved nor unsolved";
  }
  const int32_t count = static_cast<int32_t>(plat::Le32(b + kSolvedCountOffset));
  if (checkCount && count != MarksIn(b))
    return "it counts " + std::to_string(count) + " solved levels but marks " + std::to_string(MarksIn(b));
  if (b[kStartMarkOffset] > 1) return "its start mark is neither 0 nor 1";
  for (int k = 1; k <= 10; ++k)
    if (b[kEntriesOffset + 32 * static_cast<size_t>(k - 1)] >= kNameField)
      return "the name of score entry " + std::to_string(k) + " is longer than its field";
  return {};
}

// What is wrong with the size of a progress file of size bytes (more when overLimit).
std::string SizeFault(size_t size, bool overLimit) {
  if (overLimit) return "it is longer than " + std::to_string(kPlayerRecordSize) + " bytes";
  if (size != kPlayerRecordSize)
    return "it is " + std::to_string(size) + " bytes long, not " + std::to_string(kPlayerRecordSize);
  return {};
}

// Reads "Users.dat" as it stands (at most a record's bytes) and checks it: false when it
// cannot be read (error says why); else exists, the bytes, and what is wrong with them (empty
// when the file is one the game wrote).
bool ReadStoredProgress(std::vector<uint8_t>& bytes, bool& exists, std::string& fault, std::string& error) {
  bool overLimit = false;
  if (!plat::ReadFileLimited(kProgressFile, kPlayerRecordSize, bytes, exists, overLimit, error)) return false;
  fault = SizeFault(bytes.size(), overLimit);
  if (fault.empty()) fault = RecordFault(bytes.data(), true);
  return true;
}

std::string WorkingFolder() {
  std::error_code ec;
  const std::filesystem::path here = std::filesystem::current_path(ec);
  if (ec) return "the game's folder";
  const std::u8string u = here.u8string();
  return std::string(u.begin(), u.end());
}

// Moves a damaged Users.dat aside and tells the player, once, in plain words; afterwards the
// record in memory is what play goes on from (told in goesOn).
void SetAside(const std::string& fault, const std::string& goesOn) {
  std::string chosen, why;
  std::string text = "The progress file " + std::string(kProgressFile) + " in " + WorkingFolder() +
                     " is damaged (" + fault + "). ";
  if (plat::MoveAside(kProgressFile, std::string(kProgressFile) + ".damaged", chosen, why)) {
    text += "It has been kept as " + chosen + ", and " + goesOn + ".";
  } else {
    // Where it cannot be moved it is left exactly as it is.
    gProgressBlocked = true;
    text += "It could not be set aside (" + why + "), so it will not be written over; " + goesOn +
            ", but progress will not be saved.";
  }
  plat::Platform().ReportError(text);
}

// Reads "Users.dat" and checks it. A file the game wrote is taken as it is. Any other is
// set aside under a free name; play then goes on from what could be read of it (its leading
// bytes over the initial record, as far as they make sense, the count following the marks),
// or from the initial record.
void ReadProgressFile() {
  std::vector<uint8_t> bytes;
  bool exists = false;
  std::string fault, error;
  if (!ReadStoredProgress(bytes, exists, fault, error)) {
    std::fprintf(stderr, "Tangrel 2.0: cannot read %s: %s\n", kProgressFile, error.c_str());
    return;
  }
  if (!exists) return;
  // At most the record's size was read; it goes over the leading bytes of the initial record.
  TPlayerRecord read = PlayerRecord;
  std::copy(bytes.begin(), bytes.end(), read.Bytes.begin());
  if (fault.empty()) {
    PlayerRecord = read;
    return;
  }
  std::string goesOn = "the game starts from an empty record";
  if (RecordFault(read.Bytes.data(), false).empty()) {
    read.SetSolvedCount(MarksIn(read.Bytes.data()));
    PlayerRecord = read;
    goesOn = "the game goes on with the " + std::to_string(read.SolvedCount()) + " solved levels it could read";
  }
  SetAside(fault, goesOn);
}

// Before a write: the levels marked solved in the file as it stands now (another copy of the
// game may have written it meanwhile) stay solved; the count then follows the marks. A file
// that is not ours is set aside first, as at start-up.
void MergeWithDisk() {
  std::vector<uint8_t> bytes;
  bool exists = false;
  std::string fault, error;
  // A damaged file that could not be moved stays as it is; the player was told.
  if (!gProgressBlocked && ReadStoredProgress(bytes, exists, fault, error) && exists) {
    if (fault.empty()) {
      for (int l = 0; l < 100; ++l)
        if (MarkAt(bytes.data(), l) != 0 && PlayerRecord.SolvedFlags(l) == 0) PlayerRecord.SetSolvedFlags(l, -1);
    } else {
      SetAside(fault, "the game goes on with the levels solved in this session");
    }
  }
  PlayerRecord.SetSolvedCount(MarksIn(PlayerRecord.Bytes.data()));
}

// The first save that fails tells the player in plain words; every failure goes to the log.
void TellCannotSave(const std::string& why) {
  if (gToldCannotSave) return;
  gToldCannotSave = true;
  plat::Platform().ReportError("Your progress cannot be saved in the folder " + WorkingFolder() + " (" + why +
                               "). The game goes on, but the levels you solve now will not be kept; "
                               "what was saved before is left as it was.");
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
  gLoaded = false;
  gProgressBlocked = false;
  gToldCannotSave = false;
}

bool SettingsLoaded() { return gLoaded; }

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
  gProgressBlocked = false;
  gToldCannotSave = false;
  ReadProgressFile();
  gLoaded = true;
}

bool WriteProgressFile() {
  MergeWithDisk();
  std::string error;
  if (gProgressBlocked) {
    error = "a damaged progress file stands in its place";
  } else if (plat::WriteFileAtomically(kProgressFile, PlayerRecord.Bytes.data(), PlayerRecord.Bytes.size(),
                                        false, error)) {
    return true;
  }
  ReportSaveFailure(kProgressFile, error);
  TellCannotSave(error);
  return false;
}

bool SaveProgress() { return gLoaded && WriteProgressFile(); }

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
