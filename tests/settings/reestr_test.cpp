// The settings unit: defaults, fallbacks, what a save writes, and saves that fail.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#ifdef _WIN32
#include <process.h>
#endif

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/fake/fake_platform.h"
#include "platform/settings_store.h"
#include "platform/test_seam.h"
#include "settings/reestr.h"
#include "testkit/checks.h"

namespace fs = std::filesystem;
using testkit::kFirstRunOptions;
using testkit::OptionsAre;

namespace {

std::string ReadText(const fs::path& p) {
  std::ifstream f(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(f), {});
}

void WriteBytes(const fs::path& p, const std::string& bytes) {
  std::ofstream f(p, std::ios::binary | std::ios::trunc);
  f << bytes;
}

#ifdef _WIN32
int gTempDirs = 0;  // scratch folders made by this run
#endif

const char* kKeyLine = "[\\Software\\Brenmoor Studio\\Tangrel]\n";

// Each test runs in its own empty working directory with its own settings folder.
class ReestrTest : public ::testing::Test {
 protected:
  void SetUp() override {
    oldCwd = fs::current_path();
#ifdef _WIN32
    dir = fs::temp_directory_path() / ("tangrel-reestr-" + std::to_string(_getpid()) + "-" + std::to_string(++gTempDirs));
    fs::remove_all(dir);
    ASSERT_TRUE(fs::create_directories(dir));
#else
    char tmpl[] = "/tmp/tangrel-reestr-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir = tmpl;
#endif
    fs::current_path(dir);
    fake.configDir = (dir / "cfg").string() + "/";
    plat::SetPlatform(&fake);
  }
  void TearDown() override {
    test_seam::BeforeAtomicRename = nullptr;
    plat::SetPlatform(nullptr);
    fs::current_path(oldCwd);
    std::error_code ec;
    fs::permissions(dir, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(dir, ec);
  }
  fs::path StorePath() const { return dir / "cfg" / "user.reg"; }
  void WriteStore(const std::string& text) {
    fs::create_directories(dir / "cfg");
    WriteBytes(StorePath(), text);
  }
  plat::SettingsStore LoadStore() const {
    plat::SettingsStore s;
    EXPECT_TRUE(s.Load(StorePath().string()));
    return s;
  }

  fs::path oldCwd, dir;
  plat::FakePlatform fake;
};

TEST_F(ReestrTest, FirstRunDefaultsAndTheFilesALeaveCreates) {
  LoadSettings();
  EXPECT_TRUE(OptionsAre(kFirstRunOptions));
  EXPECT_FALSE(fs::exists(dir / "cfg")) << "reading must not create the settings folder";

  ASSERT_TRUE(SaveSettings());
  EXPECT_EQ(fs::file_size(dir / "Users.dat"), kPlayerRecordSize);
  EXPECT_FALSE(fs::exists(dir / "Users.dat.tmp"));
  std::string text = ReadText(StorePath());
  EXPECT_NE(text.find(std::string(kKeyLine) +
                      "\"Sounds\"=dword:00000001\n\"Music\"=dword:00000001\n"
                      "\"Difficulty\"=dword:00000001\n\"Full\"=dword:00000001\n"
                      "\"Tips\"=dword:00000001\n\"3D\"=dword:00000000\n"),
            std::string::npos)
      << text;
}

TEST_F(ReestrTest, InitialRecordLayout) {
  InitPlayerRecord();
  const auto& b = PlayerRecord.Bytes;
  EXPECT_EQ(std::string(b.begin(), b.begin() + 5), std::string("\x04Name"));
  for (int level = 0; level < 100; ++level) EXPECT_EQ(PlayerRecord.SolvedFlags(level), 0);
  EXPECT_EQ(PlayerRecord.GetInt32(424), 0);
  EXPECT_EQ(PlayerRecord.SolvedCount(), 0);
  EXPECT_EQ(b[432], 0);
  for (int k = 1; k <= 10; ++k) {
    size_t e = 4756 + 32 * static_cast<size_t>(k - 1);
    EXPECT_EQ(std::string(b.begin() + e, b.begin() + e + 5), std::string("\x04Name"));
    EXPECT_EQ(PlayerRecord.GetInt32(e + 24), 60 - 10 * k);
    EXPECT_EQ(PlayerRecord.GetInt32(e + 28), 600 - 100 * k);
  }
  EXPECT_EQ(PlayerRecord.GetInt32(4756 + 24), 50);
  EXPECT_EQ(PlayerRecord.GetInt32(4756 + 9 * 32 + 28), -400);
  size_t nonZero = 0;
  for (uint8_t v : b) nonZero += v != 0;
  // 5 name bytes at 0, and per entry 5 name bytes and two non-zero numbers.
  EXPECT_LE(nonZero, 5u + 10u * (5u + 8u));
}

TEST_F(ReestrTest, KeyWithoutThreeDTurnsItOnAndMissingTipsMeansOn) {
  WriteStore(std::string(kKeyLine) +
             "\"Sounds\"=dword:00000000\n\"Music\"=dword:00000001\n\"Full\"=dword:00000000\n");
  LoadSettings();
  EXPECT_TRUE(OptionsAre(
      {.full = false, .tips = true, .sounds = false, .music = true, .use3D = true, .difficulty = 1}));
}

TEST_F(ReestrTest, StoredValuesAndDifficultyRange) {
  WriteStore(std::string(kKeyLine) +
             "\"Tips\"=dword:00000000\n\"3D\"=dword:00000000\n\"Difficulty\"=dword:00000000\n"
             "\"Full\"=dword:00000005\n");
  LoadSettings();
  EXPECT_EQ(Settings.Tips, 0);
  EXPECT_EQ(Settings.Use3D, 0);
  EXPECT_EQ(Settings.Difficulty, 0);
  EXPECT_NE(Settings.Full, 0) << "any non-zero number is on";

  WriteStore(std::string(kKeyLine) + "\"Difficulty\"=dword:00000100\n");
  LoadSettings();
  EXPECT_EQ(Settings.Difficulty, 1) << "256 does not fit the byte: keep normal";

  WriteStore(std::string(kKeyLine) + "\"Difficulty\"=\"0\"\n\"Sounds\"=hex:00\n");
  LoadSettings();
  EXPECT_EQ(Settings.Difficulty, 1) << "a value of another type keeps the default";
  EXPECT_NE(Settings.Sounds, 0);
}

TEST_F(ReestrTest, ScoringAndRandomAreRemovedAndNeverWrittenBack) {
  WriteStore(std::string("[\\Software\\Other]\n\"Keep\"=dword:0000002a\n\n") + kKeyLine +
             "\"Scoring\"=dword:00000001\n\"Random\"=dword:00000001\n\"3D\"=dword:00000001\n");
  LoadSettings();
  plat::SettingsStore s = LoadStore();
  EXPECT_FALSE(s.ValueExists(kSettingsKey, "Scoring"));
  EXPECT_FALSE(s.ValueExists(kSettingsKey, "Random"));

  ASSERT_TRUE(SaveSettings());
  std::string text = ReadText(StorePath());
  EXPECT_EQ(text.find("Scoring"), std::string::npos);
  EXPECT_EQ(text.find("Random"), std::string::npos);
  uint32_t keep = 0;
  EXPECT_TRUE(LoadStore().ReadDword("\\Software\\Other", "Keep", keep)) << "other keys survive";
  EXPECT_EQ(keep, 42u);
}

TEST_F(ReestrTest, FlagsAreWrittenAsOneAndZero) {
  LoadSettings();
  Settings.Full = 0;
  Settings.Tips = -1;
  Settings.Sounds = 7;
  Settings.Music = 0;
  Settings.Use3D = -1;
  Settings.Difficulty = 0;
  ASSERT_TRUE(SaveSettings());
  plat::SettingsStore s = LoadStore();
  const std::pair<const char*, uint32_t> expected[] = {
      {"Full", 0}, {"Tips", 1}, {"Sounds", 1}, {"Music", 0}, {"3D", 1}, {"Difficulty", 0}};
  for (const auto& [name, value] : expected) {
    uint32_t v = 99;
    EXPECT_TRUE(s.ReadDword(kSettingsKey, name, v)) << name;
    EXPECT_EQ(v, value) << name;
  }
  // And they come back as the same options.
  LoadSettings();
  EXPECT_TRUE(OptionsAre(
      {.full = false, .tips = true, .sounds = true, .music = false, .use3D = true, .difficulty = 0}));
}

TEST_F(ReestrTest, ProgressRoundTripWithLevelTwelveAtOffset72) {
  LoadSettings();
  PlayerRecord.SetSolvedFlags(12, -1);
  PlayerRecord.SetSolvedCount(1);
  PlayerRecord.Bytes[432] = 1;
  PlayerRecord.Bytes[1000] = 0xAB;  // uninterpreted bytes are written back as read
  ASSERT_TRUE(SaveSettings());
  std::string bytes = ReadText(dir / "Users.dat");
  ASSERT_EQ(bytes.size(), kPlayerRecordSize);
  EXPECT_EQ(bytes.substr(72, 4), std::string(4, '\xff'));
  EXPECT_EQ(bytes[428], 1);
  EXPECT_EQ(bytes[432], 1);

  InitPlayerRecord();
  LoadSettings();
  EXPECT_EQ(PlayerRecord.SolvedFlags(12), -1);
  EXPECT_EQ(PlayerRecord.SolvedFlags(11), 0);
  EXPECT_EQ(PlayerRecord.SolvedCount(), 1);
  EXPECT_EQ(PlayerRecord.Bytes[1000], 0xAB);
}

TEST_F(ReestrTest, LongerProgressFileReadsOnlyItsFirstRecord) {
  std::string bytes(kPlayerRecordSize, '\0');
  bytes[72] = bytes[73] = bytes[74] = bytes[75] = '\xff';
  std::string tail(kPlayerRecordSize, '\x55');  // would land on the start if read block by block
  WriteBytes(dir / "Users.dat", bytes + tail + "xyz");
  LoadSettings();
  EXPECT_EQ(PlayerRecord.SolvedFlags(12), -1);
  EXPECT_EQ(PlayerRecord.Bytes[0], 0);
  EXPECT_EQ(PlayerRecord.Bytes[kPlayerRecordSize - 1], 0);
}

TEST_F(ReestrTest, ShorterProgressFileKeepsTheRestInitial) {
  WriteBytes(dir / "Users.dat", std::string("\x03" "Bob", 4));
  LoadSettings();
  EXPECT_EQ(PlayerRecord.Bytes[0], 3);
  EXPECT_EQ(PlayerRecord.Bytes[3], 'b');
  EXPECT_EQ(PlayerRecord.Bytes[4], 'e') << "byte 4 keeps the initial \"Name\"";
  EXPECT_EQ(PlayerRecord.GetInt32(4756 + 24), 50);
  EXPECT_EQ(PlayerRecord.GetInt32(4756 + 9 * 32 + 28), -400);

  WriteBytes(dir / "Users.dat", "");
  LoadSettings();
  EXPECT_EQ(PlayerRecord.Bytes[0], 4);
}

TEST_F(ReestrTest, MalformedStoreGivesDefaultsAndIsRewrittenCleanly) {
  std::string junk;
  for (int i = 0; i < 3000; ++i) junk += static_cast<char>((i * 37 + 11) & 0xff);
  const std::string cases[] = {
      junk,
      std::string(kKeyLine) + std::string("\"Full\"=dword:0\0\n\"3D\"=dword:0\n", 29),  // NUL
      std::string(kKeyLine) + "\"Full\"=dword:xyz\n\"Tips\"=dword:123456789\n"
                              "\"Sounds\n" + std::string(10000, 'A') + "\n=dword:0\n",
      std::string(plat::kSettingsStoreMaxBytes + 1, '\n'),
  };
  for (const std::string& c : cases) {
    WriteStore(c);
    LoadSettings();
    if (&c == &cases[2]) {
      // The key is there, its values are all unreadable: only the key's own fallback differs.
      EXPECT_NE(Settings.Use3D, 0);
      Settings.Use3D = 0;
    }
    EXPECT_TRUE(OptionsAre(kFirstRunOptions));
    ASSERT_TRUE(SaveSettings());
    plat::SettingsStore s = LoadStore();
    uint32_t v = 0;
    EXPECT_TRUE(s.ReadDword(kSettingsKey, "Full", v));
    EXPECT_EQ(v, 1u);
    std::string text = ReadText(StorePath());
    EXPECT_LT(text.size(), 400u);
    for (char ch : text) EXPECT_TRUE(ch == '\n' || (ch >= 0x20 && ch < 0x7f));
  }
}

// Fails every save between the write of the temporary file and its rename.
bool Interrupt(const std::string&) { return false; }

TEST_F(ReestrTest, SaveInterruptedBeforeRenameLeavesOldFilesIntact) {
  LoadSettings();
  ASSERT_TRUE(SaveSettings());
  std::string oldStore = ReadText(StorePath());
  std::string oldProgress = ReadText(dir / "Users.dat");

  Settings.Full = 0;
  PlayerRecord.SetSolvedFlags(3, -1);
  test_seam::BeforeAtomicRename = Interrupt;
  testing::internal::CaptureStderr();
  EXPECT_FALSE(SaveSettings());
  std::string err = testing::internal::GetCapturedStderr();
  test_seam::BeforeAtomicRename = nullptr;

  EXPECT_NE(err.find("Tangrel 2.0: cannot save Users.dat"), std::string::npos) << err;
  // The path as the game spells it (on Windows fs::path writes its own separators).
  EXPECT_NE(err.find("Tangrel 2.0: cannot save " + SettingsStorePath()), std::string::npos) << err;
  EXPECT_EQ(ReadText(StorePath()), oldStore);
  EXPECT_EQ(ReadText(dir / "Users.dat"), oldProgress);
  EXPECT_FALSE(fs::exists(dir / "Users.dat.tmp"));
  EXPECT_EQ(Settings.Full, 0) << "memory keeps the new values";
  EXPECT_EQ(PlayerRecord.SolvedFlags(3), -1);

  ASSERT_TRUE(SaveSettings()) << "the next save goes through";
  LoadSettings();
  EXPECT_EQ(Settings.Full, 0);
  EXPECT_EQ(PlayerRecord.SolvedFlags(3), -1);
}

TEST_F(ReestrTest, UnwritableFolderFailsWithoutLosingTheOldFile) {
  LoadSettings();
  ASSERT_TRUE(SaveSettings());
  std::string oldProgress = ReadText(dir / "Users.dat");
  PlayerRecord.SetSolvedFlags(5, -1);
  // A folder standing where the temporary file goes stops the save even for root.
  fs::create_directory(dir / "Users.dat.tmp");
  fs::create_directory(dir / "cfg" / "user.reg.tmp");
  testing::internal::CaptureStderr();
  EXPECT_FALSE(SaveSettings());
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("Tangrel 2.0: cannot save Users.dat:"), std::string::npos) << err;
  EXPECT_EQ(ReadText(dir / "Users.dat"), oldProgress);
  EXPECT_EQ(PlayerRecord.SolvedFlags(5), -1);
  fs::remove(dir / "Users.dat.tmp");
  fs::remove(dir / "cfg" / "user.reg.tmp");

#ifndef _WIN32  // Windows does not keep files out of a read-only folder
  if (geteuid() != 0) {  // root writes into read-only folders anyway
    fs::permissions(dir, fs::perms::owner_read | fs::perms::owner_exec);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(WriteProgressFile());
    testing::internal::GetCapturedStderr();
    fs::permissions(dir, fs::perms::owner_all);
    EXPECT_EQ(ReadText(dir / "Users.dat"), oldProgress);
  }
#endif
}

TEST_F(ReestrTest, PipesInPlaceOfTheFilesDoNotHang) {
#ifdef _WIN32
  GTEST_SKIP() << "Windows has no named pipes in the file system";
#else
  fs::create_directories(dir / "cfg");
  ASSERT_EQ(mkfifo(StorePath().c_str(), 0600), 0);
  ASSERT_EQ(mkfifo((dir / "Users.dat").c_str(), 0600), 0);
  testing::internal::CaptureStderr();
  LoadSettings();
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("not a regular file"), std::string::npos) << err;
  EXPECT_TRUE(OptionsAre(kFirstRunOptions));
  EXPECT_EQ(PlayerRecord.Bytes[0], 4);
#endif
}

TEST_F(ReestrTest, SettingsFolderThatCannotBeCreated) {
  WriteBytes(dir / "file", "x");
  fake.configDir = (dir / "file" / "tangrel").string() + "/";
  LoadSettings();
  EXPECT_TRUE(OptionsAre(kFirstRunOptions));
  testing::internal::CaptureStderr();
  EXPECT_FALSE(SaveSettings());
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("cannot create folder"), std::string::npos) << err;
  EXPECT_EQ(fs::file_size(dir / "Users.dat"), kPlayerRecordSize) << "progress is still saved";
}

// --- progress files that are not the game's ------------------------------------------------

// A record as the game writes it, with these levels solved.
std::string GameRecord(std::initializer_list<int> solved) {
  InitPlayerRecord();
  for (int l : solved) PlayerRecord.SetSolvedFlags(l, -1);
  PlayerRecord.SetSolvedCount(static_cast<int32_t>(solved.size()));
  PlayerRecord.Bytes[432] = 1;
  return std::string(PlayerRecord.Bytes.begin(), PlayerRecord.Bytes.end());
}

TEST_F(ReestrTest, AFileTheGameWroteIsTakenAsItIs) {
  WriteBytes(dir / "Users.dat", GameRecord({0, 12, 99}));
  PlayerRecord.Bytes[1000] = 0x7F;  // uninterpreted bytes are anything
  LoadSettings();
  EXPECT_TRUE(fake.errors.empty()) << fake.errors.front();
  EXPECT_EQ(PlayerRecord.SolvedCount(), 3);
  ASSERT_TRUE(SaveSettings());
  LoadSettings();
  EXPECT_TRUE(fake.errors.empty()) << fake.errors.front();
  EXPECT_FALSE(fs::exists(dir / "Users.dat.damaged"));
  EXPECT_EQ(PlayerRecord.SolvedFlags(99), -1);
}

TEST_F(ReestrTest, DamagedProgressFilesAreSetAsideUnderFreeNamesAndToldOnce) {
  std::string noise(kPlayerRecordSize, '\0');
  for (size_t i = 0; i < noise.size(); ++i) noise[i] = static_cast<char>((i * 2654435761u) >> 13);
  std::string shortFile = GameRecord({0, 1, 2, 3, 4}).substr(0, 200);  // marks of levels 0 to 43
  std::string miscounted = GameRecord({7, 8});
  miscounted[428] = 40;
  std::string longName = GameRecord({});
  longName[0] = 24;
  std::string longFile = GameRecord({5}) + "more";

  struct TCase {
    std::string bytes, setAsideAs, says;
    int solvedKept;
  } cases[] = {
      {noise, "Users.dat.damaged", "neither solved nor unsolved", 0},
      {shortFile, "Users.dat.damaged.1", "200 bytes long, not 5076", 5},
      {miscounted, "Users.dat.damaged.2", "counts 40 solved levels but marks 2", 2},
      {longName, "Users.dat.damaged.3", "name is longer than its field", 0},
      {longFile, "Users.dat.damaged.4", "longer than 5076 bytes", 1},
      {"", "Users.dat.damaged.5", "0 bytes long", 0},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.setAsideAs);
    fake.errors.clear();
    WriteBytes(dir / "Users.dat", c.bytes);
    LoadSettings();
    ASSERT_EQ(fake.errors.size(), 1u);
    const std::string& told = fake.errors[0];
    EXPECT_NE(told.find(c.says), std::string::npos) << told;
    EXPECT_NE(told.find("kept as " + c.setAsideAs), std::string::npos) << told;
    EXPECT_NE(told.find(fs::current_path().string()), std::string::npos) << told;
    // Moved, not copied, and never over an earlier one.
    EXPECT_FALSE(fs::exists(dir / "Users.dat"));
    EXPECT_EQ(ReadText(dir / c.setAsideAs), c.bytes);
    // Play goes on from what could be read, the count following the marks.
    EXPECT_EQ(PlayerRecord.SolvedCount(), c.solvedKept);
    int marks = 0;
    for (int l = 0; l < 100; ++l) marks += PlayerRecord.SolvedFlags(l) != 0;
    EXPECT_EQ(marks, c.solvedKept);
    EXPECT_LT(PlayerRecord.Bytes[0], 24);
    // What the game writes next is a file it takes as its own.
    ASSERT_TRUE(SaveSettings());
    fake.errors.clear();
    LoadSettings();
    EXPECT_TRUE(fake.errors.empty()) << fake.errors.front();
    EXPECT_EQ(PlayerRecord.SolvedCount(), c.solvedKept);
  }
  EXPECT_EQ(ReadText(dir / "Users.dat.damaged"), noise) << "the first one set aside is still there";
}

TEST_F(ReestrTest, ADamagedFileFoundAtAWriteIsSetAsideToo) {
  LoadSettings();
  PlayerRecord.SetSolvedFlags(4, -1);
  PlayerRecord.SetSolvedCount(1);
  WriteBytes(dir / "Users.dat", "not a record");  // something else wrote it meanwhile
  ASSERT_TRUE(WriteProgressFile());
  ASSERT_EQ(fake.errors.size(), 1u);
  EXPECT_EQ(ReadText(dir / "Users.dat.damaged"), "not a record");
  EXPECT_EQ(fs::file_size(dir / "Users.dat"), kPlayerRecordSize);
}

// --- progress written when it changes, merged with the file as it stands -----------------

TEST_F(ReestrTest, EveryProgressWriteKeepsWhatAnotherCopySolved) {
  LoadSettings();  // this copy starts with nothing solved
  PlayerRecord.SetSolvedFlags(3, -1);
  PlayerRecord.SetSolvedCount(1);
  const TPlayerRecord mine = PlayerRecord;
  // Meanwhile the other copy saved levels 3, 5 and 7.
  WriteBytes(dir / "Users.dat", GameRecord({3, 5, 7}));
  PlayerRecord = mine;
  ASSERT_TRUE(SaveProgress());
  std::string bytes = ReadText(dir / "Users.dat");
  ASSERT_EQ(bytes.size(), kPlayerRecordSize);
  for (int l : {3, 5, 7}) EXPECT_EQ(bytes.substr(24 + 4 * l, 4), std::string(4, '\xff')) << l;
  EXPECT_EQ(bytes.substr(24 + 4 * 4, 4), std::string(4, '\0'));
  EXPECT_EQ(bytes[428], 3) << "the count follows the marks";
  EXPECT_EQ(PlayerRecord.SolvedFlags(5), -1) << "the menu shows them too";
  EXPECT_EQ(PlayerRecord.SolvedCount(), 3);

  // The other copy's later save, from its own record (3, 5, 7, and now 9), keeps ours too.
  LoadSettings();
  PlayerRecord.SetSolvedFlags(9, -1);
  PlayerRecord.SetSolvedCount(4);
  const TPlayerRecord theirs = PlayerRecord;
  PlayerRecord = mine;
  PlayerRecord.SetSolvedFlags(11, -1);
  PlayerRecord.SetSolvedCount(2);
  ASSERT_TRUE(SaveSettings());
  PlayerRecord = theirs;
  ASSERT_TRUE(SaveSettings());
  LoadSettings();
  int marks = 0;
  for (int l = 0; l < 100; ++l) marks += PlayerRecord.SolvedFlags(l) != 0;
  EXPECT_EQ(marks, 5);
  EXPECT_EQ(PlayerRecord.SolvedFlags(11), -1);
  EXPECT_EQ(PlayerRecord.SolvedCount(), 5);
  EXPECT_TRUE(fake.errors.empty()) << fake.errors.front();
}

TEST_F(ReestrTest, NothingIsWrittenBeforeTheSettingsWereRead) {
  ResetSettings();
  EXPECT_FALSE(SettingsLoaded());
  PlayerRecord.SetSolvedFlags(1, -1);
  EXPECT_FALSE(SaveProgress());
  EXPECT_FALSE(fs::exists(dir / "Users.dat"));
  LoadSettings();
  EXPECT_TRUE(SettingsLoaded());
  EXPECT_TRUE(SaveProgress());
  EXPECT_TRUE(fs::exists(dir / "Users.dat"));
}

TEST_F(ReestrTest, AProgressFileThatCannotBeWrittenIsToldOnceNamingTheFolder) {
  LoadSettings();
  ASSERT_TRUE(SaveSettings());
  const std::string oldProgress = ReadText(dir / "Users.dat");
  fs::create_directory(dir / "Users.dat.tmp");  // stops the write even for root
  PlayerRecord.SetSolvedFlags(6, -1);
  testing::internal::CaptureStderr();
  EXPECT_FALSE(SaveProgress());
  EXPECT_FALSE(SaveSettings());
  EXPECT_FALSE(WriteProgressFile());
  testing::internal::GetCapturedStderr();
  ASSERT_EQ(fake.errors.size(), 1u);
  EXPECT_NE(fake.errors[0].find("Your progress cannot be saved in the folder " + fs::current_path().string()),
            std::string::npos)
      << fake.errors[0];
  EXPECT_EQ(ReadText(dir / "Users.dat"), oldProgress);
  EXPECT_EQ(PlayerRecord.SolvedFlags(6), -1) << "memory keeps it";
  fs::remove(dir / "Users.dat.tmp");
  EXPECT_TRUE(SaveProgress()) << "room again: the next write goes through";
  EXPECT_EQ(fake.errors.size(), 1u);
}

}  // namespace
