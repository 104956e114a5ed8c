// Small drawing helpers shared by the screens: the hit test and sprite-digit numbers (the
// texture set of the current level, LevelTexture, is in game/state.h).
#pragma once
#include <cstdint>
#include <string>

#include "platform/types.h"

bool PointInRect(TPoint p, const TRect& r);  // all four edges inside
int32_t DigitCount(int32_t v);
int32_t DigitAt(uint8_t pos, int32_t v);
void DrawNumber(const std::string& align, int32_t x, int32_t y, int32_t v);
