// Start-up, activation cycles, the message loop's error handling and shut-down.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/settings_store.h"

#include "app_fixture.h"

using testkit::AppTest;

namespace {
void Post(plat::FakePlatform& f, plat::EventKind k) { f.events.push_back({k}); }

// What the program's entry hands RunProgram, as it is called.
std::vector<std::string> gProgramSteps;
plat::IPlatform* gPlatformAtShutdown = nullptr;
void InstallTestAudio() { gProgramSteps.push_back("install audio"); }
void ShutdownTestAudio() {
  gProgramSteps.push_back("shut down audio");
  gPlatformAtShutdown = &plat::Platform();
}

class NoWindowPlatform : public plat::FakePlatform {
 public:
  bool CreateMainWindow(const std::string&, int, int) override { return false; }
};
}  // namespace

TEST(RunProgram, WithoutAPlatformOrAWindowTheProgramEndsWithOne) {
  gProgramSteps.clear();
  EXPECT_EQ(RunProgram(nullptr, InstallTestAudio, ShutdownTestAudio), 1);
  EXPECT_TRUE(gProgramSteps.empty());

  // No window: the error is reported; the sound goes while the platform is still in place,
  // then the platform goes too.
  NoWindowPlatform platform;
  EXPECT_EQ(RunProgram(&platform, InstallTestAudio, ShutdownTestAudio), 1);
  EXPECT_EQ(gProgramSteps, (std::vector<std::string>{"install audio", "shut down audio"}));
  EXPECT_EQ(gPlatformAtShutdown, &platform);
  ASSERT_EQ(platform.errors.size(), 1u);
  EXPECT_EQ(platform.errors[0], "Cannot create the main window");
  EXPECT_THROW(plat::Platform(), std::logic_error);
}

TEST_F(AppTest, DeviceOpensOnlyOnActivationAndEachCycleMakesAndFreesThePieceSurfaces) {
  testkit::WritePackages(dir);
  delete MainForm;
  MainForm = nullptr;
  ASSERT_TRUE(StartMainForm());
  EXPECT_TRUE(fake.errors.empty()) << fake.errors.front();
  EXPECT_TRUE(fake.windowCreated);
  EXPECT_EQ(fake.caption, "Tangrel 2.0");
  EXPECT_FALSE(fake.systemCursor);
  EXPECT_EQ(PlayerRecord.Bytes[432], 1);
  EXPECT_TRUE(MainForm->ActivateInstalled);

  // Nothing opens the device before the application becomes active.
  EXPECT_TRUE(RunMessageLoopOnce());
  EXPECT_FALSE(MainForm->DrawDevice.Initialized());
  EXPECT_FALSE(MainForm->FrameTimerEnabled);
  EXPECT_EQ(TMainForm::PieceImageCount(), 0);
  EXPECT_EQ(ScreenState, scLoading);
  EXPECT_EQ(fake.presentCount, 0);

  // The first opening reaches the menu.
  Post(fake, plat::EventKind::Activate);
  EXPECT_TRUE(RunMessageLoopOnce());
  EXPECT_TRUE(MainForm->DrawDevice.Initialized());
  EXPECT_TRUE(MainForm->FrameTimerEnabled);
  EXPECT_EQ(TMainForm::PieceImageCount(), 288);
  EXPECT_EQ(ScreenState, scMenu);
  EXPECT_FALSE(fake.busyCursor);
  EXPECT_GE(fake.busyCursorShown, 1);

  for (int cycle = 0; cycle < 2; ++cycle) {
    Post(fake, plat::EventKind::Deactivate);
    EXPECT_TRUE(RunMessageLoopOnce());
    EXPECT_FALSE(MainForm->DrawDevice.Initialized());
    EXPECT_FALSE(MainForm->FrameTimerEnabled);
    EXPECT_EQ(TMainForm::PieceImageCount(), 0);
    Post(fake, plat::EventKind::Activate);
    EXPECT_TRUE(RunMessageLoopOnce());
    EXPECT_EQ(TMainForm::PieceImageCount(), 288);
    EXPECT_EQ(ScreenState, scMenu);
  }
  EXPECT_EQ(fake.randomizeCount, 3);

  Post(fake, plat::EventKind::Quit);
  EXPECT_FALSE(RunMessageLoopOnce());
  EXPECT_TRUE(MainForm->Closed);
  EXPECT_EQ(TMainForm::PieceImageCount(), 0);
  EXPECT_TRUE(IgnoreNextNotify);
}

TEST_F(AppTest, MissingSpritePackageIsReportedAndTheLoopStillRuns) {
  delete MainForm;
  MainForm = nullptr;
  ASSERT_TRUE(StartMainForm());
  ASSERT_EQ(fake.errors.size(), 1u);
  EXPECT_EQ(fake.errors[0], "Cannot open file Sprites.gpk");
  // The later steps did not run: no activation handlers, so the device never opens.
  EXPECT_FALSE(MainForm->ActivateInstalled);
  Post(fake, plat::EventKind::Activate);
  fake.events.push_back({plat::EventKind::MouseMove, 0, 0, TMouseButton::mbLeft, 77, 88, 0});
  EXPECT_TRUE(RunMessageLoopOnce());
  EXPECT_FALSE(MainForm->DrawDevice.Initialized());
  EXPECT_EQ(CursorPos, (TPoint{77, 88}));
  EXPECT_TRUE(RunMessageLoopOnce());
  Post(fake, plat::EventKind::Quit);
  EXPECT_FALSE(RunMessageLoopOnce());
}

TEST_F(AppTest, AStartUpThatStoppedBeforeTheSettingsWereReadWritesNothingAtClose) {
  // What the player has stored: options and a record with five levels solved.
  namespace fs = std::filesystem;
  InitPlayerRecord();
  for (int l = 0; l < 5; ++l) PlayerRecord.SetSolvedFlags(l, -1);
  PlayerRecord.SetSolvedCount(5);
  std::string why;
  ASSERT_TRUE(plat::WriteFileAtomically(dir + "/Users.dat", PlayerRecord.Bytes.data(), kPlayerRecordSize, false, why));
  const std::string store = "[\\Software\\Brenmoor Studio\\Tangrel]\n\"Full\"=dword:00000000\n";
  ASSERT_TRUE(plat::WriteFileAtomically(SettingsStorePath(), store.data(), store.size(), true, why));
  const auto read = [](const std::string& p) {
    std::ifstream f(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
  };
  const std::string progress = read(dir + "/Users.dat");
  ResetAllUnits();

  for (const char* missing : {"Sprites.gpk", "Textures.gpk"}) {
    SCOPED_TRACE(missing);
    testkit::WritePackages(dir);
    fs::remove(fs::path(dir) / missing);
    delete MainForm;
    MainForm = nullptr;
    fake.errors.clear();
    ASSERT_TRUE(StartMainForm());
    ASSERT_EQ(fake.errors.size(), 1u);
    EXPECT_EQ(fake.errors[0], std::string("Cannot open file ") + missing);
    Post(fake, plat::EventKind::Quit);
    EXPECT_FALSE(RunMessageLoopOnce());
    EXPECT_TRUE(MainForm->Closed);
    EXPECT_EQ(read(dir + "/Users.dat"), progress) << "the five solved levels are still there";
    EXPECT_EQ(read(SettingsStorePath()), store) << "the stored options are left as they were";
  }
}

TEST_F(AppTest, AnErrorInAFrameIsReportedAndTheLoopGoesOn) {
  // Every picture but the pointer.
  for (const auto& s : testkit::StandardSprites())
    if (std::string(s.name) != "CursorPnt") testkit::AddSprite(MainForm->ImageList, s);
  for (int i = 0; i < 11; ++i) testkit::AddSprite(MainForm->TexList, {"tex", 8, 8, 1, 0x808080});
  MainForm->ActivateInstalled = true;
  MainForm->AppActivate();
  ASSERT_TRUE(MainForm->FrameTimerEnabled);
  ScreenState = scPlaying;
  OpenMessageBox(1);
  EXPECT_TRUE(RunMessageLoopOnce());
  ASSERT_FALSE(fake.errors.empty());
  EXPECT_EQ(fake.errors.back(), "Image 'CursorPnt' not found");
  fake.events.push_back({plat::EventKind::KeyDown, 'A', 0, TMouseButton::mbLeft, 0, 0, 0});
  ScreenState = scLoading;
  EXPECT_TRUE(RunMessageLoopOnce());
  EXPECT_EQ(ScreenState, scMenu);
}

TEST_F(AppTest, AFailedFullScreenSwitchFallsBackToTheWindow) {
  OpenWithImages();
  ASSERT_TRUE(MainForm->DrawDevice.Initialized());
  fake.failFullScreen = true;
  MainForm->FormKeyDown(VK_RETURN, ssAlt);
  EXPECT_FALSE(fake.errors.empty());
  EXPECT_FALSE(MainForm->DrawDevice.FullScreen);
  EXPECT_EQ(Settings.Full, 0);
  EXPECT_TRUE(MainForm->DrawDevice.Initialized());
  EXPECT_TRUE(MainForm->FrameTimerEnabled);
}

TEST_F(AppTest, CloseButtonWaitsForItsSoundAndShutsDownNormally) {
  LoadSettings();  // as start-up does; the closing save writes only what was read
  PanelButtons[6] = {766, 8, 791, 33, 1, "pan_close", 255};
  MainForm->ActivateInstalled = true;
  ScreenState = scPlaying;
  MainForm->DrawDeviceMouseDown(TMouseButton::mbLeft, 0, 770, 10);
  ASSERT_EQ(CountSound("menu2"), 1);
  EXPECT_TRUE(sounds.back().second);  // played with waiting
  EXPECT_EQ(fake.closeRequests, 1);
  EXPECT_FALSE(MainForm->Closed);
  // The loop then closes the window the normal way, once.
  EXPECT_FALSE(RunMessageLoopOnce());
  EXPECT_TRUE(MainForm->Closed);
  EXPECT_TRUE(IgnoreNextNotify);
  IgnoreNextNotify = false;
  MainForm->Close();
  EXPECT_FALSE(IgnoreNextNotify);  // FormClose does not run twice
  if (!SettingsStorePath().empty()) {
    EXPECT_TRUE(std::filesystem::exists(dir + "/Users.dat"));
  }
}

TEST_F(AppTest, CursorFrameCyclesThroughFourteenPatterns) {
  OpenWithImages();
  ASSERT_EQ(ScreenState, scMenu);
  ASSERT_EQ(CursorFrame, 0);
  RotateCursor = 1;
  CursorPos = {100, 100};
  for (int i = 0; i < 30; ++i) {
    const int expected = i % 14;
    ASSERT_EQ(CursorFrame, expected);
    Frame(10);
    // The clockwise pointer shows pattern CursorFrame at 18 pixels up and left.
    EXPECT_EQ(Pixel(82, 82), 0x00A000u + static_cast<uint32_t>(expected));
  }
  RotateCursor = 0;
  Frame(10);
  EXPECT_EQ(Pixel(100, 100), 0xFFFF00u);
}

TEST_F(AppTest, FramesGetTheElapsedMillisecondsAtLeastOne) {
  OpenWithImages();
  MainForm->AnimClock = 0;
  RunMessageLoopOnce();  // no time has passed: lag 1
  EXPECT_EQ(MainForm->AnimClock, 1u);
  fake.ticks += 37;
  RunMessageLoopOnce();
  EXPECT_EQ(MainForm->AnimClock, 38u);
  // The loading screen is not cleared and shows no pointer; any key leaves it.
  ScreenState = scLoading;
  const int presents = fake.presentCount;
  Frame(5);
  EXPECT_EQ(fake.presentCount, presents + 1);
  EXPECT_EQ(Pixel(400, 300), 0x404040u);  // "Loading" in the middle
}
