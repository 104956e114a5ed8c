// libFuzzer target: packed bitmaps through the decoder, and every decoded picture through
// the encoder and back.
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
  TPicture pic;
  try {
    pic = DecodeDIB(data, size);
  } catch (const EGameError&) {
    return 0;
  }
  if (static_cast<size_t>(pic.Empty() ? 0 : int64_t{pic.Width} * pic.Height) != pic.Pixels.size())
    std::abort();
  for (uint32_t px : pic.Pixels)
    if (px > 0xFFFFFF) std::abort();
  // Huge run-length pictures cost a lot to encode and teach nothing new.
  if (pic.Empty() || pic.Pixels.size() > (1u << 16)) return 0;
  std::vector<uint8_t> dib = EncodeDIB(pic);
  TPicture back = DecodeDIB(dib.data(), dib.size());
  if (back.Width != pic.Width || back.Height != pic.Height || back.Pixels != pic.Pixels) std::abort();
  return 0;
}
