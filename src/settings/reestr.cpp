// Placeholder until this unit is built; replaced by the real one.
#include "settings/reestr.h"

TSettings Settings;
TPlayerRecord PlayerRecord;

void InitPlayerRecord() { }
void LoadSettings() { }
void ReadRegistrySettings() { }
bool SaveSettings() { return {}; }
bool WriteProgressFile() { return {}; }
std::string SettingsStorePath() { return {}; }

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
