// Windows icon files (".ico"): one file holding an icon at several sizes, each image either a
// 32-bit DIB with its transparency mask or a PNG (what Windows wants for 256 px).
#pragma once
#include <cstdint>
#include <vector>

#include "media/picture.h"

// One image of the icon: Pixels 0xAARRGGBB, top row first, square, 1 to 256 px.
struct TIconImage {
  TPicture Picture;
  bool AsPng = false;
  std::vector<uint8_t> Png;  // the PNG file's bytes when AsPng
};

// The icon image as the directory entry's data: BITMAPINFOHEADER (height doubled, as icons
// count the mask), BGRA rows bottom up, then the 1-bit mask (set where fully transparent).
std::vector<uint8_t> IconDib(const TPicture& pic);

// The whole .ico: header, one directory entry per image (6 + 16 n bytes), the images. Throws
// EGameError for an image that is not square or is larger than 256 px.
std::vector<uint8_t> IcoFile(const std::vector<TIconImage>& images);
