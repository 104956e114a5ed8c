// The glyph rasteriser under the canvas text, one per build: FreeType on Linux
// (font_freetype.cpp), GDI on Windows (platform/win32/font_gdi.cpp). Both read Liberation
// Serif and Sans at 96 dpi, so text measures the same on both; font.cpp caches and blends.
#pragma once
#include <cstdint>
#include <vector>

namespace font::raster {

enum : uint32_t { kSerif = 0, kSerifBold = 1, kSans = 2, kSansBold = 3, kFaceCount = 4 };
// The files of the four faces ("Times New Roman" is Liberation Serif, "Arial" Liberation Sans).
constexpr const char* kFaceFiles[kFaceCount] = {
    "LiberationSerif-Regular.ttf", "LiberationSerif-Bold.ttf", "LiberationSans-Regular.ttf",
    "LiberationSans-Bold.ttf"};

struct GlyphBitmap {
  int32_t advance = 0;        // whole pixels to the next pen position
  int32_t left = 0, top = 0;  // bitmap offset from the pen position on the baseline (y up)
  int32_t width = 0, rows = 0;
  std::vector<uint8_t> coverage;  // width * rows, 0 .. 255, top row first
};

// Ascent and descent of a face at pt points, in whole pixels (rounded up). False when the
// face cannot be had; no text is drawn then.
bool FaceMetrics(uint32_t face, int32_t pt, int32_t& ascent, int32_t& descent);
// One character. False only when the face cannot be had; a character without a glyph
// gives true and an empty bitmap.
bool RenderGlyph(uint32_t face, int32_t pt, uint32_t codepoint, GlyphBitmap& out);
// Frees the faces (done at exit anyway).
void Shutdown();

}  // namespace font::raster
