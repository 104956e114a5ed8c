// The size of the game's window in window mode, remembered with the options: a value of our
// own under its own key, beside the six options, so their key and rules stay as they are.
//
//   [\Software\Brenmoor Studio\Tangrel\Window]
//   "Width"=dword:00000640
//   "Height"=dword:000004b0
#pragma once
#include <cstdint>

namespace plat {
class IRegistry;
}

struct TWindowSize {
  int32_t Width = 0;  // client pixels; 0 x 0: nothing remembered
  int32_t Height = 0;
};
extern TWindowSize WindowSize;

constexpr const char* kWindowSizeKey = "\\Software\\Brenmoor Studio\\Tangrel\\Window";

// From the store read at start-up: both values as DWORDs from 1 to 16384, else nothing.
void ReadWindowSize(const plat::IRegistry& store);
// Into the store about to be saved; nothing is written while no size is remembered.
void WriteWindowSize(plat::IRegistry& store);

// Start-up, once the settings are read: gives the window the remembered size when it still
// fits the desktop, else the largest whole multiple of 800 x 600 that fits comfortably.
void ApplyWindowSize();
// Shut-down, before the settings are saved: the window's size in window mode (the size it
// returns to, when full screen) becomes the remembered one.
void RememberWindowSize();
