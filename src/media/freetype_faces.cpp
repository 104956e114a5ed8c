// The FreeType library and the opened font files, shared by every user in the process.
#include "media/freetype_faces.h"

#include <cstdio>
#include <map>

#ifndef TANGREL_FONT_DIR
#define TANGREL_FONT_DIR "/usr/share/fonts/truetype/liberation"
#endif

namespace font::freetype {
namespace {

struct OpenFace {
  FT_Face face = nullptr;  // null when the file could not be opened
  int32_t size = 0;        // the size last set: points when positive, pixels when negative
};

struct Library {
  FT_Library library = nullptr;
  bool failed = false;
  std::map<std::string, OpenFace> faces;

  void Free() {
    for (auto& f : faces)
      if (f.second.face) FT_Done_Face(f.second.face);
    faces.clear();
    if (library) FT_Done_FreeType(library);
    library = nullptr;
    failed = false;
  }
  ~Library() { Free(); }
};

Library gFreeType;

OpenFace* Entry(const std::string& fileName) {
  if (!gFreeType.library) {
    if (gFreeType.failed) return nullptr;
    if (FT_Init_FreeType(&gFreeType.library) != 0) {
      gFreeType.library = nullptr;
      gFreeType.failed = true;
      std::fprintf(stderr, "Cannot start the font library\n");
      return nullptr;
    }
  }
  auto found = gFreeType.faces.find(fileName);
  if (found == gFreeType.faces.end()) {
    OpenFace f;
    const std::string path = FontPath(fileName);
    if (FT_New_Face(gFreeType.library, path.c_str(), 0, &f.face) != 0) {
      f.face = nullptr;
      std::fprintf(stderr, "Cannot open font %s\n", path.c_str());
    }
    found = gFreeType.faces.emplace(fileName, f).first;
  }
  return found->second.face ? &found->second : nullptr;
}

FT_Face Sized(const std::string& fileName, int32_t size) {
  OpenFace* f = Entry(fileName);
  if (!f) return nullptr;
  if (f->size != size) {
    const FT_Error err = size > 0 ? FT_Set_Char_Size(f->face, 0, static_cast<FT_F26Dot6>(size) * 64, 96, 96)
                                  : FT_Set_Pixel_Sizes(f->face, 0, static_cast<FT_UInt>(-size));
    if (err != 0) {
      f->size = 0;
      return nullptr;
    }
    f->size = size;
  }
  return f->face;
}

}  // namespace

std::string FontPath(const std::string& fileName) { return std::string(TANGREL_FONT_DIR) + "/" + fileName; }

FT_Face Open(const std::string& fileName) {
  OpenFace* f = Entry(fileName);
  return f ? f->face : nullptr;
}

FT_Face AtPoints(const std::string& fileName, int32_t pt) { return pt > 0 ? Sized(fileName, pt) : nullptr; }

FT_Face AtPixels(const std::string& fileName, int32_t px) { return px > 0 ? Sized(fileName, -px) : nullptr; }

void CloseAll() { gFreeType.Free(); }

}  // namespace font::freetype
