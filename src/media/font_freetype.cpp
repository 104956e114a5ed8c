// The glyph rasteriser on Linux: FreeType with the Liberation faces from the system's font
// folder (opened by freetype_faces.cpp), hinted as FreeType does by default.
#include <algorithm>

#include "media/freetype_faces.h"
#include "platform/font_raster.h"

namespace font::raster {
namespace {

// The face set to the size, or null when the font cannot be had.
FT_Face Face(uint32_t idx, int32_t pt) {
  if (idx >= kFaceCount) return nullptr;
  return freetype::AtPoints(kFaceFiles[idx], pt);
}

}  // namespace

bool FaceMetrics(uint32_t idx, int32_t pt, int32_t& ascent, int32_t& descent) {
  FT_Face face = Face(idx, pt);
  if (!face) return false;
  ascent = static_cast<int32_t>((face->size->metrics.ascender + 63) >> 6);
  descent = static_cast<int32_t>((-face->size->metrics.descender + 63) >> 6);
  return true;
}

bool RenderGlyph(uint32_t idx, int32_t pt, uint32_t cp, GlyphBitmap& g) {
  FT_Face face = Face(idx, pt);
  if (!face) return false;
  g = GlyphBitmap{};
  if (FT_Load_Char(face, cp, FT_LOAD_RENDER | FT_LOAD_TARGET_NORMAL) != 0) return true;
  const FT_GlyphSlot slot = face->glyph;
  const FT_Bitmap& bm = slot->bitmap;
  g.advance = static_cast<int32_t>((slot->advance.x + 32) >> 6);
  g.left = slot->bitmap_left;
  g.top = slot->bitmap_top;
  if (bm.pixel_mode == FT_PIXEL_MODE_GRAY && bm.buffer && bm.width > 0 && bm.rows > 0) {
    g.width = static_cast<int32_t>(bm.width);
    g.rows = static_cast<int32_t>(bm.rows);
    g.coverage.resize(static_cast<size_t>(g.width) * g.rows);
    const int32_t pitch = bm.pitch;
    for (int32_t r = 0; r < g.rows; ++r) {
      const uint8_t* src = pitch >= 0 ? bm.buffer + static_cast<ptrdiff_t>(r) * pitch
                                      : bm.buffer + static_cast<ptrdiff_t>(g.rows - 1 - r) * -pitch;
      std::copy(src, src + g.width, g.coverage.begin() + static_cast<ptrdiff_t>(r) * g.width);
    }
  }
  return true;
}

void Shutdown() { freetype::CloseAll(); }

}  // namespace font::raster
