// The settings store file: what the tolerant reader keeps and what the writer puts back.
#include <gtest/gtest.h>

#include <string>

#include "platform/settings_store.h"
#include "testkit/testkit.h"

namespace {

const char* kKey = "\\Software\\Brenmoor Studio\\Tangrel";

TEST(SettingsStore, ReadsTypedValuesIgnoringCaseAndNoise) {
  const std::string text =
      "\xEF\xBB\xBFWindows Registry Editor Version 5.00\r\n"
      "\r\n"
      "\"Orphan\"=dword:00000001\r\n"
      "[\\SOFTWARE\\brenmoor studio\\Tangrel\\]\r\n"
      "  \"Full\" = dword:0000000A  \r\n"
      "\"Name\"=\"Some \\\"text\\\"\"\r\n"
      "\"Bad\"=dword:12345678F\r\n"
      "\"Worse\"=dword:\r\n"
      "\"q\\\\\"=dword:ffffffff\r\n"
      "garbage line\r\n"
      "\"Full\"=dword:0000000b\r\n";
  plat::SettingsStore s;
  ASSERT_TRUE(s.Parse(text.data(), text.size()));
  EXPECT_TRUE(s.KeyExists(kKey));
  uint32_t v = 0;
  EXPECT_TRUE(s.ReadDword(kKey, "full", v));
  EXPECT_EQ(v, 11u) << "the last of two equal names wins";
  EXPECT_TRUE(s.ValueExists(kKey, "Name"));
  EXPECT_FALSE(s.ReadDword(kKey, "Name", v)) << "a string is not a DWORD";
  EXPECT_FALSE(s.ValueExists(kKey, "Bad"));
  EXPECT_FALSE(s.ValueExists(kKey, "Worse"));
  EXPECT_TRUE(s.ReadDword(kKey, "q\\", v));
  EXPECT_EQ(v, 0xffffffffu);
  EXPECT_FALSE(s.ValueExists(kKey, "Orphan"));
}

TEST(SettingsStore, WritesWhatItReadsBack) {
  plat::SettingsStore a;
  a.WriteDword(kKey, "Sounds", 1);
  a.WriteDword(kKey, "odd \"name\" \\", 0x1234abcd);
  a.CreateKey("\\Software\\Empty");
  std::string text = a.Serialize();
  EXPECT_NE(text.find("[\\Software\\Brenmoor Studio\\Tangrel]\n\"Sounds\"=dword:00000001\n"),
            std::string::npos)
      << text;
  plat::SettingsStore b;
  ASSERT_TRUE(b.Parse(text.data(), text.size()));
  uint32_t v = 0;
  EXPECT_TRUE(b.ReadDword(kKey, "odd \"name\" \\", v));
  EXPECT_EQ(v, 0x1234abcdu);
  EXPECT_TRUE(b.KeyExists("Software\\Empty"));
  EXPECT_EQ(b.Serialize(), text);

  EXPECT_TRUE(b.DeleteValue(kKey, "SOUNDS"));
  EXPECT_FALSE(b.DeleteValue(kKey, "Sounds"));
  EXPECT_FALSE(b.DeleteValue("\\No\\Such", "Sounds"));
}

TEST(SettingsStore, BinaryAndOversizedInputIsRejectedWhole) {
  std::string nul = std::string("[\\A]\n\"x\"=dword:1\n") + '\0';
  plat::SettingsStore s;
  EXPECT_FALSE(s.Parse(nul.data(), nul.size()));
  EXPECT_FALSE(s.KeyExists("\\A"));

  std::string longLine = "[\\A]\n\"x\"=\"" + std::string(plat::kSettingsStoreMaxLine, 'y') +
                         "\"\n\"z\"=dword:2\n";
  ASSERT_TRUE(s.Parse(longLine.data(), longLine.size()));
  EXPECT_FALSE(s.ValueExists("\\A", "x"));
  EXPECT_TRUE(s.ValueExists("\\A", "z"));

  EXPECT_TRUE(s.Load("/nonexistent/tangrel/user.reg")) << "a missing file is an empty store";
  EXPECT_FALSE(s.KeyExists("\\A"));
}

TEST(SettingsStore, AnEmptyFileIsAnEmptyStore) {
  testkit::ScratchFolder dir;
  ASSERT_TRUE(dir.Enter("store"));
  plat::SettingsStore s;
  ASSERT_TRUE(s.Parse(nullptr, 0)) << "no bytes at all";
  testkit::WriteText("user.reg", "");
  EXPECT_TRUE(s.Load("user.reg")) << s.ErrorText();
  EXPECT_FALSE(s.KeyExists(kKey));
}

}  // namespace
