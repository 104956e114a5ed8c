// How the 800 x 600 picture fills a window of any size, and which size a window starts at.
// Shared by every platform that shows the picture in a resizable window; pure arithmetic.
#pragma once
#include <cstdint>

#include "platform/types.h"

namespace plat {

constexpr int kPictureWidth = 800;
constexpr int kPictureHeight = 600;
// A first window takes at most this share of the desktop, in percent, each way.
constexpr int kFirstWindowShare = 85;
// The smallest client area the player may shrink the window to.
constexpr int kMinWindowWidth = 400;
constexpr int kMinWindowHeight = 300;

enum class ScaleFilter : uint8_t {
  Nearest,  // whole factors: every game pixel becomes a sharp k x k block
  Linear,   // any other factor: smoothed, so no row or column comes out wider than its neighbour
};

// Where the picture goes in an output of some size: centred, proportions kept, black bars
// around it. Factor is the whole factor when Filter is Nearest, else 0.
struct PictureBox {
  int X = 0, Y = 0, W = kPictureWidth, H = kPictureHeight;
  int Factor = 1;
  ScaleFilter Filter = ScaleFilter::Nearest;
  friend bool operator==(const PictureBox&, const PictureBox&) = default;
};

// Fits the picture into outW x outH output pixels. A whole factor is taken whenever it gives
// at least nine tenths of the largest fitting size: a little more black border is worth the
// sharpness. Below that (and below 1x) the picture fills the fitting size, smoothed.
// An empty output gives the picture at 1x at the origin.
PictureBox FitPicture(int outW, int outH);

// The game pixel under the centre of output pixel (x, y); points on the bars go to the
// nearest edge pixel of the picture.
TPoint OutputToPicture(const PictureBox& box, int32_t x, int32_t y);

// The client size of a window opening for the first time on a desktop area of w x h: the
// largest whole multiple of 800 x 600 within kFirstWindowShare percent of it, at least 1x.
// An unknown desktop (0 x 0) gives 800 x 600.
void FirstWindowSize(int desktopW, int desktopH, int& w, int& h);

// A remembered client size, checked against the desktop it opens on: kept when it is at least
// the smallest window and fits the desktop area; false (use FirstWindowSize) otherwise. An
// unknown desktop accepts any size from the smallest window up to 16384 a side.
bool RememberedSizeFits(int w, int h, int desktopW, int desktopH);

}  // namespace plat
