// RIFF WAVE payloads of wave items: reading the "fmt " and "data" chunks, and writing them back.
#include <cstring>

#include "media/package.h"
#include "media/pkg_bytes.h"

using namespace pkg;

namespace {
bool IsTag(const uint8_t* p, const char* tag) { return std::memcmp(p, tag, 4) == 0; }
// The format record up to bits per sample; anything shorter cannot be played.
constexpr size_t kMinFormat = 16;
}  // namespace

void DecodeWave(const uint8_t* data, size_t size, TWaveItemData& out) {
  if (size < 12 || !IsTag(data, "RIFF") || !IsTag(data + 8, "WAVE")) Fail(kInvalidWave);
  TCursor c(data + 12, size - 12);
  bool haveFormat = false, haveData = false;
  std::vector<uint8_t> format, samples;
  // Chunks run to the end of the payload; a stray tail too short for a chunk header (a
  // writer's padding byte, say) is left alone.
  while (c.Left() >= 8) {
    const uint8_t* id = c.Take(4);
    const uint32_t length = c.U32();
    const uint8_t* body = c.Take(length);  // "Stream read error" when it reaches past the end
    if (IsTag(id, "fmt ") && !haveFormat) {
      format.assign(body, body + length);
      haveFormat = true;
    } else if (IsTag(id, "data") && !haveData) {
      samples.assign(body, body + length);
      haveData = true;
    }
  }
  if (!haveFormat || format.size() < kMinFormat) Fail(kInvalidWave);
  out.Format = std::move(format);
  out.Data = std::move(samples);
  out.HasWave = true;
}

std::vector<uint8_t> EncodeWave(const TWaveItemData& wave) {
  if (wave.Format.size() < kMinFormat) Fail(kInvalidWave);
  const uint64_t total = 4 + 8 + uint64_t{wave.Format.size()} + 8 + wave.Data.size();
  if (total > UINT32_MAX) Fail(kInvalidWave);
  std::vector<uint8_t> out;
  out.reserve(static_cast<size_t>(total) + 8);
  TBytesOut o(out);
  o.Tag("RIFF");
  o.U32(static_cast<uint32_t>(total));
  o.Tag("WAVE");
  o.Tag("fmt ");
  o.U32(static_cast<uint32_t>(wave.Format.size()));
  o.Raw(wave.Format.data(), wave.Format.size());
  o.Tag("data");
  o.U32(static_cast<uint32_t>(wave.Data.size()));
  o.Raw(wave.Data.data(), wave.Data.size());
  return out;
}
