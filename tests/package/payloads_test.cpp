// Payload decoders: packed bitmaps of every kind and RIFF WAVE chunks.
#include <gtest/gtest.h>

#include <functional>

#include "media/package.h"
#include "pkg_builder.h"

namespace {

std::string DibError(const std::vector<uint8_t>& b) {
  try {
    DecodeDIB(b.data(), b.size());
  } catch (const EGameError& e) {
    return e.what();
  }
  return "(no error)";
}

TPicture Decode(const TBytes& b) { return DecodeDIB(b.B.data(), b.B.size()); }

TBytes Palette(std::initializer_list<uint32_t> rgb) {
  TBytes b;
  for (uint32_t c : rgb) b.U8(c & 0xFF).U8((c >> 8) & 0xFF).U8((c >> 16) & 0xFF).U8(0);
  return b;
}

}  // namespace

TEST(DibDecode, TwentyFourBitRowsBottomFirstWithPadding) {
  // 2 x 2: the bottom row is stored first; rows pad 6 bytes to 8.
  TBytes b = InfoHeader(2, 2, 24);
  b.U8(0x01).U8(0x02).U8(0x03).U8(0x04).U8(0x05).U8(0x06).U8(0xEE).U8(0xEE);
  b.U8(0x10).U8(0x20).U8(0x30).U8(0x40).U8(0x50).U8(0x60).U8(0xEE).U8(0xEE);
  TPicture p = Decode(b);
  ASSERT_EQ(p.Width, 2);
  ASSERT_EQ(p.Height, 2);
  EXPECT_EQ(p.Pixels, (std::vector<uint32_t>{0x302010, 0x605040, 0x030201, 0x060504}));

  // A negative height reads the same way: the first stored row lands at the bottom.
  TBytes n = InfoHeader(2, -2, 24);
  n.B.insert(n.B.end(), b.B.begin() + 40, b.B.end());
  EXPECT_EQ(Decode(n).Pixels, p.Pixels);
}

TEST(DibDecode, IndexedDepthsAndColourTables) {
  // 1 bit: 10 pixels in one row, table of two.
  TBytes b1 = InfoHeader(10, 1, 1);
  b1.Raw(Palette({0x000000, 0xFFFFFF}).B).U8(0b10110000).U8(0b01000000).U16(0);
  EXPECT_EQ(Decode(b1).Pixels,
            (std::vector<uint32_t>{0xFFFFFF, 0, 0xFFFFFF, 0xFFFFFF, 0, 0, 0, 0, 0, 0xFFFFFF}));
  // 4 bits, colour count 3: index 5 is outside the table and comes out black.
  TBytes b4 = InfoHeader(3, 1, 4, 0, 3);
  b4.Raw(Palette({0x111111, 0x222222, 0x333333}).B).U8(0x21).U8(0x50).U16(0);
  EXPECT_EQ(Decode(b4).Pixels, (std::vector<uint32_t>{0x333333, 0x222222, 0}));
  // 8 bits after a core header: 3-byte entries, 16-bit sizes, 256 entries by default.
  TBytes c;
  c.U32(12).U16(2).U16(1).U16(1).U16(8);
  for (int i = 0; i < 256; ++i) c.U8(static_cast<uint8_t>(i)).U8(0).U8(static_cast<uint8_t>(255 - i));
  c.U8(0).U8(200).U16(0);
  EXPECT_EQ(Decode(c).Pixels, (std::vector<uint32_t>{0xFF0000, 0x3700C8}));
  // A colour count above 256 on a 24-bit bitmap: the whole table is stepped over.
  TBytes big = InfoHeader(1, 1, 24, 0, 300);
  for (int i = 0; i < 300; ++i) big.U32(0x00ABCDEF);
  big.U8(3).U8(2).U8(1).U8(0);
  EXPECT_EQ(Decode(big).Pixels, (std::vector<uint32_t>{0x010203}));
}

TEST(DibDecode, SixteenAndThirtyTwoBitFields) {
  // 5-5-5 by default.
  TBytes d = InfoHeader(1, 1, 16);
  d.U16(0x7C00).U16(0);
  EXPECT_EQ(Decode(d).Pixels, (std::vector<uint32_t>{0xFF0000}));
  // 5-6-5 masks load.
  TBytes m = InfoHeader(2, 1, 16, 3);
  m.U32(0xF800).U32(0x07E0).U32(0x001F).U16(0x07E0).U16(0x0821);
  EXPECT_EQ(Decode(m).Pixels, (std::vector<uint32_t>{0x00FF00, 0x080408}));
  // 4-4-4 masks do not.
  TBytes f = InfoHeader(1, 1, 16, 3);
  f.U32(0x0F00).U32(0x00F0).U32(0x000F).U16(0).U16(0);
  EXPECT_EQ(DibError(f.B), "PixelFormat in invalid");
  // 32 bits: 8-8-8 without masks; any masks with them.
  TBytes p = InfoHeader(1, 1, 32);
  p.U32(0xFF112233);
  EXPECT_EQ(Decode(p).Pixels, (std::vector<uint32_t>{0x112233}));
  TBytes q = InfoHeader(1, 1, 32, 3);
  q.U32(0x000000FF).U32(0x0000FF00).U32(0x00FF0000).U32(0x00112233);
  EXPECT_EQ(Decode(q).Pixels, (std::vector<uint32_t>{0x332211}));
}

TEST(DibDecode, RunLengthData) {
  // RLE8, 4 x 3: a run, end of line, absolute run, delta, end of bitmap.
  TBytes r = InfoHeader(4, 3, 8, 1, 3);
  r.Raw(Palette({0x000001, 0x0000AA, 0x0000BB}).B);
  r.U8(3).U8(1).U8(0).U8(0);               // bottom row: 1 1 1 [0]
  r.U8(0).U8(3).U8(2).U8(1).U8(2).U8(0);   // row 1: 2 1 2 [0] (absolute, padded)
  r.U8(0).U8(0);                           // end of line
  r.U8(1).U8(1).U8(0).U8(2).U8(1).U8(0);   // row 2: one 1, delta (1,0) leaves colour 0
  r.U8(9).U8(2).U8(0).U8(1);               // 9 pixels of 2 clipped at the edge, end of bitmap
  TPicture p = Decode(r);
  const uint32_t o = 0x000001, a = 0x0000AA, bb = 0x0000BB;
  EXPECT_EQ(p.Pixels, (std::vector<uint32_t>{a, o, bb, bb,    // top row (row 2)
                                             bb, a, bb, o,    // row 1
                                             a, a, a, o}));   // bottom row
  // Runs past the top and data that stops without an end mark end cleanly.
  TBytes s = InfoHeader(2, 1, 8, 1, 2);
  s.Raw(Palette({0, 0xFFFFFF}).B);
  s.U8(200).U8(1).U8(0).U8(0).U8(200).U8(1).U8(0).U8(2).U8(255).U8(255).U8(0).U8(50).U8(1);
  EXPECT_EQ(Decode(s).Pixels, (std::vector<uint32_t>{0xFFFFFF, 0xFFFFFF}));
  TBytes t = InfoHeader(3, 2, 8, 1, 2);
  t.Raw(Palette({0x10, 0x20}).B).U8(0).U8(9).U8(1);  // absolute run longer than the data
  EXPECT_EQ(Decode(t).Pixels, std::vector<uint32_t>(6, 0x10));
  // RLE4: nibbles alternate in runs and absolute runs.
  TBytes f = InfoHeader(5, 1, 4, 2, 3);
  f.Raw(Palette({0x0, 0x111111, 0x222222}).B);
  f.U8(3).U8(0x12).U8(0).U8(3).U8(0x21).U8(0x20).U8(0).U8(1);
  EXPECT_EQ(Decode(f).Pixels,
            (std::vector<uint32_t>{0x111111, 0x222222, 0x111111, 0x222222, 0x111111}));
}

TEST(DibDecode, InvalidHeaders) {
  TBytes v4 = InfoHeader(1, 1, 24);
  v4.B[0] = 108;
  v4.B.resize(108 + 4, 0);
  EXPECT_EQ(DibError(v4.B), "DIB is invalid");
  TBytes bits = InfoHeader(1, 1, 7);
  bits.U32(0);
  EXPECT_EQ(DibError(bits.B), "Bitcount in invalid (7)");
  EXPECT_EQ(DibError(InfoHeader(1, 1, 0).B), "Bitcount in invalid (0)");
  EXPECT_EQ(DibError(InfoHeader(1, 1, 24, 4).B), "DIB is invalid");   // JPEG inside
  EXPECT_EQ(DibError(InfoHeader(1, 1, 24, 1).B), "DIB is invalid");   // RLE8 on 24 bits
  EXPECT_EQ(DibError(InfoHeader(1, 1, 8, 3).B), "DIB is invalid");    // masks on 8 bits
  EXPECT_EQ(DibError(InfoHeader(-1, 1, 24).B), "DIB is invalid");
  EXPECT_EQ(DibError(InfoHeader(1, INT32_MIN, 24).B), "DIB is invalid");
  // Sizes no pixel data backs: refused before anything is allocated.
  EXPECT_EQ(DibError(InfoHeader(0x7FFFFFFF, 0x7FFFFFFF, 32).B), "DIB is invalid");
  TBytes rle = InfoHeader(30000, 30000, 8, 1, 2);
  rle.U32(0).U32(0).U8(0).U8(1);
  EXPECT_EQ(DibError(rle.B), "DIB is invalid");
  EXPECT_EQ(DibError(InfoHeader(4000, 4000, 32).B), "Stream read error");
  EXPECT_EQ(DibError(InfoHeader(1, 1, 24, 0, 0x40000000).B), "Stream read error");
  EXPECT_EQ(DibError({40, 0, 0}), "Stream read error");
  // Zero sizes and an empty payload give an empty picture.
  EXPECT_TRUE(Decode(InfoHeader(0, 5, 24)).Empty());
  EXPECT_TRUE(DecodeDIB(nullptr, 0).Empty());
}

TEST(DibEncode, RoundTripsBothDepths) {
  for (int colours : {1, 256, 257}) {
    TPicture p;
    p.Width = 37;
    p.Height = 11;
    for (int i = 0; i < p.Width * p.Height; ++i)
      p.Pixels.push_back(static_cast<uint32_t>((i % colours) * 0x010203) & 0xFFFFFF);
    std::vector<uint8_t> dib = EncodeDIB(p);
    EXPECT_EQ(dib[14], colours <= 256 ? 8 : 24);
    TPicture q = DecodeDIB(dib.data(), dib.size());
    EXPECT_EQ(q.Width, p.Width);
    EXPECT_EQ(q.Height, p.Height);
    EXPECT_EQ(q.Pixels, p.Pixels) << colours;
  }
}

TEST(WaveDecode, ChunksAreFoundAndOthersSkipped) {
  TBytes w;
  w.Raw("RIFF").U32(0).Raw("WAVE");
  w.Raw("fmt ").U32(16).U16(1).U16(1).U32(22050).U32(44100).U16(2).U16(16);
  w.Raw("LIST").U32(5).Raw("INFOx");  // odd length, no padding byte
  w.Raw("data").U32(4).U8(1).U8(2).U8(3).U8(4);
  w.U8(0);  // a stray tail shorter than a chunk header
  TWaveItemData out;
  DecodeWave(w.B.data(), w.B.size(), out);
  EXPECT_TRUE(out.HasWave);
  EXPECT_EQ(out.Format.size(), 16u);
  EXPECT_EQ(out.Format[4], 0x22);  // 22050 = 0x5622
  EXPECT_EQ(out.Data, (std::vector<uint8_t>{1, 2, 3, 4}));
  EXPECT_EQ(EncodeWave(out).size(), 12u + 8 + 16 + 8 + 4);

  // No "fmt " chunk, or one too short to say what the samples are: not a wave.
  TBytes n;
  n.Raw("RIFF").U32(0).Raw("WAVE").Raw("data").U32(0);
  TWaveItemData o2;
  EXPECT_THROW(DecodeWave(n.B.data(), n.B.size(), o2), EGameError);
  EXPECT_FALSE(o2.HasWave);
}
