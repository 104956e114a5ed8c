// Package reader and writer: round trips, hand-built streams and every error text.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>

#include "media/package.h"
#include "pkg_builder.h"
#include "testkit/checks.h"

namespace {

std::string ErrorOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const EGameError& e) {
    return e.what();
  }
  return "(no error)";
}

std::vector<TImageItemData> ParseImages(const std::vector<uint8_t>& b,
                                        std::vector<uint8_t>* table = nullptr) {
  std::vector<TImageItemData> items;
  ParseImagePackage(b.data(), b.size(), items, table);
  return items;
}

std::vector<TWaveItemData> ParseWaves(const std::vector<uint8_t>& b) {
  std::vector<TWaveItemData> items;
  ParseWavePackage(b.data(), b.size(), items);
  return items;
}

std::string ImageError(const std::vector<uint8_t>& b) {
  return ErrorOf([&] { ParseImages(b); });
}

TPicture Gradient(int w, int h, bool manyColours) {
  TPicture p;
  p.Width = w;
  p.Height = h;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      p.Pixels.push_back(manyColours ? static_cast<uint32_t>((x * 7) << 16 | (y * 5) << 8 | (x + y)) & 0xFFFFFFu
                                     : (x + y) % 3 == 0 ? 0xFF00FFu : 0x123456u);
  return p;
}

std::vector<uint8_t> PcmFormat(uint16_t channels, uint32_t rate, uint16_t bits) {
  TBytes f;
  f.U16(1).U16(channels).U32(rate).U32(rate * channels * bits / 8)
      .U16(static_cast<uint16_t>(channels * bits / 8)).U16(bits);
  return f.B;
}

}  // namespace

TEST(PackageRoundTrip, ImageItemsKeepEveryProperty) {
  std::vector<TImageItemData> in(5);
  in[0].Name = "Loading";
  in[0].HasPicture = true;
  in[0].Picture = Gradient(300, 37, true);  // 24-bit
  in[1].Name = "pan_numbers";
  in[1].PatternWidth = 11;
  in[1].PatternHeight = -200;
  in[1].SkipWidth = 1000;
  in[1].SkipHeight = -70000;
  in[1].SystemMemory = true;
  in[1].Transparent = false;
  in[1].TransparentColor = clFuchsia;
  in[1].HasPicture = true;
  in[1].Picture = Gradient(13, 5, false);  // few colours: written with a colour table
  in[2].Name = std::string(300, 'x');        // too long for a short string
  in[2].TransparentColor = 0x80000000u + 15;  // clBtnFace
  in[3].TransparentColor = 0x00123456;        // no name: an integer
  in[3].HasPicture = true;                    // empty "TDIB" payload
  in[4].Name = "clNone";
  in[4].TransparentColor = 0x1FFFFFFF;
  std::vector<uint8_t> table(1024);
  for (size_t i = 0; i < table.size(); ++i) table[i] = static_cast<uint8_t>(i * 3);

  std::vector<uint8_t> bytes = WriteImagePackage(in, &table);
  std::vector<uint8_t> tableOut;
  std::vector<TImageItemData> out = ParseImages(bytes, &tableOut);
  ASSERT_EQ(out.size(), in.size());
  EXPECT_EQ(tableOut, table);
  for (size_t i = 0; i < in.size(); ++i) EXPECT_TRUE(testkit::SameImageItem(out[i], in[i])) << "item " << i;
  // Writing what was read gives the same bytes again.
  EXPECT_EQ(WriteImagePackage(out, &tableOut), bytes);
}

TEST(PackageRoundTrip, HeaderIsTheFixedOne) {
  std::vector<uint8_t> b = WriteImagePackage({});
  ASSERT_GT(b.size(), 20u);
  EXPECT_EQ(b[0], 0xFF);
  EXPECT_EQ(b[1] | (b[2] << 8), 10);
  size_t n = 3;
  while (b[n] != 0) ++n;
  EXPECT_EQ(b[n + 1] | (b[n + 2] << 8), 0x1030);
  uint32_t length = b[n + 3] | (b[n + 4] << 8) | (b[n + 5] << 16) | (uint32_t{b[n + 6]} << 24);
  EXPECT_EQ(length, b.size() - (n + 7));
  EXPECT_EQ(std::string(b.begin() + n + 7, b.begin() + n + 11), "TPF0");
}

TEST(PackageRoundTrip, WaveItemsKeepEveryProperty) {
  std::vector<TWaveItemData> in(3);
  in[0].Name = "take";
  in[0].HasWave = true;
  in[0].Format = PcmFormat(1, 22050, 16);
  in[0].Format.push_back(0);  // extra format bytes stay as they are
  in[0].Format.push_back(0);
  in[0].Data = {1, 2, 3, 4, 5};  // odd length: no padding byte
  in[1].Name = "loop";
  in[1].Looped = true;
  in[1].MaxPlayingCount = 300;
  in[2].Name = "silent";
  in[2].MaxPlayingCount = -1;
  in[2].HasWave = true;
  in[2].Format = PcmFormat(2, 44100, 8);

  std::vector<uint8_t> bytes = WriteWavePackage(in);
  std::vector<TWaveItemData> out = ParseWaves(bytes);
  ASSERT_EQ(out.size(), in.size());
  for (size_t i = 0; i < in.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(out[i].Name, in[i].Name);
    EXPECT_EQ(out[i].Looped, in[i].Looped);
    EXPECT_EQ(out[i].MaxPlayingCount, in[i].MaxPlayingCount);
    EXPECT_EQ(out[i].HasWave, in[i].HasWave);
    EXPECT_EQ(out[i].Format, in[i].Format);
    EXPECT_EQ(out[i].Data, in[i].Data);
  }
  EXPECT_EQ(WriteWavePackage(out), bytes);
}

TEST(PackageReader, EmptyListLoadsAsNoItems) {
  TBytes b = TBytes::Start();
  b.ListBegin().Finish();
  std::vector<TImageItemData> items{TImageItemData{}};  // appended to, never cleared
  ParseImagePackage(b.B.data(), b.B.size(), items);
  EXPECT_EQ(items.size(), 1u);
}

TEST(PackageReader, DefaultsOfAbsentProperties) {
  TBytes b = TBytes::Start();
  b.ListBegin();
  b.Item().End();                                   // nothing at all
  b.Item().Prop("Transparent").Bool(false).End();  // "Transparent" false
  b.Finish();
  auto items = ParseImages(b.B);
  ASSERT_EQ(items.size(), 2u);
  EXPECT_EQ(items[0].Name, "");
  EXPECT_TRUE(items[0].Transparent);
  EXPECT_EQ(items[0].TransparentColor, 0u);
  EXPECT_FALSE(items[0].SystemMemory);
  EXPECT_FALSE(items[0].HasPicture);
  EXPECT_EQ(items[0].PatternWidth, 0);
  EXPECT_FALSE(items[1].Transparent);
}

TEST(PackageReader, ColourIdentifiersAndIntegersAlike) {
  TBytes b = TBytes::Start();
  b.ListBegin();
  b.Item().Prop("TransparentColor").Ident("clFuchsia").End();
  b.Item().Prop("TransparentColor").Int32(16711935).End();
  b.Item().Prop("TransparentColor").Ident("CLBTNFACE").End();
  b.Item().Prop("TransparentColor").Ident("clGradientInactiveCaption").End();
  b.Item().Prop("TransparentColor").Ident("clNone").End();
  b.Item().Prop("TransparentColor").Int8(-1).End();
  b.Finish();
  auto items = ParseImages(b.B);
  ASSERT_EQ(items.size(), 6u);
  EXPECT_EQ(items[0].TransparentColor, 16711935u);
  EXPECT_EQ(items[1].TransparentColor, items[0].TransparentColor);
  EXPECT_EQ(items[2].TransparentColor, 2147483663u);
  EXPECT_EQ(items[3].TransparentColor, 0x80000000u + 28);
  EXPECT_EQ(items[4].TransparentColor, 536870911u);
  EXPECT_EQ(items[5].TransparentColor, 0xFFFFFFFFu);
}

TEST(PackageReader, EveryColourNameOfTheTable) {
  const std::pair<const char*, TColor> names[] = {
      {"clBlack", 0x000000}, {"clMaroon", 0x000080}, {"clGreen", 0x008000},
      {"clOlive", 0x008080}, {"clNavy", 0x800000},   {"clPurple", 0x800080},
      {"clTeal", 0x808000},  {"clGray", 0x808080},   {"clSilver", 0xC0C0C0},
      {"clRed", 0x0000FF},   {"clLime", 0x00FF00},   {"clYellow", 0x00FFFF},
      {"clBlue", 0xFF0000},  {"clFuchsia", 0xFF00FF}, {"clAqua", 0xFFFF00},
      {"clWhite", 0xFFFFFF}, {"clMoneyGreen", 0xC0DCC0}, {"clSkyBlue", 0xF0CAA6},
      {"clCream", 0xF0FBFF}, {"clMedGray", 0xA4A0A0}, {"clDefault", 0x20000000},
      {"clScrollBar", 0x80000000}, {"clInfoBk", 0x80000018}, {"cl3DDkShadow", 0x80000015}};
  for (auto [name, value] : names) {
    TColor c = 1;
    EXPECT_TRUE(IdentToColor(name, c)) << name;
    EXPECT_EQ(c, value) << name;
  }
  TColor c = 0;
  EXPECT_FALSE(IdentToColor("clGradientActiveCaption2", c));
  EXPECT_FALSE(IdentToColor("", c));
}

TEST(PackageReader, ValueTypesTheWriterNeverWrites) {
  // Empty resource name; a 0xF0 prefix with its integer before the class name.
  TBytes b;
  b.U8(0xFF).U16(10).U8(0).U16(0x1030).U32(0).Raw("TPF0");
  b.U8(0xF2).Int16(7).Short("TImageList").Short("Root_1");
  b.Prop("Name").U8(6).Short("ignored").Prop("Tag").Int32(-5);
  std::vector<uint8_t> table(1024, 0xAB);
  b.Prop("List.ColorTable").Bin(table);
  b.ListBegin();
  // long string name and 16/32-bit integers
  b.Item().Prop("Name").U8(12).U32(3).Raw("abc");
  b.Prop("PatternWidth").Int16(-300).Prop("PatternHeight").Int32(70000).End();
  // wide string: "Zé" then a surrogate pair and a lone surrogate
  b.Item().Prop("Name").U8(18).U32(5).U16('Z').U16(0xE9).U16(0xD83D).U16(0xDE00).U16(0xDC00);
  b.End();
  // UTF-8 string, and an order number before the list begin
  b.Int8(3).Item().Prop("Name").U8(20).U32(2).Raw("\xC3\xA9").End();
  b.Int32(100000).Item().Prop("name").Str("lower case property").End();
  b.Finish();
  std::vector<uint8_t> tableOut;
  auto items = ParseImages(b.B, &tableOut);
  ASSERT_EQ(items.size(), 4u);
  EXPECT_EQ(tableOut, table);
  EXPECT_EQ(items[0].Name, "abc");
  EXPECT_EQ(items[0].PatternWidth, -300);
  EXPECT_EQ(items[0].PatternHeight, 70000);
  EXPECT_EQ(items[1].Name, "Z\xC3\xA9\xF0\x9F\x98\x80\xEF\xBF\xBD");
  EXPECT_EQ(items[2].Name, "\xC3\xA9");
  EXPECT_EQ(items[3].Name, "lower case property");
}

TEST(PackageReader, UnknownPictureKindIsNoPicture) {
  TBytes b = TBytes::Start();
  b.ListBegin();
  b.Item().Prop("Picture.Data").Bin({7, 'T', 'M', 'e', 't', 'a', 'f', 'i', 1, 2, 3}).End();
  b.Item().Prop("Picture.Data").Bin({4, 'T', 'D', 'I', 'B'}).End();
  b.Finish();
  auto items = ParseImages(b.B);
  ASSERT_EQ(items.size(), 2u);
  EXPECT_FALSE(items[0].HasPicture);
  EXPECT_TRUE(items[1].HasPicture);
  EXPECT_TRUE(items[1].Picture.Empty());
}

TEST(PackageReader, HeaderAndSignatureErrors) {
  std::vector<uint8_t> good = WriteImagePackage({});
  auto bad = good;
  bad[0] = 0xFE;
  EXPECT_EQ(ImageError(bad), "Invalid stream format");
  bad = good;
  bad[1] = 11;
  EXPECT_EQ(ImageError(bad), "Invalid stream format");
  bad = good;
  bad[3 + 10 + 1 + 2 + 4] = 'X';  // "TIMAGELIST" name, zero, flags, length, then "TPF0"
  EXPECT_EQ(ImageError(bad), "Invalid stream format");
  EXPECT_EQ(ImageError({}), "Stream read error");
  // Every cut short of the whole package is a read error, never a crash.
  std::vector<TImageItemData> one(1);
  one[0].Name = "x";
  one[0].HasPicture = true;
  one[0].Picture = Gradient(3, 3, true);
  good = WriteImagePackage(one);
  for (size_t n = 0; n < good.size(); ++n) {
    std::vector<uint8_t> cut(good.begin(), good.begin() + static_cast<long>(n));
    EXPECT_EQ(ImageError(cut), "Stream read error") << n;
  }
}

TEST(PackageReader, PropertyErrors) {
  auto withItem = [](const std::function<void(TBytes&)>& body) {
    TBytes b = TBytes::Start();
    b.ListBegin().Item();
    body(b);
    b.End().Finish();
    return b.B;
  };
  EXPECT_EQ(ImageError(withItem([](TBytes& b) { b.Prop("Foo").Int8(1); })),
            "Property Foo does not exist");
  EXPECT_EQ(ImageError(withItem([](TBytes& b) { b.Prop("Looped").Bool(true); })),
            "Property Looped does not exist");
  EXPECT_EQ(ImageError(withItem([](TBytes& b) { b.Prop("PatternWidth").Str("12"); })),
            "Invalid property value");
  EXPECT_EQ(ImageError(withItem([](TBytes& b) { b.Prop("Name").Int8(1); })),
            "Invalid property value");
  EXPECT_EQ(ImageError(withItem([](TBytes& b) { b.Prop("Name").Ident("x"); })),
            "Invalid property value");
  EXPECT_EQ(ImageError(withItem([](TBytes& b) { b.Prop("Transparent").Int8(1); })),
            "Invalid property value");
  EXPECT_EQ(ImageError(withItem([](TBytes& b) { b.Prop("TransparentColor").Ident("clPink"); })),
            "Invalid property value");
  EXPECT_EQ(ImageError(withItem([](TBytes& b) { b.Prop("Picture.Data").Str("TDIB"); })),
            "Invalid property value");
  // Root level.
  TBytes r = TBytes::Start();
  r.Prop("Items").U8(14).Finish();
  EXPECT_EQ(ImageError(r.B), "Property Items does not exist");
  r = TBytes::Start();
  r.Prop("List.ColorTable").Bin(std::vector<uint8_t>(1023)).Finish();
  EXPECT_EQ(ImageError(r.B), "Invalid property value");
  // A colour table belongs to image packages only.
  r = TBytes::Start();
  r.Prop("List.ColorTable").Bin(std::vector<uint8_t>(1024)).U8(0).U8(0);
  EXPECT_EQ(ErrorOf([&] { ParseWaves(r.B); }), "Property List.ColorTable does not exist");
}

TEST(PackageReader, HostileLengthsAreReadErrors) {
  for (uint8_t type : {uint8_t{10}, uint8_t{12}, uint8_t{18}, uint8_t{20}}) {
    for (uint32_t length : {0x7FFFFFFFu, 0xFFFFFFFFu, 0x80000000u, 100u}) {
      TBytes b = TBytes::Start();
      b.ListBegin().Item().Prop(type == 10 ? "Picture.Data" : "Name").U8(type).U32(length);
      b.Raw("abc");
      EXPECT_EQ(ImageError(b.B), "Stream read error") << int(type) << " " << length;
    }
  }
}

TEST(PackageReader, ItemsBeforeAFailureStay) {
  TBytes b = TBytes::Start();
  b.ListBegin();
  b.Item().Prop("Name").Str("first").End();
  b.Item().Prop("Name").Str("second").End();
  b.Item().Prop("Name").Str("broken").Prop("Bogus").Int8(0).End();
  b.Finish();
  std::vector<TImageItemData> items;
  EXPECT_EQ(ErrorOf([&] { ParseImagePackage(b.B.data(), b.B.size(), items); }),
            "Property Bogus does not exist");
  ASSERT_EQ(items.size(), 2u);
  EXPECT_EQ(items[1].Name, "second");

  // A picture that fails to decode fails the load the same way, after the good items.
  TBytes bad = InfoHeader(1, 1, 24);
  bad.B[0] = 108;
  TBytes p = TBytes::Start();
  p.ListBegin();
  p.Item().Prop("Name").Str("good").End();
  p.Item().Prop("Picture.Data").Bin(TdibPayload(bad.B)).End();
  p.Finish();
  items.clear();
  EXPECT_EQ(ErrorOf([&] { ParseImagePackage(p.B.data(), p.B.size(), items); }), "DIB is invalid");
  EXPECT_EQ(items.size(), 1u);
}

TEST(PackageReader, WaveItemErrors) {
  auto wave = [](const std::vector<uint8_t>& riff) {
    TBytes b = TBytes::Start("TWaveList");
    b.ListBegin().Item().Prop("Name").Str("w").Prop("Wave.WAVE").Bin(riff).End().Finish();
    return ErrorOf([&] { ParseWaves(b.B); });
  };
  TBytes riff;
  riff.Raw("RIFX").U32(4).Raw("WAVE");
  EXPECT_EQ(wave(riff.B), "Wave is invalid");
  EXPECT_EQ(wave({}), "Wave is invalid");
  riff = TBytes();
  riff.Raw("RIFF").U32(4).Raw("WAVE").Raw("data").U32(0xFFFFFFF0u);
  EXPECT_EQ(wave(riff.B), "Stream read error");
  TBytes b = TBytes::Start("TWaveList");
  b.ListBegin().Item().Prop("PatternWidth").Int8(1).End().Finish();
  EXPECT_EQ(ErrorOf([&] { ParseWaves(b.B); }), "Property PatternWidth does not exist");
}

TEST(PackageFile, MissingFileAndRealFile) {
  EXPECT_EQ(ErrorOf([] { ReadPackageFile("no-such-dir/x.gpk"); }),
            "Cannot open file no-such-dir/x.gpk");
  EXPECT_EQ(ErrorOf([] { ReadPackageFile("."); }), "Cannot open file .");
  std::vector<TImageItemData> in(1);
  in[0].Name = "disk";
  std::vector<uint8_t> bytes = WriteImagePackage(in);
  const char* path = "test_package_file.gpk";
  FILE* f = std::fopen(path, "wb");
  ASSERT_NE(f, nullptr);
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
  EXPECT_EQ(ReadPackageFile(path), bytes);
  std::remove(path);
}

TEST(PackagePatterns, CountsByThePatternRules) {
  EXPECT_EQ(PatternCount(50, 50, 0, 0, 200, 100), 8);
  EXPECT_EQ(PatternCount(16, 16, 2, 2, 52, 16), 3);
  EXPECT_EQ(PatternCount(0, 0, 0, 0, 30, 20), 1);
  EXPECT_EQ(PatternCount(30, 20, 5, 5, 30, 20), 1);
  EXPECT_EQ(PatternCount(0, 10, 0, 0, 30, 20), 2);
  EXPECT_EQ(PatternCount(0, 0, 0, 0, 0, 0), 0);
  EXPECT_EQ(PatternCount(40, 10, 0, 0, 30, 20), 0);   // wider than the picture
  EXPECT_EQ(PatternCount(10, 10, -10, 0, 30, 20), 0);  // a step of 0 never divides
  EXPECT_EQ(PatternCount(1, 1, 0, 0, 30000, 30000), 900000000);
}
