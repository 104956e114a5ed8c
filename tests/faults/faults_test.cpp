// Faults while saving, with the whole game running: killed between write and rename, a
// read-only working folder, a full disk. Nothing already saved may be lost, the game goes on,
// and the failure is reported on standard error.
#include <fcntl.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "../soak/headless_game.h"
#include "platform/settings_store.h"
#include "platform/test_seam.h"

namespace {

namespace fs = std::filesystem;
using headless::Ev;
using headless::ReadAll;
using K = plat::EventKind;

constexpr int kOptionSounds = 6;
constexpr int kOptionOk = 7;

// Where a kill during a save strikes: the temporary file of this name is complete and synced,
// the rename has not happened.
const char* gKillAt = "";
bool KillBeforeRename(const std::string& tempPath) {
  if (fs::path(tempPath).filename() == gKillAt) ::kill(::getpid(), SIGKILL);
  return true;
}
bool FailBeforeRename(const std::string&) { return false; }

class Faults : public ::testing::Test {
 protected:
  headless::Game game;
  fs::path mounted;

  void SetUp() override {
    ASSERT_TRUE(headless::GameFolderReady()) << "the game folder has not been generated";
  }
  void TearDown() override {
    test_seam::BeforeAtomicRename = nullptr;
    game.Leave();
    if (!mounted.empty()) ::umount2(mounted.c_str(), MNT_DETACH);
    game.RemoveFiles();
  }

  fs::path StorePath() const { return game.configDir / "user.reg"; }
  fs::path ProgressPath() const { return game.gameDir / "Users.dat"; }

  // --- the player's part ----------------------------------------------------------------

  // From the menu: Episode 1's page, then level n's row.
  void PlayLevel(int n) {
    game.ClickRect(MenuItems[1].Rect);
    game.ClickRect(LevelCatalogue[n].Row);
    ASSERT_EQ(ScreenState, scPlaying);
    ASSERT_EQ(CurrentLevel, n);
  }

  // F1 until every piece is home, then a release completes the level.
  void SolveWithF1() {
    for (int piece = 0; piece <= kMaxPieces; ++piece) {
      plat::Event f1 = Ev(K::KeyDown);
      f1.Key = VK_F1;
      game.Send(f1);
      if (ScreenState != scAutoSolve) break;
      for (int f = 0; f < 400 && ScreenState == scAutoSolve; ++f) game.Frames(1);
      ASSERT_EQ(ScreenState, scPlaying);
    }
    game.Click(100, 300);
    ASSERT_EQ(ScreenState, scLevelComplete);
    ASSERT_NE(PlayerRecord.SolvedFlags(CurrentLevel), 0);
  }

  void ToMenu() {
    game.ClickRect(PanelButtons[2].Rect());
    ASSERT_EQ(ScreenState, scMenu);
  }

  // Options: flip the Sounds button and press OK, which saves.
  void FlipSoundsAndSave() {
    game.ClickRect(MenuItems[6].Rect);
    game.ClickRect(OptionButtons[kOptionSounds].Rect);
    game.ClickRect(OptionButtons[kOptionOk].Rect);
  }

  // Options, Sounds flipped and OK, with what the game wrote to stderr meanwhile.
  std::string FlipSoundsAndSaveTelling() {
    testing::internal::CaptureStderr();
    FlipSoundsAndSave();
    return testing::internal::GetCapturedStderr();
  }

  // Level 0 solved in a new start of the game, back at the menu; progress is then the file,
  // written at the completion.
  void SolveLevel0(std::string& progress) {
    ASSERT_NO_FATAL_FAILURE(game.Start());
    ASSERT_NO_FATAL_FAILURE(PlayLevel(0));
    ASSERT_NO_FATAL_FAILURE(SolveWithF1());
    ASSERT_NO_FATAL_FAILURE(ToMenu());
    progress = ReadAll(ProgressPath());
    EXPECT_TRUE(Level0Solved(progress)) << "written at the completion";
  }

  // After a failed save: the game goes on as if nothing had happened, and tells nothing more.
  void KeepsRunning() {
    const size_t told = game.fake.errors.size();
    ASSERT_NO_FATAL_FAILURE(PlayLevel(2));
    game.Frames(5);
    game.Send(Ev(K::WheelDown, PieceTable[1].Position.X, PieceTable[1].Position.Y));
    plat::Event back = Ev(K::KeyDown);
    back.Key = VK_BACK;
    game.Send(back);
    game.Frames(5);
    EXPECT_EQ(CurrentLevel, 1);
    EXPECT_EQ(ScreenState, scPlaying);
    ASSERT_NE(MainForm, nullptr);
    EXPECT_FALSE(MainForm->Closed);
    EXPECT_EQ(game.fake.errors.size(), told) << game.fake.errors.back();
    EXPECT_EQ(headless::BrokenInvariant(), "");
  }

  // The player was told once, in plain words naming the game's folder, that progress cannot
  // be saved.
  void ToldOnceCannotSave() {
    ASSERT_EQ(game.fake.errors.size(), 1u);
    EXPECT_NE(game.fake.errors[0].find("Your progress cannot be saved in the folder " + game.gameDir.string()),
              std::string::npos)
        << game.fake.errors[0];
  }

  // A first run that leaves both files behind: level 0 not solved, sounds on.
  void FirstRun() {
    ASSERT_NO_FATAL_FAILURE(game.Start());
    game.ClickRect(MenuItems[6].Rect);
    game.ClickRect(OptionButtons[kOptionOk].Rect);
    game.Stop();
    ASSERT_TRUE(fs::exists(StorePath()));
    ASSERT_EQ(fs::file_size(ProgressPath()), kPlayerRecordSize);
  }

  // A run in a child process that is meant to die by SIGKILL: the child makes a first run,
  // starts the game, opens level 0 and then does the rest, where the kill must come. Fails
  // when the child ends any other way.
  template <class Rest>
  void KilledRun(const char* name, Rest rest) {
    game.Prepare(name);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0) << std::strerror(errno);
    if (child == 0) {
      FirstRun();
      game.Start();
      PlayLevel(0);
      rest();
      ::_exit(11);  // not killed
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the run ended by itself with " << WEXITSTATUS(status);
    ASSERT_EQ(WTERMSIG(status), SIGKILL);
  }

  uint32_t StoredSounds() const {
    plat::SettingsStore s;
    uint32_t v = 99;
    if (!s.Load(StorePath().string()) || !s.ReadDword(kSettingsKey, "Sounds", v)) return 99;
    return v;
  }
  static bool Level0Solved(const std::string& progress) {
    return progress.size() == kPlayerRecordSize && progress[kSolvedFlagsOffset] != 0;
  }

  // A tmpfs of size bytes at dir; false where this process may not mount (or when
  // TANGREL_FAULTS_NO_MOUNT is set, to try the stand-ins).
  bool MountTmpfs(const fs::path& dir, size_t size) {
    fs::create_directories(dir);
    if (std::getenv("TANGREL_FAULTS_NO_MOUNT")) return false;
    const std::string opts = "size=" + std::to_string(size) + ",mode=0755";
    if (::mount("tmpfs", dir.c_str(), "tmpfs", 0, opts.c_str()) != 0) return false;
    mounted = dir;
    return true;
  }
};

// --- killed between write and rename --------------------------------------------------------

class KilledDuringSave : public Faults, public ::testing::WithParamInterface<const char*> {};

TEST_P(KilledDuringSave, LeavesEveryFileWholeAndTheNextRunGoesOn) {
  gKillAt = GetParam();
  // The game's whole run happens in the child; the kill ends it in the middle of the second save.
  ASSERT_NO_FATAL_FAILURE(KilledRun("kill", [this] {
    // The progress file is written at the completion itself, the settings store by OK.
    if (std::string(GetParam()) == "Users.dat.tmp") test_seam::BeforeAtomicRename = KillBeforeRename;
    SolveWithF1();
    ToMenu();
    if (::testing::Test::HasFailure()) ::_exit(10);
    test_seam::BeforeAtomicRename = KillBeforeRename;
    FlipSoundsAndSave();  // the save never reaches the file
  }));

  const bool inStore = std::string(GetParam()) == "user.reg.tmp";
  // The file being written keeps its old contents whole; a file saved before the kill holds
  // the new. (Killed in the completion's save, the options were never changed.)
  EXPECT_EQ(StoredSounds(), 1u);
  const std::string progress = ReadAll(ProgressPath());
  ASSERT_EQ(progress.size(), kPlayerRecordSize);
  EXPECT_EQ(Level0Solved(progress), inStore) << "saved at the completion, or cut off before its rename";
  EXPECT_TRUE(fs::exists(game.gameDir / GetParam()) || fs::exists(game.configDir / GetParam()))
      << "the kill left its temporary file behind";

  // The next run reads what is there, ignores the leftover, and saves over it.
  ASSERT_NO_FATAL_FAILURE(game.Start());
  EXPECT_NE(Settings.Sounds, 0);
  EXPECT_EQ(PlayerRecord.SolvedFlags(0), inStore ? -1 : 0);
  ASSERT_NO_FATAL_FAILURE(PlayLevel(0));
  ASSERT_NO_FATAL_FAILURE(SolveWithF1());
  game.Stop();
  EXPECT_TRUE(Level0Solved(ReadAll(ProgressPath())));
  EXPECT_FALSE(fs::exists(game.gameDir / "Users.dat.tmp"));
  EXPECT_FALSE(fs::exists(game.configDir / "user.reg.tmp"));
}

INSTANTIATE_TEST_SUITE_P(Faults, KilledDuringSave, ::testing::Values("user.reg.tmp", "Users.dat.tmp"),
                         [](const auto& info) {
                           return std::string(info.param) == "user.reg.tmp" ? "InTheSettingsStore"
                                                                            : "InTheProgressFile";
                         });

// --- killed right after a completion -------------------------------------------------------

TEST_F(Faults, ALevelSolvedIsOnTheDiskBeforeTheProcessIsKilled) {
  ASSERT_NO_FATAL_FAILURE(KilledRun("solved", [this] {
    SolveWithF1();
    if (::testing::Test::HasFailure()) ::_exit(10);
    ::kill(::getpid(), SIGKILL);  // no closing save, no options page: only the completion's own
  }));
  const std::string progress = ReadAll(ProgressPath());
  ASSERT_EQ(progress.size(), kPlayerRecordSize);
  EXPECT_TRUE(Level0Solved(progress));
  EXPECT_EQ(progress[kSolvedCountOffset], 1);
  EXPECT_FALSE(fs::exists(game.gameDir / "Users.dat.tmp"));
  ASSERT_NO_FATAL_FAILURE(game.Start());
  EXPECT_EQ(PlayerRecord.SolvedFlags(0), -1);
}

// --- two copies side by side -----------------------------------------------------------------

TEST_F(Faults, TwoCopiesSideBySideBothKeepWhatTheySolved) {
  game.Prepare("two");
  ASSERT_NO_FATAL_FAILURE(FirstRun());
  ASSERT_NO_FATAL_FAILURE(game.Start());  // the first copy: nothing solved yet
  const pid_t child = ::fork();
  ASSERT_GE(child, 0) << std::strerror(errno);
  if (child == 0) {
    // The second copy, started from the same files: solves level 1 and quits.
    PlayLevel(1);
    SolveWithF1();
    game.Stop();
    ::_exit(::testing::Test::HasFailure() ? 10 : 0);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  // The first copy, still on its old record, solves level 0 and quits later.
  ASSERT_NO_FATAL_FAILURE(PlayLevel(0));
  ASSERT_NO_FATAL_FAILURE(SolveWithF1());
  EXPECT_EQ(PlayerRecord.SolvedFlags(1), -1) << "its write took in the other copy's";
  game.Stop();
  const std::string progress = ReadAll(ProgressPath());
  ASSERT_EQ(progress.size(), kPlayerRecordSize);
  EXPECT_TRUE(Level0Solved(progress));
  EXPECT_NE(progress[kSolvedFlagsOffset + 4], 0) << "level 1, solved by the other copy, is kept";
  EXPECT_EQ(progress[kSolvedCountOffset], 2);
}

// --- a save that fails before its rename, the game running on -----------------------------

TEST_F(Faults, InterruptedSaveIsReportedAndTheGameGoesOn) {
  game.Prepare("interrupt");
  ASSERT_NO_FATAL_FAILURE(FirstRun());
  const std::string oldStore = ReadAll(StorePath());
  std::string oldProgress;
  ASSERT_NO_FATAL_FAILURE(SolveLevel0(oldProgress));

  test_seam::BeforeAtomicRename = FailBeforeRename;
  const std::string err = FlipSoundsAndSaveTelling();
  EXPECT_NE(err.find("Tangrel 2.0: cannot save Users.dat:"), std::string::npos) << err;
  EXPECT_NE(err.find("Tangrel 2.0: cannot save " + StorePath().string()), std::string::npos) << err;
  EXPECT_EQ(ReadAll(StorePath()), oldStore);
  EXPECT_EQ(ReadAll(ProgressPath()), oldProgress);
  EXPECT_EQ(Settings.Sounds, 0) << "the game keeps the new setting in memory";
  ASSERT_NO_FATAL_FAILURE(ToldOnceCannotSave());

  ASSERT_NO_FATAL_FAILURE(KeepsRunning());
  test_seam::BeforeAtomicRename = nullptr;
  game.Stop();  // the closing save goes through
  EXPECT_EQ(StoredSounds(), 0u);
  EXPECT_TRUE(Level0Solved(ReadAll(ProgressPath())));
}

// --- a read-only working folder ----------------------------------------------------------

TEST_F(Faults, ReadOnlyWorkingFolderKeepsTheOldProgress) {
  game.Prepare("readonly");
  // A real read-only file system where we may mount one (root ignores permission bits);
  // otherwise a folder standing where the temporary file goes stops the write just as well.
  size_t bytes = 0;
  for (const auto& e : fs::recursive_directory_iterator(game.gameDir))
    if (e.is_regular_file()) bytes += e.file_size();
  const fs::path staging = game.root / "staging";
  fs::rename(game.gameDir, staging);
  const bool realReadOnly = MountTmpfs(game.gameDir, bytes + (4u << 20));
  if (!realReadOnly) fs::create_directories(game.gameDir);
  std::printf("read-only folder: %s\n", realReadOnly ? "a tmpfs remounted read-only" : "a folder in place of the temporary file");
  headless::CopyGameFolder(staging, game.gameDir);
  ASSERT_NO_FATAL_FAILURE(FirstRun());
  const std::string oldProgress = ReadAll(ProgressPath());
  if (realReadOnly) {
    ASSERT_EQ(::mount(nullptr, game.gameDir.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr), 0)
        << std::strerror(errno);
  } else {
    fs::create_directory(game.gameDir / "Users.dat.tmp");
  }

  ASSERT_NO_FATAL_FAILURE(game.Start());
  ASSERT_NO_FATAL_FAILURE(PlayLevel(0));
  testing::internal::CaptureStderr();
  ASSERT_NO_FATAL_FAILURE(SolveWithF1());
  std::string err = testing::internal::GetCapturedStderr();
  // The first save that fails is the completion's: the player is told then, once.
  ASSERT_NO_FATAL_FAILURE(ToldOnceCannotSave());
  EXPECT_NE(game.fake.errors[0].find(realReadOnly ? "Read-only file system" : "Is a directory"), std::string::npos)
      << game.fake.errors[0];
  ASSERT_NO_FATAL_FAILURE(ToMenu());
  err += FlipSoundsAndSaveTelling();
  EXPECT_NE(err.find(std::string("Tangrel 2.0: cannot save Users.dat: ") +
                     (realReadOnly ? "Read-only file system" : "Is a directory")),
            std::string::npos)
      << err;
  EXPECT_EQ(ReadAll(ProgressPath()), oldProgress);
  EXPECT_EQ(StoredSounds(), 0u) << "the settings store lives elsewhere and was saved";

  ASSERT_NO_FATAL_FAILURE(KeepsRunning());
  testing::internal::CaptureStderr();
  game.Stop();  // the closing save fails the same way, and says so again
  err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("Tangrel 2.0: cannot save Users.dat:"), std::string::npos) << err;
  EXPECT_EQ(ReadAll(ProgressPath()), oldProgress);
  EXPECT_EQ(game.fake.errors.size(), 1u) << "told once, not at every save";
  if (!realReadOnly) fs::remove(game.gameDir / "Users.dat.tmp");
}

// --- a full disk -------------------------------------------------------------------------

TEST_F(Faults, FullDiskKeepsBothFilesAndTheNextSaveSucceeds) {
  game.Prepare("full");
  // The data stays outside; the working folder on a tiny file system holds links to it, the
  // settings store and the progress file.
  const fs::path data = game.gameDir;
  game.gameDir = game.root / "disk";
  const bool realDisk = MountTmpfs(game.gameDir, 64 * 1024);
  if (!realDisk) fs::create_directories(game.gameDir);
  std::printf("full disk: %s\n", realDisk ? "a 64 KiB tmpfs filled up" : "temporary files linked to /dev/full");
  for (const auto& e : fs::directory_iterator(data))
    fs::create_symlink(e.path(), game.gameDir / e.path().filename());
  game.configDir = game.gameDir / "cfg";
  fs::create_directories(game.configDir);
  ASSERT_NO_FATAL_FAILURE(FirstRun());
  const std::string oldStore = ReadAll(StorePath());

  // Fill the disk to the last byte (or, without a disk of our own, let both temporary files
  // lead to the device that is always full).
  const fs::path filler = game.gameDir / "filler";
  auto fill = [&] {
    if (realDisk) {
      const int fd = ::open(filler.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      ASSERT_GE(fd, 0);
      std::vector<char> block(4096, 'x');
      for (size_t chunk = 4096; chunk > 0; chunk /= 2)
        while (::write(fd, block.data(), chunk) == static_cast<ssize_t>(chunk)) {
        }
      ::close(fd);
    } else {
      fs::create_symlink("/dev/full", game.gameDir / "Users.dat.tmp");
      fs::create_symlink("/dev/full", game.configDir / "user.reg.tmp");
    }
  };

  std::string oldProgress;
  ASSERT_NO_FATAL_FAILURE(SolveLevel0(oldProgress));
  ASSERT_NO_FATAL_FAILURE(fill());
  const std::string err = FlipSoundsAndSaveTelling();
  EXPECT_NE(err.find("Tangrel 2.0: cannot save Users.dat: No space left on device"), std::string::npos)
      << err;
  EXPECT_NE(err.find("Tangrel 2.0: cannot save " + StorePath().string() + ": No space left on device"),
            std::string::npos)
      << err;
  EXPECT_EQ(ReadAll(StorePath()), oldStore);
  EXPECT_EQ(ReadAll(ProgressPath()), oldProgress);
  EXPECT_FALSE(fs::exists(fs::symlink_status(game.gameDir / "Users.dat.tmp")))
      << "a failed save leaves no half-written file behind";
  ASSERT_NO_FATAL_FAILURE(ToldOnceCannotSave());

  ASSERT_NO_FATAL_FAILURE(KeepsRunning());
  // Room again: the closing save keeps everything.
  if (realDisk) fs::remove(filler);
  game.Stop();
  EXPECT_EQ(StoredSounds(), 0u);
  EXPECT_TRUE(Level0Solved(ReadAll(ProgressPath())));
}

}  // namespace
