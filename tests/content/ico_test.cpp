// The Windows icon file: its directory, the DIB images with their masks, the PNG image kept as
// given, and the images it refuses.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "ico.h"
#include "platform/types.h"

namespace {

uint32_t Le(const std::vector<uint8_t>& b, size_t at, int bytes) {
  uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = v << 8 | b.at(at + size_t(i));
  return v;
}

// A square picture, opaque red but for a transparent top-left pixel and a half-transparent
// bottom-right one.
TPicture Square(int n) {
  TPicture p;
  p.Width = p.Height = n;
  p.Pixels.assign(size_t(n) * size_t(n), 0xFFFF0000u);
  p.Pixels.front() = 0x00000000u;
  p.Pixels.back() = 0x800000FFu;
  return p;
}

}  // namespace

TEST(IcoFile, DirectoryPointsAtEachImageInTurn) {
  TIconImage small, big;
  small.Picture = Square(16);
  big.Picture = Square(256);
  big.AsPng = true;
  big.Png = {0x89, 'P', 'N', 'G', 1, 2, 3};
  const std::vector<uint8_t> ico = IcoFile({small, big});
  ASSERT_GE(ico.size(), 6u + 32u);
  EXPECT_EQ(Le(ico, 0, 2), 0u);
  EXPECT_EQ(Le(ico, 2, 2), 1u);  // an icon
  EXPECT_EQ(Le(ico, 4, 2), 2u);
  // 16 px: width and height bytes, 32 bits, its size, right after the directory.
  EXPECT_EQ(ico[6], 16);
  EXPECT_EQ(ico[7], 16);
  EXPECT_EQ(Le(ico, 6 + 6, 2), 32u);
  const uint32_t dibSize = Le(ico, 6 + 8, 4), dibAt = Le(ico, 6 + 12, 4);
  EXPECT_EQ(dibAt, 6u + 32u);
  EXPECT_EQ(dibSize, 40u + 16u * 16u * 4u + 4u * 16u);  // header, BGRA, mask rows of 32 bits
  // 256 px is written as 0 and its data is the PNG, byte for byte, after the DIB.
  EXPECT_EQ(ico[22], 0);
  EXPECT_EQ(ico[23], 0);
  EXPECT_EQ(Le(ico, 22 + 8, 4), 7u);
  EXPECT_EQ(Le(ico, 22 + 12, 4), dibAt + dibSize);
  EXPECT_EQ(std::vector<uint8_t>(ico.end() - 7, ico.end()), big.Png);
  EXPECT_EQ(ico.size(), dibAt + dibSize + 7u);
}

TEST(IcoFile, DibIsBottomUpWithItsMaskWhereFullyTransparent) {
  const int n = 40;  // mask rows of 40 bits take two words
  const std::vector<uint8_t> dib = IconDib(Square(n));
  ASSERT_EQ(dib.size(), 40u + size_t(n) * n * 4 + 8u * n);
  EXPECT_EQ(Le(dib, 0, 4), 40u);
  EXPECT_EQ(Le(dib, 4, 4), uint32_t(n));
  EXPECT_EQ(Le(dib, 8, 4), uint32_t(2 * n));  // colour and mask
  EXPECT_EQ(Le(dib, 14, 2), 32u);
  // The first row stored is the picture's last: its last pixel is the half-transparent blue.
  const size_t lastPixel = 40 + size_t(n - 1) * 4;
  EXPECT_EQ(Le(dib, lastPixel, 4), 0x800000FFu);
  EXPECT_EQ(Le(dib, 40, 4), 0xFFFF0000u);
  // The picture's top row is stored last; its first pixel is the transparent one.
  const size_t topRow = 40 + size_t(n - 1) * n * 4;
  EXPECT_EQ(Le(dib, topRow, 4), 0u);
  // The mask: only the top-left pixel is set (the half-transparent one is drawn).
  const size_t mask = 40 + size_t(n) * n * 4;
  for (int row = 0; row < n; ++row)
    for (int byte = 0; byte < 8; ++byte) {
      const uint8_t want = row == n - 1 && byte == 0 ? 0x80 : 0;
      ASSERT_EQ(dib[mask + size_t(row) * 8 + size_t(byte)], want) << "row " << row << " byte " << byte;
    }
}

TEST(IcoFile, RefusesWhatAnIconCannotHold) {
  TIconImage wide;
  wide.Picture.Width = 32;
  wide.Picture.Height = 16;
  wide.Picture.Pixels.assign(32 * 16, 0);
  EXPECT_THROW(IcoFile({wide}), EGameError);
  TIconImage huge;
  huge.Picture = Square(257);
  EXPECT_THROW(IcoFile({huge}), EGameError);
  TIconImage shortPixels;
  shortPixels.Picture = Square(16);
  shortPixels.Picture.Pixels.pop_back();
  EXPECT_THROW(IcoFile({shortPixels}), EGameError);
  TIconImage noPng;
  noPng.Picture = Square(256);
  noPng.AsPng = true;
  EXPECT_THROW(IcoFile({noPng}), EGameError);
}
