// Level files: reading one level into the piece table, and the start-up rating of all levels.
#include <filesystem>
#include <string>

#include "game/state.h"
#include "platform/ini.h"
#include "puzzle/level_files.h"
#include "puzzle/pieces.h"

namespace {

std::string FullPath(const std::string& name) {
  std::error_code ec;
  auto p = std::filesystem::absolute(name, ec);
  return ec ? name : p.string();
}

// A load that stops half-way must not leave stale pieces behind: the level then has none.
void ClearPieceEntries() {
  NumFig = 0;
  for (int j = 1; j <= kMaxPieces; ++j) {
    TPiece& p = PieceTable[j];
    p.CornerCount = 0;
    p.StackOrder = 0;
    p.Position = {};
    p.SolutionPos = {};
    p.Angle = 0;
    for (int i = 0; i <= 8; ++i) p.Offsets[i] = p.Corners[i] = {};
    for (auto& im : p.Images) im.Built = 0;
  }
}

[[noreturn]] void FailLoad() {
  ClearPieceEntries();
  throw ERangeError();
}

}  // namespace

void LoadLevel(uint8_t n) {
  const int level = PlayedLevel(n);
  const std::string fileName = LevelFileOf(level).Name;
  LevelFileName = FullPath(fileName);
  plat::TIniFile ini;
  ini.LoadFromFile(fileName);
  const std::string section = "level" + std::to_string(level);

  int32_t numFig = ini.ReadInteger(section, "NumFig", 2);
  if (numFig < 0 || numFig > 255) FailLoad();
  if (numFig > kMaxPieces) FailLoad();
  int32_t medTime = ini.ReadInteger(section, "MedTime", 3000);
  // Check the whole level before the table changes, so a bad one leaves a clean, empty table.
  for (int j = 1; j <= numFig; ++j) {
    int32_t tip = ini.ReadInteger(section, "Tip" + std::to_string(j), 3);
    if (tip < 3 || tip > 8) FailLoad();
  }
  NumFig = static_cast<uint8_t>(numFig);
  MedTime = medTime;
  for (int j = 1; j <= numFig; ++j) {
    TPiece& p = PieceTable[j];
    const std::string js = std::to_string(j);
    p.CornerCount = static_cast<uint8_t>(ini.ReadInteger(section, "Tip" + js, 3));
    for (int i = 1; i <= 8; ++i) p.Offsets[i] = {};
    for (int i = 1; i <= p.CornerCount; ++i) {
      const std::string k = "Form_" + js + "_" + std::to_string(i);
      p.Offsets[i].X = ini.ReadInteger(section, k + "_X", 0);
      p.Offsets[i].Y = ini.ReadInteger(section, k + "_Y", 0);
    }
    p.SolutionPos.X = ini.ReadInteger(section, "Form_" + js + "_X", 400);
    p.SolutionPos.Y = ini.ReadInteger(section, "Form_" + js + "_Y", 300);
  }
}

void RateLevelCatalogue() {
  // Each file is opened once for its range; the pass reads level 49's own section.
  for (const TLevelFile& f : kLevelFiles) {
    plat::TIniFile ini;
    ini.LoadFromFile(f.Name);
    for (int n = f.First; n <= f.Last; ++n)
      LevelCatalogue[n].Rating = RatingOf(ini.ReadInteger("level" + std::to_string(n), "MedTime", 1000));
  }
}
