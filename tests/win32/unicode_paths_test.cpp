// Names in any script under Wine, whatever the ANSI code page: UTF-8 to UTF-16 and back at the
// system's edge, and the whole-file reads and atomic writes in a folder named in Cyrillic and
// Chinese letters with a space.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/settings_store.h"
#include "platform/win32/platform_win32.h"

#include <windows.h>

namespace {

// "Игра 游戏" written out in UTF-8 bytes, so the test does not hang on the source's encoding.
const std::string kFolderName = "\xD0\x98\xD0\xB3\xD1\x80\xD0\xB0 \xE6\xB8\xB8\xE6\x88\x8F";
const std::wstring kFolderWide = L"\u0418\u0433\u0440\u0430 \u6E38\u620F";

std::vector<uint8_t> Bytes(const std::string& s) { return std::vector<uint8_t>(s.begin(), s.end()); }

// A fresh folder named kFolderName under the test's own temporary folder, UTF-8, with its
// trailing backslash; removed again, files and all, at the end.
class UnicodeFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH];
    const DWORD n = GetTempPathW(MAX_PATH, temp);
    ASSERT_GT(n, 0u);
    wideDir = std::wstring(temp, n) + L"tangrel-unicode-" + std::to_wstring(GetCurrentProcessId()) + L"\\";
    CreateDirectoryW(wideDir.c_str(), nullptr);
    wideDir += kFolderWide + L"\\";
    ASSERT_TRUE(CreateDirectoryW(wideDir.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
    dir = plat::WideToUtf8(wideDir);
  }
  void TearDown() override {
    for (const wchar_t* f : {L"Users.dat", L"Users.dat.tmp", L"Sprites.gpk", L"sub\\deeper\\file.bin"})
      DeleteFileW((wideDir + f).c_str());
    RemoveDirectoryW((wideDir + L"sub\\deeper").c_str());
    RemoveDirectoryW((wideDir + L"sub").c_str());
    RemoveDirectoryW(wideDir.c_str());
    RemoveDirectoryW(wideDir.substr(0, wideDir.size() - kFolderWide.size() - 1).c_str());
  }
  // The bytes of a file, read with the wide call itself.
  std::string Contents(const std::wstring& name) {
    HANDLE h = CreateFileW((wideDir + name).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return "<missing>";
    char buf[256];
    DWORD got = 0;
    ReadFile(h, buf, sizeof buf, &got, nullptr);
    CloseHandle(h);
    return std::string(buf, got);
  }
  std::wstring wideDir;
  std::string dir;
};

}  // namespace

TEST(Utf8Wide, ConvertsEveryPlaneBothWays) {
  EXPECT_EQ(plat::Utf8ToWide(kFolderName), kFolderWide);
  EXPECT_EQ(plat::WideToUtf8(kFolderWide), kFolderName);
  // ASCII, an accented Latin letter (which code page 1252 has, but in another byte), and a
  // letter beyond the first plane, which takes a surrogate pair in UTF-16.
  EXPECT_EQ(plat::Utf8ToWide("Sounds\\theme1.mid"), L"Sounds\\theme1.mid");
  EXPECT_EQ(plat::Utf8ToWide("caf\xC3\xA9"), L"caf\u00E9");
  const std::wstring pair = plat::Utf8ToWide("\xF0\x9F\x8E\xB2");  // U+1F3B2
  ASSERT_EQ(pair.size(), 2u);
  EXPECT_EQ(pair[0], 0xD83C);
  EXPECT_EQ(pair[1], 0xDFB2);
  EXPECT_EQ(plat::WideToUtf8(pair), "\xF0\x9F\x8E\xB2");
  EXPECT_EQ(plat::Utf8ToWide(""), L"");
  EXPECT_EQ(plat::WideToUtf8(std::wstring()), "");
  EXPECT_EQ(plat::WideToUtf8(nullptr, 5), "");
}

TEST(Utf8Wide, BrokenTextBecomesReplacementCharactersNotAnEmptyName) {
  // A cut-off sequence and a stray continuation byte in the middle of a name: the rest of the
  // name survives, so an error message still names the file.
  const std::wstring w = plat::Utf8ToWide("a\xD0" "b\x80" "c");
  ASSERT_FALSE(w.empty());
  EXPECT_EQ(w.front(), L'a');
  EXPECT_EQ(w.back(), L'c');
  EXPECT_NE(w.find(L'b'), std::wstring::npos);
  EXPECT_NE(w.find(L'\uFFFD'), std::wstring::npos);
  // A lone surrogate from the system's side.
  const std::string s = plat::WideToUtf8(std::wstring{L'x', wchar_t(0xD800), L'y'});
  EXPECT_EQ(s.front(), 'x');
  EXPECT_EQ(s.back(), 'y');
  // An embedded zero is kept: the length, not the terminator, counts.
  EXPECT_EQ(plat::Utf8ToWide(std::string("a\0b", 3)).size(), 3u);
}

TEST_F(UnicodeFolder, WritesReadsAndReplacesAFileAtomically) {
  std::string error;
  const std::string path = dir + "Users.dat";
  ASSERT_TRUE(plat::WriteFileAtomically(path, "first", 5, false, error)) << error;
  EXPECT_EQ(Contents(L"Users.dat"), "first");

  // The replace: the new bytes land under the same name, and no ".tmp" is left.
  ASSERT_TRUE(plat::WriteFileAtomically(path, "second!", 7, false, error)) << error;
  EXPECT_EQ(Contents(L"Users.dat"), "second!");
  EXPECT_EQ(GetFileAttributesW((wideDir + L"Users.dat.tmp").c_str()), INVALID_FILE_ATTRIBUTES);

  std::vector<uint8_t> out;
  bool exists = false, over = false;
  ASSERT_TRUE(plat::ReadFileLimited(path, 100, out, exists, over, error)) << error;
  EXPECT_TRUE(exists);
  EXPECT_FALSE(over);
  EXPECT_EQ(out, Bytes("second!"));

  // A missing file in the same folder is missing, not an error.
  out.assign(3, 1);
  EXPECT_TRUE(plat::ReadFileLimited(dir + "nothing.dat", 100, out, exists, over, error));
  EXPECT_FALSE(exists);
  EXPECT_TRUE(out.empty());
}

TEST_F(UnicodeFolder, MakesMissingFoldersOnTheWay) {
  std::string error;
  ASSERT_TRUE(plat::WriteFileAtomically(dir + "sub\\deeper\\file.bin", "x", 1, true, error)) << error;
  EXPECT_EQ(Contents(L"sub\\deeper\\file.bin"), "x");
}

TEST_F(UnicodeFolder, TheDataDoorOpensFilesByFullAndRelativeName) {
  std::string error;
  ASSERT_TRUE(plat::WriteFileAtomically(dir + "Sprites.gpk", "package", 7, false, error)) << error;
  std::vector<uint8_t> bytes;
  bool truncated = true;
  EXPECT_EQ(plat::ReadFileByName(dir + "Sprites.gpk", 1000, bytes, &truncated), plat::TFileRead::Ok);
  EXPECT_EQ(bytes, Bytes("package"));
  EXPECT_FALSE(truncated);
  EXPECT_EQ(plat::ReadFileByName(dir + "Sprites.gpk", 3, bytes, &truncated), plat::TFileRead::Ok);
  EXPECT_EQ(bytes, Bytes("pac"));
  EXPECT_TRUE(truncated);

  // As the game opens its files: relative to the working folder, which has the Unicode name.
  wchar_t before[MAX_PATH];
  const DWORD n = GetCurrentDirectoryW(MAX_PATH, before);
  ASSERT_TRUE(SetCurrentDirectoryW(wideDir.c_str()));
  const plat::TFileRead r = plat::ReadFileByName("Sprites.gpk", 1000, bytes);
  SetCurrentDirectoryW(std::wstring(before, n).c_str());
  EXPECT_EQ(r, plat::TFileRead::Ok);
  EXPECT_EQ(bytes, Bytes("package"));

  // The folder itself is no data file.
  EXPECT_EQ(plat::ReadFileByName(dir.substr(0, dir.size() - 1), 1000, bytes), plat::TFileRead::CannotOpen);
  EXPECT_TRUE(bytes.empty());
}

TEST(ProgramFolder, IsTheFolderOfThisProgramInUtf8) {
  const std::string folder = plat::Win32ProgramFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(folder.back(), '\\');
  // The test program sits beside the fonts, which the wide call must find by that name.
  const std::wstring font = plat::Utf8ToWide(folder + "LiberationSerif-Regular.ttf");
  EXPECT_NE(GetFileAttributesW(font.c_str()), INVALID_FILE_ATTRIBUTES);
  std::printf("ANSI code page of this run: %u\n", GetACP());
}
