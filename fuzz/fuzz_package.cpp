// libFuzzer target: whole package files through the image and the wave reader, and what
// they read back through the writer and the reader again.
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
  std::vector<TImageItemData> images;
  std::vector<uint8_t> table;
  try {
    ParseImagePackage(data, size, images, &table);
  } catch (const EGameError&) {
  }
  // Whatever was read must write and read back the same.
  {
    std::vector<uint8_t> again = WriteImagePackage(images, table.size() == 1024 ? &table : nullptr);
    std::vector<TImageItemData> back;
    ParseImagePackage(again.data(), again.size(), back);
    if (back.size() != images.size()) std::abort();
    for (size_t i = 0; i < back.size(); ++i)
      if (back[i].Name != images[i].Name || back[i].Picture.Pixels != images[i].Picture.Pixels ||
          back[i].TransparentColor != images[i].TransparentColor ||
          back[i].Transparent != images[i].Transparent || back[i].HasPicture != images[i].HasPicture)
        std::abort();
  }
  std::vector<TWaveItemData> waves;
  try {
    ParseWavePackage(data, size, waves);
  } catch (const EGameError&) {
  }
  {
    std::vector<uint8_t> again = WriteWavePackage(waves);
    std::vector<TWaveItemData> back;
    ParseWavePackage(again.data(), again.size(), back);
    if (back.size() != waves.size()) std::abort();
    for (size_t i = 0; i < back.size(); ++i)
      if (back[i].Name != waves[i].Name || back[i].Format != waves[i].Format ||
          back[i].Data != waves[i].Data || back[i].MaxPlayingCount != waves[i].MaxPlayingCount)
        std::abort();
  }
  return 0;
}
