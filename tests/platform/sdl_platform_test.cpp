// The SDL platform under the dummy video driver: window, frames, events, and the odd services.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <thread>
#include <vector>

#include "platform/sdl/platform_sdl.h"
#include "platform/platform.h"

namespace {

std::unique_ptr<plat::IPlatform> MakePlatform() {
  return std::unique_ptr<plat::IPlatform>(plat::CreateSdlPlatform());
}

// Waits (up to a generous bound) for the first event of a kind, skipping the rest.
bool WaitFor(plat::IPlatform& p, plat::EventKind kind, plat::Event& out) {
  for (int i = 0; i < 200; ++i) {
    if (p.WaitEvent(out, 50) && out.Kind == kind) return true;
  }
  return false;
}

TEST(SdlPlatform, WindowPresentsAndReceivesPostedEvents) {
  auto p = MakePlatform();
  ASSERT_TRUE(p->CreateMainWindow("Tangrel 2.0", 800, 600));
  EXPECT_TRUE(p->CreateMainWindow("Tangrel 2.0", 800, 600)) << "a second call keeps the window";
  plat::Event e;
  ASSERT_TRUE(p->WaitEvent(e, 2000));
  EXPECT_EQ(e.Kind, plat::EventKind::Activate) << "a shown window makes the game active";
  while (p->PollEvent(e)) EXPECT_NE(e.Kind, plat::EventKind::Deactivate) << "and stays so";
  p->ShowSystemCursor(false);
  p->SetBusyCursor(true);
  p->SetBusyCursor(false);

  std::vector<uint32_t> frame(800 * 600, 0x00336699);
  EXPECT_TRUE(p->Present(frame.data(), 800, 600, 800));
  EXPECT_FALSE(p->Present(frame.data(), 640, 480, 640)) << "only frames of the window's size";

  plat::Event posted;
  posted.Kind = plat::EventKind::MusicNotify;
  posted.TimerId = 7;
  std::thread t([&] {
    for (int i = 0; i < 100; ++i) p->PostEvent(posted);
  });
  t.join();
  int received = 0;
  while (received < 100 && WaitFor(*p, plat::EventKind::MusicNotify, e)) {
    EXPECT_EQ(e.TimerId, 7);
    ++received;
  }
  EXPECT_EQ(received, 100);

  p->RequestClose();
  EXPECT_TRUE(WaitFor(*p, plat::EventKind::Quit, e));
}

TEST(SdlPlatform, TerminationSignalBecomesQuit) {
  auto p = MakePlatform();
  ASSERT_EQ(raise(SIGTERM), 0);
  plat::Event e;
  EXPECT_TRUE(WaitFor(*p, plat::EventKind::Quit, e));
}

TEST(SdlPlatform, StoppedTimerLeavesNoTick) {
  auto p = MakePlatform();
  p->SetTimer(3, 1, true);
  p->Sleep(30);
  p->SetTimer(3, 1, false);
  plat::Event e;
  while (p->PollEvent(e)) EXPECT_NE(e.Kind, plat::EventKind::Timer);
}

TEST(SdlPlatform, ClocksRandomAndFolders) {
  auto p = MakePlatform();
  double t = p->TimeOfDay();
  EXPECT_GE(t, 0.0);
  EXPECT_LT(t, 1.0);
  EXPECT_FALSE(p->LongTimeString().empty());
  p->Randomize();
  for (int i = 0; i < 1000; ++i) {
    int r = p->Random(6);
    ASSERT_GE(r, 0);
    ASSERT_LT(r, 6);
  }
  EXPECT_EQ(p->Random(1), 0);

  std::string dir = p->ProgramDir();
  ASSERT_FALSE(dir.empty());
  EXPECT_EQ(dir.back(), '/');
  EXPECT_TRUE(std::filesystem::exists(dir + "test_platform"));

  setenv("XDG_CONFIG_HOME", "/tmp/tangrel-xdg", 1);
  EXPECT_EQ(p->ConfigDir(), "/tmp/tangrel-xdg/tangrel/");
  EXPECT_FALSE(std::filesystem::exists("/tmp/tangrel-xdg")) << "asking does not create it";
  unsetenv("XDG_CONFIG_HOME");
  const char* home = std::getenv("HOME");
  if (home) {
    EXPECT_EQ(p->ConfigDir(), std::string(home) + "/.config/tangrel/");
  }
}

TEST(SdlPlatform, ErrorReportGoesToStandardError) {
  auto p = MakePlatform();
  ASSERT_TRUE(p->CreateMainWindow("Tangrel 2.0", 800, 600));
  testing::internal::CaptureStderr();
  p->ReportError("Cannot open file Sprites.gpk");  // TANGREL_NO_DIALOGS keeps the box away
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Tangrel 2.0: Cannot open file Sprites.gpk\n");
}

TEST(SdlPlatform, OpenUrlWithoutBrowserFails) {
  auto p = MakePlatform();
  std::string oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
  setenv("PATH", "/nonexistent", 1);
  EXPECT_FALSE(p->OpenURL("https://example.com/"));
  setenv("PATH", oldPath.c_str(), 1);
}

}  // namespace

TEST(SdlNotice, LinesAreBrokenAtSpacesWithinTheWidth) {
  EXPECT_EQ(plat::WrapLines("one two three four", 9), "one two\nthree\nfour");
  // A word longer than the width stands alone; the text's own breaks stay.
  EXPECT_EQ(plat::WrapLines("a /very/long/folder/name b\nc d", 8), "a\n/very/long/folder/name\nb\nc d");
  EXPECT_EQ(plat::WrapLines("", 8), "");
  EXPECT_EQ(plat::WrapLines("fits exactly", 12), "fits exactly");
}
