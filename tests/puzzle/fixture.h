// Shared set-up for the puzzle tests on the test kit: the test double, a main form, the
// effects heard, a scratch working folder and level files written on the spot.
#pragma once
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/mainform.h"
#include "game/state.h"
#include "puzzle/pieces.h"
#include "settings/reestr.h"
#include "testkit/testkit.h"

class PuzzleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(scratch.Enter("puzzle"));
    dir = scratch.path;
    testkit::StartUnits(fake, scratch.Dir());
    MainForm = &form;
    InitPlayerRecord();
    Settings.Sounds = -1;
    heard.Listen();
  }
  void TearDown() override {
    heard.Stop();
    ResetPuzzleState();  // drops piece surfaces before the form goes
    MainForm = nullptr;
    scratch.Leave();
    plat::SetPlatform(nullptr);
  }

  void WriteFile(const std::string& name, const std::string& text) { testkit::WriteText(dir / name, text); }
  int CountSound(const std::string& name) const { return heard.Count(name); }

  static std::string FourSquares(int level, int medTime = 120) { return testkit::FourSquares(level, medTime); }
  static std::string TwoTriangles(int level) { return testkit::TwoTriangles(level); }

  plat::FakePlatform fake;
  TMainForm form;
  testkit::ScratchFolder scratch;
  testkit::SoundLog heard;
  std::vector<std::string>& sounds = heard.names;
  std::filesystem::path dir;
};
