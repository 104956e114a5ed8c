// The shell's and the heads-up units' fixture on the test kit: a fresh main form over the
// kit's scratch folder, effects heard and in-memory sprites.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "app/mainform.h"
#include "app/shell.h"
#include "hud/funcs.h"
#include "hud/msgbox.h"
#include "hud/panel.h"
#include "hud/tips.h"
#include "media/music.h"
#include "menu/menu.h"
#include "platform/fake/fake_platform.h"
#include "puzzle/pieces.h"
#include "settings/reestr.h"
#include "testkit/testkit.h"

namespace testkit {

inline void AddStandardImages(TMainForm& f) { AddStandardImages(f.ImageList, f.TexList); }

// Level 0: two 100 x 200 bars that fill the slot-box side by side.
inline void WriteTwoBarLevel(const std::string& dir) { WriteText(dir + "/Episode0.dat", TwoBars()); }

class AppTest : public ::testing::Test {
 protected:
  plat::FakePlatform fake;
  ScratchFolder scratch;
  std::string dir;
  SoundLog heard;
  std::vector<std::pair<std::string, bool>>& sounds = heard.calls;

  void SetUp() override {
    ASSERT_TRUE(scratch.Enter("app"));
    dir = scratch.Dir();
    StartUnits(fake, dir);
    Settings.Full = 0;
    heard.Listen();
    MainForm = new TMainForm();
  }

  void TearDown() override {
    delete MainForm;
    MainForm = nullptr;
    heard.Stop();
    scratch.Leave();
    plat::SetPlatform(nullptr);
  }

  int CountSound(const std::string& name) const {
    int n = 0;
    for (const auto& s : sounds) n += s.first == name;
    return n;
  }

  // Opens the device on in-memory images the way start-up and the first activation do: the
  // menu and the panel are built from the sprites first.
  void OpenWithImages() {
    AddStandardImages(*MainForm);
    BuildMenu();
    InitPanel();
    MainForm->ActivateInstalled = true;
    MainForm->AppActivate();
  }

  // One frame of lag ms through the loop's own frame path.
  void Frame(uint32_t lag) {
    fake.ticks += lag;
    RunOneFrame();
  }

  uint32_t Pixel(int x, int y) const { return MainForm->DrawDevice.Surface.GetPixel(x, y); }
};

}  // namespace testkit
