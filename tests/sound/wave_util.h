// Small helpers of the sound tests: in-memory waves and tiny MIDI files.
#pragma once
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

inline void PutLE(std::vector<uint8_t>& v, uint32_t x, int bytes) {
  for (int i = 0; i < bytes; ++i) v.push_back(static_cast<uint8_t>(x >> (8 * i)));
}

inline void PutBE32(std::vector<uint8_t>& v, uint32_t x) {
  for (int shift = 24; shift >= 0; shift -= 8) v.push_back(static_cast<uint8_t>(x >> shift));
}

// A "fmt " chunk's bytes for plain PCM.
inline std::vector<uint8_t> PcmFormat(unsigned channels, unsigned rate, unsigned bits) {
  std::vector<uint8_t> f;
  unsigned align = channels * bits / 8;
  PutLE(f, 1, 2);
  PutLE(f, channels, 2);
  PutLE(f, rate, 4);
  PutLE(f, rate * align, 4);
  PutLE(f, align, 2);
  PutLE(f, bits, 2);
  return f;
}

// 16-bit stereo samples, every one `value`.
inline std::vector<uint8_t> ConstantStereo16(int frames, int16_t value) {
  std::vector<uint8_t> d;
  for (int i = 0; i < 2 * frames; ++i) PutLE(d, static_cast<uint16_t>(value), 2);
  return d;
}

// A format-0 MIDI file at 480 ticks a quarter (120 bpm): piano, the given notes one after
// another, each `ticks` long.
inline std::vector<uint8_t> TinyMidi(const std::vector<int>& notes, uint32_t ticks) {
  // Byte by byte: GCC 12 at -O3 takes range inserts into a just-grown vector for overflows.
  std::vector<uint8_t> trk;
  auto put = [&trk](std::initializer_list<uint8_t> bytes) {
    for (uint8_t b : bytes) trk.push_back(b);
  };
  auto delta = [&trk](uint32_t d) {
    uint8_t buf[5];
    int n = 0;
    buf[n++] = d & 0x7F;
    while (d >>= 7) buf[n++] = static_cast<uint8_t>(0x80 | (d & 0x7F));
    while (n) trk.push_back(buf[--n]);
  };
  delta(0);
  put({0xC0, 0x00});
  for (int note : notes) {
    delta(0);
    put({0x90, static_cast<uint8_t>(note), 100});
    delta(ticks);
    put({0x80, static_cast<uint8_t>(note), 0});
  }
  delta(0);
  put({0xFF, 0x2F, 0x00});
  std::vector<uint8_t> f = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0x01, 0xE0, 'M', 'T', 'r', 'k'};
  PutBE32(f, static_cast<uint32_t>(trk.size()));
  for (uint8_t b : trk) f.push_back(b);
  return f;
}
