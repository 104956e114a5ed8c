// tangrel_toolkit: PNG with and without alpha, BMP files with newer headers, alpha keys.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "pkg_builder.h"
#include "toolkit.h"

namespace fs = std::filesystem;

namespace {
std::string TempFile(const std::string& name) {
  return (fs::temp_directory_path() / ("tangrel_toolkit_" + std::to_string(getpid()) + name)).string();
}
}  // namespace

TEST(Toolkit, PngKeepsPixelsAndAlpha) {
  TPicture p;
  p.Width = 3;
  p.Height = 2;
  p.Pixels = {0xFF102030, 0x00FFFFFF, 0x80ABCDEF, 0xFF000000, 0x7F010203, 0xFFFF00FF};
  const std::string f = TempFile("a.png");
  toolkit::WritePNG(f, p, true);
  EXPECT_EQ(toolkit::ReadPNG(f, true).Pixels, p.Pixels);
  TPicture plain = toolkit::ReadPNG(f);
  EXPECT_EQ(plain.Pixels[2], 0xABCDEFu);  // alpha dropped, colour kept
  toolkit::ApplyAlphaKey(p, toolkit::ColorToPixel(clFuchsia));
  EXPECT_EQ(p.Pixels, (std::vector<uint32_t>{0x102030, 0xFF00FF, 0xABCDEF, 0x000000, 0xFF00FF,
                                             0xFF00FF}));
  toolkit::WriteFileBytes(f, {1, 2, 3});
  EXPECT_THROW(toolkit::ReadPNG(f), EGameError);
  fs::remove(f);
  EXPECT_THROW(toolkit::ReadPicture(f), EGameError);
  EXPECT_THROW(toolkit::ReadPicture("x.gif"), EGameError);
}

TEST(Toolkit, BmpWithAV4HeaderAndBitFields) {
  // 'BM' file header, a 108-byte header with 32-bit bit fields, one pixel.
  TBytes b;
  b.U8('B').U8('M').U32(0).U32(0).U32(14 + 108);
  TBytes h = InfoHeader(1, 1, 32, 3);
  h.B[0] = 108;
  h.U32(0x00FF0000).U32(0x0000FF00).U32(0x000000FF).U32(0xFF000000);  // masks, alpha mask
  while (h.B.size() < 108) h.U8(0);
  b.Raw(h.B).U32(0x80123456);
  const std::string f = TempFile("b.bmp");
  toolkit::WriteFileBytes(f, b.B);
  TPicture p = toolkit::ReadBMP(f);
  EXPECT_EQ(p.Pixels, (std::vector<uint32_t>{0x123456}));
  toolkit::WriteFileBytes(f, {'B', 'X', 0, 0});
  EXPECT_THROW(toolkit::ReadBMP(f), EGameError);
  fs::remove(f);
}
