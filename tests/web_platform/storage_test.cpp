// The stored forms of the settings and progress files: base64 both ways, and damaged values
// refused rather than half read.
#include <gtest/gtest.h>

#include <random>

#include "platform/web/storage.h"

using namespace plat::web;

namespace {
std::vector<uint8_t> Bytes(std::string_view s) { return {s.begin(), s.end()}; }
}  // namespace

TEST(StoredValues, Base64AsTheStandardWritesIt) {
  // RFC 4648's examples.
  const std::pair<const char*, const char*> cases[] = {
      {"", ""}, {"f", "Zg=="}, {"fo", "Zm8="}, {"foo", "Zm9v"}, {"foob", "Zm9vYg=="}, {"fooba", "Zm9vYmE="},
      {"foobar", "Zm9vYmFy"}};
  for (auto [plain, coded] : cases) {
    const std::vector<uint8_t> b = Bytes(plain);
    EXPECT_EQ(EncodeBase64(b.data(), b.size()), coded);
    EXPECT_EQ(DecodeBase64(coded), b) << coded;
  }
  const uint8_t high[] = {0xFB, 0xFF, 0x00, 0xFE};
  EXPECT_EQ(EncodeBase64(high, 4), "+/8A/g==");
}

TEST(StoredValues, EveryLengthOfAnyBytesComesBackTheSame) {
  std::mt19937 rng(25);
  for (size_t n : {size_t{0}, size_t{1}, size_t{2}, size_t{3}, size_t{4}, size_t{5}, size_t{5076}, size_t{5077}}) {
    std::vector<uint8_t> b(n);
    for (uint8_t& x : b) x = static_cast<uint8_t>(rng());
    const std::string coded = EncodeBase64(b.data(), b.size());
    EXPECT_EQ(coded.size(), (n + 2) / 3 * 4);
    EXPECT_EQ(DecodeBase64(coded), b) << n;
  }
}

TEST(StoredValues, DamagedBase64IsRefusedWhole) {
  for (const char* bad : {"Zg=", "Zm9vY", "Zm9v!A==", "Zm=vYg==", "Z===", "====", "Zm9vYh==", "Zm9vYmF=",
                          "Zm9v\nYmFy", "Zm9vYmFy "}) {
    EXPECT_FALSE(DecodeBase64(bad).has_value()) << bad;
  }
}

TEST(StoredValues, TheTwoFilesUnderTheirKeys) {
  const StoredFile* reg = StoredFileFor("/home/web_user/.config/tangrel/user.reg");
  ASSERT_NE(reg, nullptr);
  EXPECT_STREQ(reg->key, "tangrel.user.reg");
  EXPECT_FALSE(reg->binary);
  const StoredFile* users = StoredFileFor("Users.dat");
  ASSERT_NE(users, nullptr);
  EXPECT_STREQ(users->key, "tangrel.Users.dat");
  EXPECT_TRUE(users->binary);
  // Their temporary files, other files and near names are not kept.
  for (const char* other : {"/x/user.reg.tmp", "Users.dat.tmp", "/game/Sprites.gpk", "users.dat", "USER.REG", "", "/"})
    EXPECT_EQ(StoredFileFor(other), nullptr) << other;
}

TEST(StoredValues, TheProgressAsBase64AndTheSettingsAsTheirText) {
  const StoredFile& users = *StoredFileByName("Users.dat");
  const StoredFile& reg = *StoredFileByName("user.reg");
  std::vector<uint8_t> record(5076);
  for (size_t i = 0; i < record.size(); ++i) record[i] = static_cast<uint8_t>(i * 7);
  const std::string v = EncodeStored(users, record);
  EXPECT_EQ(DecodeStored(users, v, 1 << 20), record);
  const std::vector<uint8_t> text = Bytes("[\\Software\\Brenmoor Studio\\Tangrel]\r\n\"Full\"=dword:00000001\r\n");
  const std::string t = EncodeStored(reg, text);
  EXPECT_EQ(t, std::string(text.begin(), text.end()));
  EXPECT_EQ(DecodeStored(reg, t, 1 << 20), text);
  // Damage and sizes beyond the limit read as nothing: the game's defaults.
  EXPECT_FALSE(DecodeStored(users, "not base64!", 1 << 20).has_value());
  EXPECT_FALSE(DecodeStored(users, v, 5000).has_value());
  EXPECT_FALSE(DecodeStored(reg, t, t.size() - 1).has_value());
  EXPECT_EQ(DecodeStored(reg, t, t.size()), text);
}
