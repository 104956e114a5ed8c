// tangrel_toolkit: PNG through libpng's simplified API, BMP and WAV through the package code.
#include "toolkit.h"

#include <png.h>

#include <cstdio>
#include <cstring>
#include <memory>

#include "platform/bytes.h"
#include "platform/text.h"

namespace toolkit {

namespace {

// The largest picture we read from a file; the package reader takes no more either.
constexpr uint64_t kMaxPixels = uint64_t{1} << 24;

[[noreturn]] void Fail(const std::string& text) { throw EGameError(text); }

std::string LowerExtension(const std::string& fileName) {
  size_t dot = fileName.find_last_of('.');
  size_t slash = fileName.find_last_of('/');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
  return plat::LowerAscii(fileName.substr(dot));
}

using plat::Le32;

}  // namespace

std::vector<uint8_t> ReadFileBytes(const std::string& fileName) { return ReadPackageFile(fileName); }

void WriteFileBytes(const std::string& fileName, const std::vector<uint8_t>& bytes) {
  std::unique_ptr<FILE, int (*)(FILE*)> f(std::fopen(fileName.c_str(), "wb"), &std::fclose);
  if (!f) Fail("Cannot create file " + fileName);
  if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), f.get()) != bytes.size())
    Fail("Cannot write file " + fileName);
  if (std::fclose(f.release()) != 0) Fail("Cannot write file " + fileName);
}

TPicture ReadPNG(const std::string& fileName, bool keepAlpha) {
  std::vector<uint8_t> bytes = ReadFileBytes(fileName);
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  auto fail = [&]() {
    std::string why = image.message;
    png_image_free(&image);
    Fail("Invalid PNG file " + fileName + ": " + why);
  };
  if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) fail();
  if (uint64_t{image.width} * image.height > kMaxPixels) {
    png_image_free(&image);
    Fail("Invalid PNG file " + fileName + ": too large");
  }
  image.format = PNG_FORMAT_BGRA;  // a little-endian 0xAARRGGBB per pixel
  std::vector<uint8_t> bgra(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, bgra.data(), 0, nullptr)) fail();
  TPicture pic;
  pic.Width = static_cast<int32_t>(image.width);
  pic.Height = static_cast<int32_t>(image.height);
  pic.Pixels.resize(static_cast<size_t>(pic.Width) * pic.Height);
  for (size_t i = 0; i < pic.Pixels.size(); ++i) {
    const uint8_t* p = &bgra[4 * i];
    uint32_t a = keepAlpha ? p[3] : 0;
    pic.Pixels[i] = (a << 24) | (uint32_t{p[2]} << 16) | (uint32_t{p[1]} << 8) | p[0];
  }
  png_image_free(&image);
  return pic;
}

void WritePNG(const std::string& fileName, const TPicture& pic, bool withAlpha) {
  if (pic.Empty() || pic.Pixels.size() < static_cast<size_t>(pic.Width) * pic.Height)
    Fail("Cannot write an empty picture to " + fileName);
  const int channels = withAlpha ? 4 : 3;
  std::vector<uint8_t> rows(pic.Pixels.size() * channels);
  for (size_t i = 0; i < pic.Pixels.size(); ++i) {
    uint32_t px = pic.Pixels[i];
    uint8_t* d = &rows[i * channels];
    d[0] = static_cast<uint8_t>(px >> 16);
    d[1] = static_cast<uint8_t>(px >> 8);
    d[2] = static_cast<uint8_t>(px);
    if (withAlpha) d[3] = static_cast<uint8_t>(px >> 24);
  }
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(pic.Width);
  image.height = static_cast<png_uint_32>(pic.Height);
  image.format = withAlpha ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
  if (!png_image_write_to_file(&image, fileName.c_str(), 0, rows.data(), 0, nullptr)) {
    std::string why = image.message;
    png_image_free(&image);
    Fail("Cannot create file " + fileName + ": " + why);
  }
  png_image_free(&image);
}

TPicture ReadBMP(const std::string& fileName) {
  std::vector<uint8_t> b = ReadFileBytes(fileName);
  if (b.size() < 18 || b[0] != 'B' || b[1] != 'M') Fail("DIB is invalid");
  std::vector<uint8_t> dib(b.begin() + 14, b.end());
  // Newer headers (V4 108 bytes, V5 124) carry the info header's fields first and, with
  // bit fields, the three masks right after them: cut them down to an info header.
  uint32_t headerSize = Le32(dib.data());
  if ((headerSize == 108 || headerSize == 124) && dib.size() >= headerSize) {
    uint32_t compression = Le32(dib.data() + 16);
    std::vector<uint8_t> info(dib.begin(), dib.begin() + 40);
    info[0] = 40;
    if (compression == 3) info.insert(info.end(), dib.begin() + 40, dib.begin() + 52);
    info.insert(info.end(), dib.begin() + headerSize, dib.end());
    dib.swap(info);
  }
  return DecodeDIB(dib.data(), dib.size());
}

TPicture ReadPicture(const std::string& fileName, bool keepAlpha) {
  std::string ext = LowerExtension(fileName);
  if (ext == ".bmp" || ext == ".dib") return ReadBMP(fileName);
  if (ext == ".png") return ReadPNG(fileName, keepAlpha);
  Fail("Unknown picture type " + fileName);
}

void ApplyAlphaKey(TPicture& pic, uint32_t keyColor) {
  for (uint32_t& px : pic.Pixels) px = (px >> 24) < 128 ? (keyColor & 0xFFFFFF) : (px & 0xFFFFFF);
}

TWaveItemData ReadWAV(const std::string& fileName) {
  std::vector<uint8_t> b = ReadFileBytes(fileName);
  TWaveItemData w;
  DecodeWave(b.data(), b.size(), w);
  return w;
}

void WriteWAV(const std::string& fileName, const TWaveItemData& wave) {
  WriteFileBytes(fileName, EncodeWave(wave));
}

std::vector<uint8_t> PcmFormat(uint16_t channels, uint32_t samplesPerSec, uint16_t bitsPerSample) {
  const uint16_t align = static_cast<uint16_t>(channels * ((bitsPerSample + 7) / 8));
  const uint32_t avg = samplesPerSec * align;
  std::vector<uint8_t> f;
  auto u16 = [&](uint16_t v) { f.push_back(static_cast<uint8_t>(v)); f.push_back(static_cast<uint8_t>(v >> 8)); };
  auto u32 = [&](uint32_t v) { u16(static_cast<uint16_t>(v)); u16(static_cast<uint16_t>(v >> 16)); };
  u16(1);
  u16(channels);
  u32(samplesPerSec);
  u32(avg);
  u16(align);
  u16(bitsPerSample);
  return f;
}

}  // namespace toolkit
