// tangrel_toolkit: picture and sound files for the package tool and the content generators.
//
// Every function throws EGameError with a one-line text on failure ("Cannot open file x",
// "Cannot create file x", "Invalid PNG file x: <reason>", or the package reader's own texts
// such as "DIB is invalid" and "Wave is invalid"). Pictures are TPicture: 0x00RRGGBB pixels,
// top row first, exactly as the package reader decodes them and the writer stores them.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "media/package.h"
#include "media/picture.h"

namespace toolkit {

// Whole files.
std::vector<uint8_t> ReadFileBytes(const std::string& fileName);
void WriteFileBytes(const std::string& fileName, const std::vector<uint8_t>& bytes);

// PNG of any colour type and depth. With keepAlpha the top byte of each pixel holds the
// alpha (0xAARRGGBB, 255 opaque); without it the top byte is 0 and alpha is ignored.
TPicture ReadPNG(const std::string& fileName, bool keepAlpha = false);
// 8 bits per channel: RGB, or RGBA with the alpha taken from each pixel's top byte.
void WritePNG(const std::string& fileName, const TPicture& pic, bool withAlpha = false);

// Windows bitmap file (".bmp": 14-byte file header and a DIB with an info, core, V4 or V5
// header; the depths and compressions the package reader takes).
TPicture ReadBMP(const std::string& fileName);
// ReadPNG or ReadBMP by the file name's extension (letter case ignored).
TPicture ReadPicture(const std::string& fileName, bool keepAlpha = false);

// Pixels whose alpha (top byte, as ReadPNG with keepAlpha gives) is below 128 become
// keyColor (0x00RRGGBB); every top byte is cleared. Turns cut-outs into colour-keyed sprites.
void ApplyAlphaKey(TPicture& pic, uint32_t keyColor);

// A package colour ($00BBGGRR) as a pixel (0x00RRGGBB) and back: red and blue swap.
inline uint32_t ColorToPixel(TColor c) { return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF); }

// RIFF WAVE files: "fmt " and "data" kept as bytes (Name, Looped, MaxPlayingCount untouched
// by ReadWAV; HasWave set). WriteWAV writes the two chunks back.
TWaveItemData ReadWAV(const std::string& fileName);
void WriteWAV(const std::string& fileName, const TWaveItemData& wave);
// A PCM "fmt " record for generated sounds (format tag 1).
std::vector<uint8_t> PcmFormat(uint16_t channels, uint32_t samplesPerSec, uint16_t bitsPerSample);

}  // namespace toolkit
