// The one FreeType set-up of the Linux build: the library and every font file opened once
// and kept, with the size each face was last set to. The game's text rasteriser
// (font_freetype.cpp) and the picture generators' captions (tools/sprites/art.cpp) both take
// their faces from here, so they can run in one process (the contact sheet draws the game
// headless) without setting sizes behind each other's back.
#pragma once
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdint>
#include <string>

namespace font::freetype {

// The file's full name in the system's font folder.
std::string FontPath(const std::string& fileName);

// The face of a file of the font folder, opened on first use; null when the library or the
// file cannot be had, which is said once on standard error (later calls stay quiet).
FT_Face Open(const std::string& fileName);
// The face set to pt points at 96 dpi, or to px pixels high; the size is set only when it
// changes. Null as Open, or when the size cannot be set.
FT_Face AtPoints(const std::string& fileName, int32_t pt);
FT_Face AtPixels(const std::string& fileName, int32_t px);

// Frees every face and the library (done at exit anyway); the next Open starts again and
// reports failures afresh.
void CloseAll();

}  // namespace font::freetype
