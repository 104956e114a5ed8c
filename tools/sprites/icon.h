// The desktop icon of the installed game.
#pragma once
#include <string>
#include <vector>

#include "media/package.h"

bool WriteIcon(const std::string& path, const std::vector<TImageItemData>& textures);
