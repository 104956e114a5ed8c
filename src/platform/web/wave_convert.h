// Waves ("fmt " chunk and sample bytes) to the output's format, 16-bit stereo at kAudioRate,
// by our own code: PCM of 8, 16, 24 or 32 bits and 32-bit float, one to eight channels (mono
// goes to both sides, more keep the first two), any rate from 1 kHz to 384 kHz changed by
// straight-line interpolation. Pure.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace plat::web {

// False (out empty) for a format it cannot convert or a result too large to hold.
bool ConvertToOutput(const uint8_t* fmt, size_t fmtSize, const uint8_t* data, size_t dataSize,
                     std::vector<int16_t>& out);

}  // namespace plat::web
