// The desktop icon of the installed game, drawn at every size of the icon theme.
#pragma once
#include <string>
#include <vector>

#include "media/package.h"

// The icon at size x size pixels (16 to 1024): 0xAARRGGBB, transparent corners.
TPicture DrawIcon(const std::vector<TImageItemData>& textures, int size);

// Draws the icon at size x size pixels (16 to 1024) into a PNG with transparent corners.
// False for a size out of range; throws EGameError when the file cannot be written.
bool WriteIcon(const std::string& path, const std::vector<TImageItemData>& textures, int size);

// The sizes the desktop's icon theme is given.
inline constexpr int kIconSizes[] = {16, 24, 32, 48, 64, 128, 256};

// The sizes in the Windows program's .ico; the largest is stored as PNG.
inline constexpr int kWindowsIconSizes[] = {16, 24, 32, 48, 64, 256};

// Writes the .ico of the Windows program. Throws EGameError when it cannot be written.
void WriteWindowsIcon(const std::string& path, const std::vector<TImageItemData>& textures);
