// The glyph rasteriser on Linux: FreeType with the Liberation faces from the system's font
// folder, hinted as FreeType does by default.
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cstdio>
#include <string>

#include "media/font_raster.h"

namespace font::raster {
namespace {

struct FreeTypeState {
  FT_Library library = nullptr;
  bool libraryFailed = false;
  FT_Face faces[kFaceCount] = {};
  bool faceFailed[kFaceCount] = {};
  int32_t faceSize[kFaceCount] = {};  // size the face is currently set to, 0 for none

  void Free() {
    for (uint32_t i = 0; i < kFaceCount; ++i) {
      if (faces[i]) FT_Done_Face(faces[i]);
      faces[i] = nullptr;
      faceSize[i] = 0;
      faceFailed[i] = false;
    }
    if (library) FT_Done_FreeType(library);
    library = nullptr;
    libraryFailed = false;
  }
  ~FreeTypeState() { Free(); }
};

FreeTypeState ft;

// The face set to the size, or null when the font cannot be had.
FT_Face Face(uint32_t idx, int32_t pt) {
  if (idx >= kFaceCount) return nullptr;
  if (!ft.library) {
    if (ft.libraryFailed) return nullptr;
    if (FT_Init_FreeType(&ft.library) != 0) {
      ft.library = nullptr;
      ft.libraryFailed = true;
      std::fprintf(stderr, "Cannot start the font library\n");
      return nullptr;
    }
  }
  if (!ft.faces[idx]) {
    if (ft.faceFailed[idx]) return nullptr;
    const std::string path = std::string(TANGREL_FONT_DIR) + "/" + kFaceFiles[idx];
    if (FT_New_Face(ft.library, path.c_str(), 0, &ft.faces[idx]) != 0) {
      ft.faces[idx] = nullptr;
      ft.faceFailed[idx] = true;
      std::fprintf(stderr, "Cannot open font %s\n", path.c_str());
      return nullptr;
    }
  }
  FT_Face face = ft.faces[idx];
  if (ft.faceSize[idx] != pt) {
    if (FT_Set_Char_Size(face, 0, static_cast<FT_F26Dot6>(pt) * 64, 96, 96) != 0) return nullptr;
    ft.faceSize[idx] = pt;
  }
  return face;
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

void Shutdown() { ft.Free(); }

}  // namespace font::raster
