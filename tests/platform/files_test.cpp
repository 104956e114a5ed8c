// Reading a data file by name: whole, cut at the limit, and the things that are not a file.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "media/package.h"
#include "platform/files.h"
#include "platform/ini.h"
#include "testkit/testkit.h"

using plat::ReadFileByName;
using plat::TFileRead;

namespace {
// Something other than a file in a data file's place: a pipe, or a folder where there are none.
bool MakeNonFile(const char* name) {
#ifdef _WIN32
  return std::filesystem::create_directory(name);
#else
  return mkfifo(name, 0600) == 0;
#endif
}
}  // namespace

class FilesTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(scratch.Enter("files")); }
  testkit::ScratchFolder scratch;
};

TEST_F(FilesTest, ReadsTheWholeFileOrUpToTheLimit) {
  testkit::WriteText("data.bin", std::string("abc\0def", 7));
  std::vector<uint8_t> bytes;
  bool truncated = true;
  ASSERT_EQ(ReadFileByName("data.bin", 100, bytes, &truncated), TFileRead::Ok);
  EXPECT_EQ(bytes, (std::vector<uint8_t>{'a', 'b', 'c', 0, 'd', 'e', 'f'}));
  EXPECT_FALSE(truncated);

  ASSERT_EQ(ReadFileByName("data.bin", 7, bytes, &truncated), TFileRead::Ok);
  EXPECT_EQ(bytes.size(), 7u);
  EXPECT_FALSE(truncated);  // exactly the limit is not more than it

  ASSERT_EQ(ReadFileByName("data.bin", 3, bytes, &truncated), TFileRead::Ok);
  EXPECT_EQ(bytes, (std::vector<uint8_t>{'a', 'b', 'c'}));
  EXPECT_TRUE(truncated);

  testkit::WriteText("empty.bin", "");
  ASSERT_EQ(ReadFileByName("empty.bin", 100, bytes), TFileRead::Ok);
  EXPECT_TRUE(bytes.empty());
}

TEST_F(FilesTest, WhatIsNotARegularFileCannotBeOpened) {
  std::vector<uint8_t> bytes{1, 2, 3};
  EXPECT_EQ(ReadFileByName("missing.bin", 100, bytes), TFileRead::CannotOpen);
  EXPECT_TRUE(bytes.empty());
  std::filesystem::create_directory("folder");
  EXPECT_EQ(ReadFileByName("folder", 100, bytes), TFileRead::CannotOpen);
#ifndef _WIN32
  // A pipe in a data file's place is refused at once instead of waiting for a writer.
  ASSERT_EQ(mkfifo("pipe", 0600), 0);
  EXPECT_EQ(ReadFileByName("pipe", 100, bytes), TFileRead::CannotOpen);
#endif
}

TEST_F(FilesTest, PackagesAndLevelFilesComeThroughTheSameDoor) {
  ASSERT_TRUE(MakeNonFile("Sprites.gpk"));
  try {
    ReadPackageFile("Sprites.gpk");
    ADD_FAILURE() << "a pipe read as a package";
  } catch (const std::exception& e) {
    EXPECT_STREQ(e.what(), "Cannot open file Sprites.gpk");
  }
  ASSERT_TRUE(MakeNonFile("Episode0.dat"));
  plat::TIniFile ini;
  EXPECT_FALSE(ini.LoadFromFile("Episode0.dat"));
  testkit::WriteText("Episode50.dat", "[level50]\nNumFig=3\n");
  ASSERT_TRUE(ini.LoadFromFile("Episode50.dat"));
  EXPECT_EQ(ini.ReadInteger("level50", "NumFig", 0), 3);
}
