// The .ico writer: little-endian fields laid down by hand, as the format is small.
#include "ico.h"

#include <string>

#include "platform/types.h"

namespace {

void Put16(std::vector<uint8_t>& b, uint32_t v) {
  b.push_back(uint8_t(v));
  b.push_back(uint8_t(v >> 8));
}
void Put32(std::vector<uint8_t>& b, uint32_t v) {
  Put16(b, v & 0xffff);
  Put16(b, v >> 16);
}

}  // namespace

std::vector<uint8_t> IconDib(const TPicture& pic) {
  const auto w = uint32_t(pic.Width), h = uint32_t(pic.Height);
  const uint32_t maskStride = (w + 31) / 32 * 4;  // rows of the mask are whole 32-bit words
  std::vector<uint8_t> b;
  b.reserve(40 + size_t(w) * h * 4 + size_t(maskStride) * h);
  Put32(b, 40);
  Put32(b, w);
  Put32(b, h * 2);  // the colour rows and the mask's
  Put16(b, 1);      // planes
  Put16(b, 32);     // bits per pixel
  Put32(b, 0);      // BI_RGB
  Put32(b, w * h * 4 + maskStride * h);
  for (int i = 0; i < 4; ++i) Put32(b, 0);  // resolution, palette
  for (uint32_t y = h; y-- > 0;)
    for (uint32_t x = 0; x < w; ++x) {
      const uint32_t p = pic.Pixels[size_t(y) * w + x];
      b.push_back(uint8_t(p));
      b.push_back(uint8_t(p >> 8));
      b.push_back(uint8_t(p >> 16));
      b.push_back(uint8_t(p >> 24));
    }
  for (uint32_t y = h; y-- > 0;) {
    std::vector<uint8_t> row(maskStride, 0);
    for (uint32_t x = 0; x < w; ++x)
      if ((pic.Pixels[size_t(y) * w + x] >> 24) == 0) row[x / 8] |= uint8_t(0x80 >> (x % 8));
    b.insert(b.end(), row.begin(), row.end());
  }
  return b;
}

std::vector<uint8_t> IcoFile(const std::vector<TIconImage>& images) {
  std::vector<std::vector<uint8_t>> data;
  for (const TIconImage& im : images) {
    const TPicture& p = im.Picture;
    if (p.Width != p.Height || p.Width < 1 || p.Width > 256 ||
        p.Pixels.size() != size_t(p.Width) * size_t(p.Height))
      throw EGameError("an icon image must be square, 1 to 256 px, not " + std::to_string(p.Width) + " x " +
                       std::to_string(p.Height));
    if (im.AsPng && im.Png.empty()) throw EGameError("an icon image has no PNG data");
    data.push_back(im.AsPng ? im.Png : IconDib(p));
  }
  std::vector<uint8_t> b;
  Put16(b, 0);  // reserved
  Put16(b, 1);  // an icon, not a cursor
  Put16(b, uint32_t(images.size()));
  uint32_t offset = 6 + 16 * uint32_t(images.size());
  for (size_t i = 0; i < images.size(); ++i) {
    const int size = images[i].Picture.Width;
    b.push_back(uint8_t(size == 256 ? 0 : size));  // 0 stands for 256
    b.push_back(uint8_t(size == 256 ? 0 : size));
    b.push_back(0);  // no palette
    b.push_back(0);
    Put16(b, 1);   // planes
    Put16(b, 32);  // bits per pixel
    Put32(b, uint32_t(data[i].size()));
    Put32(b, offset);
    offset += uint32_t(data[i].size());
  }
  for (const auto& d : data) b.insert(b.end(), d.begin(), d.end());
  return b;
}
