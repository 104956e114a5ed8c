// libFuzzer target: RIFF WAVE payloads through the decoder, and back through the encoder.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "media/package.h"

// The package code is compiled into the target itself so that libFuzzer gets coverage of
// the reader (the game library is built without coverage instrumentation); the library's
// copies of these units are then never linked in.
#include "../src/media/dib.cpp"
#include "../src/media/package.cpp"
#include "../src/media/wavefile.cpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TWaveItemData wave;
  try {
    DecodeWave(data, size, wave);
  } catch (const EGameError&) {
    if (wave.HasWave) std::abort();
    return 0;
  }
  std::vector<uint8_t> riff = EncodeWave(wave);
  TWaveItemData back;
  DecodeWave(riff.data(), riff.size(), back);
  if (back.Format != wave.Format || back.Data != wave.Data) std::abort();
  return 0;
}
