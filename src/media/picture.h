// A decoded picture: 32-bit device pixels 0x00RRGGBB, top row first.
#pragma once
#include <cstdint>
#include <vector>

struct TPicture {
  int32_t Width = 0;
  int32_t Height = 0;
  std::vector<uint32_t> Pixels;  // Width * Height, row by row from the top
  bool Empty() const { return Width <= 0 || Height <= 0; }
};
