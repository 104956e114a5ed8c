// The remembered window size: read and written with the options, applied at start-up.
#include "settings/window_size.h"

#include "platform/platform.h"
#include "platform/scaling.h"
#include "platform/registry.h"

TWindowSize WindowSize;

namespace {
constexpr uint32_t kLargestSide = 16384;
}

void ReadWindowSize(const plat::IRegistry& store) {
  WindowSize = {};
  uint32_t w = 0, h = 0;
  if (!store.ReadDword(kWindowSizeKey, "Width", w) || !store.ReadDword(kWindowSizeKey, "Height", h)) return;
  if (w == 0 || h == 0 || w > kLargestSide || h > kLargestSide) return;
  WindowSize = {static_cast<int32_t>(w), static_cast<int32_t>(h)};
}

void WriteWindowSize(plat::IRegistry& store) {
  if (WindowSize.Width <= 0 || WindowSize.Height <= 0) return;
  store.WriteDword(kWindowSizeKey, "Width", static_cast<uint32_t>(WindowSize.Width));
  store.WriteDword(kWindowSizeKey, "Height", static_cast<uint32_t>(WindowSize.Height));
}

void ApplyWindowSize() {
  plat::IPlatform& p = plat::Platform();
  int dw = 0, dh = 0;
  if (!p.DesktopArea(dw, dh)) dw = dh = 0;
  int w = WindowSize.Width, h = WindowSize.Height;
  if (!plat::RememberedSizeFits(w, h, dw, dh)) plat::FirstWindowSize(dw, dh, w, h);
  p.SetWindowedClientSize(w, h);
}

void RememberWindowSize() {
  int w = 0, h = 0;
  if (plat::Platform().WindowedClientSize(w, h) && w > 0 && h > 0 &&
      static_cast<uint32_t>(w) <= kLargestSide && static_cast<uint32_t>(h) <= kLargestSide)
    WindowSize = {w, h};
}
