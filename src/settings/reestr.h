// What the game remembers between runs: the six options in the per-user settings store
// and the 5076-byte progress record "Users.dat" in the current directory.
#pragma once
#include <array>
#include <cstdint>
#include <string>

// Flags are 32-bit: 0 off, anything else on; the game writes -1 for on.
struct TSettings {
  int32_t Full = -1;
  int32_t Tips = -1;
  uint8_t Difficulty = 1;  // 0 easy, 1 normal
  int32_t Sounds = -1;
  int32_t Music = -1;
  int32_t Use3D = 0;
};
extern TSettings Settings;

constexpr size_t kPlayerRecordSize = 5076;
constexpr size_t kSolvedFlagsOffset = 24;
constexpr size_t kSolvedCountOffset = 428;

// The progress record as its byte image, little-endian numbers.
struct TPlayerRecord {
  std::array<uint8_t, kPlayerRecordSize> Bytes{};
  int32_t SolvedFlags(int level) const;  // 0 not solved, non-zero solved
  void SetSolvedFlags(int level, int32_t value);
  int32_t SolvedCount() const;
  void SetSolvedCount(int32_t value);
  int32_t GetInt32(size_t offset) const;
  void SetInt32(size_t offset, int32_t value);
};
extern TPlayerRecord PlayerRecord;

// The key path of the options in the settings store.
constexpr const char* kSettingsKey = "\\Software\\Brenmoor Studio\\Tangrel";
constexpr const char* kProgressFile = "Users.dat";

void InitPlayerRecord();      // the initial value of the record
// The options and the record as they are before LoadSettings (tests, via ResetAllUnits).
void ResetSettings();
// Reads the options and "Users.dat". A progress file that is not one the game wrote (wrong
// size, marks that are not marks, a count that disagrees, names longer than their fields) is
// set aside as "Users.dat.damaged" (or the next free ".damaged.N"), the player is told, and
// play goes on from what could be read of it or from the initial record.
void LoadSettings();
void ReadRegistrySettings();
// Writes the six options, then the progress file. A failed write keeps the values in memory
// and the old files intact, reports on standard error and returns false.
bool SaveSettings();
// Writes "Users.dat", first merged with the file as it stands (a level solved there stays
// solved; the count follows the marks). A damaged file found there is set aside first. The
// first failure of a run is told to the player once, naming the folder.
bool WriteProgressFile();
// The save at the first completion of a level: WriteProgressFile, but only once LoadSettings
// has read what it would write over.
bool SaveProgress();
// Whether LoadSettings has run since start-up: nothing is written that was not read first.
bool SettingsLoaded();
// Where the settings store lives (user.reg); tests point it elsewhere.
std::string SettingsStorePath();
