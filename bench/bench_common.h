// Shared pieces of the benchmarks: a platform that does not copy frames, SDL wrappers of our surfaces, and the process's memory figures.
#pragma once
#include <SDL.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "media/surface.h"
#include "platform/fake/fake_platform.h"

namespace bench {

// The test double, minus the copy of every finished frame.
class QuietPlatform : public plat::FakePlatform {
 public:
  bool Present(const uint32_t*, int, int, int) override { return true; }
};

// An SDL surface over a surface's own pixels (no copy); free it with SDL_FreeSurface.
inline SDL_Surface* WrapForSdl(TSurface& s) {
  return SDL_CreateRGBSurfaceWithFormatFrom(s.Pixels(), s.Width(), s.Height(), 32, s.Pitch() * 4,
                                            SDL_PIXELFORMAT_RGB888);
}

// A "VmHWM:" / "VmRSS:" line of /proc/self/status in kB; -1 when it cannot be read.
inline long ProcStatusKb(const char* field) {
  std::FILE* f = std::fopen("/proc/self/status", "r");
  if (!f) return -1;
  char line[256];
  long kb = -1;
  const size_t n = std::strlen(field);
  while (std::fgets(line, sizeof line, f))
    if (std::strncmp(line, field, n) == 0) {
      kb = std::strtol(line + n, nullptr, 10);
      break;
    }
  std::fclose(f);
  return kb;
}

}  // namespace bench
