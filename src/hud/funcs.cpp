// Placeholder until this unit is built; replaced by the real one.
#include "hud/funcs.h"

bool PointInRect([[maybe_unused]] TPoint p, [[maybe_unused]] const TRect& r) { return {}; }
int32_t DigitCount([[maybe_unused]] int32_t v) { return {}; }
int32_t DigitAt([[maybe_unused]] uint8_t pos, [[maybe_unused]] int32_t v) { return {}; }
void DrawNumber([[maybe_unused]] const std::string& align, [[maybe_unused]] int32_t x, [[maybe_unused]] int32_t y, [[maybe_unused]] int32_t v) { }
uint8_t LevelTexture() { return {}; }
