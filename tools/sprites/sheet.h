// The contact sheet: every sprite pattern and every texture with its name, in one PNG.
#pragma once
#include <string>
#include <vector>

#include "media/package.h"

// Throws EGameError when the file cannot be written.
void WriteContactSheet(const std::string& path, const std::vector<TImageItemData>& sprites,
                       const std::vector<TImageItemData>& textures);
