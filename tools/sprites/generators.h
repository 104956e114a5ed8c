// The picture generators of the game: the sprite list and the texture list, as package items.
#pragma once
#include <vector>

#include "media/package.h"

std::vector<TImageItemData> BuildSprites();   // every sprite the game looks up by name
std::vector<TImageItemData> BuildTextures();  // textures 0..10, in the order the game uses
TPicture WalnutTexture();                    // texture 10, which the menu picture sits on
