// Placeholder until this unit is built; replaced by the real one.
#include "media/package.h"

std::vector<uint8_t> ReadPackageFile([[maybe_unused]] const std::string& fileName) { return {}; }
void ParseImagePackage([[maybe_unused]] const uint8_t* data, [[maybe_unused]] size_t size, [[maybe_unused]] std::vector<TImageItemData>& out, [[maybe_unused]] std::vector<uint8_t>* colorTable) { }
void ParseWavePackage([[maybe_unused]] const uint8_t* data, [[maybe_unused]] size_t size, [[maybe_unused]] std::vector<TWaveItemData>& out) { }
std::vector<uint8_t> WriteImagePackage([[maybe_unused]] const std::vector<TImageItemData>& items, [[maybe_unused]] const std::vector<uint8_t>* colorTable) { return {}; }
std::vector<uint8_t> WriteWavePackage([[maybe_unused]] const std::vector<TWaveItemData>& items) { return {}; }
TPicture DecodeDIB([[maybe_unused]] const uint8_t* data, [[maybe_unused]] size_t size) { return {}; }
void DecodeWave([[maybe_unused]] const uint8_t* data, [[maybe_unused]] size_t size, [[maybe_unused]] TWaveItemData& out) { }
