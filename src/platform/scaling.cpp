// The picture's place in a window of any size, and the first window's size.
#include "platform/scaling.h"

#include <algorithm>

namespace plat {

PictureBox FitPicture(int outW, int outH) {
  PictureBox box;
  if (outW <= 0 || outH <= 0) return box;
  // The largest size with the picture's proportions that fits: by the width or the height.
  // 64-bit products keep huge outputs from overflowing.
  int fitW, fitH;
  if (int64_t(outW) * kPictureHeight <= int64_t(outH) * kPictureWidth) {
    fitW = outW;
    fitH = static_cast<int>(int64_t(outW) * kPictureHeight / kPictureWidth);
  } else {
    fitH = outH;
    fitW = static_cast<int>(int64_t(outH) * kPictureWidth / kPictureHeight);
  }
  const int whole = fitW / kPictureWidth;  // also fitH / kPictureHeight
  if (whole >= 1 && int64_t(whole) * kPictureWidth * 10 >= int64_t(fitW) * 9) {
    box.Factor = whole;
    box.Filter = ScaleFilter::Nearest;
    box.W = whole * kPictureWidth;
    box.H = whole * kPictureHeight;
  } else {
    box.Factor = 0;
    box.Filter = ScaleFilter::Linear;
    box.W = std::max(1, fitW);
    box.H = std::max(1, fitH);
  }
  box.X = (outW - box.W) / 2;
  box.Y = (outH - box.H) / 2;
  return box;
}

TPoint OutputToPicture(const PictureBox& box, int32_t x, int32_t y) {
  if (box.W <= 0 || box.H <= 0) return {0, 0};
  const int64_t dx = std::clamp<int64_t>(int64_t(x) - box.X, 0, box.W - 1);
  const int64_t dy = std::clamp<int64_t>(int64_t(y) - box.Y, 0, box.H - 1);
  // The game pixel under the output pixel's centre, as the scaled drawing samples it.
  return {static_cast<int32_t>((2 * dx + 1) * kPictureWidth / (2 * int64_t(box.W))),
          static_cast<int32_t>((2 * dy + 1) * kPictureHeight / (2 * int64_t(box.H)))};
}

void FirstWindowSize(int desktopW, int desktopH, int& w, int& h) {
  int k = 1;
  if (desktopW > 0 && desktopH > 0) {
    const int64_t roomW = int64_t(desktopW) * kFirstWindowShare / 100;
    const int64_t roomH = int64_t(desktopH) * kFirstWindowShare / 100;
    k = static_cast<int>(std::max<int64_t>(1, std::min(roomW / kPictureWidth, roomH / kPictureHeight)));
  }
  w = k * kPictureWidth;
  h = k * kPictureHeight;
}

bool RememberedSizeFits(int w, int h, int desktopW, int desktopH) {
  if (w < kMinWindowWidth || h < kMinWindowHeight) return false;
  if (desktopW <= 0 || desktopH <= 0) return w <= 16384 && h <= 16384;
  return w <= desktopW && h <= desktopH;
}

}  // namespace plat
