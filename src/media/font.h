// Text for the canvas: Liberation faces through the build's rasteriser, with a glyph cache kept
// for the run.
#pragma once
#include <cstdint>
#include <string>

#include "media/surface.h"

namespace font {

// Sum of the glyphs' advance widths in pixels (no kerning, as the platform's text output).
int32_t TextWidth(const TFont& f, const std::string& text);
// Height of a text cell: ascent plus descent in pixels.
int32_t TextHeight(const TFont& f);
// Draws the glyphs with the cell's top-left corner at (x, y), the ascender line on y,
// antialiased coverage blended with the font colour. The background is left as it is.
void DrawText(TSurface& dest, int32_t x, int32_t y, const TFont& f, const std::string& text);
// Frees the faces and the glyph cache (done at exit anyway).
void Shutdown();

}  // namespace font
