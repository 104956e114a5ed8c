// Waves as the effects come ("fmt " chunk and sample bytes), for the outputs that turn them
// into 16-bit stereo with our own code: which formats we take (PCM of 8, 16, 24 or 32 bits and
// 32-bit float, one to eight channels, 1 kHz to 384 kHz) and their samples at 16-bit scale.
// Each output changes the rate its own way.
#pragma once
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "platform/bytes.h"

namespace plat::wave {

// A converted effect larger than this is refused (a hostile rate or length).
constexpr size_t kMaxConvertedBytes = 256u << 20;

struct Shape {
  unsigned tag = 0, channels = 0, bits = 0;
  uint32_t rate = 0;
  size_t sampleBytes = 0, frameBytes = 0;
  size_t frames = 0;  // 0: an empty sound, which plays and ends at once
};

// One sample of any of the formats we take, at 16-bit scale.
inline int16_t Sample(const uint8_t* p, unsigned tag, unsigned bits) {
  if (tag == 1 && bits == 8) return static_cast<int16_t>((static_cast<int>(p[0]) - 128) * 256);
  if (tag == 1 && bits == 16) return static_cast<int16_t>(p[0] | p[1] << 8);
  if (tag == 1 && bits == 24) return static_cast<int16_t>(p[1] | p[2] << 8);
  if (tag == 1 && bits == 32) return static_cast<int16_t>(p[2] | p[3] << 8);
  float f;
  const uint32_t u = Le32(p);
  std::memcpy(&f, &u, sizeof f);
  if (!(f == f)) f = 0;  // NaN
  return static_cast<int16_t>(std::clamp(f, -1.0f, 1.0f) * 32767.0f);
}

// The shape of a wave; false for a format we do not take or samples too many to convert.
inline bool ReadShape(const uint8_t* fmt, size_t fmtSize, const uint8_t* data, size_t dataSize, Shape& w) {
  if (!fmt || fmtSize < 16) return false;
  w.tag = Le16(fmt);
  w.channels = Le16(fmt + 2);
  w.bits = Le16(fmt + 14);
  w.rate = Le32(fmt + 4);
  if (w.tag == 0xFFFE && fmtSize >= 26) w.tag = Le16(fmt + 24);  // extensible: the sub-format
  const unsigned tag = w.tag, bits = w.bits;
  const bool known = (tag == 1 && (bits == 8 || bits == 16 || bits == 24 || bits == 32)) || (tag == 3 && bits == 32);
  if (!known || w.channels < 1 || w.channels > 8 || w.rate < 1000 || w.rate > 384000) return false;
  w.sampleBytes = bits / 8;
  w.frameBytes = w.channels * w.sampleBytes;
  w.frames = data ? dataSize / w.frameBytes : 0;
  return w.frames * w.frameBytes <= kMaxConvertedBytes;
}

// Side 0 (left) or 1 (right) of frame i: mono goes to both sides, more channels keep the
// first two (front left and right).
inline int16_t SideSample(const Shape& w, const uint8_t* data, size_t i, int side) {
  const uint8_t* f = data + i * w.frameBytes;
  return Sample(side && w.channels > 1 ? f + w.sampleBytes : f, w.tag, w.bits);
}

}  // namespace plat::wave
