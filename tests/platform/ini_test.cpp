// The INI reader: names without regard to case, the number forms, defaults, hostile text.
#include <gtest/gtest.h>

#include <string>

#include "platform/ini.h"

using plat::ParseIniInteger;
using plat::TIniFile;

TEST(IniNumbers, DecimalAndHexForms) {
  EXPECT_EQ(ParseIniInteger("500"), 500);
  EXPECT_EQ(ParseIniInteger("-42"), -42);
  EXPECT_EQ(ParseIniInteger("+7"), 7);
  EXPECT_EQ(ParseIniInteger("  12 "), 12);
  EXPECT_EQ(ParseIniInteger("$1F4"), 500);
  EXPECT_EQ(ParseIniInteger("0x1F4"), 500);
  EXPECT_EQ(ParseIniInteger("0X1f4"), 500);
  EXPECT_EQ(ParseIniInteger("-$10"), -16);
  EXPECT_EQ(ParseIniInteger("$FFFFFFFF"), -1);
  EXPECT_EQ(ParseIniInteger("2147483647"), 2147483647);
  EXPECT_EQ(ParseIniInteger("-2147483648"), INT32_MIN);
}

TEST(IniNumbers, NonIntegersGiveNothing) {
  for (const char* bad : {"", " ", "-", "$", "0x", "12a", "1.5", "abc", "2147483648", "-2147483649",
                          "$100000000", "0x-1", "1 2", "--1", "99999999999999999999999"})
    EXPECT_FALSE(ParseIniInteger(bad).has_value()) << bad;
}

TEST(IniFile, SectionsAndKeysIgnoreCase) {
  TIniFile ini;
  ini.LoadFromText("; comment\n[Level7]\r\nNumFig = 5\r\nmedtime=0x1F4\n[other]\nNumFig=9\n");
  EXPECT_EQ(ini.ReadInteger("level7", "NUMFIG", 2), 5);
  EXPECT_EQ(ini.ReadInteger("LEVEL7", "MedTime", 3000), 500);
  EXPECT_EQ(ini.ReadInteger("other", "numfig", 2), 9);
  EXPECT_EQ(ini.ReadInteger("level7", "Tip1", 3), 3);      // missing key
  EXPECT_EQ(ini.ReadInteger("level8", "NumFig", 2), 2);    // missing section
  EXPECT_TRUE(ini.HasSection("LeVeL7"));
}

TEST(IniFile, NonIntegerValueGivesDefaultAndFirstKeyWins) {
  TIniFile ini;
  ini.LoadFromText("[a]\nx=hello\ny=1\ny=2\nkey without equals\n=5\n[a]\ny=3\n");
  EXPECT_EQ(ini.ReadInteger("a", "x", 77), 77);
  EXPECT_EQ(ini.ReadInteger("a", "y", 0), 1);
}

TEST(IniFile, HostileBytesDoNotHurt) {
  std::string text = "[a]\n";
  text += std::string(100000, 'x') + "=1\n";  // an overlong line is cut
  text += std::string("\0\xff\x80[=]\n", 8);
  text += "b=" + std::string(20000, '9') + "\n";
  text += "[";  // unterminated section at the end
  TIniFile ini;
  ini.LoadFromText(text);
  EXPECT_EQ(ini.ReadInteger("a", "b", -3), -3);
  TIniFile missing;
  EXPECT_FALSE(missing.LoadFromFile("/nonexistent/dir/file.dat"));
  EXPECT_EQ(missing.ReadInteger("a", "b", 4), 4);
}
