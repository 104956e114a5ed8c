// Shared set-up for the puzzle tests: the test platform, a main form, captured sounds,
// a scratch working directory and level files written on the spot.
#pragma once
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/mainform.h"
#include "app/shell.h"
#include "media/effects.h"
#include "platform/fake/fake_platform.h"
#include "puzzle/pieces.h"
#include "settings/reestr.h"

class PuzzleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::SetPlatform(&fake);
    MainForm = &form;
    ResetPuzzleState();
    ResetShellState();
    PlayerRecord = TPlayerRecord{};
    InitPlayerRecord();
    Settings = TSettings{};
    Settings.Sounds = -1;
    sounds.clear();
    SoundTap = [this](const std::string& name, bool) { sounds.push_back(name); };
    oldDir = std::filesystem::current_path();
    dir = std::filesystem::temp_directory_path() /
          ("tangrel_puzzle_" + std::to_string(::getpid()) + "_" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    std::filesystem::current_path(dir);
  }
  void TearDown() override {
    std::filesystem::current_path(oldDir);
    std::filesystem::remove_all(dir);
    SoundTap = nullptr;
    ResetPuzzleState();  // drops piece surfaces before the form goes
    MainForm = nullptr;
    plat::SetPlatform(nullptr);
  }

  void WriteFile(const std::string& name, const std::string& text) {
    std::ofstream(dir / name, std::ios::binary) << text;
  }
  int CountSound(const std::string& name) const {
    int c = 0;
    for (auto& s : sounds) c += s == name;
    return c;
  }

  // Four 100 x 100 squares that fill the slot-box.
  static std::string FourSquares(int level, int medTime = 120) {
    std::string s = "[level" + std::to_string(level) + "]\nNumFig=4\nMedTime=" + std::to_string(medTime) + "\n";
    const int pos[4][2] = {{350, 150}, {450, 150}, {350, 250}, {450, 250}};
    const int off[4][2] = {{-50, -50}, {50, -50}, {50, 50}, {-50, 50}};
    for (int j = 1; j <= 4; ++j) {
      s += "Tip" + std::to_string(j) + "=4\n";
      for (int i = 1; i <= 4; ++i) {
        s += "Form_" + std::to_string(j) + "_" + std::to_string(i) + "_X=" + std::to_string(off[i - 1][0]) + "\n";
        s += "Form_" + std::to_string(j) + "_" + std::to_string(i) + "_Y=" + std::to_string(off[i - 1][1]) + "\n";
      }
      s += "Form_" + std::to_string(j) + "_X=" + std::to_string(pos[j - 1][0]) + "\n";
      s += "Form_" + std::to_string(j) + "_Y=" + std::to_string(pos[j - 1][1]) + "\n";
    }
    return s;
  }
  // Two triangles cut along the slot-box's diagonal (corners listed in opposite windings).
  static std::string TwoTriangles(int level) {
    return "[LEVEL" + std::to_string(level) +
           "]\nnumfig=2\nMedTime=$1F4\nTip1=3\n"
           "Form_1_1_X=-66\nForm_1_1_Y=-66\nForm_1_2_X=134\nForm_1_2_Y=-66\nForm_1_3_X=-66\nForm_1_3_Y=134\n"
           "Form_1_X=366\nForm_1_Y=166\n"
           "Tip2=3\n"
           "Form_2_1_X=67\nForm_2_1_Y=-133\nForm_2_2_X=-133\nForm_2_2_Y=67\nForm_2_3_X=67\nForm_2_3_Y=67\n"
           "Form_2_X=433\nForm_2_Y=233\n";
  }

  plat::FakePlatform fake;
  TMainForm form;
  std::vector<std::string> sounds;
  std::filesystem::path oldDir, dir;
};
