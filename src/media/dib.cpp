// Packed device-independent bitmaps ("TDIB" pictures): decoding to 32-bit pixels and encoding.
#include <algorithm>
#include <array>
#include <bit>
#include <unordered_map>

#include "media/package.h"
#include "media/pkg_bytes.h"

using namespace pkg;

namespace {

// No picture of ours comes near these; anything above is a hostile header, refused before
// a single pixel is allocated (run-length data can claim any size in a few bytes).
constexpr int64_t kMaxSide = 32768;
constexpr int64_t kMaxPixels = int64_t{1} << 24;

constexpr uint32_t BI_RGB = 0, BI_RLE8 = 1, BI_RLE4 = 2, BI_BITFIELDS = 3;

using TPalette = std::array<uint32_t, 256>;

// One channel of a bit-field pixel widened (or narrowed) to 8 bits.
struct TField {
  uint32_t Mask = 0;
  int Shift = 0;
  int Bits = 0;
  explicit TField(uint32_t mask = 0) : Mask(mask) {
    if (mask == 0) return;
    Shift = std::countr_zero(mask);
    Bits = std::bit_width(mask >> Shift);
  }
  uint32_t Get(uint32_t px) const {
    if (Bits == 0) return 0;
    uint32_t v = (px & Mask) >> Shift;
    if (Bits >= 8) return (v >> (Bits - 8)) & 0xFF;
    // Replicate the top bits into the low ones so that full scale stays full scale.
    uint32_t out = 0;
    int have = 0;
    while (have < 8) {
      out = (out << Bits) | v;
      have += Bits;
    }
    return (out >> (have - 8)) & 0xFF;
  }
};

struct TMasks {
  TField R, G, B;
  uint32_t Get(uint32_t px) const { return (R.Get(px) << 16) | (G.Get(px) << 8) | B.Get(px); }
};

// Run-length data (RLE8 or RLE4). Rows count from the bottom; pixels past a row's end are
// dropped; data that ends early or runs past the top simply stops.
void DecodeRLE(TCursor& c, bool four, const TPalette& pal, TPicture& pic) {
  const int64_t w = pic.Width, h = pic.Height;
  int64_t x = 0, y = 0;
  auto put = [&](uint32_t index) {
    if (x < w && y < h) pic.Pixels[static_cast<size_t>((h - 1 - y) * w + x)] = pal[index];
    ++x;
  };
  while (y < h && c.Left() >= 2) {
    uint8_t count = c.U8(), value = c.U8();
    if (count > 0) {
      if (x >= w) {
        x += count;
        continue;
      }
      for (int i = 0; i < count; ++i) {
        if (four) put((i & 1) ? (value & 0x0F) : (value >> 4));
        else put(value);
      }
      continue;
    }
    switch (value) {
      case 0:  // end of line
        x = 0;
        ++y;
        break;
      case 1:  // end of bitmap
        return;
      case 2:  // delta
        if (c.Left() < 2) return;
        x += c.U8();
        y += c.U8();
        break;
      default: {  // absolute run of `value` pixels, padded to a 16-bit boundary
        size_t bytes = four ? (value + 1u) / 2u : value;
        if (c.Left() < bytes) return;
        const uint8_t* src = c.Take(bytes);
        for (int i = 0; i < value; ++i) {
          if (four) put((i & 1) ? (src[i / 2] & 0x0F) : (src[i / 2] >> 4));
          else put(src[i]);
        }
        if ((bytes & 1) && c.Left() > 0) c.Skip(1);
        break;
      }
    }
  }
}

}  // namespace

TPicture DecodeDIB(const uint8_t* data, size_t size) {
  TPicture pic;
  if (size == 0) return pic;  // an empty payload is an empty picture
  TCursor c(data, size);

  const uint32_t headerSize = c.U32();
  int64_t width = 0, height = 0;
  uint32_t bitCount = 0, compression = BI_RGB, colorsUsed = 0;
  bool core = false;
  if (headerSize == 40) {
    width = c.I32();
    height = c.I32();
    c.U16();  // planes
    bitCount = c.U16();
    compression = c.U32();
    c.Skip(12);  // image size, resolution
    colorsUsed = c.U32();
    c.U32();  // important colours
  } else if (headerSize == 12) {
    core = true;
    width = c.U16();
    height = c.U16();
    c.U16();  // planes
    bitCount = c.U16();
  } else {
    Fail(kInvalidDIB);
  }

  switch (bitCount) {
    case 1: case 4: case 8: case 16: case 24: case 32: break;
    default: Fail("Bitcount in invalid (" + std::to_string(bitCount) + ")");
  }
  if (compression > BI_BITFIELDS) Fail(kInvalidDIB);
  // Each compression belongs to its own pixel sizes.
  if ((compression == BI_RLE8 && bitCount != 8) || (compression == BI_RLE4 && bitCount != 4) ||
      (compression == BI_BITFIELDS && bitCount != 16 && bitCount != 32))
    Fail(kInvalidDIB);

  TMasks masks;
  if (compression == BI_BITFIELDS) {
    uint32_t r = c.U32(), g = c.U32(), b = c.U32();
    if (bitCount == 16) {
      bool is555 = r == 0x7C00 && g == 0x03E0 && b == 0x001F;
      bool is565 = r == 0xF800 && g == 0x07E0 && b == 0x001F;
      if (!is555 && !is565) Fail("PixelFormat in invalid");
    }
    masks = {TField(r), TField(g), TField(b)};
  } else if (bitCount == 16) {
    masks = {TField(0x7C00), TField(0x03E0), TField(0x001F)};
  } else if (bitCount == 32) {
    masks = {TField(0xFF0000), TField(0x00FF00), TField(0x0000FF)};
  }

  // Colour table: the whole table is stepped over, the first 256 entries are kept.
  TPalette pal{};
  uint64_t entries = colorsUsed;
  if (entries == 0 && bitCount <= 8) entries = uint64_t{1} << bitCount;
  const uint64_t entrySize = core ? 3 : 4;
  c.Need(entries * entrySize);
  for (uint64_t i = 0; i < entries; ++i) {
    const uint8_t* e = c.Take(entrySize);
    if (i < 256) pal[i] = (uint32_t{e[2]} << 16) | (uint32_t{e[1]} << 8) | e[0];
  }

  if (width < 0 || height == INT32_MIN) Fail(kInvalidDIB);
  height = height < 0 ? -height : height;  // rows are bottom first whatever the sign says
  if (width == 0 || height == 0) return pic;
  if (width > kMaxSide || height > kMaxSide || width * height > kMaxPixels) Fail(kInvalidDIB);

  const int64_t w = width, h = height;
  if (compression == BI_RLE8 || compression == BI_RLE4) {
    pic.Width = static_cast<int32_t>(w);
    pic.Height = static_cast<int32_t>(h);
    pic.Pixels.assign(static_cast<size_t>(w * h), pal[0]);  // skipped pixels keep colour 0
    DecodeRLE(c, compression == BI_RLE4, pal, pic);
    return pic;
  }

  const int64_t stride = ((w * bitCount + 31) / 32) * 4;
  c.Need(static_cast<uint64_t>(stride * h));  // before anything is allocated
  pic.Width = static_cast<int32_t>(w);
  pic.Height = static_cast<int32_t>(h);
  pic.Pixels.resize(static_cast<size_t>(w * h));
  const uint8_t* rows = c.Take(static_cast<uint64_t>(stride * h));
  for (int64_t r = 0; r < h; ++r) {
    const uint8_t* s = rows + r * stride;
    uint32_t* d = pic.Pixels.data() + (h - 1 - r) * w;
    switch (bitCount) {
      case 1:
        for (int64_t x = 0; x < w; ++x) d[x] = pal[(s[x >> 3] >> (7 - (x & 7))) & 1];
        break;
      case 4:
        for (int64_t x = 0; x < w; ++x) d[x] = pal[(x & 1) ? (s[x >> 1] & 0x0F) : (s[x >> 1] >> 4)];
        break;
      case 8:
        for (int64_t x = 0; x < w; ++x) d[x] = pal[s[x]];
        break;
      case 16:
        for (int64_t x = 0; x < w; ++x) d[x] = masks.Get(uint32_t{s[2 * x]} | (uint32_t{s[2 * x + 1]} << 8));
        break;
      case 24:
        for (int64_t x = 0; x < w; ++x)
          d[x] = (uint32_t{s[3 * x + 2]} << 16) | (uint32_t{s[3 * x + 1]} << 8) | s[3 * x];
        break;
      case 32:
        if (compression == BI_RGB) {
          for (int64_t x = 0; x < w; ++x)
            d[x] = (uint32_t{s[4 * x + 2]} << 16) | (uint32_t{s[4 * x + 1]} << 8) | s[4 * x];
        } else {
          for (int64_t x = 0; x < w; ++x) {
            const uint8_t* p = s + 4 * x;
            d[x] = masks.Get(plat::Le32(p));
          }
        }
        break;
    }
  }
  return pic;
}

std::vector<uint8_t> EncodeDIB(const TPicture& pic) {
  std::vector<uint8_t> out;
  TBytesOut o(out);
  const int64_t w = pic.Empty() ? 0 : pic.Width, h = pic.Empty() ? 0 : pic.Height;
  if (w > 0 && static_cast<uint64_t>(w * h) > pic.Pixels.size()) Fail(kInvalidDIB);

  // A colour table when the picture gets by with one: a quarter of the size and no loss.
  std::unordered_map<uint32_t, uint8_t> index;
  std::vector<uint32_t> colors;
  bool paletted = true;
  for (int64_t i = 0; i < w * h && paletted; ++i) {
    uint32_t px = pic.Pixels[static_cast<size_t>(i)] & 0xFFFFFF;
    if (index.count(px)) continue;
    if (colors.size() == 256) {
      paletted = false;
      break;
    }
    index.emplace(px, static_cast<uint8_t>(colors.size()));
    colors.push_back(px);
  }
  if (paletted && colors.empty()) colors.push_back(0);  // an empty picture still names a colour
  const uint32_t bitCount = paletted ? 8 : 24;
  const int64_t stride = ((w * bitCount + 31) / 32) * 4;

  o.U32(40);
  o.U32(static_cast<uint32_t>(w));
  o.U32(static_cast<uint32_t>(h));
  o.U16(1);
  o.U16(static_cast<uint16_t>(bitCount));
  o.U32(BI_RGB);
  o.U32(static_cast<uint32_t>(stride * h));
  o.U32(0);
  o.U32(0);
  o.U32(paletted ? static_cast<uint32_t>(colors.size()) : 0);
  o.U32(0);
  if (paletted) {
    for (uint32_t col : colors) {
      o.U8(static_cast<uint8_t>(col));
      o.U8(static_cast<uint8_t>(col >> 8));
      o.U8(static_cast<uint8_t>(col >> 16));
      o.U8(0);
    }
  }
  const size_t start = out.size();
  out.resize(start + static_cast<size_t>(stride * h), 0);
  for (int64_t r = 0; r < h; ++r) {
    uint8_t* d = out.data() + start + r * stride;
    const uint32_t* s = pic.Pixels.data() + (h - 1 - r) * w;
    for (int64_t x = 0; x < w; ++x) {
      uint32_t px = s[x] & 0xFFFFFF;
      if (paletted) {
        d[x] = index[px];
      } else {
        d[3 * x] = static_cast<uint8_t>(px);
        d[3 * x + 1] = static_cast<uint8_t>(px >> 8);
        d[3 * x + 2] = static_cast<uint8_t>(px >> 16);
      }
    }
  }
  return out;
}
